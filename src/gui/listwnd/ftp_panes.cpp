#include "gui/listwnd/ftp_panes.h"

#include "gui/listwnd/ftp_tree_frame.h"
#include "gui/listwnd/ftp_window_texts.h"
#include "gui/listwnd/listing_pictures.h"
#include "listing/list_rules.h"

namespace ordinex {

namespace {
// Pictures of both panes: a folder, the selected folder, a file.
constexpr int kFolderImage = 0;
constexpr int kOpenFolderImage = 1;
constexpr int kFileImage = 2;

wxImageList* FtpImages() {
    return MakeListingImages({ListingPicture::Folder, ListingPicture::OpenFolder, ListingPicture::File});
}
} // namespace

// ---- Tree ----

CFtpTreeView::CFtpTreeView(wxWindow* parent)
    : CListingTree(parent, FtpImages(), kFolderImage, kOpenFolderImage) {}

TreeNodeId CFtpTreeView::InsertRoot(const std::string& text, const std::string& rootAddress) {
    rootAddress_ = rootAddress;
    const wxTreeItemId root = InsertRootNode(text);
    wxGetTopLevelParent(this)->Raise();
    return IdOf(root);
}

TreeNodeId CFtpTreeView::InsertChild(TreeNodeId parent, const std::string& text) {
    // Without a node (a walk that lost its way) the folders go under the root,
    // as close to the top level as a tree with one root comes.
    const wxTreeItemId under = parent == kNoNode ? GetRootItem() : ItemOf(parent);
    return IdOf(InsertSortedChild(under, text));
}

TreeNodeId CFtpTreeView::FindChildOfSelected(const std::string& text) const {
    return IdOf(FindChildByText(GetSelection(), text));
}

void CFtpTreeView::SelectSilently(TreeNodeId node) {
    SelectQuietly(ItemOf(node));
}

std::string CFtpTreeView::NodeAddress(const wxTreeItemId& node) const {
    if (!node.IsOk())
        return {};
    std::vector<std::string> texts = TextsFromRoot(node);
    texts.erase(texts.begin()); // the root stands for the host, which the root address holds
    return FtpNodeAddress(rootAddress_, texts);
}

// ---- List ----

CFtpListView::CFtpListView(wxWindow* parent, const CFtpTreeFrame& frame)
    : CSortableList(parent, ftpwin::kColumnHeaders, FtpImages()), frame_(frame) {}

void CFtpListView::InsertRow(const FtpEntry& entry) {
    ListRow row;
    row.texts = {entry.name, entry.sizeText, entry.extension, entry.dateText};
    row.image = entry.isDirectory ? kFolderImage : kFileImage;
    row.folder = entry.isDirectory;
    row.address = JoinRowAddress(frame_.ListedDirectory(), entry.name, true);
    AddRow(std::move(row));
}

std::string CFtpListView::ItemDirectory(int64_t) const {
    return frame_.ListedDirectory();
}

bool CFtpListView::SelectedIsFolder(int64_t n) const {
    const std::vector<size_t> rows = SelectedRows();
    return n >= 1 && n <= static_cast<int64_t>(rows.size()) && !IsFileRow(rows[static_cast<size_t>(n - 1)]);
}

} // namespace ordinex
