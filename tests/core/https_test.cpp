// HTTPS with UseHttpsSetting on, against the loopback test server in its TLS
// mode, whose certificate authority the tests make at run time.
#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;
constexpr const char* kCaVariable = "ORDINEX_TEST_CAINFO";

// One certificate authority for the whole test program.
const std::string& CertDir() {
    static TempDir dir;
    return dir.path();
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    return names;
}

class Https : public ::testing::Test {
protected:
    TempDir dir;
    TestServer server = TestServer::StartHttps(CertDir());
    ScopedEnv trust{kCaVariable, CertDir() + "/ca.pem"};
    RecordingHost host;
    CInternetDownloader engine{&host};

    void SetUp() override { host.settings.UseHttpsSetting = 1; }
    bool Download(const std::string& url, const std::string& name = "out.bin") {
        host.calls.clear();
        engine.sourceUrl = url;
        engine.destinationPath = dir / name;
        return engine.DownloadFile();
    }
};

TEST_F(Https, ReportsTheStepsOfHttpNamingHttpsAndSavesTheBody) {
    const std::string url = server.url("/bytes/5000");
    ASSERT_TRUE(Download(url)) << engine.errorText;
    EXPECT_EQ(host.Of("status"),
              (std::vector<std::string>{"インターネット･サービス･タイプ  HTTPS", "HTTPSセッションを開始",
                                        "HTTPS接続を確立", "HTTPS接続を開く", "HTTPS要求を送信",
                                        "URLが見つかりました(転送を開始)", url + " をダウンロード中",
                                        url + " のダウンロード完了", "HTTPSセッションを終了"}));
    const std::string body = ReadFile(dir / "out.bin");
    ASSERT_EQ(body.size(), 5000u);
    for (std::size_t i = 0; i < body.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char>(body[i]), i % 251) << i;
    HttpProbeResult probe;
    ASSERT_TRUE(engine.QueryHttpInfo(server.url("/bytes/1234"), probe)) << engine.errorText;
    EXPECT_EQ(probe.sizeText, "1,234");
}

// A certificate that does not pass, or no TLS at all, fails the file with
// the host and the reason; nothing is written and nothing falls back to HTTP.
TEST_F(Https, RefusedCertificatesNameTheHostAndTheReasonAndWriteNothing) {
    TestServer otherName = TestServer::StartHttps(CertDir(), "other");
    TestServer plain = TestServer::StartHttp();
    const struct {
        const char* name;
        std::string url;
        std::optional<std::string> caFile;
        std::string text;
    } cases[] = {
        {"untrusted", server.url("/bytes/10"), std::nullopt,
         "127.0.0.1 のサーバー証明書を検証できませんでした: 証明書の発行者が信頼されていません ("},
        {"another host", otherName.url("/bytes/10"), CertDir() + "/ca.pem",
         "127.0.0.1 のサーバー証明書を検証できませんでした: 証明書が別のホスト名に宛てたものです ("},
        {"no TLS", "https://127.0.0.1:" + std::to_string(plain.port()) + "/bytes/10", CertDir() + "/ca.pem",
         "127.0.0.1 とのSSL/TLS接続を確立できませんでした ("},
    };
    WriteFile(dir / "kept.bin", "old");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv ca(kCaVariable, c.caFile);
        EXPECT_FALSE(Download(c.url, "kept.bin"));
        EXPECT_EQ(engine.errorText.rfind(c.text, 0), 0u) << engine.errorText;
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_EQ(host.LastOf("transfer"), engine.errorText);
        EXPECT_EQ(ReadFile(dir / "kept.bin"), "old");
        EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"kept.bin"}) << "no part file either";
    }
}

TEST_F(Https, RedirectsFromHttpToHttpsAreFollowedOnlyWithTheOptionOn) {
    TestServer plain = TestServer::StartHttp();
    const std::string url = plain.url("/redirect/1?to=" + server.url("/bytes/700"));
    ASSERT_TRUE(Download(url)) << engine.errorText;
    EXPECT_EQ(ReadFile(dir / "out.bin").size(), 700u);

    host.settings.UseHttpsSetting = 0;
    EXPECT_FALSE(Download(url, "off.bin"));
    EXPECT_EQ(engine.errorText.rfind("サポートしていないプロトコルです (", 0), 0u) << engine.errorText;
    EXPECT_FALSE(fs::exists(dir / "off.bin"));
}

