// Continuing what an interrupted download left, over HTTP (ranges checked by
// the file's tag) and FTP (REST while size and date still match).
#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace ordinex::test {
namespace {

namespace fs = std::filesystem;

// Byte i of a generated body of version v: (i + v - 1) % 251.
std::string Pattern(size_t count, size_t shift = 0) {
    std::string out(count, '\0');
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>((i + shift) % 251);
    return out;
}

std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().front() == '.')
            names.push_back(e.path().filename().string());
    return names;
}

bool Has(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

class HttpResume : public ::testing::Test {
protected:
    TempDir out;
    TestServer server = TestServer::StartHttp();
    RecordingHost host;
    CInternetDownloader engine{&host};

    bool Download(const std::string& path) {
        host.calls.clear();
        engine.sourceUrl = server.url(path);
        engine.destinationPath = out / "file.bin";
        return engine.DownloadFile();
    }
    std::string Seen(const std::string& path) {
        TempDir scratch;
        CInternetDownloader probe;
        probe.sourceUrl = server.url("/stats/ranged?path=" + path);
        probe.destinationPath = scratch / "seen";
        EXPECT_TRUE(probe.DownloadFile());
        return ReadFile(scratch / "seen");
    }
};

// The first request of each file is cut halfway; the second continues it,
// or starts over where the server cannot continue it. Either way the
// result is the server's file, byte for byte, and nothing is left beside it.
TEST_F(HttpResume, ContinuesWhatArrivedOrStartsOverNeverAppendingWrongBytes) {
    constexpr size_t kSize = 300000;
    const struct {
        const char* how;
        int resume;
        const char* seen; // Range|If-Range of the second request
        bool resumed;     // the status lines say it went on from the middle
        size_t shift;     // the version of the body the second answer carries
    } cases[] = {
        {"ok", 1, "bytes=150000-|\"v1\"", true, 0},
        {"ignore", 1, "bytes=150000-|\"v1\"", false, 0},
        {"changed", 1, "bytes=150000-|\"v1\"", false, 1},
        {"ok", 0, "|", false, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.how) + (c.resume ? "" : " with ResumeSetting=0"));
        host.settings.ResumeSetting = c.resume;
        // Each case on a path of its own: the server's first answer per path is cut.
        const std::string path =
            "/ranged/" + std::string(c.how) + "/" + std::to_string(kSize) + "/" + std::to_string(n++);
        EXPECT_FALSE(Download(path)) << "the first answer is cut halfway";
        ASSERT_EQ(fs::file_size(out / ".file.bin.part"), kSize / 2);
        EXPECT_EQ(fs::exists(out / ".file.bin.part.resume"), c.resume != 0);
        ASSERT_TRUE(Download(path)) << engine.errorText;
        EXPECT_EQ(Seen(path), c.seen);
        const auto status = host.Of("status");
        EXPECT_EQ(Has(status, "150000 バイト目から再開"), c.resumed);
        EXPECT_EQ(Has(status, CInternetDownloader::kStartOverText), c.resume && !c.resumed);
        EXPECT_EQ(ReadFile(out / "file.bin"), Pattern(kSize, c.shift));
        EXPECT_TRUE(Leftovers(out.path()).empty());
        EXPECT_EQ(engine.bytesReceived, static_cast<int64_t>(c.resumed ? kSize / 2 : kSize));
        fs::remove(out / "file.bin");
    }
}

// A record that does not fit its leftover, or a leftover that is no longer
// what the record speaks of, is never continued.
TEST_F(HttpResume, LeftoversThatDoNotFitTheirRecordStartOver) {
    const std::string path = "/ranged/ok/1000";
    const std::string url = server.url(path);
    const struct {
        const char* name;
        std::string part;
        std::string record;
    } cases[] = {
        {"another address", Pattern(400), "url=" + url + "x\netag=\"v1\"\nmodified=\nsize=1000\n"},
        {"no validator", Pattern(400), "url=" + url + "\netag=\nmodified=\nsize=\n"},
        {"weak tag only", Pattern(400), "url=" + url + "\netag=W/\"v1\"\nmodified=\nsize=1000\n"},
        {"longer than the file", Pattern(1200), "url=" + url + "\netag=\"v1\"\nmodified=\nsize=1000\n"},
        {"garbage", Pattern(400), std::string(9000, 'x')},
    };
    host.settings.ResumeSetting = 1;
    Download(path); // the server's first answer is cut: get it out of the way
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(out / ".file.bin.part", c.part);
        WriteFile(out / ".file.bin.part.resume", c.record);
        ASSERT_TRUE(Download(path)) << engine.errorText;
        EXPECT_EQ(Seen(path), "|");
        EXPECT_EQ(ReadFile(out / "file.bin"), Pattern(1000));
        EXPECT_TRUE(Leftovers(out.path()).empty());
    }
}

