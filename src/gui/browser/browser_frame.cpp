#include "gui/browser/browser_frame.h"

#include "app/ordinex_app.h"
#include "gui/browser/browser_view.h"
#include "gui/kit/message_dialog.h"
#include "gui/kit/test_aids.h"
#include "gui/kit/tool_windows.h"
#include "gui/kit/wx_text.h"
#include "gui/widgets/main_form_link.h"
#include "platform/text_helpers.h"
#include "platform/visible_text.h"
#include "ui/browser_texts.h"
#include "ui/command_ids.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/combobox.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace ordinex {

namespace {
constexpr int kMinWidth = 640;
constexpr int kMinHeight = 431;
constexpr long kFrameStyle = wxDEFAULT_FRAME_STYLE | wxFRAME_TOOL_WINDOW;
constexpr int kAddressWidth = 200;

struct BrowserTool {
    int command;
    const char* label; // beside the picture; null for a picture alone
    const char* tooltip;
    wxArtID art;
};

using namespace browserwin;
// The navigation bar: back, forward, stop, reload.
const std::array<BrowserTool, 4> kNavigationTools{{
    {cmd::kBrowserBack, nullptr, kBackTip, wxART_GO_BACK},
    {cmd::kBrowserForward, nullptr, kForwardTip, wxART_GO_FORWARD},
    {cmd::kBrowserStop, nullptr, kStopTip, wxART_STOP},
    {cmd::kBrowserReload, nullptr, kReloadTip, wxART_REFRESH},
}};
// The labelled bar, a separator between each two buttons.
const std::array<BrowserTool, 4> kCommandTools{{
    {cmd::kBrowserToUrlFolder, kToUrlFolderLabel, kToUrlFolderTip, wxART_COPY},
    {cmd::kBrowserToUrlFile, kToUrlFileLabel, kToUrlFileTip, wxART_EDIT},
    {cmd::kBrowserFtpTree, kFtpTreeLabel, kFtpTreeTip, wxART_FOLDER_OPEN},
    {cmd::kBrowserLinkTree, kLinkTreeLabel, kLinkTreeTip, wxART_GO_DOWN},
}};

bool IsBrowserCommand(int command) {
    const auto has = [command](const BrowserTool& tool) { return tool.command == command; };
    return std::any_of(kNavigationTools.begin(), kNavigationTools.end(), has) ||
           std::any_of(kCommandTools.begin(), kCommandTools.end(), has);
}

wxToolBar* MakeBar(wxWindow* parent, const std::array<BrowserTool, 4>& tools, bool labelled) {
    auto* bar = new wxToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER | (labelled ? wxTB_HORZ_TEXT : 0));
    bar->SetToolBitmapSize(wxSize(16, 16));
    for (const BrowserTool& tool : tools) {
        if (labelled && &tool != &tools.front())
            bar->AddSeparator();
        const wxBitmap bitmap = wxArtProvider::GetBitmap(tool.art, wxART_TOOLBAR, wxSize(16, 16));
        bar->AddTool(cmd::ToWxId(tool.command), tool.label ? ToWx(tool.label) : wxString(), bitmap,
                     ToWx(tool.tooltip));
    }
    bar->Realize();
    return bar;
}
} // namespace

CBrowserFrame* CBrowserFrame::current_ = nullptr;

CBrowserFrame* CBrowserFrame::Open(COrdinexApp& app, IMainFormLink& main, const std::string& address) {
    // A window that was closed lives on until the next idle moment: a new one takes its place.
    if (current_ && wxTheApp->IsScheduledForDestruction(current_))
        current_ = nullptr;
    if (!current_) {
        auto* frame = new CBrowserFrame(app, main);
        if (!frame->view_->IsReady()) {
            frame->Destroy();
            return nullptr;
        }
        current_ = frame;
    }
    current_->Show();
    current_->Raise();
    current_->NavigateTo(address);
    return current_;
}

