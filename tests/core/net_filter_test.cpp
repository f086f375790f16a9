#include "net/internet_downloader.h"
#include "settings/program_settings.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

struct Row {
    int index;
    int on;
    const char* ext;
    int32_t size;
};

ProgramSettings Filter(int allOn, int32_t allSize, std::initializer_list<Row> rows) {
    ProgramSettings s;
    s.HttpTreeListExtensionOptionSetting[0] = allOn;
    s.HttpTreeListFileSizeSetting[0] = allSize;
    for (const Row& r : rows) {
        s.HttpTreeListExtensionOptionSetting[r.index] = r.on;
        s.SetExtensionString(r.index, r.ext);
        s.HttpTreeListFileSizeSetting[r.index] = r.size;
    }
    return s;
}

// Sizes of the rows are minimums in KB, as their boxes say; rows' files are compared in bytes.
TEST(ListFilter, EveryExtensionRowDecidesBySizeAlone) {
    const ProgramSettings s = Filter(1, 1, {{1, 1, "jpg", 0}});
    EXPECT_TRUE(CInternetDownloader::PassesListFilter(s, "a.zip", "1,024"));
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "a.jpg", "1,023")); // rows are ignored
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "dir", ""));
    const ProgramSettings zero = Filter(1, 0, {});
    EXPECT_TRUE(CInternetDownloader::PassesListFilter(zero, "dir", ""));
}

TEST(ListFilter, ExtensionRows) {
    const ProgramSettings s = Filter(
        0, 0, {{1, 1, ".JPG", 100}, {2, 1, "Tar.Gz", 0}, {3, 0, "zip", 0}, {4, 1, "", 0}, {11, 1, "png", 5}});
    const struct {
        const char* name;
        const char* size;
        bool passes;
    } cases[] = {
        {"photo.jpg", "102,400", true}, // exactly 100 KB
        {"PHOTO.JPG", "1,000,000", true},
        {"photo.jpg", "102,399", false}, // one byte less than the row's value
        {"photo.jpg", "100", false},     // 100 bytes are not 100 KB
        {"photo.jpeg", "500,000", false},
        {"a.targz", "1", true},   // dots of the row text are removed
        {"a.tar.gz", "1", false}, // the entry's extension is "gz"
        {"a.zip", "1", false},    // row switched off
        {"README", "1", true},    // matches the empty row
        {"dir", "", true},
        {"pics/x.png", "5,120", true}, // the file-name part counts
        {"x.png/readme", "5", true},   // no extension: the empty row
        {"C:\\dir\\x.PNG", "12,345", true},
        {"x.png", "5,119", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CInternetDownloader::PassesListFilter(s, c.name, c.size), c.passes)
            << c.name << " " << c.size;
}

TEST(ListFilter, NoRowSwitchedOnLetsNothingPass) {
    const ProgramSettings s = Filter(0, 0, {{1, 0, "jpg", 0}});
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "a.jpg", "1"));
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "", ""));
}

TEST(ListFilter, SizeTextIsReadAsDigitsWithoutSeparators) {
    const ProgramSettings s = Filter(1, 500000, {});
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "a", "844,800"))
        << "825 KB is less than 500,000 KB";
    EXPECT_TRUE(CInternetDownloader::PassesListFilter(s, "a", "512,000,000"));
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "a", "511,999,999"));
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(s, "a", "junk"));
    // The largest value a box holds does not overflow.
    const ProgramSettings largest = Filter(1, INT32_MAX, {});
    EXPECT_TRUE(CInternetDownloader::PassesListFilter(largest, "a", "2,199,023,254,528"));
    EXPECT_FALSE(CInternetDownloader::PassesListFilter(largest, "a", "2,199,023,254,527"));
}

} // namespace
} // namespace ordinex::test
