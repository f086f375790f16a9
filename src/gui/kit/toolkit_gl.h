#pragma once

namespace ordinex {

// GTK on X11 loads the system's GL driver as it opens the display, to find a
// visual for GL drawing: on a desktop with mesa that is tens of libraries,
// the driver's configuration files and some 50 MB, before the first window.
// No window of the program draws with GL; the built-in browser then paints
// its pages without the graphics card, which WebKit says once on standard error.

// Before the toolkit starts: GTK is told to leave GL alone, unless the user
// set GDK_GL themselves.
void SkipToolkitGlAtStart();

// Once the toolkit has started: the setting is taken back, so that programs
// the user opens from here (the desktop's browser) do not inherit it.
void ForgetToolkitGlSetting();

} // namespace ordinex
