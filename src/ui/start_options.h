#pragma once
#include <string>
#include <vector>

namespace ordinex {

// The desktop program's command line: ordinex [--desktop] [JOB.odx],
// ordinex --help, ordinex --version.
struct StartOptions {
    enum class Action { Start, Help, Version, UsageError };
    Action action = Action::Start;
    // Start in the settings folder ($XDG_CONFIG_HOME/ordinex), as the menu
    // entry does, instead of the folder the program was started from.
    bool desktop = false;
    std::string job;   // as given; empty: none
    std::string error; // for UsageError
};

StartOptions ParseStartOptions(const std::vector<std::string>& args);
// The text of --help; also printed after a usage error.
std::string StartUsageText();

// Where the menu entry starts the program: $XDG_CONFIG_HOME/ordinex, or
// ~/.config/ordinex when that is unset or not absolute. Empty when neither
// can be named.
std::string DesktopSettingsFolder();
// Makes the folder (and its parents, for this user only) and enters it;
// false (with errno set) when that fails.
bool EnterDesktopSettingsFolder(const std::string& folder);

} // namespace ordinex
