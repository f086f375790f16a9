#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

void SetMtime(const std::string& path, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string UtcText(std::time_t when) {
    std::tm tm{};
    gmtime_r(&when, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &tm);
    return text;
}

class ListWithHook : public RecordingFtpList {
public:
    std::function<void()> afterInsert;
    void InsertRow(const FtpEntry& entry) override {
        RecordingFtpList::InsertRow(entry);
        if (afterInsert)
            afterInsert();
    }
};

class FtpListing : public ::testing::Test {
protected:
    TempDir root;
    std::time_t recent = std::time(nullptr) - 3600;
    TestServer server = (MakeTree(), TestServer::StartFtp(root.path()));
    RecordingHost host;
    RecordingFtpTree tree;
    ListWithHook list;
    CInternetDownloader engine{&host};

    FtpListing() {
        engine.SetFtpPanes(&tree, &list);
        engine.userName = "user";
        engine.password = "secret";
    }
    void MakeTree() {
        const std::string r = root.path();
        fs::create_directories(r + "/pub/img/deep");
        fs::create_directories(r + "/empty");
        fs::create_directories(r + "/many");
        WriteFile(r + "/pub/a.bin", std::string(5000, 'a'));
        WriteFile(r + "/pub/big.dat", std::string(1234567, 'b'));
        WriteFile(r + "/pub/zero.bin", "");
        WriteFile(r + "/pub/archive.tar.gz", "z");
        WriteFile(r + "/pub/noext", "n");
        WriteFile(r + "/pub/with space.TXT", "s");
        WriteFile(r + "/pub/img/pic.jpg", "jpeg");
        for (int i = 0; i < 40; ++i)
            WriteFile(r + "/many/f" + std::to_string(i) + ".txt", "x");
        SetMtime(r + "/pub/a.bin", 1614861240); // 2021-03-04 12:34 UTC
        for (const char* name : {"/pub/big.dat", "/pub/zero.bin", "/pub/img"})
            SetMtime(r + name, recent);
    }
};

TEST_F(FtpListing, ListsEntriesWithSizesTypesAndDates) {
    const TreeNodeId node = tree.InsertRoot("127.0.0.1", server.url("/"));
    tree.calls.clear();
    ASSERT_TRUE(engine.ListFtpDirectory(node, server.url("/pub"), true, true, true));

    ASSERT_EQ(list.rows.size(), 7u);
    const struct {
        const char* name;
        const char* size;
        const char* ext;
        bool dir;
    } expected[] = {
        {"a.bin", "5,000", "bin", false},
        {"big.dat", "1,234,567", "dat", false},
        {"zero.bin", "0", "bin", false},
        {"archive.tar.gz", "1", "gz", false},
        {"noext", "1", "", false},
        {"with space.TXT", "1", "TXT", false},
        {"img", "", "", true},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const FtpEntry* row = list.Find(e.name);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->sizeText, e.size);
        EXPECT_EQ(row->extension, e.ext);
        EXPECT_EQ(row->isDirectory, e.dir);
    }
    // An old file shows its year; a recent one its time, in this year or the last.
    EXPECT_EQ(list.Find("a.bin")->dateText, "2021/03/04 00:00");
    EXPECT_EQ(list.Find("big.dat")->dateText, UtcText(recent));
    EXPECT_EQ(list.Find("img")->dateText, UtcText(recent));
    EXPECT_EQ(tree.calls, std::vector<std::string>{"child:127.0.0.1/img"});
}

TEST_F(FtpListing, ReportsItsStepsAndTheDirectoryAddress) {
    const std::string address = server.url("/pub/");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, address, true, true, true));
    EXPECT_EQ(host.Of("tree"), std::vector<std::string>{address});
    EXPECT_EQ(
        host.Of("status"),
        (std::vector<std::string>{"インターネット･サービス･タイプ  FTP", "FTPセッションを開始",
                                  "FTP接続を確立", address + " のダウンロード完了", "FTPセッションを終了"}));
    EXPECT_EQ(list.clears, 1);
}

TEST_F(FtpListing, EmptyDirectorySucceedsWithNoRows) {
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/empty/"), true, true, true));
    EXPECT_TRUE(list.rows.empty());
    EXPECT_TRUE(tree.nodes.empty());
    EXPECT_EQ(host.Of("status").back(), "FTPセッションを終了");
}

