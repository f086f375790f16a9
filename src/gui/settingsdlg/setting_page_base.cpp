#include "gui/settingsdlg/setting_page_base.h"

#include "gui/kit/wx_text.h"
#include "platform/caption_wrap.h"
#include "platform/ini_store.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace ordinex {

namespace {
// Captions wrap at about this many full-width characters.
constexpr int kWrapChars = 44;
// Room for a check box's square and the gap to its caption.
constexpr int kCheckMarkWidth = 28;
} // namespace

CSettingPage::CSettingPage(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    wrapWidth_ = GetTextExtent(wxString::FromUTF8("あ")).x * kWrapChars;
}

int CSettingPage::Indent() const {
    return FromDIP(20);
}

wxString CSettingPage::Wrapped(const char* caption, int width) const {
    const TextWidth measure = [this](std::string_view piece) {
        // "&&" shows as one "&".
        wxString text = ToWx(std::string(piece));
        text.Replace("&&", "&");
        return GetTextExtent(text).x;
    };
    return ToWx(WrapCaption(caption, width, measure));
}

wxCheckBox* CSettingPage::AddCheck(wxWindow* parent, int id, const char* caption, bool checked, int indent) {
    auto* box = new wxCheckBox(parent, id, Wrapped(caption, wrapWidth_ - indent - FromDIP(kCheckMarkWidth)));
    box->SetValue(checked);
    return box;
}

wxStaticText* CSettingPage::AddLabel(wxWindow* parent, int id, const char* text, int indent) {
    return new wxStaticText(parent, id, Wrapped(text, wrapWidth_ - indent));
}

void CSettingPage::ApplyEnabling(const sheet::Enabling& enabling) {
    for (const auto& [id, enabled] : enabling)
        if (wxWindow* control = FindWindow(id))
            control->Enable(enabled);
}

CSettingPage::NumberBox CSettingPage::AddNumberBox(wxWindow* parent, int boxId, int spinId, int maxChars,
                                                   int min, int max, const std::string& text,
                                                   std::function<void(const std::string&)> onChange) {
    auto* box = new wxTextCtrl(parent, boxId, ToWx(text));
    box->SetMaxLength(maxChars);
    // Room for its digits and the caret, with the box's own padding.
    box->SetInitialSize(
        wxSize(box->GetSizeFromTextSize(box->GetTextExtent(wxString('9', maxChars + 1)).x).x, -1));
    auto* spin = new wxSpinButton(parent, spinId, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
    spin->SetRange(min, max);
    spin->SetValue(std::clamp(ParseProfileInt(text), min, max));

    box->Bind(wxEVT_CHAR, [](wxKeyEvent& e) {
        const int c = e.GetUnicodeKey();
        // Control keys and shortcuts are the box's own; of the rest only digits.
        if (c == WXK_NONE || c < ' ' || e.HasAnyModifiers() || (c >= '0' && c <= '9'))
            e.Skip();
    });
    box->Bind(wxEVT_TEXT, [box, spin, min, max, onChange](wxCommandEvent& e) {
        e.Skip();
        const std::string typed = FromWx(box->GetValue());
        spin->SetValue(std::clamp(ParseProfileInt(typed), min, max));
        onChange(typed);
    });
    spin->Bind(wxEVT_SPIN, [box](wxSpinEvent& e) { box->SetValue(wxString::Format("%d", e.GetPosition())); });

    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(box, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(spin, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(2));
    return {box, spin, sizer};
}

void CSettingPage::ShowNumber(const NumberBox& number, const std::string& text) {
    const wxString value = ToWx(text);
    if (number.box->GetValue() != value)
        number.box->ChangeValue(value);
    number.spin->SetValue(std::clamp(ParseProfileInt(text), number.spin->GetMin(), number.spin->GetMax()));
}

} // namespace ordinex
