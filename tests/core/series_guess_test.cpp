#include "runs/series_guess.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace ordinex;
using namespace ordinex::test;

namespace {

struct GuessCase {
    const char* name;
    const char* first;
    const char* last; // empty: one address
    const char* urlBase;
    const char* urlExpansion;
    std::vector<std::string> ranges; // as the guess shows them
};

const GuessCase kGuessCases[] = {
    {"ZeroPaddingKept",
     "http://h/scans/img007.png",
     "http://h/scans/img120.png",
     "http://h/scans/",
     "img*.png",
     {"* = 007～120"}},
    {"WidthFromDigits", "http://h/9.jpg", "http://h/10.jpg", "http://h/", "*.jpg", {"* = 9～10"}},
    {"PaddedStartWidensEnd", "http://h/p010.jpg", "http://h/p9.jpg", "http://h/", "p*.jpg", {"* = 010～009"}},
    {"SeveralRangesInOrder",
     "http://h/vola/page001.png",
     "http://h/volc/page120.png",
     "http://h/",
     "vol*/page?.png",
     {"* = a～c", "? = 001～120"}},
    {"SeveralLetters",
     "http://h/x/partaa.txt",
     "http://h/x/partzz.txt",
     "http://h/x/",
     "part*.txt",
     {"* = aa～zz"}},
    {"UpperCaseInsideWord",
     "ftp://h/DISK_A1.ZIP",
     "ftp://h/DISK_C1.ZIP",
     "ftp://h/",
     "DISK_*1.ZIP",
     {"* = A～C"}},
    {"LetterPrefixOfTheOther", "http://h/a.gif", "http://h/ab.gif", "http://h/", "*.gif", {"* = a～ab"}},
    {"VaryingHostKeepsScheme",
     "http://img1.h/a.jpg",
     "http://img4.h/a.jpg",
     "http://",
     "img*.h/a.jpg",
     {"* = 1～4"}},
    // The "?" of the query is fixed text: range 2 stays off, the next range is "#".
    {"QuerySkipsItsPlaceholder",
     "http://h/get?id=1&p=a",
     "http://h/get?id=9&p=c",
     "http://h/",
     "get?id=*&p=#",
     {"* = 1～9", "# = a～c"}},
    {"OneUrlLastDigitRunPerSegment",
     "http://h:8080/s/2023/img045.jpg",
     "",
     "http://h:8080/s/",
     "*/img?.jpg",
     {"* = 0001～2023", "? = 001～045"}},
    {"OneUrlKeepsZeroAndOne", "http://h/s1/f0/x12.jpg", "", "http://h/s1/f0/", "x*.jpg", {"* = 01～12"}},
};

class GuessTable : public testing::TestWithParam<GuessCase> {};

TEST_P(GuessTable, Guesses) {
    const GuessCase& c = GetParam();
    const SeriesGuess g = GuessSeries(c.first, c.last, "/dl");
    ASSERT_TRUE(g.ok) << g.error;
    EXPECT_EQ(g.job.urlBase, c.urlBase);
    EXPECT_EQ(g.job.urlExpansion, c.urlExpansion);
    EXPECT_EQ(g.job.folderBase, "/dl/");
    EXPECT_EQ(g.job.folderExpansion, c.urlExpansion);
    EXPECT_EQ(g.rangeTexts, c.ranges);
}

INSTANTIATE_TEST_SUITE_P(SeriesGuess, GuessTable, testing::ValuesIn(kGuessCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    const char* first;
    const char* last;
    const char* message; // a part of the message
};

const ErrorCase kErrorCases[] = {
    {"Same", "http://h/a1.jpg", "http://h/a1.jpg", "同じです"},
    {"OtherCharacters", "http://h/a1.jpg", "http://h/a1-x.jpg", "「.」と「-」"},
    {"DigitAgainstLetter", "http://h/a1.jpg", "http://h/ab.jpg", "「1」と「.」"},
    {"MixedCase", "http://h/vola.jpg", "http://h/volC.jpg", "違っていなければなりません"},
    {"Scheme", "http://h/1.jpg", "ftp://h/2.jpg", "スキーム"},
    {"NotAUrl", "h/1.jpg", "h/2.jpg", "URLとして正しくありません"},
    {"OneUrlWithoutNumber", "http://h1/a.jpg", "", "連番にできる数字がありません"},
    {"TooManyRanges", "http://h/1-1-1-1-1-1-1", "http://h/2-2-2-2-2-2-2", "足りません"},
    {"LeadsOutOfTheFolder", "http://h/1/../x.jpg", "http://h/2/../x.jpg", "「..」"},
};

class GuessErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(GuessErrors, SaysWhy) {
    const ErrorCase& c = GetParam();
    const SeriesGuess g = GuessSeries(c.first, c.last, "/dl");
    EXPECT_FALSE(g.ok);
    EXPECT_NE(g.error.find(c.message), std::string::npos) << g.error;
}

INSTANTIATE_TEST_SUITE_P(SeriesGuess, GuessErrors, testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesGuess, AddressesInPastedText) {
    EXPECT_EQ(AddressesInText("  http://h/a1.jpg\r\nhttp://h/a9.jpg\n"),
              (std::vector<std::string>{"http://h/a1.jpg", "http://h/a9.jpg"}));
    EXPECT_EQ(AddressesInText("# uri-list\nftp://h/x"), (std::vector<std::string>{"ftp://h/x"}));
    EXPECT_TRUE(AddressesInText("see http://h/a").empty());
    EXPECT_TRUE(AddressesInText("http://a http://b http://c").empty());
    EXPECT_TRUE(AddressesInText("").empty());
}

// The terminal's guess is a job that list expands from a pipe: the whole series, into
// the folder named, and nothing else on standard output.
TEST(CliGuess, PipesIntoList) {
    TempDir dir;
    const std::string cli = ORDINEX_CLI_PATH;
    const auto list = RunProcess(
        {"/bin/sh", "-c",
         cli + " guess http://h/vola/p08.png http://h/volb/p10.png /tmp/out | " + cli + " list /dev/stdin"},
        dir.path());
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                   "http://h/vola/p08.png\t/tmp/out/vola/p08.png",
                                   "http://h/volb/p08.png\t/tmp/out/volb/p08.png",
                                   "http://h/vola/p09.png\t/tmp/out/vola/p09.png",
                                   "http://h/volb/p09.png\t/tmp/out/volb/p09.png",
                                   "http://h/vola/p10.png\t/tmp/out/vola/p10.png",
                                   "http://h/volb/p10.png\t/tmp/out/volb/p10.png",
                               }));
    // Without a folder the destination is the current one.
    const auto here = RunProcess({ORDINEX_CLI_PATH, "guess", "http://h/p3.png"}, dir.path());
    ASSERT_EQ(here.exitCode, 0) << here.err;
    EXPECT_NE(here.out.find("FolderBaseText=" + dir.path() + "/\n"), std::string::npos) << here.out;

    const auto bad =
        RunProcess({ORDINEX_CLI_PATH, "guess", "http://h/a1.jpg", "http://h/a1-x.jpg"}, dir.path());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_NE(bad.err.find("違っていなければなりません"), std::string::npos) << bad.err;
}

} // namespace
