#include "app/ordinex_app.h"
#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "recorded_app.h"
#include "recording_ui.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;
const std::string kCallback = "<InternetSession::StatusCallback> ";

long Count(const std::vector<std::string>& lines, const std::string& tail) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0;
    });
}

// "connection N request M" as the test server answers /conn and /closing: N.
std::string ConnectionOf(const std::string& path) {
    const std::string body = ReadFile(path);
    return body.substr(0, body.find(" request"));
}

// A numbered series of five files from the HTTP server, run as the program runs it.
class SeriesReuse : public ::testing::Test, protected RecordedApp {
protected:
    TempDir out;
    TestServer http = TestServer::StartHttp();
    Job job;

    void SetUp() override {
        job.urlBase = http.url("");
        job.folderBase = out.path();
        job.folderExpansion = "*.txt";
        job.ranges[0] = {1, "1", "6"};
    }
    std::vector<std::string> Connections() {
        std::vector<std::string> seen;
        for (int i = 1; i <= 6; ++i)
            seen.push_back(ConnectionOf(out / (std::to_string(i) + ".txt")));
        return seen;
    }
};

TEST_F(SeriesReuse, OneKeptConnectionCarriesTheSeriesAndTheRunClosesIt) {
    job.urlExpansion = "conn/*";
    const auto summary = app.RunSeries(job);
    ASSERT_TRUE(summary.Complete());
    const auto seen = Connections();
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 1u);
    // The session reports tell what really happened: one connection made, one closed.
    const auto reports = view.Line("1011");
    EXPECT_EQ(Count(reports, "のIPアドレスを検索"), 1);
    EXPECT_EQ(Count(reports, "のソケットアドレスへ接続に成功"), 1);
    EXPECT_EQ(Count(reports, "サーバーに情報要求を送信"), 6);
    EXPECT_EQ(Count(reports, "このハンドルは正常に終了"), 6) << "a session per file all the same";
    EXPECT_EQ(Count(reports, "サーバーへの接続を正常に閉じました"), 1);
    EXPECT_EQ(Count(view.Line("1006"), "HTTPセッションを終了"), 6);
    EXPECT_EQ(app.engine.KeptConnections(), 0u);
}

TEST_F(SeriesReuse, KeepConnectionOffOpensOneConnectionPerFile) {
    app.settings.KeepConnectionSetting = 0;
    job.urlExpansion = "conn/*";
    ASSERT_TRUE(app.RunSeries(job).Complete());
    const auto seen = Connections();
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 6u);
    const auto reports = view.Line("1011");
    EXPECT_EQ(Count(reports, "のIPアドレスを検索"), 6);
    EXPECT_EQ(Count(reports, "サーバーへの接続を正常に閉じました"), 6);
}

// The server ends kept connections behind the client's back: after every
// second answer while idle, or by dropping the third request unanswered.
TEST_F(SeriesReuse, AServerClosingKeptConnectionsCostsReconnectsNotFiles) {
    for (const char* how : {"idle", "race"}) {
        SCOPED_TRACE(how);
        fs::remove_all(out.path());
        fs::create_directories(out.path());
        job.urlExpansion = std::string("closing/") + how + "/*";
        const auto summary = app.RunSeries(job);
        EXPECT_TRUE(summary.Complete());
        EXPECT_TRUE(prompter.asked.empty());
        const auto seen = Connections();
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_NE(seen[1], seen[2]);
        EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 3u);
    }
}

TEST_F(SeriesReuse, StopClosesTheKeptConnection) {
    job.urlExpansion = "seq/3/*";
    job.ranges[0] = {1, "1", "5"};
    pump.onPump = [&](int) {
        if (view.line1007.find("/seq/3/3 を") != std::string::npos && view.byteBarShown)
            app.RequestStop();
    };
    const auto summary = app.RunSeries(job);
    EXPECT_EQ(summary.done, 2);
    EXPECT_EQ(summary.stopped, 3);
    EXPECT_EQ(app.engine.KeptConnections(), 0u);
    const auto reports = view.Line("1011");
    EXPECT_EQ(Count(reports, "のソケットアドレスへ接続に成功"), 1)
        << "the stopped file went over the kept one";
    EXPECT_EQ(Count(reports, "サーバーへの接続を正常に閉じました"), 1);
}

