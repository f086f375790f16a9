#include "app/list_run_items.h"
#include "app/ordinex_app.h"
#include "platform/url_test.h"
#include "runs/list_naming.h"
#include "runs/target_composition.h"

namespace ordinex {

namespace {
constexpr const char* kBadItemName = "ファイル名が正しくありません";

// The address a Link row is fetched from. A row holds host and path without
// a scheme, or a secure address with its "https://"; any text the parser
// reads with another scheme (https included while HTTPS is off) is fetched
// over plain HTTP.
std::string LinkItemAddress(CInternetDownloader& engine, const std::string& text) {
    return engine.NormalizeHttpUrl(text, false);
}

} // namespace

COrdinexApp::RunSummary COrdinexApp::RunLinkList(const Job& job) {
    const int64_t total = link_.rows ? link_.rows->DownloadableCount() : 0;
    if (total < 1)
        return {};
    // Rows whose probe failed leave the selection, so that the n-th selected
    // row is the n-th file; the window is disabled for the run.
    link_.rows->DeselectNonFiles();
    ListRunItems items(*this, &COrdinexApp::ComposeLinkItemUrl, &COrdinexApp::ComposeLinkItemPath,
                       job.folderBase, total);
    const RunSummary summary = RunDownloadLoop(items, job.userName, job.password);
    ShowListOutcomes(link_.rows, summary, &COrdinexApp::ComposeLinkItemUrl);
    return summary;
}

std::string COrdinexApp::ComposeLinkItemUrl(int64_t n) {
    const std::string text = link_.rows ? link_.rows->SelectedItem(n) : std::string();
    if (text.empty()) {
        targetError = kBadItemName;
        targetValid = false;
        return {};
    }
    const std::string url = LinkItemAddress(engine, text);
    if (!IsUrlText(url)) {
        targetError = url + kBadUrlSuffix;
        targetValid = false;
    }
    return url;
}

std::string COrdinexApp::ComposeLinkItemPath(int64_t n, const std::string& folderBase) {
    const std::string text = link_.rows ? link_.rows->SelectedItem(n) : std::string();
    const ListNaming naming{settings.HttpListSaveSetting, settings.HttpListSaveHowManyDirectorySetting,
                            "http://"};
    const std::string localName =
        text.empty() ? std::string() : LinkItemLocalName(LinkItemAddress(engine, text));
    const ListItemTarget target = ComposeListItemTarget(folderBase, localName, naming);
    if (text.empty()) {
        targetError = kBadItemName;
        targetValid = false;
        return target.path;
    }
    return PrepareListItemPath(target);
}

} // namespace ordinex