// Nothing that began over HTTPS continues over plain HTTP: neither a redirect
// from a secure address nor one later in a chain that went secure.
TEST_F(Https, RedirectsFromHttpsToHttpAreRefusedNamingBothAddresses) {
    TestServer plain = TestServer::StartHttp();
    const std::string target = plain.url("/bytes/700");
    const std::string secure = server.url("/redirect/1?to=" + target);
    const struct {
        const char* name;
        std::string url;
    } cases[] = {
        {"from a secure address", secure},
        {"later in the chain", plain.url("/redirect/1?to=" + secure)},
        {"scheme in capitals",
         server.url("/redirect/1?to=HTTP://127.0.0.1:" + std::to_string(plain.port()) + "/bytes/700")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Download(c.url, "down.bin"));
        EXPECT_NE(engine.errorText.find(secure.substr(0, secure.find("/redirect"))), std::string::npos)
            << engine.errorText;
        EXPECT_NE(engine.errorText.find("http://127.0.0.1:" + std::to_string(plain.port()) + "/bytes/700"),
                  std::string::npos)
            << engine.errorText;
        EXPECT_NE(engine.errorText.find("暗号化されない"), std::string::npos) << engine.errorText;
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
        EXPECT_TRUE(FilesIn(dir.path()).empty());
        HttpProbeResult probe;
        EXPECT_FALSE(engine.QueryHttpInfo(c.url, probe));
        EXPECT_TRUE(probe.sizeText.empty());
    }
    // Secure all the way is followed as before.
    ASSERT_TRUE(Download(server.url("/redirect/2?to=/bytes/30"))) << engine.errorText;
    EXPECT_EQ(ReadFile(dir / "out.bin").size(), 30u);
}

TEST_F(Https, OptionOffRefusesHttpsAsAnUnsupportedServiceTypeWithoutConnecting) {
    host.settings.UseHttpsSetting = 0;
    EXPECT_FALSE(Download(server.url("/conn/x")));
    EXPECT_EQ(host.Of("status"),
              (std::vector<std::string>{
                  "インターネット･サービス･タイプ  HTTPS  (サポートしていないインターネット･サービス･タイプ)",
                  "ファイルのダウンロード中止"}));
    EXPECT_EQ(engine.errorText, kHttpsRefusedText);
    HttpProbeResult probe;
    EXPECT_FALSE(engine.QueryHttpInfo(server.url("/conn/x"), probe));
    EXPECT_EQ(engine.errorText, kHttpsRefusedText);

    host.settings.UseHttpsSetting = 1;
    ASSERT_TRUE(Download(server.url("/conn/x")));
    EXPECT_EQ(ReadFile(dir / "out.bin"), "connection 1 request 1") << "nothing reached the server before";
}

// The command-line program over HTTPS: a series on one kept connection (or
// resumed TLS sessions without keeping), a page walk whose rows keep their scheme and are fetched over HTTPS
// again, and an untrusted server refused with exit status 1.
class HttpsCli : public ::testing::Test {
protected:
    TempDir cwd;
    TestServer server = TestServer::StartHttps(CertDir());
    const std::string trust = std::string(kCaVariable) + "=" + CertDir() + "/ca.pem";