CBrowserFrame::CBrowserFrame(COrdinexApp& app, IMainFormLink& main)
    : wxFrame(nullptr, wxID_ANY, wxString(), wxDefaultPosition, wxSize(kMinWidth, kMinHeight), kFrameStyle),
      app_(app), main_(main), baseTitle_(app.productName + kTitleSuffix) {
    SetTitle(ToWx(baseTitle_));
    SetMinSize(wxSize(kMinWidth, kMinHeight));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* bars = new wxPanel(this);
    CreateBars(bars, sizer);
    view_ = new CBrowserView(this, app_);
    sizer->Add(view_, 1, wxEXPAND);
    SetSizer(sizer);
    view_->SetPageShownHandler(
        [this](const std::string& location, const std::string& address) { ShowPage(location, address); });
    // The update-UI rules run when the event queue runs dry, which a page
    // load's last event may not be followed by.
    view_->SetLoadStateHandler([this] { UpdateWindowUI(wxUPDATE_UI_RECURSE); });
    view_->SetFileOfferHandler([this](const std::string& url) { OfferFile(url); });

    const bool readAll = app_.settings.ReadWindowSetting && !app_.fatalExit;
    placement_.Restore(LoadFramePlacement(app_.Profile(), kPlacementSection, readAll));

    Bind(wxEVT_CLOSE_WINDOW, &CBrowserFrame::OnClose, this);
    Bind(wxEVT_TOOL, [this](wxCommandEvent& e) {
        const int command = cmd::FromWxId(e.GetId());
        if (IsBrowserCommand(command))
            RunCommand(command);
        else
            e.Skip();
    });
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) {
        const int command = cmd::FromWxId(e.GetId());
        if (IsBrowserCommand(command))
            e.Enable(CommandEnabled(command));
        else
            e.Skip();
    });
    RegisterToolWindow(this);
}

CBrowserFrame::~CBrowserFrame() {
    UnregisterToolWindow(this);
    if (current_ == this)
        current_ = nullptr;
    if (app_.CanSaveState())
        SaveFramePlacement(app_.Profile(), kPlacementSection, placement_.Current());
}

bool CBrowserFrame::Destroy() {
    if (view_)
        view_->Release();
    return wxFrame::Destroy();
}

