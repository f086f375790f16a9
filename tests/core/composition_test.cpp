#include "app/ordinex_app.h"
#include "runs/target_composition.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace ordinex;
using ordinex::test::TempDir;

namespace {

struct JoinCase {
    const char* name;
    const char* base;
    const char* expansion;
    bool insert;
    bool deleteRepeats;
    const char* composed;
    const char* label;
};

class ComposeBoxesTable : public ::testing::TestWithParam<JoinCase> {};

TEST_P(ComposeBoxesTable, JoinsBaseAndExpansion) {
    const JoinCase& c = GetParam();
    EXPECT_EQ(ComposeBoxes(c.base, c.expansion, '/', c.insert, c.deleteRepeats), c.composed);
    EXPECT_EQ(InsertedSeparator(c.base, c.expansion, '/', c.insert), c.label);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComposeBoxesTable,
    ::testing::Values(
        JoinCase{"insert", "http://host/img", "*.jpg", true, true, "http://host/img/*.jpg", "/"},
        JoinCase{"no_insert", "http://host/img", "*.jpg", false, true, "http://host/img*.jpg", ""},
        JoinCase{"repeat_removed", "http://host/dir/", "/a*.gif", true, true, "http://host/dir/a*.gif", ""},
        JoinCase{"repeat_kept", "http://host/dir/", "/a*.gif", true, false, "http://host/dir//a*.gif", ""},
        JoinCase{"base_ends_with_separator", "http://host/dir/", "a.gif", true, true, "http://host/dir/a.gif",
                 ""},
        JoinCase{"empty_expansion", "http://host/a.gif", "", true, true, "http://host/a.gif", ""},
        JoinCase{"empty_base", "", "http://host/a.gif", true, true, "http://host/a.gif", ""},
        JoinCase{"both_empty", "", "", true, true, "", ""},
        JoinCase{"trimmed", "  http://h/d  ", "  x.jpg ", true, true, "http://h/d/x.jpg", "/"},
        // The separator test looks at the boxes as typed: a trailing blank hides the "/".
        JoinCase{"blank_after_separator", "http://h/d/ ", "x.jpg", true, true, "http://h/d//x.jpg", "/"},
        JoinCase{"blank_only_expansion", "http://h/d", "   ", true, true, "http://h/d/", "/"}),
    [](const auto& info) { return std::string(info.param.name); });

class CompositionTest : public ::testing::Test {
protected:
    COrdinexApp app;
    TempDir dir;
    Job job;

    void SetUp() override {
        job.urlBase = "http://host/img";
        job.urlExpansion = "*.jpg";
        job.folderBase = dir.path();
        job.folderExpansion = "out/*.jpg";
    }
    std::vector<std::pair<std::string, std::string>> Targets() {
        std::vector<std::pair<std::string, std::string>> out;
        do {
            app.targetValid = true;
            std::string url = app.ComposeSourceUrl();
            out.emplace_back(url, app.ComposeDestinationPath());
        } while (!app.AdvanceRanges() && out.size() < 1000);
        return out;
    }
};

TEST_F(CompositionTest, ReplacesPlaceholdersInUrlAndDestination) {
    job.ranges[0] = {1, "1", "3"};
    ASSERT_TRUE(app.PrepareRun(job));
    const auto targets = Targets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0].first, "http://host/img/1.jpg");
    EXPECT_EQ(targets[2].first, "http://host/img/3.jpg");
    EXPECT_EQ(targets[1].second, dir / "out/2.jpg");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "out"));
    EXPECT_TRUE(app.targetValid);
}

TEST_F(CompositionTest, PlaceholderTwiceAndInTheQuery) {
    job.urlBase = "http://host/cgi?id=";
    job.urlExpansion = "";
    job.folderExpansion = "*_*.jpg";
    job.ranges[0] = {1, "07", "07"};
    job.ranges[1] = {1, "a", "a"};
    ASSERT_TRUE(app.PrepareRun(job));
    EXPECT_EQ(app.ranges[1].check, 1) << "the ? of the query keeps range 2 on";
    app.targetValid = true;
    EXPECT_EQ(app.ComposeSourceUrl(), "http://host/cgiaid=");
    EXPECT_EQ(app.ComposeDestinationPath(), dir / "07_07.jpg");
}

TEST_F(CompositionTest, UnusedRangeIsValidatedThenSwitchedOff) {
    job.ranges[0] = {1, "1", "2"};
    job.ranges[3] = {1, "1", "9"};
    ASSERT_TRUE(app.PrepareRun(job));
    EXPECT_EQ(app.ranges[3].check, 0);
    EXPECT_EQ(app.TotalCombinations(), 2);

    job.ranges[3] = {1, "1", "x"};
    EXPECT_FALSE(app.PrepareRun(job)) << "an unused range is still validated";
}

TEST_F(CompositionTest, StopsAtTheFirstFailingRange) {
    job.ranges[0] = {1, "A", "c"};
    job.ranges[1] = {1, "1", "2"};
    app.ranges[1].startText = "old";
    EXPECT_FALSE(app.PrepareRun(job));
    EXPECT_EQ(app.ranges[1].startText, "old") << "ranges after the failing one are not set up";
}

