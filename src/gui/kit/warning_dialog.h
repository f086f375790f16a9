#pragma once
#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <string>

class wxGauge;
class wxStaticText;

namespace ordinex {

// The self-closing warning: it names the file it is about, asks whether to
// stop the run and answers "No" by itself after two seconds unless the user
// clicks on its face. "No" is also the default button: Enter goes on, as
// waiting does. ShowModal returns 6 (Yes), 7 (No) or 2 (Escape).
class CWarningDialog : public wxDialog {
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTickMs = 200;
    static constexpr int kTimeoutMs = 2000;
    static constexpr int kSlideMs = 400;

    using FatalHandler = std::function<void(const std::string&)>;
    // subject: the file or address, shown on a line of its own (none when empty).
    CWarningDialog(wxWindow* parent, const std::string& message, const std::string& subject = {},
                   FatalHandler fatal = {});
    ~CWarningDialog() override;

    int ShowModal() override;

    // One timer tick; public so that tests can drive the clock.
    void Tick();
    // What a click on the dialog's face does: stop the clock, hide the bar.
    void HoldOpen();
    int Elapsed() const { return elapsed_; }
    bool Counting() const { return timer_.IsRunning(); }
    wxGauge* ProgressBar() const { return progress_; }
    wxStaticText* MessageText() const { return message_; }
    wxStaticText* SubjectText() const { return subject_; }

private:
    void BuildLayout(const std::string& message, const std::string& subject);
    void BindClicks(wxWindow* window);
    void Answer(int code);
    void SlideStep();

    FatalHandler fatal_;
    wxTimer timer_;
    wxTimer slideTimer_;
    wxGauge* progress_ = nullptr;
    wxStaticText* message_ = nullptr;
    wxStaticText* subject_ = nullptr;
    int elapsed_ = 0;
    bool ticking_ = false;
    wxPoint finalPosition_;
    int slideStart_ = 0;
    long slideBegan_ = 0;
};

} // namespace ordinex
