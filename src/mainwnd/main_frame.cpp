#include "mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "app/wx/tool_windows.h"
#include "app/wx/wx_text.h"
#include "mainwnd/busy_animation.h"
#include "mainwnd/command_ids.h"
#include "mainwnd/ordinex_view.h"

#include <wx/menu.h>
#include <wx/toolbar.h>

namespace ordinex {

namespace {
constexpr const char* kPlacementSection = "Window";
constexpr const char* kToolbarKey = "Toolbar";
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxCLOSE_BOX;
} // namespace

CMainFrame::CMainFrame(COrdinexApp& app, COrdinexDoc& doc)
    : wxFrame(nullptr, wxID_ANY, ToWx(app.productName), wxDefaultPosition, wxSize(frame::kMinWidth, frame::kBaseHeight),
              kFrameStyle),
      app_(app), doc_(doc) {
    CreateMenus();
    CreateToolbar();
    view_ = new COrdinexView(this, app_, doc_);
    view_->SetCommandHandler([this](int command) { RunCommand(command); });
    doc_.AttachForm(view_);
    doc_.SetTitleListener([this] { UpdateTitle(); });
    app_.SetStatusView(view_);
    app_.SetBusyWindows(this);

    RestorePlacement();
    ApplyToolbarVisibility();
    view_->RestoreLastJob();
    RebuildRecentMenu();
    UpdateTitle();

    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
        const int command = cmd::FromWxId(e.GetId());
        if (command < 0)
            e.Skip();
        else
            RunCommand(command);
    });
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUI, this);
    Bind(wxEVT_ACTIVATE, &CMainFrame::OnActivated, this);
    Bind(wxEVT_ICONIZE, &CMainFrame::OnIconized, this);
    // Keeps the restored rectangle that the placement record stores.
    auto trackNormal = [this](wxEvent& e) {
        if (!IsMaximized() && !IsIconized())
            normalRect_ = GetRect();
        e.Skip();
    };
    Bind(wxEVT_SIZE, trackNormal);
    Bind(wxEVT_MOVE, trackNormal);
}

CMainFrame::~CMainFrame() {
    // The core must not reach windows that are going away.
    app_.SetBusyWindows(nullptr);
    app_.SetStatusView(nullptr);
    doc_.AttachForm(nullptr);
    doc_.SetTitleListener({});
}

// ---- Size rules ----

int CMainFrame::FixedHeight() const {
    frame::SizeInputs in;
    in.toolbarExists = toolbar_ != nullptr;
    in.toolbarVisible = toolbarVisible_;
    in.toolbarHeight = toolbarHeight_;
    in.runInProgress = runInProgress_;
    in.alwaysShowExpansionWindow = app_.settings.AlwaysShowExpansionWindow != 0;
    return frame::FrameHeight(in);
}

void CMainFrame::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    if (width == wxDefaultCoord)
        width = GetSize().x;
    (void)height;
    wxFrame::DoSetSize(x, y, frame::ClampWidth(width), FixedHeight(), sizeFlags);
}

void CMainFrame::Relayout() {
    const int h = FixedHeight();
    SetSizeHints(frame::kMinWidth, h, frame::kMaxWidth, h);
    if (view_)
        view_->SetExpanded(runInProgress_ || app_.settings.AlwaysShowExpansionWindow);
    SetSize(GetSize().x, h);
    if (view_)
        view_->SetSize(GetClientSize());
    Refresh();
    Update();
}

// ---- Toolbar ----

void CMainFrame::ApplyToolbarVisibility() {
    if (toolbar_) {
        toolbar_->Show(toolbarVisible_);
        // The frame lays out its client area again without the toolbar.
        SendSizeEvent();
    }
    Relayout();
}

void CMainFrame::ToggleToolbar() {
    if (app_.initDone)
        toolbarVisible_ = !toolbarVisible_;
    ApplyToolbarVisibility();
}

