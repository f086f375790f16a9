#pragma once
#include "settings/frame_placement.h"

#include <wx/gdicmn.h>
#include <wx/longlong.h>

#include <functional>

class wxTopLevelWindow;

namespace ordinex {

// Where a top-level window is on the screen, decorations included. The
// toolkit's own record of the position can lag behind or pass through the
// window manager's reparenting (positions such as -1, -20 for a moment):
// the display is asked where it can be.
wxRect OuterRect(const wxTopLevelWindow& window);

// A frame's placement record on wx: applies a stored record to the window
// and reads the current one back, keeping the restored rectangle while the
// window is maximized or minimized. The stored rectangle is the window's
// outer one, decorations included, and comes back as it was stored.
class CWindowPlacement {
public:
    // Starts following the window's moves and sizes. sizeLimits sets the
    // window's minimum and maximum size again (by default: the minimum
    // size it had when restored).
    explicit CWindowPlacement(wxTopLevelWindow& window, std::function<void()> sizeLimits = {});

    // Applied as stored, without checks; the window's own size rules still hold.
    void Restore(const FramePlacement& placement);
    FramePlacement Current() const;

    // How long after the window is first shown the window manager may still
    // tell the size of its decorations.
    static constexpr long kDecorationWaitMs = 3000;

private:
    void OnSize();

    wxTopLevelWindow& window_;
    std::function<void()> sizeLimits_;
    wxSize minSize_;
    FramePlacement placement_; // as read; the corner positions are kept
    wxRect normalRect_;
    // The outer size as restored, while the decorations may still change it.
    wxSize restoredSize_;
    wxSize decorationsAtRestore_;
    bool keepRestoredSize_ = false;
    wxLongLong keepUntil_ = 0;
};

} // namespace ordinex
