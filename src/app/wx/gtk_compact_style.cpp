#include "app/wx/gtk_compact_style.h"

#include <wx/window.h>

#include <dlfcn.h>

#include <cstring>

namespace ordinex {

namespace {

constexpr const char* kCss = R"css(
entry { min-height: 22px; padding-top: 0; padding-bottom: 0; }
button { min-height: 0; padding: 0 6px; }
button > * { margin: 0; padding: 0; min-height: 0; }
toolbar { padding: 0; }
toolbar button { min-height: 0; min-width: 0; padding: 2px; }
menubar > menuitem { min-height: 0; padding-top: 2px; padding-bottom: 2px; }
progressbar trough, progressbar progress { min-height: 8px; }
#ordinex-compact-choices checkbutton, #ordinex-compact-choices radiobutton { padding-top: 0; padding-bottom: 0; }
#ordinex-compact-choices spinbutton, #ordinex-compact-choices spinbutton button { min-height: 0; }
#ordinex-compact-choices spinbutton button { padding-top: 0; padding-bottom: 0; }
messagedialog .dialog-action-area button { min-height: 30px; padding: 0 16px; }
)css";

// The program links GTK only through wx, without GTK's headers: the four
// functions are looked up in the running process.
using ProviderNew = void* (*)();
using LoadFromData = int (*)(void*, const char*, long, void**);
using ScreenGetDefault = void* (*)();
using AddProviderForScreen = void (*)(void*, void*, unsigned);
using WidgetSetName = void (*)(void*, const char*);
constexpr unsigned kPriorityApplication = 600;

template <class F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

} // namespace

void ApplyCompactStyle() {
    static bool applied = false;
    if (applied)
        return;
    auto providerNew = Lookup<ProviderNew>("gtk_css_provider_new");
    auto load = Lookup<LoadFromData>("gtk_css_provider_load_from_data");
    auto screenDefault = Lookup<ScreenGetDefault>("gdk_screen_get_default");
    auto add = Lookup<AddProviderForScreen>("gtk_style_context_add_provider_for_screen");
    if (!providerNew || !load || !screenDefault || !add)
        return;
    void* screen = screenDefault();
    void* provider = providerNew();
    if (!screen || !provider)
        return;
    if (!load(provider, kCss, static_cast<long>(std::strlen(kCss)), nullptr))
        return;
    add(screen, provider, kPriorityApplication);
    applied = true;
}

void UseCompactChoices(wxWindow* dialog) {
    ApplyCompactStyle();
    auto setName = Lookup<WidgetSetName>("gtk_widget_set_name");
    if (setName && dialog && dialog->GetHandle())
        setName(dialog->GetHandle(), "ordinex-compact-choices");
}

} // namespace ordinex
