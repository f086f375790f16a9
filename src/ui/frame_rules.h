#pragma once
#include "job/job.h"
#include "ui/form_geometry.h"

#include <string>

namespace ordinex::frame {

inline constexpr int kMinWidth = 640;
inline constexpr int kMaxWidth = 1280;
// The frame's height before the form has been measured.
inline constexpr int kInitialHeight = 431;

// What the frame's height is made of, all measured at run time: the window
// manager's decorations, the menu bar and the toolbar while it is shown
// (together: what the frame has outside its client area), and the form.
struct SizeInputs {
    int outsideClientHeight = 0;
    int formIdleHeight = 0;     // down to the run buttons
    int formExpandedHeight = 0; // down to the file progress bar
    bool runInProgress = false;
    bool alwaysShowExpansionWindow = false;
};

// The only height the frame may take; the user can change its width alone.
int FrameHeight(const SizeInputs& in);
int ClampWidth(int width);

// Where a window must go so that all of it lies in the work area: moved up
// and left first, never smaller.
form::Rect KeepOnScreen(const form::Rect& window, const form::Rect& workArea);

// The busy animation's place, in screen coordinates: below the frame's lower
// right corner, else beside it, else above it or in a corner of the work area
// clear of the frame; else over freeInside (a part of the frame with no
// control in it); else where it hides least of the frame.
form::Rect PlaceBusyAnimation(const form::Rect& frame, const form::Rect& workArea, int width, int height,
                              const form::Rect& freeInside);

// What the update-UI rules look at.
struct CommandContext {
    bool running = false;
    Job job; // the form's boxes as typed
    bool ftpListHasFile = false;
    bool linkListHasFile = false;
    bool readMeExists = false;
    bool helpExists = false;
    bool hasRunReport = false; // a download run has ended since start-up
};

// Whether a menu or toolbar command is available. The Edit commands depend on
// the focused box and are decided by the frame.
bool CommandAvailable(int command, const CommandContext& context);

// A job file name as saved: ".odx" is added when the name has no extension.
std::string WithJobExtension(const std::string& path);

// The address the file manager opens for the URL base: always "ftp://",
// with the server and path when the address can be split into them.
std::string ExplorerTarget(const std::string& urlBase);

// The message when the desktop did not open the file manager's address:
// why (no application for ftp:// addresses, or the desktop's reason), and
// the offer of the FTP tree window instead.
std::string ExplorerFailureText(const std::string& target, bool noHandler, const std::string& reason);

// The message when the built-in browser's module could not be loaded: the
// loader's reason, and the offer of the desktop's browser instead.
std::string BrowserModuleFailureText(const std::string& reason);

} // namespace ordinex::frame
