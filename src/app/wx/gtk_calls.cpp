#include "app/wx/gtk_calls.h"

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

} // namespace ordinex
