#include "app/ordinex_app.h"
#include "list_rows_stub.h"
#include "net_recorders.h"
#include "recording_ui.h"
#include "runs/list_naming.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

TEST(ListNaming, ModesAndTheDotsOfTheAddressPart) {
    const std::string hp = FtpItemLocalName("ftp://host/pub/img/", "a.b.jpg");
    EXPECT_EQ(hp, "host/pub/img/a_b.jpg");
    const struct {
        const char* base;
        int mode;
        int dirs;
        const char* path;
    } cases[] = {
        {"/dl", 0, 0, "/dl/a_b.jpg"},
        {"/dl", 2, 0, "/dl/host/pub/img/a_b.jpg"},
        {"/dl", 1, 0, "/dl/a_b.jpg"},
        {"/dl", 1, 1, "/dl/img/a_b.jpg"},
        {"/dl", 1, 2, "/dl/pub/img/a_b.jpg"},
        {"/dl", 1, 3, "/dl/host/pub/img/a_b.jpg"},
        {"/dl", 1, 99, "/dl/host/pub/img/a_b.jpg"},
        {"/dl", 7, 0, "/dl/host/pub/img/a_b.jpg"},
        // The destination folder is the user's: its dots stay.
        {" /my.files/ ", 0, 0, "/my.files/a_b.jpg"},
        {"/home/me/.local/dl", 2, 0, "/home/me/.local/dl/host/pub/img/a_b.jpg"},
        {"/v1.2/dl.d/", 1, 1, "/v1.2/dl.d/img/a_b.jpg"},
    };
    for (const auto& c : cases) {
        const ListItemTarget t = ComposeListItemTarget(c.base, hp, {c.mode, c.dirs, "ftp://"});
        EXPECT_EQ(t.path, c.path) << c.mode << "/" << c.dirs;
        EXPECT_TRUE(t.storable);
    }
    // Port and user are no part of the local name; the tree's escapes are undone.
    EXPECT_EQ(FtpItemLocalName("ftp://u:p@127.0.0.1:2121/x/", "/f.txt"), "127_0_0_1/x/f.txt");
    EXPECT_EQ(FtpItemLocalName("ftp://h/a%23b/", "c d.txt"), "h/a#b/c d.txt");
}

