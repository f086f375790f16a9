#pragma once
#include "job/job.h"

#include <optional>
#include <string>
#include <vector>

class wxWindow;

namespace ordinex {

class COrdinexApp;
class COrdinexView;

// Makes the form's series from example addresses (pasted, dropped, or typed
// into the guess dialog) and takes the last guess back.
class CSeriesAssist {
public:
    CSeriesAssist(COrdinexApp& app, COrdinexView& view) : app_(app), view_(view) {}

    // One or two addresses in a pasted or dropped text become the series;
    // false when the text holds no addresses (it is then pasted as text).
    bool TakeAddresses(const std::string& text);
    // The guess from first (and last, which may be empty) onto the form; a
    // guess that fails is a message and changes nothing.
    bool Apply(const std::string& first, const std::string& last);
    // The form still holds the last guess, and the form before it is kept.
    bool CanUndo();
    void Undo();
    // Edit → "URLから連番を推測...": the dialog, started with the addresses
    // of the clipboard.
    void GuessWithDialog(wxWindow* parent);

    // The clipboard's text, empty when it has none.
    static std::string ClipboardText();

private:
    // The destination base a guess uses: the form's, else the start folder.
    std::string GuessFolder();

    COrdinexApp& app_;
    COrdinexView& view_;
    std::optional<Job> before_, after_;
};

} // namespace ordinex
