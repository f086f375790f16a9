#pragma once
#include "settings/frame_placement.h"

#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace ordinex {

// A tool window's placement record on wx: applies a stored record to the
// window and reads the current one back, keeping the restored rectangle
// while the window is maximized or minimized.
class CWindowPlacement {
public:
    // Starts following the window's moves and sizes.
    explicit CWindowPlacement(wxTopLevelWindow& window);

    // Applied as stored, without checks; the window's minimum size still holds.
    void Restore(const FramePlacement& placement);
    FramePlacement Current() const;

private:
    wxTopLevelWindow& window_;
    FramePlacement placement_; // as read; the corner positions are kept
    wxRect normalRect_;
};

} // namespace ordinex
