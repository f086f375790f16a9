#include "gui/mainwnd/guess_dialog.h"

#include "gui/kit/wx_text.h"
#include "runs/series_guess.h"
#include "runs/series_preview.h"
#include "settings/program_settings.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ordinex {

namespace {

// What a guess found, line by line, or why there is none.
std::string Describe(const SeriesGuess& g) {
    if (!g.ok)
        return g.error;
    std::string text = "URL:  " + g.job.urlBase + g.job.urlExpansion + "\n保存先:  " + g.job.folderBase +
                       g.job.folderExpansion + "\n";
    for (const std::string& r : g.rangeTexts)
        text += "置換文字 " + r + "\n";
    // The guess's boxes join without a separator of their own.
    return text + CombinationCountText(g.job, ProgramSettings{});
}

} // namespace

CGuessDialog::CGuessDialog(wxWindow* parent, const std::string& first, const std::string& last,
                           const std::string& folder)
    : wxDialog(parent, wxID_ANY, ToWx("URLから連番を推測"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      folder_(folder) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(
                 this, wxID_ANY,
                 ToWx("連番の最初と最後のファイルのURLを入力してください。違っている数字や英字の部分が"
                      "置換文字になります。\n最後のURLを省略すると、各階層の最後の数字を 1 "
                      "からその数までの連番にします。")),
             0, wxALL, 8);
    auto* grid = new wxFlexGridSizer(2, 4, 8);
    grid->AddGrowableCol(1);
    first_ = new wxTextCtrl(this, wxID_ANY, ToWx(first));
    last_ = new wxTextCtrl(this, wxID_ANY, ToWx(last));
    grid->Add(new wxStaticText(this, wxID_ANY, ToWx("最初のURL")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(first_, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, ToWx("最後のURL")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(last_, 1, wxEXPAND);
    top->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    result_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, 110),
                             wxTE_MULTILINE | wxTE_READONLY);
    top->Add(result_, 1, wxEXPAND | wxALL, 8);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(top);
    SetSize(wxSize(std::max(GetSize().x, 640), GetSize().y));
    for (wxTextCtrl* box : {first_, last_})
        box->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { ShowGuess(); });
    ShowGuess();
    CentreOnParent();
}

std::string CGuessDialog::First() const {
    return FromWx(first_->GetValue());
}

std::string CGuessDialog::Last() const {
    return FromWx(last_->GetValue());
}

void CGuessDialog::ShowGuess() {
    const bool typed = !First().empty();
    const SeriesGuess guess = GuessSeries(First(), Last(), folder_);
    result_->ChangeValue(ToWx(typed ? Describe(guess) : std::string()));
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable(guess.ok);
}

} // namespace ordinex
