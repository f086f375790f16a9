#include "gui/shell/app_shell.h"

#include "gui/kit/gtk_compact_style.h"
#include "gui/kit/tool_windows.h"
#include "gui/mainwnd/main_frame.h"
#include "gui/widgets/app_art.h"

#include <wx/app.h>
#include <wx/dialog.h>

#include <cstdlib>
#include <filesystem>

namespace ordinex {

CAppShell::CAppShell(IPrompter* prompter) : prompter_([this]() -> wxWindow* { return frame_.get(); }) {
    prompter_.SetBeforePrompt([this] {
        if (frame_)
            frame_->ShowBusyLook();
    });
    prompter_.SetFatalHandler([this](const std::string& message) { app_.FatalExit(message); });
    prompter_.SetCloseAndExit([this] {
        if (CMainFrame* frame = frame_.get())
            frame->CloseAndEndProcess();
        else
            std::_Exit(1);
    });
    app_.SetPrompter(prompter ? prompter : &prompter_);
    app_.SetMessagePump(&pump_);
}

CAppShell::~CAppShell() {
    ExitInstance();
}

namespace {
// How often the running instance looks for a second start's request.
constexpr int kHandOffPollMs = 150;

bool ModalDialogOpen() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            return true;
    return false;
}
} // namespace

bool CAppShell::InitInstance(const std::vector<std::string>& args, const std::string& newJobFolder) {
    const COrdinexApp::StartOutcome outcome = app_.InitCore();
    switch (outcome.result) {
    case COrdinexApp::StartResult::Started:
        if (!newJobFolder.empty())
            app_.startDirectory = newJobFolder;
        break;
    case COrdinexApp::StartResult::AlreadyRunning:
        // The running instance is left alone; this one writes nothing.
        app_.Prompter()->MessageBox(outcome.message, MessageButtons::Ok, MessageIcon::Information);
        ExitInstance();
        return false;
    case COrdinexApp::StartResult::Fatal:
        app_.FatalExit(outcome.message);
    }

    ApplyCompactStyle();
    // The frame restores its placement and the form the last job while
    // start-up has not completed.
    frame_ = new CMainFrame(app_, doc_);
    // The icon of the menu entry, in every size the desktop may ask for.
    frame_->SetIcons(MakeAppIconBundle());
    wxTheApp->SetTopWindow(frame_.get());
    if (args.empty())
        doc_.OnNewDocument();
    // A relative name is taken from the start-up folder, as the recent
    // list keeps full paths.
    else if (!doc_.OnOpenDocument(std::filesystem::absolute(args.front()).lexically_normal().string()))
        app_.FatalExit("シェルコマンドが正常に処理されない");
    frame_->Show();
    frame_->UpdateTitle();
    app_.MarkStartupComplete();
    // Without the socket a second start says "already running", as before.
    if (handOffListener_.Listen())
        handOffTimer_.Start(kHandOffPollMs);
    return true;
}

void CAppShell::HandOffTimer::Notify() {
    shell_.ServeHandOffs();
}

void CAppShell::TakeHandOff(const std::string& path) {
    handOffs_.push_back(path);
    ServeHandOffs();
}

void CAppShell::RaiseMainFrame() {
    CMainFrame* frame = frame_.get();
    if (!frame)
        return;
    if (frame->IsIconized())
        frame->Iconize(false);
    frame->Show();
    frame->Raise();
}

void CAppShell::ServeHandOffs() {
    // Opening a job pumps events (the save question): a request that
    // arrives meanwhile waits for the next turn.
    if (servingHandOff_ || exited_)
        return;
    servingHandOff_ = true;
    for (std::string& path : handOffListener_.Poll()) {
        handOffs_.push_back(std::move(path));
        RaiseMainFrame();
    }
    // A run or an open dialog keeps the job waiting: the window is raised
    // now and the job opens once nothing is in the way.
    while (!handOffs_.empty() && frame_ && !app_.Busy() && !ModalDialogOpen()) {
        const std::string path = std::move(handOffs_.front());
        handOffs_.pop_front();
        RaiseMainFrame();
        if (!path.empty())
            frame_->OpenJobFile(path);
    }
    servingHandOff_ = false;
}

void CAppShell::ExitInstance() {
    if (exited_)
        return;
    exited_ = true;
    // Closed before the lock goes: a later start must not reach this one.
    handOffTimer_.Stop();
    handOffListener_.Close();
    // The tool windows go first: they reach the main window while they exist,
    // and write their placements before the settings are saved.
    DestroyToolWindows();
    if (CMainFrame* frame = frame_.get()) {
        // A window that was not closed (tests) saves what closing would
        // have saved; one already closed waits only for its deletion.
        if (!wxTheApp->IsScheduledForDestruction(frame)) {
            frame->SaveState();
            frame->Destroy();
        }
        wxTheApp->ProcessIdle();
    }
    app_.ExitCore();
}

} // namespace ordinex