// A real server: Debian's nginx, sending 400 KB a second. Stopped halfway,
// the file is fetched again with a Range and the tag nginx gave it.
TEST(NginxResume, AStoppedDownloadContinuesWithARangeAndEndsByteIdentical) {
    if (std::system("command -v nginx >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "nginx is not installed";
    TempDir site;
    TempDir out;
    fs::create_directories(site / "www");
    const std::string body = Pattern(1200000, 5);
    WriteFile(site / "www/big.bin", body);
    TestServer nginx = TestServer::StartNginx(site / "www", "400k");
    RecordingHost host;
    CInternetDownloader engine{&host};
    engine.sourceUrl = nginx.url("/big.bin");
    engine.destinationPath = out / "big.bin";
    host.stopOnData = true; // stopped once data flows: a fraction of the three seconds the file takes
    EXPECT_FALSE(engine.DownloadFile()) << "stopped";
    const auto kept = fs::file_size(out / ".big.bin.part");
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, body.size());
    host.stop = host.stopOnData = false;
    ASSERT_TRUE(engine.DownloadFile()) << engine.errorText;
    EXPECT_EQ(ReadFile(out / "big.bin"), body);
    EXPECT_TRUE(Leftovers(out.path()).empty());
    const std::string log = ReadFile(site / "nginx-access.log");
    // nginx writes the quotes of the tag as \x22.
    EXPECT_NE(log.find("GET /big.bin HTTP/1.1 206 \"bytes=" + std::to_string(kept) + "-\" \"\\x22"),
              std::string::npos)
        << log;
}

class FtpResume : public ::testing::Test {
protected:
    TempDir root;
    TempDir out;
    RecordingHost host;
    CInternetDownloader engine{&host};

    bool Download(const TestServer& server, bool keep) {
        host.calls.clear();
        if (keep)
            engine.BeginBatch();
        engine.sourceUrl = server.url("/big.bin");
        engine.destinationPath = out / "big.bin";
        const bool ok = engine.DownloadFile();
        if (keep)
            engine.EndBatch();
        return ok;
    }
};

// Stopped halfway through a slow transfer, then fetched again from the same
// server: REST continues it while size and date are unchanged, on a lone
// connection and inside a run's kept one; a file that changed starts over.
TEST_F(FtpResume, RestContinuesAnUnchangedFileAndAChangedOneStartsOver) {
    const std::string body = Pattern(400000, 7);
    const std::string changed = Pattern(410000, 3);
    const struct {
        const char* name;
        bool keep;
        bool change;
    } cases[] = {
        {"lone connection", false, false}, {"kept connection", true, false}, {"changed file", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(root / "big.bin", body);
        TestServer server = TestServer::StartFtp(root.path(), "--slow-first");
        host.stopOnData = true;
        EXPECT_FALSE(Download(server, c.keep));
        host.stopOnData = false;
        host.stop = false;
        const auto kept = fs::file_size(out / ".big.bin.part");
        ASSERT_GT(kept, 0u);
        ASSERT_LT(kept, body.size());
        if (c.change)
            WriteFile(root / "big.bin", changed);
        ASSERT_TRUE(Download(server, c.keep)) << engine.errorText;
        const auto status = host.Of("status");
        EXPECT_EQ(Has(status, " を " + std::to_string(kept) + " バイト目から再開"), !c.change);
        EXPECT_EQ(Has(status, CInternetDownloader::kStartOverText), c.change);
        EXPECT_EQ(engine.bytesReceived, static_cast<int64_t>(c.change ? changed.size() : body.size() - kept));
        EXPECT_EQ(ReadFile(out / "big.bin"), c.change ? changed : body);
        EXPECT_TRUE(Leftovers(out.path()).empty());
        fs::remove(out / "big.bin");
    }
}

} // namespace
} // namespace ordinex::test
