#include "listing/download_html.h"
#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <unordered_set>

namespace ordinex {

namespace {

uint16_t SchemePort(const std::string& scheme) {
    if (scheme == "https")
        return 443;
    if (scheme == "ftp")
        return 21;
    return 80;
}

// The name the list filter judges: the last "/"-separated part of a row's
// text, without the query (a "?" part would hide the extension).
std::string FileNameOfText(const std::string& text) {
    const std::string path = text.substr(0, text.find('?'));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string CInternetDownloader::LinkText(const std::string& url) {
    CrackedUrl parts;
    if (!CrackUrl(url, parts) || parts.host.empty())
        return {};
    // Without its port a page on another port would be reopened on port 80.
    std::string text = parts.host;
    if (parts.port != SchemePort(parts.scheme))
        text += ":" + std::to_string(parts.port);
    return text + parts.path;
}

bool CInternetDownloader::ExtractPageLinks(TreeNodeId node, const std::string& pageAddress, bool addToTree,
                                           bool addToList, bool clearList) {
    errorText.clear();
    const std::string address = NormalizeHttpUrl(pageAddress, true);
    Host().ShowTreeTarget(address);
    if (!ParseUrl(address, true, false, true))
        return false;
    // The operation holds the busy state from the first load to the last probe.
    const bool ownBusy = !Host().Busy();
    if (ownBusy)
        Host().BeginBusy();
    CDownloadHtml& view = HtmlView();
    if (clearList && linkList_)
        linkList_->DeleteAllRows();
    if (!view.LoadPage(address)) {
        if (ownBusy)
            Host().EndBusy();
        return false;
    }
    Host().PumpOneMessage();
    if (Host().StopRequested()) {
        view.Release();
        if (ownBusy)
            Host().EndBusy();
        return true;
    }
    ILinkTreePane* tree = linkTree_;
    if (node == kNoNode && addToTree && tree) {
        node = tree->InsertRoot(LinkText(view.Location()));
        tree->SelectSilently(node);
    }
    const std::string nodeText = tree ? tree->NodeText(node) : std::string();
    const ProgramSettings& settings = Host().Settings();
    // A link met again on the same page would be judged the same: it is probed once.
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < view.elementCount; ++i) {
        Host().PumpOneMessage();
        if (Host().StopRequested())
            break;
        const std::string url = view.GetElementUrl(i);
        if (url.empty())
            continue;
        const std::string text = LinkText(url);
        if (text.empty() || !seen.insert(text).second)
            continue;
        const TreeNodeId selected = tree ? tree->Selected() : kNoNode;
        // A page is not put twice under the same node, nor beside the selected node's own children.
        const bool treeCandidate = addToTree && tree && node != kNoNode && text != nodeText &&
                                   tree->FindChild(selected, text) == kNoNode &&
                                   tree->FindChild(node, text) == kNoNode;
        const bool listCandidate = addToList && linkList_ && !(tree && text == tree->NodeText(selected)) &&
                                   !linkList_->HasRow(text);
        if (!treeCandidate && !listCandidate)
            continue;
        HttpProbeResult probe;
        QueryHttpInfo(url, probe);
        if (Host().StopRequested())
            break; // a probe cut short says nothing about the file
        const bool isPage = probe.contentType == "text/html";
        if (isPage && treeCandidate)
            tree->InsertChild(node, text);
        if (listCandidate && PassesListFilter(settings, FileNameOfText(text), probe.sizeText))
            linkList_->InsertRow({text, probe.sizeText, probe.contentType, probe.dateText, isPage});
    }
    view.Release();
    Host().SetStatus(address + " のダウンロード完了");
    if (ownBusy)
        Host().EndBusy();
    return true;
}

LinkWalkSummary CInternetDownloader::WalkLinkTree(TreeNodeId start) {
    LinkWalkSummary summary;
    const ProgramSettings& settings = Host().Settings();
    const int depth = std::clamp(settings.HttpListNextChoseSetting, 0, 3);
    const bool addToList = settings.HttpListNextChoseAddListSetting != 0;
    ILinkTreePane* tree = linkTree_;
    if (!tree || start == kNoNode || depth == 0)
        return summary;
    const bool ownBusy = !Host().Busy();
    if (ownBusy)
        Host().BeginBusy();
    bool end = false;
    auto pumpAndCheck = [&] {
        Host().PumpOneMessage();
        if (Host().StopRequested())
            summary.stopped = end = true;
        return !end;
    };
    // Expands each child of node into its pages; false when node has none.
    auto expandChildren = [&](TreeNodeId node) {
        const std::vector<TreeNodeId> children = tree->Children(node);
        for (TreeNodeId child : children) {
            if (end)
                break;
            tree->DeleteChildren(child);
            ++summary.pages;
            if (!ExtractPageLinks(child, "http://" + tree->NodeText(child), true, addToList, false) &&
                !Host().StopRequested()) {
                // Nobody else hears of a page below the first that failed.
                ++summary.failed;
                const int answer = Host().ShowWarning(errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
                if (answer == kAnswerYes || answer == kAnswerOk)
                    summary.stopped = end = true;
            }
            pumpAndCheck();
        }
        return !children.empty();
    };
    if (expandChildren(start) && depth >= 2 && !end) {
        for (TreeNodeId child : tree->Children(start)) {
            if (end || !pumpAndCheck())
                break;
            expandChildren(child);
        }
        if (depth >= 3)
            for (TreeNodeId child : tree->Children(start))
                for (TreeNodeId grandchild : tree->Children(child)) {
                    if (end || !pumpAndCheck())
                        break;
                    expandChildren(grandchild);
                }
    }
    if (ownBusy)
        Host().EndBusy();
    return summary;
}

} // namespace ordinex
