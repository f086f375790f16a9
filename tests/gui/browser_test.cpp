// The built-in browser in-process against the loopback HTTP and FTP servers
// (its rules without a window: tests/core/browser_rules_test.cpp).
#include "app/ordinex_app.h"
#include "gui/browser/browser_frame.h"
#include "gui/browser/browser_view.h"
#include "gui/listwnd/ftp_panes.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui/listwnd/link_panes.h"
#include "gui/listwnd/link_tree_frame.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

TEST(BrowserRules, AFileAddressSplitsForTheUrlBoxesAtTheLastSlashOfItsPath) {
    struct Row {
        const char* url;
        const char* base;
        const char* expansion;
    } rows[] = {
        {"http://h/pub/img/a.jpg", "http://h/pub/img/", "a.jpg"},
        {"http://h/get.php?id=3/x", "http://h/", "get.php?id=3/x"},
        {"http://h/dir/f.zip#part/2", "http://h/dir/", "f.zip#part/2"},
        {"http://h/dir/", "http://h/dir/", ""},
        {"http://h", "http://h", ""},
        {"https://u:p@h:8443/a/b", "https://u:p@h:8443/a/", "b"},
    };
    for (const Row& r : rows) {
        const browser::UrlBoxes boxes = browser::SplitForUrlBoxes(r.url);
        EXPECT_EQ(boxes.base, r.base) << r.url;
        EXPECT_EQ(boxes.expansion, r.expansion) << r.url;
        EXPECT_EQ(boxes.base + boxes.expansion, r.url) << "composed again, the address";
    }
    EXPECT_EQ(browser::FileLinkQuestion("http://u:secret@h/a\x1b[2J.zip", "/home/me/dl"),
              "ファイルへのリンクです。\nhttp://u:****@h/a\\x1B[2J.zip\n\n"
              "アドレスをURLの欄に入れるか、今すぐダウンロードできます。\n保存先: /home/me/dl");
    EXPECT_EQ(browser::FileLinkQuestion("http://h/a.zip", "")
                  .substr(std::string("ファイルへのリンクです。\nhttp://h/a.zip\n\n").size()),
              "アドレスをURLの欄に入れるか、今すぐダウンロードできます。\n保存先: (未入力)");
}

// ---- The window ----

// Dispatches events until done() holds or the time has passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        while (wxTheApp->Pending())
            wxTheApp->Dispatch();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle(); // closed windows go
        wxMilliSleep(2);
    }
    return true;
}

class Browser : public ::testing::Test {
protected:
    TempDir site;
    TestServer http = (MakeSite(), TestServer::StartHttp(site.path()));
    GuiApp gui;
    CBrowserFrame* browser = nullptr;

    void MakeSite() {
        WriteFile(site / "a.html", "<html><head><title>A</title></head><body><a href='b.html'>b</a>"
                                   "<iframe src='b.html'></iframe></body></html>");
        WriteFile(site / "b.html", "<html><head><title>B</title></head><body>B</body></html>");
        WriteFile(site / "files.html", "<html><body><a id='f' href='/bytes/100'>file</a></body></html>");
    }
    void SetUp() override {
        ASSERT_TRUE(gui.Start());
        gui.view()->SetUrlBase(http.url("/a.html"));
        gui.frame()->RunCommand(cmd::kOpenBrowser);
        browser = CBrowserFrame::Current();
        ASSERT_NE(browser, nullptr);
        ASSERT_TRUE(Loaded(http.url("/a.html")));
    }
    // The page at url has loaded and the busy state is over.
    bool Loaded(const std::string& url) {
        return PumpUntil([&] {
            return browser->View()->Location() == url && !browser->View()->IsLoading() && !gui.app().running;
        });
    }
    void Enter(const std::string& text) {
        browser->AddressBox()->ChangeValue(wxString::FromUTF8(text));
        wxCommandEvent enter(wxEVT_TEXT_ENTER, browser->AddressBox()->GetId());
        enter.SetEventObject(browser->AddressBox());
        browser->AddressBox()->GetEventHandler()->ProcessEvent(enter);
    }
    std::string Title() { return browser->GetTitle().utf8_str().data(); }
    std::string Address() { return browser->AddressText(); }
    // The page hangs: the busy state holds, and the form keeps only Stop.
    void StartHangingLoad() {
        Enter(http.url("/hang"));
        ASSERT_TRUE(PumpUntil([&] { return gui.app().running; }));
        // Status writes of a busy state reach the screen at a bounded rate.
        EXPECT_TRUE(PumpUntil([&] {
            return gui.view()->ControlText(form::kUrlStatusLine) == http.url("/hang") + " をロード";
        }));
        // The page's status texts reach the form while the load of the user's runs.
        EXPECT_TRUE(PumpUntil([&] {
            return gui.view()->ControlText(form::kStatusLine) == http.url("/hang") + " を読み込んでいます";
        }));
        EXPECT_FALSE(Enabled(gui.view(), form::kUrlBase));
        EXPECT_TRUE(Enabled(gui.view(), form::kStopButton));
        EXPECT_TRUE(browser->CommandEnabled(cmd::kBrowserStop));
    }
    void ExpectFormUsable() {
        EXPECT_FALSE(gui.app().running);
        EXPECT_TRUE(Enabled(gui.view(), form::kUrlBase));
        EXPECT_FALSE(Enabled(gui.view(), form::kStopButton));
    }
};

