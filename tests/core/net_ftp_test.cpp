#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(size_t count) {
    std::string out(count, '\0');
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>(i * 7 % 256);
    return out;
}

// A server tree: pub/a.bin, pub/img/, empty/, zero.bin, locked/x.bin (unreadable).
void MakeTree(const std::string& root) {
    fs::create_directories(root + "/pub/img");
    fs::create_directories(root + "/empty");
    fs::create_directories(root + "/locked");
    WriteFile(root + "/pub/a.bin", Bytes(5000));
    WriteFile(root + "/zero.bin", "");
    WriteFile(root + "/locked/x.bin", Bytes(100));
    WriteFile(root + "/big.bin", Bytes(4 << 20));
}

// Every case once as a lone operation, and once inside a batch whose
// connections are kept (where the file is retrieved without a lookup).
class FtpDownload : public ::testing::TestWithParam<bool> {
protected:
    TempDir root;
    TempDir out;
    TestServer server = (MakeTree(root.path()), TestServer::StartFtp(root.path()));
    RecordingHost host;
    CInternetDownloader engine{&host};

    FtpDownload() {
        engine.userName = "user";
        engine.password = "secret";
        if (Keeping())
            engine.BeginBatch();
    }
    static bool Keeping() { return GetParam(); }
    bool Download(const std::string& path, const std::string& name = "out.bin") {
        engine.sourceUrl = path.rfind("/", 0) == 0 ? server.url(path) : path;
        engine.destinationPath = out / name;
        return engine.DownloadFile();
    }
    bool Saved(const std::string& name = "out.bin") { return fs::exists(out / name); }
    bool StatusHas(const std::string& text) {
        const auto s = host.Of("status");
        return std::find(s.begin(), s.end(), text) != s.end();
    }
};

TEST_P(FtpDownload, ReportsEveryStepInOrderAndSavesTheFile) {
    ASSERT_TRUE(Download("/pub/a.bin"));
    const std::string url = engine.sourceUrl;
    EXPECT_EQ(host.Of("status"),
              (std::vector<std::string>{"インターネット･サービス･タイプ  FTP", "FTPセッションを開始",
                                        "FTP接続を確立", url + " をダウンロード中",
                                        url + " のダウンロード完了", "FTPセッションを終了"}));
    EXPECT_EQ(ReadFile(out / "out.bin"), Bytes(5000));
    EXPECT_EQ(host.LastOf("progress"), "5000 / 5000 byte");
    EXPECT_EQ(host.lastRange, 5000);
    EXPECT_EQ(engine.errorText, "");
}

TEST_P(FtpDownload, ConnectionReportsComeBeforeTheLogin) {
    ASSERT_TRUE(Download("/pub/a.bin"));
    const std::string p = "status2:<InternetSession::StatusCallback> ";
    std::vector<std::string> expected{
        "status:FTPセッションを開始",
        p + "127.0.0.1 のIPアドレスを検索",
        p + "127.0.0.1 のソケットアドレスへ接続中",
        p + "127.0.0.1 のソケットアドレスへ接続に成功",
        "status:FTP接続を確立",
        "status:" + engine.sourceUrl + " をダウンロード中",
        p + "サーバーへの接続を閉じます",
        p + "サーバーへの接続を正常に閉じました",
        "status:" + engine.sourceUrl + " のダウンロード完了",
        p + "このハンドルは正常に終了",
        "status:FTPセッションを終了",
    };
    // A kept connection stays open after the file.
    if (Keeping())
        expected.erase(expected.begin() + 6, expected.begin() + 8);
    size_t at = 0;
    for (const auto& call : host.calls)
        if (at < expected.size() && call == expected[at])
            ++at;
    EXPECT_EQ(at, expected.size()) << "missing from: " << expected[at];
}

