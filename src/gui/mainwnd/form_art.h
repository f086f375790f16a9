#pragma once
#include <wx/bitmap.h>

namespace ordinex {

// Small pictures of the main window, drawn at run time: the icon themes of
// desktops differ in which stock arrows they carry.

// The marks in front of the two URL rows: a globe for the base, an arrow
// for the expansion.
wxBitmap MakeUrlBaseMark();
wxBitmap MakeUrlExpansionMark();
// The toolbar picture of the numbered-series run: an arrow into a tray.
wxBitmap MakeSeriesRunBitmap();

} // namespace ordinex
