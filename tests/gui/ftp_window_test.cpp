// The FTP tree & list window in-process against the loopback FTP server.
#include "app/ordinex_app.h"
#include "gui/listwnd/ftp_panes.h"
#include "gui/listwnd/ftp_tree_frame.h"
#include "gui_support.h"
#include "test_servers.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

// Passes the status writes on and calls a hook at the first file count of a run.
class FileCountHook : public IStatusView {
public:
    FileCountHook(IStatusView* next, std::function<void()> hook) : next_(next), hook_(std::move(hook)) {}
    void SetUrlStatus(const std::string& t) override { next_->SetUrlStatus(t); }
    void SetFolderStatus(const std::string& t) override { next_->SetFolderStatus(t); }
    void SetStatusText(const std::string& t) override { next_->SetStatusText(t); }
    void SetStatusText2(const std::string& t) override { next_->SetStatusText2(t); }
    void SetTransferStatus(const std::string& t) override { next_->SetTransferStatus(t); }
    void SetByteProgress(const std::string& t, int64_t r, int64_t p) override {
        next_->SetByteProgress(t, r, p);
    }
    void ClearByteProgress() override { next_->ClearByteProgress(); }
    void SetFileProgress(const std::string& t, int64_t r, int64_t p) override {
        next_->SetFileProgress(t, r, p);
        if (hook_)
            std::exchange(hook_, {})();
    }
    void ClearFileProgress() override { next_->ClearFileProgress(); }

private:
    IStatusView* next_;
    std::function<void()> hook_;
};

class FtpWindow : public ::testing::Test {
protected:
    TempDir root;
    TestServer server = (MakeTree(), TestServer::StartFtp(root.path()));
    GuiApp gui;
    CFtpTreeFrame* ftp = nullptr;

