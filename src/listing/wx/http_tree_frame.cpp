#include "listing/wx/http_tree_frame.h"

#include "app/ordinex_app.h"
#include "listing/wx/link_panes.h"
#include "listing/wx/link_window_texts.h"
#include "listing/wx/main_form_link.h"
#include "mainwnd/command_ids.h"
#include "runs/text_helpers.h"

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
                {cmd::kLinkTreeToUrl, ListCommand::TreeToUrl, kTreeToUrlLabel, kTreeToUrlTip, wxART_GO_DIR_UP, true},
                {cmd::kRunLinkList, ListCommand::Download, kDownloadLabel, kDownloadTip, wxART_GO_DOWN, true},
                {cmd::kLinkListToUrlFolder, ListCommand::ListToUrlFolder, kListToUrlFolderLabel,
                 kListToUrlFolderTip, wxART_COPY, true},
                {cmd::kLinkListToUrlFile, ListCommand::ListToUrlFile, kListToUrlFileLabel, kListToUrlFileTip,
                 wxART_EDIT, true},
                {cmd::kLinkListReload, ListCommand::Reload, kReloadLabel, kReloadTip, wxART_REFRESH, true},
                {cmd::kOpenBrowser, ListCommand::OpenInBrowser, kBrowserLabel, kBrowserTip, wxART_GO_FORWARD, true},
            }};
}

} // namespace

CHttpTreeFrame* CHttpTreeFrame::current_ = nullptr;

CHttpTreeFrame* CHttpTreeFrame::Open(COrdinexApp& app, IMainFormLink& main) {
    return ShowOnly(current_, [&] { return new CHttpTreeFrame(app, main); });
}

CHttpTreeFrame::CHttpTreeFrame(COrdinexApp& app, IMainFormLink& main)
    : CTreeListFrame(app, main, LinkWindowSpec(app.productName)) {
    tree_ = new CHttpTreeView(Splitter());
    list_ = new CHttpListView(Splitter());
    AttachPanes(tree_, list_);
    app_.AttachLinkWindow({this, tree_, list_, list_});
}

CHttpTreeFrame::~CHttpTreeFrame() {
    // The engine and the runs must not reach panes that are going away.
    if (app_.LinkWindow().window == this)
        app_.AttachLinkWindow({});
    if (current_ == this)
        current_ = nullptr;
}

std::string CHttpTreeFrame::FirstRowAddress() const {
    const std::string text = list_->SelectedItem(1);
    return text.empty() ? std::string() : CInternetDownloader::LinkAddress(text);
}

std::string CHttpTreeFrame::FirstRowFolderAddress() const {
    const std::string text = list_->SelectedItem(1);
    return CInternetDownloader::LinkAddress(!text.empty() && text.front() == '/' ? text.substr(1) : text);
}

void CHttpTreeFrame::OnNodeSelected(const wxTreeItemId& node) {
    wxBusyCursor wait;
    const std::string address = tree_->NodeAddress(node);
    const bool hasChildren = tree_->HasChildNodes(node);
    const TreeNodeId id = CListingTree::IdOf(node);
    const Job job = main_.ReadJob();
    main_.RunNested([&] {
        app_.ExpandLinkPage(id, address, hasChildren, true, true, TrimBlanks(job.userName), TrimBlanks(job.password));
        // The window may have been closed meanwhile; the walk then has no tree.
        if (app_.LinkWindow().window != this)
            return;
        ShowAddress(address);
        // A stop during the page ends the walk before it begins.
        if (!app_.stopRequested)
            app_.WalkLinkPages(id);
    });
}

void CHttpTreeFrame::OnRowActivated(size_t) {
    const std::string address = FirstRowAddress();
    if (!address.empty())
        OpenInBrowser(address);
}

void ShowLinkTreeWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    CHttpTreeFrame::Open(app, main);
    const Job job = main.ReadJob();
    app.ShowLinkTree(address, TrimBlanks(job.userName), TrimBlanks(job.password));
}

} // namespace ordinex
