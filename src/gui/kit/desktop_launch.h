#pragma once
#include <string>

namespace ordinex {

// What came of handing an address to the desktop's default handler.
struct DesktopLaunch {
    enum class Outcome { Opened, NoHandler, Failed };
    Outcome outcome = Outcome::Failed;
    std::string reason; // Failed: the desktop's own words, if any
};

// Opens an address ("ftp://host/pub/") with the application the desktop
// has registered for its scheme. Many desktops register none for ftp://
// today: that is told apart from a handler that would not start.
DesktopLaunch OpenWithDesktop(const std::string& address);

// The "file://" address of an absolute local path, escaped as addresses
// must be; empty for a path that is not absolute.
std::string FileAddress(const std::string& path);

} // namespace ordinex
