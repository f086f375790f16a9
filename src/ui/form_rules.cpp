#include "ui/form_rules.h"

#include "platform/text_helpers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

namespace ordinex::form {

const std::vector<int>& InputControlIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> v{kUrlBase,       kUrlExpansion,   kFolderBase,         kFolderExpansion,
                           kUserName,      kPassword,       kBrowserButton,      kExplorerButton,
                           kFtpTreeButton, kLinkTreeButton, kBrowseFolderButton, kCopyUrlButton};
        for (const RangeIds& r : kRangeIds) {
            v.push_back(r.check);
            v.push_back(r.start);
            v.push_back(r.end);
        }
        v.insert(v.end(), {kRunSeriesButton, kFtpListButton, kLinkListButton, kStopButton});
        return v;
    }();
    return ids;
}

const std::vector<ButtonCommand>& ButtonCommands() {
    static const std::vector<ButtonCommand> buttons{
        {kBrowserButton, cmd::kOpenBrowser},  {kExplorerButton, cmd::kOpenExplorer},
        {kFtpTreeButton, cmd::kShowFtpTree},  {kLinkTreeButton, cmd::kShowLinkTree},
        {kRunSeriesButton, cmd::kRunSeries},  {kFtpListButton, cmd::kRunFtpList},
        {kLinkListButton, cmd::kRunLinkList}, {kPreviewButton, cmd::kPreviewSeries},
    };
    return buttons;
}

std::map<int, bool> IdleEnabling(const Job& job, ListSelection lists) {
    std::map<int, bool> on;
    for (int id : InputControlIds())
        on[id] = true;
    on[kStopButton] = false;
    on[kPreviewButton] = true;
    if (TrimBlanks(job.urlBase).empty())
        on[kBrowserButton] = on[kExplorerButton] = on[kFtpTreeButton] = on[kLinkTreeButton] = false;
    if (TrimBlanks(job.urlExpansion).empty())
        on[kCopyUrlButton] = false;
    if (TrimBlanks(job.folderBase).empty() && TrimBlanks(job.folderExpansion).empty())
        on[kRunSeriesButton] = on[kFtpListButton] = on[kLinkListButton] = false;
    if (TrimBlanks(job.urlBase).empty() && TrimBlanks(job.urlExpansion).empty())
        on[kRunSeriesButton] = false;
    if (!lists.ftpListHasFile)
        on[kFtpListButton] = false;
    if (!lists.linkListHasFile)
        on[kLinkListButton] = false;
    for (std::size_t k = 0; k < kRangeIds.size(); ++k) {
        const RangeIds& r = kRangeIds[k];
        const bool checked = job.ranges[k].check != 0;
        on[r.label] = on[r.start] = on[r.tilde] = on[r.end] = checked;
    }
    return on;
}

std::map<int, bool> BusyEnabling() {
    std::map<int, bool> on;
    for (int id : InputControlIds())
        on[id] = false;
    on[kStopButton] = true;
    on[kPreviewButton] = false;
    return on;
}

std::string UrlToFolderExpansion(const std::string& urlExpansion, bool convertSeparators) {
    // "/" is already the local separator, so the conversion leaves the text as it is.
    (void)convertSeparators;
    return TrimBlanks(urlExpansion);
}

std::string FolderWithSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/')
        return folder;
    return folder + "/";
}

} // namespace ordinex::form
