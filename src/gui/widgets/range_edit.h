#pragma once
#include <wx/textctrl.h>

namespace ordinex {

// The start and end boxes of the replacement ranges: digits or letters of one
// class, at most six characters.
class CRangeEdit : public wxTextCtrl {
public:
    CRangeEdit(wxWindow* parent, wxWindowID id);

private:
    void OnChar(wxKeyEvent& event);
};

// The size boxes of the settings sheet: a number shown with digit grouping.
class CGroupedNumberEdit : public wxTextCtrl {
public:
    CGroupedNumberEdit(wxWindow* parent, wxWindowID id, const wxString& value = "0");
    long GetNumber() const;

private:
    void OnChar(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);
    void Reformat();
    bool reformatting_ = false;
    bool reformatQueued_ = false;
};

} // namespace ordinex
