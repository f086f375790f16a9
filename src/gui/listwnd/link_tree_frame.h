#pragma once
#include "gui/listwnd/tree_list_frame.h"

#include <wx/treebase.h>

#include <string>

namespace ordinex {

class CLinkTreeView;
class CHttpListView;

// The Link tree & list window: web pages as a tree, the files they refer to
// as a list. At most one exists; Current() finds it.
class CLinkTreeFrame : public CTreeListFrame {
public:
    // The window, created and shown when it does not exist.
    static CLinkTreeFrame* Open(COrdinexApp& app, IMainFormLink& main);
    static CLinkTreeFrame* Current() { return current_; }
    ~CLinkTreeFrame() override;

    CLinkTreeView* Tree() const { return tree_; }
    CHttpListView* List() const { return list_; }

    // the address of the first selected row; empty when none is selected.
    std::string FirstRowAddress() const;

private:
    CLinkTreeFrame(COrdinexApp& app, IMainFormLink& main);
    // Loads the page and walks the pages below it as deep as the settings say.
    void OnNodeSelected(const wxTreeItemId& node) override;
    // Any row, page or file, opens in a browser; there is no folder to enter.
    void OnRowActivated(size_t row) override;
    std::string FirstRowFolderAddress() const override;
    std::string FirstRowBrowserAddress() const override { return FirstRowAddress(); }

    static CLinkTreeFrame* current_;
    CLinkTreeView* tree_ = nullptr;
    CHttpListView* list_ = nullptr;
};

// The command "Linkツリー&&リスト ビューを表示": opens the window (if needed)
// and loads the page into it with the job's user name and password.
void ShowLinkTreeWindow(COrdinexApp& app, IMainFormLink& main, const std::string& address);

} // namespace ordinex