    ProcessResult Run(const std::vector<std::string>& args, bool trusted = true) {
        std::vector<std::string> argv{ORDINEX_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProcess(argv, cwd.path(),
                          trusted ? std::vector<std::string>{trust} : std::vector<std::string>{});
    }
    std::string SeriesJob(const std::string& folder) {
        const std::string job = cwd / (folder + ".odx");
        WriteFile(job, "[UrlFolder]\nUrlBaseText=" + server.url("") +
                           "\nUrlExpansionText=conn/*\nFolderBaseText=" + (cwd / folder) +
                           "\nFolderExpansionText=*.txt\n[Ordinseq]\nWildCard1Check=1\n"
                           "WildCard1Start=1\nWildCard1End=4\n");
        return job;
    }
};

// No settings file at all: HTTPS is on by default, certificates checked.
TEST_F(HttpsCli, SeriesRunsOnOneSecureConnectionAndAnUntrustedServerIsRefused) {
    ProcessResult r = Run({"run", SeriesJob("ok")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(ReadFile(cwd / ("ok/" + std::to_string(i) + ".txt")),
                  "connection 1 request " + std::to_string(i));

    // One connection per file: each after the first resumes the TLS session instead of a full handshake.
    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=1\nKeepConnectionSetting=0\n");
    r = Run({"run", SeriesJob("each")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(cwd / "each/1.txt"), "connection 2 request 1");
    for (int i = 2; i <= 4; ++i)
        EXPECT_EQ(ReadFile(cwd / ("each/" + std::to_string(i) + ".txt")),
                  "connection " + std::to_string(i + 1) + " request 1 resumed");

    r = Run({"run", SeriesJob("refused")}, false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.err.find("127.0.0.1 のサーバー証明書を検証できませんでした: 証明書の発行者が信頼されていません"),
        std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(cwd / "refused/1.txt"));
}

// With HTTPS off, a secure address given to ls or fetch is refused as the
// series run refuses it: never sent as plain HTTP, to another port, with the
// job's password in clear.
TEST_F(HttpsCli, OptionOffRefusesSecureAddressesOfLsAndFetch) {
    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=0\n");
    ProcessResult r = Run({"ls", server.url("/site/d/0.html")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(kHttpsRefusedText), std::string::npos) << r.err;

    WriteFile(cwd / "job.odx",
              "[UrlFolder]\nAccessUserNameText=user\nAccessPasswordText=secret\nFolderBaseText=" +
                  (cwd / "dl") + "\n");
    r = Run({"fetch", cwd / "job.odx", server.url("/conn/x")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find(kHttpsRefusedText), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(cwd / "dl/127_0_0_1/conn/x"));

    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=1\n");
    r = Run({"fetch", cwd / "job.odx", server.url("/conn/x")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(cwd / "dl/x"), "connection 1 request 1") << "nothing reached the server before";
}

// A secure link on a plain page keeps its scheme while HTTPS is off too, so
// that fetching its row is refused rather than sent in clear to port 80.
TEST_F(HttpsCli, SecureLinksOfAPlainPageKeepTheirSchemeWithHttpsOff) {
    TestServer plain = TestServer::StartHttp();
    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=0\n");
    const std::string secure = server.url("/conn/x");
    ProcessResult r = Run({"ls", plain.url("/site/links.html?to=" + secure)});
    EXPECT_NE(r.out.find(secure + "\t"), std::string::npos) << r.out;
    WriteFile(cwd / "job.odx",
              "[UrlFolder]\nAccessUserNameText=user\nAccessPasswordText=secret\nFolderBaseText=" +
                  (cwd / "dl") + "\n");
    r = Run({"fetch", cwd / "job.odx", secure});
    EXPECT_EQ(r.exitCode, 1);
    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=1\n");
    r = Run({"fetch", cwd / "job.odx", secure});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(cwd / "dl/x"), "connection 1 request 1") << "nothing reached the server before";
}

TEST_F(HttpsCli, PageRowsKeepTheirSchemeAndAreFetchedOverHttps) {
    WriteFile(cwd / "Ordinex.ini", "[Download]\nUseHttpsSetting=1\n[Tool]\nHttpListNextChoseSetting="
                                   "1\nHttpListNextChoseAddListSetting=1\n");
    const std::string site = server.url("/site/d/");
    ProcessResult r = Run({"ls", site + "0.html"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind(site + "1a.html\t104\ttext/html\t\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(site + "f1b.bin\t1,009\t"), std::string::npos) << "found on a page of the walk";

    WriteFile(cwd / "job.odx", "[UrlFolder]\nFolderBaseText=" + (cwd / "dl") +
                                   "\n[Program]\nReadProgramSettingByOpen=1\n[Download]\nUseHttpsSetting=1\n"
                                   "HttpListSaveSetting=2\n");
    r = Run({"fetch", cwd / "job.odx", site + "f0.bin"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(cwd / "dl/127_0_0_1/site/d/f0.bin").size(), 1008u);
}

} // namespace
} // namespace ordinex::test
