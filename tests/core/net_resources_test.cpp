#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

size_t OpenDescriptors() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// Every path through the engine, successful, failed or stopped, closes the
// local file, the sockets and the handles it opened.
TEST(EngineResources, NothingStaysOpenOnAnyPath) {
    TempDir site;
    fs::create_directories(site / "series");
    WriteFile(site / "series/f001.bin", "first");
    fs::create_directories(site / "locked");
    WriteFile(site / "locked/x.bin", "secret");
    WriteFile(site / "a.bin", std::string(3000, 'a'));
    TestServer http = TestServer::StartHttp(site.path());
    TestServer ftp = TestServer::StartFtp(site.path());
    TempDir out;
    RecordingHost host;
    RecordingFtpTree tree;
    RecordingFtpList list;
    CInternetDownloader engine(&host);
    engine.SetFtpPanes(&tree, &list);

    auto download = [&](const std::string& url) {
        engine.sourceUrl = url;
        engine.destinationPath = out / "file.bin";
        return engine.DownloadFile();
    };
    ASSERT_TRUE(download(http.url("/series/f001.bin"))); // warm-up: libcurl's one-time set-up
    EXPECT_EQ(ReadFile(out / "file.bin"), "first");
    const size_t before = OpenDescriptors();

    EXPECT_TRUE(download(http.url("/bytes/100000")));
    EXPECT_FALSE(download(http.url("/series/f002.bin")));
    EXPECT_FALSE(download(http.url("/drop/100000")));
    EXPECT_FALSE(download("http://127.0.0.1:1/x"));
    host.stopAfterPumps = host.pumps + 5;
    EXPECT_FALSE(download(http.url("/slow/100000")));
    host.stopAfterPumps = host.pumps + 2;
    EXPECT_FALSE(download(ftp.url("/a.bin")));
    host.stopAfterPumps = -1;
    host.stop = false;
    EXPECT_TRUE(download(ftp.url("/a.bin")));
    EXPECT_FALSE(download(ftp.url("/locked/x.bin")));
    EXPECT_FALSE(download(ftp.url("/missing.bin")));
    engine.destinationPath = out / "no/file.bin";
    engine.sourceUrl = ftp.url("/a.bin");
    EXPECT_FALSE(engine.DownloadFile());
    EXPECT_TRUE(engine.ListFtpDirectory(kNoNode, ftp.url("/"), true, true, true));
    engine.sourceUrl = ftp.url("/series/");
    EXPECT_TRUE(engine.OpenFtpTree());
    HttpProbeResult probe;
    EXPECT_TRUE(engine.QueryHttpInfo(http.url("/bytes/5000000"), probe));

    EXPECT_EQ(OpenDescriptors(), before);
}

} // namespace
} // namespace ordinex::test
