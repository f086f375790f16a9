#include "gui/settingsdlg/setting_pages_wx.h"

#include "gui/kit/wx_text.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gbsizer.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ordinex {

using sheet::ChoiceGroup;
using sheet::OptionRow;

CSettingPageDownload1::CSettingPageDownload1(wxWindow* parent, sheet::DownloadPageModel& model)
    : CSettingPage(parent), model_(model) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(CreateOptions(), 0, wxEXPAND);
    for (std::size_t g = 0; g < sheet::DownloadChoiceGroups().size(); ++g)
        column->Add(CreateChoiceGroup(g), 0, wxEXPAND | wxTOP, FromDIP(12));
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, FromDIP(10));
    SetSizer(outer);
}

// Check boxes take a whole line; number rows line their boxes up behind
// their labels.
wxSizer* CSettingPageDownload1::CreateOptions() {
    const auto& rows = sheet::DownloadOptionRows();
    auto* grid = new wxGridBagSizer(FromDIP(4), FromDIP(8));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OptionRow& r = rows[i];
        const int line = static_cast<int>(i);
        if (r.kind == OptionRow::Kind::Check) {
            wxCheckBox* check = AddCheck(this, r.id, r.caption, model_.OptionChecked(i));
            check->Bind(wxEVT_CHECKBOX,
                        [this, i](wxCommandEvent& e) { model_.SetOptionChecked(i, e.IsChecked()); });
            grid->Add(check, wxGBPosition(line, 0), wxGBSpan(1, 2));
            continue;
        }
        grid->Add(AddLabel(this, wxID_ANY, r.caption), wxGBPosition(line, 0), wxDefaultSpan,
                  wxALIGN_CENTER_VERTICAL);
        if (r.kind == OptionRow::Kind::Choice) {
            auto* choice = new wxChoice(this, r.id);
            for (const char* text : r.choices)
                choice->Append(ToWx(text));
            choice->SetStringSelection(ToWx(model_.OptionText(i)));
            choice->Bind(wxEVT_CHOICE, [this, i, choice](wxCommandEvent&) {
                model_.SetOptionText(i, FromWx(choice->GetStringSelection()));
            });
            grid->Add(choice, wxGBPosition(line, 1), wxDefaultSpan, wxALIGN_CENTER_VERTICAL);
            continue;
        }
        const int chars = static_cast<int>(std::to_string(r.max).size());
        NumberBox number =
            AddNumberBox(this, r.id, r.spinId, chars, r.min, r.max, model_.OptionText(i),
                         [this, i](const std::string& typed) { model_.SetOptionText(i, typed); });
        number.sizer->Add(new wxStaticText(this, wxID_ANY, ToWx(r.unit)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT,
                          FromDIP(6));
        grid->Add(number.sizer, wxGBPosition(line, 1), wxDefaultSpan, wxALIGN_CENTER_VERTICAL);
    }
    return grid;
}

wxSizer* CSettingPageDownload1::CreateChoiceGroup(std::size_t g) {
    const ChoiceGroup& group = sheet::DownloadChoiceGroups()[g];
    auto* frame = new wxStaticBox(this, group.groupId, ToWx(group.caption));
    auto* sizer = new wxStaticBoxSizer(frame, wxVERTICAL);
    std::vector<wxRadioButton*>& radios = radios_.emplace_back();
    // A stored value outside 0..2 selects none of the three, as GTK can only
    // show with a hidden button of the group selected.
    const int choice = model_.Choice(g);
    if (choice < 0 || choice > 2) {
        auto* none =
            new wxRadioButton(frame, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
        none->Hide();
        radios.push_back(nullptr);
    }
    for (int c = 0; c < 3; ++c) {
        const long style = c == 0 && radios.empty() ? wxRB_GROUP : 0;
        auto* radio = new wxRadioButton(frame, group.choices[c].id, ToWx(group.choices[c].text),
                                        wxDefaultPosition, wxDefaultSize, style);
        radio->Bind(wxEVT_RADIOBUTTON, [this, g, c](wxCommandEvent&) { model_.SetChoice(g, c); });
        radios.push_back(radio);
        if (c != 1 || !group.countKey) {
            sizer->Add(radio, 0, wxALL, FromDIP(3));
            continue;
        }
        NumberBox count = AddNumberBox(frame, group.countId, group.spinId, 2, 0, sheet::kCountMax,
                                       model_.CountText(g), [this, g](const std::string& typed) {
                                           model_.SetCountText(g, typed);
                                           ShowChoice(g);
                                       });
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        line->Add(radio, 0, wxALIGN_CENTER_VERTICAL);
        line->Add(count.sizer, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(4));
        line->Add(new wxStaticText(frame, group.countTail.id, ToWx(group.countTail.text)), 0,
                  wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(6));
        sizer->Add(line, 0, wxALL, FromDIP(3));
    }
    ShowChoice(g);
    return sizer;
}

void CSettingPageDownload1::ShowChoice(std::size_t g) {
    const std::vector<wxRadioButton*>& radios = radios_.at(g);
    const bool hasNone = !radios.empty() && radios.front() == nullptr;
    const int choice = model_.Choice(g);
    if (choice >= 0 && choice <= 2)
        radios.at(choice + (hasNone ? 1 : 0))->SetValue(true);
}

} // namespace ordinex