TEST_F(FtpListing, FailuresKeepWhatTheListShowed) {
    const struct {
        const char* path;
        const char* password;
        const char* text;
        int clears;
    } cases[] = {
        {"/nodir/", "secret", "サーバー上のファイルまたはフォルダーにアクセスできません (550", 1},
        {"/pub/", "wrong", "ログインできませんでした (530", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        host.calls.clear();
        list.rows = {FtpEntry{"kept", "1", "", "", false}};
        list.clears = 0;
        engine.password = c.password;
        EXPECT_FALSE(engine.ListFtpDirectory(kNoNode, server.url(c.path), true, true, true));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(list.clears, c.clears);
        EXPECT_EQ(list.rows.size(), c.clears ? 0u : 1u);
    }
}

TEST_F(FtpListing, FilterDecidesTheRowsAndTheTreeTakesEveryDirectory) {
    host.settings.HttpTreeListExtensionOptionSetting[0] = 0;
    host.settings.HttpTreeListExtensionOptionSetting[1] = 1;
    host.settings.SetExtensionString(1, ".txt");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/pub/"), true, true, true));
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].name, "with space.TXT");
    EXPECT_EQ(tree.calls, std::vector<std::string>{"child:/img"});
}

TEST_F(FtpListing, WithoutClearingTheRowsAreAdded) {
    list.rows = {FtpEntry{"kept", "1", "", "", false}};
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/pub/img/"), false, true, false));
    EXPECT_EQ(list.clears, 0);
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].name, "kept");
    EXPECT_TRUE(tree.calls.empty());
}

TEST_F(FtpListing, OddLinesAreSkippedAndOddEntriesKeptWithTheirNames) {
    TestServer odd = TestServer::StartFtp(root.path(), "--hostile");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, odd.url("/pub/"), true, true, true)) << engine.errorText;
    std::vector<std::string> rows;
    for (const auto& r : list.rows)
        rows.push_back(r.name + "|" + r.sizeText + "|" + r.dateText);
    const std::string good = "good.txt|7|" + list.Find("good.txt")->dateText;
    EXPECT_EQ(list.Find("good.txt")->dateText.substr(4), "/12/08 17:00");
    // Lines that are no entry go; an entry whose size or date makes no sense
    // stays with "?" or no date; a name keeps its blanks and control characters.
    EXPECT_EQ(rows,
              (std::vector<std::string>{
                  "huge.bin|?|2021/03/04 00:00", "odd-year.bin|12|", "esc\x1b[31mred.txt|5|2021/03/04 00:00",
                  good, "sub dir||2020/01/01 00:00", "negative.bin|?|2021/03/04 00:00",
                  "two63.bin|?|2021/03/04 00:00", "max.bin|9,223,372,036,854,775,807|2021/03/04 00:00",
                  "feb30.bin|6|", "smarch.bin|8|", " lead.txt|3|2021/03/04 00:00",
                  "cr\rname.txt|4|2021/03/04 00:00", "rlo\u202Etxt.exe|9|2021/03/04 00:00",
                  " dos dir||2019/02/25 09:31", "dos.bin|?|2019/02/25 09:31"}));
    EXPECT_EQ(tree.calls, (std::vector<std::string>{"child:/sub dir", "child:/ dos dir"}));
}

TEST_F(FtpListing, MachineListingGivesExactTimesAndLinksAsWhatTheyPointTo) {
    fs::create_directory_symlink("img", root.path() + "/pub/to-img");
    fs::create_symlink("big.dat", root.path() + "/pub/to-big");
    TestServer mlsd = TestServer::StartFtp(root.path(), "--mlsd");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, mlsd.url("/pub/"), true, true, true)) << engine.errorText;
    EXPECT_EQ(list.Find("a.bin")->dateText, "2021/03/04 12:34") << "not 00:00: MLSD has the time";
    EXPECT_EQ(list.Find("to-img")->isDirectory, true);
    EXPECT_EQ(list.Find("to-big")->sizeText, "1,234,567");
    std::sort(tree.calls.begin(), tree.calls.end()); // in the server's order
    EXPECT_EQ(tree.calls, (std::vector<std::string>{"child:/img", "child:/to-img"}));
}

TEST_F(FtpListing, LinksOfAPlainListingAreLookedUp) {
    fs::create_directory_symlink("img", root.path() + "/pub/to-img");
    fs::create_symlink("big.dat", root.path() + "/pub/to-big");
    fs::create_symlink("nowhere", root.path() + "/pub/dangling");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/pub/"), true, true, true)) << engine.errorText;
    const FtpEntry* dir = list.Find("to-img");
    const FtpEntry* file = list.Find("to-big");
    const FtpEntry* broken = list.Find("dangling");
    ASSERT_TRUE(dir && file && broken);
    EXPECT_TRUE(dir->isDirectory && dir->isLink && dir->linkResolved);
    EXPECT_EQ(file->sizeText, "1,234,567") << "the target's size, not the link's";
    EXPECT_EQ(file->dateText, UtcText(recent)) << "the target's date";
    EXPECT_FALSE(file->isDirectory);
    EXPECT_TRUE(broken->isLink && !broken->linkResolved);
    EXPECT_EQ(broken->sizeText, "?");
    EXPECT_EQ(tree.calls, (std::vector<std::string>{"child:/img", "child:/to-img"}));
    // Entering the link lists its target.
    list.rows.clear();
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/pub/to-img/"), false, true, true));
    EXPECT_NE(list.Find("pic.jpg"), nullptr);
}

