#include "gui/mainwnd/ordinex_view.h"

#include "gui/kit/gtk_calls.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/form_art.h"
#include "gui/resultdlg/result_texts.h"
#include "gui/widgets/range_edit.h"
#include "job/wildcard_range.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>

namespace ordinex {

using namespace form;

namespace {

// The form's texts, in one place.
constexpr const char* kUrlGroupText = "URL";
constexpr const char* kFolderGroupText = "保存先";
constexpr const char* kRangeGroupText = "置換文字";
constexpr const char* kUserNameText = "アクセス　ユーザー名";
constexpr const char* kPasswordText = "アクセス　パスワード";
constexpr const char* kTildeText = "～";
constexpr const char* kClosingText = "に変えてダウンロード";
constexpr std::pair<int, const char*> kButtonTexts[] = {
    {kBrowserButton, "Browser..."},
    {kExplorerButton, "Explorer..."},
    {kFtpTreeButton, "FTP Tree..."},
    {kLinkTreeButton, "Link Tree..."},
    {kBrowseFolderButton, "参照..."},
    {kCopyUrlButton, "URLをコピー"},
    {kRunSeriesButton, "置換･ダウンロード"},
    {kFtpListButton, "FTPリスト･ダウンロード"},
    {kLinkListButton, "Linkリスト･ダウンロード"},
    {kStopButton, "ダウンロード中止"},
};

// The longest texts the progress details commonly show.
constexpr const char* kFileDetailSample = "100% 999.9 MB/s 残り 99:59:59";
constexpr const char* kRunDetailSample = "99,999 / 99,999 ファイル 999.9 MB/s";

const wxColour kStatusColour(0, 0, 192);
const wxColour kTransferColour(128, 0, 0);
const wxColour kDisplayColour(0, 128, 0);

} // namespace

wxTextCtrl* COrdinexView::AddText(int id) {
    auto* text = new wxTextCtrl(this, id);
    parts_[id] = text;
    return text;
}

wxStaticText* COrdinexView::AddLabel(int key, const std::string& text, long style) {
    auto* label =
        new wxStaticText(this, key > 0 ? key : wxID_ANY, ToWx(text), wxDefaultPosition, wxDefaultSize, style);
    parts_[key] = label;
    return label;
}

void COrdinexView::CreateControls() {
    // Group boxes first, so that the controls inside are drawn over them.
    parts_[kUrlGroup] = new wxStaticBox(this, kUrlGroup, ToWx(kUrlGroupText));
    parts_[kFolderGroup] = new wxStaticBox(this, kFolderGroup, ToWx(kFolderGroupText));
    parts_[kRangeGroup] = new wxStaticBox(this, kRangeGroup, ToWx(kRangeGroupText));

    parts_[kUrlBaseIcon] = new wxStaticBitmap(this, wxID_ANY, MakeUrlBaseMark());
    parts_[kUrlExpansionIcon] = new wxStaticBitmap(this, wxID_ANY, MakeUrlExpansionMark());

    AddText(kUrlBase);
    AddLabel(kUrlSeparator, "", wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    AddText(kUrlExpansion);
    AddLabel(kUserNameLabel, kUserNameText);
    AddText(kUserName);
    AddLabel(kPasswordLabel, kPasswordText);
    AddText(kPassword);
    AddLabel(kUrlDisplay, "", wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END)->SetForegroundColour(kDisplayColour);

    AddText(kFolderBase);
    AddLabel(kFolderSeparator, "", wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    AddText(kFolderExpansion);
    AddLabel(kFolderDisplay, "", wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END)
        ->SetForegroundColour(kDisplayColour);

    for (int k = 0; k < kRangeCount; ++k) {
        const RangeIds& r = kRangeIds[k];
        parts_[r.check] = new wxCheckBox(this, r.check, wxEmptyString);
        AddLabel(r.label, std::string(1, RangePlaceholder(k)) + " を");
        parts_[r.start] = new CRangeEdit(this, r.start);
        AddLabel(r.tilde, kTildeText, wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
        parts_[r.end] = new CRangeEdit(this, r.end);
    }
    AddLabel(kRangeClosingLabel, kClosingText);
    CreateAssistParts();
    for (auto [id, part] : parts_)
        if (auto* box = dynamic_cast<wxTextCtrl*>(part))
            SetMaskCharacter(box);

    for (auto [id, text] : kButtonTexts)
        parts_[id] = new wxButton(this, id, ToWx(text));

    parts_[kStatusRule] = new wxStaticLine(this, kStatusRule);
    for (int id :
         {kUrlStatusLine, kFolderStatusLine, kStatusLine, kStatusLine2, kByteProgressText, kFileProgressText})
        AddLabel(id, "", wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE)->SetForegroundColour(kStatusColour);
    AddLabel(kTransferStatus, "", wxST_NO_AUTORESIZE)->SetForegroundColour(kTransferColour);
    for (int id : {kByteProgressDetail, kFileProgressDetail})
        AddLabel(id, "", wxALIGN_RIGHT | wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE)
            ->SetForegroundColour(kStatusColour);
    AddLabel(kRunResultLine, "", wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END)
        ->SetForegroundColour(kTransferColour);
    parts_[kRunResultLine]->Hide();
    // A link rather than a button: it fits the line's height.
    auto* details =
        new wxGenericHyperlinkCtrl(this, wxID_ANY, ToWx(resultwin::kDetailsLink), wxEmptyString,
                                   wxDefaultPosition, wxDefaultSize, wxNO_BORDER | wxHL_ALIGN_RIGHT);
    details->Bind(wxEVT_HYPERLINK, [this](wxHyperlinkEvent&) {
        if (commandHandler_)
            commandHandler_(cmd::kShowRunReport);
    });
    details->Hide();
    parts_[kRunResultLink] = details;
    for (int id : {kByteProgressBar, kFileProgressBar}) {
        parts_[id] =
            new wxGauge(this, id, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL | wxGA_SMOOTH);
        parts_[id]->Hide();
    }

    MeasureMetrics();
    ApplyLayout();
}

void COrdinexView::MeasureMetrics() {
    FormMetrics& m = metrics_;
    auto best = [this](int key) { return parts_.at(key)->GetBestSize(); };
    m.entryHeight = best(kUrlBase).y;
    m.lineHeight = best(kUserNameLabel).y;
    m.buttonHeight = 0;
    m.buttonWidth = 0;
    for (int id : {kBrowserButton, kExplorerButton, kFtpTreeButton, kLinkTreeButton, kBrowseFolderButton,
                   kCopyUrlButton}) {
        m.buttonHeight = std::max(m.buttonHeight, best(id).y);
        m.buttonWidth = std::max(m.buttonWidth, best(id).x);
    }
    const int runIds[4] = {kRunSeriesButton, kFtpListButton, kLinkListButton, kStopButton};
    for (int i = 0; i < 4; ++i) {
        m.buttonHeight = std::max(m.buttonHeight, best(runIds[i]).y);
        m.runButtonWidths[i] = best(runIds[i]).x;
    }
    m.labelColumn = std::max(best(kUserNameLabel).x, best(kPasswordLabel).x) + 8;
    m.separatorWidth = GetTextExtent("/").x + 2;
    m.checkWidth = best(kRangeIds[0].check).x;
    m.checkHeight = best(kRangeIds[0].check).y;
    m.rangeLabelWidth = 0;
    for (const RangeIds& r : kRangeIds)
        m.rangeLabelWidth = std::max(m.rangeLabelWidth, best(r.label).x);
    m.tildeWidth = GetTextExtent(ToWx(kTildeText)).x + 2;
    auto* rangeBox = static_cast<wxTextCtrl*>(parts_.at(kRangeIds[0].start));
    m.rangeBoxWidth = rangeBox->GetSizeFromTextSize(rangeBox->GetTextExtent("000000").x).x;
    m.closingLabelWidth = best(kRangeClosingLabel).x;
    m.previewButtonWidth = best(kPreviewButton).x;
    int captionTop = 0, otherBorder = 0;
    static_cast<wxStaticBox*>(parts_.at(kUrlGroup))->GetBordersForSizer(&captionTop, &otherBorder);
    m.groupCaption = std::max(captionTop, m.lineHeight);
    m.gaugeHeight = std::max(best(kByteProgressBar).y, 8);
    // Room for the longest texts of the kind the details show.
    m.progressDetailWidth =
        8 + std::max(GetTextExtent(ToWx(kFileDetailSample)).x, GetTextExtent(ToWx(kRunDetailSample)).x);
    m.resultLinkWidth = best(kRunResultLink).x;
    // Boxes and buttons share one row height, tall enough for Japanese text
    // (the theme measures boxes by the Latin font alone).
    m.entryHeight = std::max(m.entryHeight, m.lineHeight + 4);
    m.buttonHeight = m.entryHeight;
}

void COrdinexView::ApplyLayout() {
    // Below its minimum width the form is laid out at that width and cut off
    // at the right, rather than squeezing controls under their natural size.
    const FormGeometry g = LayoutForm(metrics_, GetClientSize().x, !runResult_.empty());
    if (g.rects == geometry_.rects && g.width == geometry_.width)
        return;
    geometry_ = g;
    for (const auto& [key, rect] : geometry_.rects)
        if (auto it = parts_.find(key); it != parts_.end())
            it->second->SetSize(rect.x, rect.y, rect.w, rect.h);
}

} // namespace ordinex
