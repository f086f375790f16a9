#include "gui/settingsdlg/setting_pages_wx.h"

#include "gui/kit/wx_text.h"
#include "gui/widgets/range_edit.h"

#include <wx/checkbox.h>
#include <wx/gbsizer.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ordinex {

namespace {
const wxColour kNoteColour(0, 0, 192);
const char* Text(int id) {
    return sheet::LabelText(sheet::ExtractLabels(), id);
}
} // namespace

using namespace sheet::extract;

CSettingPageTool1::CSettingPageTool1(wxWindow* parent, sheet::ExtractPageModel& model)
    : CSettingPage(parent), model_(model) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(CreateListFilter(), 0, wxEXPAND);
    column->Add(CreateTags(), 0, wxEXPAND | wxTOP, FromDIP(10));
    column->Add(CreateDepth(), 0, wxEXPAND | wxTOP, FromDIP(10));
    auto* note = AddLabel(this, kReloadNote, Text(kReloadNote));
    note->SetForegroundColour(kNoteColour);
    column->Add(note, 0, wxTOP, FromDIP(8));
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, FromDIP(10));
    SetSizer(outer);
    ApplyEnabling(model_.ControlEnabling());
}

wxSizer* CSettingPageTool1::CreateListFilter() {
    auto* frame = new wxStaticBox(this, kListGroup, ToWx(Text(kListGroup)));
    auto* sizer = new wxStaticBoxSizer(frame, wxVERTICAL);
    auto* grid = new wxGridBagSizer(FromDIP(3), FromDIP(6));
    for (int n = 0; n < kExtensionRows; ++n) {
        const sheet::ExtensionRowIds& ids = sheet::ExtensionRows()[n];
        const bool all = n == sheet::kAllExtensionsRow;
        wxCheckBox* check = AddCheck(
            frame, ids.check, all ? sheet::kAllExtensionsText : sheet::kExtensionText, model_.RowChecked(n));
        check->Bind(wxEVT_CHECKBOX, [this, n](wxCommandEvent& e) {
            model_.SetRowChecked(n, e.IsChecked());
            ApplyEnabling(model_.ControlEnabling());
        });
        const auto center = wxALIGN_CENTER_VERTICAL;
        grid->Add(check, wxGBPosition(n, 0), wxGBSpan(1, all ? 2 : 1), center);
        if (!all) {
            auto* extension = new wxTextCtrl(frame, ids.extension, ToWx(model_.Extension(n)));
            extension->Bind(wxEVT_TEXT, [this, n, extension](wxCommandEvent& e) {
                e.Skip();
                model_.SetExtension(n, FromWx(extension->GetValue()));
            });
            grid->Add(extension, wxGBPosition(n, 1), wxDefaultSpan, center | wxEXPAND);
        }
        grid->Add(new wxStaticText(frame, ids.sizeLabel, ToWx(sheet::kFileSizeText)), wxGBPosition(n, 2),
                  wxDefaultSpan, center | wxLEFT, FromDIP(6));
        auto* size = new CGroupedNumberEdit(frame, ids.size, ToWx(model_.SizeText(n)));
        size->SetInitialSize(wxSize(size->GetSizeFromTextSize(size->GetTextExtent("9,999,999,999").x).x, -1));
        size->Bind(wxEVT_TEXT, [this, n, size](wxCommandEvent& e) {
            e.Skip();
            model_.SetSizeText(n, FromWx(size->GetValue()));
        });
        grid->Add(size, wxGBPosition(n, 3), wxDefaultSpan, center);
        grid->Add(new wxStaticText(frame, ids.unitLabel, ToWx(sheet::kSizeUnitText)), wxGBPosition(n, 4),
                  wxDefaultSpan, center);
    }
    grid->AddGrowableCol(1);
    sizer->Add(grid, 0, wxEXPAND | wxALL, FromDIP(6));
    return sizer;
}

wxSizer* CSettingPageTool1::CreateTags() {
    auto* frame = new wxStaticBox(this, kTagGroup, ToWx(Text(kTagGroup)));
    auto* sizer = new wxStaticBoxSizer(frame, wxVERTICAL);
    auto* grid = new wxGridSizer(3, FromDIP(4), FromDIP(12));
    const auto& tags = sheet::TagRows();
    for (std::size_t i = 0; i < tags.size(); ++i) {
        wxCheckBox* check = AddCheck(frame, tags[i].id, tags[i].caption, model_.TagChecked(i));
        check->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent& e) { model_.SetTagChecked(i, e.IsChecked()); });
        grid->Add(check);
    }
    sizer->Add(grid, 0, wxALL, FromDIP(4));
    return sizer;
}

wxSizer* CSettingPageTool1::CreateDepth() {
    auto* frame = new wxStaticBox(this, kDepthGroup, ToWx(Text(kDepthGroup)));
    auto* sizer = new wxStaticBoxSizer(frame, wxVERTICAL);
    depth_ = AddNumberBox(frame, kDepthBox, kDepthSpin, 1, 0, kDepthLimit, model_.DepthText(),
                          [this](const std::string& typed) { OnDepthChanged(typed); });
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    const auto center = wxALIGN_CENTER_VERTICAL;
    line->Add(new wxStaticText(frame, kDepthBefore, ToWx(Text(kDepthBefore))), 0, center);
    line->Add(depth_.sizer, 0, center | wxLEFT | wxRIGHT, FromDIP(4));
    line->Add(new wxStaticText(frame, kDepthAfter, ToWx(Text(kDepthAfter))), 0, center);
    sizer->Add(line, 0, wxALL, FromDIP(4));
    sizer->Add(AddLabel(frame, kDepthNote, Text(kDepthNote)), 0, wxLEFT | wxRIGHT, FromDIP(4));
    wxCheckBox* addToList = AddCheck(frame, kAddToList, Text(kAddToList), model_.AddToList());
    addToList->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { model_.SetAddToList(e.IsChecked()); });
    sizer->Add(addToList, 0, wxALL, FromDIP(4));
    return sizer;
}

void CSettingPageTool1::OnDepthChanged(const std::string& typed) {
    model_.SetDepthText(typed);
    if (model_.DepthText() != typed)
        // GTK finishes placing the typed digit after reporting it: the
        // maximum goes in once it has.
        CallAfter([this] { ShowNumber(depth_, model_.DepthText()); });
    if (auto* addToList = dynamic_cast<wxCheckBox*>(FindWindow(kAddToList)))
        addToList->SetValue(model_.AddToList());
    ApplyEnabling(model_.ControlEnabling());
}

} // namespace ordinex
