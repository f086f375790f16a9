#include "listing/wx/listing_tree.h"

#include "app/wx/wx_text.h"
#include "listing/list_rules.h"
#include "platform/visible_text.h"

#include <algorithm>

namespace ordinex {

namespace {
constexpr long kTreeStyle = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN;

bool TextBefore(const std::string& a, const std::string& b) {
    const int c = CompareListText(a, b);
    return c != 0 ? c < 0 : a < b;
}

// A node keeps its text as the server sent it; the label is only its visible form.
struct NodeData : wxTreeItemData {
    explicit NodeData(std::string t) : text(std::move(t)) {}
    std::string text;
};
} // namespace

CListingTree::CListingTree(wxWindow* parent, wxImageList* images, int normalImage, int selectedImage)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, kTreeStyle), normalImage_(normalImage),
      selectedImage_(selectedImage) {
    AssignImageList(images);
    Bind(wxEVT_TREE_SEL_CHANGED, &CListingTree::OnSelectionChanged, this);
    // Deleted nodes leave the sorting record, so a reused item address is never taken for them.
    Bind(wxEVT_TREE_DELETE_ITEM, [this](wxTreeEvent& e) {
        childTexts_.erase(e.GetItem().GetID());
        e.Skip();
    });
}

void CListingTree::OnSelectionChanged(wxTreeEvent& event) {
    event.Skip();
    if (handleSelect_ && onSelect_ && event.GetItem().IsOk())
        onSelect_(event.GetItem());
}

wxTreeItemId CListingTree::InsertRootNode(const std::string& text) {
    RemoveAllNodes();
    return AddRoot(ToWx(VisibleText(text)), normalImage_, selectedImage_, new NodeData(text));
}

wxTreeItemId CListingTree::InsertSortedChild(const wxTreeItemId& parent, const std::string& text) {
    if (!parent.IsOk())
        return {};
    std::vector<std::string>& texts = childTexts_[parent.GetID()];
    const auto at = std::upper_bound(texts.begin(), texts.end(), text, TextBefore);
    const auto position = static_cast<size_t>(at - texts.begin());
    texts.insert(at, text);
    const wxTreeItemId item =
        InsertItem(parent, position, ToWx(VisibleText(text)), normalImage_, selectedImage_, new NodeData(text));
    Expand(parent);
    return item;
}

wxTreeItemId CListingTree::FindChildByText(const wxTreeItemId& parent, const std::string& text) const {
    if (!parent.IsOk())
        return {};
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk(); child = GetNextChild(parent, cookie))
        if (NodeText(child) == text)
            return child;
    return {};
}

void CListingTree::RemoveAllNodes() {
    const bool was = handleSelect_;
    handleSelect_ = false;
    DeleteAllItems();
    childTexts_.clear();
    handleSelect_ = was;
}

void CListingTree::DeleteChildrenOf(const wxTreeItemId& node) {
    if (!node.IsOk())
        return;
    DeleteChildren(node);
    childTexts_.erase(node.GetID());
}

void CListingTree::SelectQuietly(const wxTreeItemId& node) {
    handleSelect_ = false;
    if (node.IsOk())
        SelectItem(node);
    else
        Unselect();
    handleSelect_ = true;
}

void CListingTree::UnselectQuietly() { SelectQuietly(wxTreeItemId()); }

void CListingTree::SelectAndLoad(const wxTreeItemId& node) {
    if (node.IsOk())
        SelectItem(node);
}

std::vector<std::string> CListingTree::TextsFromRoot(const wxTreeItemId& node) const {
    std::vector<std::string> texts;
    for (wxTreeItemId item = node; item.IsOk(); item = GetItemParent(item))
        texts.push_back(NodeText(item));
    std::reverse(texts.begin(), texts.end());
    return texts;
}

std::string CListingTree::NodeText(const wxTreeItemId& node) const {
    const auto* data = node.IsOk() ? static_cast<const NodeData*>(GetItemData(node)) : nullptr;
    return data ? data->text : std::string();
}

} // namespace ordinex