TEST_F(Browser, NavigatesGoesBackAndFollowsThePage) {
    const std::string a = http.url("/a.html"), b = http.url("/b.html");
    EXPECT_EQ(Title(), "Ordinex [Browser] - " + a);
    EXPECT_EQ(Address(), a);
    EXPECT_FALSE(browser->CommandEnabled(cmd::kBrowserBack)) << "nothing before the first page";
    ExpectFormUsable();

    Enter(b);
    ASSERT_TRUE(Loaded(b));
    EXPECT_EQ(Title(), "Ordinex [Browser] - " + b);
    EXPECT_EQ(browser->AddressList(), (std::vector<std::string>{b, a}));
    Enter(http.url("/b")); // a prefix of a listed address: navigates, adds nothing
    ASSERT_TRUE(Loaded(http.url("/b")));
    EXPECT_EQ(browser->AddressList().size(), 2u);

    browser->RunCommand(cmd::kBrowserBack);
    ASSERT_TRUE(Loaded(b));
    browser->RunCommand(cmd::kBrowserBack);
    ASSERT_TRUE(Loaded(a));
    EXPECT_EQ(Address(), a) << "the address box follows at document complete";
    EXPECT_EQ(Title(), "Ordinex [Browser] - " + a);
    EXPECT_TRUE(browser->CommandEnabled(cmd::kBrowserForward));

    // Choosing a listed address navigates to it.
    browser->AddressBox()->SetSelection(0);
    wxCommandEvent chosen(wxEVT_COMBOBOX, browser->AddressBox()->GetId());
    browser->AddressBox()->GetEventHandler()->ProcessEvent(chosen);
    ASSERT_TRUE(Loaded(b));
    ExpectFormUsable();
}

TEST_F(Browser, CopiesIntoTheFormAndOpensTheFtpWindow) {
    browser->RunCommand(cmd::kBrowserToUrlFolder);
    EXPECT_EQ(gui.view()->GetUrlBase(), http.url("/a.html"));
    browser->RunCommand(cmd::kBrowserToUrlFile);
    EXPECT_EQ(gui.view()->GetUrlExpansion(), http.url("/a.html"));
    EXPECT_TRUE(gui.shell().Document().IsModified());
    // "Link" opens the Link window on the page.
    ASSERT_TRUE(browser->CommandEnabled(cmd::kBrowserLinkTree));
    browser->RunCommand(cmd::kBrowserLinkTree);
    CLinkTreeFrame* linkWindow = CLinkTreeFrame::Current();
    ASSERT_NE(linkWindow, nullptr);
    const std::string page = http.url("/a.html").substr(7); // without "http://"
    EXPECT_EQ(linkWindow->Tree()->NodeText(linkWindow->Tree()->GetSelection()), page);
    ASSERT_EQ(linkWindow->List()->RowCount(), 1u);
    EXPECT_EQ(linkWindow->List()->Row(0).texts[0], page.substr(0, page.size() - 6) + "b.html");
    browser->AddressBox()->ChangeValue("  ");
    EXPECT_FALSE(browser->CommandEnabled(cmd::kBrowserToUrlFolder));
    EXPECT_FALSE(browser->CommandEnabled(cmd::kBrowserLinkTree));

    TempDir root;
    fs::create_directories(root.path() + "/pub");
    WriteFile(root.path() + "/pub/a.bin", "abc");
    TestServer ftp = TestServer::StartFtp(root.path());
    browser->AddressBox()->ChangeValue(wxString::FromUTF8(ftp.url("/pub/")));
    browser->RunCommand(cmd::kBrowserFtpTree);
    CFtpTreeFrame* ftpWindow = CFtpTreeFrame::Current();
    ASSERT_NE(ftpWindow, nullptr);
    EXPECT_EQ(ftpWindow->Tree()->SelectedAddress(), ftp.url("/pub/"));
    ASSERT_EQ(ftpWindow->List()->RowCount(), 1u);

    // With the built-in browser chosen, the FTP window's files open in it.
    ftpWindow->List()->SelectRow(0);
    ftpWindow->RunCommand(cmd::kOpenBrowser);
    EXPECT_EQ(browser->AddressList().front(), ftp.url("/pub/a.bin"));
    EXPECT_TRUE(PumpUntil([&] { return !gui.app().running; }));
}

