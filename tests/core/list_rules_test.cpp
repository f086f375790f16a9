#include "listing/list_rules.h"
#include "platform/ini_store.h"
#include "platform/visible_text.h"

#include <gtest/gtest.h>

namespace ordinex {
namespace {

TEST(ListRules, TextComparisonFoldsAsciiLettersOnly) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"abc", "ABC", 0},
        {"abc", "ABD", -1},
        {"Zeta", "alpha", 1},
        {"1,000", "999", -1},
        {"a", "ab", -1},
        {"", "", 0},
        {"\xC3\xA9", "\xC3\x89", 1}, // é and É differ: bytes beyond
                                     // ASCII
        {"a_b", "A-B", 1},
    };
    for (const auto& c : cases) {
        const int r = CompareListText(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(ListRules, HeaderClicksAlternateAndTheResortRepeatsTheLastOrder) {
    SortState s;
    EXPECT_FALSE(s.LastOrder()) << "before any click a listing is sorted ascending";
    EXPECT_FALSE(s.Click(1)); // ascending
    EXPECT_FALSE(s.LastOrder());
    EXPECT_TRUE(s.Click(1)); // the same header again: descending
    EXPECT_TRUE(s.LastOrder());
    EXPECT_FALSE(s.Click(0)); // another header: opposite of the last sort
    EXPECT_EQ(s.column, 0);

    struct Row {
        std::string size;
        int id;
    };
    std::vector<Row> rows{{"999", 1}, {"1,000", 2}, {"", 3}, {"999", 4}};
    SortRows(rows, false, [](const Row& r) -> const std::string& { return r.size; });
    std::vector<int> order;
    for (const auto& r : rows)
        order.push_back(r.id);
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1, 4})) << "text order, ties kept";
    SortRows(rows, true, [](const Row& r) -> const std::string& { return r.size; });
    order.clear();
    for (const auto& r : rows)
        order.push_back(r.id);
    EXPECT_EQ(order, (std::vector<int>{1, 4, 2, 3}));
}

TEST(ListRules, FoldersComeFirstInEitherOrder) {
    struct Row {
        std::string name;
        bool folder;
    };
    std::vector<Row> rows{{"b.txt", false}, {"zdir", true}, {"A.txt", false}, {"adir", true}};
    auto names = [&] {
        std::string out;
        for (const auto& r : rows)
            out += r.name + " ";
        return out;
    };
    auto text = [](const Row& r) -> const std::string& { return r.name; };
    auto folder = [](const Row& r) { return r.folder; };
    SortRows(rows, false, text, folder);
    EXPECT_EQ(names(), "adir zdir A.txt b.txt ");
    SortRows(rows, true, text, folder);
    EXPECT_EQ(names(), "zdir adir b.txt A.txt ");
}

