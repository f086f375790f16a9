#include "gui/kit/tool_windows.h"

#include <wx/app.h>
#include <wx/toplevel.h>

#include <algorithm>

namespace ordinex {

namespace {
std::vector<wxTopLevelWindow*>& Registry() {
    static std::vector<wxTopLevelWindow*> windows;
    return windows;
}
} // namespace

void RegisterToolWindow(wxTopLevelWindow* window) {
    if (window && std::find(Registry().begin(), Registry().end(), window) == Registry().end())
        Registry().push_back(window);
}

void UnregisterToolWindow(wxTopLevelWindow* window) {
    std::erase(Registry(), window);
}

std::vector<wxTopLevelWindow*> ToolWindows() {
    return Registry();
}

void ShowToolWindowsBehind(wxTopLevelWindow& mainWindow) {
    bool shown = false;
    for (wxTopLevelWindow* window : ToolWindows()) {
        if (!window->IsShown() && !wxTheApp->IsScheduledForDestruction(window)) {
            window->ShowWithoutActivating();
            shown = true;
        }
    }
    // Raising an already active window would only start a tug of war with
    // the window manager; it is needed when something came up over it.
    if (shown)
        mainWindow.Raise();
}

void HideToolWindows() {
    for (wxTopLevelWindow* window : ToolWindows())
        window->Hide();
}

void DestroyToolWindows() {
    for (wxTopLevelWindow* window : ToolWindows())
        if (!wxTheApp->IsScheduledForDestruction(window))
            window->Destroy();
    // Top-level windows are deleted when idle: do it now, so that their
    // placements are in the settings before these are written.
    if (wxTheApp)
        wxTheApp->ProcessIdle();
}

} // namespace ordinex
