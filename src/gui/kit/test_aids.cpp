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

std::vector<int> AutoCommandsRequested() {
    std::vector<int> commands;
    const char* value = std::getenv("ORDINEX_AUTOCOMMAND");
    for (const char* p = value; p && *p;) {
        char* end = nullptr;
        const long command = std::strtol(p, &end, 10);
        if (end == p)
            break;
        if (command > 0)
            commands.push_back(static_cast<int>(command));
        p = *end == ',' ? end + 1 : end;
    }
    return commands;
}

} // namespace ordinex
