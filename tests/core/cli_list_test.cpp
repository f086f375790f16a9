#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ordinex::test;

namespace {

struct Range {
    const char* start;
    const char* end;
};

// Writes a job file with the given boxes and enabled ranges (index 0..5).
std::string MakeJob(const TempDir& dir, const std::string& urlBase, const std::string& urlExp,
                    const std::string& folderBase, const std::string& folderExp,
                    const std::vector<std::pair<int, Range>>& ranges, const std::string& extra = "") {
    std::string text = "[UrlFolder]\nUrlBaseText=" + urlBase + "\nUrlExpansionText=" + urlExp +
                       "\nFolderBaseText=" + folderBase + "\nFolderExpansionText=" + folderExp +
                       "\n[Ordinseq]\n";
    for (const auto& [k, r] : ranges) {
        const std::string n = std::to_string(k + 1);
        text += "WildCard" + n + "Check=1\nWildCard" + n + "Start=" + r.start + "\nWildCard" + n +
                "End=" + r.end + "\n";
    }
    text += extra;
    const std::string path = dir / "job.odx";
    WriteFile(path, text);
    return path;
}

ProcessResult List(const TempDir& cwd, const std::string& job) {
    return RunProcess({ORDINEX_CLI_PATH, "list", job}, cwd.path());
}

std::vector<std::string> FirstColumn(const std::string& text) {
    std::vector<std::string> out;
    for (const auto& line : Lines(text))
        out.push_back(line.substr(0, line.find('\t')));
    return out;
}

TEST(CliList, OdometerOrderWithSeparators) {
    TempDir dir;
    const auto job =
        MakeJob(dir, "http://host/img", "*?.jpg", "/dl", "*?.jpg", {{0, {"1", "3"}}, {1, {"a", "b"}}});
    const auto r = List(dir, job);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                                "http://host/img/1a.jpg\t/dl/1a.jpg", "http://host/img/2a.jpg\t/dl/2a.jpg",
                                "http://host/img/3a.jpg\t/dl/3a.jpg", "http://host/img/1b.jpg\t/dl/1b.jpg",
                                "http://host/img/2b.jpg\t/dl/2b.jpg", "http://host/img/3b.jpg\t/dl/3b.jpg"}));
}

struct SequenceCase {
    const char* name;
    const char* start;
    const char* end;
    std::vector<std::string> values;
};

