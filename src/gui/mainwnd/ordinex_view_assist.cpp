#include "gui/mainwnd/ordinex_view.h"

#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "runs/series_preview.h"
#include "ui/form_ids.h"

#include <wx/button.h>
#include <wx/dnd.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ordinex {

using namespace form;

namespace {

constexpr std::pair<int, const char*> kBoxLabels[] = {
    {kUrlBaseLabel, "URL"},
    {kUrlExpansionLabel, "ファイル名"},
    {kFolderBaseLabel, "保存先フォルダ"},
    {kFolderExpansionLabel, "ファイル名"},
};
constexpr std::pair<int, const char*> kBoxHints[] = {
    {kUrlBase, "http://example.org/scans/  (2つのURLを貼り付けると連番を推測します)"},
    {kUrlExpansion, "img*.jpg  (* などの置換文字を下で指定)"},
    {kFolderExpansion, "img*.jpg"},
};
constexpr const char* kPreviewText = "一覧...";

// Addresses dropped anywhere on the form but into a box, which takes text
// itself, go to the form's taker.
class AddressDrop : public wxTextDropTarget {
public:
    explicit AddressDrop(std::function<bool(const std::string&)>& taker) : taker_(taker) {}
    bool OnDropText(wxCoord, wxCoord, const wxString& text) override {
        return taker_ && taker_(FromWx(text));
    }

private:
    std::function<bool(const std::string&)>& taker_;
};

} // namespace

void COrdinexView::CreateAssistParts() {
    for (auto [key, text] : kBoxLabels)
        AddLabel(key, text, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    for (auto [id, hint] : kBoxHints)
        Text(id)->SetHint(ToWx(hint));
    AddLabel(kCountLine, "", wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    parts_[kPreviewButton] = new wxButton(this, kPreviewButton, ToWx(kPreviewText));
    SetDropTarget(new AddressDrop(takeText_));
    for (auto [key, part] : parts_)
        if (!dynamic_cast<wxTextCtrl*>(part))
            part->SetDropTarget(new AddressDrop(takeText_));
}

void COrdinexView::UpdateCount() {
    const std::string text = CombinationCountText(job_, app_.settings);
    SetLine(kCountLine, text);
    parts_.at(kCountLine)->SetToolTip(ToWx(text));
}

void COrdinexView::TakeJob(const Job& job, const std::string& note) {
    WriteJob(job);
    MarkModified();
    ClearStatus();
    ShowRunResult(note);
}

} // namespace ordinex
