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
    return RunDownloadLoop(items, job.userName, job.password);
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
