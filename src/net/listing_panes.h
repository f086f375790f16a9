#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
    // A symbolic link, shown as what it points to (isDirectory for a folder);
    // linkResolved is false when that could not be found out.
    bool isLink = false;
    bool linkResolved = false;
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
    // After a list run: what became of the n-th selected row ("完了", "失敗"...).
    virtual void ShowOutcome(int64_t n, const std::string& outcome) {
        (void)n;
        (void)outcome;
    }
};

// The FTP list's rows hold names; each lies in a directory.
class IFtpListSelection : public IListSelection {
public:
    // The address of the directory of the n-th selected row: for the window,
    // the directory selected in its tree.
    virtual std::string ItemDirectory(int64_t n) const = 0;
    // The n-th selected row is a folder, whose files a list run fetches
    // (DownloadableCount counts such rows too).
    virtual bool SelectedIsFolder(int64_t) const { return false; }
};

// One row of the Link list: the address without its scheme (a secure one,
// fetched with HTTPS on, keeps "https://"), the probe's
// texts, and whether the probe named a page (text/html, whatever its
// parameters: the page picture).
struct LinkRow {
    std::string text;
    std::string sizeText; // digit-grouped bytes, "0" without Content-Length, empty when the probe failed
    std::string contentType;
    std::string dateText; // "%Y/%m/%d %H:%M", empty when unknown
    bool isPage = false;
    std::string error; // why the probe failed, shown in the row
    bool operator==(const LinkRow&) const = default;
};

// The Link tree holds pages; a node's text is its address without the
// scheme (host, ":port" when not the default, path; a secure one keeps
// "https://"), and CInternetDownloader::LinkAddress (text) opens it.
// Children are kept sorted by text.
class ILinkTreePane {
public:
    virtual ~ILinkTreePane() = default;
    virtual void DeleteAllNodes() = 0;
    // Deletes every node, then inserts the root (a page node).
    virtual TreeNodeId InsertRoot(const std::string& text) = 0;
    // Inserts a page node under parent at its sorted place.
    virtual TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) = 0;
    // The child of parent whose text equals text exactly, or kNoNode.
    virtual TreeNodeId FindChild(TreeNodeId parent, const std::string& text) const = 0;
    virtual std::vector<TreeNodeId> Children(TreeNodeId node) const = 0;
    virtual void DeleteChildren(TreeNodeId node) = 0;
    // Empty for kNoNode.
    virtual std::string NodeText(TreeNodeId node) const = 0;
    virtual TreeNodeId Selected() const = 0;
    // Selects a node without loading it.
    virtual void SelectSilently(TreeNodeId node) = 0;
};

class ILinkListPane {
public:
    virtual ~ILinkListPane() = default;
    virtual void DeleteAllRows() = 0;
    // Whether a row's text equals text exactly.
    virtual bool HasRow(const std::string& text) const = 0;
    virtual void InsertRow(const LinkRow& row) = 0;
};

} // namespace ordinex
