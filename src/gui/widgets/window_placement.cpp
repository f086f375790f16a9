#include "gui/widgets/window_placement.h"

#include "gui/kit/gtk_calls.h"

#include <wx/time.h>
#include <wx/toplevel.h>

namespace ordinex {

wxRect OuterRect(const wxTopLevelWindow& window) {
    wxRect onScreen;
    // A window being mapped may report any rectangle: only one of the size
    // the toolkit knows is taken.
    if (ScreenFrameRect(window, onScreen) && onScreen.GetSize() == window.GetSize())
        return onScreen;
    return window.GetRect();
}

CWindowPlacement::CWindowPlacement(wxTopLevelWindow& window, std::function<void()> sizeLimits)
    : window_(window), sizeLimits_(std::move(sizeLimits)), normalRect_(window.GetRect()) {
    auto trackNormal = [this](wxEvent& e) {
        if (!window_.IsMaximized() && !window_.IsIconized())
            normalRect_ = OuterRect(window_);
        e.Skip();
    };
    window_.Bind(wxEVT_SIZE, trackNormal);
    window_.Bind(wxEVT_MOVE, trackNormal);
    window_.Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        e.Skip();
        OnSize();
    });
}

void CWindowPlacement::Restore(const FramePlacement& placement) {
    placement_ = placement;
    const FramePlacement& p = placement_;
    window_.SetSize(p.left, p.top, p.right - p.left, p.bottom - p.top, wxSIZE_ALLOW_MINUS_ONE);
    // Left to itself, the toolkit would hold the first showing back until
    // the window manager has told the size of its decorations, and the
    // manager would then place the window where it liked. A client size of
    // its own has the window shown at once where it was stored; the outer
    // size is put right below once the decorations are known.
    window_.SetClientSize(window_.GetClientSize());
    normalRect_ = window_.GetRect();
    minSize_ = window_.GetMinSize();
    restoredSize_ = window_.GetSize();
    decorationsAtRestore_ = WindowManagerDecorations(window_);
    keepRestoredSize_ = true;
    keepUntil_ = 0;
    if (p.showCmd == kShowMaximized)
        window_.Maximize(true);
    else if (p.showCmd == kShowMinimized)
        window_.Iconize(true);
}

void CWindowPlacement::OnSize() {
    if (!keepRestoredSize_ || !window_.IsShown() || window_.IsMaximized() || window_.IsIconized())
        return;
    const wxLongLong now = wxGetLocalTimeMillis();
    if (keepUntil_ == 0)
        keepUntil_ = now + kDecorationWaitMs;
    if (now > keepUntil_) {
        keepRestoredSize_ = false;
        return;
    }
    // The toolkit keeps the client area when the decorations become known,
    // and the window grows by them: it takes its stored outer size again.
    if (WindowManagerDecorations(window_) == decorationsAtRestore_)
        return;
    keepRestoredSize_ = false;
    if (window_.GetSize() == restoredSize_)
        return;
    window_.CallAfter([this] {
        // A limit that the window's size met has grown with it.
        if (sizeLimits_)
            sizeLimits_();
        else
            window_.SetMinSize(minSize_);
        window_.SetSize(restoredSize_);
    });
}

FramePlacement CWindowPlacement::Current() const {
    FramePlacement p = placement_;
    p.flags = 0;
    p.showCmd = window_.IsIconized() ? kShowMinimized : window_.IsMaximized() ? kShowMaximized : kShowNormal;
    const wxRect r = (window_.IsIconized() || window_.IsMaximized()) ? normalRect_ : OuterRect(window_);
    p.left = r.x;
    p.top = r.y;
    p.right = r.x + r.width;
    p.bottom = r.y + r.height;
    return p;
}

} // namespace ordinex
