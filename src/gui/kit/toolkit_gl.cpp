#include "gui/kit/toolkit_gl.h"

#include <cstdlib>

namespace ordinex {

namespace {
constexpr const char* kVariable = "GDK_GL";
bool setHere = false;
} // namespace

void SkipToolkitGlAtStart() {
    if (std::getenv(kVariable))
        return;
    setHere = setenv(kVariable, "disable", 0) == 0;
}

void ForgetToolkitGlSetting() {
    if (setHere)
        unsetenv(kVariable);
    setHere = false;
}

} // namespace ordinex
