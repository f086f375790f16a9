#include "mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "app/wx/tool_windows.h"
#include "listing/wx/ftp_tree_frame.h"
#include "mainwnd/ordinex_view.h"

namespace ordinex {

// ---- The tree & list windows reach the form through these ----

Job CMainFrame::ReadJob() { return view_->ReadJob(); }

void CMainFrame::CopyToUrlBase(const std::string& text) { view_->CopyIntoUrlBox(text, true); }

void CMainFrame::CopyToUrlExpansion(const std::string& text) { view_->CopyIntoUrlBox(text, false); }

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

void CMainFrame::ShowFtpTreeFromForm() {
    if (!app_.running)
        ShowFtpTreeWindow(app_, *this, view_->GetUrlBase());
}

void CMainFrame::RunFtpListFromForm() {
    if (!app_.running)
        app_.RunFtpList(view_->ReadJob());
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