    void SetUp() override {
        ASSERT_TRUE(gui.Start());
        gui.view()->SetUrlBase(server.url("/pub"));
        gui.view()->SetFolderBase(gui.path("dl"));
        gui.frame()->RunCommand(cmd::kShowFtpTree);
        ftp = CFtpTreeFrame::Current();
        ASSERT_NE(ftp, nullptr);
        // Files open in the desktop's browser here; the built-in one has tests of its own.
        gui.app().settings.UseWindowsRuleBrowserSetting = 1;
        gui.frame()->SetBrowserLauncher([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void MakeTree() {
        const std::string r = root.path();
        fs::create_directories(r + "/pub/img/deep");
        fs::create_directories(r + "/endless");
        WriteFile(r + "/pub/a.bin", std::string(1000, 'a'));
        WriteFile(r + "/pub/B.txt", std::string(999, 'b'));
        WriteFile(r + "/pub/img/pic.jpg", "jpeg");
    }
    CFtpTreeView* Tree() { return ftp->Tree(); }
    CFtpListView* List() { return ftp->List(); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (size_t i = 0; i < List()->RowCount(); ++i)
            names.push_back(List()->Row(i).texts[0]);
        return names;
    }
    long RowOf(const std::string& name) {
        for (size_t i = 0; i < List()->RowCount(); ++i)
            if (List()->Row(i).texts[0] == name)
                return static_cast<long>(i);
        return -1;
    }
    void Select(std::initializer_list<const char*> names) {
        List()->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        for (const char* name : names)
            List()->SelectRow(static_cast<size_t>(RowOf(name)));
        wxTheApp->ProcessPendingEvents(); // the form hears of it after the events settle
    }
    std::vector<std::string> opened;
};

TEST_F(FtpWindow, OpensOnTheAddressAndListsWhatIsSelected) {
    EXPECT_EQ(ftp->GetTitle(), wxString::FromUTF8("Ordinex [FTP Tree & List] - " + server.url("/pub")));
    EXPECT_EQ(Tree()->NodeText(Tree()->GetRootItem()), "127.0.0.1");
    EXPECT_EQ(Tree()->SelectedAddress(), server.url("/pub/"));
    const auto sorted = [](std::vector<std::string> v) { return std::sort(v.begin(), v.end()), v; };
    EXPECT_EQ(sorted(Names()), (std::vector<std::string>{"B.txt", "a.bin", "img"}));
    EXPECT_FALSE(List()->IsFileRow(static_cast<size_t>(RowOf("img"))));
    EXPECT_EQ(List()->Row(static_cast<size_t>(RowOf("a.bin"))).texts[1], "1,000");
    EXPECT_FALSE(gui.app().running);

    const wxTreeItemId img = Tree()->FindChildByText(Tree()->GetSelection(), "img");
    ASSERT_TRUE(img.IsOk());
    Tree()->SelectItem(img);
    EXPECT_EQ(sorted(Names()), (std::vector<std::string>{"deep", "pic.jpg"}));
    EXPECT_EQ(ftp->GetTitle(), wxString::FromUTF8("Ordinex [FTP Tree & List] - " + server.url("/pub/img/")));
    EXPECT_TRUE(Tree()->FindChildByText(img, "deep").IsOk());

    // A double click on a folder row selects its node; on a file, opens it.
    Tree()->SelectItem(Tree()->GetItemParent(img));
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, List()->GetId());
    activate.m_itemIndex = RowOf("img");
    List()->GetEventHandler()->ProcessEvent(activate);
    EXPECT_EQ(Tree()->GetSelection(), img);
    Select({"pic.jpg"});
    activate.m_itemIndex = RowOf("pic.jpg");
    List()->GetEventHandler()->ProcessEvent(activate);
    EXPECT_EQ(opened, std::vector<std::string>{server.url("/pub/img/pic.jpg")});
}

TEST_F(FtpWindow, SortsByTextTwiceAndReloadsTheTree) {
    EXPECT_EQ(Names(), (std::vector<std::string>{"img", "a.bin", "B.txt"}))
        << "listed ascending by name, folders first, letters compared without case";
    List()->SortByClick(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"img", "a.bin", "B.txt"}));
    List()->SortByClick(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"img", "B.txt", "a.bin"})) << "folders first either way";
    List()->SortByClick(1); // the opposite of the last sort: ascending, as text
    EXPECT_EQ(Names(), (std::vector<std::string>{"img", "a.bin", "B.txt"}))
        << "\"1,000\" sorts before \"999\"";
    Select({"B.txt"});
    List()->SortByClick(1);
    EXPECT_EQ(List()->SelectedItem(1), "B.txt") << "the selection follows its row";

    const wxTreeItemId pub = Tree()->GetSelection();
    fs::create_directory(root.path() + "/pub/new");
    Tree()->SelectItem(Tree()->GetRootItem());
    Tree()->SelectItem(pub);
    EXPECT_FALSE(Tree()->FindChildByText(pub, "new").IsOk()) << "a node lists its folders once";
    EXPECT_EQ(Names().size(), 4u);
    ftp->RunCommand(cmd::kFtpListReload);
    EXPECT_TRUE(Tree()->FindChildByText(pub, "new").IsOk());
    EXPECT_EQ(Tree()->GetSelection(), pub);
    EXPECT_EQ(List()->Sort().column, 1) << "the list keeps its order after the listing";
    const std::vector<std::string> names = Names();
    EXPECT_EQ(std::vector<std::string>(names.begin() + 2, names.end()),
              (std::vector<std::string>{"B.txt", "a.bin"}))
        << "after the folders, descending as the last click left it";
}

