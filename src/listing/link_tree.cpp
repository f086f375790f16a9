#include "net/internet_downloader.h"

namespace ordinex {

bool CInternetDownloader::OpenLinkTree() {
    errorText.clear();
    if (linkTree_)
        linkTree_->DeleteAllNodes();
    if (linkList_)
        linkList_->DeleteAllRows();
    sourceUrl = NormalizeHttpUrl(sourceUrl, false);
    Host().ShowTreeTarget(sourceUrl);
    const std::string start = sourceUrl;
    if (!ExtractPageLinks(kNoNode, sourceUrl, true, true, true))
        return false;
    sourceUrl = start;
    return true;
}

} // namespace ordinex
