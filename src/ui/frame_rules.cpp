#include "ui/frame_rules.h"

#include "net/internet_downloader.h"
#include "platform/text_helpers.h"
#include "platform/visible_text.h"
#include "ui/command_ids.h"
#include "ui/frame_texts.h"

#include <algorithm>
#include <filesystem>

namespace ordinex::frame {

int FrameHeight(const SizeInputs& in) {
    const bool expanded = in.runInProgress || in.alwaysShowExpansionWindow;
    return in.outsideClientHeight + (expanded ? in.formExpandedHeight : in.formIdleHeight);
}

int ClampWidth(int width) {
    return std::clamp(width, kMinWidth, kMaxWidth);
}

namespace {

int Overlap(const form::Rect& a, const form::Rect& b) {
    const int w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

bool Inside(const form::Rect& inner, const form::Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

} // namespace

form::Rect KeepOnScreen(const form::Rect& window, const form::Rect& workArea) {
    form::Rect r = window;
    // Right and bottom edges first, so that a window larger than the work
    // area keeps its upper left corner (and its title bar) visible.
    r.x = std::max(std::min(r.x, workArea.right() - r.w), workArea.x);
    r.y = std::max(std::min(r.y, workArea.bottom() - r.h), workArea.y);
    return r;
}

form::Rect PlaceBusyAnimation(const form::Rect& frame, const form::Rect& workArea, int width, int height,
                              const form::Rect& freeInside) {
    constexpr int kGap = 6;
    const form::Rect& a = workArea;
    const form::Rect outside[] = {
        {frame.right() - width, frame.bottom() + kGap, width, height},    // below the lower right corner
        {frame.right() + kGap, frame.bottom() - height, width, height},   // right of it
        {frame.x - kGap - width, frame.bottom() - height, width, height}, // left of the lower left corner
        {frame.right() - width, frame.y - kGap - height, width, height},  // above the upper right corner
        {a.right() - width, a.bottom() - height, width, height},          // corners of the work area
        {a.x, a.bottom() - height, width, height},
        {a.right() - width, a.y, width, height},
        {a.x, a.y, width, height},
    };
    for (const form::Rect& r : outside)
        if (Inside(r, a) && Overlap(r, frame) == 0)
            return r;
    if (freeInside.w >= width && freeInside.h >= height) {
        const form::Rect r{freeInside.right() - width, freeInside.bottom() - height, width, height};
        if (Inside(r, a))
            return r;
    }
    form::Rect best = KeepOnScreen(outside[0], a);
    for (const form::Rect& r : outside) {
        const form::Rect onScreen = KeepOnScreen(r, a);
        if (Overlap(onScreen, frame) < Overlap(best, frame))
            best = onScreen;
    }
    return best;
}

bool CommandAvailable(int command, const CommandContext& c) {
    const bool hasUrlBase = !TrimBlanks(c.job.urlBase).empty();
    const bool hasUrl = hasUrlBase || !TrimBlanks(c.job.urlExpansion).empty();
    const bool hasFolder =
        !TrimBlanks(c.job.folderBase).empty() || !TrimBlanks(c.job.folderExpansion).empty();
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
    case cmd::kGuessSeries:
    case cmd::kPreviewSeries:
        return !c.running;
    case cmd::kCopyUrlToFolder:
        return !c.running && !TrimBlanks(c.job.urlExpansion).empty();
    case cmd::kReadMe:
        return c.readMeExists;
    case cmd::kHelpIndex:
        return c.helpExists;
    case cmd::kShowRunReport:
        return !c.running && c.hasRunReport;
    default:
        return true;
    }
}

std::string WithJobExtension(const std::string& path) {
    return std::filesystem::path(path).filename().has_extension() ? path : path + ".odx";
}

std::string ExplorerTarget(const std::string& urlBase) {
    const std::string hostAndPath = CInternetDownloader::StripScheme(urlBase);
    return "ftp://" + (hostAndPath.empty() ? urlBase : hostAndPath);
}

std::string ExplorerFailureText(const std::string& target, bool noHandler, const std::string& reason) {
    std::string text = std::string(framewin::kExplorerFailed) + ": " + VisibleText(target) + "\n";
    if (noHandler)
        text += std::string(framewin::kNoFtpHandler) + "\n";
    else if (!reason.empty())
        text += VisibleText(reason) + "\n";
    return text + "\n" + framewin::kOfferFtpTree;
}

std::string BrowserModuleFailureText(const std::string& reason) {
    return std::string(framewin::kBrowserModuleFailed) + "\n" + VisibleText(reason) + "\n\n" +
           framewin::kOfferDesktopBrowser;
}

} // namespace ordinex::frame
