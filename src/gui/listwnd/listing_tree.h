#pragma once
#include "net/listing_panes.h"

#include <wx/treectrl.h>

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace ordinex {

// The tree pane of the tree & list windows: nodes kept sorted by text under
// their parent, a selection that can be made without loading the node, and
// the texts on the way from the root to a node. A derived pane says what
// address a node stands for.
class CListingTree : public wxTreeCtrl {
public:
    // normalImage / selectedImage: indices in the image list given.
    CListingTree(wxWindow* parent, wxImageList* images, int normalImage, int selectedImage);

    // Called for a selection the user (or a loading selection) made.
    void SetSelectHandler(std::function<void(wxTreeItemId)> handler) { onSelect_ = std::move(handler); }

    wxTreeItemId InsertRootNode(const std::string& text);
    // Inserts in text order among the parent's children and expands the parent.
    wxTreeItemId InsertSortedChild(const wxTreeItemId& parent, const std::string& text);
    // The child whose text equals text exactly, or an invalid id.
    wxTreeItemId FindChildByText(const wxTreeItemId& parent, const std::string& text) const;
    void RemoveAllNodes();
    void DeleteChildrenOf(const wxTreeItemId& node);
    // Selection without loading (the handler is not called) and with loading.
    void SelectQuietly(const wxTreeItemId& node);
    void UnselectQuietly();
    void SelectAndLoad(const wxTreeItemId& node);
    bool HasChildNodes(const wxTreeItemId& node) const { return GetChildrenCount(node, false) > 0; }
    // The node texts from the root down to node, both included.
    std::vector<std::string> TextsFromRoot(const wxTreeItemId& node) const;
    std::string NodeText(const wxTreeItemId& node) const;
    // The address a node stands for; empty for no node.
    virtual std::string NodeAddress(const wxTreeItemId& node) const = 0;
    std::string SelectedAddress() const { return NodeAddress(GetSelection()); }

    static TreeNodeId IdOf(const wxTreeItemId& item) { return reinterpret_cast<TreeNodeId>(item.GetID()); }
    static wxTreeItemId ItemOf(TreeNodeId id) { return wxTreeItemId(reinterpret_cast<void*>(id)); }

private:
    void OnSelectionChanged(wxTreeEvent& event);
    void OnItemDeleted(wxTreeEvent& event);

    int normalImage_;
    int selectedImage_;
    bool handleSelect_ = true;
    std::function<void(wxTreeItemId)> onSelect_;
    // The list's text order, exact texts told apart.
    struct TextLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    // Each parent's children by text in tree order, so that an insertion or a
    // lookup finds its place without walking the children (a page may link
    // thousands of pages).
    std::unordered_map<void*, std::multimap<std::string, void*, TextLess>> children_;
};

} // namespace ordinex
