#include "gui/mainwnd/main_frame.h"
#include "gui/mainwnd/series_assist.h"

#include "app/ordinex_app.h"
#include "gui/kit/input_hold.h"
#include "gui/kit/tool_windows.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/busy_animation.h"
#include "gui/mainwnd/ordinex_view.h"
#include "gui/widgets/app_art.h"
#include "ui/command_ids.h"
#include "ui/frame_texts.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/notifmsg.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace ordinex {

namespace {
constexpr const char* kPlacementSection = "Window";
constexpr const char* kToolbarKey = "Toolbar";
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxCLOSE_BOX;
// How long after showing the frame a move is taken for the window manager's
// placement, which may put it partly off the screen.
constexpr long kPlacementSettleMs = 3000;

form::Rect ToRect(const wxRect& r) {
    return {r.x, r.y, r.width, r.height};
}

// The usable part of the screen the window is on (without panels).
wxRect WorkAreaOf(const wxWindow* window) {
    int display = wxDisplay::GetFromWindow(window);
    if (display == wxNOT_FOUND)
        display = wxDisplay::GetFromPoint(window->GetRect().GetTopLeft());
    return wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
}
} // namespace

CMainFrame::CMainFrame(COrdinexApp& app, COrdinexDoc& doc)
    : wxFrame(nullptr, wxID_ANY, ToWx(app.productName), wxDefaultPosition,
              wxSize(frame::kMinWidth, frame::kInitialHeight), kFrameStyle),
      app_(app), doc_(doc) {
    CreateMenus();
    CreateToolbar();
    view_ = new COrdinexView(this, app_, doc_);
    view_->SetCommandHandler([this](int command) { RunCommand(command); });
    assist_ = std::make_unique<CSeriesAssist>(app_, *view_);
    view_->SetTextTaker([this](const std::string& text) { return assist_->TakeAddresses(text); });
    view_->SetHeightListener([this] { Relayout(); });
    view_->SetPercentListener([this](int percent) {
        runPercent_ = percent;
        UpdateTitle();
    });
    view_->SetRunEndListener(
        [this](const std::string& result, double seconds) { OnRunEnded(result, seconds); });
    doc_.AttachForm(view_);
    doc_.SetTitleListener([this] { UpdateTitle(); });
    app_.SetStatusView(view_);
    app_.SetBusyWindows(this);
    BindBusyLook();

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
    // The window manager adds its decorations, and tells their size, only
    // once the frame is on the screen, and may place it anywhere: the height
    // is measured again then, and the frame kept on the screen. Both
    // handlers act at once: a run dispatches window events, not queued calls.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        e.Skip();
        if (!view_ || inRelayout_ || IsMaximized() || IsIconized() || !SizeIsReal())
            return;
        if (GetClientSize().y != FormHeight())
            Relayout();
        else if (BeingPlaced())
            KeepOnScreen();
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
        e.Skip();
        if (BeingPlaced())
            KeepOnScreen();
    });
}

CMainFrame::~CMainFrame() {
    // The core must not reach windows that are going away.
    app_.SetBusyWindows(nullptr);
    app_.SetStatusView(nullptr);
    doc_.AttachForm(nullptr);
    doc_.SetTitleListener({});
}

// ---- Size rules ----

int CMainFrame::FormHeight() const {
    return view_ ? view_->FormHeight(look_.Grown() || app_.settings.AlwaysShowExpansionWindow) : 0;
}

int CMainFrame::FixedHeight() const {
    if (!view_)
        return GetSize().y;
    frame::SizeInputs in;
    // Decorations, menu bar and the shown toolbar, as the toolkit measures them now.
    in.outsideClientHeight = GetSize().y - GetClientSize().y;
    in.formIdleHeight = view_->FormHeight(false);
    in.formExpandedHeight = view_->FormHeight(true);
    in.runInProgress = look_.Grown();
    in.alwaysShowExpansionWindow = app_.settings.AlwaysShowExpansionWindow != 0;
    return frame::FrameHeight(in);
}

