#pragma once
#include "gui/listwnd/listing_tree.h"
#include "gui/listwnd/sortable_list.h"
#include "net/listing_panes.h"

#include <string>

namespace ordinex {

class CFtpTreeFrame;

// The FTP window's directory tree: the host as root, one directory per node.
// A node's address is built from the texts on the way to it.
class CFtpTreeView : public CListingTree, public IFtpTreePane {
public:
    explicit CFtpTreeView(wxWindow* parent);

    // IFtpTreePane
    void DeleteAllNodes() override { RemoveAllNodes(); }
    TreeNodeId InsertRoot(const std::string& text, const std::string& rootAddress) override;
    TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) override;
    TreeNodeId FindChildOfSelected(const std::string& text) const override;
    void SelectSilently(TreeNodeId node) override;

    // "ftp://host/" and the directory names below the root, each with "/".
    std::string NodeAddress(const wxTreeItemId& node) const override;

private:
    std::string rootAddress_;
};

// The FTP window's list of directory entries.
class CFtpListView : public CSortableList, public IFtpListPane, public IFtpListSelection {
public:
    CFtpListView(wxWindow* parent, const CFtpTreeFrame& frame);

    // IFtpListPane
    void DeleteAllRows() override { ClearRows(); }
    void InsertRow(const FtpEntry& entry) override;

    // IFtpListSelection
    // Selected folders are downloadable too: a run fetches their files.
    int64_t DownloadableCount() const override { return static_cast<int64_t>(SelectedRows().size()); }
    void DeselectNonFiles() override { DeselectNonFileRows(); }
    std::string SelectedItem(int64_t n) const override { return SelectedText(n, 0); }
    void ShowOutcome(int64_t n, const std::string& outcome) override { SetSelectedOutcome(n, outcome); }
    std::string ItemDirectory(int64_t n) const override;
    bool SelectedIsFolder(int64_t n) const override;

private:
    const CFtpTreeFrame& frame_;
};

} // namespace ordinex
