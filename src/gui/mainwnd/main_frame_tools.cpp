#include "gui/mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "gui/browser/browser_module.h"
#include "gui/kit/tool_windows.h"
#include "gui/kit/wx_text.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui/listwnd/link_tree_frame.h"
#include "gui/mainwnd/ordinex_view.h"
#include "platform/text_helpers.h"
#include "ui/command_ids.h"
#include "ui/frame_texts.h"

#include <wx/utils.h>

namespace ordinex {

// ---- The tree & list windows reach the form through these ----

Job CMainFrame::ReadJob() {
    return view_->ReadJob();
}

void CMainFrame::CopyToUrlBase(const std::string& text) {
    view_->CopyIntoUrlBox(text, true);
}

void CMainFrame::CopyToUrlExpansion(const std::string& text) {
    view_->CopyIntoUrlBox(text, false);
}

void CMainFrame::CopyAddressToUrlBase(const std::string& address) {
    const AddressCredentials taken = TakeOutPassword(address);
    if (taken.hadPassword && TrimBlanks(view_->GetUserName()).empty()) {
        view_->SetUserName(taken.user);
        view_->SetPassword(taken.password);
    }
    view_->CopyIntoUrlBox(taken.address, true);
}

void CMainFrame::FetchAddress(const std::string& address) {
    if (app_.running)
        return;
    // The run pumps events: closing this window meanwhile waits for it.
    RunNested([&] { app_.FetchLinkAddresses(view_->ReadJob(), {address}); });
}

void CMainFrame::ListSelectionChanged() {
    if (!app_.running)
        view_->RefreshControls();
}

void CMainFrame::RunNested(const std::function<void()>& work) {
    ++commandDepth_;
    work();
    --commandDepth_;
    if (commandDepth_ == 0 && closePending_) {
        closePending_ = false;
        Close();
    }
}

// ---- Commands ----

void CMainFrame::OpenInBrowser(const std::string& address) {
    if (app_.settings.UseWindowsRuleBrowserSetting) {
        OpenInDesktopBrowser(address);
        return;
    }
    const BrowserOpening opening = OpenBrowserWindow(app_, *this, address);
    if (opening.outcome == BrowserOpening::Outcome::NoWebView) {
        app_.ShowMessage(framewin::kBrowserFailed);
    } else if (opening.outcome == BrowserOpening::Outcome::NoModule) {
        // A package split or a damaged install: the page can still be seen.
        IPrompter* prompter = app_.Prompter();
        if (prompter && prompter->MessageBox(frame::BrowserModuleFailureText(opening.reason),
                                             MessageButtons::YesNo, MessageIcon::Exclamation) == kAnswerYes)
            OpenInDesktopBrowser(address);
    }
}

void CMainFrame::OpenInDesktopBrowser(const std::string& address) {
    const bool opened = launchBrowser_ ? launchBrowser_(address) : wxLaunchDefaultBrowser(ToWx(address));
    if (!opened)
        app_.ShowMessage(framewin::kBrowserFailed);
}

void CMainFrame::OpenTreeWindow(int command, const std::string& address) {
    if (app_.running)
        return;
    // The listing pumps events: closing this window meanwhile waits for it.
    RunNested([&] {
        switch (command) {
        case cmd::kShowFtpTree:
            ShowFtpTreeWindow(app_, *this, address);
            break;
        case cmd::kShowLinkTree:
            ShowLinkTreeWindow(app_, *this, address);
            break;
        default:
            break;
        }
    });
}

void CMainFrame::RunFtpListFromForm() {
    if (!app_.running)
        app_.RunFtpList(view_->ReadJob());
}

void CMainFrame::RunLinkListFromForm() {
    if (!app_.running)
        app_.RunLinkList(view_->ReadJob());
}

// ---- The tool windows follow the main window ----

void CMainFrame::OnActivated(wxActivateEvent& event) {
    event.Skip();
    if (app_.initDone && event.GetActive() && !IsIconized())
        ShowToolWindowsBehind(*this);
}

void CMainFrame::OnIconized(wxIconizeEvent& event) {
    event.Skip();
    if (app_.initDone && event.IsIconized())
        HideToolWindows();
}

} // namespace ordinex
