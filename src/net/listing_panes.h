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
    virtual TreeNodeId InsertRoot(const std::string& text) = 0;
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
