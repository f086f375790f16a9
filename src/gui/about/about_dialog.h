#pragma once
#include "platform/version_record.h"

#include <wx/dialog.h>

#include <string>

class wxStaticText;

namespace ordinex {

// The version box: the five strings of the program's version record under
// its product name. A string that is missing keeps its placeholder text.
class CAboutDialog : public wxDialog {
public:
    CAboutDialog(wxWindow* parent, const std::string& productName, const VersionRecord& record);

    // The text shown for each control id 1013..1018.
    wxString TextOf(int id) const;

private:
    wxStaticText* AddLine(wxWindow* parent, int id, const char* placeholder, const std::string& value);
};

} // namespace ordinex
