#pragma once
#include <wx/dialog.h>

#include <string>

class wxTextCtrl;

namespace ordinex {

// "URLから連番を推測": the first and the last address of a series, and what
// the guess makes of them as they are typed.
class CGuessDialog : public wxDialog {
public:
    CGuessDialog(wxWindow* parent, const std::string& first, const std::string& last,
                 const std::string& folder);
    std::string First() const;
    std::string Last() const;

private:
    void ShowGuess();

    std::string folder_;
    wxTextCtrl* first_ = nullptr;
    wxTextCtrl* last_ = nullptr;
    wxTextCtrl* result_ = nullptr;
};

} // namespace ordinex
