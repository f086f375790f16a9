// Runs the window tests in-process: wx is initialised once, with an active
// event loop so that the program's message pump can dispatch events.
#include "gui/browser/browser_module.h"
#include "gui/kit/desktop_language.h"
#include "gui_support.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
// A failed wx check fails the test instead of opening a dialog that waits.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx check failed in " << func.utf8_str() << ": " << cond.utf8_str() << " " << msg.utf8_str();
}

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The single-instance lock lives in a folder of the tests' own, so that
    // neither a running program nor a parallel test run is disturbed.
    std::string runtime = (std::filesystem::temp_directory_path() / "ordinex-gui-tests-XXXXXX").string();
    if (!mkdtemp(runtime.data()))
        return 1;
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    unsetenv("ORDINEX_TEST_PROMPTS");
    unsetenv("ORDINEX_AUTORUN");

    wxSetAssertHandler(FailOnAssert);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 1;
    // As the program does at start: the toolkit speaks the desktop's language.
    ordinex::UseDesktopLanguage();
    // The browser's windows are linked into the tests (the module's own
    // path has a process test, BrowserModule.TheProgramOpensTheBrowserFromItsModule).
    ordinex::UseLinkedBrowser(ordinex::test::LinkedBrowserForTests);
    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    std::filesystem::remove_all(runtime);
    return result;
}
