#include "gui/kit/desktop_launch.h"

#include <gio/gio.h>

#include <memory>

namespace ordinex {

DesktopLaunch OpenWithDesktop(const std::string& address) {
    DesktopLaunch result;
    std::unique_ptr<char, decltype(&g_free)> scheme(g_uri_parse_scheme(address.c_str()), &g_free);
    if (!scheme) {
        result.outcome = DesktopLaunch::Outcome::NoHandler;
        return result;
    }
    // Asked first, so that "none registered" is not mistaken for a failure
    // of some other kind.
    GAppInfo* handler = g_app_info_get_default_for_uri_scheme(scheme.get());
    if (!handler) {
        result.outcome = DesktopLaunch::Outcome::NoHandler;
        return result;
    }
    g_object_unref(handler);
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error)) {
        result.outcome = DesktopLaunch::Outcome::Opened;
        return result;
    }
    if (error) {
        result.reason = error->message ? error->message : "";
        g_error_free(error);
    }
    return result;
}

std::string FileAddress(const std::string& path) {
    std::unique_ptr<char, decltype(&g_free)> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr), &g_free);
    return uri ? std::string(uri.get()) : std::string();
}

} // namespace ordinex
