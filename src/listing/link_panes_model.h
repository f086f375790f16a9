#pragma once
#include "net/listing_panes.h"

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ordinex {

// The Link tree without a window: ordinex-cli walks pages in it, and a
// window may keep one behind its control. Lookups by text are logarithmic,
// so a page of 100,000 links fills it quickly.
class LinkTreeModel : public ILinkTreePane {
public:
    void DeleteAllNodes() override;
    TreeNodeId InsertRoot(const std::string& text) override;
    TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) override;
    TreeNodeId FindChild(TreeNodeId parent, const std::string& text) const override;
    std::vector<TreeNodeId> Children(TreeNodeId node) const override;
    void DeleteChildren(TreeNodeId node) override;
    std::string NodeText(TreeNodeId node) const override;
    TreeNodeId Selected() const override { return selected_; }
    void SelectSilently(TreeNodeId node) override { selected_ = node; }

    TreeNodeId Parent(TreeNodeId node) const;
    std::size_t Size() const { return nodes_.size(); }

private:
    using ChildMap = std::multimap<std::string, TreeNodeId>; // sorted by text
    struct Node {
        TreeNodeId parent = kNoNode;
        std::string text;
        ChildMap children;
    };
    ChildMap& ChildrenOf(TreeNodeId parent);
    const ChildMap* ChildrenOf(TreeNodeId parent) const;

    std::unordered_map<TreeNodeId, Node> nodes_;
    ChildMap roots_;
    TreeNodeId next_ = 1;
    TreeNodeId selected_ = kNoNode;
};

// The Link list without a window: rows in the order they came.
class LinkListModel : public ILinkListPane {
public:
    void DeleteAllRows() override;
    bool HasRow(const std::string& text) const override { return texts_.count(text) != 0; }
    void InsertRow(const LinkRow& row) override;
    const std::vector<LinkRow>& Rows() const { return rows_; }

private:
    std::vector<LinkRow> rows_;
    std::unordered_set<std::string> texts_;
};

} // namespace ordinex
