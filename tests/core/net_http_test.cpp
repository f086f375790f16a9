#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

// Byte i of every body the test server generates.
std::string Pattern(size_t count, size_t offset = 0) {
    std::string out(count, '\0');
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>((offset + i) % 251);
    return out;
}

// A port on 127.0.0.1 where nothing listens.
int ClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

class HttpDownload : public ::testing::Test {
protected:
    TempDir dir;
    TestServer server = TestServer::StartHttp();
    RecordingHost host;
    CInternetDownloader engine{&host};

    bool Download(const std::string& path, const std::string& name = "out.bin") {
        engine.sourceUrl = path.rfind("/", 0) == 0 ? server.url(path) : path;
        engine.destinationPath = dir / name;
        return engine.DownloadFile();
    }
    bool Saved(const std::string& name = "out.bin") { return fs::exists(dir / name); }
};

TEST_F(HttpDownload, ReportsEveryStepInOrderAndSavesTheBody) {
    ASSERT_TRUE(Download("/bytes/5000"));
    const std::string url = engine.sourceUrl;
    EXPECT_EQ(host.Of("status"),
              (std::vector<std::string>{"インターネット･サービス･タイプ  HTTP", "HTTPセッションを開始",
                                        "HTTP接続を確立", "HTTP接続を開く", "HTTP要求を送信",
                                        "URLが見つかりました(転送を開始)", url + " をダウンロード中",
                                        url + " のダウンロード完了", "HTTPセッションを終了"}));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(5000));
    EXPECT_EQ(host.LastOf("progress"), "5000 / 5000 byte");
    EXPECT_EQ(host.lastRange, 5000);
    EXPECT_EQ(host.lastPosition, 5000);
    EXPECT_TRUE(host.Of("transfer").empty());
    EXPECT_EQ(engine.errorText, "");
}

TEST_F(HttpDownload, SessionReportsComeInTheOrderOfTheConnection) {
    ASSERT_TRUE(Download("/bytes/10"));
    const std::string p = "<InternetSession::StatusCallback> ";
    const std::vector<std::string> expected{
        "status:HTTP接続を開く",
        "status2:" + p + "127.0.0.1 のIPアドレスを検索",
        "status2:" + p + "127.0.0.1 のIPアドレスの検索に成功",
        "status2:" + p + "127.0.0.1 のソケットアドレスへ接続中",
        "status2:" + p + "127.0.0.1 のソケットアドレスへ接続に成功",
        "status2:" + p + "サーバーに情報要求を送信",
        "status2:" + p + "サーバーへの情報要求の送信に成功",
        "status2:" + p + "サーバーに送信した要求に対する応答待ち",
        "status2:" + p + "サーバーに送信した要求に対する応答の受信に成功",
        "status:HTTP要求を送信",
        "status2:" + p + "サーバーへの接続を閉じます",
        "status2:" + p + "サーバーへの接続を正常に閉じました",
        "status2:" + p + "このハンドルは正常に終了",
        "status:HTTPセッションを終了",
    };
    // Every expected call appears, in this order, among the others.
    size_t at = 0;
    for (const auto& call : host.calls)
        if (at < expected.size() && call == expected[at])
            ++at;
    EXPECT_EQ(at, expected.size()) << "missing from: " << expected[at];
}

TEST_F(HttpDownload, SendsTheAgentNameAndTheFormHeader) {
    ASSERT_TRUE(Download("/echo"));
    const std::string request = ReadFile(dir / "out.bin");
    EXPECT_NE(request.find("\nUser-Agent: Ordinex\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\nContent-Type: application/x-www-form-urlencoded\n"), std::string::npos)
        << request;
}

TEST_F(HttpDownload, ErrorStatusesFailWithTheirTextAndCreateNoFile) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {400, "不適切な要求です(400)"},
        {401, "アクセスが拒否されました(401)"},
        {403, "要求エラー(403)"},
        {404, "要求されたURLが見つかりません(404)"},
        {405, "サーバーは要求された方式をサポートしていません(405)"},
        {410, "要求エラー(410)"},
        {500, "原因不明のサーバーエラー(500)"},
        {502, "サーバーエラー(502)"},
        {503, "サーバー容量の限界です(503)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        host.calls.clear();
        EXPECT_FALSE(Download("/status/" + std::to_string(c.code)));
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.Of("transfer"), std::vector<std::string>{c.text});
        EXPECT_FALSE(Saved());
        EXPECT_TRUE(host.Of("progress").empty());
    }
}

