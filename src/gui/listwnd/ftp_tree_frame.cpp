#include "gui/listwnd/ftp_tree_frame.h"

#include "app/ordinex_app.h"
#include "gui/listwnd/ftp_panes.h"
#include "gui/listwnd/ftp_window_texts.h"
#include "gui/widgets/main_form_link.h"
#include "platform/text_helpers.h"
#include "ui/command_ids.h"

#include <wx/splitter.h>
#include <wx/utils.h>

namespace ordinex {

namespace {

TreeListWindowSpec FtpWindowSpec(const std::string& productName) {
    using namespace ftpwin;
    return {productName + kTitleSuffix,
            kPlacementSection,
            kListSection,
            {
                {cmd::kFtpTreeToUrl, ListCommand::TreeToUrl, kTreeToUrlLabel, kTreeToUrlTip, wxART_GO_DIR_UP,
                 true},
                {cmd::kRunFtpList, ListCommand::Download, kDownloadLabel, kDownloadTip, wxART_GO_DOWN, true},
                {cmd::kFtpListToUrlFolder, ListCommand::ListToUrlFolder, kListToUrlFolderLabel,
                 kListToUrlFolderTip, wxART_COPY, true},
                {cmd::kFtpListToUrlFile, ListCommand::ListToUrlFile, kListToUrlFileLabel, kListToUrlFileTip,
                 wxART_EDIT, true},
                {cmd::kFtpListReload, ListCommand::Reload, kReloadLabel, kReloadTip, wxART_REFRESH, false},
                {cmd::kOpenBrowser, ListCommand::OpenInBrowser, kBrowserLabel, kBrowserTip, wxART_GO_FORWARD,
                 true},
            }};
}

} // namespace

CFtpTreeFrame* CFtpTreeFrame::current_ = nullptr;

CFtpTreeFrame* CFtpTreeFrame::Open(COrdinexApp& app, IMainFormLink& main) {
    return ShowOnly(current_, [&] { return new CFtpTreeFrame(app, main); });
}

CFtpTreeFrame::CFtpTreeFrame(COrdinexApp& app, IMainFormLink& main)
    : CTreeListFrame(app, main, FtpWindowSpec(app.productName)) {
    tree_ = new CFtpTreeView(Splitter());
    list_ = new CFtpListView(Splitter(), *this);
    AttachPanes(tree_, list_);
    app_.AttachFtpWindow({this, tree_, list_, list_});
}

CFtpTreeFrame::~CFtpTreeFrame() {
    // The engine and the runs must not reach panes that are going away.
    if (app_.FtpWindow().window == this)
        app_.AttachFtpWindow({});
    if (current_ == this)
        current_ = nullptr;
}

void CFtpTreeFrame::ShowAddress(const std::string& address) {
    shownAddress_ = address;
    CTreeListFrame::ShowAddress(address);
}

std::string CFtpTreeFrame::ListedDirectory() const {
    const std::string selected = tree_->SelectedAddress();
    return selected.empty() ? shownAddress_ : selected;
}

std::string CFtpTreeFrame::RowAddress(int64_t n, bool asUrl) const {
    return JoinRowAddress(ListedDirectory(), list_->SelectedItem(n), asUrl);
}

void CFtpTreeFrame::OnNodeSelected(const wxTreeItemId& node) {
    wxBusyCursor wait;
    const std::string address = tree_->NodeAddress(node);
    const bool hasChildren = tree_->HasChildNodes(node);
    const Job job = main_.ReadJob();
    main_.RunNested([&] {
        app_.ListFtpDirectory(CListingTree::IdOf(node), address, hasChildren, true, TrimBlanks(job.userName),
                              TrimBlanks(job.password));
    });
    ShowAddress(address);
}

void CFtpTreeFrame::OnRowActivated(size_t row) {
    if (list_->IsFileRow(row)) {
        OpenInBrowser(RowAddress(1, true));
        return;
    }
    const wxTreeItemId child = tree_->FindChildByText(tree_->GetSelection(), list_->Row(row).texts[0]);
    tree_->SelectAndLoad(child);
}

void ShowFtpTreeWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    CFtpTreeFrame::Open(app, main);
    const Job job = main.ReadJob();
    app.ShowFtpTree(address, TrimBlanks(job.userName), TrimBlanks(job.password));
}

int64_t CFtpTreeFrame::DownloadableRows() const {
    return list_->DownloadableCount();
}

} // namespace ordinex
