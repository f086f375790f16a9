// ordinex-cli ls and fetch against the loopback FTP server.
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> LineSet(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return {lines.begin(), lines.end()};
}

// Lines without their date column, which depends on the clock.
std::set<std::string> Undated(const std::string& text) {
    std::set<std::string> out;
    for (const std::string& line : LineSet(text))
        out.insert(line.substr(0, line.rfind('\t')));
    return out;
}

class CliFtp : public ::testing::Test {
protected:
    TempDir root;
    TempDir cwd;
    TestServer server = (MakeTree(), TestServer::StartFtp(root.path(), "--hostile-names"));

    void MakeTree() {
        const std::string r = root.path();
        for (const char* d : {"/pub/img/deep", "/pub/dir.zip", "/empty", "/many", "/hostile"})
            fs::create_directories(r + d);
        WriteFile(r + "/pub/a.b.jpg", "jpeg");
        WriteFile(r + "/pub/with space.TXT", "12");
        WriteFile(r + "/pub/日本語.txt", "");
        WriteFile(r + "/pub/big.dat", std::string(1234567, 'b'));
        WriteFile(r + "/pub/PHOTO.JPG", "123");
        WriteFile(r + "/pub/small.jpg", "12");
        WriteFile(r + "/pub/img/deep/x.png", "x");
        for (int i = 0; i < 500; ++i)
            WriteFile(r + "/many/f" + std::to_string(i) + ".bin", "x");
        WriteFile(r + "/hostile/ctl\x01name.txt", "ctl");
        WriteFile(r + "/hostile/rlo\u202Etxt.exe", "rlo");
        for (const char* d : {"/endless", "/endless-line"})
            fs::create_directories(r + d);
    }
    ProcessResult Ls(const std::string& path) {
        return RunProcess({ORDINEX_CLI_PATH, "ls", server.url(path)}, cwd.path());
    }
    ProcessResult Fetch(const std::string& job, const std::vector<std::string>& paths) {
        std::vector<std::string> argv{ORDINEX_CLI_PATH, "fetch", job};
        for (const auto& p : paths)
            argv.push_back(server.url(p));
        return RunProcess(argv, cwd.path());
    }
    std::string Job(const std::string& folderBase, const std::string& download) {
        const std::string path = cwd / "job.odx";
        WriteFile(path, "[UrlFolder]\nFolderBaseText=" + folderBase +
                            "\n[Program]\nReadProgramSettingByOpen=1\n[Download]\n" + download);
        return path;
    }
};

TEST_F(CliFtp, LsPrintsTheWindowsColumns) {
    const auto r = Ls("/pub");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Undated(r.out),
              (std::set<std::string>{"a.b.jpg\t4\tjpg", "with space.TXT\t2\tTXT", "日本語.txt\t0\ttxt",
                                     "big.dat\t1,234,567\tdat", "PHOTO.JPG\t3\tJPG", "small.jpg\t2\tjpg",
                                     "img\t\t", "dir.zip\t\tzip"}));
    for (const std::string& line : LineSet(r.out))
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;

    const auto many = Ls("/many/");
    ASSERT_EQ(many.exitCode, 0);
    EXPECT_EQ(LineSet(many.out).size(), 500u);
    const auto empty = Ls("/empty");
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "");
}