TEST_F(HttpDownload, NoContentSucceedsWithoutTheFoundLine) {
    EXPECT_TRUE(Download("/status/204", "204.bin"));
    const auto status = host.Of("status");
    EXPECT_EQ(std::count(status.begin(), status.end(), "URLが見つかりました(転送を開始)"), 0);
    EXPECT_EQ(status.back(), "HTTPセッションを終了");
    ASSERT_TRUE(Saved("204.bin"));
    EXPECT_EQ(ReadFile(dir / "204.bin"), "");
}

TEST_F(HttpDownload, ZeroByteRuleWithAndWithoutContentLength) {
    const struct {
        const char* path;
        int notSaveZero;
        bool saved;
        size_t bytes;
        const char* progress;
    } cases[] = {
        {"/empty", 1, false, 0, nullptr},
        {"/empty", 0, true, 0, "0 / 0 byte"},
        {"/nolength/0", 1, false, 0, nullptr},
        {"/nolength/0", 0, true, 0, "0 /  byte"},
        // A body without a Content-Length is kept when something arrives.
        {"/nolength/3000", 1, true, 3000, "3000 /  byte"},
        {"/nolength/3000", 0, true, 3000, "3000 /  byte"},
        {"/bytes/1", 1, true, 1, "1 / 1 byte"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " setting " + std::to_string(c.notSaveZero));
        host.calls.clear();
        host.settings.NotSave0ByteFileSetting = c.notSaveZero;
        const std::string name = "z" + std::to_string(n++);
        EXPECT_TRUE(Download(c.path, name));
        EXPECT_EQ(Saved(name), c.saved);
        const auto status = host.Of("status");
        EXPECT_EQ(status.back(), "HTTPセッションを終了");
        if (c.saved) {
            EXPECT_EQ(ReadFile(dir / name), Pattern(c.bytes));
            EXPECT_EQ(host.LastOf("progress"), c.progress);
            EXPECT_EQ(status[status.size() - 2], engine.sourceUrl + " のダウンロード完了");
        } else {
            EXPECT_TRUE(host.Of("progress").empty());
            EXPECT_EQ(std::count(status.begin(), status.end(), engine.sourceUrl + " をダウンロード中"), 0);
        }
    }
}

TEST_F(HttpDownload, LargeBodyArrivesWholeInShortRounds) {
    // Served from a folder, the data comes as fast as the loopback allows; the
    // engine still returns to the window loop every few megabytes.
    TempDir site;
    const std::string body = Pattern(48 << 20);
    WriteFile(site / "big.bin", body);
    TestServer fast = TestServer::StartHttp(site.path());
    ASSERT_TRUE(Download(fast.url("/big.bin")));
    EXPECT_TRUE(ReadFile(dir / "out.bin") == body);
    int64_t previous = 0, largestStep = 0;
    for (const auto& text : host.Of("progress")) {
        const int64_t bytes = std::stoll(text);
        largestStep = std::max(largestStep, bytes - previous);
        previous = bytes;
    }
    EXPECT_EQ(previous, int64_t{48} << 20);
    EXPECT_LE(largestStep, (int64_t{4} << 20) + (512 << 10));
}

