#include "gui/listwnd/listing_tree.h"

#include "gui/kit/wx_text.h"
#include "listing/list_rules.h"
#include "platform/visible_text.h"

#include <algorithm>

namespace ordinex {

namespace {
constexpr long kTreeStyle = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN;

// A node keeps its text as the server sent it; the label is only its visible form.
struct NodeData : wxTreeItemData {
    explicit NodeData(std::string t) : text(std::move(t)) {}
    std::string text;
};
} // namespace

bool CListingTree::TextLess::operator()(const std::string& a, const std::string& b) const {
    const int c = CompareListText(a, b);
    return c != 0 ? c < 0 : a < b;
}

CListingTree::CListingTree(wxWindow* parent, wxImageList* images, int normalImage, int selectedImage)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, kTreeStyle), normalImage_(normalImage),
      selectedImage_(selectedImage) {
    AssignImageList(images);
    Bind(wxEVT_TREE_SEL_CHANGED, &CListingTree::OnSelectionChanged, this);
    Bind(wxEVT_TREE_DELETE_ITEM, &CListingTree::OnItemDeleted, this);
}

void CListingTree::OnItemDeleted(wxTreeEvent& event) {
    event.Skip();
    // Deleted nodes leave the record, so that a reused item address is never taken for them.
    const wxTreeItemId item = event.GetItem();
    children_.erase(item.GetID());
    const wxTreeItemId parent = item.IsOk() ? GetItemParent(item) : wxTreeItemId();
    const auto siblings = parent.IsOk() ? children_.find(parent.GetID()) : children_.end();
    if (siblings == children_.end())
        return;
    auto [from, to] = siblings->second.equal_range(NodeText(item));
    for (; from != to; ++from)
        if (from->second == item.GetID()) {
            siblings->second.erase(from);
            break;
        }
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
    auto& children = children_[parent.GetID()];
    // Equal texts follow each other in the order they came.
    const auto at = children.upper_bound(text);
    const wxString label = ToWx(VisibleText(text));
    const wxTreeItemId item =
        at == children.begin() ? PrependItem(parent, label, normalImage_, selectedImage_, new NodeData(text))
                               : InsertItem(parent, wxTreeItemId(std::prev(at)->second), label, normalImage_,
                                            selectedImage_, new NodeData(text));
    children.emplace_hint(at, text, item.GetID());
    Expand(parent);
    return item;
}

wxTreeItemId CListingTree::FindChildByText(const wxTreeItemId& parent, const std::string& text) const {
    const auto children = parent.IsOk() ? children_.find(parent.GetID()) : children_.end();
    if (children == children_.end())
        return {};
    const auto found = children->second.lower_bound(text);
    return found != children->second.end() && found->first == text ? wxTreeItemId(found->second)
                                                                   : wxTreeItemId();
}

void CListingTree::RemoveAllNodes() {
    const bool was = handleSelect_;
    handleSelect_ = false;
    DeleteAllItems();
    children_.clear();
    handleSelect_ = was;
}

void CListingTree::DeleteChildrenOf(const wxTreeItemId& node) {
    if (!node.IsOk())
        return;
    DeleteChildren(node);
    children_.erase(node.GetID());
}

void CListingTree::SelectQuietly(const wxTreeItemId& node) {
    handleSelect_ = false;
    if (node.IsOk())
        SelectItem(node);
    else
        Unselect();
    handleSelect_ = true;
}

void CListingTree::UnselectQuietly() {
    SelectQuietly(wxTreeItemId());
}

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
