#include "gui/mainwnd/main_frame.h"

#include "app/ordinex_app.h"
#include "gui/kit/wx_text.h"
#include "gui/mainwnd/form_art.h"
#include "settings/recent_files.h"
#include "ui/command_ids.h"

#include <wx/artprov.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <vector>

namespace ordinex {

namespace {

constexpr int kSeparator = 0;

struct MenuEntry {
    int command; // kSeparator for a separator
    const char* text;
    wxItemKind kind = wxITEM_NORMAL;
};

struct MenuDef {
    const char* title;
    std::vector<MenuEntry> entries;
};

// The menu's texts; the recent-files submenu follows "名前を付けて保存(&A)...".
const std::vector<MenuDef>& MenuDefinitions() {
    static const std::vector<MenuDef> menus{
        {"ファイル(&F)",
         {{cmd::kFileNew, "新規作成(&N)\tCtrl+N"},
          {cmd::kFileOpen, "開く(&O)...\tCtrl+O"},
          {cmd::kFileSave, "上書き保存(&S)\tCtrl+S"},
          {cmd::kFileSaveAs, "名前を付けて保存(&A)..."}}},
        {"編集(&E)",
         {{cmd::kEditUndo, "元に戻す(&U)\tCtrl+Z"},
          {kSeparator, ""},
          {cmd::kEditCut, "切り取り(&T)\tCtrl+X"},
          {cmd::kEditCopy, "コピー(&C)\tCtrl+C"},
          {cmd::kEditPaste, "貼り付け(&P)\tCtrl+V"},
          {kSeparator, ""},
          {cmd::kGuessSeries, "URLから連番を推測(&G)..."},
          {cmd::kCopyUrlToFolder, "URLから保存先にコピー"}}},
        {"表示(&V)", {{cmd::kViewToolbar, "ﾂｰﾙ ﾊﾞｰ(&T)", wxITEM_CHECK}}},
        {"ダウンロード(&D)",
         {{cmd::kRunSeries, "置換･ダウンロード開始(&E)"},
          {cmd::kRunFtpList, "FTPリスト･ダウンロード開始(&F)"},
          {cmd::kRunLinkList, "Linkリスト･ダウンロード開始(&H)"},
          {kSeparator, ""},
          {cmd::kPreviewSeries, "置換･ダウンロードの一覧(&L)..."},
          {kSeparator, ""},
          {cmd::kStop, "ダウンロード中止(&S)"},
          {kSeparator, ""},
          {cmd::kShowRunReport, "ダウンロード結果(&R)..."}}},
        {"ツール(&T)",
         {{cmd::kOpenBrowser, "ブラウザで開く(&B)..."},
          {cmd::kOpenExplorer, "エクスプローラで開く(&E)..."},
          {kSeparator, ""},
          {cmd::kShowFtpTree, "FTPツリー&&リスト ビューを表示(&F)..."},
          {cmd::kShowLinkTree, "Linkツリー&&リスト ビューを表示(&H)..."}}},
        {"設定(&S)",
         {{cmd::kSettingsProgram, "プログラム(&P)..."},
          {cmd::kSettingsDownload, "ダウンロード(&D)..."},
          {cmd::kSettingsExtract, "抽出(&E)..."}}},
        {"ヘルプ(&H)",
         {{cmd::kReadMe, "ReadMe(&R)..."},
          {cmd::kHelpIndex, "ヘルプ(&H)..."},
          {kSeparator, ""},
          {cmd::kAppAbout, "バージョン情報(&A)..."}}},
    };
    return menus;
}

struct ToolDef {
    int command;
    wxArtID art;
    const char* tip;
};

// Tooltips are the short names of the commands.
const std::vector<ToolDef>& ToolDefinitions() {
    static const std::vector<ToolDef> tools{
        {cmd::kFileNew, wxART_NEW, "新規作成"},
        {cmd::kFileOpen, wxART_FILE_OPEN, "開く"},
        {cmd::kFileSave, wxART_FILE_SAVE, "上書き保存"},
        {cmd::kFileSaveAs, wxART_FILE_SAVE_AS, "名前を付けて保存"},
        {kSeparator, {}, ""},
        {cmd::kEditCut, wxART_CUT, "切り取り"},
        {cmd::kEditCopy, wxART_COPY, "コピー"},
        {cmd::kEditPaste, wxART_PASTE, "貼り付け"},
        {kSeparator, {}, ""},
        {cmd::kEditUndo, wxART_UNDO, "元に戻す"},
        {kSeparator, {}, ""},
        {cmd::kRunSeries, {}, "連番でダウンロード"},
        {cmd::kRunFtpList, wxART_FOLDER, "FTPリストでダウンロード"},
        {cmd::kRunLinkList, wxART_LIST_VIEW, "Linkリストでダウンロード"},
        {cmd::kStop, wxART_CROSS_MARK, "中止"},
    };
    return tools;
}

wxAcceleratorEntry Accel(int flags, int key, int command) {
    return {flags, key, cmd::ToWxId(command)};
}

} // namespace

void CMainFrame::CreateMenus() {
    auto* bar = new wxMenuBar;
    for (const MenuDef& def : MenuDefinitions()) {
        auto* menu = new wxMenu;
        for (const MenuEntry& e : def.entries) {
            if (e.command == kSeparator)
                menu->AppendSeparator();
            else
                menu->Append(cmd::ToWxId(e.command), ToWx(e.text), wxEmptyString, e.kind);
            if (e.command == cmd::kFileSaveAs) {
                menu->AppendSeparator();
                recentMenu_ = new wxMenu;
                recentItem_ = menu->AppendSubMenu(recentMenu_, ToWx("最近使ったファイル"));
                menu->AppendSeparator();
                menu->Append(cmd::ToWxId(cmd::kAppExit), ToWx("アプリケーションの終了(&X)"));
            }
        }
        bar->Append(menu, ToWx(def.title));
    }
    SetMenuBar(bar);

    // The second keys of the Edit commands; the menu carries the first ones.
    const wxAcceleratorEntry extra[] = {
        Accel(wxACCEL_ALT, WXK_BACK, cmd::kEditUndo),
        Accel(wxACCEL_SHIFT, WXK_DELETE, cmd::kEditCut),
        Accel(wxACCEL_CTRL, WXK_INSERT, cmd::kEditCopy),
        Accel(wxACCEL_SHIFT, WXK_INSERT, cmd::kEditPaste),
    };
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(extra)), extra));
}

