// ordinex-cli ls on web pages, against the link site of the loopback HTTP server.
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ordinex::test {
namespace {

class CliLink : public ::testing::Test {
protected:
    TempDir cwd;
    TestServer server = TestServer::StartHttp();
    const std::string site = "127.0.0.1:" + std::to_string(server.port()) + "/site/";

    ProcessResult Ls(const std::string& url) { return RunProcess({ORDINEX_CLI_PATH, "ls", url}, cwd.path()); }
};

TEST_F(CliLink, PrintsTheRowsOfAPageAndThoseBelowItAsDeepAsTheSettingsSay) {
    struct Case {
        const char* tool;
        std::vector<std::string> lines;
    };
    const std::string f0 = site + "d/f0.bin\t1,008\tapplication/octet-stream\t2021/03/04 12:34";
    const std::string p1a = site + "d/1a.html\t104\ttext/html\t";
    const std::string p1b = site + "d/1b.html\t134\ttext/html\t";
    const Case cases[] = {
        {"", {p1a, p1b, f0}},
        {"HttpListNextChoseSetting=1\nHttpListNextChoseAddListSetting=1\n",
         {p1a, p1b, f0, site + "d/2a.html\t132\ttext/html\t",
          site + "d/f1a.bin\t1,009\tapplication/octet-stream\t2021/03/04 12:34",
          site + "d/f1b.bin\t1,009\tapplication/octet-stream\t2021/03/04 12:34"}},
        {"HttpTreeListExtensionOptionSetting0=0\nHttpTreeListExtensionOptionSetting1=1\n"
         "HttpTreeListExtensionOptionSetting1String=bin\n",
         {f0}},
    };
    for (const auto& c : cases) {
        WriteFile(cwd / "Ordinex.ini", std::string("[Tool]\n") + c.tool);
        const ProcessResult r = Ls("http://" + site + "d/0.html");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Lines(r.out), c.lines) << c.tool;
    }
}

TEST_F(CliLink, ExitStatusesAndNoRawControlCharacters) {
    ProcessResult r = Ls("http://" + site + "missing.html");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "要求されたURLが見つかりません(404)\n");
    EXPECT_TRUE(r.out.empty());

    r = Ls("http://");
    EXPECT_EQ(r.exitCode, 2);

    // A page below the first that fails is told, named, counted at the end
    // and makes the status 1.
    WriteFile(cwd / "Ordinex.ini", "[Tool]\nHttpListNextChoseSetting=1\n");
    r = Ls("http://" + site + "fails.html");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ワーニング: http://" + site +
                         "once.html を読み込めませんでした: 原因不明のサーバーエラー(500)\n"
                         "リンク一覧表示終了: 読み込めなかったページ 1 件\n");
    EXPECT_EQ(Lines(r.out), std::vector<std::string>{site + "once.html\t96\ttext/html\t"});

    // A page read only up to the bound is said to be, and leaves the list incomplete.
    WriteFile(cwd / "Ordinex.ini", "");
    r = Ls("http://" + site + "huge?mb=40");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ワーニング: http://" + site +
                         "huge?mb=40 は 32 MB を超えるため、先頭の部分からリンクを抽出します\n"
                         "リンク一覧表示終了: 32 MB を超えて先頭の部分だけを読んだページ 1 件\n");
    EXPECT_GT(Lines(r.out).size(), 20u);

    WriteFile(cwd / "Ordinex.ini", "");
    r = Ls("http://" + site + "hostile");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 5u);
    for (char c : r.out)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') << static_cast<int>(c);
}

TEST_F(CliLink, FetchTakesWebAddressesAsLinkRows) {
    const std::string job = cwd / "job.odx";
    const auto fetch = [&](const std::string& download, const std::vector<std::string>& paths) {
        WriteFile(job, "[UrlFolder]\nFolderBaseText=" + (cwd / "dl") +
                           "\n[Program]\nReadProgramSettingByOpen=1\n[Download]\n" + download);
        std::vector<std::string> argv{ORDINEX_CLI_PATH, "fetch", job};
        for (const auto& p : paths)
            argv.push_back("http://" + site + p);
        return RunProcess(argv, cwd.path());
    };
    // The server answers any *.bin or *.png under /site/ with 1,000 bytes + one per character of the name.
    ProcessResult r = fetch("HttpListSaveSetting=1\nHttpListSaveHowManyDirectorySetting=1\n",
                            {"img/a.b.png?v=2", "sub/%E8%B3%87%E6%96%99.bin", "nolength.bin"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("3 / 3 Files"), std::string::npos);
    EXPECT_EQ(ReadFile(cwd / "dl/img/a_b.png"), std::string(1011, 'f')) << "the query names no file";
    EXPECT_EQ(ReadFile(cwd / "dl/sub/資料.bin"), std::string(1010, 'f'));
    EXPECT_EQ(ReadFile(cwd / "dl/site/nolength.bin"), std::string(100, 'x'));

    // A missing file fails it and the run goes on; ".." never leaves the destination.
    WriteFile(cwd / "evil.bin", "keep");
    r = fetch("HttpListSaveSetting=2\nSaveSetting=1\n",
              {"missing.bin", "%2E%2E/%2E%2E/%2e%2e/evil.bin", "../../evil.bin"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("3 / 3 Files"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("要求されたURLが見つかりません(404)"), std::string::npos);
    EXPECT_EQ(ReadFile(cwd / "evil.bin"), "keep");
    EXPECT_EQ(ReadFile(cwd / "dl/127_0_0_1/site/%2E%2E/%2E%2E/%2e%2e/evil.bin").size(), 1017u)
        << "../../../evil.bin";
    for (const auto& e : std::filesystem::recursive_directory_iterator(cwd.path()))
        if (e.is_regular_file()) {
            const std::string rel = std::filesystem::relative(e.path(), cwd.path()).string();
            EXPECT_TRUE(rel == "evil.bin" || rel == "job.odx" || rel.rfind("dl/", 0) == 0) << rel;
        }
}

} // namespace
} // namespace ordinex::test
