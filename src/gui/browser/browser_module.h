#pragma once
#include <string>
#include <vector>

namespace ordinex {

class COrdinexApp;
class IMainFormLink;

// The built-in browser lives in a module of its own, loaded when a browser
// window is first wanted: the web engine and the many libraries under it
// then cost the start of the program nothing.

// The module's file name and its entry points (browser_module_entry.cpp).
inline constexpr const char* kBrowserModuleFile = "ordinex-browser.so";
inline constexpr const char* kBrowserModuleOpen = "ordinex_browser_open";
inline constexpr const char* kBrowserModuleBuild = "ordinex_browser_build";

// What came of asking for a browser window.
struct BrowserOpening {
    enum class Outcome {
        Opened,    // the window shows the address
        NoWebView, // the module loaded, but the platform offers no web view
        NoModule,  // the module could not be found or loaded
    };
    Outcome outcome = Outcome::NoModule;
    std::string reason; // NoModule: which file, and why
};

// Opens the browser window (or reuses it) at the address, loading the
// module first when this is the first time.
BrowserOpening OpenBrowserWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address);

// The files tried, in order: beside the program (the build folder), then in
// the library folder of an installed program.
std::vector<std::string> BrowserModuleCandidates();

// A program that links the browser itself (the window tests) opens it
// through this instead of a module; null goes back to the module.
using LinkedBrowserOpen = bool (*)(COrdinexApp& app, IMainFormLink& main, const std::string& address);
void UseLinkedBrowser(LinkedBrowserOpen open);
// Tests: the files tried instead of BrowserModuleCandidates(); empty restores them.
void SetBrowserModuleCandidatesForTests(std::vector<std::string> files);

} // namespace ordinex
