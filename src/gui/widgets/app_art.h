#pragma once
#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>

namespace ordinex {

// The program's own pictures: the busy animation is drawn at run time; the
// application icon (a blue tile, numbered pages, an arrow down into a tray)
// is rendered from the drawings in data/icons at build time, the same
// pictures the desktop's menu shows.

wxBitmap MakeAppBitmap(int size);
wxIcon MakeAppIcon(int size);
// Every size, for the windows' title bars and the task switcher.
wxIconBundle MakeAppIconBundle();

// Size of one picture of the busy animation.
inline constexpr int kBusyFrameWidth = 150;
inline constexpr int kBusyFrameHeight = 72;
inline constexpr int kBusyFrameCount = 20;

// Picture number `phase` (0..19) of the busy animation: a numbered sheet
// travels from a cloud into a folder while a bar fills. White is the
// transparent colour.
wxBitmap MakeBusyFrame(int phase);

} // namespace ordinex
