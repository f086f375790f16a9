// The Link tree & list window in-process against the link site of the loopback HTTP server.
#include "app/ordinex_app.h"
#include "gui/listwnd/link_panes.h"
#include "gui/listwnd/link_tree_frame.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace ordinex::test {
namespace {

using Texts = std::vector<std::string>;

// Passes the status writes on, calling a hook at each status line and file count.
class StatusHook : public IStatusView {
public:
    explicit StatusHook(IStatusView* next) : next_(next) {}
    std::function<void(const std::string&)> onStatus;
    std::function<void()> onFileCount;
    std::function<void()> onProgress;
    void SetUrlStatus(const std::string& t) override { next_->SetUrlStatus(t); }
    void SetFolderStatus(const std::string& t) override { next_->SetFolderStatus(t); }
    void SetStatusText(const std::string& t) override {
        next_->SetStatusText(t);
        if (onStatus)
            onStatus(t);
    }
    void SetStatusText2(const std::string& t) override { next_->SetStatusText2(t); }
    void SetTransferStatus(const std::string& t) override { next_->SetTransferStatus(t); }
    void SetByteProgress(const std::string& t, int64_t r, int64_t p) override {
        next_->SetByteProgress(t, r, p);
        if (onProgress)
            std::exchange(onProgress, {})();
    }
    void ClearByteProgress() override { next_->ClearByteProgress(); }
    void SetFileProgress(const std::string& t, int64_t r, int64_t p) override {
        next_->SetFileProgress(t, r, p);
        if (onFileCount)
            std::exchange(onFileCount, {})();
    }
    void ClearFileProgress() override { next_->ClearFileProgress(); }

private:
    IStatusView* next_;
};

class LinkWindow : public ::testing::Test {
protected:
    TestServer server = TestServer::StartHttp();
    const std::string site = server.url("/site/").substr(7); // node and row texts carry no scheme
    GuiApp gui;
    CLinkTreeFrame* link = nullptr;
    Texts opened;

