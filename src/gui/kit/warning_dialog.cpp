#include "gui/kit/warning_dialog.h"

#include "gui/kit/warning_texts.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>

namespace ordinex {

namespace {
const wxColour kDarkRed(128, 0, 0);
const wxColour kBlue(0, 0, 192);
const wxColour kGreen(0, 128, 0); // as the form shows an address
constexpr int kSlideTimerId = 11;
constexpr int kSlideDistance = 120;
} // namespace

CWarningDialog::CWarningDialog(wxWindow* parent, const std::string& message, const std::string& subject,
                               FatalHandler fatal)
    : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE),
      fatal_(std::move(fatal)), timer_(this, kTimerId), slideTimer_(this, kSlideTimerId) {
    BuildLayout(message, subject);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); }, kTimerId);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { SlideStep(); }, kSlideTimerId);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Answer(6); }, wxID_YES);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Answer(7); }, wxID_NO);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE)
            Answer(2);
        else
            event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Answer(2); });
}

CWarningDialog::~CWarningDialog() {
    timer_.Stop();
    slideTimer_.Stop();
}

void CWarningDialog::BuildLayout(const std::string& message, const std::string& subject) {
    using namespace warningdlg;
    // The face: an etched frame around heading, subject, message, question
    // and buttons, with a thin bar along the bottom that counts the time.
    auto* face = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_THEME);
    auto* heading = new wxStaticText(face, 1044, wxString::FromUTF8(kHeading));
    heading->SetForegroundColour(kDarkRed);
    heading->SetFont(heading->GetFont().Bold());

    const wxSize messageSize = ConvertDialogToPixels(wxSize(175, 35));
    // One line: an address is cut in its middle, so that its file name stays
    // in view; the whole of it is the line's tooltip.
    const wxString subjectText = wxString::FromUTF8(kSubjectPrefix) + wxString::FromUTF8(subject);
    subject_ =
        new wxStaticText(face, wxID_ANY, subjectText, wxDefaultPosition, wxSize(messageSize.GetWidth(), -1),
                         wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    subject_->SetForegroundColour(kGreen);
    subject_->SetToolTip(subjectText);
    subject_->Show(!subject.empty());

    message_ = new wxStaticText(face, 1045, wxString::FromUTF8(message), wxDefaultPosition, messageSize);
    message_->SetForegroundColour(kBlue);
    message_->Wrap(messageSize.GetWidth());
    message_->SetMinSize(wxSize(messageSize.GetWidth(),
                                std::max(messageSize.GetHeight(), message_->GetBestSize().GetHeight())));

    auto* question = new wxStaticText(face, 1046, wxString::FromUTF8(kQuestion));
    question->SetForegroundColour(kDarkRed);
    auto* yes = new wxButton(face, wxID_YES, wxString::FromUTF8(kYes));
    auto* no = new wxButton(face, wxID_NO, wxString::FromUTF8(kNo));
    // Enter pressed out of habit goes on with the run, as the timeout does.
    no->SetDefault();

    progress_ =
        new wxGauge(face, 1043, kTimeoutMs, wxDefaultPosition, wxSize(-1, 6), wxGA_HORIZONTAL | wxGA_SMOOTH);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(question, 1, wxALIGN_CENTER_VERTICAL);
    buttons->Add(yes, 0, wxLEFT, FromDIP(8));
    buttons->Add(no, 0, wxLEFT, FromDIP(6));

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(heading, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(subject_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(message_, 1, wxEXPAND | wxALL, FromDIP(10));
    column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10));
    column->Add(progress_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(4));
    face->SetSizer(column);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(face, 1, wxEXPAND | wxALL, FromDIP(3));
    SetSizerAndFit(outer);
    no->SetFocus();

    BindClicks(face);
    BindClicks(heading);
    BindClicks(message_);
    BindClicks(subject_);
    BindClicks(question);
    BindClicks(progress_);
    BindClicks(this);
}

void CWarningDialog::BindClicks(wxWindow* window) {
    window->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        HoldOpen();
        event.Skip();
    });
}

int CWarningDialog::ShowModal() {
    elapsed_ = 0;
    progress_->SetValue(0);
    progress_->Show();
    CentreOnParent();
    // Slide in from the left; the clock runs meanwhile, so the slide never
    // delays the run.
    finalPosition_ = GetPosition();
    slideStart_ = finalPosition_.x - FromDIP(kSlideDistance);
    slideBegan_ = wxGetLocalTimeMillis().GetLo();
    Move(slideStart_, finalPosition_.y);
    slideTimer_.Start(15);
    if (!timer_.Start(kTickMs) && fatal_)
        fatal_("タイマーの作成失敗");
    return wxDialog::ShowModal();
}

void CWarningDialog::SlideStep() {
    const long now = wxGetLocalTimeMillis().GetLo();
    const double t = std::min(1.0, static_cast<double>(now - slideBegan_) / kSlideMs);
    const double eased = 1 - (1 - t) * (1 - t);
    Move(slideStart_ + static_cast<int>((finalPosition_.x - slideStart_) * eased), finalPosition_.y);
    if (t >= 1.0)
        slideTimer_.Stop();
}

void CWarningDialog::Tick() {
    if (ticking_)
        return;
    ticking_ = true;
    elapsed_ += kTickMs;
    if (elapsed_ <= kTimeoutMs)
        progress_->SetValue(elapsed_);
    if (elapsed_ >= kTimeoutMs)
        Answer(7);
    ticking_ = false;
}

void CWarningDialog::HoldOpen() {
    if (!timer_.IsRunning())
        return;
    timer_.Stop();
    progress_->Hide();
    Layout();
}

void CWarningDialog::Answer(int code) {
    timer_.Stop();
    slideTimer_.Stop();
    if (IsModal())
        EndModal(code);
}

} // namespace ordinex