TEST_F(CliFtp, LsFollowsTheListFilterOfTheSettings) {
    // Rows .JPG, jpg and Jpg all match; sizes are minimums in KB (big.dat has 1,205.6 KB).
    const struct {
        const char* tool;
        std::set<std::string> names;
    } cases[] = {
        {"HttpTreeListExtensionOptionSetting0=0\nHttpTreeListExtensionOptionSetting1=1\n"
         "HttpTreeListExtensionOptionSetting1String=.JPG\nHttpTreeListFileSizeSetting1=1\n",
         {}},
        {"HttpTreeListExtensionOptionSetting0=0\nHttpTreeListExtensionOptionSetting4=1\n"
         "HttpTreeListExtensionOptionSetting4String=Jpg\n",
         {"a.b.jpg", "PHOTO.JPG", "small.jpg"}},
        {"HttpTreeListExtensionOptionSetting0=1\nHttpTreeListFileSizeSetting0=1205\n", {"big.dat"}},
        {"HttpTreeListExtensionOptionSetting0=1\nHttpTreeListFileSizeSetting0=1206\n", {}},
        {"HttpTreeListExtensionOptionSetting0=0\n", {}},
        {"HttpTreeListExtensionOptionSetting0=0\nHttpTreeListExtensionOptionSetting2=1\n"
         "HttpTreeListExtensionOptionSetting2String=zip\n",
         {"dir.zip"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        WriteFile(cwd / "Ordinex.ini", std::string("[Tool]\n") + c.tool);
        const auto r = Ls("/pub/");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::set<std::string> names;
        for (const std::string& line : LineSet(r.out))
            names.insert(line.substr(0, line.find('\t')));
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(CliFtp, LsTellsWhatALinkPointsTo) {
    fs::create_directories(root / "links");
    fs::create_directory_symlink("../pub/img", root / "links/to-dir");
    fs::create_symlink("../pub/big.dat", root / "links/to-file");
    fs::create_symlink("nowhere", root / "links/broken");
    const auto r = Ls("/links/");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Undated(r.out), (std::set<std::string>{"to-dir\t\tlink:dir", "to-file\t1,234,567\tlink:file",
                                                     "broken\t?\tlink"}));
}

TEST_F(CliFtp, NamesInShiftJisAreListedAndSavedInUtf8) {
    fs::create_directories(root / "sjis");
    WriteFile(root / "sjis/\x8e\x91\x97\xbf.txt", "shiryou"); // 資料.txt in Shift_JIS
    WriteFile(cwd / "Ordinex.ini", "[Download]\nFtpNameCharsetSetting=Shift_JIS\n");
    const auto r = Ls("/sjis/");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Undated(r.out), std::set<std::string>{"\u8cc7\u6599.txt\t7\ttxt"});

    const std::string job = Job(cwd / "dl", "FtpNameCharsetSetting=Shift_JIS\n");
    const auto fetched = Fetch(job, {"/sjis/%8E%91%97%BF.txt"});
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_EQ(ReadFile(cwd / "dl/\u8cc7\u6599.txt"), "shiryou") << "saved by its name, not as %8E%91...";
}

TEST_F(CliFtp, LsFailuresAndHostileNames) {
    const auto missing = Ls("/nodir/");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("550"), std::string::npos) << missing.err;
    const auto bad = RunProcess({ORDINEX_CLI_PATH, "ls", "::"}, cwd.path());
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_FALSE(bad.err.empty());
    EXPECT_EQ(RunProcess({ORDINEX_CLI_PATH, "ls"}, cwd.path()).exitCode, 2);

    const auto hostile = Ls("/hostile/");
    ASSERT_EQ(hostile.exitCode, 0) << hostile.err;
    for (char c : hostile.out)
        EXPECT_TRUE(c == '\t' || c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    const auto names = LineSet(hostile.out);
    const auto has = [&](const std::string& prefix) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    // Control characters and the invisible ones that turn a name around are written out.
    EXPECT_TRUE(has("ctl\\x01name.txt\t3\ttxt\t"));
    EXPECT_TRUE(has("esc\\x1B[2Jname.txt\t5\ttxt\t"));
    EXPECT_TRUE(has("rlo\\xE2\\x80\\xAEtxt.exe\t3\texe\t"));
    EXPECT_TRUE(has("../../escape.txt\t5\ttxt\t"));
    EXPECT_TRUE(has(std::string(3000, 'x') + ".txt\t5\t"));
}

TEST_F(CliFtp, LsOfAListingThatNeverEndsStopsAtItsBoundInLittleMemory) {
    // The rows would be many: none passes the filter, so that only the listing counts.
    WriteFile(cwd / "Ordinex.ini", "[Tool]\nHttpTreeListExtensionOptionSetting0=0\n");
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"/endless/", "一覧の項目数が 1,000,000 を超えたため、一覧の読み込みを中止しました\n"},
        {"/endless-line/", "一覧の大きさが 256 MB を超えたため、一覧の読み込みを中止しました\n"},
    };
    // Freed memory a sanitizer keeps in quarantine is no memory the program holds.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string quarantine =
        std::string("ASAN_OPTIONS=") + (asan ? asan + std::string(":") : "") + "quarantine_size_mb=16";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto r =
            RunProcess({ORDINEX_CLI_PATH, "ls", server.url(c.path)}, cwd.path(), {quarantine}, 120);
        EXPECT_FALSE(r.killed);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_LT(r.peakMemoryKb, 256 * 1024) << "memory stays flat while the listing streams";
    }
}

TEST_F(CliFtp, FetchRunsTheListOverTheAddresses) {
    const std::string job = Job(cwd / "dl", "FtpListSaveSetting=1\nFtpListSaveHowManyDirectorySetting=1\n");
    const auto ok = Fetch(job, {"/pub/a.b.jpg", "/pub/with%20space.TXT", "/pub/img/deep/x.png"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(ReadFile(cwd / "dl/pub/a_b.jpg"), "jpeg");
    EXPECT_EQ(ReadFile(cwd / "dl/pub/with space.TXT"), "12");
    EXPECT_EQ(ReadFile(cwd / "dl/deep/x.png"), "x");
    EXPECT_NE(ok.err.find("3 / 3 Files"), std::string::npos);

    const auto failed = Fetch(job, {"/pub/none.bin", "/pub/a.b.jpg"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("2 / 2 Files"), std::string::npos) << "the run goes on";

    EXPECT_EQ(RunProcess({ORDINEX_CLI_PATH, "fetch", job}, cwd.path()).exitCode, 2) << "no address";
    EXPECT_EQ(Fetch(cwd / "none.odx", {"/pub/a.b.jpg"}).exitCode, 2);
}

TEST_F(CliFtp, FetchOfHostileNamesWritesOnlyBelowTheDestination) {
    WriteFile(cwd / "outside.txt", "keep");
    const std::string job = Job(cwd / "box", "FtpListSaveSetting=2\nSaveSetting=1\n");
    const auto r = Fetch(job, {"/hostile/..%2F..%2Foutside.txt", "/hostile/ctl%01name.txt", "/hostile/%2E%2E",
                               "/hostile/x%2F..%2F..%2F..%2Foutside.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ctl\\x01name.txtがファイル名として正しくありません"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x01'), std::string::npos);
    EXPECT_EQ(ReadFile(cwd / "outside.txt"), "keep");
    for (const auto& e : fs::recursive_directory_iterator(cwd.path()))
        if (e.is_regular_file()) {
            const std::string rel = fs::relative(e.path(), cwd.path()).string();
            EXPECT_TRUE(rel == "outside.txt" || rel == "job.odx" || rel.rfind("box/", 0) == 0) << rel;
        }
}

} // namespace
} // namespace ordinex::test
