#include "mainwnd/frame_rules.h"

#include "mainwnd/command_ids.h"
#include "net/internet_downloader.h"
#include "runs/text_helpers.h"
#include "settings/program_settings.h"

#include <algorithm>

namespace ordinex::frame {

int FrameHeight(const SizeInputs& in) {
    int h = kBaseHeight;
    if (in.toolbarExists && !in.toolbarVisible)
        h -= in.toolbarHeight;
    if (in.runInProgress || in.alwaysShowExpansionWindow)
        h += kExpansionHeight;
    return h;
}

int ClampWidth(int width) { return std::clamp(width, kMinWidth, kMaxWidth); }

bool CommandAvailable(int command, const CommandContext& c) {
    const bool hasUrlBase = !TrimBlanks(c.job.urlBase).empty();
    const bool hasUrl = hasUrlBase || !TrimBlanks(c.job.urlExpansion).empty();
    const bool hasFolder = !TrimBlanks(c.job.folderBase).empty() || !TrimBlanks(c.job.folderExpansion).empty();
    if (command >= cmd::kFileMru1 && command < cmd::kFileMru1 + cmd::kFileMruCount)
        return !c.running;
    switch (command) {
    case cmd::kFileNew:
    case cmd::kFileOpen:
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
        return !c.running;
    case cmd::kRunSeries:
        return !c.running && hasUrl && hasFolder;
    case cmd::kRunFtpList:
        return !c.running && c.ftpListHasFile;
    case cmd::kRunLinkList:
        return !c.running && c.linkListHasFile;
    case cmd::kStop:
        return c.running;
    case cmd::kOpenBrowser:
    case cmd::kOpenExplorer:
    case cmd::kShowFtpTree:
    case cmd::kShowLinkTree:
        return !c.running && hasUrlBase;
    case cmd::kCopyUrlToFolder:
        return !c.running && !TrimBlanks(c.job.urlExpansion).empty();
    case cmd::kReadMe:
        return c.readMeExists;
    case cmd::kHelpIndex:
        return c.helpExists;
    default:
        return true;
    }
}

bool CommandBuilt(int command, const ProgramSettings& settings) {
    switch (command) {
    case cmd::kShowLinkTree:
    case cmd::kRunLinkList:
        return false;
    case cmd::kOpenBrowser:
        // The external browser is there; the built-in one is not yet.
        return settings.UseWindowsRuleBrowserSetting != 0;
    default:
        return true;
    }
}

std::string ExplorerTarget(const std::string& urlBase) {
    const std::string hostAndPath = CInternetDownloader::StripScheme(urlBase);
    return "ftp://" + (hostAndPath.empty() ? urlBase : hostAndPath);
}

} // namespace ordinex::frame
