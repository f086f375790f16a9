#include "gui/kit/gtk_calls.h"

#include <wx/textctrl.h>
#include <wx/window.h>

#include <dlfcn.h>

namespace ordinex {

void* gtk::Function(const char* name) { return dlsym(RTLD_DEFAULT, name); }

void RealizeNow(wxWindow* window) {
    using Realize = void (*)(void*);
    static const auto realize = gtk::Lookup<Realize>("gtk_widget_realize");
    if (realize && window && window->GetHandle())
        realize(window->GetHandle());
}

void SetMaskCharacter(wxTextCtrl* box) {
    using SetInvisibleChar = void (*)(void*, unsigned int);
    static const auto set = gtk::Lookup<SetInvisibleChar>("gtk_entry_set_invisible_char");
    // A one-line box is the toolkit's entry itself; the character is the
    // toolkit's own first choice.
    if (set && box && !box->IsMultiLine() && box->GetHandle())
        set(box->GetHandle(), 0x25CF);
}

} // namespace ordinex
