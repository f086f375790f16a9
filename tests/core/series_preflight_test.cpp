#include "app/ordinex_app.h"
#include "recorded_app.h"
#include "recording_ui.h"
#include "test_servers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ordinex;
using namespace ordinex::test;

namespace {

// The checks before a series run's first transfer, against the loopback
// servers: each ends the run before anything is fetched or made, or asks.
class PreflightTest : public ::testing::Test, protected RecordedApp {
protected:
    TempDir www;
    TempDir out;
    TestServer http = TestServer::StartHttp(www.path());
    Job job;

    void SetUp() override {
        WriteFile(www / "img1.jpg", "one");
        WriteFile(www / "img2.jpg", "two");
        job.urlBase = http.url("/");
        job.urlExpansion = "img*.jpg";
        job.folderBase = out.path() + "/";
        job.folderExpansion = "got/img*.jpg";
        job.ranges[0] = {1, "1", "2"};
    }
    std::string Asked() const {
        std::string all;
        for (const auto& a : prompter.asked)
            all += a + "\n";
        return all;
    }
    bool NothingMade() const { return std::filesystem::is_empty(out.path()); }
};

TEST_F(PreflightTest, AnsweringFirstFileRunsWithoutAQuestion) {
    const auto summary = app.RunSeries(job, true);
    EXPECT_EQ(summary.done, 2);
    EXPECT_TRUE(prompter.asked.empty()) << Asked();
}

TEST_F(PreflightTest, PlaceholderWithoutItsRangeIsAskedAbout) {
    job.urlExpansion = "day?/img*.jpg";
    job.folderExpansion = "day?/img*.jpg";
    const auto summary = app.RunSeries(job, true);
    EXPECT_FALSE(summary.started);
    ASSERT_EQ(prompter.asked.size(), 1u) << Asked();
    EXPECT_NE(Asked().find("「?」"), std::string::npos) << Asked();
    EXPECT_TRUE(NothingMade());
    // The "?" of a query and a "%" escape are no forgotten ranges.
    prompter.asked.clear();
    WriteFile(www / "get", "x");
    job.urlExpansion = "get?id=*&name=a%20b";
    job.folderExpansion = "got/img*.jpg";
    EXPECT_TRUE(app.RunSeries(job, true).started);
    EXPECT_TRUE(prompter.asked.empty()) << Asked();
}

TEST_F(PreflightTest, FolderThatCannotBeMadeEndsTheRun) {
    WriteFile(out / "taken", "a file");
    job.folderExpansion = "taken/sub/img*.jpg";
    const auto summary = app.RunSeries(job, true);
    EXPECT_FALSE(summary.started);
    EXPECT_NE(Asked().find("taken はフォルダではありません"), std::string::npos) << Asked();
    EXPECT_EQ(ReadFile(out / "taken"), "a file");
}

TEST_F(PreflightTest, RefusedSchemeNamesTheSetting) {
    app.settings.UseHttpsSetting = 0;
    job.urlBase = "https://127.0.0.1:" + std::to_string(http.port()) + "/";
    const auto summary = app.RunSeries(job, true);
    EXPECT_FALSE(summary.started);
    EXPECT_NE(Asked().find("UseHttpsSetting=1"), std::string::npos) << Asked();
    EXPECT_TRUE(NothingMade());
}

TEST_F(PreflightTest, FirstFileThatDoesNotAnswerIsOneQuestion) {
    job.urlExpansion = "missing*.jpg";
    auto summary = app.RunSeries(job, true);
    EXPECT_FALSE(summary.started);
    ASSERT_EQ(prompter.asked.size(), 1u) << Asked();
    EXPECT_NE(Asked().find(http.url("/missing1.jpg")), std::string::npos) << Asked();
    EXPECT_NE(Asked().find("404"), std::string::npos) << Asked();
    EXPECT_TRUE(NothingMade());
    // Answered Yes, the run goes on and its files fail as before.
    prompter.asked.clear();
    prompter.answers = {kAnswerYes};
    summary = app.RunSeries(job, true);
    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.failed, 2);
}

TEST_F(PreflightTest, FtpFileIsAskedForItsSize) {
    TempDir root;
    WriteFile(root / "img1.jpg", "one");
    TestServer ftp = TestServer::StartFtp(root.path());
    job.urlBase = ftp.url("/");
    job.ranges[0] = {1, "1", "1"};
    EXPECT_EQ(app.RunSeries(job, true).done, 1);
    EXPECT_TRUE(prompter.asked.empty()) << Asked();
    job.urlExpansion = "nothing*.jpg";
    EXPECT_FALSE(app.RunSeries(job, true).started);
    EXPECT_NE(Asked().find(ftp.url("/nothing1.jpg")), std::string::npos) << Asked();
}

} // namespace
