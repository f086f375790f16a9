#include "gui/kit/test_aids.h"

#include <cstdlib>
#include <cstring>

namespace ordinex {

namespace {
bool EnvironmentFlag(const char* name) {
    const char* value = std::getenv(name);
    return value && std::strcmp(value, "1") == 0;
}
} // namespace

bool PromptsAnsweredForTests() {
    return EnvironmentFlag("ORDINEX_TEST_PROMPTS");
}

bool AutoRunRequested() {
    return EnvironmentFlag("ORDINEX_AUTORUN");
}

int AutoCommandRequested() {
    const char* value = std::getenv("ORDINEX_AUTOCOMMAND");
    return value ? std::atoi(value) : 0;
}

} // namespace ordinex
