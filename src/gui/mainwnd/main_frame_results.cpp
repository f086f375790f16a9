// What the window does with a download run's result: the report window, the
// desktop notification and the title's percent.
#include "gui/mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "gui/resultdlg/result_dialog.h"

#include <wx/notifmsg.h>

namespace ordinex {

void CMainFrame::ShowRunReport() {
    if (app_.running)
        return;
    bool retry = false;
    {
        CResultDialog dialog(this, app_.LastRunReport(), openWithDesktop_, app_.Prompter());
        retry = dialog.ShowModal() == CResultDialog::kRetryId;
    }
    // As any run from this window: inside the command, so that a close
    // request meanwhile waits for it.
    if (retry)
        app_.RetryLastRun();
}

void CMainFrame::OnRunEnded(const std::string& result, double seconds) {
    runPercent_ = -1;
    UpdateTitle();
    const bool active = isActive_ ? isActive_() : IsActive();
    if (NotifiesRunEnd(active, seconds))
        Notify(result);
}

void CMainFrame::Notify(const std::string& text) {
    if (notify_) {
        notify_(app_.productName, text);
        return;
    }
    // Kept until the next one: the desktop may report on it later. Without a
    // notification service it is not shown, and nothing is said.
    notification_ = std::make_unique<wxNotificationMessage>(ToWx(app_.productName), ToWx(text), this);
    notification_->Show();
}

} // namespace ordinex
