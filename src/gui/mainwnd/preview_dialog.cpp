#include "gui/mainwnd/preview_dialog.h"

#include "gui/kit/wx_text.h"
#include "platform/text_helpers.h"
#include "platform/visible_text.h"

#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

namespace ordinex {

namespace {

constexpr std::pair<const char*, int> kColumns[] = {
    {"番号", 90},
    {"URL", 340},
    {"保存先", 300},
    {"既存のファイル", 170},
};

const char* PolicyText(int32_t saveSetting) {
    switch (saveSetting) {
    case 0:
        return "既存のファイルはスキップします";
    case 1:
        return "既存のファイルは上書きします";
    default:
        return "既存のファイルがあれば (n) を付けた名前で保存します";
    }
}

} // namespace

// The list asks the dialog for each cell it paints.
class CPreviewList : public wxListCtrl {
public:
    CPreviewList(CPreviewDialog* owner)
        : wxListCtrl(owner, wxID_ANY, wxDefaultPosition, wxSize(900, 420),
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL),
          owner_(owner) {}

private:
    wxString OnGetItemText(long item, long column) const override {
        return ToWx(owner_->CellText(item, static_cast<int>(column)));
    }
    CPreviewDialog* owner_;
};

CPreviewDialog::CPreviewDialog(wxWindow* parent, SeriesPreview preview, int32_t saveSetting)
    : wxDialog(parent, wxID_ANY, ToWx("ダウンロードする URL と保存先の一覧"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      preview_(std::move(preview)), saveSetting_(saveSetting) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    std::string head = "全 " + FormatByteCount(preview_.Count()) + " ファイル　" + PolicyText(saveSetting_);
    if (preview_.Count() > kMaxRows)
        head += "\n(先頭の " + FormatByteCount(kMaxRows - 1) + " 件と最後の 1 件を表示しています)";
    auto* summary = new wxStaticText(this, wxID_ANY, wxEmptyString);
    summary->SetLabelText(ToWx(head));
    top->Add(summary, 0, wxALL, 8);
    auto* list = new CPreviewList(this);
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
        list->AppendColumn(ToWx(kColumns[c].first), c == 0 ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT,
                           kColumns[c].second);
    list->SetItemCount(static_cast<long>(RowCount()));
    top->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    top->Add(CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(top);
    CentreOnParent();
}

int64_t CPreviewDialog::RowCount() const {
    return std::min(preview_.Count(), kMaxRows);
}

int64_t CPreviewDialog::CombinationOf(int64_t row) const {
    return preview_.Count() > kMaxRows && row == kMaxRows - 1 ? preview_.Count() - 1 : row;
}

std::string CPreviewDialog::CellText(int64_t row, int column) const {
    const int64_t n = CombinationOf(row);
    switch (column) {
    case 0:
        return FormatByteCount(n + 1);
    case 1:
        return VisibleText(MaskPasswords(preview_.Url(n)));
    case 2:
        return VisibleText(preview_.Destination(n));
    case 3:
        return SeriesPreview::ExistingText(preview_.Destination(n), saveSetting_);
    default:
        return {};
    }
}

} // namespace ordinex