TEST_F(CompositionTest, TextWithoutSchemeIsNotAUrl) {
    job.urlBase = "host";
    job.urlExpansion = "a.jpg";
    ASSERT_TRUE(app.PrepareRun(job));
    app.targetValid = true;
    EXPECT_EQ(app.ComposeSourceUrl(), "host/a.jpg");
    EXPECT_FALSE(app.targetValid);
    EXPECT_EQ(app.targetError, "host/a.jpgがURLとして正しくありません");
}

TEST_F(CompositionTest, RelativeDestinationFailsAndItsMessageWins) {
    job.urlBase = "nourl";
    job.folderBase = "relative/dir";
    ASSERT_TRUE(app.PrepareRun(job));
    app.targetValid = true;
    app.ComposeSourceUrl();
    const std::string path = app.ComposeDestinationPath();
    EXPECT_FALSE(app.targetValid);
    EXPECT_EQ(app.targetError, path + "がファイル名として正しくありません");
}

TEST_F(CompositionTest, SaveSettingTwoPicksTheFirstFreeName) {
    app.settings.SaveSetting = 2;
    job.folderExpansion = "f.jpg";
    test::WriteFile(dir / "f.jpg", "x");
    test::WriteFile(dir / "f(1).jpg", "x");
    ASSERT_TRUE(app.PrepareRun(job));
    EXPECT_EQ(app.ComposeDestinationPath(), dir / "f(2).jpg");
    app.settings.SaveSetting = 1;
    EXPECT_EQ(app.ComposeDestinationPath(), dir / "f.jpg");
}

TEST(FileHelpers, CreateFoldersFromTheDeepestExistingOne) {
    TempDir dir;
    std::filesystem::create_directory(dir / "a");
    EXPECT_TRUE(COrdinexApp::CreateFolders(dir / "a/b/c/f.jpg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    EXPECT_FALSE(std::filesystem::exists(dir / "a/b/c/f.jpg")) << "the file name is never created";
    EXPECT_TRUE(COrdinexApp::CreateFolders(dir / "x//y///z/f.jpg")) << "runs of separators";
    EXPECT_TRUE(std::filesystem::is_directory(dir / "x/y/z"));
    EXPECT_TRUE(COrdinexApp::CreateFolders(dir / "p/../q/f.jpg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "q"));
}

TEST(FileHelpers, CreateFoldersFailures) {
    TempDir dir;
    test::WriteFile(dir / "file", "x");
    EXPECT_FALSE(COrdinexApp::CreateFolders(dir / "file/sub/f.jpg")) << "a file in the way";
    EXPECT_FALSE(COrdinexApp::CreateFolders("rel/f.jpg"));
    EXPECT_FALSE(COrdinexApp::CreateFolders(""));
    std::filesystem::create_directory(dir / "ro");
    std::filesystem::permissions(dir / "ro",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(COrdinexApp::CreateFolders(dir / "ro/sub/f.jpg"));
    }
}

TEST(FileHelpers, FindExistingFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "a");
    EXPECT_EQ(COrdinexApp::FindExistingFolder(dir / "a/b/c.txt"), dir / "a/");
    EXPECT_EQ(COrdinexApp::FindExistingFolder(dir / "a"), dir / "a/");
    EXPECT_EQ(COrdinexApp::FindExistingFolder("/no-such-folder-ordinex/x"), "/");
    EXPECT_EQ(COrdinexApp::FindExistingFolder("relative/x"), "/");
}

TEST(FileHelpers, MakeUniqueFileName) {
    TempDir dir;
    test::WriteFile(dir / "img07.jpg", "");
    EXPECT_EQ(COrdinexApp::MakeUniqueFileName(dir / "img07.jpg"), dir / "img07(1).jpg");
    std::filesystem::create_directory(dir / "img07(1).jpg"); // a folder counts as taken
    EXPECT_EQ(COrdinexApp::MakeUniqueFileName(dir / "img07.jpg"), dir / "img07(2).jpg");
    EXPECT_EQ(COrdinexApp::MakeUniqueFileName(dir / "readme"), dir / "readme(1)");
    EXPECT_EQ(COrdinexApp::MakeUniqueFileName(dir / "a.tar.gz"), dir / "a.tar(1).gz");
}

TEST(UrlSegments, CountAndPick) {
    struct Case {
        const char* url;
        int count;
        std::vector<std::string> segments;
    };
    const Case cases[] = {
        {"ftp://srv/pub//x/f.txt", 4, {"srv", "pub", "x", "f.txt"}},
        {"http://host/a/", 3, {"host", "a", ""}},
        {"http://host", 2, {"host", ""}}, // the parser gives the root path "/"
        {"not a url", 1, {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(COrdinexApp::CountUrlSegments(c.url), c.count) << c.url;
        for (std::size_t i = 0; i < c.segments.size(); ++i)
            EXPECT_EQ(COrdinexApp::GetUrlSegment(c.url, static_cast<int>(i)), c.segments[i])
                << c.url << " " << i;
        EXPECT_EQ(COrdinexApp::GetUrlSegment(c.url, 99), "");
    }
}

} // namespace
