#include "gui/listwnd/tree_list_frame.h"

#include "app/ordinex_app.h"
#include "gui/kit/tool_windows.h"
#include "gui/kit/wx_text.h"
#include "gui/listwnd/listing_tree.h"
#include "gui/listwnd/sortable_list.h"
#include "gui/widgets/main_form_link.h"
#include "platform/text_helpers.h"
#include "platform/visible_text.h"
#include "ui/command_ids.h"

#include <wx/splitter.h>
#include <wx/toolbar.h>

namespace ordinex {

namespace {
constexpr int kMinWidth = 640;
constexpr int kMinHeight = 431;
constexpr long kFrameStyle = wxDEFAULT_FRAME_STYLE | wxFRAME_TOOL_WINDOW;
constexpr const char* kSplitterKey = "SplitterSizeX";
} // namespace

CTreeListFrame::CTreeListFrame(COrdinexApp& app, IMainFormLink& main, TreeListWindowSpec spec)
    : wxFrame(nullptr, wxID_ANY, ToWx(spec.baseTitle), wxDefaultPosition, wxSize(kMinWidth, kMinHeight),
              kFrameStyle),
      app_(app), main_(main), spec_(std::move(spec)) {
    SetMinSize(wxSize(kMinWidth, kMinHeight));
    CreateToolbar();
    splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxSP_LIVE_UPDATE | wxSP_3DSASH);
    splitter_->SetMinimumPaneSize(20);
    RestorePlacement();

    Bind(wxEVT_CLOSE_WINDOW, &CTreeListFrame::OnClose, this);
    Bind(wxEVT_TOOL, [this](wxCommandEvent& e) {
        const int command = cmd::FromWxId(e.GetId());
        if (ToolOf(command))
            RunCommand(command);
        else
            e.Skip();
    });
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) {
        const int command = cmd::FromWxId(e.GetId());
        if (ToolOf(command))
            e.Enable(CommandEnabled(command));
        else
            e.Skip();
    });
    RegisterToolWindow(this);
}

CTreeListFrame::~CTreeListFrame() {
    UnregisterToolWindow(this);
    if (!app_.CanSaveState())
        return;
    SaveFramePlacement(app_.Profile(), spec_.placementSection, placement_.Current());
    const int width = splitter_ && splitter_->IsSplit() ? splitter_->GetSashPosition() : splitterWidth_;
    app_.Profile().SetInt(spec_.placementSection, kSplitterKey, width);
    if (list_)
        list_->SaveState(app_.Profile(), spec_.listSection);
}

void CTreeListFrame::CreateToolbar() {
    toolbar_ = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxTB_HORZ_TEXT);
    toolbar_->SetToolBitmapSize(wxSize(16, 16));
    bool first = true;
    for (const ListTool& tool : spec_.tools) {
        if (!first)
            toolbar_->AddSeparator();
        first = false;
        const wxBitmap bitmap = wxArtProvider::GetBitmap(tool.art, wxART_TOOLBAR, wxSize(16, 16));
        toolbar_->AddTool(cmd::ToWxId(tool.command), ToWx(tool.label), bitmap, ToWx(tool.tooltip));
    }
    toolbar_->Realize();
}

void CTreeListFrame::RestorePlacement() {
    const bool readAll = app_.settings.ReadWindowSetting && !app_.fatalExit;
    splitterWidth_ = readAll
                         ? app_.Profile().GetInt(spec_.placementSection, kSplitterKey, kDefaultSplitterWidth)
                         : kDefaultSplitterWidth;
    placement_.Restore(LoadFramePlacement(app_.Profile(), spec_.placementSection, readAll));
}

void CTreeListFrame::AttachPanes(CListingTree* tree, CSortableList* list) {
    tree_ = tree;
    list_ = list;
    splitter_->SplitVertically(tree_, list_, splitterWidth_);
    list_->LoadState(app_.Profile(), spec_.listSection, app_.settings.ReadWindowSetting && !app_.fatalExit);
    list_->SetSelectionListener([this] {
        // The form's list-run button follows the selection.
        if (!app_.running)
            main_.ListSelectionChanged();
    });
    tree_->SetSelectHandler([this](const wxTreeItemId& node) { OnNodeSelected(node); });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& e) { ActivateRow(e.GetIndex()); });
}

