#include "gui/listwnd/link_panes.h"

#include "gui/listwnd/link_window_texts.h"
#include "gui/listwnd/listing_pictures.h"
#include "net/internet_downloader.h"

namespace ordinex {

namespace {
// Pictures of both panes: a file, a page.
constexpr int kFileImage = 0;
constexpr int kPageImage = 1;

wxImageList* LinkImages() {
    return MakeListingImages({ListingPicture::File, ListingPicture::Page});
}
} // namespace

// ---- Tree ----

CLinkTreeView::CLinkTreeView(wxWindow* parent) : CListingTree(parent, LinkImages(), kPageImage, kPageImage) {}

TreeNodeId CLinkTreeView::InsertRoot(const std::string& text) {
    const wxTreeItemId root = InsertRootNode(text);
    wxGetTopLevelParent(this)->Raise();
    return IdOf(root);
}

TreeNodeId CLinkTreeView::InsertChild(TreeNodeId parent, const std::string& text) {
    return IdOf(InsertSortedChild(ItemOf(parent), text));
}

TreeNodeId CLinkTreeView::FindChild(TreeNodeId parent, const std::string& text) const {
    return IdOf(FindChildByText(ItemOf(parent), text));
}

std::vector<TreeNodeId> CLinkTreeView::Children(TreeNodeId node) const {
    std::vector<TreeNodeId> children;
    const wxTreeItemId item = ItemOf(node);
    if (!item.IsOk())
        return children;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(item, cookie); child.IsOk(); child = GetNextChild(item, cookie))
        children.push_back(IdOf(child));
    return children;
}

std::string CLinkTreeView::NodeText(TreeNodeId node) const {
    return NodeText(ItemOf(node));
}

std::string CLinkTreeView::NodeAddress(const wxTreeItemId& node) const {
    return node.IsOk() ? CInternetDownloader::LinkAddress(NodeText(node)) : std::string();
}

// ---- List ----

CHttpListView::CHttpListView(wxWindow* parent)
    : CSortableList(parent, linkwin::kColumnHeaders, LinkImages()) {}

void CHttpListView::DeleteAllRows() {
    ClearRows();
    texts_.clear();
}

void CHttpListView::InsertRow(const LinkRow& row) {
    texts_.insert(row.text);
    ListRow shown;
    shown.texts = {row.text, row.sizeText, row.contentType, row.dateText};
    shown.image = row.isPage ? kPageImage : kFileImage;
    shown.address = CInternetDownloader::LinkAddress(row.text);
    shown.problem = row.error;
    AddRow(std::move(shown));
}

} // namespace ordinex