TEST_F(FtpListing, LinesNoParserReadsAreCountedInTheStatus) {
    TestServer odd = TestServer::StartFtp(root.path(), "--hostile");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, odd.url("/pub/"), true, true, true)) << engine.errorText;
    const auto status = host.Of("status");
    EXPECT_NE(std::find(status.begin(), status.end(), "一覧の 1 行は形式が分からないため読み飛ばしました"),
              status.end());
    EXPECT_EQ(status.back(), "FTPセッションを終了");
}

TEST_F(FtpListing, PassiveFirstActiveWhenRefusedAndActiveOnlyAsSet) {
    const struct {
        const char* option;
        int passive;
        bool listed;
    } cases[] = {
        {"--passive-only", 1, true},
        {"--active-only", 1, true}, // both passive commands refused: active
        {"--active-only", 0, true},
        {"--passive-only", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + std::to_string(c.passive));
        TestServer only = TestServer::StartFtp(root.path(), c.option);
        host.settings.FtpPassiveSetting = c.passive;
        list.rows.clear();
        EXPECT_EQ(engine.ListFtpDirectory(kNoNode, only.url("/pub/"), false, true, true), c.listed);
        if (c.listed)
            EXPECT_EQ(list.rows.size(), 7u);
        else
            EXPECT_EQ(
                engine.errorText.rfind("データ転送用の接続を確立できませんでした (550 Permission denied.", 0),
                0u)
                << engine.errorText;
    }
}

TEST_F(FtpListing, NamesInTheServersCharsetAreShownInUtf8) {
    fs::create_directories(root.path() + "/sjis");
    WriteFile(root.path() + "/sjis/\x8e\x91\x97\xbf.txt", "shiryou"); // 資料.txt in Shift_JIS
    host.settings.FtpNameCharsetSetting = "Shift_JIS";
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/sjis/"), false, true, true))
        << engine.errorText;
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].name, "\u8cc7\u6599.txt");
}

TEST_F(FtpListing, StopEndsTheListingWithSuccessAndKeepsTheRows) {
    list.afterInsert = [&] {
        if (list.rows.size() == 5)
            host.stop = true;
    };
    const std::string address = server.url("/many/");
    ASSERT_TRUE(engine.ListFtpDirectory(kNoNode, address, false, true, true));
    EXPECT_EQ(list.rows.size(), 5u);
    const auto status = host.Of("status");
    EXPECT_EQ(status[status.size() - 2], address + " のダウンロード完了");
    EXPECT_EQ(status.back(), "FTPセッションを終了");
}

// Counts the rows instead of keeping them.
class CountingFtpList : public IFtpListPane {
public:
    int64_t rows = 0;
    void DeleteAllRows() override { rows = 0; }
    void InsertRow(const FtpEntry&) override { ++rows; }
};

TEST_F(FtpListing, AListingThatNeverEndsEndsAtItsBoundAsAFailure) {
    for (const char* dir : {"endless", "endless-junk", "endless-line"})
        fs::create_directories(root / dir);
    CountingFtpList counted;
    engine.SetFtpPanes(&tree, &counted);
    engine.maxListingEntries = 30000;
    engine.maxListingBytes = 16 << 20;
    // As in a tree walk: a connection in the middle of an endless transfer is not kept.
    CInternetDownloader::Batch batch(engine);
    const struct {
        const char* dir;
        const char* text;
        int64_t rows;
    } cases[] = {
        {"endless", "一覧の項目数が 30,000 を超えたため、一覧の読み込みを中止しました", 30000},
        {"endless-junk", "一覧の大きさが 16 MB を超えたため、一覧の読み込みを中止しました", 0},
        {"endless-line", "一覧の大きさが 16 MB を超えたため、一覧の読み込みを中止しました", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        host.calls.clear();
        EXPECT_FALSE(
            engine.ListFtpDirectory(kNoNode, server.url("/" + std::string(c.dir) + "/"), false, true, true));
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.LastOf("transfer"), c.text);
        EXPECT_EQ(counted.rows, c.rows) << "what was listed stays";
        EXPECT_EQ(engine.KeptConnections(), 0u);
    }
    // Stop ends it at once, as a success.
    host.calls.clear();
    host.stopAfterPumps = host.pumps + 500;
    EXPECT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/endless/"), false, true, true));
    EXPECT_LT(counted.rows, 500);
    EXPECT_EQ(host.LastOf("status"), "FTPセッションを終了");
    // The listing after it starts afresh.
    host.stop = false;
    host.stopAfterPumps = -1;
    EXPECT_TRUE(engine.ListFtpDirectory(kNoNode, server.url("/pub/"), false, true, true));
    EXPECT_EQ(counted.rows, 7);
    EXPECT_EQ(engine.KeptConnections(), 1u);
}

