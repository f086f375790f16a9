#pragma once
#include "gui/listwnd/listing_tree.h"
#include "gui/listwnd/sortable_list.h"
#include "net/listing_panes.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace ordinex {

// The Link window's tree of pages: each node's text is a page's address
// without its scheme (a secure one keeps "https://"), and
// CInternetDownloader::LinkAddress (text) opens it.
class CLinkTreeView : public CListingTree, public ILinkTreePane {
public:
    explicit CLinkTreeView(wxWindow* parent);

    // ILinkTreePane
    void DeleteAllNodes() override { RemoveAllNodes(); }
    TreeNodeId InsertRoot(const std::string& text) override;
    TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) override;
    TreeNodeId FindChild(TreeNodeId parent, const std::string& text) const override;
    std::vector<TreeNodeId> Children(TreeNodeId node) const override;
    void DeleteChildren(TreeNodeId node) override { DeleteChildrenOf(ItemOf(node)); }
    using CListingTree::NodeText;
    std::string NodeText(TreeNodeId node) const override;
    TreeNodeId Selected() const override { return IdOf(GetSelection()); }
    void SelectSilently(TreeNodeId node) override { SelectQuietly(ItemOf(node)); }

    // The address the node opens.
    std::string NodeAddress(const wxTreeItemId& node) const override;
};

// The Link window's list of the files (and pages) the pages refer to.
class CHttpListView : public CSortableList, public ILinkListPane, public IListSelection {
public:
    explicit CHttpListView(wxWindow* parent);

    // ILinkListPane
    void DeleteAllRows() override;
    bool HasRow(const std::string& text) const override { return texts_.count(text) != 0; }
    void InsertRow(const LinkRow& row) override;

    // IListSelection
    int64_t DownloadableCount() const override { return SelectedFileCount(); }
    void DeselectNonFiles() override { DeselectNonFileRows(); }
    std::string SelectedItem(int64_t n) const override { return SelectedText(n, 0); }
    void ShowOutcome(int64_t n, const std::string& outcome) override { SetSelectedOutcome(n, outcome); }

private:
    // Every row's text, so that a page of many links is checked for
    // duplicates without walking the rows.
    std::unordered_set<std::string> texts_;
};

} // namespace ordinex
