#pragma once
#include "app/ordinex_app.h"
#include "runs/ui_hooks.h"

#include <string>

namespace ordinex::cli {

// Prompts on a terminal: messages go to standard error; a warning is printed
// and answered "No", as when the warning dialog closes itself.
class StderrPrompter : public IPrompter {
public:
    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon, bool defaultNo) override;
    int WarningDialog(const std::string& text) override;
    void RepaintMainFrame() override {}
    void CloseMainWindowAndExit() override;
};

// Loads the settings and the job the way opening it in the program would.
// Prints the reason and returns false when the job cannot be used.
bool LoadJobForCli(COrdinexApp& app, const std::string& jobPath, Job& job);

} // namespace ordinex::cli
