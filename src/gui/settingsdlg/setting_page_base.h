#pragma once
#include "settings/setting_pages.h"

#include <wx/panel.h>

#include <functional>
#include <string>

class wxCheckBox;
class wxSizer;
class wxSpinButton;
class wxStaticText;
class wxTextCtrl;

namespace ordinex {

// What the three pages share: captions wrapped to the page's width, the
// rules' enabling applied by control id, and number boxes with a spin button.
class CSettingPage : public wxPanel {
public:
    explicit CSettingPage(wxWindow* parent);
    // Called each time the page comes to the front.
    virtual void OnShown() {}

    void ApplyEnabling(const sheet::Enabling& enabling);
    // Long captions wrap to this width; the page grows downwards instead.
    int WrapWidth() const { return wrapWidth_; }

protected:
    wxCheckBox* AddCheck(wxWindow* parent, int id, const char* caption, bool checked, int indent = 0);
    wxStaticText* AddLabel(wxWindow* parent, int id, const char* text, int indent = 0);
    wxString Wrapped(const char* caption, int width) const;
    int Indent() const;

    // A digits-only box of maxChars characters and its spin button over
    // min..max; the spin button writes the box, typing moves the spin button.
    // onChange sees every change of the box's text, typed or spun.
    struct NumberBox {
        wxTextCtrl* box;
        wxSpinButton* spin;
        wxSizer* sizer; // box and spin button side by side
    };
    NumberBox AddNumberBox(wxWindow* parent, int boxId, int spinId, int maxChars, int min, int max,
                           const std::string& text, std::function<void(const std::string&)> onChange);
    // Puts a text into a number box without reporting it as a change.
    static void ShowNumber(const NumberBox& number, const std::string& text);

private:
    int wrapWidth_;
};

} // namespace ordinex