TEST_F(FtpWindow, CopiesIntoTheFormAndTheFormFollowsTheSelection) {
    COrdinexView* view = gui.view();
    EXPECT_FALSE(Enabled(view, form::kFtpListButton));
    EXPECT_FALSE(ftp->CommandEnabled(cmd::kFtpListToUrlFolder));
    Select({"img"});
    EXPECT_TRUE(Enabled(view, form::kFtpListButton)) << "a folder brings its files";
    EXPECT_TRUE(ftp->CommandEnabled(cmd::kRunFtpList));
    Select({"a.bin"});
    EXPECT_TRUE(Enabled(view, form::kFtpListButton));
    EXPECT_TRUE(gui.frame()->CommandEnabled(cmd::kRunFtpList));

    ftp->RunCommand(cmd::kFtpListToUrlFolder);
    EXPECT_EQ(view->GetUrlBase(), server.url("/pub/a.bin"));
    EXPECT_TRUE(gui.shell().Document().IsModified());
    EXPECT_EQ(view->ControlText(form::kUrlDisplay), server.url("/pub/a.bin"));
    ftp->RunCommand(cmd::kFtpListToUrlFile);
    EXPECT_EQ(view->GetUrlExpansion(), "a.bin");
    ftp->RunCommand(cmd::kFtpTreeToUrl);
    EXPECT_EQ(view->GetUrlBase(), server.url("/pub/"));
    ftp->RunCommand(cmd::kOpenBrowser);
    EXPECT_EQ(opened, std::vector<std::string>{server.url("/pub/a.bin")});

    Select({"a.bin", "B.txt"});
    EXPECT_FALSE(ftp->CommandEnabled(cmd::kFtpListToUrlFile)) << "two rows";
    EXPECT_TRUE(ftp->CommandEnabled(cmd::kRunFtpList));
}

TEST_F(FtpWindow, APasswordInTheAddressShowsNeitherInTheTitleNorInTheCopies) {
    COrdinexView* view = gui.view();
    const std::string hostPort = server.url("/").substr(6, server.url("/").size() - 7); // "127.0.0.1:N"
    const std::string withPassword = "ftp://user:secret@" + hostPort + "/pub/";
    view->SetUrlBase(withPassword);
    gui.frame()->RunCommand(cmd::kShowFtpTree);
    ASSERT_EQ(Tree()->SelectedAddress(), withPassword) << "the walk logs in with it";
    const std::string title = ftp->GetTitle().utf8_str().data();
    EXPECT_EQ(title, "Ordinex [FTP Tree & List] - ftp://user:****@" + hostPort + "/pub/");
    Tree()->SelectItem(Tree()->FindChildByText(Tree()->GetSelection(), "img"));
    EXPECT_EQ(std::string(ftp->GetTitle().utf8_str()).find("secret"), std::string::npos);

    // Each copy leaves the password out of the URL box; the user name and
    // password boxes take over the login.
    struct Row {
        int command;
        std::string userBefore;
        std::string urlBase, user, password;
    } rows[] = {
        {cmd::kFtpTreeToUrl, "", server.url("/pub/img/"), "user", "secret"},
        {cmd::kFtpListToUrlFolder, "", server.url("/pub/img/pic.jpg"), "user", "secret"},
        {cmd::kFtpTreeToUrl, "other", server.url("/pub/img/"), "other", "kept"},
    };
    for (const Row& r : rows) {
        view->SetUserName(r.userBefore);
        view->SetPassword(r.userBefore.empty() ? "" : "kept");
        Select({"pic.jpg"});
        ftp->RunCommand(r.command);
        EXPECT_EQ(view->GetUrlBase(), r.urlBase) << r.command;
        EXPECT_EQ(view->GetUserName(), r.user) << r.command;
        EXPECT_EQ(view->GetPassword(), r.password) << r.command;
        EXPECT_EQ(view->ControlText(form::kUrlDisplay).find("secret"), std::string::npos);
    }
}

TEST_F(FtpWindow, RunsTheSelectionWithThePanesDisabled) {
    Select({"a.bin", "img", "B.txt"});
    bool panesOff = false, downloadOff = false, reloadOff = false;
    FileCountHook hook(gui.view(), [&] {
        panesOff = !Tree()->IsEnabled() && !List()->IsEnabled();
        downloadOff = !ftp->Toolbar()->GetToolEnabled(cmd::ToWxId(cmd::kRunFtpList));
        reloadOff = !ftp->CommandEnabled(cmd::kFtpListReload);
    });
    gui.app().SetStatusView(&hook);
    ftp->RunCommand(cmd::kRunFtpList);
    gui.app().SetStatusView(gui.view());
    EXPECT_TRUE(panesOff);
    EXPECT_TRUE(downloadOff);
    EXPECT_TRUE(reloadOff);
    EXPECT_EQ(ReadFile(gui.path("dl/a.bin")), std::string(1000, 'a'));
    EXPECT_EQ(ReadFile(gui.path("dl/B.txt")), std::string(999, 'b'));
    EXPECT_EQ(ReadFile(gui.path("dl/pic.jpg")), "jpeg") << "a selected folder brings its files";
    EXPECT_TRUE(Tree()->IsEnabled());
    EXPECT_TRUE(List()->IsEnabled());
    EXPECT_TRUE(gui.prompter.warnings.empty());
}

