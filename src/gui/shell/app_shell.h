#pragma once
#include "app/ordinex_app.h"
#include "app/ordinex_doc.h"
#include "gui/kit/wx_prompter.h"
#include "gui/kit/wx_pump.h"
#include "platform/instance_channel.h"

#include <wx/timer.h>
#include <wx/weakref.h>

#include <deque>

#include <string>
#include <vector>

namespace ordinex {

class CMainFrame;

// Start-up and shutdown of the desktop program around the core: the
// single-instance rule, the main window, the command line. The wx
// application calls it; the tests drive it in-process.
class CAppShell {
public:
    // prompter: null for the program's message boxes.
    explicit CAppShell(IPrompter* prompter = nullptr);
    ~CAppShell();
    CAppShell(const CAppShell&) = delete;
    CAppShell& operator=(const CAppShell&) = delete;

    // False ends the program: another instance runs. Fatal failures end the
    // process through COrdinexApp::FatalExit. newJobFolder: the destination
    // of a new job when it is not the working folder.
    bool InitInstance(const std::vector<std::string>& args, const std::string& newJobFolder = {});
    // Closes what is still open and writes the settings file (only after a
    // completed start-up without a fatal exit).
    void ExitInstance();

    COrdinexApp& App() { return app_; }
    WxMessagePump& Pump() { return pump_; }
    COrdinexDoc& Document() { return doc_; }
    // Null before start-up and once the window has gone.
    CMainFrame* MainFrame() const { return frame_.get(); }

    // A job (or, empty, only the window) handed over by a second start:
    // the window comes to the front and the job opens as File > Open would,
    // as soon as no run and no dialog is in the way.
    void TakeHandOff(const std::string& path);
    size_t PendingHandOffs() const { return handOffs_.size(); }

private:
    class HandOffTimer : public wxTimer {
    public:
        explicit HandOffTimer(CAppShell& shell) : shell_(shell) {}
        void Notify() override;

    private:
        CAppShell& shell_;
    };
    void ServeHandOffs();
    void RaiseMainFrame();

    COrdinexApp app_;
    COrdinexDoc doc_{app_};
    WxMessagePump pump_;
    WxPrompter prompter_;
    wxWeakRef<CMainFrame> frame_;
    HandOffListener handOffListener_;
    HandOffTimer handOffTimer_{*this};
    std::deque<std::string> handOffs_;
    bool servingHandOff_ = false;
    bool exited_ = false;
};

} // namespace ordinex
