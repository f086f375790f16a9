#pragma once
#include "gui/mainwnd/main_frame.h"
#include "gui/mainwnd/ordinex_view.h"
#include "gui/shell/app_shell.h"
#include "platform/ui_hooks.h"
#include "test_support.h"

#include <wx/string.h>
#include <wx/timer.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class wxTextCtrl;

namespace ordinex::test {

// Message boxes answered by the test: queued answers first, then OK (or No
// for Yes/No questions). Every text is kept.
class ScriptedPrompter : public IPrompter {
public:
    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon,
                   bool defaultNo) override;
    int WarningDialog(const std::string& text, const std::string& subject) override;
    void RepaintMainFrame() override {}
    // What the program's prompter does: the main frame's close-and-end.
    void CloseMainWindowAndExit() override {
        if (onCloseAndExit)
            onCloseAndExit();
    }
    std::function<void()> onCloseAndExit;
    // Called as each message box would show.
    std::function<void()> onMessage;

    std::deque<int> answers;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<std::string> warnings;
    std::vector<std::string> warningSubjects;
};

// The desktop program in-process, in a folder of its own that is the current
// folder while it runs.
class GuiApp {
public:
    GuiApp();
    ~GuiApp();
    // Starts the program (optionally with a job file); false: refused.
    bool Start(const std::vector<std::string>& args = {});
    // Ends it as a closed window would, saving the settings file.
    void Exit();

    CAppShell& shell() { return *shell_; }
    COrdinexApp& app() { return shell_->App(); }
    CMainFrame* frame() { return shell_->MainFrame(); }
    COrdinexView* view() { return frame()->View(); }
    const std::string& dir() const { return dir_.path(); }
    std::string path(const std::string& name) const { return dir_ / name; }

    ScriptedPrompter prompter;
    // The desktop notifications the program would have shown: "TITLE: TEXT".
    std::vector<std::string> notifications;

private:
    TempDir dir_;
    ScopedCwd cwd_;
    std::unique_ptr<CAppShell> shell_;
};

// Types into a box as the keyboard would: each character goes through the
// box's character filter first and is inserted only when it passes.
// modifiers (wxMOD_SHIFT...) are held down meanwhile.
void Type(wxTextCtrl* box, const wxString& chars, int modifiers = 0);
wxTextCtrl* TextBox(COrdinexView* view, int id);
// Selects a box's whole text, so that typing replaces it.
void SelectAll(wxTextCtrl* box);
bool Enabled(COrdinexView* view, int id);

// Runs an action once, after delayMs, from the event loop of whatever modal
// dialog is showing by then.
class Later : public wxTimer {
public:
    Later(int delayMs, std::function<void()> action) : action_(std::move(action)) { StartOnce(delayMs); }
    void Notify() override { action_(); }

private:
    std::function<void()> action_;
};

// Clicks a dialog's button as the mouse would.
void Press(wxWindow* dialog, int id);

// Dispatches window events for a while, so that the display and a window
// manager have placed, sized and decorated what the test showed.
void PumpFor(int ms);

// Opens the browser window linked into the tests (UseLinkedBrowser).
bool LinkedBrowserForTests(COrdinexApp& app, IMainFormLink& main, const std::string& address);

} // namespace ordinex::test