TEST_F(FtpWindow, ControlASelectsEveryRow) {
    Select({"a.bin"});
    ASSERT_EQ(List()->SelectedRows().size(), 1u);
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = 'A';
    key.m_controlDown = true;
    key.SetEventObject(List());
    List()->GetEventHandler()->ProcessEvent(key);
    EXPECT_EQ(List()->SelectedRows().size(), List()->RowCount());
    EXPECT_EQ(List()->RowCount(), 3u);
}

TEST_F(FtpWindow, ClosingDuringAListingWaitsForIt) {
    const wxTreeItemId img = Tree()->FindChildByText(Tree()->GetSelection(), "img");
    bool vetoed = false;
    // The first status line of the listing arrives while it runs.
    class CloseOnStatus : public FileCountHook {
    public:
        using FileCountHook::FileCountHook;
        std::function<void()> onStatus;
        void SetStatusText(const std::string& t) override {
            FileCountHook::SetStatusText(t);
            if (onStatus)
                std::exchange(onStatus, {})();
        }
    } hook(gui.view(), {});
    hook.onStatus = [&] { vetoed = !ftp->Close(); };
    gui.app().SetStatusView(&hook);
    Tree()->SelectItem(img);
    gui.app().SetStatusView(gui.view());
    EXPECT_TRUE(vetoed);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    EXPECT_EQ(CFtpTreeFrame::Current(), nullptr) << "closed once the listing had ended";
    EXPECT_FALSE(gui.app().running);
    EXPECT_EQ(gui.app().FtpWindow().rows, nullptr);
}

TEST_F(FtpWindow, AListingThatNeverEndsEndsAtItsBoundOrOnStop) {
    const wxTreeItemId endless = Tree()->FindChildByText(Tree()->GetRootItem(), "endless");
    ASSERT_TRUE(endless.IsOk());
    gui.app().engine.maxListingEntries = 40000;
    Tree()->SelectItem(endless);
    EXPECT_EQ(gui.prompter.warnings,
              std::vector<std::string>{"一覧の項目数が 40,000 を超えたため、一覧の読み込みを中止しました"});
    EXPECT_EQ(List()->RowCount(), 40000u) << "what was listed stays";
    EXPECT_FALSE(gui.app().running);
    EXPECT_TRUE(Tree()->IsEnabled());

    // Stop, pressed while the listing streams, ends it as a success.
    gui.prompter.warnings.clear();
    gui.app().engine.maxListingEntries = CInternetDownloader::kMaxListingEntries;
    Later stop(300, [&] { gui.frame()->RunCommand(cmd::kStop); });
    ftp->RunCommand(cmd::kFtpListReload);
    EXPECT_TRUE(gui.prompter.warnings.empty());
    EXPECT_GT(List()->RowCount(), 0u);
    EXPECT_LT(List()->RowCount(), 1000000u);
    EXPECT_FALSE(gui.app().running);
}