TEST(ListNaming, WhateverTheNameTheTargetStaysInsideTheFolder) {
    const std::string longName(300, 'x');
    const struct {
        int mode;
        std::string name;
        std::string path; // below "/dl/"; empty: not storable
    } cases[] = {
        {0, "..", "_."},
        {0, ".", ""},
        {0, "", ""},
        {0, "/", ""},
        {0, "dir/", ""},
        {2, "dir/", "h/d/dir"},
        {0, "ctl\x01.txt", ""},
        {0, "esc\x1b[2J.txt", ""},
        {0, longName + ".txt", ""},
        {2, longName.substr(0, 251) + ".txt", "h/d/" + longName.substr(0, 251) + ".txt"},
        {0, "../../escape.txt", "escape.txt"},
        {2, "../../escape.txt", "h/d/__/__/escape.txt"},
        {1, "sub/../../up.txt", "h/d/sub/__/__/up.txt"},
        {0, "a\\..\\..\\win.txt", "a\\__\\__\\win.txt"},
        {2, "/abs.txt", "h/d/abs.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ListItemTarget t =
            ComposeListItemTarget("/dl", FtpItemLocalName("ftp://h/d/", c.name), {c.mode, 9, "ftp://"});
        EXPECT_EQ(t.storable, !c.path.empty()) << t.path;
        if (!c.path.empty()) {
            EXPECT_EQ(t.path, "/dl/" + c.path);
        }
    }
}

class FtpItemCompose : public ::testing::Test {
protected:
    TempDir out;
    COrdinexApp app;
    FtpRowsStub rows;
    void SetUp() override { app.AttachFtpWindow({nullptr, nullptr, nullptr, &rows}); }
    std::string Url(const std::string& dir, const std::string& name) {
        rows.rows = {{dir, name, "1"}};
        app.targetValid = true;
        app.targetError.clear();
        return app.ComposeFtpItemUrl(1);
    }
};

TEST_F(FtpItemCompose, SourceAddresses) {
    EXPECT_EQ(Url("ftp://h/d/", "/x"), "ftp://h/d/x");
    EXPECT_EQ(Url("ftp://h/d", "100% #1?.txt"), "ftp://h/d/100%25 %231%3F.txt");
    EXPECT_TRUE(app.targetValid);
    EXPECT_EQ(Url("ftp://h/d/", ""), "ftp://h/d/");
    EXPECT_FALSE(app.targetValid);
    EXPECT_EQ(app.targetError, "ファイル名が正しくありません");
    EXPECT_EQ(Url("", "x"), "/x") << "no directory selected";
    EXPECT_EQ(app.targetError, "/xがURLとして正しくありません");
}

TEST_F(FtpItemCompose, DestinationsAreCreatedOnlyWhenStorable) {
    app.settings.FtpListSaveSetting = 2;
    rows.rows = {{"ftp://127.0.0.1:21/pub/", "a.b.jpg", "1"}, {"ftp://h/d/", "bad\x01name", "1"}};
    const std::string first = app.ComposeFtpItemPath(1, out.path());
    EXPECT_EQ(first, out.path() + "/127_0_0_1/pub/a_b.jpg");
    EXPECT_TRUE(app.targetValid);
    EXPECT_TRUE(fs::is_directory(out.path() + "/127_0_0_1/pub"));
    WriteFile(first, "old");
    app.settings.SaveSetting = 2;
    EXPECT_EQ(app.ComposeFtpItemPath(1, out.path()), out.path() + "/127_0_0_1/pub/a_b(1).jpg");

    const std::string bad = app.ComposeFtpItemPath(2, out.path());
    EXPECT_FALSE(app.targetValid);
    EXPECT_EQ(app.targetError, bad + "がファイル名として正しくありません");
    EXPECT_FALSE(fs::exists(out.path() + "/h")) << "nothing is created for a name that cannot be stored";
}

// FTP-list runs against the loopback FTP server.
class FtpListRun : public ::testing::Test {
protected:
    TempDir root;
    TempDir sandbox; // holds the destination "dl" and a file that must stay untouched
    TestServer server = (MakeTree(), TestServer::StartFtp(root.path(), "--hostile-names"));
    COrdinexApp app;
    RecordingStatusView view;
    ScriptedPrompter prompter;
    CountingPump pump;
    FtpRowsStub rows;
    Job job;

    void SetUp() override {
        app.SetStatusView(&view);
        app.SetPrompter(&prompter);
        app.SetMessagePump(&pump);
        app.AttachFtpWindow({nullptr, nullptr, nullptr, &rows});
        job.folderBase = sandbox / "dl";
        WriteFile(sandbox / "canary.txt", "canary");
    }
    void MakeTree() {
        const std::string r = root.path();
        fs::create_directories(r + "/pub/sub");
        fs::create_directories(r + "/hostile/dir");
        WriteFile(r + "/pub/a.bin", "A");
        WriteFile(r + "/pub/b.c.bin", "BC");
        WriteFile(r + "/hostile/abs.txt", "abs");
        WriteFile(r + "/hostile/a\\..\\..\\win.txt", "win");
        WriteFile(r + "/hostile/ctl\x01name.txt", "ctl");
        fs::create_directories(r + "/odd");
        WriteFile(r + "/odd/ lead.txt", "lead");
        WriteFile(r + "/odd/  two.txt", "two");
        WriteFile(r + "/odd/rlo\u202Etxt.exe", "rlo");
    }
    // Every file below the sandbox, relative to it.
    std::vector<std::string> SandboxFiles() const {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(sandbox.path()))
            if (e.is_regular_file())
                files.push_back(fs::relative(e.path(), sandbox.path()).string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(FtpListRun, SelectedFilesAreFetchedInOrder) {
    const std::string dir = server.url("/pub/");
    rows.rows = {{dir, "a.bin", "1"}, {dir, "b.c.bin", "2"}};
    const auto summary = app.RunFtpList(job);
    EXPECT_EQ(summary.total, 2);
    EXPECT_EQ(summary.done, 2);
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(view.FileProgress(),
              (std::vector<std::string>{"0 / 2 Files", "1 / 2 Files", "1 / 2 Files", "2 / 2 Files"}));
    EXPECT_EQ(ReadFile(sandbox / "dl/a.bin"), "A");
    EXPECT_EQ(ReadFile(sandbox / "dl/b_c.bin"), "BC");
    EXPECT_EQ(view.Line("1007").front(), dir + "a.bin を");
    EXPECT_EQ(view.line1006, "全ファイルダウンロード完了");
}

TEST_F(FtpListRun, SelectedFoldersBringEveryFileBelowThem) {
    const std::string r = root.path();
    fs::create_directories(r + "/tree/one/two");
    WriteFile(r + "/tree/top.txt", "top");
    WriteFile(r + "/tree/one/mid.txt", "mid");
    WriteFile(r + "/tree/one/two/deep.txt", "deep");
    WriteFile(r + "/tree/one/skip.bin", "skip");
    fs::create_directory_symlink("..", r + "/tree/one/loop"); // entered, it would never end
    app.settings.FtpListSaveSetting = 2;
    app.settings.HttpTreeListExtensionOptionSetting[0] = 0;
    app.settings.HttpTreeListExtensionOptionSetting[1] = 1;
    app.settings.SetExtensionString(1, ".txt");
    rows.rows = {{server.url("/"), "tree", ""}, {server.url("/pub/"), "a.bin", "1"}};
    const auto summary = app.RunFtpList(job);
    EXPECT_EQ(summary.total, 4);
    EXPECT_EQ(summary.done, 4);
    EXPECT_EQ(SandboxFiles(), (std::vector<std::string>{
                                  "canary.txt", "dl/127_0_0_1/pub/a.bin", "dl/127_0_0_1/tree/one/mid.txt",
                                  "dl/127_0_0_1/tree/one/two/deep.txt", "dl/127_0_0_1/tree/top.txt"}))
        << "the list filter holds below the folder, the link is not followed";
    EXPECT_EQ(ReadFile(sandbox / "dl/127_0_0_1/tree/one/two/deep.txt"), "deep");
}

TEST_F(FtpListRun, AFolderWalkEndsAtItsDepthAndOnStop) {
    std::string path = root.path() + "/tall";
    for (int i = 0; i < COrdinexApp::kMaxFolderDepth + 3; ++i) {
        path += "/d";
        fs::create_directories(path);
        WriteFile(path + "/f.txt", std::to_string(i));
    }
    app.settings.FtpListSaveSetting = 2;
    rows.rows = {{server.url("/"), "tall", ""}};
    // The selected folder is the first level and holds no file itself.
    EXPECT_EQ(app.RunFtpList(job).total, COrdinexApp::kMaxFolderDepth - 1);

    pump.onPump = [&](int) { app.RequestStop(); };
    rows.rows = {{server.url("/"), "tall", ""}};
    EXPECT_FALSE(app.RunFtpList(job).started) << "stopped while listing: nothing is fetched";
}

TEST_F(FtpListRun, EachRowReachedShowsItsOutcome) {
    const std::string dir = server.url("/pub/");
    rows.rows = {{dir, "a.bin", "1"}, {dir, "gone.bin", "1"}, {dir, "b.c.bin", "2"}};
    const auto summary = app.RunFtpList(job);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(rows.outcomes, (std::vector<std::string>{"完了", "失敗", "完了"}));
}

TEST_F(FtpListRun, NothingSelectedStartsNothing) {
    rows.rows = {{server.url("/pub/"), "a.bin", "1", false}};
    EXPECT_FALSE(app.RunFtpList(job).started);
    EXPECT_TRUE(view.events.empty());
    rows.rows = {{server.url("/pub/"), "sub", ""}}; // an empty folder
    EXPECT_FALSE(app.RunFtpList(job).started);
    EXPECT_EQ(SandboxFiles(), std::vector<std::string>{"canary.txt"});
}

TEST_F(FtpListRun, ListedRowsAreFetchedByTheNamesTheServerListed) {
    RecordingFtpList listed;
    app.engine.SetFtpPanes(nullptr, &listed);
    ASSERT_TRUE(app.engine.ListFtpDirectory(kNoNode, server.url("/odd/"), false, true, true));
    for (const FtpEntry& e : listed.rows)
        rows.rows.push_back({server.url("/odd/"), e.name, e.sizeText});
    ASSERT_EQ(rows.rows.size(), 3u);
    const auto summary = app.RunFtpList(job);
    EXPECT_EQ(summary.done, 3) << "blanks at the front are part of a name";
    EXPECT_EQ(summary.failed, 0);
    std::vector<std::string> contents;
    for (const std::string& file : SandboxFiles())
        if (file != "canary.txt")
            contents.push_back(ReadFile(sandbox / file));
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"lead", "rlo", "two"}));
}