TEST(ListRules, DisplayNameIsTheLastSegment) {
    const std::pair<const char*, const char*> cases[] = {
        {"file.txt", "file.txt"},
        {"h/dir/a.jpg", "a.jpg"},
        {"https://h/dir/a.jpg", "a.jpg"},
        {"h/pages/", "pages"},
        {"h/get.php?p=/x/y", "get.php?p=/x/y"},
        {"h", "h"},
        {"h/", "h/"},
        {"https://h/", "https://h/"},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(ListDisplayName(text), name) << text;
}

TEST(ListRules, CommandAvailability) {
    using C = ListCommand;
    const struct {
        ListWindowState state;
        std::vector<C> on;
    } cases[] = {
        {{false, false, 0, 0}, {C::TreeToUrl}},
        {{false, true, 0, 0}, {C::TreeToUrl, C::Reload}},
        {{false, true, 1, 1},
         {C::TreeToUrl, C::Reload, C::Download, C::ListToUrlFolder, C::ListToUrlFile, C::OpenInBrowser}},
        {{false, true, 1, 0},
         {C::TreeToUrl, C::Reload, C::ListToUrlFolder, C::ListToUrlFile, C::OpenInBrowser}},
        {{false, true, 3, 2}, {C::TreeToUrl, C::Reload, C::Download}},
        {{true, true, 3, 2}, {}},
    };
    for (const auto& c : cases) {
        for (C command :
             {C::TreeToUrl, C::Download, C::ListToUrlFolder, C::ListToUrlFile, C::Reload, C::OpenInBrowser}) {
            const bool expected = std::find(c.on.begin(), c.on.end(), command) != c.on.end();
            EXPECT_EQ(ListCommandAvailable(command, c.state), expected)
                << "command " << static_cast<int>(command) << " running " << c.state.running << " selected "
                << c.state.selectedRows << " files " << c.state.downloadableRows;
        }
    }
}

TEST(ListRules, AddressesOfNodesAndRows) {
    EXPECT_EQ(FtpNodeAddress("ftp://h/", {"pub", "img"}), "ftp://h/pub/img/");
    EXPECT_EQ(FtpNodeAddress("ftp://u:p@h:2121/", {}), "ftp://u:p@h:2121/");
    EXPECT_EQ(FtpNodeAddress("ftp://h/", {"a#b", "100%", "q?"}), "ftp://h/a%23b/100%25/q%3F/");
    const struct {
        const char* dir;
        const char* name;
        const char* text;
        const char* url;
    } rows[] = {
        {"ftp://h/d/", "/x", "ftp://h/d/x", "ftp://h/d/x"},
        {"ftp://h/d", "x.zip", "ftp://h/d/x.zip", "ftp://h/d/x.zip"},
        {"ftp://h/d/", "//x", "ftp://h/d//x", "ftp://h/d//x"},
        {"ftp://h/d/", "a b#1.txt", "ftp://h/d/a b#1.txt", "ftp://h/d/a b%231.txt"},
        {"", "x", "/x", "/x"},
        {"ftp://h/d/", " lead\r\x1b[1m", "ftp://h/d/ lead\r\x1b[1m", "ftp://h/d/ lead%0D%1B[1m"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(JoinRowAddress(r.dir, r.name, false), r.text);
        EXPECT_EQ(JoinRowAddress(r.dir, r.name, true), r.url);
    }
}

TEST(ListRules, ListStateIsReadUnderThePlacementSwitch) {
    IniStore ini;
    ini.Parse("[FtptreeView]\nColumn0Width=250\nColumn3Width=80\nSortKeyColumn=2\nSortOrder=1\n");
    const ListViewState read = LoadListViewState(ini, "FtptreeView", true);
    EXPECT_EQ(read.widths, (std::array<int, 4>{250, 100, 100, 80}));
    EXPECT_EQ(read.sort.column, 2);
    EXPECT_TRUE(read.sort.descending);
    const ListViewState ignored = LoadListViewState(ini, "FtptreeView", false);
    EXPECT_EQ(ignored.widths, (std::array<int, 4>{100, 100, 100, 100}));
    EXPECT_EQ(ignored.sort.column, 0);

    ini.Parse("[FtptreeView]\nSortKeyColumn=9\n");
    EXPECT_EQ(LoadListViewState(ini, "FtptreeView", true).sort.column, 0) << "a column that does not exist";

    IniStore out;
    SaveListViewState(out, "HttptreeView", read);
    EXPECT_EQ(out.Serialize(), "[HttptreeView]\nColumn0Width=250\nColumn1Width=100\nColumn2Width=100\n"
                               "Column3Width=80\nSortKeyColumn=2\nSortOrder=1\n");
}

TEST(VisibleText, ControlCharactersBrokenBytesAndInvisibleTurnsAreWrittenOut) {
    const struct {
        std::string in;
        const char* out;
    } cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"日本語.txt", "日本語.txt"},
        {"esc\x1b[2J", "esc\\x1B[2J"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"tab\tnl\n\x7f", "tab\\x09nl\\x0A\\x7F"},
        {"c1 \xC2\x9B"
         "1m",
         "c1 \\xC2\\x9B1m"},
        {"sjis \x93\xFA", "sjis \\x93\\xFA"},
        {"cut \xE6\x97", "cut \\xE6\\x97"},
        {"kana cut \xE3\x81", "kana cut \\xE3\\x81"},
        {"kana bad \xE3"
         "AB",
         "kana bad \\xE3AB"},
        {"\xC2"
         "A",
         "\\xC2A"},
        {"back\\slash", "back\\slash"},
        // Invisible characters that turn or hide what follows them.
        {"photo\u202Egpj.exe", "photo\\xE2\\x80\\xAEgpj.exe"},
        {"a\u2066b\u2069", "a\\xE2\\x81\\xA6b\\xE2\\x81\\xA9"},
        {"zero\u200Bwidth\uFEFF", "zero\\xE2\\x80\\x8Bwidth\\xEF\\xBB\\xBF"},
        {"line\u2028sep", "line\\xE2\\x80\\xA8sep"},
        {"soft\u00ADhyphen", "soft\\xC2\\xADhyphen"},
        {"tag\U000E0041", "tag\\xF3\\xA0\\x81\\x81"},
        {"ok\u2010\u30FC\uFF83\uFF9E", "ok\u2010\u30FC\uFF83\uFF9E"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VisibleText(c.in), c.out);
}

} // namespace
} // namespace ordinex