class CliListRanges : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CliListRanges, PrintsEveryValue) {
    TempDir dir;
    const auto& c = GetParam();
    const auto job = MakeJob(dir, "http://h/", "*", "/d", "*", {{0, {c.start, c.end}}});
    const auto r = List(dir, job);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> expected;
    for (const auto& v : c.values)
        expected.push_back("http://h/" + v);
    EXPECT_EQ(FirstColumn(r.out), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CliListRanges,
    ::testing::Values(SequenceCase{"ten_to_nine", "10", "9", {"9", "10"}},
                      SequenceCase{"z_to_a", "z", "a", {"a", "b", "c", "d", "e", "f", "g", "h", "i",
                                                        "j", "k", "l", "m", "n", "o", "p", "q", "r",
                                                        "s", "t", "u", "v", "w", "x", "y", "z"}},
                      SequenceCase{"y_to_ab", "y", "ab", {"y", "z", "aa", "ab"}},
                      SequenceCase{"padded", "007", "012", {"007", "008", "009", "010", "011", "012"}},
                      SequenceCase{"equal", "5", "5", {"5"}},
                      SequenceCase{"wide", "9999999998", "9999999999", {"9999999998", "9999999999"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliList, CountsOfTheLetterExamples) {
    struct Case {
        const char* start;
        const char* end;
        std::size_t count;
    };
    for (const Case c : {Case{"ab", "b", 27}, Case{"a", "zz", 702}, Case{"aa", "zz", 676}}) {
        TempDir dir;
        const auto r = List(dir, MakeJob(dir, "http://h/", "*", "/d", "*", {{0, {c.start, c.end}}}));
        ASSERT_EQ(r.exitCode, 0);
        EXPECT_EQ(Lines(r.out).size(), c.count) << c.start << ".." << c.end;
    }
}

TEST(CliList, CompositionExamples) {
    struct Case {
        const char* urlBase;
        const char* urlExp;
        const char* folderExp;
        std::string extra;
        std::vector<std::pair<int, Range>> ranges;
        std::vector<std::string> urls;
        std::vector<std::string> dests;
    };
    const Case cases[] = {
        {"http://host/dir/", "/a*.gif", "x", "", {{0, {"1", "1"}}}, {"http://host/dir/a1.gif"}, {"/d/x"}},
        {"http://host/dir/",
         "/a*.gif",
         "x",
         "[Program]\nReadProgramSettingByOpen=1\nDeleteSeparatorOfURLRepeatsSetting=0\n",
         {{0, {"1", "1"}}},
         {"http://host/dir//a1.gif"},
         {"/d/x"}},
        {"http://host/",
         "*_*.jpg",
         "*_*.jpg",
         "",
         {{0, {"07", "07"}}},
         {"http://host/07_07.jpg"},
         {"/d/07_07.jpg"}},
        {"http://host/cgi?id=",
         "",
         "f?.html",
         "",
         {{1, {"1", "2"}}},
         {"http://host/cgi1id=", "http://host/cgi2id="},
         {"/d/f1.html", "/d/f2.html"}},
        // A range whose placeholder is used nowhere does not multiply the combinations.
        {"http://host/",
         "*.jpg",
         "*.jpg",
         "",
         {{0, {"1", "2"}}, {3, {"1", "9"}}},
         {"http://host/1.jpg", "http://host/2.jpg"},
         {"/d/1.jpg", "/d/2.jpg"}},
        // No range at all: exactly one line.
        {"http://host/a.jpg", "", "a.jpg", "", {}, {"http://host/a.jpg"}, {"/d/a.jpg"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto r = List(dir, MakeJob(dir, c.urlBase, c.urlExp, "/d", c.folderExp, c.ranges, c.extra));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < c.urls.size(); ++i)
            expected.push_back(c.urls[i] + "\t" + c.dests[i]);
        EXPECT_EQ(Lines(r.out), expected) << c.urlBase << c.urlExp;
    }
}

TEST(CliList, SettingsComeFromOrdinexIniInTheCurrentFolder) {
    TempDir dir;
    WriteFile(dir / "Ordinex.ini",
              "[Program]\nInsertSeparatorOfUrlSetting=0\nInsertSeparatorOfFolderSetting=0\n");
    const auto r = List(dir, MakeJob(dir, "http://host/img", "*.jpg", "/d/", "x", {{0, {"1", "1"}}}));
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"http://host/img1.jpg\t/d/x"}));
    EXPECT_EQ(ReadFile(dir / "Ordinex.ini"),
              "[Program]\nInsertSeparatorOfUrlSetting=0\nInsertSeparatorOfFolderSetting=0\n")
        << "never written";
}

TEST(CliList, RangeMessagesGoToStandardErrorWithStatusTwo) {
    struct Case {
        Range range;
        const char* message;
    };
    const Case cases[] = {
        {{"A", "c"}, "置換の開始と終了文字にアルファベット小文字・大文字・数字が混在しています\n"},
        {{"a1", "b"}, "置換文字にアルファベット小文字・大文字・数字が混在しています\n"},
        {{"1", ""}, "置換文字が設定されていません\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto r = List(dir, MakeJob(dir, "http://h/", "*", "/d", "*", {{0, c.range}}));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliList, DisabledRangeWithEmptyTextsIsAccepted) {
    TempDir dir;
    const auto r = List(dir, MakeJob(dir, "http://h/a", "", "/d", "a", {}, "WildCard2Check=0\n"));
    EXPECT_EQ(r.exitCode, 0);
}

TEST(CliList, UnusableJobFilesAndArguments) {
    TempDir dir;
    WriteFile(dir / "empty.odx", "");
    auto r = List(dir, dir / "empty.odx");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("空"), std::string::npos);
    r = List(dir, dir / "missing.odx");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, (dir / "missing.odx") + " が見つかりませんでした。\n");
    r = RunProcess({ORDINEX_CLI_PATH, "list"}, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    r = RunProcess({ORDINEX_CLI_PATH, "frobnicate", "x.odx"}, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    // Garbage bytes still open: missing keys take their defaults.
    WriteFile(dir / "garbage.odx", std::string("\x00\xff\xfe[[[=\n\x80\x81", 10));
    r = List(dir, dir / "garbage.odx");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\t\n");
}

TEST(CliList, CreatesNothingOnDisk) {
    TempDir dir;
    const auto job = MakeJob(dir, "http://h/", "*", dir / "not/yet/here", "*", {{0, {"1", "3"}}});
    const auto r = List(dir, job);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "not"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Ordinex.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Ordinex.log"));
}

TEST(CliList, ExampleJobsList) {
    TempDir dir;
    const auto r = List(dir, std::string(ORDINEX_EXAMPLES_DIR) + "/series.odx");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines[0], "http://127.0.0.1:8000/photos/daya/img001.jpg\t/tmp/ordinex-example/daya/img001.jpg");
    EXPECT_EQ(lines[35],
              "http://127.0.0.1:8000/photos/dayc/img012.jpg\t/tmp/ordinex-example/dayc/img012.jpg");
}

} // namespace
