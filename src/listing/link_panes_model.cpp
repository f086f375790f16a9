#include "listing/link_panes_model.h"

namespace ordinex {

void LinkTreeModel::DeleteAllNodes() {
    nodes_.clear();
    roots_.clear();
    selected_ = kNoNode;
}

TreeNodeId LinkTreeModel::InsertRoot(const std::string& text) {
    DeleteAllNodes();
    return InsertChild(kNoNode, text);
}

LinkTreeModel::ChildMap& LinkTreeModel::ChildrenOf(TreeNodeId parent) {
    return parent == kNoNode ? roots_ : nodes_.at(parent).children;
}

const LinkTreeModel::ChildMap* LinkTreeModel::ChildrenOf(TreeNodeId parent) const {
    if (parent == kNoNode)
        return &roots_;
    const auto it = nodes_.find(parent);
    return it == nodes_.end() ? nullptr : &it->second.children;
}

TreeNodeId LinkTreeModel::InsertChild(TreeNodeId parent, const std::string& text) {
    if (parent != kNoNode && !nodes_.count(parent))
        return kNoNode;
    const TreeNodeId id = next_++;
    nodes_[id] = Node{parent, text, {}};
    ChildrenOf(parent).emplace(text, id);
    return id;
}

TreeNodeId LinkTreeModel::FindChild(TreeNodeId parent, const std::string& text) const {
    const ChildMap* children = ChildrenOf(parent);
    if (!children)
        return kNoNode;
    const auto it = children->find(text);
    return it == children->end() ? kNoNode : it->second;
}

std::vector<TreeNodeId> LinkTreeModel::Children(TreeNodeId node) const {
    std::vector<TreeNodeId> out;
    if (const ChildMap* children = ChildrenOf(node))
        for (const auto& entry : *children)
            out.push_back(entry.second);
    return out;
}

void LinkTreeModel::DeleteChildren(TreeNodeId node) {
    const auto it = nodes_.find(node);
    if (it == nodes_.end())
        return;
    // Without recursion: a walk can build long chains.
    std::vector<TreeNodeId> doomed;
    for (const auto& entry : it->second.children)
        doomed.push_back(entry.second);
    it->second.children.clear();
    while (!doomed.empty()) {
        const TreeNodeId id = doomed.back();
        doomed.pop_back();
        const auto found = nodes_.find(id);
        if (found == nodes_.end())
            continue;
        for (const auto& entry : found->second.children)
            doomed.push_back(entry.second);
        if (selected_ == id)
            selected_ = kNoNode;
        nodes_.erase(found);
    }
}

std::string LinkTreeModel::NodeText(TreeNodeId node) const {
    const auto it = nodes_.find(node);
    return it == nodes_.end() ? std::string() : it->second.text;
}

TreeNodeId LinkTreeModel::Parent(TreeNodeId node) const {
    const auto it = nodes_.find(node);
    return it == nodes_.end() ? kNoNode : it->second.parent;
}

void LinkListModel::DeleteAllRows() {
    rows_.clear();
    texts_.clear();
}

void LinkListModel::InsertRow(const LinkRow& row) {
    rows_.push_back(row);
    texts_.insert(row.text);
}

} // namespace ordinex