TEST_F(Browser, APageThatFailsOrIsAFileLeavesTheFormUsable) {
    TestServer gone = TestServer::StartHttp();
    const std::string refused = gone.url("/x.html");
    gone.Stop();
    Enter(refused);
    ASSERT_TRUE(Loaded(refused)) << "the view shows its own error page";
    ExpectFormUsable();
    EXPECT_TRUE(gui.prompter.messages.empty()) << "no message of the program's own";

    // A file the view cannot show, and one the server wants saved: neither
    // is saved anywhere; the address box takes the file's address.
    const std::string name = "ordinex-browser-test-" + std::to_string(getpid()) + ".zip";
    std::vector<std::string> asked;
    browser->SetFileQuestion([&](const std::string& text) {
        asked.push_back(text);
        return kAnswerCancel;
    });
    for (const std::string& path :
         {std::string("/bytes/100"),
          "/meta?type=text/plain&length=0&disposition=attachment;filename=" + name}) {
        asked.clear();
        Enter(http.url(path));
        EXPECT_TRUE(PumpUntil([&] { return Address() == http.url(path) && !gui.app().running; })) << path;
        ExpectFormUsable();
        EXPECT_TRUE(PumpUntil([&] { return !asked.empty(); }, 3000)) << path;
        PumpFor(300);
        ASSERT_EQ(asked.size(), 1u) << "asked once: " << path;
        EXPECT_NE(asked[0].find(http.url(path)), std::string::npos) << asked[0];
    }
    // A download of the view's own would land in one of these a moment later.
    std::vector<fs::path> saved;
    for (const char* dir : {g_get_home_dir(), g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)})
        if (dir)
            saved.push_back(fs::path(dir) / name);
    const auto anySaved = [&] {
        return std::any_of(saved.begin(), saved.end(), [](auto& p) { return fs::exists(p); });
    };
    EXPECT_FALSE(PumpUntil(anySaved, 500));
    for (const fs::path& path : saved)
        fs::remove(path);
}