TEST_F(FtpListing, TreeWalksDownToTheStartAddress) {
    const std::string start = server.url("/pub/img/");
    engine.sourceUrl = start;
    ASSERT_TRUE(engine.OpenFtpTree());
    EXPECT_EQ(engine.sourceUrl, start);
    EXPECT_EQ(tree.rootAddress, server.url("/")) << "node addresses keep the port";
    const std::vector<std::string> walk{"deleteAll",
                                        "root:127.0.0.1",
                                        "select:127.0.0.1",
                                        "child:127.0.0.1/pub",
                                        "select:127.0.0.1/pub",
                                        "child:127.0.0.1/pub/img",
                                        "select:127.0.0.1/pub/img",
                                        "child:127.0.0.1/pub/img/deep"};
    size_t at = 0;
    for (const auto& call : tree.calls)
        if (at < walk.size() && call == walk[at])
            ++at;
    EXPECT_EQ(at, walk.size()) << "missing: " << walk[at];
    // The walk lists the directories on the way into the tree only.
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_NE(list.Find("pic.jpg"), nullptr);
    EXPECT_NE(list.Find("deep"), nullptr);
    EXPECT_EQ(host.Of("tree"),
              (std::vector<std::string>{start, server.url("/"), server.url("/pub/"), start}));
}

TEST_F(FtpListing, TreeOfAHostListsTheRootWithoutAWalk) {
    engine.sourceUrl = server.url("");
    ASSERT_TRUE(engine.OpenFtpTree());
    EXPECT_EQ(tree.PathOf(tree.FindChildOfSelected("pub")), "127.0.0.1/pub");
    EXPECT_NE(list.Find("pub"), nullptr);
    EXPECT_EQ(host.Of("tree").size(), 2u);
}

TEST_F(FtpListing, TreeWalkStopsOnAMissingDirectory) {
    engine.sourceUrl = server.url("/nodir/sub/");
    EXPECT_FALSE(engine.OpenFtpTree());
    EXPECT_EQ(engine.sourceUrl, server.url("/nodir/sub/"));
    // The root was listed before the walk reached the missing directory.
    EXPECT_NE(std::find(tree.calls.begin(), tree.calls.end(), "child:127.0.0.1/pub"), tree.calls.end());
    EXPECT_EQ(engine.errorText.rfind("サーバー上のファイルまたはフォルダーにアクセスできません", 0), 0u);
}

TEST_F(FtpListing, StopDuringTheWalkListsTheStartUnderTheNodeReached) {
    host.stopAfterPumps = 1;
    engine.sourceUrl = server.url("/pub/img/");
    ASSERT_TRUE(engine.OpenFtpTree());
    EXPECT_EQ(tree.calls, (std::vector<std::string>{"deleteAll", "root:127.0.0.1", "select:127.0.0.1"}));
    EXPECT_TRUE(list.rows.empty());
}

TEST_F(FtpListing, UncrackableStartAddressFailsAtOnce) {
    engine.sourceUrl = "::";
    EXPECT_FALSE(engine.OpenFtpTree());
    EXPECT_EQ(engine.errorText, "インターネット･サービス･タイプが不明");
    EXPECT_TRUE(tree.nodes.empty());
}

TEST(LinkTree, ClearsThePanesAndFailsWithTheEngineTextWhenThePageCannotBeRead) {
    RecordingHost host;
    RecordingLinkTree tree;
    RecordingLinkList list;
    CInternetDownloader engine(&host);
    engine.SetLinkPanes(&tree, &list);
    tree.InsertRoot("old");
    list.InsertRow({"old", "1", "", "", false, ""});
    tree.clears = 0;
    engine.sourceUrl = "127.0.0.1:1/page.html";
    EXPECT_FALSE(engine.OpenLinkTree());
    EXPECT_EQ(tree.clears, 1);
    EXPECT_EQ(list.clears, 2); // opening the tree, then the page's own clearing
    EXPECT_TRUE(tree.Paths().empty());
    EXPECT_TRUE(list.Rows().empty());
    EXPECT_EQ(host.Of("tree"),
              (std::vector<std::string>{"http://127.0.0.1:1/page.html", "http://127.0.0.1:1/page.html"}));
    EXPECT_EQ(engine.errorText.rfind("サーバーに接続できませんでした", 0), 0u) << engine.errorText;
    EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
    EXPECT_EQ(engine.sourceUrl, "http://127.0.0.1:1/page.html");
}

} // namespace
} // namespace ordinex::test