TEST_F(FtpWindow, FollowsTheMainWindowAndKeepsItsPlaceInTheSettings) {
    CMainFrame* main = gui.frame();
    wxIconizeEvent minimized(main->GetId(), true);
    main->GetEventHandler()->ProcessEvent(minimized);
    EXPECT_FALSE(ftp->IsShown());
    wxActivateEvent activated(wxEVT_ACTIVATE, true, main->GetId());
    main->GetEventHandler()->ProcessEvent(activated);
    EXPECT_TRUE(ftp->IsShown());

    ftp->SetSize(30, 40, 700, 500);
    ftp->Splitter()->SetSashPosition(150);
    List()->SetColumnWidth(2, 60);
    List()->SortByClick(3);
    gui.Exit();
    const std::string ini = ReadFile(gui.path("Ordinex.ini"));
    for (const char* line :
         {"[FtpTreeWindow]\n", "ShowCmd=1\n", "Left=30\n", "Right=730\n", "SplitterSizeX=150\n",
          "[FtptreeView]\n", "Column0Width=100\n", "Column2Width=60\n", "SortKeyColumn=3\n", "SortOrder=1\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
}

// The program itself, its FTP window opened on the job's address at start.
class FtpWindowProgram : public ::testing::Test {
protected:
    TempDir root;
    TempDir dir;
    TempDir runtime;
    pid_t pid = -1;

    void TearDown() override {
        if (pid > 0 && !Ended(0)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    void Start(const std::string& address) {
        chmod(runtime.path().c_str(), 0700);
        WriteFile(dir / "job.odx", "[UrlFolder]\nUrlBaseText=" + address + "\n");
        pid = fork();
        if (pid == 0) {
            if (chdir(dir.path().c_str()) != 0 || !freopen("stderr.txt", "w", stderr))
                _exit(126);
            setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
            setenv("ORDINEX_TEST_PROMPTS", "1", 1);
            setenv("ORDINEX_AUTOCOMMAND", std::to_string(cmd::kShowFtpTree).c_str(), 1);
            execl(ORDINEX_GUI_PATH, ORDINEX_GUI_PATH, "job.odx", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !fs::exists(dir / "Ordinex.log"); ++i)
            usleep(50'000);
    }
    // Whether the program has ended within seconds; status then holds how.
    bool Ended(int seconds) {
        for (int i = 0; i <= seconds * 10; ++i) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return true;
            }
            if (i < seconds * 10)
                usleep(100'000);
        }
        return false;
    }
    // The program's resident memory now and at its peak, in kB.
    long MemoryKb(const char* field) const {
        const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/status");
        const std::size_t at = text.find(field);
        return at == std::string::npos ? -1 : std::stol(text.substr(at + std::string(field).size()));
    }
    int status = 0;
};

TEST_F(FtpWindowProgram, AListingThatNeverEndsStopsAtItsBoundInBoundedMemory) {
    fs::create_directories(root / "endless");
    TestServer server = TestServer::StartFtp(root.path());
    Start(server.url("/endless/"));
    // The bound's warning (answered at once in this mode) ends the listing.
    const std::string warning =
        "warning: 一覧の項目数が 1,000,000 を超えたため、一覧の読み込みを中止しました";
    bool warned = false;
    for (int i = 0; i < 600 && !warned; ++i) {
        warned = ReadFile(dir / "stderr.txt").find(warning) != std::string::npos;
        if (!warned)
            usleep(100'000);
    }
    ASSERT_TRUE(warned) << "the listing went on for a minute";
    const long before = MemoryKb("VmRSS:");
    usleep(1'000'000);
    EXPECT_LT(MemoryKb("VmRSS:"), before + 20 * 1024) << "nothing grows once the listing has ended";
    EXPECT_LT(MemoryKb("VmHWM:"), 600L * 1024) << "a million rows at the most";
    kill(pid, SIGTERM);
    ASSERT_TRUE(Ended(30));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(FtpWindowProgram, EndsOnTerminationSignalWhileAListingStreams) {
    fs::create_directories(root / "endless");
    TestServer server = TestServer::StartFtp(root.path(), "--slow");
    Start(server.url("/endless/"));
    usleep(1'500'000); // the window has opened; the listing streams for hours at this speed
    kill(pid, SIGTERM);
    ASSERT_TRUE(Ended(30)) << "still running 30 s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(ReadFile(dir / "Ordinex.ini").find("UrlBaseText=" + server.url("/endless/") + "\n"),
              std::string::npos)
        << "saved as on the exit command";
}

} // namespace
} // namespace ordinex::test
