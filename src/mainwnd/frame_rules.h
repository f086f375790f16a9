#pragma once
#include "job/job.h"

#include <string>

namespace ordinex {
struct ProgramSettings;
}

namespace ordinex::frame {

inline constexpr int kMinWidth = 640;
inline constexpr int kMaxWidth = 1280;
inline constexpr int kBaseHeight = 431;
// The height of the form's status area, uncovered while a run is in progress.
inline constexpr int kExpansionHeight = 210;

struct SizeInputs {
    bool toolbarExists = true;
    bool toolbarVisible = true;
    int toolbarHeight = 0;
    bool runInProgress = false;
    bool alwaysShowExpansionWindow = false;
};

// The only height the frame may take; the user can change its width alone.
int FrameHeight(const SizeInputs& in);
int ClampWidth(int width);

// What the update-UI rules look at.
struct CommandContext {
    bool running = false;
    Job job; // the form's boxes as typed
    bool ftpListHasFile = false;
    bool linkListHasFile = false;
    bool readMeExists = false;
    bool helpExists = false;
};

// Whether a menu or toolbar command is available. The Edit commands depend on
// the focused box and are decided by the frame.
bool CommandAvailable(int command, const CommandContext& context);

// False for commands whose windows are not part of the program yet (the Link
// tree and list window, the built-in browser).
bool CommandBuilt(int command, const ProgramSettings& settings);

// The address the file manager opens for the URL base: always "ftp://",
// with the server and path when the address can be split into them.
std::string ExplorerTarget(const std::string& urlBase);

} // namespace ordinex::frame
