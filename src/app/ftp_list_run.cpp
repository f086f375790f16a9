#include "app/list_run_items.h"
#include "app/ordinex_app.h"
#include "listing/list_rules.h"
#include "platform/text_helpers.h"
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
    int64_t total = ftp_.rows ? ftp_.rows->DownloadableCount() : 0;
    if (total < 1)
        return {};
    ftpItems_.clear();
    bool folders = false;
    for (int64_t n = 1; n <= total; ++n)
        folders = folders || ftp_.rows->SelectedIsFolder(n);
    if (folders) {
        // The files below the selected folders are listed first, with Stop
        // live, and run as one list with the selected files.
        BeginBusy();
        engine.userName = TrimBlanks(job.userName);
        engine.password = TrimBlanks(job.password);
        CInternetDownloader::Batch batch(engine);
        for (int64_t n = 1; n <= total && !stopRequested; ++n) {
            const std::string dir = DirectoryOf(ftp_.rows, n);
            const std::string name = ftp_.rows->SelectedItem(n);
            if (ftp_.rows->SelectedIsFolder(n))
                CollectFolderFiles(JoinRowAddress(dir, name, true) + "/", 1);
            else
                ftpItems_.emplace_back(dir, name);
        }
        batch.End();
        const bool stopped = stopRequested;
        EndBusy();
        if (stopped || ftpItems_.empty()) {
            ftpItems_.clear();
            return {};
        }
        total = static_cast<int64_t>(ftpItems_.size());
    } else {
        // Only files: the n-th selected row is the n-th file.
        ftp_.rows->DeselectNonFiles();
    }
    ListRunItems items(*this, &COrdinexApp::ComposeFtpItemUrl, &COrdinexApp::ComposeFtpItemPath,
                       job.folderBase, total);
    const RunSummary summary = RunDownloadLoop(items, job.userName, job.password);
    // Outcomes go to the rows when the rows were the run's items; a folder's
    // files have no row of their own.
    if (ftpItems_.empty())
        ShowListOutcomes(ftp_.rows, summary, &COrdinexApp::ComposeFtpItemUrl);
    ftpItems_.clear();
    return summary;
}

void COrdinexApp::CollectFolderFiles(const std::string& folderUrl, int depth) {
    if (depth > kMaxFolderDepth || stopRequested)
        return;
    std::vector<FtpEntry> entries;
    if (!engine.CollectFtpDirectory(folderUrl, entries)) {
        if (!stopRequested)
            ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
        return;
    }
    for (const FtpEntry& entry : entries) {
        if (stopRequested || static_cast<int64_t>(ftpItems_.size()) >= engine.maxListingEntries)
            return;
        if (!entry.isDirectory) {
            if (CInternetDownloader::PassesListFilter(settings, entry.name, entry.sizeText))
                ftpItems_.emplace_back(folderUrl, entry.name);
        } else if (!entry.isLink) {
            CollectFolderFiles(JoinRowAddress(folderUrl, entry.name, true) + "/", depth + 1);
        }
    }
}

std::pair<std::string, std::string> COrdinexApp::FtpItem(int64_t n) const {
    if (!ftpItems_.empty())
        return n >= 1 && n <= static_cast<int64_t>(ftpItems_.size())
                   ? ftpItems_[static_cast<std::size_t>(n - 1)]
                   : std::pair<std::string, std::string>{};
    return {DirectoryOf(ftp_.rows, n), ftp_.rows ? ftp_.rows->SelectedItem(n) : std::string()};
}

std::string COrdinexApp::ComposeFtpItemUrl(int64_t n) {
    const auto [itemDir, name] = FtpItem(n);
    std::string dir = itemDir;
    if (dir.empty() || dir.back() != '/')
        dir += '/';
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
    const auto [dir, name] = FtpItem(n);
    const ListNaming naming{settings.FtpListSaveSetting, settings.FtpListSaveHowManyDirectorySetting,
                            "ftp://"};
    const ListItemTarget target = ComposeListItemTarget(
        folderBase, FtpItemLocalName(dir, name, settings.FtpNameCharsetSetting), naming);
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
