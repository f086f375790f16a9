#include "gui/about/about_dialog.h"

#include "gui/widgets/app_art.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

namespace ordinex {

CAboutDialog::CAboutDialog(wxWindow* parent, const std::string& productName, const VersionRecord& record)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(productName)) {
    auto* panel = new wxPanel(this);
    auto* icon = new wxStaticBitmap(panel, wxID_ANY, MakeAppBitmap(FromDIP(48)));

    auto* description = AddLine(panel, 1018, "FILEDESCRIPTION", record.fileDescription);
    description->SetFont(description->GetFont().Bold());
    auto* product = AddLine(panel, 1013, "PRODUCTNAME", record.productName);
    auto* productVersion = AddLine(panel, 1015, "PRODUCTVERSION", record.productVersion);
    auto* fileName = AddLine(panel, 1014, "FILENAME", record.originalFilename);
    auto* fileVersion = AddLine(panel, 1016, "FILEVERSION", record.fileVersion);

    auto* grid = new wxFlexGridSizer(2, 3, FromDIP(4), FromDIP(8));
    grid->Add(product);
    grid->Add(new wxStaticText(panel, wxID_ANY, "version"));
    grid->Add(productVersion);
    grid->Add(fileName);
    grid->Add(new wxStaticText(panel, wxID_ANY, "version"));
    grid->Add(fileVersion);

    auto* texts = new wxBoxSizer(wxVERTICAL);
    texts->Add(description, 0, wxBOTTOM, FromDIP(8));
    texts->Add(grid);

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(icon, 0, wxALL, FromDIP(12));
    top->Add(texts, 1, wxTOP | wxRIGHT | wxBOTTOM, FromDIP(14));

    auto* close = new wxButton(panel, wxID_OK, wxString::FromUTF8("閉じる"));
    close->SetDefault();
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(top, 1, wxEXPAND);
    column->Add(new wxStaticLine(panel), 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));
    column->Add(close, 0, wxALIGN_RIGHT | wxALL, FromDIP(10));
    panel->SetSizer(column);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(panel, 1, wxEXPAND);
    SetSizerAndFit(outer);
    SetMinSize(GetSize());
    SetEscapeId(wxID_OK);
    // Over the main window (on the screen when it has none).
    CentreOnParent();
}

wxStaticText* CAboutDialog::AddLine(wxWindow* parent, int id, const char* placeholder,
                                    const std::string& value) {
    return new wxStaticText(parent, id, value.empty() ? wxString(placeholder) : wxString::FromUTF8(value));
}

wxString CAboutDialog::TextOf(int id) const {
    auto* text = dynamic_cast<wxStaticText*>(FindWindow(id));
    return text ? text->GetLabel() : wxString();
}

} // namespace ordinex
