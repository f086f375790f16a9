#include "gui/settingsdlg/setting_pages_wx.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace ordinex {

using sheet::ProgramRow;
using Place = ProgramRow::Place;

CSettingPageProgram1::CSettingPageProgram1(wxWindow* parent, sheet::ProgramPageModel& model)
    : CSettingPage(parent), model_(model) {
    const int gap = FromDIP(1), groupGap = FromDIP(9), indent = Indent();
    auto* column = new wxBoxSizer(wxVERTICAL);
    // Each line is a row of its own, so that indented ones start behind a spacer.
    auto newLine = [&](Place place, int left) {
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        line->AddSpacer(left);
        const int top = column->IsEmpty() ? 0 : place == Place::NewGroup ? groupGap : gap;
        column->Add(line, 0, wxTOP, top);
        return line;
    };
    wxBoxSizer* sharedLine = nullptr; // the line that InRow entries share
    for (const ProgramRow& r : sheet::ProgramRows()) {
        const int left = r.place == Place::Indented || r.place == Place::InRow ? indent : 0;
        wxWindow* control = nullptr;
        if (r.key) {
            control = AddCheck(this, r.id, r.caption, model_.Checked(r.id), left);
            control->Bind(wxEVT_CHECKBOX, [this, id = r.id](wxCommandEvent& e) {
                model_.SetChecked(id, e.IsChecked());
                ApplyEnabling(model_.ControlEnabling());
            });
        } else {
            control = AddLabel(this, r.id, r.caption, left);
        }
        if (r.place == Place::InRow) {
            const bool first = !sharedLine;
            if (first)
                sharedLine = newLine(r.place, left);
            sharedLine->Add(control, 0, first ? 0 : wxLEFT, groupGap);
        } else {
            sharedLine = nullptr;
            newLine(r.place, left)->Add(control);
        }
    }
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, FromDIP(10));
    SetSizer(outer);
    ApplyEnabling(model_.ControlEnabling());
}

void CSettingPageProgram1::OnShown() {
    ApplyEnabling(model_.ControlEnabling());
}

} // namespace ordinex
