#include "gui/listwnd/link_tree_frame.h"

#include "app/ordinex_app.h"
#include "gui/listwnd/link_panes.h"
#include "gui/listwnd/link_window_texts.h"
#include "gui/widgets/main_form_link.h"
#include "platform/text_helpers.h"
#include "ui/command_ids.h"

#include <wx/splitter.h>
#include <wx/utils.h>

namespace ordinex {

namespace {

TreeListWindowSpec LinkWindowSpec(const std::string& productName) {
    using namespace linkwin;
    // Unlike the FTP window's, the reload is one of the buttons the busy state switches off.
    return {productName + kTitleSuffix,
            kPlacementSection,
            kListSection,
            {
                {cmd::kLinkTreeToUrl, ListCommand::TreeToUrl, kTreeToUrlLabel, kTreeToUrlTip, wxART_GO_DIR_UP,
                 true},
                {cmd::kRunLinkList, ListCommand::Download, kDownloadLabel, kDownloadTip, wxART_GO_DOWN, true},
                {cmd::kLinkListToUrlFolder, ListCommand::ListToUrlFolder, kListToUrlFolderLabel,
                 kListToUrlFolderTip, wxART_COPY, true},
                {cmd::kLinkListToUrlFile, ListCommand::ListToUrlFile, kListToUrlFileLabel, kListToUrlFileTip,
                 wxART_EDIT, true},
                {cmd::kLinkListReload, ListCommand::Reload, kReloadLabel, kReloadTip, wxART_REFRESH, true},
                {cmd::kOpenBrowser, ListCommand::OpenInBrowser, kBrowserLabel, kBrowserTip, wxART_GO_FORWARD,
                 true},
            }};
}

} // namespace

CLinkTreeFrame* CLinkTreeFrame::current_ = nullptr;

CLinkTreeFrame* CLinkTreeFrame::Open(COrdinexApp& app, IMainFormLink& main) {
    return ShowOnly(current_, [&] { return new CLinkTreeFrame(app, main); });
}

CLinkTreeFrame::CLinkTreeFrame(COrdinexApp& app, IMainFormLink& main)
    : CTreeListFrame(app, main, LinkWindowSpec(app.productName)) {
    tree_ = new CLinkTreeView(Splitter());
    list_ = new CHttpListView(Splitter());
    AttachPanes(tree_, list_);
    app_.AttachLinkWindow({this, tree_, list_, list_});
}

CLinkTreeFrame::~CLinkTreeFrame() {
    // The engine and the runs must not reach panes that are going away.
    if (app_.LinkWindow().window == this)
        app_.AttachLinkWindow({});
    if (current_ == this)
        current_ = nullptr;
}

std::string CLinkTreeFrame::FirstRowAddress() const {
    const std::string text = list_->SelectedItem(1);
    return text.empty() ? std::string() : CInternetDownloader::LinkAddress(text);
}

std::string CLinkTreeFrame::FirstRowFolderAddress() const {
    const std::string text = list_->SelectedItem(1);
    return CInternetDownloader::LinkAddress(!text.empty() && text.front() == '/' ? text.substr(1) : text);
}

void CLinkTreeFrame::OnNodeSelected(const wxTreeItemId& node) {
    wxBusyCursor wait;
    const std::string address = tree_->NodeAddress(node);
    const bool hasChildren = tree_->HasChildNodes(node);
    const TreeNodeId id = CListingTree::IdOf(node);
    const Job job = main_.ReadJob();
    main_.RunNested([&] {
        app_.ExpandLinkPage(id, address, hasChildren, true, true, TrimBlanks(job.userName),
                            TrimBlanks(job.password));
        // The window may have been closed meanwhile; the walk then has no tree.
        if (app_.LinkWindow().window != this)
            return;
        ShowAddress(address);
        // A stop during the page ends the walk before it begins.
        if (!app_.stopRequested)
            app_.WalkLinkPages(id);
    });
}

void CLinkTreeFrame::OnRowActivated(size_t) {
    const std::string address = FirstRowAddress();
    if (!address.empty())
        OpenInBrowser(address);
}

void ShowLinkTreeWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    CLinkTreeFrame::Open(app, main);
    const Job job = main.ReadJob();
    app.ShowLinkTree(address, TrimBlanks(job.userName), TrimBlanks(job.password));
}

} // namespace ordinex
