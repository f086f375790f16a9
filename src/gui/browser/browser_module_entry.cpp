// The entry points of the browser module (ordinex-browser.so), which the
// program finds with dlsym: C names, so that nothing depends on how the
// compiler spells C++ ones.
#include "gui/browser/browser_frame.h"
#include "gui/browser/browser_module.h"

#include <cstdio>
#include <exception>

extern "C" {

__attribute__((visibility("default"))) const char* ordinex_browser_build() {
    return ORDINEX_BROWSER_BUILD;
}

// 1 when the window shows the address, 0 when the platform has no web view.
__attribute__((visibility("default"))) int
ordinex_browser_open(ordinex::COrdinexApp* app, ordinex::IMainFormLink* main, const char* address) {
    try {
        return ordinex::CBrowserFrame::Open(*app, *main, address) ? 1 : 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ordinex-browser: %s\n", error.what());
        return 0;
    }
}
}