void CMainFrame::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    if (width == wxDefaultCoord)
        width = GetSize().x;
    if (view_ || height == wxDefaultCoord)
        height = FixedHeight();
    wxFrame::DoSetSize(x, y, frame::ClampWidth(width), height, sizeFlags);
}

bool CMainFrame::Show(bool show) {
    if (show) {
        placementSettleUntil_ = wxGetLocalTimeMillis() + kPlacementSettleMs;
        KeepOnScreen();
        // The animation window is made while the user looks at the new
        // frame, not when the first run starts.
        CallAfter([this] { AnimationWindow(); });
    }
    return wxFrame::Show(show);
}

void CMainFrame::Relayout(bool keepOnScreen) {
    if (inRelayout_)
        return;
    inRelayout_ = true;
    const int h = FixedHeight();
    SetSizeHints(frame::kMinWidth, h, frame::kMaxWidth, h);
    // Set as a client size: the toolkit then keeps the client area when the
    // window manager's decorations become known, rather than the outer size.
    SetClientSize(GetClientSize().x, FormHeight());
    if (view_)
        view_->SetSize(GetClientSize());
    if (keepOnScreen)
        KeepOnScreen();
    inRelayout_ = false;
    // Painted with the next events, together with whatever else changed
    // meanwhile (a run's end re-enables every control right after this):
    // one repaint of the window instead of two.
    Refresh();
}

bool CMainFrame::SizeIsReal() const {
    // While the window is being mapped the toolkit passes through sizes that
    // are not the frame's.
    return GetClientSize().x >= frame::kMinWidth / 2;
}

bool CMainFrame::BeingPlaced() const {
    // Shortly after showing, a move is the window manager's placement; a
    // drag of the user's is left alone.
    return IsShown() && wxGetLocalTimeMillis() < placementSettleUntil_ &&
           !wxGetMouseState().ButtonIsDown(wxMOUSE_BTN_ANY);
}

void CMainFrame::KeepOnScreen() {
    if (IsMaximized() || IsIconized() || !SizeIsReal())
        return;
    const wxRect r = OuterRect(*this);
    workArea_ = WorkAreaOf(this);
    const form::Rect placed = frame::KeepOnScreen(ToRect(r), ToRect(workArea_));
    if (placed.x != r.x || placed.y != r.y)
        Move(placed.x, placed.y);
    PlaceBusyAnimation();
}

// ---- Toolbar ----

