#include "platform/ini_store.h"
#include "platform/text_encoding.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace ordinex;
using ordinex::test::TempDir;

namespace {

TEST(ProfileInt, ReadsSignAndLeadingDigits) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {{"12", 12},
                          {"-7", -7},
                          {"+3", 3},
                          {"  42", 42},
                          {"5abc", 5},
                          {"abc", 0},
                          {"", 0},
                          {"--1", 0},
                          {"99999999999", INT32_MAX},
                          {"-99999999999", INT32_MIN},
                          {"2147483648", INT32_MAX},
                          {"-2147483648", INT32_MIN},
                          {"0x10", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseProfileInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(IniStore, NamesMatchWithoutCaseAndValuesKeepTheirBlanks) {
    IniStore ini;
    ini.Parse("[Program]\r\nReadWindowSetting=0\r\n  Spaced Key = value with blanks  "
              "\r\n[ordinseq]\nWildCard1Start= 1 \n");
    EXPECT_EQ(ini.GetInt("PROGRAM", "readwindowsetting", 1), 0);
    EXPECT_EQ(ini.GetString("program", "Spaced Key", ""), " value with blanks  ");
    EXPECT_EQ(ini.GetString("Ordinseq", "WildCard1Start", ""), " 1 ");
    EXPECT_EQ(ini.GetString("Ordinseq", "missing", "def"), "def");
    EXPECT_EQ(ini.GetInt("Nowhere", "x", 17), 17);
}

TEST(IniStore, FirstDuplicateWinsAndOddLinesSurvive) {
    IniStore ini;
    const std::string text = "; comment\n[A]\nk=1\nk=2\ngarbage line\n=no key\n[B]\nx=y\n";
    ini.Parse(text);
    EXPECT_EQ(ini.GetInt("A", "k", 0), 1);
    ini.SetString("A", "new", "v");
    EXPECT_EQ(ini.Serialize(), "; comment\n[A]\nk=1\nk=2\ngarbage line\n=no key\nnew=v\n[B]\nx=y\n");
}

TEST(IniStore, WritesKeepOtherSectionsAndKeysInPlace) {
    IniStore ini;
    ini.Parse("[Window]\nLeft=5\n\n[Other]\nmine=1\n");
    ini.SetInt("window", "left", 9);
    ini.SetInt("Window", "Top", 3);
    ini.SetString("New", "k", "v");
    EXPECT_EQ(ini.Serialize(), "[Window]\nLeft=9\nTop=3\n\n[Other]\nmine=1\n[New]\nk=v\n");
}

TEST(IniStore, LineBreaksInValuesCannotSplitTheFile) {
    IniStore ini;
    ini.SetString("S", "k", "a\nb\r\n[Evil]\nx=1");
    IniStore back;
    back.Parse(ini.Serialize());
    EXPECT_FALSE(back.HasSection("Evil"));
    EXPECT_EQ(back.GetString("S", "k", ""), "a b  [Evil] x=1");
}

TEST(IniStore, TextsAreCutAtCharacterBoundaries) {
    IniStore ini;
    ini.SetString("S", "k", std::string(258, 'a') + "あい");
    const std::string cut = ini.GetString("S", "k", "", 259);
    EXPECT_EQ(cut, std::string(258, 'a'));
    EXPECT_TRUE(IsValidUtf8(cut));
}

TEST(IniStore, ShiftJisAndBrokenBytesBecomeValidUtf8) {
    IniStore ini;
    // "テスト" in Shift-JIS, then a text with a lone invalid byte.
    ini.Parse("[S]\nsjis=\x83\x65\x83\x58\x83\x67\nbad=ok\xff\xfe\n");
    EXPECT_EQ(ini.GetString("S", "sjis", ""), "テスト");
    const std::string bad = ini.GetString("S", "bad", "");
    EXPECT_TRUE(IsValidUtf8(bad));
    EXPECT_EQ(bad.substr(0, 2), "ok");
}

TEST(IniStore, ByteOrderMarkIsIgnored) {
    IniStore ini;
    ini.Parse("\xEF\xBB\xBF[Program]\nReadWindowSetting=0\n");
    EXPECT_EQ(ini.GetInt("Program", "ReadWindowSetting", 1), 0);
}

TEST(IniStore, SaveIsAtomicAndKeepsTheOldFileOnFailure) {
    TempDir dir;
    const std::string path = dir / "Ordinex.ini";
    test::WriteFile(path, "[Keep]\nold=1\n");
    IniStore ini;
    ini.SetString("Keep", "new", "2");
    EXPECT_TRUE(ini.Save(path));
    EXPECT_EQ(test::ReadFile(path), "[Keep]\nnew=2\n");
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0500);
        int err = 0;
        EXPECT_FALSE(ini.Save(path, &err));
        EXPECT_NE(err, 0);
        ::chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(test::ReadFile(path), "[Keep]\nnew=2\n");
    }
    int err = 0;
    EXPECT_FALSE(ini.Save(dir / "missing/sub/x.ini", &err));
    EXPECT_EQ(err, ENOENT);
}

TEST(IniStore, MissingFileLoadsEmpty) {
    IniStore ini;
    EXPECT_FALSE(ini.Load("/no/such/file.ini"));
    EXPECT_EQ(ini.GetInt("Program", "x", 4), 4);
}

} // namespace
