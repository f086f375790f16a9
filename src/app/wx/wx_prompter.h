#pragma once
#include "runs/ui_hooks.h"

#include <functional>

class wxWindow;

namespace ordinex {

// Message boxes of the desktop program. Warnings are a Yes/No box for now.
class WxPrompter : public IPrompter {
public:
    // The main window, or null before it exists and after it has gone.
    using WindowFinder = std::function<wxWindow*()>;
    explicit WxPrompter(WindowFinder mainWindow) : mainWindow_(std::move(mainWindow)) {}

    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon, bool defaultNo) override;
    int WarningDialog(const std::string& text) override;
    void RepaintMainFrame() override;
    void CloseMainWindowAndExit() override;

private:
    WindowFinder mainWindow_;
};

// Maps a wx dialog answer onto the program's answers (1, 2, 6, 7).
int AnswerFromWx(int wxAnswer);

} // namespace ordinex