TEST_F(HttpDownload, ReplacesAnExistingFile) {
    WriteFile(dir / "out.bin", std::string(10000, 'x'));
    ASSERT_TRUE(Download("/bytes/300"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(300));
}

TEST_F(HttpDownload, FollowsRedirectsOverPlainHttpOnly) {
    ASSERT_TRUE(Download("/redirect/3?to=/bytes/700"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(700));

    // With HTTPS off a redirect to it is refused (with it on, https_test).
    host.calls.clear();
    host.settings.UseHttpsSetting = 0;
    EXPECT_FALSE(Download("/redirect/1?to=https://127.0.0.1:1/x", "secure.bin"));
    EXPECT_EQ(engine.errorText.rfind("サポートしていないプロトコルです (", 0), 0u) << engine.errorText;
    EXPECT_FALSE(Saved("secure.bin"));

    EXPECT_FALSE(Download("/redirect/11?to=/bytes/5", "loop.bin"));
    EXPECT_EQ(engine.errorText.rfind("リダイレクトの回数が多すぎます (", 0), 0u) << engine.errorText;
    EXPECT_FALSE(Saved("loop.bin"));
}

TEST_F(HttpDownload, SendsTheUserNameAndPassword) {
    engine.userName = "user";
    engine.password = "secret";
    ASSERT_TRUE(Download("/auth/64"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(64));

    engine.password = "wrong";
    EXPECT_FALSE(Download("/auth/64", "denied.bin"));
    EXPECT_EQ(engine.errorText, "アクセスが拒否されました(401)");
}

// Leftovers beside the final name: the temporary file of a transfer that did not end well.
std::vector<std::string> PartFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().ends_with(".part"))
            names.push_back(e.path().filename().string());
    return names;
}

TEST_F(HttpDownload, StopInTheMiddleLeavesTheFinalNameAlone) {
    WriteFile(dir / "out.bin", "the old file");
    host.stopAfterPumps = 15; // the slow body takes seconds; this is a fraction of it
    EXPECT_FALSE(Download("/slow/200000"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), "the old file");
    EXPECT_EQ(engine.errorText, CInternetDownloader::kStoppedText);
    EXPECT_EQ(engine.fileOutcome, CInternetDownloader::FileOutcome::Stopped);
    EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
    EXPECT_EQ(host.LastOf("transfer"), CInternetDownloader::kStoppedText);
    // What arrived is kept under the temporary name only.
    ASSERT_EQ(PartFiles(dir.path()), std::vector<std::string>{".out.bin.part"});
    const std::string part = ReadFile(dir / ".out.bin.part");
    EXPECT_GT(part.size(), 0u);
    EXPECT_LT(part.size(), 200000u);
    EXPECT_EQ(part, Pattern(part.size()));

    // The next attempt takes the same temporary name, and once it succeeds
    // nothing is left over.
    host.stop = false;
    host.stopAfterPumps = -1;
    ASSERT_TRUE(Download("/bytes/3000"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(3000));
    EXPECT_TRUE(PartFiles(dir.path()).empty());
}

// Earlier versions left ".NAME.XXXXXX.part" files and gave up after twenty;
// a folder or a link may sit at the temporary name. None of it may keep a
// file from being fetched, and a success clears its own target's leftovers only.
TEST_F(HttpDownload, TemporaryNamesNeverRunOutAndSuccessClearsLeftovers) {
    WriteFile(dir / ".out.bin.part", "left by a stop");
    for (int i = 0; i < 25; ++i)
        WriteFile(dir / (".out.bin.old" + std::to_string(100 + i) + ".part"), "older");
    fs::create_directory(dir / ".out.bin.zzzzzz.part");
    WriteFile(dir / ".other.bin.abc123.part", "another target's");
    WriteFile(dir / ".out.bin.notes.part", "not a leftover's shape");
    ASSERT_TRUE(Download("/bytes/3000")) << engine.errorText;
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(3000));
    auto left = PartFiles(dir.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".other.bin.abc123.part", ".out.bin.notes.part",
                                              ".out.bin.zzzzzz.part"}));

    // Something that is not a leftover at the temporary name stays; the data goes beside it.
    fs::create_directory(dir / ".held.bin.part");
    fs::create_symlink(dir / "out.bin", dir / ".linked.bin.part");
    for (const char* name : {"held.bin", "linked.bin"}) {
        SCOPED_TRACE(name);
        for (int attempt = 0; attempt < 2; ++attempt)
            ASSERT_TRUE(Download("/bytes/77", name)) << engine.errorText;
        EXPECT_EQ(ReadFile(dir / name), Pattern(77));
    }
    EXPECT_TRUE(fs::is_directory(dir / ".held.bin.part"));
    EXPECT_TRUE(fs::is_symlink(dir / ".linked.bin.part"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(3000));
    EXPECT_EQ(PartFiles(dir.path()).size(), 5u);
}

TEST_F(HttpDownload, AReplacedFileKeepsOnlyItsPermissionBits) {
    const struct {
        fs::perms before;
        fs::perms after;
    } cases[] = {
        {fs::perms(0600), fs::perms(0600)},  {fs::perms(0640), fs::perms(0640)},
        {fs::perms(04755), fs::perms(0755)}, {fs::perms(02775), fs::perms(0775)},
        {fs::perms(01644), fs::perms(0644)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.before));
        WriteFile(dir / "out.bin", "old");
        fs::permissions(dir / "out.bin", c.before);
        ASSERT_EQ(fs::status(dir / "out.bin").permissions(), c.before);
        ASSERT_TRUE(Download("/bytes/10")) << engine.errorText;
        EXPECT_EQ(fs::status(dir / "out.bin").permissions(), c.after);
    }
    // A new file gets what the umask leaves, also when it was written under a unique name.
    const mode_t mask = umask(027);
    fs::create_directory(dir / ".fresh.bin.part");
    ASSERT_TRUE(Download("/bytes/10", "fresh.bin")) << engine.errorText;
    ASSERT_TRUE(Download("/bytes/10", "plain.bin")) << engine.errorText;
    umask(mask);
    EXPECT_EQ(fs::status(dir / "fresh.bin").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(dir / "plain.bin").permissions(), fs::perms(0640));
}

