#include "net/internet_downloader.h"

namespace ordinex {

// The page loader and link walk are not part of the program yet. Until they
// are, opening the Link tree fails with a plain reason instead of showing an
// empty tree as if the page had no links. Remove this file with their arrival.
bool CInternetDownloader::ExtractPageLinks(TreeNodeId, const std::string&, bool, bool, bool) {
    Fail("リンクの抽出はこの版ではまだ使えません");
    return false;
}

} // namespace ordinex
