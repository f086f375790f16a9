#include "listing/download_html.h"
#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace ordinex {

namespace {

// What a walk remembers: some 30 MB of probe answers, 32 MB of pages' links.
constexpr std::size_t kWalkProbes = 100000;
constexpr std::size_t kWalkPageBytes = 32u << 20;

// The name the list filter judges: the last "/"-separated part of a row's
// text, without the query (a "?" part would hide the extension).
std::string FileNameOfText(const std::string& text) {
    const std::string path = text.substr(0, text.find('?'));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

struct CInternetDownloader::LinkWalkMemory {
    std::unordered_map<std::string, HttpProbeResult> probes;      // by link text
    std::unordered_map<std::string, std::vector<PageLink>> pages; // by address
    std::size_t pageBytes = 0;
};

bool CInternetDownloader::CollectPageLinks(const std::string& address, TreeNodeId& node, bool addToTree,
                                           std::vector<PageLink>& links, bool& stopped) {
    links.clear();
    stopped = false;
    if (walkMemory_) {
        const auto known = walkMemory_->pages.find(address);
        if (known != walkMemory_->pages.end()) {
            links = known->second;
            return true;
        }
    }
    CDownloadHtml& view = HtmlView();
    if (!view.LoadPage(address))
        return false;
    Host().PumpOneMessage();
    if (Host().StopRequested()) {
        view.Release();
        stopped = true;
        return true;
    }
    if (node == kNoNode && addToTree && linkTree_) {
        node = linkTree_->InsertRoot(LinkText(view.Location()));
        linkTree_->SelectSilently(node);
    }
    // A link met again on the same page would be judged the same: it is kept once.
    std::unordered_set<std::string> seen;
    std::unordered_set<std::string> seenUrls;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < view.elementCount; ++i) {
        Host().PumpOneMessage();
        if (Host().StopRequested()) {
            stopped = true;
            break;
        }
        std::string url = view.GetElementUrl(i);
        if (url.empty() || !seenUrls.insert(url).second)
            continue;
        std::string text = LinkText(url);
        if (text.empty() || !seen.insert(text).second)
            continue;
        bytes += url.size() + text.size();
        links.push_back({std::move(url), std::move(text)});
    }
    view.Release();
    if (walkMemory_ && !stopped && walkMemory_->pageBytes + bytes <= kWalkPageBytes) {
        walkMemory_->pageBytes += bytes;
        walkMemory_->pages.emplace(address, links);
    }
    return true;
}

HttpProbeResult CInternetDownloader::ProbeLink(const PageLink& link, bool& stopped) {
    stopped = false;
    if (walkMemory_) {
        const auto known = walkMemory_->probes.find(link.text);
        if (known != walkMemory_->probes.end())
            return known->second;
    }
    HttpProbeResult probe;
    const auto early = prefetched_.find(link.text);
    if (early != prefetched_.end()) {
        probe = early->second;
        if (walkMemory_ && walkMemory_->probes.size() < kWalkProbes)
            walkMemory_->probes.emplace(link.text, probe);
        return probe;
    }
    if (!QueryHttpInfo(link.url, probe))
        probe.errorText = errorText;
    // A probe cut short says nothing about the file.
    stopped = Host().StopRequested();
    if (walkMemory_ && !stopped && walkMemory_->probes.size() < kWalkProbes)
        walkMemory_->probes.emplace(link.text, probe);
    return probe;
}

bool CInternetDownloader::ExtractPageLinks(TreeNodeId node, const std::string& pageAddress, bool addToTree,
                                           bool addToList, bool clearList) {
    errorText.clear();
    const std::string address = NormalizeHttpUrl(pageAddress, true);
    Host().ShowTreeTarget(address);
    if (!ParseUrl(address, true, false, true))
        return false;
    // The page and the probes of its links share their connections.
    Batch batch(*this);
    // The operation holds the busy state from the first load to the last probe.
    const bool ownBusy = !Host().Busy();
    if (ownBusy)
        Host().BeginBusy();
    if (clearList && linkList_)
        linkList_->DeleteAllRows();
    std::vector<PageLink> links;
    bool stopped = false;
    if (!CollectPageLinks(address, node, addToTree, links, stopped)) {
        batch.End();
        if (ownBusy)
            Host().EndBusy();
        return false;
    }
    ILinkTreePane* tree = linkTree_;
    const std::string nodeText = tree ? tree->NodeText(node) : std::string();
    const ProgramSettings& settings = Host().Settings();
    // A page is not put twice under the same node, nor beside the selected node's own children.
    auto candidate = [&](const PageLink& link, bool& treeCandidate, bool& listCandidate) {
        const TreeNodeId selected = tree ? tree->Selected() : kNoNode;
        treeCandidate = addToTree && tree && node != kNoNode && link.text != nodeText &&
                        tree->FindChild(selected, link.text) == kNoNode &&
                        tree->FindChild(node, link.text) == kNoNode;
        listCandidate = addToList && linkList_ && !(tree && link.text == tree->NodeText(selected)) &&
                        !linkList_->HasRow(link.text);
        return treeCandidate || listCandidate;
    };
    // Up to ParallelTransfersSetting probes go out at once; the rows still
    // go in in the page's order below.
    prefetched_.clear();
    if (settings.ParallelTransfersSetting > 1 && !stopped) {
        std::vector<const PageLink*> wanted;
        for (const PageLink& link : links) {
            bool inTree = false, inList = false;
            if (candidate(link, inTree, inList) && !(walkMemory_ && walkMemory_->probes.count(link.text)))
                wanted.push_back(&link);
        }
        std::vector<HttpProbeResult> probes(wanted.size());
        std::vector<char> answered(wanted.size(), 0);
        RunConcurrently(wanted.size(), static_cast<std::size_t>(settings.ParallelTransfersSetting),
                        [&](CInternetDownloader& worker, std::size_t k) {
                            if (!worker.QueryHttpInfo(wanted[k]->url, probes[k]))
                                probes[k].errorText = worker.errorText;
                            // A probe cut short says nothing about the file.
                            answered[k] = !Host().StopRequested();
                        });
        for (std::size_t k = 0; k < wanted.size(); ++k)
            if (answered[k])
                prefetched_.emplace(wanted[k]->text, std::move(probes[k]));
    }
    for (std::size_t i = 0; i < links.size() && !stopped; ++i) {
        const PageLink& link = links[i];
        // Answers already in stay in the list even after a Stop.
        if (!prefetched_.count(link.text)) {
            Host().PumpOneMessage();
            if (Host().StopRequested())
                break;
        }
        bool treeCandidate = false, listCandidate = false;
        if (!candidate(link, treeCandidate, listCandidate))
            continue;
        const HttpProbeResult probe = ProbeLink(link, stopped);
        if (stopped)
            break;
        const bool isPage = IsPageType(probe.contentType);
        if (isPage && treeCandidate)
            tree->InsertChild(node, link.text);
        if (listCandidate && PassesListFilter(settings, FileNameOfText(link.text), probe.sizeText))
            linkList_->InsertRow(
                {link.text, probe.sizeText, probe.contentType, probe.dateText, isPage, probe.errorText});
    }
    prefetched_.clear();
    Host().SetStatus(address + " のダウンロード完了");
    batch.End();
    if (ownBusy)
        Host().EndBusy();
    return true;
}

std::string LinkTroubles::Text() const {
    if (!Any())
        return {};
    std::string text = "リンク一覧表示終了: ";
    if (failedPages > 0)
        text += "読み込めなかったページ " + std::to_string(failedPages) + " 件";
    if (cutPages > 0)
        text += std::string(failedPages > 0 ? "、" : "") +
                std::to_string(CInternetDownloader::kMaxPageBytes >> 20) +
                " MB を超えて先頭の部分だけを読んだページ " + std::to_string(cutPages) + " 件";
    return text;
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
    Batch batch(*this);
    // The same files and pages turn up on page after page: within one walk
    // each address is probed and each page read once, as a browser's cache
    // would answer them.
    LinkWalkMemory memory;
    walkMemory_ = &memory;
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
            const std::string address = LinkAddress(tree->NodeText(child));
            if (!ExtractPageLinks(child, address, true, addToList, false) && !Host().StopRequested()) {
                // Nobody else hears of a page below the first that failed.
                ++summary.failed;
                ++linkTroubles.failedPages;
                Host().ReportPageTrouble(address + " を読み込めませんでした: " + errorText);
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
    walkMemory_ = nullptr;
    batch.End();
    if (ownBusy)
        Host().EndBusy();
    return summary;
}

} // namespace ordinex