void CBrowserFrame::CreateBars(wxWindow* parent, wxSizer* frameSizer) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* barRow = new wxBoxSizer(wxHORIZONTAL);
    navigationBar_ = MakeBar(parent, kNavigationTools, false);
    commandBar_ = MakeBar(parent, kCommandTools, true);
    barRow->Add(navigationBar_, 0, wxALIGN_CENTER_VERTICAL);
    barRow->AddSpacer(8);
    barRow->Add(commandBar_, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(barRow, 0, wxEXPAND);

    // The address box has a row of its own.
    auto* addressRow = new wxBoxSizer(wxHORIZONTAL);
    addressRow->Add(new wxStaticText(parent, wxID_ANY, ToWx(kAddressLabel)), 0,
                    wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    address_ = new wxComboBox(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(kAddressWidth, -1), 0,
                              nullptr, wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    address_->SetMinSize(wxSize(kAddressWidth, -1));
    addressRow->Add(address_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    column->Add(addressRow, 0, wxEXPAND | wxTOP | wxBOTTOM, 2);
    parent->SetSizer(column);
    frameSizer->Add(parent, 0, wxEXPAND);

    address_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { OnAddressEnter(); });
    address_->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { OnAddressChosen(); });
}

// ---- Navigation and the address box ----

void CBrowserFrame::NavigateTo(const std::string& address) {
    view_->NavigateFromUser(address);
    ShowTitle(address);
    AddToAddressList(address);
}

void CBrowserFrame::OnAddressEnter() {
    const std::string text = AddressText();
    if (text.empty())
        return;
    view_->NavigateFromUser(text);
    AddToAddressList(text);
}

void CBrowserFrame::OnAddressChosen() {
    const int chosen = address_->GetSelection();
    if (chosen == wxNOT_FOUND)
        return;
    view_->NavigateFromUser(FromWx(address_->GetString(static_cast<unsigned>(chosen))));
}

void CBrowserFrame::AddToAddressList(const std::string& text) {
    if (browser::AddressListTakes(AddressList(), text))
        address_->Insert(ToWx(text), 0);
}

std::string CBrowserFrame::AddressText() const {
    return TrimBlanks(FromWx(address_->GetValue()));
}

std::vector<std::string> CBrowserFrame::AddressList() const {
    std::vector<std::string> entries;
    for (unsigned i = 0; i < address_->GetCount(); ++i)
        entries.push_back(FromWx(address_->GetString(i)));
    return entries;
}

void CBrowserFrame::ShowPage(const std::string& location, const std::string& address) {
    ShowTitle(location);
    if (AddressText() != address)
        address_->ChangeValue(ToWx(address));
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
}

void CBrowserFrame::ShowTitle(const std::string& address) {
    const wxString title = ToWx(baseTitle_ + VisibleText(address));
    if (GetTitle() != title)
        SetTitle(title);
}

// ---- Commands ----

browser::BrowserState CBrowserFrame::State() const {
    browser::BrowserState s;
    s.running = app_.running;
    s.addressEmpty = AddressText().empty();
    s.canGoBack = view_->CanGoBack();
    s.canGoForward = view_->CanGoForward();
    s.loading = view_->IsLoading();
    return s;
}

bool CBrowserFrame::CommandEnabled(int command) const {
    return browser::CommandAvailable(command, State());
}

void CBrowserFrame::RunCommand(int command) {
    if (!CommandEnabled(command))
        return;
    // The whole address goes into the chosen field.
    const std::string address = AddressText();
    switch (command) {
    case cmd::kBrowserBack:
        view_->GoBack();
        break;
    case cmd::kBrowserForward:
        view_->GoForward();
        break;
    case cmd::kBrowserStop:
        view_->Stop();
        break;
    case cmd::kBrowserReload:
        view_->Reload();
        break;
    case cmd::kBrowserToUrlFolder:
        main_.CopyToUrlBase(address);
        break;
    case cmd::kBrowserToUrlFile:
        main_.CopyToUrlExpansion(address);
        break;
    case cmd::kBrowserFtpTree:
        main_.OpenTreeWindow(cmd::kShowFtpTree, address);
        break;
    case cmd::kBrowserLinkTree:
        main_.OpenTreeWindow(cmd::kShowLinkTree, address);
        break;
    default:
        break;
    }
}

// ---- A link to a file ----

void CBrowserFrame::OfferFile(const std::string& url) {
    // During a run the address box holds the address, as it always did.
    if (app_.running)
        return;
    // The question and the run it may start dispatch events: closing the
    // main window (and with it this one) meanwhile waits for them.
    main_.RunNested([&] { AnswerFileOffer(url); });
}

void CBrowserFrame::AnswerFileOffer(const std::string& url) {
    const std::string folder = TrimBlanks(main_.ReadJob().folderBase);
    switch (AskAboutFile(browser::FileLinkQuestion(url, folder))) {
    case kAnswerYes: {
        const browser::UrlBoxes boxes = browser::SplitForUrlBoxes(url);
        main_.CopyAddressToUrlBase(boxes.base);
        main_.CopyToUrlExpansion(boxes.expansion);
        break;
    }
    case kAnswerNo:
        // Without a folder the file would land wherever the path led.
        if (folder.empty())
            app_.ShowMessage(kNoFolder);
        else
            main_.FetchAddress(url);
        break;
    default:
        break;
    }
}

int CBrowserFrame::AskAboutFile(const std::string& text) {
    if (askAboutFile_)
        return askAboutFile_(text);
    if (PromptsAnsweredForTests()) {
        std::fprintf(stderr, "prompt: %s\n", text.c_str());
        return kAnswerCancel;
    }
    return ShowChoiceDialog(this, text, app_.productName, kFileToUrl, kFileFetchNow, kFileCancel);
}

void CBrowserFrame::OnClose(wxCloseEvent&) {
    // Closed mid-load: the busy state goes with the window (Destroy).
    Destroy();
}

} // namespace ordinex