// ---- Busy state and what the application asks for ----

void CTreeListFrame::SetEnabled(bool enabled) {
    if (tree_)
        tree_->Enable(enabled);
    if (list_)
        list_->Enable(enabled);
    for (const ListTool& tool : spec_.tools)
        if (tool.disabledWhenBusy)
            toolbar_->EnableTool(cmd::ToWxId(tool.command), enabled);
    // The update-UI rules do not run inside a listing's own event dispatch.
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
    Refresh();
    Update();
    if (enabled && closePending_) {
        closePending_ = false;
        CallAfter([this] { Close(); });
    }
}

void CTreeListFrame::ResortList() {
    if (list_)
        list_->Resort();
}

void CTreeListFrame::ShowAddress(const std::string& address) {
    // The title shows the address as the status lines do: without its password.
    const wxString title = ToWx(spec_.baseTitle + VisibleText(MaskPasswords(address)));
    if (GetTitle() != title)
        SetTitle(title);
}

void CTreeListFrame::OnClose(wxCloseEvent& event) {
    // A listing or a run still fills or reads the panes: the close waits for
    // it, and asks it to stop.
    if (app_.running && event.CanVeto()) {
        closePending_ = true;
        app_.RequestStop();
        event.Veto();
        return;
    }
    Destroy();
}

// ---- Commands ----

const ListTool* CTreeListFrame::ToolOf(int command) const {
    for (const ListTool& tool : spec_.tools)
        if (tool.command == command)
            return &tool;
    return nullptr;
}

ListWindowState CTreeListFrame::State() const {
    ListWindowState s;
    s.running = app_.running;
    s.nodeSelected = tree_ && tree_->GetSelection().IsOk();
    if (list_) {
        s.selectedRows = list_->GetSelectedItemCount();
        s.downloadableRows = s.selectedRows > 0 ? DownloadableRows() : 0;
    }
    return s;
}

int64_t CTreeListFrame::DownloadableRows() const {
    return static_cast<int64_t>(list_->SelectedFileCount());
}

bool CTreeListFrame::CommandEnabled(int command) const {
    const ListTool* tool = ToolOf(command);
    return tool && ListCommandAvailable(tool->role, State());
}

void CTreeListFrame::RunCommand(int command) {
    const ListTool* tool = ToolOf(command);
    if (tool && ListCommandAvailable(tool->role, State()))
        Execute(*tool);
}

void CTreeListFrame::Execute(const ListTool& tool) {
    switch (tool.role) {
    case ListCommand::TreeToUrl:
        if (tree_->GetSelection().IsOk())
            main_.CopyAddressToUrlBase(tree_->SelectedAddress());
        break;
    case ListCommand::Download:
        // The list run is the main window's command of the same number.
        main_.RunCommand(tool.command);
        break;
    case ListCommand::ListToUrlFolder:
        main_.CopyAddressToUrlBase(FirstRowFolderAddress());
        break;
    case ListCommand::ListToUrlFile:
        main_.CopyToUrlExpansion(list_->SelectedText(1, 0));
        break;
    case ListCommand::Reload: {
        // Without children the node is loaded anew: the FTP window lists its
        // subdirectories, the Link window puts the page's links into the tree.
        const wxTreeItemId node = tree_->GetSelection();
        tree_->DeleteChildrenOf(node);
        tree_->UnselectQuietly();
        tree_->SelectAndLoad(node);
        break;
    }
    case ListCommand::OpenInBrowser:
        OpenInBrowser(FirstRowBrowserAddress());
        break;
    }
}

void CTreeListFrame::ActivateRow(long row) {
    if (row >= 0 && static_cast<size_t>(row) < list_->RowCount())
        OnRowActivated(static_cast<size_t>(row));
}

void CTreeListFrame::OpenInBrowser(const std::string& address) {
    // The main window's rule: the built-in browser or the desktop's.
    main_.OpenInBrowser(address);
}

} // namespace ordinex