void CMainFrame::CreateToolbar() {
    toolbar_ = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    if (!toolbar_)
        return;
    toolbar_->SetToolBitmapSize(wxSize(16, 16));
    for (const ToolDef& t : ToolDefinitions()) {
        if (t.command == kSeparator) {
            toolbar_->AddSeparator();
            continue;
        }
        const wxBitmap bitmap = t.art.empty()
                                    ? MakeSeriesRunBitmap()
                                    : wxArtProvider::GetBitmap(t.art, wxART_TOOLBAR, wxSize(16, 16));
        toolbar_->AddTool(cmd::ToWxId(t.command), ToWx(t.tip), bitmap, ToWx(t.tip));
    }
    toolbar_->Realize();
    toolbarHeight_ = std::max(toolbar_->GetSize().y, toolbar_->GetBestSize().y);
}

void CMainFrame::RebuildRecentMenu() {
    if (!recentMenu_)
        return;
    while (recentMenu_->GetMenuItemCount() > 0)
        recentMenu_->Destroy(recentMenu_->FindItemByPosition(0));
    const auto& entries = app_.recentFiles.Entries();
    for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(cmd::kFileMruCount); ++i) {
        // "&1 " .. "&9 ", "1&0 ", then plain numbers.
        const int n = static_cast<int>(i) + 1;
        std::string prefix = n < 10 ? "&" + std::to_string(n) : n == 10 ? "1&0" : std::to_string(n);
        std::string text = RecentFileList::MenuText(entries[i]);
        // A "&" in a path is text, not a mnemonic.
        std::string escaped;
        for (char c : text)
            escaped += c == '&' ? std::string("&&") : std::string(1, c);
        recentMenu_->Append(cmd::ToWxId(cmd::kFileMru1 + static_cast<int>(i)), ToWx(prefix + " " + escaped));
    }
    if (recentItem_)
        recentItem_->Enable(!entries.empty());
}

} // namespace ordinex
