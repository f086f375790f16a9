#include "net/internet_downloader.h"
#include "net/session_status.h"
#include "net/transfer_errors.h"
#include "net/url_cracker.h"
#include "net_recorders.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

TEST(ParseUrl, CracksStoresAndReports) {
    const struct {
        std::string url;
        bool tryFtp;
        bool ok;
        std::string stored; // sourceUrl after a storing crack
        uint32_t type;
        std::string host, path;
        uint16_t port;
    } cases[] = {
        {"http://srv.lan/dir/a.jpg", false, true, "http://srv.lan/dir/a.jpg", kServiceHttp, "srv.lan",
         "/dir/a.jpg", 80},
        {"http://srv.lan:8080/a?x=1#top", false, true, "http://srv.lan:8080/a?x=1#top", kServiceHttp,
         "srv.lan", "/a?x=1", 8080},
        {"HTTP://Srv.lan", false, true, "HTTP://Srv.lan", kServiceHttp, "Srv.lan", "/", 80},
        {"ftp://u:p@srv.lan/pub/", false, true, "ftp://u:p@srv.lan/pub/", kServiceFtp, "srv.lan", "/pub/",
         21},
        {"srv.lan/pub/a.zip", true, true, "ftp://srv.lan/pub/a.zip", kServiceFtp, "srv.lan", "/pub/a.zip",
         21},
        {"srv.lan:2121/a.zip", true, true, "ftp://srv.lan:2121/a.zip", kServiceFtp, "srv.lan", "/a.zip",
         2121},
        {"srv.lan/pub/a.zip", false, false, "", 0, "", "", 0},
        {"http://srv.lan/a b.txt", false, true, "http://srv.lan/a b.txt", kServiceHttp, "srv.lan", "/a b.txt",
         80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        RecordingHost host;
        CInternetDownloader engine(&host);
        engine.errorText = "old";
        EXPECT_EQ(engine.ParseUrl(c.url, true, c.tryFtp, false), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(host.calls.empty());
            EXPECT_EQ(engine.serviceType, 0u);
            continue;
        }
        EXPECT_EQ(engine.errorText, "");
        EXPECT_EQ(engine.sourceUrl, c.stored);
        EXPECT_EQ(engine.serviceType, c.type);
        EXPECT_EQ(engine.serverName, c.host);
        EXPECT_EQ(engine.objectPath, c.path);
        EXPECT_EQ(engine.port, c.port);
        EXPECT_EQ(host.Of("status").size(), 1u);
    }
}

TEST(ParseUrl, WithoutStoreTheEngineKeepsItsParts) {
    RecordingHost host;
    CInternetDownloader engine(&host);
    engine.sourceUrl = "kept";
    EXPECT_TRUE(engine.ParseUrl("http://srv.lan/x", false, false, true));
    EXPECT_EQ(engine.sourceUrl, "kept");
    EXPECT_EQ(engine.serverName, "");
    EXPECT_EQ(engine.port, 0);
}

TEST(ParseUrl, ReportsOnlyWhenAsked) {
    const struct {
        std::string url;
        bool report;
        std::vector<std::string> calls;
        std::string error;
    } cases[] = {
        {"https://srv.lan/",
         true,
         {"status:インターネット･サービス･タイプ  HTTPS  (サポートしていないインターネット･サービス･タイプ)",
          "status:ファイルのダウンロード中止", std::string("transfer:") + kHttpsRefusedText},
         kHttpsRefusedText},
        // The service type line is shown whatever the caller asked for.
        {"https://srv.lan/",
         false,
         {"status:インターネット･サービス･タイプ  HTTPS  (サポートしていないインターネット･サービス･タイプ)"},
         ""},
        {"file:///etc/passwd",
         true,
         {"status:インターネット･サービス･タイプ  FILE  (サポートしていないインターネット･サービス･タイプ)",
          "status:ファイルのダウンロード中止", "transfer:サポートしていないインターネット･サービス･タイプ"},
         "サポートしていないインターネット･サービス･タイプ"},
        {"news:comp.lang.c++",
         true,
         {"status:インターネット･サービス･タイプ  NEWS  (サポートしていないインターネット･サービス･タイプ)",
          "status:ファイルのダウンロード中止", "transfer:サポートしていないインターネット･サービス･タイプ"},
         "サポートしていないインターネット･サービス･タイプ"},
        {"gopher://srv.lan/1",
         true,
         {"status:インターネット･サービス･タイプ  GOPHER  (サポートしていないインターネット･サービス･タイプ)",
          "status:ファイルのダウンロード中止", "transfer:サポートしていないインターネット･サービス･タイプ"},
         "サポートしていないインターネット･サービス･タイプ"},
        {"xyz://srv.lan/",
         true,
         {"status:インターネット･サービス･タイプ  UNK  (サポートしていないインターネット･サービス･タイプ)",
          "status:ファイルのダウンロード中止", "transfer:サポートしていないインターネット･サービス･タイプ"},
         "サポートしていないインターネット･サービス･タイプ"},
        {"::",
         true,
         {"status:ファイルのダウンロード中止", "transfer:インターネット･サービス･タイプが不明"},
         "インターネット･サービス･タイプが不明"},
        {"::", false, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + (c.report ? " report" : ""));
        RecordingHost host;
        // Every address here is refused: https:// only with HTTPS turned off.
        host.settings.UseHttpsSetting = 0;
        CInternetDownloader engine(&host);
        EXPECT_FALSE(engine.ParseUrl(c.url, true, true, c.report));
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(engine.errorText, c.error);
    }
}

// Plain addresses are read without libcurl; wherever that reading takes a
// text, libcurl's gives the same parts, and whatever it cannot be sure of
// goes to libcurl.
TEST(CrackUrl, PlainReadingAgreesWithLibcurl) {
    const struct {
        const char* url;
        bool plain;
    } cases[] = {
        {"http://srv.lan/dir/a.jpg", true},
        {"https://Srv.LAN:8443/a-b_c~d/e.f;g=h,i+j", true},
        {"ftp://ftp.example.org/pub/", true},
        {"http://127.0.0.1:18200/f0001.bin", true},
        {"http://h", true},
        {"http://h:80", true},
        {"http://h/a//b/.c/..d/e.", true},
        {"http://h/a/./b", false},
        {"http://h/a/../b", false},
        {"http://h/a/..", false},
        {"http://h/.", false},
        {"http://h/a%20b", false},
        {"http://h/a?x=1", false},
        {"http://h/a#top", false},
        {"http://u:p@h/a", false},
        {"http://h:0080/", false},
        {"http://h:65536/", false},
        {"http://h:/", false},
        {"http://h:0/", false},
        {"http://127.1/", false},
        {"http://0x7f000001/", false},
        {"http://1.2.3.4.5/", false},
        {"http://010.0.0.1/", false},
        {"http://256.0.0.1/", false},
        {"http://h..lan/", false},
        {"http://h.lan./", false},
        {"http://[::1]:8080/", false},
        {"http://h/a b", false},
        {"http://h/日本", false},
        {"HTTP://h/", false},
        {"gopher://h/", false},
        {"http:/h/", false},
        {"http:///a", false},
        {"mailto:a@b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        CrackedUrl plain, full;
        ASSERT_EQ(CrackPlainUrl(c.url, plain), c.plain);
        const bool cracked = CrackUrlWithLibcurl(c.url, full);
        if (!c.plain)
            continue;
        ASSERT_TRUE(cracked);
        EXPECT_EQ(plain.scheme, full.scheme);
        EXPECT_EQ(plain.serviceType, full.serviceType);
        EXPECT_EQ(plain.host, full.host);
        EXPECT_EQ(plain.path, full.path);
        EXPECT_EQ(plain.port, full.port);
        EXPECT_EQ(plain.user, full.user);
        EXPECT_EQ(plain.password, full.password);
    }
}

TEST(ServiceType, NamesOfTheTable) {
    const std::pair<uint32_t, const char*> cases[] = {
        {kServiceFtp, "FTP"},
        {kServiceGopher, "GOPHER"},
        {kServiceHttp, "HTTP"},
        {kServiceUnknown, "UNK"},
        {kServiceFile, "FILE"},
        {kServiceMailto, "MAILTO"},
        {kServiceMid, "MID"},
        {kServiceCid, "CID"},
        {kServiceNews, "NEWS"},
        {kServiceNntp, "NNTP"},
        {kServiceProspero, "PROSPERO"},
        {kServiceTelnet, "TELNET"},
        {kServiceWais, "WAIS"},
        {kServiceAfs, "AFS"},
        {kServiceHttps, "HTTPS"},
        {0, "不明"},
        {0x100C, "不明"},
    };
    // HTTPS is supported by default, and refused as any other type once
    // UseHttpsSetting is turned off.
    for (const bool httpsOn : {true, false})
        for (const auto& [type, name] : cases) {
            SCOPED_TRACE(std::string(name) + (httpsOn ? "" : " with HTTPS off"));
            RecordingHost host;
            if (!httpsOn)
                host.settings.UseHttpsSetting = 0;
            CInternetDownloader engine(&host);
            EXPECT_STREQ(CInternetDownloader::ServiceTypeName(type), name);
            const bool supported =
                type == kServiceFtp || type == kServiceHttp || (httpsOn && type == kServiceHttps);
            EXPECT_EQ(engine.IsSupportedServiceType(type), supported);
            EXPECT_EQ(host.Of("status"),
                      std::vector<std::string>{
                          std::string("インターネット･サービス･タイプ  ") + name +
                          (supported ? "" : "  (サポートしていないインターネット･サービス･タイプ)")});
        }
}

TEST(NormalizeUrl, ToFtpAndToHttp) {
    const struct {
        std::string in, ftp, http;
    } cases[] = {
        {"http://srv.lan/dir/", "ftp://srv.lan/dir/", "http://srv.lan/dir/"},
        {"srv.lan/dir", "ftp://srv.lan/dir", "http://srv.lan/dir"},
        {"ftp://u:p@srv.lan:2121/pub/", "ftp://u:p@srv.lan:2121/pub/", "http://srv.lan/pub/"},
        {"http://srv.lan:8080/x?y=1", "ftp://srv.lan/x?y=1", "http://srv.lan:8080/x?y=1"},
        // A secure address stays secure, to be refused while HTTPS is off.
        {"https://srv.lan:8443/s", "ftp://srv.lan/s", "https://srv.lan:8443/s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        RecordingHost host;
        CInternetDownloader engine(&host);
        EXPECT_EQ(engine.NormalizeFtpUrl(c.in), c.ftp);
        EXPECT_EQ(engine.NormalizeHttpUrl(c.in, false), c.http);
        EXPECT_EQ(engine.serviceType, 0u);
        EXPECT_TRUE(host.calls.empty());
    }
}

TEST(NormalizeUrl, HttpStoresWhatItCracked) {
    CInternetDownloader engine;
    engine.NormalizeHttpUrl("ftp://srv.lan:2121/pub/a", true);
    EXPECT_EQ(engine.serviceType, kServiceHttp);
    EXPECT_EQ(engine.serverName, "srv.lan");
    EXPECT_EQ(engine.objectPath, "/pub/a");
    EXPECT_EQ(engine.port, 2121);
    engine.NormalizeHttpUrl("srv.lan/x", true);
    EXPECT_EQ(engine.serverName, "");
    EXPECT_EQ(engine.objectPath, "");
    EXPECT_EQ(engine.port, 0);
}

TEST(UrlHelpers, HostAndPathAndLocalName) {
    EXPECT_EQ(CInternetDownloader::StripScheme("ftp://srv.lan/pub/a.zip"), "srv.lan/pub/a.zip");
    EXPECT_EQ(CInternetDownloader::UrlToLocalName("http://srv.lan/dir/a.b.jpg"), "srv_lan/dir/a_b.jpg");
    EXPECT_EQ(CInternetDownloader::StripScheme("not a url"), "");
}

TEST(UrlHelpers, TransferUrlAndPathReplacement) {
    EXPECT_EQ(TransferUrl("http://h/a b/日.txt#frag"), "http://h/a%20b/%e6%97%a5.txt");
    EXPECT_EQ(TransferUrl("ftp://h/%41%20"), "ftp://h/%41%20");
    EXPECT_EQ(TransferUrl("::"), "");
    EXPECT_EQ(UrlWithPath("ftp://u:p@h:2121/pub/x?q#f", "/pub/*"), "ftp://u:p@h:2121/pub/*");
    EXPECT_EQ(UrlWithPath("ftp://h/pub/", "/"), "ftp://h/");
    EXPECT_EQ(PercentDecode("a%20b%E3%81%82%zz%"), "a b\xE3\x81\x82%zz%");
}

TEST(CheckHttpStatus, BelowFourHundredSucceeds) {
    const struct {
        long code;
        bool found;
    } cases[] = {{200, true}, {201, false}, {204, false}, {299, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        RecordingHost host;
        CInternetDownloader engine(&host);
        engine.errorText = "old";
        EXPECT_TRUE(engine.CheckHttpStatus(c.code));
        EXPECT_EQ(engine.errorText, "");
        EXPECT_EQ(host.calls, c.found ? std::vector<std::string>{"status:URLが見つかりました(転送を開始)"}
                                      : std::vector<std::string>{});
    }
}

TEST(CheckHttpStatus, AnswersThatAreNotTheFileFail) {
    const struct {
        long code;
        const char* text;
    } cases[] = {
        {100, "サーバーの応答が正しくありません(100)"},
        {206, "要求していない部分的な応答が返されました(206)"},
        {300, "複数の候補が示され、ファイルが特定できません(300)"},
        {302, "転送先が示されていないリダイレクトです(302)"},
        {304, "ファイルの内容が返されませんでした(304)"},
        {399, "転送先が示されていないリダイレクトです(399)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        RecordingHost host;
        CInternetDownloader engine(&host);
        EXPECT_FALSE(engine.CheckHttpStatus(c.code));
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"status:ファイルのダウンロード中止",
                                                        std::string("transfer:") + c.text}));
    }
}

TEST(CheckHttpStatus, FromFourHundredOnFailsWithItsText) {
    const std::pair<long, const char*> cases[] = {
        {400, "不適切な要求です(400)"},
        {401, "アクセスが拒否されました(401)"},
        {403, "要求エラー(403)"},
        {404, "要求されたURLが見つかりません(404)"},
        {405, "サーバーは要求された方式をサポートしていません(405)"},
        {499, "要求エラー(499)"},
        {500, "原因不明のサーバーエラー(500)"},
        {502, "サーバーエラー(502)"},
        {503, "サーバー容量の限界です(503)"},
        {999, "サーバーエラー(999)"},
    };
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        RecordingHost host;
        CInternetDownloader engine(&host);
        EXPECT_FALSE(engine.CheckHttpStatus(code));
        EXPECT_EQ(engine.errorText, text);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"status:ファイルのダウンロード中止",
                                                        std::string("transfer:") + text}));
    }
}