TEST_F(FtpListRun, HostileNamesStayInsideTheDestination) {
    // The rows are what the server lists, every one selected.
    RecordingFtpList listed;
    app.engine.SetFtpPanes(nullptr, &listed);
    ASSERT_TRUE(app.engine.ListFtpDirectory(kNoNode, server.url("/hostile/"), false, true, true));
    app.AttachFtpWindow({nullptr, nullptr, nullptr, &rows});
    for (const FtpEntry& e : listed.rows)
        rows.rows.push_back({server.url("/hostile/"), e.name, e.sizeText});
    ASSERT_GE(rows.rows.size(), 10u);

    for (int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        for (auto& r : rows.rows)
            r.selected = true;
        app.settings.FtpListSaveSetting = mode;
        prompter.asked.clear();
        const auto summary = app.RunFtpList(job);
        EXPECT_EQ(summary.processed, summary.total) << "every row was processed";
        const std::string tooLong = std::string(3000, 'x') + ".txtがファイル名として正しくありません";
        EXPECT_TRUE(std::any_of(prompter.asked.begin(), prompter.asked.end(), [&](const std::string& a) {
            return a.size() > tooLong.size() &&
                   a.compare(a.size() - tooLong.size(), tooLong.size(), tooLong) == 0;
        })) << "a name of 3,000 bytes cannot be stored";
    }
    for (const std::string& file : SandboxFiles())
        EXPECT_TRUE(file == "canary.txt" || file.rfind("dl/", 0) == 0) << file;
    EXPECT_EQ(ReadFile(sandbox / "canary.txt"), "canary");
    EXPECT_EQ(ReadFile(sandbox / "dl/abs.txt"), "abs");
    EXPECT_EQ(ReadFile(sandbox / "dl/a\\__\\__\\win.txt"), "win");
    EXPECT_EQ(ReadFile(sandbox / "dl/127_0_0_1/hostile/abs.txt"), "abs");
}

} // namespace
} // namespace ordinex::test

