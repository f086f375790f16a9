#include "gui/widgets/range_edit.h"

#include "ui/edit_filters.h"

namespace ordinex {

namespace {

// Keys without a character (arrows, Delete, Home...) and shortcuts with Ctrl
// or Alt are the box's own business. Every typed character goes through the
// filter, whatever made it: Shift gives capitals and "#", "!", "*".
bool IsTypedCharacter(const wxKeyEvent& event) {
    if (event.GetUnicodeKey() == WXK_NONE)
        return false;
    return !(event.ControlDown() || event.RawControlDown() || event.AltDown() || event.MetaDown());
}

// The filters take one character; the key code carries backspace and tab.
wchar_t TypedCharacter(const wxKeyEvent& event) {
    return static_cast<wchar_t>(event.GetUnicodeKey());
}

} // namespace

CRangeEdit::CRangeEdit(wxWindow* parent, wxWindowID id) : wxTextCtrl(parent, id) {
    Bind(wxEVT_CHAR, &CRangeEdit::OnChar, this);
}

void CRangeEdit::OnChar(wxKeyEvent& event) {
    long from = 0, to = 0;
    GetSelection(&from, &to);
    if (!IsTypedCharacter(event) ||
        RangeEditAccepts(GetValue().ToStdWstring(), from, to, TypedCharacter(event)))
        event.Skip();
}

CGroupedNumberEdit::CGroupedNumberEdit(wxWindow* parent, wxWindowID id, const wxString& value)
    : wxTextCtrl(parent, id, value) {
    Bind(wxEVT_CHAR, &CGroupedNumberEdit::OnChar, this);
    Bind(wxEVT_TEXT, &CGroupedNumberEdit::OnText, this);
}

long CGroupedNumberEdit::GetNumber() const {
    return GroupedNumberValue(GetValue().ToStdWstring());
}

void CGroupedNumberEdit::OnChar(wxKeyEvent& event) {
    long from = 0, to = 0;
    GetSelection(&from, &to);
    if (!IsTypedCharacter(event) ||
        GroupedNumberAccepts(GetValue().ToStdWstring(), from, to, TypedCharacter(event)))
        event.Skip();
}

void CGroupedNumberEdit::OnText(wxCommandEvent& event) {
    event.Skip();
    if (reformatting_ || reformatQueued_)
        return;
    // GTK puts the caret after the typed character once the change has been
    // reported: the text is reformatted after that, or the caret would land
    // in the wrong place.
    reformatQueued_ = true;
    CallAfter([this] {
        reformatQueued_ = false;
        Reformat();
    });
}

void CGroupedNumberEdit::Reformat() {
    const GroupedNumberText formatted = ReformatGroupedNumber(GetValue().ToStdWstring(), GetInsertionPoint());
    if (formatted.unchanged)
        return;
    reformatting_ = true;
    ChangeValue(wxString(formatted.text));
    SetInsertionPoint(formatted.caret);
    ShowPosition(formatted.caret);
    reformatting_ = false;
}

} // namespace ordinex