void CMainFrame::ApplyToolbarVisibility() {
    if (toolbar_) {
        toolbar_->Show(toolbarVisible_);
        // wxGTK reports the client size of the last layout pass until the
        // toolkit lays the window out again; the height measured next must
        // already count the toolbar as it is now.
        m_useCachedClientSize = false;
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

// ---- Busy animation ----

form::Rect CMainFrame::BusyAnimationPlace(const wxRect& workArea) const {
    const wxRect frameRect = GetRect();
    // The form's empty corner in screen coordinates; the frame's side and
    // bottom borders are taken to be equally wide.
    form::Rect freeInside = view_->Geometry().freeCorner;
    const wxSize outside = GetSize() - GetClientSize();
    freeInside.x += frameRect.x + outside.x / 2;
    freeInside.y += frameRect.y + outside.y - outside.x / 2;
    return frame::PlaceBusyAnimation(ToRect(frameRect), ToRect(workArea), kBusyFrameWidth, kBusyFrameHeight,
                                     freeInside);
}

CBusyAnimation* CMainFrame::AnimationWindow() {
    if (!animationWindow_)
        animationWindow_ =
            new CBusyAnimation(this, [this](const std::string& message) { app_.FatalExit(message); });
    return animationWindow_;
}

void CMainFrame::PlayBusyAnimation() {
    if (busyAnimation_)
        return;
    // A run's start has just asked for the screen's work area, placing the
    // grown frame.
    const wxRect workArea = std::exchange(workArea_, wxRect());
    const form::Rect place = BusyAnimationPlace(workArea.IsEmpty() ? WorkAreaOf(this) : workArea);
    busyAnimation_ = AnimationWindow();
    busyAnimation_->Play(wxPoint(place.x, place.y));
}

void CMainFrame::PlaceBusyAnimation() {
    // Follows the frame when it grows or is placed, until the user moves it.
    if (!busyAnimation_ || busyAnimation_->MovedByUser())
        return;
    const form::Rect place = BusyAnimationPlace(WorkAreaOf(this));
    if (busyAnimation_->GetPosition() != wxPoint(place.x, place.y))
        busyAnimation_->Move(place.x, place.y);
}

// ---- Placement ----

void CMainFrame::RestorePlacement() {
    toolbarVisible_ = true;
    const bool readAll = app_.settings.ReadWindowSetting && !app_.fatalExit;
    if (readAll)
        toolbarVisible_ = app_.Profile().GetInt(kPlacementSection, kToolbarKey, 1) != 0;
    // The stored rectangle with the height the form needs; a frame that
    // would reach beyond the screen is moved onto it.
    placement_.Restore(LoadFramePlacement(app_.Profile(), kPlacementSection, readAll));
    if (view_)
        KeepOnScreen();
}

FramePlacement CMainFrame::CurrentPlacement() const {
    return placement_.Current();
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
    const bool askAllowed = !std::exchange(closeWithoutAsking_, false);
    // A run, or a dialog of a command, still uses the windows: a close
    // request then stops the run and is carried out once the command returns.
    if (app_.running || commandDepth_ > 0) {
        if (!CloseMayStopRun(askAllowed)) {
            if (event.CanVeto())
                event.Veto();
            return;
        }
        closePending_ = true;
        app_.RequestStop();
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (!app_.settings.ConfirmSaveUrlFolderSettingByExit)
        doc_.SetModifiedFlag(false);
    if (endProcessOnClose_) {
        // Whatever the answer to the save question, the program ends here.
        doc_.SaveModified([this](const std::string& q) { return AskSave(q); }, [this] { return SaveJob(); });
        if (endProcess_)
            endProcess_(1);
        else
            std::_Exit(1);
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (event.CanVeto() && !doc_.SaveModified([this](const std::string& q) { return AskSave(q); },
                                              [this] { return SaveJob(); })) {
        event.Veto();
        return;
    }
    SaveState();
    // The tool windows go with the main window, each saving its state.
    DestroyToolWindows();
    Destroy();
}

void CMainFrame::CloseAndEndProcess() {
    endProcessOnClose_ = true;
    Close();
}

void CMainFrame::CloseForSystem() {
    closeWithoutAsking_ = true;
    Close();
}

bool CMainFrame::CloseMayStopRun(bool askAllowed) {
    // A listing or a page load loses nothing by stopping; the way out chosen
    // at a pause, a close already under way and the system's request have
    // been decided.
    if (!app_.DownloadRunInProgress() || !askAllowed || closePending_ || endProcessOnClose_)
        return true;
    // A second request while the question is on the screen: it answers both.
    if (askingToClose_)
        return false;
    IPrompter* prompter = app_.Prompter();
    if (!prompter)
        return true;
    askingToClose_ = true;
    const int answer = prompter->MessageBox(framewin::kCloseDuringRun, MessageButtons::YesNo,
                                            MessageIcon::Exclamation, /*defaultNo=*/true);
    askingToClose_ = false;
    // The system may have asked to end meanwhile (its close does not wait).
    return answer == kAnswerYes || closePending_;
}

// ---- Title ----

void CMainFrame::UpdateTitle() {
    // While a run lasts its percent leads, where a taskbar still shows it.
    const std::string prefix = runPercent_ >= 0 ? "[" + std::to_string(runPercent_) + "%] " : "";
    const wxString title = ToWx(prefix + doc_.WindowTitle());
    if (GetTitle() != title)
        SetTitle(title);
}

} // namespace ordinex
