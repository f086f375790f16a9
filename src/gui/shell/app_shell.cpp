#include "gui/shell/app_shell.h"

#include "gui/kit/gtk_compact_style.h"
#include "gui/kit/tool_windows.h"
#include "gui/mainwnd/main_frame.h"

#include <wx/app.h>

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

bool CAppShell::InitInstance(const std::vector<std::string>& args) {
    const COrdinexApp::StartOutcome outcome = app_.InitCore();
    switch (outcome.result) {
    case COrdinexApp::StartResult::Started:
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
    return true;
}

void CAppShell::ExitInstance() {
    if (exited_)
        return;
    exited_ = true;
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
