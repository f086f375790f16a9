#include "gui/shell/ordinex_wx_app.h"

#include "gui/kit/desktop_language.h"
#include "gui/kit/test_aids.h"
#include "gui/kit/toolkit_gl.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/shell/app_shell.h"
#include "ui/command_ids.h"

#include <wx/dialog.h>

#include <csignal>
#include <string>
#include <vector>

namespace ordinex {

namespace {
volatile std::sig_atomic_t terminateRequested = 0;
void OnTerminateSignal(int) {
    terminateRequested = 1;
}
constexpr int kSignalPollMs = 200;
constexpr int kSignalTimerId = 1;
constexpr int kAutoCommandTimerId = 2;
// A moment after start, as a user would click: the frame is placed by then.
constexpr int kAutoCommandDelayMs = 700;
} // namespace

void COrdinexWxApp::InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signalTimer_.SetOwner(this, kSignalTimerId);
    Bind(
        wxEVT_TIMER,
        [this](wxTimerEvent&) {
            // A signal during start-up answers its dialogs and is kept
            // until the window it closes exists.
            if (terminateRequested) {
                if (shell_ && shell_->MainFrame())
                    terminateRequested = 0;
                CloseMainWindow();
            }
        },
        kSignalTimerId);
    signalTimer_.Start(kSignalPollMs);
}

COrdinexWxApp::COrdinexWxApp() = default;
COrdinexWxApp::~COrdinexWxApp() = default;

bool COrdinexWxApp::Initialize(int& argc, wxChar** argv) {
    const bool started = wxApp::Initialize(argc, argv);
    ForgetToolkitGlSetting();
    return started;
}

bool COrdinexWxApp::OnInit() {
    // wxApp::OnInit would reject the job file argument: it is read here.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i].utf8_str());
    UseDesktopLanguage();
    shell_ = std::make_unique<CAppShell>();
    // Before start-up, so that a termination signal during it still ends
    // the program through its window, with the job and settings saved.
    InstallSignalHandlers();
    if (!shell_->InitInstance(args, newJobFolder_)) {
        signalTimer_.Stop();
        shell_.reset();
        return false;
    }
    const std::vector<int> commands =
        AutoRunRequested() ? std::vector<int>{cmd::kRunSeries} : AutoCommandsRequested();
    if (!commands.empty()) {
        autoCommandTimer_.SetOwner(this, kAutoCommandTimerId);
        Bind(
            wxEVT_TIMER,
            [this, commands](wxTimerEvent&) {
                // Each command returns when it is done (a run, a dialog); the
                // window may have closed meanwhile.
                for (int command : commands)
                    if (CMainFrame* frame = shell_->MainFrame(); frame && !IsScheduledForDestruction(frame))
                        frame->RunCommand(command);
            },
            kAutoCommandTimerId);
        autoCommandTimer_.StartOnce(kAutoCommandDelayMs);
    }
    return true;
}

int COrdinexWxApp::OnExit() {
    signalTimer_.Stop();
    autoCommandTimer_.Stop();
    shell_.reset();
    return wxApp::OnExit();
}

void COrdinexWxApp::CloseMainWindow() {
    // A modal dialog would hold the close back until someone answers it:
    // answer each as its Cancel or Escape would.
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            dialog->EndModal(dialog->GetEscapeId() == wxID_ANY ? wxID_CANCEL : dialog->GetEscapeId());
    if (shell_)
        if (CMainFrame* frame = shell_->MainFrame())
            frame->CloseForSystem();
}

} // namespace ordinex
