#pragma once
#include "gui/widgets/window_placement.h"
#include "listing/list_rules.h"
#include "listing/tree_window_hooks.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/frame.h>
#include <wx/treebase.h>

#include <string>
#include <vector>

class wxSplitterWindow;
class wxToolBar;

namespace ordinex {

class COrdinexApp;
class CListingTree;
class CSortableList;
class IMainFormLink;

// A toolbar button of a tree & list window.
struct ListTool {
    int command; // the command number (cmd:: constants)
    ListCommand role;
    const char* label; // beside the picture
    const char* tooltip;
    wxArtID art;
    bool disabledWhenBusy; // one of the buttons the busy state switches off
};

// What tells the FTP window from the Link window.
struct TreeListWindowSpec {
    std::string baseTitle; // application title + the window's suffix
    const char* placementSection;
    const char* listSection;
    std::vector<ListTool> tools; // in toolbar order; a separator between each two
};

// The frame of a tree & list window: a tool window with a labelled toolbar
// and a splitter holding the tree (left) and the list (right); placement,
// splitter width and list state in the settings file; the busy state; the
// command rules and the toolbar's commands. A derived window creates the
// panes, loads a selected node, answers a double-clicked row and says
// which addresses its rows stand for.
class CTreeListFrame : public wxFrame, public ITreeListWindow {
public:
    CTreeListFrame(COrdinexApp& app, IMainFormLink& main, TreeListWindowSpec spec);
    ~CTreeListFrame() override;

    // ITreeListWindow
    void SetEnabled(bool enabled) override;
    void ResortList() override;
    void ShowAddress(const std::string& address) override;

    // Carries out a toolbar command when its rule allows it.
    void RunCommand(int command);
    bool CommandEnabled(int command) const;
    ListWindowState State() const;

    wxToolBar* Toolbar() const { return toolbar_; }
    wxSplitterWindow* Splitter() const { return splitter_; }
    CListingTree* TreePane() const { return tree_; }
    CSortableList* ListPane() const { return list_; }
    const std::string& BaseTitle() const { return spec_.baseTitle; }

protected:
    // The one window of its kind, created when there is none, and shown. A
    // window that was closed lives on until the next idle moment: a new one
    // takes its place.
    template <class Frame, class Create> static Frame* ShowOnly(Frame*& current, Create create) {
        if (current && wxTheApp->IsScheduledForDestruction(current))
            current = nullptr;
        if (!current)
            current = create();
        current->Show();
        return current;
    }

    // Puts the panes into the splitter, gives them their saved state and
    // routes a node selection and a double-clicked row to the window.
    void AttachPanes(CListingTree* tree, CSortableList* list);
    void OpenInBrowser(const std::string& address);

    // The user (or a loading selection) selected a node.
    virtual void OnNodeSelected(const wxTreeItemId& node) = 0;
    // A double click on a row that exists.
    virtual void OnRowActivated(size_t row) = 0;
    // What the first selected row puts into the URL base, and the address it
    // opens in a browser.
    virtual std::string FirstRowFolderAddress() const = 0;
    virtual std::string FirstRowBrowserAddress() const = 0;
    // Selected rows a list run fetches: files, and in the FTP list folders too.
    virtual int64_t DownloadableRows() const;

    COrdinexApp& app_;
    IMainFormLink& main_;

private:
    void CreateToolbar();
    void RestorePlacement();
    void OnClose(wxCloseEvent& event);
    const ListTool* ToolOf(int command) const;
    void Execute(const ListTool& tool);
    void ActivateRow(long row);

    TreeListWindowSpec spec_;
    wxToolBar* toolbar_ = nullptr;
    wxSplitterWindow* splitter_ = nullptr;
    CListingTree* tree_ = nullptr;
    CSortableList* list_ = nullptr;
    int splitterWidth_ = kDefaultSplitterWidth;
    CWindowPlacement placement_{*this};
    bool closePending_ = false;
};

} // namespace ordinex
