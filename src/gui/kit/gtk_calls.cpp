#include "gui/kit/gtk_calls.h"

#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <dlfcn.h>

namespace ordinex {

void* gtk::Function(const char* name) {
    return dlsym(RTLD_DEFAULT, name);
}

void RealizeNow(wxWindow* window) {
    using Realize = void (*)(void*);
    static const auto realize = gtk::Lookup<Realize>("gtk_widget_realize");
    if (realize && window && window->GetHandle())
        realize(window->GetHandle());
}

wxSize WindowManagerDecorations(const wxTopLevelWindow& window) {
    int width = 0, height = 0;
    window.GTKDoGetSize(&width, &height);
    return window.GetSize() - wxSize(width, height);
}

bool ScreenFrameRect(const wxTopLevelWindow& window, wxRect& rect) {
    struct Rectangle {
        int x, y, width, height;
    };
    using WidgetWindow = void* (*)(void*);
    using FrameExtents = void (*)(void*, Rectangle*);
    static const auto widgetWindow = gtk::Lookup<WidgetWindow>("gtk_widget_get_window");
    static const auto frameExtents = gtk::Lookup<FrameExtents>("gdk_window_get_frame_extents");
    void* gdkWindow = widgetWindow && window.GetHandle() ? widgetWindow(window.GetHandle()) : nullptr;
    if (!frameExtents || !gdkWindow || !window.IsShownOnScreen())
        return false;
    Rectangle r{};
    frameExtents(gdkWindow, &r);
    rect = wxRect(r.x, r.y, r.width, r.height);
    return true;
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
