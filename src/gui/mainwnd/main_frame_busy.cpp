// The windows' side of the busy state: a run, a listing or a page load.
#include "gui/mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "gui/kit/input_hold.h"
#include "gui/mainwnd/busy_animation.h"
#include "gui/mainwnd/ordinex_view.h"
#include "ui/command_ids.h"

#include <wx/toolbar.h>

namespace ordinex {

// Work that is over within kBusyLookDelayMs looks instant to the user; the
// busy look (form disabled but Stop, frame grown over the status area,
// animation) would only flash. It is shown once the work has lasted that
// long, or at once when the user is asked something. Until then the window
// keeps its idle look but takes no input, and the status area keeps its
// writes out of sight.

void CMainFrame::BindBusyLook() {
    lookTimer_.SetOwner(this);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { ShowBusyLook(); }, lookTimer_.GetId());
    view_->SetBeforeShowing([this] { ShowBusyLook(); });
}

void CMainFrame::HoldInput(bool hold) {
    if (!hold)
        inputHold_.reset();
    else if (!inputHold_)
        inputHold_ = std::make_unique<CInputHold>();
}

void CMainFrame::EnterBusy() {
    if (!look_.Enter())
        return;
    HoldInput(true);
    view_->HoldStatus();
    lookTimer_.StartOnce(kBusyLookDelayMs);
}

void CMainFrame::ShowBusyLook() {
    const BusyLook::Parts show = look_.ShowNow();
    if (!show.look)
        return;
    lookTimer_.Stop();
    HoldInput(false);
    view_->DisableForRun();
    SetCommandsBusy(true);
    if (show.layout)
        ApplyRunLayout(true);
    if (show.animation)
        PlayBusyAnimation();
}

void CMainFrame::SetCommandsBusy(bool busy) {
    EnableToolbarButtons(!busy);
    if (toolbar_)
        toolbar_->EnableTool(cmd::ToWxId(cmd::kStop), busy);
    // The update-UI rules do not run inside the run's own event dispatch.
    // The frame's own update covers its menus and toolbar, the only windows
    // with rules; the form's controls are set by the form.
    UpdateWindowUI(wxUPDATE_UI_NONE);
}

void CMainFrame::SetRunLayout(bool busy) {
    if (look_.AskLayout(busy))
        ApplyRunLayout(busy);
}

void CMainFrame::ApplyRunLayout(bool busy) {
    look_.SetGrown(busy);
    workArea_ = wxRect();
    // Leaving a run: nothing is drawn until the controls are enabled again,
    // so the idle form is painted once rather than disabled and then enabled.
    if (!busy && !frozenForLeave_) {
        Freeze();
        frozenForLeave_ = true;
    }
    // A frame that only grows shorter stays on the screen, and the animation
    // that follows it is about to go.
    Relayout(/*keepOnScreen=*/busy);
}

void CMainFrame::LeaveBusy() {
    look_.Leave();
    lookTimer_.Stop();
    HoldInput(false);
    // Sets nothing that the work left as it found it.
    view_->RefreshControls();
    SetCommandsBusy(false);
    if (frozenForLeave_) {
        frozenForLeave_ = false;
        Thaw();
    }
    // A page load holds the busy state without a command of this window
    // around it: a close that waited for it is carried out now.
    if (closePending_ && commandDepth_ == 0)
        CallAfter([this] {
            if (closePending_ && commandDepth_ == 0 && !app_.running) {
                closePending_ = false;
                Close();
            }
        });
}

void CMainFrame::ShowBusyAnimation() {
    if (look_.AskAnimation())
        PlayBusyAnimation();
}

void CMainFrame::DestroyBusyAnimation() {
    look_.DropAnimation();
    if (busyAnimation_)
        busyAnimation_->Halt();
    busyAnimation_ = nullptr;
}

} // namespace ordinex
