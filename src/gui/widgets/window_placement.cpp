#include "gui/widgets/window_placement.h"

#include <wx/toplevel.h>

namespace ordinex {

CWindowPlacement::CWindowPlacement(wxTopLevelWindow& window)
    : window_(window), normalRect_(window.GetRect()) {
    auto trackNormal = [this](wxEvent& e) {
        if (!window_.IsMaximized() && !window_.IsIconized())
            normalRect_ = window_.GetRect();
        e.Skip();
    };
    window_.Bind(wxEVT_SIZE, trackNormal);
    window_.Bind(wxEVT_MOVE, trackNormal);
}

void CWindowPlacement::Restore(const FramePlacement& placement) {
    placement_ = placement;
    const FramePlacement& p = placement_;
    window_.SetSize(p.left, p.top, p.right - p.left, p.bottom - p.top, wxSIZE_ALLOW_MINUS_ONE);
    normalRect_ = window_.GetRect();
    if (p.showCmd == kShowMaximized)
        window_.Maximize(true);
    else if (p.showCmd == kShowMinimized)
        window_.Iconize(true);
}

FramePlacement CWindowPlacement::Current() const {
    FramePlacement p = placement_;
    p.flags = 0;
    p.showCmd = window_.IsIconized() ? kShowMinimized : window_.IsMaximized() ? kShowMaximized : kShowNormal;
    const wxRect r = (window_.IsIconized() || window_.IsMaximized()) ? normalRect_ : window_.GetRect();
    p.left = r.x;
    p.top = r.y;
    p.right = r.x + r.width;
    p.bottom = r.y + r.height;
    return p;
}

} // namespace ordinex