TEST_F(HttpDownload, LongestNamesStillGetATemporaryFile) {
    const std::string name = std::string(200, 'a') + "\xe7\x94\xbb" + std::string(52, 'b'); // 255 bytes
    ASSERT_TRUE(Download("/bytes/10", name)) << engine.errorText;
    EXPECT_EQ(ReadFile(dir / name), Pattern(10));
    EXPECT_TRUE(PartFiles(dir.path()).empty());
}

TEST_F(HttpDownload, StopWhileWaitingForTheServerCreatesNoFile) {
    host.stopAfterPumps = 3;
    EXPECT_FALSE(Download("/hang"));
    EXPECT_FALSE(Saved());
    EXPECT_TRUE(PartFiles(dir.path()).empty());
    EXPECT_EQ(engine.errorText, CInternetDownloader::kStoppedText);
    EXPECT_EQ(host.Of("status").back(), "ファイルのダウンロード中止");
}

TEST_F(HttpDownload, UnreachableServersFailWithTheirText) {
    const struct {
        std::string url;
        const char* text;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x", "サーバーに接続できませんでした ("},
        {"http://no-such-host.invalid/x", "サーバーの名前を解決できませんでした ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        host.calls.clear();
        EXPECT_FALSE(Download(c.url));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.LastOf("transfer"), engine.errorText);
        EXPECT_FALSE(Saved());
    }
}

// Answers that end early or are not the file: the download fails, the old
// file stays, and a part that arrived stays only under the temporary name.
TEST_F(HttpDownload, HostileAnswersNeverReachTheFinalName) {
    const struct {
        const char* path;
        const char* text;
        bool partKept;
    } cases[] = {
        {"/drop/100000", "サーバーとの接続が切断されました (", true},
        {"/short/100000", "サーバーとの接続が切断されました (", true},
        {"/chunkcut/100000", "サーバーとの接続が切断されました (", true},
        {"/nolocation", "転送先が示されていないリダイレクトです(302)", false},
        {"/choices", "複数の候補が示され、ファイルが特定できません(300)", false},
        {"/partial", "要求していない部分的な応答が返されました(206)", false},
        {"/status/304", "ファイルの内容が返されませんでした(304)", false},
        {"/informational", "サーバーとの接続が切断されました (", false},
        {"/closed", "サーバーとの接続が切断されました (", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        host.calls.clear();
        for (const auto& p : PartFiles(dir.path()))
            fs::remove(dir / p);
        WriteFile(dir / "out.bin", "the old file");
        EXPECT_FALSE(Download(c.path));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(engine.fileOutcome, CInternetDownloader::FileOutcome::Failed);
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(ReadFile(dir / "out.bin"), "the old file");
        ASSERT_EQ(PartFiles(dir.path()).size(), c.partKept ? 1u : 0u);
        if (c.partKept) {
            EXPECT_TRUE(ReadFile(dir / ".out.bin.part").substr(0, 1000) == Pattern(1000));
        }
    }
}

TEST_F(HttpDownload, TimeoutsEndSilentServersAndTheNextFileGoesOn) {
    host.settings.IdleTimeoutSetting = 1;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(Download("/hang"));
    EXPECT_EQ(engine.errorText, "サーバーから 1 秒間データが届かないため、転送を打ち切りました");
    EXPECT_FALSE(Download("/stall/100000"));
    EXPECT_EQ(engine.errorText, "サーバーから 1 秒間データが届かないため、転送を打ち切りました");
    EXPECT_FALSE(Saved());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    // The limit holds to within a second, whether data had flowed or not.
    for (const int seconds : {1, 2}) {
        host.settings.IdleTimeoutSetting = seconds;
        for (const char* path : {"/hang", "/stall/100000"}) {
            SCOPED_TRACE(std::to_string(seconds) + path);
            const auto begun = std::chrono::steady_clock::now();
            EXPECT_FALSE(Download(path));
            const auto took = std::chrono::steady_clock::now() - begun;
            EXPECT_EQ(engine.errorText, "サーバーから " + std::to_string(seconds) +
                                            " 秒間データが届かないため、転送を打ち切りました");
            // libcurl starts its idle clock from the time it read at the top of its round,
            // which can be a few microseconds before ours.
            EXPECT_GE(took, std::chrono::seconds(seconds) - std::chrono::milliseconds(10));
            EXPECT_LT(took, std::chrono::seconds(seconds) + std::chrono::milliseconds(1500));
        }
    }
    host.settings.IdleTimeoutSetting = 1;
    // A slow but steady body is no idle connection.
    ASSERT_TRUE(Download("/slow/60000"));
    EXPECT_EQ(ReadFile(dir / "out.bin"), Pattern(60000));

    // A server that accepts no connection: its backlog is full.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int f = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(f);
    }
    host.settings.ConnectTimeoutSetting = 1;
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/x";
    EXPECT_FALSE(Download(url));
    EXPECT_EQ(engine.errorText, "サーバーに接続できないまま 1 秒が過ぎたため、接続を打ち切りました");
    for (int f : fillers)
        close(f);
    close(listener);
}

TEST_F(HttpDownload, DestinationsThatCannotBeWritten) {
    fs::create_directory(dir / "folder");
    // Root may write anywhere it can chmod; /sys refuses even root.
    std::string readOnlyFolder = dir / "readonly";
    fs::create_directory(readOnlyFolder);
    fs::permissions(readOnlyFolder, fs::perms::owner_read | fs::perms::owner_exec);
    if (geteuid() == 0)
        readOnlyFolder = "/sys";
    const struct {
        std::string path;
        std::string text;
    } cases[] = {
        {dir / "missing/out.bin", dir / "missing/out.bin" + " には無効なﾊﾟｽが含まれています。"},
        {dir / "folder", dir / "folder" + " へのｱｸｾｽは拒否されました。"},
        {readOnlyFolder + "/out.bin", readOnlyFolder + "/out.bin へのｱｸｾｽは拒否されました。"},
        {"/dev/full", "/dev/full は通常のファイルではないため、保存先にできません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        host.calls.clear();
        engine.sourceUrl = server.url("/bytes/4000");
        engine.destinationPath = c.path;
        EXPECT_FALSE(engine.DownloadFile());
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.LastOf("transfer"), c.text);
    }
}

TEST_F(HttpDownload, AnErrorStatusWinsOverAnUnwritableDestination) {
    engine.sourceUrl = server.url("/status/404");
    engine.destinationPath = dir / "missing/out.bin";
    EXPECT_FALSE(engine.DownloadFile());
    EXPECT_EQ(engine.errorText, "要求されたURLが見つかりません(404)");
}

TEST_F(HttpDownload, RefusedAndUncrackableAddressesOpenNothing) {
    const struct {
        std::string url;
        std::vector<std::string> status;
        const char* text;
    } cases[] = {
        {"https://127.0.0.1/x",
         {"インターネット･サービス･タイプ  HTTPS  (サポートしていないインターネット･サービス･タイプ)",
          "ファイルのダウンロード中止"},
         kHttpsRefusedText},
        {"mailto:someone@example.com",
         {"インターネット･サービス･タイプ  MAILTO  (サポートしていないインターネット･サービス･タイプ)",
          "ファイルのダウンロード中止"},
         "サポートしていないインターネット･サービス･タイプ"},
        {"", {"ファイルのダウンロード中止"}, "インターネット･サービス･タイプが不明"},
        {"::", {"ファイルのダウンロード中止"}, "インターネット･サービス･タイプが不明"},
        {"a b", {"ファイルのダウンロード中止"}, "インターネット･サービス･タイプが不明"},
    };
    host.settings.UseHttpsSetting = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        host.calls.clear();
        engine.sourceUrl = c.url;
        engine.destinationPath = dir / "out.bin";
        EXPECT_FALSE(engine.DownloadFile());
        EXPECT_EQ(host.Of("status"), c.status);
        EXPECT_EQ(host.Of("transfer"), std::vector<std::string>{c.text});
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_TRUE(host.Of("status2").empty());
        EXPECT_FALSE(Saved());
    }
}

} // namespace
} // namespace ordinex::test
