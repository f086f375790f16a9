// ordinex-cli runs against hostile servers and a hostile file system: the
// exit status tells the truth and the bytes on disk stay sound.
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/mount.h>

using namespace ordinex::test;
namespace fs = std::filesystem;

namespace {

class CliSafety : public ::testing::Test {
protected:
    TempDir out;
    TestServer http = TestServer::StartHttp();

    // Files 1..count of urlBase + "*", saved as out/dl/fK.bin; download holds
    // keys of section "Download" that the job brings along.
    std::string Job(const std::string& urlBase, int count, const std::string& download = "") {
        const std::string path = out / "job.odx";
        WriteFile(
            path,
            "[UrlFolder]\nUrlBaseText=" + urlBase + "\nUrlExpansionText=*\nFolderBaseText=" + out.path() +
                "/dl\nFolderExpansionText=f*.bin\n[Ordinseq]\nWildCard1Check=1\nWildCard1Start=1\n"
                "WildCard1End=" +
                std::to_string(count) + "\n[Program]\nReadProgramSettingByOpen=1\n[Download]\n" + download);
        return path;
    }
    // Runs "ordinex-cli run JOB" behind the shell words given (a ulimit, a timeout).
    ProcessResult Run(const std::string& job, const std::string& before = "exec") {
        return Shell(before + " \"$0\" run \"$1\"", job);
    }
    // A shell script with the program as $0 and the job as $1.
    ProcessResult Shell(const std::string& script, const std::string& job) {
        return RunProcess({"/bin/bash", "-c", script, ORDINEX_CLI_PATH, job}, out.path());
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        if (fs::exists(out / "dl"))
            for (const auto& e : fs::directory_iterator(out / "dl"))
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Ctrl+C in the first, a middle or the last file: exit 1, the stopped file
// is not under its name, and the end text gives the counts.
TEST_F(CliSafety, StopInAnyFileExitsOne) {
    const struct {
        int slowFile;
        std::vector<std::string> files;
        const char* summary;
    } cases[] = {
        {1,
         {".f1.bin.part", ".f1.bin.part.resume"},
         "ダウンロード終了: 完了 0、失敗 0、スキップ 0、中止 3 (全 3 ファイル)"},
        {2,
         {".f2.bin.part", ".f2.bin.part.resume", "f1.bin"},
         "ダウンロード終了: 完了 1、失敗 0、スキップ 0、中止 2 (全 3 ファイル)"},
        {3,
         {".f3.bin.part", ".f3.bin.part.resume", "f1.bin", "f2.bin"},
         "ダウンロード終了: 完了 2、失敗 0、スキップ 0、中止 1 (全 3 ファイル)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slowFile);
        fs::remove_all(out / "dl");
        // One SIGINT, as one Ctrl+C sends, a second after the start.
        const auto r = Shell("\"$0\" run \"$1\" & pid=$!; sleep 1; kill -INT $pid; wait $pid",
                             Job(http.url("/seq/" + std::to_string(c.slowFile) + "/"), 3));
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(c.summary), std::string::npos) << r.err;
        EXPECT_EQ(Listing(), c.files);
    }
}

// Lines are written in blocks, but a file that takes long does not hold back
// the lines of the files before it.
TEST_F(CliSafety, LinesOfDoneFilesShowWhileALongOneRuns) {
    const auto r = Shell(
        "\"$0\" run \"$1\" 2>progress.txt & pid=$!; sleep 1; cat progress.txt; kill -INT $pid; wait $pid",
        Job(http.url("/seq/3/"), 3));
    EXPECT_NE(r.out.find("2 / 3 Files"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("をダウンロード中"), std::string::npos) << r.out;
}

TEST_F(CliSafety, SilentServerFailsAfterTheIdleTimeAndTheRunGoesOn) {
    const auto r = Run(Job(http.url("/hang?"), 2, "IdleTimeoutSetting=1\n"), "timeout 30");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("サーバーから 1 秒間データが届かないため、転送を打ち切りました"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("ダウンロード終了: 完了 0、失敗 2、スキップ 0、中止 0 (全 2 ファイル)"),
              std::string::npos);
    EXPECT_TRUE(Listing().empty());
}

// A file-size limit stands in for a full disk: the write fails with EFBIG
// instead of the signal killing the program, and nothing is left behind.
TEST_F(CliSafety, FileSizeLimitReportsAFullDiskAndLeavesNothing) {
    const auto r = Run(Job(http.url("/bytes/20000"), 2), "ulimit -f 8; exec");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find(out / "dl/f1.bin へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。"), std::string::npos)
        << r.err;
    EXPECT_TRUE(Listing().empty());
}

// A really full disk, where the machine lets the test mount a small tmpfs:
// the old file stays whole and no partial file takes up the space.
TEST_F(CliSafety, FullDiskKeepsTheOldFile) {
    fs::create_directories(out / "dl");
    if (mount("tmpfs", (out / "dl").c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    WriteFile(out / "dl/f1.bin", "the old file");
    const auto r = Run(Job(http.url("/bytes/300000"), 1, "SaveSetting=1\n"));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find(out / "dl/f1.bin へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(out / "dl/f1.bin"), "the old file");
    EXPECT_EQ(Listing(), std::vector<std::string>{"f1.bin"});
    umount((out / "dl").c_str());
}

TEST_F(CliSafety, PlantedLinksAreReplacedNeverFollowed) {
    fs::create_directories(out / "dl");
    WriteFile(out / "precious", "precious");
    fs::create_symlink(out / "precious", out / "dl/f1.bin");
    fs::create_symlink(out / "precious", out / "dl/.f2.bin.part");
    const auto r = Run(Job(http.url("/bytes/1"), 2, "SaveSetting=1\n"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(out / "precious"), "precious");
    EXPECT_FALSE(fs::is_symlink(out / "dl/f1.bin"));
    EXPECT_EQ(fs::file_size(out / "dl/f1.bin"), 1u);
    EXPECT_EQ(fs::file_size(out / "dl/f2.bin"), 1u);
    EXPECT_TRUE(fs::is_symlink(out / "dl/.f2.bin.part"))
        << "an unknown file at the temporary name is left alone";
}

TEST_F(CliSafety, ControlCharactersFromServersNeverReachTheTerminal) {
    TempDir ftpRoot;
    TestServer ftp = TestServer::StartFtp(ftpRoot.path(), "--hostile");
    const auto r = Run(Job(ftp.url("/missing"), 1));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("550 ?[2J?]0;owned?"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.err.find('\x07'), std::string::npos);
}

TEST_F(CliSafety, ListToAFullDeviceSaysWhy) {
    const auto r = Shell("exec \"$0\" list \"$1\" > /dev/full", Job("http://user:pw@h/", 3));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "一覧を標準出力に書き込めませんでした: ディスクがいっぱいです\n");
    const auto listed = RunProcess({ORDINEX_CLI_PATH, "list", out / "job.odx"}, out.path());
    EXPECT_EQ(listed.out.substr(0, listed.out.find('\t')), "http://user:****@h/1");
}

} // namespace