TEST_F(Browser, AClickedLinkToAFileGoesIntoTheUrlBoxesOrIsFetchedNow) {
    const std::string file = http.url("/bytes/100");
    struct Row {
        int answer;
        bool folder;         // the job has a destination base
        bool intoBoxes;      // the URL boxes hold the address, split
        bool fetched;        // dl/100 arrived
        std::string message; // of the program's own (empty: none)
    } rows[] = {
        {kAnswerYes, true, true, false, ""},
        {kAnswerNo, true, false, true, ""},
        {kAnswerCancel, true, false, false, ""},
        {kAnswerNo, false, false, false, "保存先のフォルダが入力されていません。"},
    };
    for (const Row& r : rows) {
        const std::string what = std::to_string(r.answer) + (r.folder ? "" : " without folder");
        fs::remove_all(gui.path("dl"));
        gui.view()->SetUrlBase("");
        gui.view()->SetUrlExpansion("");
        gui.view()->SetFolderBase(r.folder ? gui.path("dl") : "");
        gui.prompter.messages.clear();
        std::vector<std::string> asked;
        browser->SetFileQuestion([&](const std::string& text) {
            asked.push_back(text);
            return r.answer;
        });
        Enter(http.url("/files.html"));
        ASSERT_TRUE(Loaded(http.url("/files.html"))) << what;
        // A click of the page's own, as the mouse gives it.
        browser->View()->Web()->RunScript("document.getElementById('f').click();");
        ASSERT_TRUE(PumpUntil([&] { return !asked.empty() && !gui.app().running; })) << what;
        PumpFor(300);
        ASSERT_EQ(asked.size(), 1u) << what;
        EXPECT_NE(asked[0].find(file), std::string::npos) << asked[0];
        EXPECT_NE(asked[0].find(r.folder ? gui.path("dl") : "(未入力)"), std::string::npos) << asked[0];
        EXPECT_EQ(gui.view()->GetUrlBase(), r.intoBoxes ? http.url("/bytes/") : "") << what;
        EXPECT_EQ(gui.view()->GetUrlExpansion(), r.intoBoxes ? "100" : "") << what;
        if (r.intoBoxes) {
            EXPECT_EQ(gui.view()->ControlText(form::kUrlDisplay), file);
        }
        EXPECT_EQ(fs::exists(gui.path("dl/100")), r.fetched) << what;
        if (r.fetched) {
            EXPECT_EQ(ReadFile(gui.path("dl/100")).size(), 100u);
        }
        EXPECT_EQ(gui.prompter.messages,
                  r.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.message})
            << what;
        EXPECT_TRUE(gui.prompter.warnings.empty()) << what;
        ExpectFormUsable();
    }
}

TEST_F(Browser, StopAndClosingMidLoadEndTheBusyState) {
    StartHangingLoad();
    browser->RunCommand(cmd::kBrowserStop);
    ExpectFormUsable();

    StartHangingLoad();
    gui.frame()->RunCommand(cmd::kStop); // the main window's Stop
    EXPECT_TRUE(PumpUntil([&] { return !gui.app().running; }));
    ExpectFormUsable();

    StartHangingLoad();
    browser->Close();
    ExpectFormUsable();
    wxTheApp->ProcessIdle();
    EXPECT_EQ(CBrowserFrame::Current(), nullptr);
}

TEST_F(Browser, ClosingTheMainWindowMidLoadWaitsForTheLoadToStop) {
    StartHangingLoad();
    EXPECT_FALSE(gui.frame()->Close()) << "the load is stopped first";
    EXPECT_TRUE(PumpUntil([&] { return gui.frame() == nullptr; }));
    EXPECT_FALSE(gui.app().running);
    EXPECT_EQ(CBrowserFrame::Current(), nullptr);
}

TEST_F(Browser, FollowsTheMainWindowAndKeepsItsPlaceInTheSettings) {
    CMainFrame* main = gui.frame();
    wxIconizeEvent minimized(main->GetId(), true);
    main->GetEventHandler()->ProcessEvent(minimized);
    EXPECT_FALSE(browser->IsShown());
    wxActivateEvent activated(wxEVT_ACTIVATE, true, main->GetId());
    main->GetEventHandler()->ProcessEvent(activated);
    EXPECT_TRUE(browser->IsShown());

    // Opening again reuses the window.
    gui.view()->SetUrlBase(http.url("/b.html"));
    gui.frame()->RunCommand(cmd::kOpenBrowser);
    EXPECT_EQ(CBrowserFrame::Current(), browser);
    ASSERT_TRUE(Loaded(http.url("/b.html")));

    // The desktop's browser when the setting says so.
    std::vector<std::string> launched;
    gui.frame()->SetBrowserLauncher([&](const std::string& address) {
        launched.push_back(address);
        return false;
    });
    gui.app().settings.UseWindowsRuleBrowserSetting = 1;
    gui.frame()->RunCommand(cmd::kOpenBrowser);
    EXPECT_EQ(launched, std::vector<std::string>{http.url("/b.html")});
    EXPECT_EQ(gui.prompter.messages, std::vector<std::string>{"Browserが開けません"});

    browser->SetSize(40, 50, 700, 480);
    gui.Exit();
    const std::string ini = ReadFile(gui.path("Ordinex.ini"));
    for (const char* line :
         {"[BrowserWindow]\n", "ShowCmd=1\n", "Left=40\n", "Top=50\n", "Right=740\n", "Bottom=530\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
}

} // namespace
} // namespace ordinex::test
