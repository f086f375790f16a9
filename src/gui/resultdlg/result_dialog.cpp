#include "gui/resultdlg/result_dialog.h"

#include "gui/kit/wx_text.h"
#include "gui/resultdlg/result_list.h"
#include "gui/resultdlg/result_texts.h"
#include "platform/ui_hooks.h"
#include "platform/visible_text.h"

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

namespace ordinex {

using namespace resultwin;

CResultDialog::CResultDialog(wxWindow* parent, const RunReport& report, Opener opener, IPrompter* prompter)
    : wxDialog(parent, wxID_ANY, ToWx(kTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      table_(report), opener_(std::move(opener)), prompter_(prompter) {
    CreateLayout(report);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kRetryId); }, kRetryId);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OpenFolder(); }, kOpenFolderId);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { CopyAddresses(); }, kCopyId);
}

void CResultDialog::CreateLayout(const RunReport& report) {
    const int gap = FromDIP(8);
    auto* summary = new wxStaticText(this, kSummaryId, wxEmptyString);
    // Counts and times only; SetLabelText all the same, so that no "&"
    // could become a mnemonic.
    summary->SetLabelText(ToWx(ResultSummary(report)));
    list_ = new CResultList(this, table_);

    auto* retry = new wxButton(this, kRetryId, ToWx(kRetry));
    auto* open = new wxButton(this, kOpenFolderId, ToWx(kOpenFolder));
    auto* copy = new wxButton(this, kCopyId, ToWx(kCopyAddresses));
    auto* close = new wxButton(this, wxID_CANCEL, ToWx(kClose));
    retry->Enable(table_.RetryableCount() > 0);
    open->Enable(table_.RowCount() > 0);
    copy->Enable(table_.RowCount() > 0);
    close->SetDefault();

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(retry, 0, wxRIGHT, gap);
    buttons->Add(open, 0, wxRIGHT, gap);
    buttons->Add(copy, 0, wxRIGHT, gap);
    buttons->AddStretchSpacer();
    buttons->Add(close);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(summary, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap + gap / 2);
    column->Add(list_, 1, wxEXPAND | wxALL, gap + gap / 2);
    column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, gap + gap / 2);
    SetSizer(column);
    // Wide enough for the four columns (within the screen), no narrower
    // than the buttons.
    const wxSize least = column->GetMinSize();
    const int display = GetParent() ? wxDisplay::GetFromWindow(GetParent()) : wxNOT_FOUND;
    const int screen =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea().width;
    const int wanted = list_->ColumnsWidth() + 3 * gap + FromDIP(24); // borders and a scroll bar
    SetSize(wxSize(std::clamp(wanted, std::max(least.x, FromDIP(640)), std::max(least.x, screen * 9 / 10)),
                   std::max(FromDIP(420), least.y)));
    SetMinSize(wxSize(least.x, std::max(FromDIP(240), least.y)));
    SetEscapeId(wxID_CANCEL);
    CentreOnParent();
}

void CResultDialog::OpenFolder() {
    const std::string folder = table_.FolderToOpen(list_->SelectedPlaces());
    if (folder.empty()) {
        Tell(std::string(kFolderFailed) + "\n" + kNoFolderKnown);
        return;
    }
    const DesktopLaunch launch = (opener_ ? opener_ : OpenWithDesktop)(FileAddress(folder));
    if (launch.outcome == DesktopLaunch::Outcome::Opened)
        return;
    std::string text = std::string(kFolderFailed) + ": " + VisibleText(folder);
    if (launch.outcome == DesktopLaunch::Outcome::NoHandler)
        text += std::string("\n") + kNoFolderHandler;
    else if (!launch.reason.empty())
        text += "\n" + VisibleText(launch.reason);
    Tell(text);
}

void CResultDialog::CopyAddresses() {
    const std::string text = table_.AddressLines(list_->SelectedPlaces());
    wxClipboardLocker locker;
    if (!locker) {
        Tell(kClipboardFailed);
        return;
    }
    wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
}

void CResultDialog::Tell(const std::string& text) {
    if (prompter_)
        prompter_->MessageBox(text, MessageButtons::Ok, MessageIcon::Exclamation);
}

} // namespace ordinex
