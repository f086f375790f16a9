// What the window benchmarks share: the clock, a wxWidgets start without a
// window of its own, prompts that only print, and a scratch folder to run in.
#pragma once
#include "platform/ui_hooks.h"

#include <wx/app.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

class QuietApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

class NoPrompts : public ordinex::IPrompter {
public:
    int MessageBox(const std::string& text, ordinex::MessageButtons, ordinex::MessageIcon, bool) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return ordinex::kAnswerOk;
    }
    int WarningDialog(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "warning: %s\n", text.c_str());
        return ordinex::kAnswerNo;
    }
    void RepaintMainFrame() override {}
    void CloseMainWindowAndExit() override {}
};

// A new folder under the temp folder, made the runtime folder (one instance
// of the program runs per runtime folder) and the current one (no settings
// file of the caller is read or written). Empty when it cannot be made.
inline std::string EnterScratchFolder(const char* name) {
    namespace fs = std::filesystem;
    std::string scratch = (fs::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    if (!mkdtemp(scratch.data()))
        return {};
    setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    fs::current_path(scratch);
    return scratch;
}

// Starts wxWidgets with QuietApp; false without a display.
inline bool StartWx(char** argv) {
    wxApp::SetInstance(new QuietApp);
    int wxArgc = 1;
    return wxEntryStart(wxArgc, argv) && wxTheApp->CallOnInit();
}

} // namespace bench