// A server that sends an answer nobody asked for after every second one,
// in the same write or a moment later: a kept connection must never hand it
// on as the next file. Each file is then right or failed, never another's bytes.
// With several files in flight the connection may go to the next file
// before the last one looked behind its answer: the same holds.
TEST_F(SeriesReuse, AnswersBeyondTheRequestedOneNeverBecomeAFile) {
    job.ranges[0] = {1, "1", "20"};
    for (const auto& [how, parallel] : {std::pair{"same", 1}, {"late", 1}, {"same", 4}, {"late", 4}}) {
        SCOPED_TRACE(std::string(how) + " -j " + std::to_string(parallel));
        app.settings.ParallelTransfersSetting = parallel;
        fs::remove_all(out.path());
        fs::create_directories(out.path());
        job.urlExpansion = std::string("smuggle/") + how + "/*";
        const auto summary = app.RunSeries(job);
        int right = 0;
        for (int i = 1; i <= 20; ++i) {
            const std::string path = out / (std::to_string(i) + ".txt");
            if (!fs::exists(path))
                continue;
            const std::string body = ReadFile(path);
            EXPECT_EQ(body.substr(0, body.find('.')), "file " + std::to_string(i)) << "file " << i;
            ++right;
        }
        EXPECT_EQ(summary.done, right);
        EXPECT_EQ(summary.done + summary.failed, 20);
        EXPECT_GE(right, 10) << "only the answers that came with a stray one may fail";
    }
}

// The engine on its own: a batch as a run or a walk opens one.
class EngineReuse : public ::testing::Test {
protected:
    TempDir out;
    RecordingHost host;
    CInternetDownloader engine{&host};

    bool Download(const std::string& url, const std::string& name) {
        engine.sourceUrl = url;
        engine.destinationPath = out / name;
        return engine.DownloadFile();
    }
};

// A stray answer waiting on an idle kept connection, or one that came with
// the last: the next file goes out on a new connection and gets its own.
TEST_F(EngineReuse, AConnectionWithAStrayAnswerIsNeverUsedAgain) {
    TestServer http = TestServer::StartHttp();
    for (const char* how : {"same", "late"}) {
        SCOPED_TRACE(how);
        CInternetDownloader::Batch batch(engine);
        const std::string base = http.url(std::string("/smuggle/") + how + "/");
        ASSERT_TRUE(Download(base + "1", "1"));
        // The second answer brings a stray one: it may fail, but is never another's.
        if (Download(base + "2", "2"))
            EXPECT_EQ(ReadFile(out / "2").substr(0, 6), "file 2");
        else
            EXPECT_EQ(
                engine.errorText,
                "サーバーが応答の後に要求していないデータを続けて送ってきたため、この応答は信用できません");
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        ASSERT_TRUE(Download(base + "3", "3")) << engine.errorText;
        EXPECT_EQ(ReadFile(out / "3").substr(0, 6), "file 3");
    }
}

TEST_F(EngineReuse, OtherCredentialsGetAConnectionOfTheirOwn) {
    TestServer http = TestServer::StartHttp();
    CInternetDownloader::Batch batch(engine);
    engine.userName = "user";
    engine.password = "secret";
    ASSERT_TRUE(Download(http.url("/conn/1"), "1"));
    ASSERT_TRUE(Download(http.url("/conn/2"), "2"));
    engine.password = "changed";
    ASSERT_TRUE(Download(http.url("/conn/3"), "3"));
    ASSERT_TRUE(Download(http.url("/conn/4"), "4"));
    EXPECT_EQ(ConnectionOf(out / "1"), ConnectionOf(out / "2"));
    EXPECT_NE(ConnectionOf(out / "2"), ConnectionOf(out / "3"));
    EXPECT_EQ(ConnectionOf(out / "3"), ConnectionOf(out / "4"));
}