TEST(SessionStatus, TextsOfTheCodes) {
    const std::string p = "<InternetSession::StatusCallback> ";
    const struct {
        int code;
        std::string text;
    } cases[] = {
        {10, p + "srv.lan のIPアドレスを検索"},
        {11, p + "srv.lan のIPアドレスの検索に成功"},
        {20, p + "srv.lan のソケットアドレスへ接続中"},
        {21, p + "srv.lan のソケットアドレスへ接続に成功"},
        {30, p + "サーバーに情報要求を送信"},
        {31, p + "サーバーへの情報要求の送信に成功"},
        {40, p + "サーバーに送信した要求に対する応答待ち"},
        {41, p + "サーバーに送信した要求に対する応答の受信に成功"},
        {50, p + "サーバーへの接続を閉じます"},
        {51, p + "サーバーへの接続を正常に閉じました"},
        {70, p + "このハンドルは正常に終了"},
        {100, p + "非同期操作を正常に完了"},
        {0, ""},
        {60, ""},
        {101, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionStatusText(c.code, "srv.lan"), c.text) << c.code;
}

TEST(TransferErrors, OwnTextThenDetail) {
    EXPECT_EQ(TransferErrorText(CURLE_COULDNT_CONNECT, "Connection refused"),
              "サーバーに接続できませんでした (Connection refused)");
    EXPECT_EQ(TransferErrorText(CURLE_COULDNT_RESOLVE_HOST, ""), "サーバーの名前を解決できませんでした");
    EXPECT_EQ(TransferErrorText(CURLE_LOGIN_DENIED, "530 No"), "ログインできませんでした (530 No)");
    EXPECT_EQ(TransferErrorText(CURLE_OPERATION_TIMEDOUT, "t"), "操作がタイムアウトしました (t)");
    EXPECT_EQ(TransferErrorText(CURLE_RECV_ERROR, "r"), "サーバーとの接続が切断されました (r)");
    EXPECT_EQ(TransferErrorText(CURLE_REMOTE_FILE_NOT_FOUND, "550"),
              "サーバー上にファイルが見つかりません (550)");
    EXPECT_EQ(TransferErrorText(CURLE_SSL_CONNECT_ERROR, "x"),
              "インターネットのエラーが発生しました(35) (x)");
}

} // namespace
} // namespace ordinex::test
