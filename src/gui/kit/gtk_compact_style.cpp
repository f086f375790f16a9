#include "gui/kit/gtk_compact_style.h"

#include "gui/kit/gtk_calls.h"

#include <wx/window.h>

#include <cstdlib>
#include <cstring>
#include <string>

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

using ProviderNew = void* (*)();
using LoadFromData = int (*)(void*, const char*, long, void**);
using ScreenGetDefault = void* (*)();
using AddProviderForScreen = void (*)(void*, void*, unsigned);
using WidgetSetName = void (*)(void*, const char*);
using SettingsGetDefault = void* (*)();
using ObjectGet = void (*)(void*, const char*, ...);
using Free = void (*)(void*);
constexpr unsigned kPriorityApplication = 600;

using gtk::Lookup;

// The default theme draws a ticked box's mark from a vector picture that the
// toolkit parses anew whenever the box changes state: a third of the time it
// takes to enable the form again after a run. On a screen of normal scale the
// theme's bitmap form of the same symbol, coloured the same way, draws the
// same pixels for a fraction of that (doubled, it would be blurred).
constexpr const char* kAdwaitaCheckCss = R"css(
check:checked { -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/check-symbolic.symbolic.png")); }
)css";

bool NormalScale() {
    using RootWindow = void* (*)();
    using ScaleFactor = int (*)(void*);
    auto root = Lookup<RootWindow>("gdk_get_default_root_window");
    auto scale = Lookup<ScaleFactor>("gdk_window_get_scale_factor");
    void* window = root && scale ? root() : nullptr;
    return window && scale(window) == 1;
}

bool ThemeIsAdwaita() {
    if (const char* forced = std::getenv("GTK_THEME"))
        return std::strncmp(forced, "Adwaita", 7) == 0 && (forced[7] == '\0' || forced[7] == ':');
    auto settingsDefault = Lookup<SettingsGetDefault>("gtk_settings_get_default");
    auto get = Lookup<ObjectGet>("g_object_get");
    auto release = Lookup<Free>("g_free");
    void* settings = settingsDefault && get && release ? settingsDefault() : nullptr;
    if (!settings)
        return false;
    char* name = nullptr;
    get(settings, "gtk-theme-name", &name, nullptr);
    const bool adwaita =
        name && (std::strcmp(name, "Adwaita") == 0 || std::strcmp(name, "Adwaita-dark") == 0);
    release(name);
    return adwaita;
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
    std::string css = kCss;
    if (ThemeIsAdwaita() && NormalScale())
        css += kAdwaitaCheckCss;
    if (!load(provider, css.c_str(), static_cast<long>(css.size()), nullptr))
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
