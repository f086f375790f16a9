#include "app/ordinex_app.h"

namespace ordinex {

namespace {
constexpr const char* kTreeShown = "HTTPツリービュー表示完了";
}

void COrdinexApp::AttachLinkWindow(const LinkWindowParts& parts) {
    link_ = parts;
    engine.SetLinkPanes(parts.tree, parts.list);
}

void COrdinexApp::BeginLinkListing() {
    engine.linkTroubles = {};
    if (statusView_)
        statusView_->ShowRunResult("");
}

void COrdinexApp::ShowLinkTroubles() {
    const std::string text = engine.linkTroubles.Text();
    if (text.empty())
        return;
    SetTransferText(text);
    // Leaving the busy state empties the status area: the counts stay in view on a line of their own.
    if (statusView_)
        statusView_->ShowRunResult(text);
}

void COrdinexApp::ShowLinkTree(const std::string& address, const std::string& userName,
                               const std::string& password) {
    BeginLinkListing();
    RunTreeOperation(
        link_.window, kTreeShown,
        [&] {
            engine.userName = userName;
            engine.password = password;
            engine.sourceUrl = address;
            // The start page, the walk below it and all their probes share connections.
            CInternetDownloader::Batch batch(engine);
            if (!engine.OpenLinkTree())
                ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
            if (link_.window)
                link_.window->ShowAddress(engine.sourceUrl);
            // A stop during the first page ends the walk before it begins.
            if (!stopRequested && link_.tree)
                engine.WalkLinkTree(link_.tree->Selected());
        },
        [this] { ShowLinkTroubles(); });
}

void COrdinexApp::ExpandLinkPage(TreeNodeId node, const std::string& address, bool hasChildren,
                                 bool addToList, bool clearList, const std::string& userName,
                                 const std::string& password) {
    BeginLinkListing();
    RunTreeOperation(
        link_.window, kTreeShown,
        [&] {
            engine.userName = userName;
            engine.password = password;
            if (!engine.ExtractPageLinks(node, address, !hasChildren, addToList, clearList))
                ShowWarning(engine.errorText, settings.ShowWarningDialogOnDownloadFailureSetting);
        },
        [this] { ShowLinkTroubles(); });
}

void COrdinexApp::WalkLinkPages(TreeNodeId node) {
    // Nothing to walk: the windows need not go through a busy state for it.
    if (settings.HttpListNextChoseSetting < 1 || !link_.tree || node == kNoNode ||
        link_.tree->Children(node).empty())
        return;
    RunTreeOperation(
        link_.window, kTreeShown, [&] { engine.WalkLinkTree(node); }, [this] { ShowLinkTroubles(); });
}

} // namespace ordinex
