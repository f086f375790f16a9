#include "app/list_run_items.h"
#include "app/ordinex_app.h"
#include "listing/list_rules.h"
#include "platform/url_test.h"
#include "runs/list_naming.h"
#include "runs/target_composition.h"

namespace ordinex {

namespace {
constexpr const char* kBadItemName = "ファイル名が正しくありません";

std::string DirectoryOf(const IFtpListSelection* rows, int64_t n) {
    std::string dir = rows ? rows->ItemDirectory(n) : std::string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

} // namespace

COrdinexApp::RunSummary COrdinexApp::RunFtpList(const Job& job) {
    const int64_t total = ftp_.rows ? ftp_.rows->DownloadableCount() : 0;
    if (total < 1)
        return {};
    // Folder rows leave the selection, so that the n-th selected row is the
    // n-th file; the window is disabled for the run, so it stays that way.
    ftp_.rows->DeselectNonFiles();
    ListRunItems items(*this, &COrdinexApp::ComposeFtpItemUrl, &COrdinexApp::ComposeFtpItemPath,
                       job.folderBase, total);
    const RunSummary summary = RunDownloadLoop(items, job.userName, job.password);
    ShowListOutcomes(ftp_.rows, summary, &COrdinexApp::ComposeFtpItemUrl);
    return summary;
}

std::string COrdinexApp::ComposeFtpItemUrl(int64_t n) {
    const std::string dir = DirectoryOf(ftp_.rows, n);
    const std::string name = ftp_.rows ? ftp_.rows->SelectedItem(n) : std::string();
    if (name.empty()) {
        targetError = kBadItemName;
        targetValid = false;
        return dir;
    }
    std::string url = JoinRowAddress(dir, name, true);
    if (!IsUrlText(url)) {
        targetError = url + kBadUrlSuffix;
        targetValid = false;
    }
    return url;
}

std::string COrdinexApp::ComposeFtpItemPath(int64_t n, const std::string& folderBase) {
    const std::string name = ftp_.rows ? ftp_.rows->SelectedItem(n) : std::string();
    const ListNaming naming{settings.FtpListSaveSetting, settings.FtpListSaveHowManyDirectorySetting,
                            "ftp://"};
    const ListItemTarget target =
        ComposeListItemTarget(folderBase, FtpItemLocalName(DirectoryOf(ftp_.rows, n), name), naming);
    // An empty row was already reported by the URL's composition.
    if (name.empty())
        return target.path;
    return PrepareListItemPath(target);
}

void COrdinexApp::ShowListOutcomes(IListSelection* rows, const RunSummary& summary,
                                   std::string (COrdinexApp::*urlOf)(int64_t)) {
    if (!rows)
        return;
    // The report holds the rows that did not complete, in run order; the
    // other rows the run reached arrived.
    const auto& reported = report_.rows;
    int64_t reached = summary.done + summary.failed + summary.skipped;
    for (const RunReportRow& row : reported)
        reached += row.outcome == RunReportRow::Outcome::Stopped ? 1 : 0;
    std::size_t next = 0;
    for (int64_t n = 1; n <= summary.total && n <= reached; ++n) {
        const std::string url = (this->*urlOf)(n);
        if (next < reported.size() && reported[next].url == url)
            rows->ShowOutcome(n, OutcomeText(reported[next++].outcome));
        else
            rows->ShowOutcome(n, "完了");
    }
    targetValid = true;
}

std::string COrdinexApp::PrepareListItemPath(const ListItemTarget& target) {
    // A name that cannot be stored below the folder creates nothing.
    if (!target.storable || !CreateFolders(target.path)) {
        targetError = target.path + kBadFileNameSuffix;
        targetValid = false;
        return target.path;
    }
    if (settings.SaveSetting == 2 && FileExists(target.path))
        return MakeUniqueFileName(target.path);
    return target.path;
}

} // namespace ordinex
