#pragma once
#include <cstdint>
#include <string>

namespace ordinex {

// The tree and list panes of the FTP and Link windows, as the engine fills
// them. Node handles are opaque; 0 is "no node".
using TreeNodeId = std::intptr_t;
inline constexpr TreeNodeId kNoNode = 0;

// One entry of an FTP directory as the FTP list shows it.
struct FtpEntry {
    std::string name;
    std::string sizeText;  // digit-grouped bytes; empty for a directory
    std::string extension; // after the last ".", empty when none
    std::string dateText;  // "%Y/%m/%d %H:%M"
    bool isDirectory = false;
    bool operator==(const FtpEntry&) const = default;
};

class IFtpTreePane {
public:
    virtual ~IFtpTreePane() = default;
    virtual void DeleteAllNodes() = 0;
    // Deletes every node, then inserts the root (the host) as a folder node.
    // rootAddress is the server's address with "/" as path, user and port
    // kept: the nodes' addresses are built on it.
    virtual TreeNodeId InsertRoot(const std::string& text, const std::string& rootAddress) = 0;
    virtual TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) = 0;
    // The child of the selected node whose text equals text exactly, or kNoNode.
    virtual TreeNodeId FindChildOfSelected(const std::string& text) const = 0;
    // Selects a node without loading it.
    virtual void SelectSilently(TreeNodeId node) = 0;
};

class IFtpListPane {
public:
    virtual ~IFtpListPane() = default;
    virtual void DeleteAllRows() = 0;
    virtual void InsertRow(const FtpEntry& entry) = 0;
};

// The selected rows of a list window as a list run takes them.
class IListSelection {
public:
    virtual ~IListSelection() = default;
    // Selected rows that have a size text; a row without one (a folder, a
    // failed probe) is not downloadable.
    virtual int64_t DownloadableCount() const = 0;
    // Deselects every selected row without a size text.
    virtual void DeselectNonFiles() = 0;
    // Column 0 of the n-th selected row, n counted from 1 in list order;
    // empty when fewer rows are selected.
    virtual std::string SelectedItem(int64_t n) const = 0;
};

// The FTP list's rows hold names; each lies in a directory.
class IFtpListSelection : public IListSelection {
public:
    // The address of the directory of the n-th selected row: for the window,
    // the directory selected in its tree.
    virtual std::string ItemDirectory(int64_t n) const = 0;
};

class ILinkTreePane {
public:
    virtual ~ILinkTreePane() = default;
    virtual void DeleteAllNodes() = 0;
};

class ILinkListPane {
public:
    virtual ~ILinkListPane() = default;
    virtual void DeleteAllRows() = 0;
};

} // namespace ordinex
