#pragma once
#include "platform/ui_hooks.h"

#include <functional>
#include <string>

class wxWindow;

namespace ordinex {

// Message boxes and the self-closing warning dialog of the desktop program.
class WxPrompter : public IPrompter {
public:
    // The main window, or null before it exists and after it has gone.
    using WindowFinder = std::function<wxWindow*()>;
    explicit WxPrompter(WindowFinder mainWindow) : mainWindow_(std::move(mainWindow)) {}
    // What a dialog calls when its timer cannot be created.
    void SetFatalHandler(std::function<void(const std::string&)> fatal) { fatal_ = std::move(fatal); }
    // Closes the main window and ends the process (the main frame's way).
    void SetCloseAndExit(std::function<void()> closeAndExit) { closeAndExit_ = std::move(closeAndExit); }
    // Called before a prompt is shown (the main window shows its busy look).
    void SetBeforePrompt(std::function<void()> hook) { beforePrompt_ = std::move(hook); }

    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon,
                   bool defaultNo) override;
    int WarningDialog(const std::string& text, const std::string& subject) override;
    void RepaintMainFrame() override;
    void CloseMainWindowAndExit() override;

private:
    WindowFinder mainWindow_;
    std::function<void(const std::string&)> fatal_;
    std::function<void()> closeAndExit_;
    std::function<void()> beforePrompt_;
};

} // namespace ordinex
