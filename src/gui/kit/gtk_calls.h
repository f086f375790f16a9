#pragma once

#include <wx/gdicmn.h>

class wxTextCtrl;
class wxTopLevelWindow;
class wxWindow;

namespace ordinex {

// The program links GTK only through wx, without GTK's headers: the few GTK
// functions it calls itself are looked up in the running process, and
// nothing happens where one cannot be found.
namespace gtk {

void* Function(const char* name);

template <class F> F Lookup(const char* name) {
    return reinterpret_cast<F>(Function(name));
}

} // namespace gtk

// Creates a hidden window's resources on the display now, so that showing it
// later only maps it.
void RealizeNow(wxWindow* window);

// The width and height the window manager's decorations add to a top-level
// window, as far as the toolkit knows them (nothing before the manager has
// told them, or without a window manager).
wxSize WindowManagerDecorations(const wxTopLevelWindow& window);

// The rectangle a shown top-level window takes on the screen, decorations
// included, as the display has it now; false when it cannot be asked.
bool ScreenFrameRect(const wxTopLevelWindow& window, wxRect& rect);

// Gives a one-line text box that masks nothing its masking character once.
// Left unset, the toolkit looks for one that the font can draw, laying out
// several candidates, whenever the box is enabled, disabled or restyled:
// most of the time it takes to disable the main form for a run.
void SetMaskCharacter(wxTextCtrl* box);

} // namespace ordinex
