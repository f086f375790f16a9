#pragma once
#include <wx/bitmap.h>
#include <wx/icon.h>

namespace ordinex {

// The program's own pictures, drawn at run time so that no binary art is
// needed in the repository.

// The application icon: a blue tile with a stack of numbered sheets and a
// downward arrow.
wxBitmap MakeAppBitmap(int size);
wxIcon MakeAppIcon(int size);

// Size of one picture of the busy animation.
inline constexpr int kBusyFrameWidth = 150;
inline constexpr int kBusyFrameHeight = 72;
inline constexpr int kBusyFrameCount = 20;

// Picture number `phase` (0..19) of the busy animation: a numbered sheet
// travels from a cloud into a folder while a bar fills. White is the
// transparent colour.
wxBitmap MakeBusyFrame(int phase);

} // namespace ordinex