TEST_P(FtpDownload, AnonymousWithoutUserName) {
    engine.userName.clear();
    engine.password.clear();
    ASSERT_TRUE(Download("/pub/a.bin"));
    EXPECT_EQ(ReadFile(out / "out.bin"), Bytes(5000));
}

TEST_P(FtpDownload, BareHostAndPathIsTakenAsFtp) {
    ASSERT_TRUE(Download("127.0.0.1:" + std::to_string(server.port()) + "/pub/a.bin"));
    EXPECT_EQ(engine.sourceUrl, server.url("/pub/a.bin"));
    EXPECT_EQ(host.Of("status").front(), "インターネット･サービス･タイプ  FTP");
    EXPECT_EQ(ReadFile(out / "out.bin"), Bytes(5000));
}

TEST_P(FtpDownload, ZeroByteFileFollowsTheSetting) {
    host.settings.NotSave0ByteFileSetting = 0;
    ASSERT_TRUE(Download("/zero.bin", "kept.bin"));
    ASSERT_TRUE(Saved("kept.bin"));
    EXPECT_EQ(ReadFile(out / "kept.bin"), "");
    EXPECT_EQ(host.LastOf("progress"), "0 / 0 byte");

    host.calls.clear();
    host.settings.NotSave0ByteFileSetting = 1;
    ASSERT_TRUE(Download("/zero.bin", "skipped.bin"));
    EXPECT_FALSE(Saved("skipped.bin"));
    EXPECT_FALSE(StatusHas(engine.sourceUrl + " をダウンロード中"));
    EXPECT_EQ(host.Of("status").back(), "FTPセッションを終了");
}

TEST_P(FtpDownload, FailuresBeforeTheTransferCreateNoFile) {
    const struct {
        const char* path;
        const char* password;
        const char* text;
    } cases[] = {
        {"/pub/a.bin", "wrong", "ログインできませんでした (530"},
        {"/pub/missing.bin", "secret", "サーバー上にファイルが見つかりません (550"},
        {"/nodir/a.bin", "secret", "サーバー上のファイルまたはフォルダーにアクセスできません (550"},
        {"/pub/img/", "secret", "サーバー上にファイルが見つかりません ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        host.calls.clear();
        engine.password = c.password;
        EXPECT_FALSE(Download(c.path));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.LastOf("transfer"), engine.errorText);
        EXPECT_FALSE(StatusHas("FTPセッションを終了"));
        EXPECT_FALSE(Saved());
    }
}

TEST_P(FtpDownload, LoginFailureNeverReportsTheConnection) {
    engine.password = "wrong";
    EXPECT_FALSE(Download("/pub/a.bin"));
    EXPECT_FALSE(StatusHas("FTP接続を確立"));
}

TEST_P(FtpDownload, ListedButUnreadableFileLeavesNoFile) {
    EXPECT_FALSE(Download("/locked/x.bin"));
    EXPECT_EQ(engine.errorText.rfind("サーバー上にファイルが見つかりません (550 Not enough privileges.", 0),
              0u)
        << engine.errorText;
    // After a lookup the local file is opened before the server refuses the
    // data; on a kept connection the refusal comes first.
    EXPECT_EQ(StatusHas(engine.sourceUrl + " をダウンロード中"), !Keeping());
    EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
    EXPECT_FALSE(Saved());
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), {}), 0) << "no temporary file either";
}

