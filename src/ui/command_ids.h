#pragma once

namespace ordinex::cmd {

// The main window's command numbers. The framework's own commands start at
// 57600, the program's at 32772; the toolbar shares them with the menu.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileMru1 = 57616; // .. kFileMru1 + 15
inline constexpr int kFileMruCount = 16;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kHelpIndex = 57670;
inline constexpr int kViewToolbar = 59392;

inline constexpr int kSettingsProgram = 32772;
inline constexpr int kStop = 32787;
inline constexpr int kRunSeries = 32788;
inline constexpr int kCopyUrlToFolder = 32789;
inline constexpr int kSettingsDownload = 32790;
inline constexpr int kOpenBrowser = 32791;
inline constexpr int kShowFtpTree = 32792;
inline constexpr int kOpenExplorer = 32793;
inline constexpr int kRunFtpList = 32794;
inline constexpr int kShowLinkTree = 32797;
inline constexpr int kSettingsExtract = 32798;
inline constexpr int kRunLinkList = 32799;
inline constexpr int kReadMe = 32801;
// The last download run's report (an addition of this program's, after the
// range of the commands above).
inline constexpr int kShowRunReport = 32845;
inline constexpr int kGuessSeries = 32784;   // Edit: a series from example addresses
inline constexpr int kPreviewSeries = 32785; // Download: every URL and destination of the run

// The FTP tree & list window's own commands (32794 and 32791 are shared with
// the main window).
inline constexpr int kFtpTreeToUrl = 32806;
inline constexpr int kFtpListToUrlFolder = 32807;
inline constexpr int kFtpListToUrlFile = 32811;
inline constexpr int kFtpListReload = 32842;

// The Link tree & list window's own commands (32799 and 32791 are shared
// with the main window).
inline constexpr int kLinkTreeToUrl = 32838;
inline constexpr int kLinkListToUrlFolder = 32839;
inline constexpr int kLinkListToUrlFile = 32840;
inline constexpr int kLinkListReload = 32844;

// The browser window's commands (32791 of the tool windows opens it).
inline constexpr int kBrowserBack = 32815;
inline constexpr int kBrowserForward = 32817;
inline constexpr int kBrowserStop = 32827;
inline constexpr int kBrowserReload = 32828;
inline constexpr int kBrowserFtpTree = 32829;
inline constexpr int kBrowserLinkTree = 32830;
inline constexpr int kBrowserToUrlFolder = 32831;
inline constexpr int kBrowserToUrlFile = 32832;

// wx asserts on menu and toolbar ids of 32767 and above, so each command
// number is mapped one-to-one onto an id of a band of its own below that
// limit; the form's control ids (1000 to 1170) stay clear of the bands.
namespace detail {
inline constexpr int kFrameworkFirst = 57600, kFrameworkLast = 57700, kFrameworkBand = 20000;
inline constexpr int kProgramFirst = 32772, kProgramLast = 32845, kProgramBand = 21000;
inline constexpr int kToolbarBand = 22000;
} // namespace detail

constexpr int ToWxId(int command) {
    using namespace detail;
    if (command >= kFrameworkFirst && command <= kFrameworkLast)
        return kFrameworkBand + (command - kFrameworkFirst);
    if (command >= kProgramFirst && command <= kProgramLast)
        return kProgramBand + (command - kProgramFirst);
    if (command == kViewToolbar)
        return kToolbarBand;
    return -1;
}

// The command number of a wx id, or -1 when the id is not a command's.
constexpr int FromWxId(int id) {
    using namespace detail;
    if (id >= kFrameworkBand && id <= kFrameworkBand + (kFrameworkLast - kFrameworkFirst))
        return kFrameworkFirst + (id - kFrameworkBand);
    if (id >= kProgramBand && id <= kProgramBand + (kProgramLast - kProgramFirst))
        return kProgramFirst + (id - kProgramBand);
    if (id == kToolbarBand)
        return kViewToolbar;
    return -1;
}

} // namespace ordinex::cmd
