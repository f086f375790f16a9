#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

class HttpProbe : public ::testing::Test {
protected:
    TestServer server = TestServer::StartHttp();
    RecordingHost host;
    CInternetDownloader engine{&host};
    HttpProbeResult result{"stale", "stale", "stale", "stale"};
};

TEST_F(HttpProbe, ReadsSizeTypeAndDateFromTheHeaders) {
    ASSERT_TRUE(engine.QueryHttpInfo(
        server.url("/meta?type=text/"
                   "html;%20charset=utf-8&modified=Wed,%2021%20Oct%202015%2007:28:00%20GMT&length=12345"),
        result));
    EXPECT_EQ(result.sizeText, "12,345");
    EXPECT_EQ(result.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(result.dateText, "2015/10/21 07:28");
    EXPECT_EQ(host.Of("status"),
              (std::vector<std::string>{"インターネット･サービス･タイプ  HTTP", "HTTPセッションを開始",
                                        "HTTP接続を確立", "HTTP接続を開く", "HTTP要求を送信",
                                        "URLが見つかりました(転送を開始)", "HTTPセッションを終了"}));
}

TEST_F(HttpProbe, NeverReadsTheBody) {
    // A large body would take its time; the probe ends with the headers.
    ASSERT_TRUE(engine.QueryHttpInfo(server.url("/meta?type=application/zip&length=2000000000"), result));
    EXPECT_EQ(result.sizeText, "2,000,000,000");
    EXPECT_TRUE(host.Of("progress").empty());
}

TEST_F(HttpProbe, AbsentHeadersGiveZeroAndEmptyTexts) {
    ASSERT_TRUE(engine.QueryHttpInfo(server.url("/status/204"), result));
    EXPECT_EQ(result.sizeText, "0");
    EXPECT_EQ(result.contentType, "");
    EXPECT_EQ(result.dateText, "");
}

TEST_F(HttpProbe, FailuresLeaveTheResultEmpty) {
    const struct {
        std::string address;
        const char* text;
    } cases[] = {
        {server.url("/status/404"), "要求されたURLが見つかりません(404)"},
        {"ftp://127.0.0.1/file.zip", "サポートしていないインターネット･サービス･タイプ"},
        {"https://127.0.0.1/file.zip", kHttpsRefusedText},
    };
    host.settings.UseHttpsSetting = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        result = {"stale", "stale", "stale", "stale"};
        EXPECT_FALSE(engine.QueryHttpInfo(c.address, result));
        EXPECT_EQ(result.sizeText, "");
        EXPECT_EQ(result.contentType, "");
        EXPECT_EQ(result.dateText, "");
        EXPECT_EQ(engine.errorText, c.text);
        EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
    }
}

TEST_F(HttpProbe, StopWhileWaitingSaysItWasStopped) {
    host.stopAfterPumps = 2;
    EXPECT_FALSE(engine.QueryHttpInfo(server.url("/hang"), result));
    EXPECT_EQ(engine.errorText, CInternetDownloader::kStoppedText);
    EXPECT_EQ(host.Of("transfer"), std::vector<std::string>{CInternetDownloader::kStoppedText});
    EXPECT_EQ(host.LastOf("status"), "ファイルのダウンロード中止");
}

TEST_F(HttpProbe, HeadersAndDatesFromTheServerAreTamed) {
    ASSERT_TRUE(engine.QueryHttpInfo(server.url("/esc"), result));
    EXPECT_EQ(result.contentType, "text/plain?[31m;red");
    // A year with a dozen digits is no date, and no reason to fail.
    ASSERT_TRUE(engine.QueryHttpInfo(
        server.url("/meta?modified=Thu,%2004%20Mar%20999999999999%2012:34:56%20GMT"), result));
    EXPECT_EQ(result.dateText, "");
}

} // namespace
} // namespace ordinex::test
