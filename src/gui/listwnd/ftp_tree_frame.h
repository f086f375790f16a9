#pragma once
#include "gui/listwnd/tree_list_frame.h"

#include <wx/treebase.h>

#include <string>

namespace ordinex {

class CFtpTreeView;
class CFtpListView;

// The FTP tree & list window: browses one server's directories and lists the
// entries of the selected one. At most one exists; Current() finds it.
class CFtpTreeFrame : public CTreeListFrame {
public:
    // The window, created and shown when it does not exist.
    static CFtpTreeFrame* Open(COrdinexApp& app, IMainFormLink& main);
    static CFtpTreeFrame* Current() { return current_; }
    ~CFtpTreeFrame() override;

    CFtpTreeView* Tree() const { return tree_; }
    CFtpListView* List() const { return list_; }

    void ShowAddress(const std::string& address) override;
    // The directory whose entries the list shows: the selected node's
    // address, else the address last shown.
    std::string ListedDirectory() const;
    // The full address of the n-th selected row; asUrl escapes the name.
    std::string RowAddress(int64_t n, bool asUrl) const;

private:
    CFtpTreeFrame(COrdinexApp& app, IMainFormLink& main);
    void OnNodeSelected(const wxTreeItemId& node) override;
    // A folder row is entered in the tree; a file row opens in a browser.
    void OnRowActivated(size_t row) override;
    std::string FirstRowFolderAddress() const override { return RowAddress(1, false); }
    std::string FirstRowBrowserAddress() const override { return RowAddress(1, true); }
    int64_t DownloadableRows() const override;

    static CFtpTreeFrame* current_;
    CFtpTreeView* tree_ = nullptr;
    CFtpListView* list_ = nullptr;
    std::string shownAddress_;
};

// The command "FTPツリー&&リスト ビューを表示": opens the window (if needed)
// and lists the address into it with the job's user name and password.
void ShowFtpTreeWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address);

} // namespace ordinex
