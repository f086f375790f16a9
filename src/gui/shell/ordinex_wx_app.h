#pragma once
#include <wx/app.h>
#include <wx/timer.h>

#include <memory>
#include <string>

namespace ordinex {

class CAppShell;

// The wx application: start-up and shutdown go to the shell.
class COrdinexWxApp : public wxApp {
public:
    COrdinexWxApp();
    ~COrdinexWxApp() override;
    // The toolkit starts here (see gui/kit/toolkit_gl.h).
    bool Initialize(int& argc, wxChar** argv) override;
    bool OnInit() override;
    int OnExit() override;

    // SIGTERM and SIGINT close the main window as the exit command does, so
    // that the job and the settings are saved; a download run in progress
    // is stopped without the question a user's close gets.
    void CloseMainWindow();

    // Started in the settings folder (--desktop): a new job's destination
    // is the folder the program was started from, not the settings folder.
    static void SetNewJobFolder(std::string folder) { newJobFolder_ = std::move(folder); }

private:
    void InstallSignalHandlers();

    std::unique_ptr<CAppShell> shell_;
    static inline std::string newJobFolder_;
    // wxGTK's loop does not watch wx's own signal pipe: the handler only
    // raises a flag, which this timer looks at (also while a run pumps events).
    wxTimer signalTimer_;
    // The test aids' command, given once the window manager has placed the frame.
    wxTimer autoCommandTimer_;
};

} // namespace ordinex