namespace ordinex::test {
namespace {
// Several files of an FTP list in flight at once, each on a control
// connection of its own: whole files, and the blocks in run order.
TEST_F(FtpListRun, ParallelFilesArriveWholeAndAreReportedInOrder) {
    TestServer slow = TestServer::StartFtp(root.path(), "--slow");
    std::vector<std::string> names;
    const std::string dir = slow.url("/many/");
    fs::create_directories(root / "many");
    for (int k = 1; k <= 6; ++k) {
        const std::string name = "f" + std::to_string(k) + ".bin";
        WriteFile(root / ("many/" + name), std::string(20000 + k, static_cast<char>('a' + k)));
        rows.rows.push_back({dir, name, std::to_string(20000 + k)});
        names.push_back(name);
    }
    app.settings.ParallelTransfersSetting = 3;
    const auto summary = app.RunFtpList(job);
    EXPECT_EQ(summary.done, 6);
    std::vector<std::string> shown;
    for (const auto& t : view.Line("1007"))
        if (!t.empty())
            shown.push_back(t);
    ASSERT_EQ(shown.size(), 6u);
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(ReadFile(sandbox / ("dl/" + names[k - 1])),
                  std::string(20000 + k, static_cast<char>('a' + k)));
        EXPECT_EQ(shown[k - 1], dir + names[k - 1] + " を");
    }
    EXPECT_EQ(app.engine.KeptConnections(), 0u) << "the run's end closes them all";
}
} // namespace
} // namespace ordinex::test