    void SetUp() override { ASSERT_TRUE(gui.Start()); }
    // Opens the window on a page of the site, as "Link Tree..." does.
    void Open(const std::string& page, int depth = 0) {
        gui.app().settings.HttpListNextChoseSetting = depth;
        gui.view()->SetUrlBase("http://" + site + page);
        gui.view()->SetFolderBase(gui.path("dl"));
        gui.view()->RefreshControls();
        ASSERT_TRUE(Enabled(gui.view(), form::kLinkTreeButton));
        gui.frame()->RunCommand(cmd::kShowLinkTree);
        link = CLinkTreeFrame::Current();
        ASSERT_NE(link, nullptr);
        gui.app().settings.UseWindowsRuleBrowserSetting = 1;
        gui.frame()->SetBrowserLauncher([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    CLinkTreeView* Tree() { return link->Tree(); }
    CHttpListView* List() { return link->List(); }
    // Row texts in list order, without the site's address.
    Texts Rows() {
        Texts rows;
        for (size_t i = 0; i < List()->RowCount(); ++i)
            rows.push_back(List()->Row(i).texts[0].substr(site.size()));
        return rows;
    }
    Texts Children(const wxTreeItemId& node) {
        Texts texts;
        for (TreeNodeId child : Tree()->Children(CListingTree::IdOf(node)))
            texts.push_back(Tree()->NodeText(child).substr(site.size()));
        return texts;
    }
    wxTreeItemId Child(const wxTreeItemId& node, const std::string& page) {
        return Tree()->FindChildByText(node, site + page);
    }
    long RowOf(const std::string& page) {
        for (size_t i = 0; i < List()->RowCount(); ++i)
            if (List()->Row(i).texts[0] == site + page)
                return static_cast<long>(i);
        return -1;
    }
    void Select(std::initializer_list<const char*> pages) {
        List()->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        for (const char* page : pages) {
            ASSERT_GE(RowOf(page), 0) << page;
            List()->SelectRow(static_cast<size_t>(RowOf(page)));
        }
        wxTheApp->ProcessPendingEvents(); // the form hears of it after the events settle
    }
    std::string Title() { return link->GetTitle().utf8_string(); }
    static Texts Sorted(Texts texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

TEST_F(LinkWindow, OpensOnTheStartPageWalksItAndExpandsASelectedNode) {
    Open("d/0.html", 1);
    EXPECT_EQ(Title(), "Ordinex [Link Tree & List] - http://" + site + "d/0.html");
    const wxTreeItemId root = Tree()->GetRootItem();
    EXPECT_EQ(Tree()->GetSelection(), root);
    EXPECT_EQ(Tree()->NodeText(root), site + "d/0.html");
    EXPECT_EQ(Children(root), (Texts{"d/1a.html", "d/1b.html"}));
    EXPECT_EQ(Children(Child(root, "d/1b.html")), Texts{"d/2a.html"}) << "the walk went one step down";
    EXPECT_EQ(Sorted(Rows()), (Texts{"d/1a.html", "d/1b.html", "d/f0.bin"}))
        << "pages below feed the list only when asked";
    const ListRow& file = List()->Row(static_cast<size_t>(RowOf("d/f0.bin")));
    EXPECT_EQ(file.texts, (std::array<std::string, 4>{site + "d/f0.bin", "1,008", "application/octet-stream",
                                                      "2021/03/04 12:34"}));
    EXPECT_EQ(file.image, 0);
    EXPECT_EQ(List()->Row(static_cast<size_t>(RowOf("d/1a.html"))).image, 1) << "a page";
    EXPECT_FALSE(gui.app().running);

    // Selecting a node lists its page; its children stay and are walked again.
    const wxTreeItemId page1a = Child(root, "d/1a.html");
    Tree()->SelectItem(page1a);
    EXPECT_EQ(Title(), "Ordinex [Link Tree & List] - http://" + site + "d/1a.html");
    EXPECT_EQ(Sorted(Rows()), (Texts{"d/2a.html", "d/f1a.bin"}));
    EXPECT_EQ(Children(page1a), Texts{"d/2a.html"});
    EXPECT_EQ(Children(Child(page1a, "d/2a.html")), (Texts{"d/0.html", "d/3a.html"}));

    // Sorting as the FTP list does; the reload rebuilds the node's children.
    List()->SortByClick(0);
    List()->SortByClick(0);
    EXPECT_EQ(Rows(), (Texts{"d/f1a.bin", "d/2a.html"}));
    link->RunCommand(cmd::kLinkListReload);
    EXPECT_EQ(Tree()->GetSelection(), page1a);
    EXPECT_EQ(Children(Child(page1a, "d/2a.html")), (Texts{"d/0.html", "d/3a.html"}));
    EXPECT_EQ(Rows(), (Texts{"d/f1a.bin", "d/2a.html"})) << "the list keeps its order after the listing";

    // A double click opens the row in the browser, a page as well as a file.
    Select({"d/2a.html"});
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, List()->GetId());
    activate.m_itemIndex = RowOf("d/2a.html");
    List()->GetEventHandler()->ProcessEvent(activate);
    EXPECT_EQ(opened, Texts{"http://" + site + "d/2a.html"});
}

TEST_F(LinkWindow, CopiesIntoTheFormAndTheFormFollowsTheSelection) {
    Open("index.html");
    COrdinexView* view = gui.view();
    EXPECT_FALSE(Enabled(view, form::kLinkListButton));
    EXPECT_FALSE(link->CommandEnabled(cmd::kLinkListToUrlFolder));
    Select({"missing.html"});
    EXPECT_EQ(List()->Row(static_cast<size_t>(RowOf("missing.html"))).texts[1], "") << "the probe failed";
    EXPECT_FALSE(Enabled(view, form::kLinkListButton)) << "a failed probe is no file";
    EXPECT_FALSE(link->CommandEnabled(cmd::kRunLinkList));
    Select({"nolength.bin"});
    EXPECT_EQ(List()->Row(static_cast<size_t>(RowOf("nolength.bin"))).texts[1], "0");
    EXPECT_TRUE(Enabled(view, form::kLinkListButton)) << "no Content-Length: size 0, a file";
    EXPECT_TRUE(gui.frame()->CommandEnabled(cmd::kRunLinkList));

    link->RunCommand(cmd::kLinkListToUrlFolder);
    EXPECT_EQ(view->GetUrlBase(), "http://" + site + "nolength.bin");
    EXPECT_TRUE(gui.shell().Document().IsModified());
    link->RunCommand(cmd::kLinkListToUrlFile);
    EXPECT_EQ(view->GetUrlExpansion(), site + "nolength.bin");
    link->RunCommand(cmd::kLinkTreeToUrl);
    EXPECT_EQ(view->GetUrlBase(), "http://" + site + "index.html");
    link->RunCommand(cmd::kOpenBrowser);
    EXPECT_EQ(opened, Texts{"http://" + site + "nolength.bin"});

    Select({"nolength.bin", "img/a.png"});
    EXPECT_FALSE(link->CommandEnabled(cmd::kLinkListToUrlFile)) << "two rows";
    EXPECT_TRUE(link->CommandEnabled(cmd::kRunLinkList));
    for (int c : {cmd::kLinkTreeToUrl, cmd::kRunLinkList, cmd::kLinkListToUrlFolder, cmd::kLinkListToUrlFile,
                  cmd::kLinkListReload, cmd::kOpenBrowser})
        EXPECT_FALSE(link->Toolbar()->FindById(cmd::ToWxId(c))->GetShortHelp().empty()) << c;
    EXPECT_EQ(link->Toolbar()->FindById(cmd::ToWxId(cmd::kLinkListToUrlFolder))->GetLabel(), "URL");
}

TEST_F(LinkWindow, RunsASelectionHoldingAFailedProbeWithThePanesDisabled) {
    Open("index.html");
    Select({"img/a.png", "missing.html", "nolength.bin"});
    bool panesOff = false, toolsOff = false;
    StatusHook hook(gui.view());
    hook.onFileCount = [&] {
        panesOff = !Tree()->IsEnabled() && !List()->IsEnabled();
        toolsOff = true;
        for (int c : {cmd::kLinkTreeToUrl, cmd::kRunLinkList, cmd::kLinkListReload, cmd::kOpenBrowser})
            toolsOff = toolsOff && !link->Toolbar()->GetToolEnabled(cmd::ToWxId(c));
    };
    gui.app().SetStatusView(&hook);
    link->RunCommand(cmd::kRunLinkList);
    gui.app().SetStatusView(gui.view());
    EXPECT_TRUE(panesOff);
    EXPECT_TRUE(toolsOff);
    EXPECT_EQ(ReadFile(gui.path("dl/a.png")), std::string(1009, 'f'));
    EXPECT_EQ(ReadFile(gui.path("dl/nolength.bin")), std::string(100, 'x'));
    EXPECT_EQ(List()->SelectedRows().size(), 2u) << "the failed row left the selection";
    EXPECT_TRUE(Tree()->IsEnabled() && List()->IsEnabled());
    EXPECT_TRUE(link->Toolbar()->GetToolEnabled(cmd::ToWxId(cmd::kLinkListReload)));
    EXPECT_TRUE(gui.prompter.warnings.empty());
}

TEST_F(LinkWindow, BusyWhileAPageLoadsAndStopEndsTheWalkKeepingWhatWasFound) {
    Open("d/0.html");
    bool panesOff = false, reloadOff = false;
    int pages = 0;
    StatusHook hook(gui.view());
    hook.onStatus = [&](const std::string& text) {
        if (text.find(" を読み込み中") == std::string::npos)
            return;
        panesOff = !Tree()->IsEnabled() && !List()->IsEnabled();
        reloadOff = !link->Toolbar()->GetToolEnabled(cmd::ToWxId(cmd::kLinkListReload));
        if (++pages == 3)
            gui.frame()->RunCommand(cmd::kStop);
    };
    gui.app().SetStatusView(&hook);
    gui.app().settings.HttpListNextChoseSetting = 3;
    Tree()->SelectItem(Child(Tree()->GetRootItem(), "d/1a.html"));
    gui.app().SetStatusView(gui.view());
    EXPECT_TRUE(panesOff);
    EXPECT_TRUE(reloadOff);
    EXPECT_EQ(pages, 3) << "no page began after Stop";
    EXPECT_FALSE(Children(Child(Tree()->GetRootItem(), "d/1a.html")).empty()) << "what was found stays";
    EXPECT_FALSE(gui.app().running);
    EXPECT_TRUE(Tree()->IsEnabled());

    // A page that cannot be opened is a warning, in an emptied window.
    gui.app().settings.HttpListNextChoseSetting = 0;
    gui.view()->SetUrlBase("http://" + site + "missing.html");
    gui.frame()->RunCommand(cmd::kShowLinkTree);
    EXPECT_EQ(gui.prompter.warnings, Texts{"要求されたURLが見つかりません(404)"});
    EXPECT_EQ(Tree()->GetCount(), 0u);
    EXPECT_EQ(List()->RowCount(), 0u);
    EXPECT_EQ(Title(), "Ordinex [Link Tree & List] - http://" + site + "missing.html");
}

TEST_F(LinkWindow, PagesTheWalkCouldNotReadOrReadOnlyInPartAreCountedUnderTheForm) {
    COrdinexView* view = gui.view();
    // once.html is a page when probed and fails when the walk loads it.
    Open("fails.html", 1);
    EXPECT_TRUE(gui.prompter.warnings.empty()) << "no dialog for a page below the first";
    EXPECT_EQ(view->ControlText(form::kRunResultLine), "リンク一覧表示終了: 読み込めなかったページ 1 件");
    EXPECT_TRUE(view->Control(form::kRunResultLine)->IsShown());
    EXPECT_FALSE(gui.app().running);

    Open("huge?mb=40");
    EXPECT_EQ(view->ControlText(form::kRunResultLine),
              "リンク一覧表示終了: 32 MB を超えて先頭の部分だけを読んだページ 1 件");
    EXPECT_GT(List()->RowCount(), 20u);

    Open("d/4a.html");
    EXPECT_FALSE(view->Control(form::kRunResultLine)->IsShown()) << "the next listing had nothing to tell";
    EXPECT_TRUE(gui.prompter.warnings.empty());
}

TEST_F(LinkWindow, StopEndsAPageThatNeverEnds) {
    StatusHook hook(gui.view());
    hook.onProgress = [&] { gui.frame()->RunCommand(cmd::kStop); };
    gui.app().SetStatusView(&hook);
    Open("endless?slow=1");
    gui.app().SetStatusView(gui.view());
    EXPECT_FALSE(gui.app().running);
    EXPECT_EQ(List()->RowCount(), 0u);
    EXPECT_TRUE(gui.prompter.warnings.empty()) << "a stop is no failure to warn about";
    EXPECT_TRUE(Tree()->IsEnabled());
}

TEST_F(LinkWindow, AHundredThousandRowsFillTheListAndItsSelection) {
    Open("d/4a.html");
    CHttpListView* list = List();
    list->DeleteAllRows();
    for (int i = 0; i < 100000; ++i) {
        const std::string text = site + "many/" + std::to_string(i) + ".bin";
        ASSERT_FALSE(list->HasRow(text));
        list->InsertRow({text, i % 10 ? "1,000" : "", "application/octet-stream", "", false, ""});
        if (i % 1000 == 0)
            gui.app().PumpOneMessage();
    }
    EXPECT_TRUE(list->HasRow(site + "many/99999.bin"));
    list->Resort();
    list->SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_EQ(list->DownloadableCount(), 90000);
    list->DeselectNonFiles();
    EXPECT_EQ(list->SelectedRows().size(), 90000u);
    EXPECT_EQ(list->SelectedItem(1), site + "many/1.bin") << "by text, ascending before any click";
}

TEST_F(LinkWindow, FollowsTheMainWindowAndKeepsItsPlaceInTheSettings) {
    Open("d/4a.html");
    CMainFrame* main = gui.frame();
    wxIconizeEvent minimized(main->GetId(), true);
    main->GetEventHandler()->ProcessEvent(minimized);
    EXPECT_FALSE(link->IsShown());
    wxActivateEvent activated(wxEVT_ACTIVATE, true, main->GetId());
    main->GetEventHandler()->ProcessEvent(activated);
    EXPECT_TRUE(link->IsShown());

    link->SetSize(40, 50, 720, 480);
    link->Splitter()->SetSashPosition(170);
    List()->SetColumnWidth(3, 70);
    List()->SortByClick(2);
    gui.Exit();
    const std::string ini = ReadFile(gui.path("Ordinex.ini"));
    for (const char* line :
         {"[HttpTreeWindow]\n", "Left=40\n", "Right=760\n", "SplitterSizeX=170\n", "[HttptreeView]\n",
          "Column0Width=100\n", "Column3Width=70\n", "SortKeyColumn=2\n", "SortOrder=1\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
}

} // namespace
} // namespace ordinex::test