void CMainFrame::EnableToolbarButtons(bool enable) {
    if (!toolbar_)
        return;
    for (size_t i = 0; i < toolbar_->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = toolbar_->GetToolByPos(static_cast<int>(i));
        if (tool && !tool->IsSeparator())
            toolbar_->EnableTool(tool->GetId(), enable);
    }
}

// ---- Busy state ----

void CMainFrame::EnterBusy() {
    view_->DisableForRun();
    EnableToolbarButtons(false);
    if (toolbar_)
        toolbar_->EnableTool(cmd::ToWxId(cmd::kStop), true);
    view_->ClearStatus();
    // The update-UI rules do not run inside the run's own event dispatch.
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
}

void CMainFrame::SetRunLayout(bool busy) {
    runInProgress_ = busy;
    Relayout();
}

void CMainFrame::LeaveBusy() {
    view_->RefreshControls();
    EnableToolbarButtons(true);
    if (toolbar_)
        toolbar_->EnableTool(cmd::ToWxId(cmd::kStop), false);
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
}

void CMainFrame::ShowBusyAnimation() {
    if (!busyAnimation_)
        busyAnimation_ = new CBusyAnimation(this, [this](const std::string& message) { app_.FatalExit(message); });
}

void CMainFrame::DestroyBusyAnimation() {
    if (busyAnimation_)
        busyAnimation_->Destroy();
    busyAnimation_ = nullptr;
}

// ---- Placement ----

void CMainFrame::RestorePlacement() {
    toolbarVisible_ = true;
    const bool readAll = app_.settings.ReadWindowSetting && !app_.fatalExit;
    placement_ = LoadFramePlacement(app_.Profile(), kPlacementSection, readAll);
    if (readAll)
        toolbarVisible_ = app_.Profile().GetInt(kPlacementSection, kToolbarKey, 1) != 0;
    const FramePlacement& p = placement_;
    // Applied as stored, without checks, as the record says.
    SetSize(p.left, p.top, p.right - p.left, p.bottom - p.top, wxSIZE_ALLOW_MINUS_ONE);
    normalRect_ = GetRect();
    if (p.showCmd == kShowMaximized)
        Maximize(true);
    else if (p.showCmd == kShowMinimized)
        Iconize(true);
}

FramePlacement CMainFrame::CurrentPlacement() const {
    FramePlacement p = placement_;
    p.flags = 0;
    p.showCmd = IsIconized() ? kShowMinimized : IsMaximized() ? kShowMaximized : kShowNormal;
    const wxRect r = (IsIconized() || IsMaximized()) ? normalRect_ : GetRect();
    p.left = r.x;
    p.top = r.y;
    p.right = r.x + r.width;
    p.bottom = r.y + r.height;
    return p;
}

void CMainFrame::SaveState() {
    if (!app_.CanSaveState())
        return;
    view_->SaveLastJob();
    SaveFramePlacement(app_.Profile(), kPlacementSection, CurrentPlacement());
    app_.Profile().SetInt(kPlacementSection, kToolbarKey, toolbarVisible_ ? 1 : 0);
}

// ---- Close ----

void CMainFrame::OnClose(wxCloseEvent& event) {
    // A run, or a dialog of a command, still uses the windows: a close
    // request then stops the run and is carried out once the command returns.
    if (app_.running || commandDepth_ > 0) {
        closePending_ = true;
        app_.RequestStop();
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (!app_.settings.ConfirmSaveUrlFolderSettingByExit)
        doc_.SetModifiedFlag(false);
    if (event.CanVeto() &&
        !doc_.SaveModified([this](const std::string& q) { return AskSave(q); }, [this] { return SaveJob(); })) {
        event.Veto();
        return;
    }
    SaveState();
    // The tool windows go with the main window, each saving its state.
    DestroyToolWindows();
    Destroy();
}

// ---- Title ----

void CMainFrame::UpdateTitle() {
    const wxString title = ToWx(doc_.WindowTitle());
    if (GetTitle() != title)
        SetTitle(title);
}

} // namespace ordinex