// Probes read no body: a short one is let run out so that the next probe
// goes over the same connection; a long one ends its connection instead.
TEST_F(EngineReuse, ProbesShareAConnectionUnlessABodyIsLong) {
    TestServer http = TestServer::StartHttp();
    CInternetDownloader::Batch batch(engine);
    HttpProbeResult probe;
    for (const char* path : {"/bytes/100", "/status/404", "/bytes/200", "/bytes/5000000", "/bytes/300"})
        engine.QueryHttpInfo(http.url(path), probe);
    EXPECT_EQ(probe.sizeText, "300");
    batch.End();
    const auto reports = host.Of("status2");
    EXPECT_EQ(Count(reports, "のソケットアドレスへ接続に成功"), 2);
    EXPECT_EQ(Count(reports, "サーバーへの接続を正常に閉じました"), 2);
}

// FTP: the logged-in control connection serves files in several
// directories, a file the server refuses and listings; without keeping,
// every operation logs in.
TEST_F(EngineReuse, FtpFilesAndListingsShareOneLogin) {
    TempDir root;
    fs::create_directories(root / "a");
    fs::create_directories(root / "b");
    WriteFile(root / "a/1.bin", "one");
    WriteFile(root / "b/2.bin", "two");
    TestServer ftp = TestServer::StartFtp(root.path(), "--count-logins");
    RecordingFtpList list;
    engine.SetFtpPanes(nullptr, &list);
    int expected = 0;
    for (const int keep : {1, 0}) {
        SCOPED_TRACE(keep);
        host.settings.KeepConnectionSetting = keep;
        CInternetDownloader::Batch batch(engine);
        EXPECT_TRUE(Download(ftp.url("/a/1.bin"), "1.bin"));
        EXPECT_FALSE(Download(ftp.url("/a/missing.bin"), "x.bin"));
        EXPECT_TRUE(Download(ftp.url("/b/2.bin"), "2.bin"));
        EXPECT_TRUE(engine.ListFtpDirectory(kNoNode, ftp.url("/a/"), false, true, true));
        EXPECT_TRUE(Download(ftp.url("/a/1.bin"), "1b.bin"));
        batch.End();
        expected += keep ? 1 : 5;
        EXPECT_EQ(ReadFile(root / ".logins"), std::to_string(expected));
        EXPECT_EQ(ReadFile(out / "2.bin"), "two");
        ASSERT_EQ(list.rows.size(), 1u);
        EXPECT_EQ(engine.KeptConnections(), 0u);
    }
    // On the kept connection the file after the first logs in no more:
    // its session shows "FTP接続を確立" without connecting.
    const auto status = host.Of("status");
    EXPECT_EQ(Count(status, "FTP接続を確立"), 10);

    // A tree walk lists directory after directory on one login.
    host.settings.KeepConnectionSetting = 1;
    fs::create_directories(root / "a/b/c");
    engine.sourceUrl = ftp.url("/a/b/c/");
    EXPECT_TRUE(engine.OpenFtpTree());
    EXPECT_EQ(ReadFile(root / ".logins"), std::to_string(expected + 1));
}

TEST_F(EngineReuse, FtpServerEndingAnIdleKeptConnection) {
    TempDir root;
    WriteFile(root / "1.bin", "one");
    WriteFile(root / "2.bin", "two");
    TestServer ftp = TestServer::StartFtp(root.path(), "--count-logins --idle=0.5");
    CInternetDownloader::Batch batch(engine);
    ASSERT_TRUE(Download(ftp.url("/1.bin"), "1.bin"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_TRUE(Download(ftp.url("/2.bin"), "2.bin")) << engine.errorText;
    EXPECT_EQ(ReadFile(out / "2.bin"), "two");
    EXPECT_EQ(ReadFile(root / ".logins"), "2");
}

} // namespace
} // namespace ordinex::test