// A server that announces one size and sends another: the file is not
// saved, whichever way the size is wrong, and the refusal text is tamed.
TEST_P(FtpDownload, WrongSizeAndHostileRepliesFail) {
    WriteFile(root / "pub/data.big", Bytes(3000));
    WriteFile(root / "pub/data.small", Bytes(3000));
    TestServer liar = TestServer::StartFtp(root.path(), "--hostile");
    const struct {
        const char* path;
        const char* text;
    } cases[] = {
        {"/pub/data.big", "サーバーが示したサイズ (4000 byte) と受信したサイズ (3000 byte) が一致しません"},
        {"/pub/data.small", "サーバーが示したサイズ (2000 byte) と受信したサイズ (3000 byte) が一致しません"},
        {"/pub/missing.bin", "サーバー上にファイルが見つかりません (550 ?[2J?]0;owned?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        WriteFile(out / "out.bin", "the old file");
        EXPECT_FALSE(Download(liar.url(c.path)));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(ReadFile(out / "out.bin"), "the old file");
    }
    ASSERT_TRUE(Download(liar.url("/pub/a.bin")));
    EXPECT_EQ(ReadFile(out / "out.bin"), Bytes(5000));
}

TEST_P(FtpDownload, MissingLocalFolderFailsAfterTheLookup) {
    EXPECT_FALSE(Download("/pub/a.bin", "nofolder/out.bin"));
    EXPECT_EQ(engine.errorText, out / "nofolder/out.bin" + " には無効なﾊﾟｽが含まれています。");
    EXPECT_TRUE(StatusHas("FTP接続を確立"));
    EXPECT_FALSE(StatusHas(engine.sourceUrl + " をダウンロード中"));
}

TEST_P(FtpDownload, ServerThatIsNotThere) {
    server.Stop();
    EXPECT_FALSE(Download("/pub/a.bin"));
    EXPECT_EQ(engine.errorText.rfind("サーバーに接続できませんでした (", 0), 0u) << engine.errorText;
}

TEST_P(FtpDownload, StopInTheMiddleKeepsOnlyThePart) {
    TestServer slow = TestServer::StartFtp(root.path(), "--slow");
    host.stopOnData = true;
    EXPECT_FALSE(Download(slow.url("/big.bin")));
    EXPECT_FALSE(Saved());
    EXPECT_EQ(engine.fileOutcome, CInternetDownloader::FileOutcome::Stopped);
    EXPECT_EQ(engine.errorText, CInternetDownloader::kStoppedText);
    const std::string part = ReadFile(out / ".out.bin.part");
    EXPECT_GT(part.size(), 0u);
    EXPECT_LT(part.size(), size_t{4 << 20});
    EXPECT_EQ(part, Bytes(part.size()));
    EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
}

TEST_P(FtpDownload, ServerWithoutSizesLetsTheDataDecide) {
    TestServer sizeless = TestServer::StartFtp(root.path(), "--no-size");
    const struct {
        const char* path;
        int notSaveZero;
        bool ok;
        bool saved;
        const char* progress;
    } cases[] = {
        {"/pub/a.bin", 1, true, true, "5000 /  byte"},  {"/pub/a.bin", 0, true, true, "5000 /  byte"},
        {"/zero.bin", 1, true, false, nullptr},         {"/zero.bin", 0, true, true, "0 /  byte"},
        {"/pub/missing.bin", 0, false, false, nullptr}, {"/locked/x.bin", 0, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " setting " + std::to_string(c.notSaveZero));
        host.calls.clear();
        host.settings.NotSave0ByteFileSetting = c.notSaveZero;
        fs::remove(out / "out.bin");
        EXPECT_EQ(Download(sizeless.url(c.path)), c.ok) << engine.errorText;
        EXPECT_EQ(Saved(), c.saved);
        if (c.progress)
            EXPECT_EQ(host.LastOf("progress"), c.progress);
        else
            EXPECT_TRUE(host.Of("progress").empty());
    }
}

TEST_P(FtpDownload, StopBeforeTheTransferCreatesNoFile) {
    host.stopAfterPumps = 1;
    EXPECT_FALSE(Download("/pub/a.bin"));
    EXPECT_FALSE(Saved());
    EXPECT_EQ(engine.errorText, CInternetDownloader::kStoppedText);
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), {}), 0);
}

INSTANTIATE_TEST_SUITE_P(Connections, FtpDownload, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Kept" : "OnePerFile"; });

} // namespace
} // namespace ordinex::test
