#pragma once
#include "app/ordinex_app.h"
#include "platform/ui_hooks.h"

#include <functional>
#include <string>

namespace ordinex::cli {

// Prompts on a terminal: messages go to standard error; a warning is printed
// and answered "No", as when the warning dialog closes itself.
class StderrPrompter : public IPrompter {
public:
    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon,
                   bool defaultNo) override;
    int WarningDialog(const std::string& text, const std::string& subject) override;
    void RepaintMainFrame() override {}
    void CloseMainWindowAndExit() override;
};

// The application of one command, its prompts on the terminal.
class CliApp : public COrdinexApp {
public:
    CliApp() { SetPrompter(&prompter_); }
    ~CliApp() override { SetPrompter(nullptr); }

private:
    StderrPrompter prompter_;
};

// The message pump of the terminal: there are no window events, only Ctrl+C,
// which is the Stop command.
class InterruptPump : public IMessagePump {
public:
    explicit InterruptPump(COrdinexApp& app) : app_(app) {}
    void PumpOneMessage() override;
    void DrainMessages() override { PumpOneMessage(); }

private:
    COrdinexApp& app_;
};

// Ctrl+C stops (a second one ends the program); a closed pipe is no signal.
void InstallInterruptHandler();

// Runs a download with the terminal display and Ctrl+C as Stop; the exit
// status of the finished run (2 when it did not start).
int RunWithDisplay(COrdinexApp& app, const std::function<COrdinexApp::RunSummary()>& run);

// Loads the settings and the job the way opening it in the program would.
// Prints the reason and returns false when the job cannot be used.
bool LoadJobForCli(COrdinexApp& app, const std::string& jobPath, Job& job);

} // namespace ordinex::cli
