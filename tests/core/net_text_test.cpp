#include "net/ftp_list_parser.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/response_watch.h"
#include "net/session_status.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

std::tm Day(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return tm;
}

TEST(FtpListDate, FormsOfTheTimeField) {
    const std::tm today = Day(2024, 6, 15);
    const struct {
        const char* raw;
        const char* text;
    } cases[] = {
        {"Mar 04  2021", "2021/03/04 00:00"},
        {"Dec 08 17:00", "2023/12/08 17:00"}, // after today in this year: last year's
        {"Jun 15 09:05", "2024/06/15 09:05"},
        {"Jun 16 23:59", "2024/06/16 23:59"}, // a day ahead is time-zone slack
        {"Jun 18 00:00", "2023/06/18 00:00"},
        {"jan 1 1:02", "2024/01/01 01:02"},
        {"03-04-21  05:00PM", "2021/03/04 17:00"},
        {"12-31-1999  12:15AM", "1999/12/31 00:15"},
        {"", ""},
        {"Foo 04  2021", ""},
        {"Mar 04 25:00", ""},
        {"Mar 04", ""},
        {"29 Jul 02:27", "2023/07/29 02:27"},
        {"4 Mar 2021", "2021/03/04 00:00"},
        {"3\xe6\x9c\x88 2\xe6\x97\xa5 15:13", "2024/03/02 15:13"},
        {"6\xe6\x9c\x88 3\xe6\x97\xa5 2003\xe5\xb9\xb4", "2003/06/03 00:00"},
        {"2005-06-07 21:22", "2005/06/07 21:22"},
        {"2002-09-02 19:06", "2002/09/02 19:06"},
        {"Mar 04 24:00", "2024/03/05 00:00"},
        {"Dec 31 24:00", "2024/01/01 00:00"}, // last year's 31st, so this year's first
        {"2005-13-07 21:22", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FtpListDateText(c.raw, today), c.text) << c.raw;
}

TEST(HttpDate, FormsWithoutTimeZoneConversion) {
    const struct {
        const char* header;
        const char* text;
    } cases[] = {
        {"Wed, 21 Oct 2015 07:28:00 GMT", "2015/10/21 07:28"},
        {"Wednesday, 21-Oct-15 07:28:00 GMT", "2015/10/21 07:28"},
        {"Wed Oct 21 07:28:00 2015", "2015/10/21 07:28"},
        {"Wed, 21 Oct 2015 07:28:00 +0900", "2015/10/21 07:28"},
        {"", ""},
        {"yesterday", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HttpDateText(c.header), c.text) << c.header;
}

TEST(FtpListDate, HugeNumbersAndDaysNoCalendarHasAreNoDate) {
    const std::tm today = Day(2024, 3, 4);
    for (const char* raw :
         {"Feb 30 2021", "Feb 29 2023", "Apr 31 2021", "Jun 00 2021", "02-30-21 05:00PM", "Smarch 04 2021"})
        EXPECT_EQ(FtpListDateText(raw, today), "") << raw;
    EXPECT_EQ(FtpListDateText("Feb 29 2024", today), "2024/02/29 00:00");
    EXPECT_EQ(FtpListDateText("Dec 31 1999", today), "1999/12/31 00:00");
    for (const char* raw : {"Mar 04 99999999999", "Mar 99999999999 2021", "99999999999-04-21 05:00PM",
                            "03-04-99999999999 05:00PM", "Mar 04 05:99999999999999999999"})
        EXPECT_EQ(FtpListDateText(raw, today), "") << raw;
    EXPECT_EQ(HttpDateText("Thu, 04 Mar 999999999999999 12:34:56 GMT"), "");
    EXPECT_EQ(HttpDateText("Thu, 99999999999 Mar 2021 12:34:56 GMT"), "");
}

TEST(FtpListLine, UnixAndDosFormsAndLinesToSkip) {
    const struct {
        const char* line;
        bool parsed;
        const char* name;
        bool dir;
        int64_t size;
        const char* rawTime;
    } cases[] = {
        {"drwxr-xr-x   2 user group     4096 Mar 04  2021 pub", true, "pub", true, 4096, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 5000 Dec 08 17:00 a  b.bin\r", true, "a  b.bin", false, 5000, "Dec 08 17:00"},
        {"-rw-r--r-- 1 owner 12 Jan 1 2000 nogroup.txt", true, "nogroup.txt", false, 12, "Jan 1 2000"},
        {"lrwxrwxrwx 1 u g 3 Jan 01 2000 link -> target", true, "link", false, 3, "Jan 01 2000"},
        {"03-04-21  05:00PM       <DIR>          dos dir", true, "dos dir", true, 0, "03-04-21 05:00PM"},
        {"03-04-21  05:00PM              1234 f.txt", true, "f.txt", false, 1234, "03-04-21 05:00PM"},
        // Names as listed, byte for byte: the program shows them as it can.
        {"-rw-r--r-- 1 u g 5 Mar 04 2021 esc\x1b[31m", true, "esc\x1b[31m", false, 5, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 3 Mar 04  2021  lead.txt", true, " lead.txt", false, 3, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 3 Dec 08 17:00   two.txt\r\n", true, "  two.txt", false, 3, "Dec 08 17:00"},
        {"-rw-r--r-- 1 u g 4 Mar 04 2021 cr\rin.txt\r", true, "cr\rin.txt", false, 4, "Mar 04 2021"},
        {"03-04-21  05:00PM       <DIR>           dos lead", true, " dos lead", true, 0, "03-04-21 05:00PM"},
        {"03-04-21  05:00PM <DIR> odd dos", true, "odd dos", true, 0, "03-04-21 05:00PM"},
        // Sizes and dates no file has: listed, the size unknown (the date is judged later).
        {"-rw-r--r-- 1 u g 99999999999999999999999 Mar 04 2021 huge", true, "huge", false, -1, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 9223372036854775808 Mar 04 2021 two63", true, "two63", false, -1, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 9223372036854775807 Mar 04 2021 max", true, "max", false, INT64_MAX,
         "Mar 04 2021"},
        {"-rw-r--r-- 1 u g -5 Mar 04 2021 negative", true, "negative", false, -1, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g 12 Mar 04 99999999999 odd year", true, "odd year", false, 12,
         "Mar 04 99999999999"},
        {"-rw-r--r-- 1 u g 8 Smarch 04 2021 no month", true, "no month", false, 8, "Smarch 04 2021"},
        {"-rw-r--r-- 1 owner 8 4. März 2021 no group", true, "no group", false, 8, "4. März 2021"},
        {"03-04-21  05:00PM              -1 dos.bin", true, "dos.bin", false, -1, "03-04-21 05:00PM"},
        // A group that looks like a month does not move the columns.
        {"-rw-r--r-- 1 1000 jan 4096 Mar 04 2021 g", true, "g", false, 4096, "Mar 04 2021"},
        // Owners and groups of several words, dates of other forms, grouped sizes.
        {"drwxr-xr-x 2 john smith test group 4096 Mar  2 15:13 zxbox", true, "zxbox", true, 4096,
         "Mar 2 15:13"},
        {"-rw-r--r-- 1 Domain Users None 77 2005-06-07 21:22 iso.txt", true, "iso.txt", false, 77,
         "2005-06-07 21:22"},
        {"-rw-r--r-- 1 u g 5 29 Jul 02:27 dayfirst", true, "dayfirst", false, 5, "29 Jul 02:27"},
        {"-rw-r--r-- 1 u g 6 3\xe6\x9c\x88 2\xe6\x97\xa5 15:13 ja.txt", true, "ja.txt", false, 6,
         "3\xe6\x9c\x88 2\xe6\x97\xa5 15:13"},
        {"-rw-r--r-- 1 u g 7 6\xe6\x9c\x88 3\xe6\x97\xa5 2003\xe5\xb9\xb4 old.txt", true, "old.txt", false, 7,
         "6\xe6\x9c\x88 3\xe6\x97\xa5 2003\xe5\xb9\xb4"},
        {"2002-09-02  19:06                9,730 grouped", true, "grouped", false, 9730, "2002-09-02 19:06"},
        {"-rw-r--r-- 1 u g 1,234,567 Mar 04 2021 big", true, "big", false, 1234567, "Mar 04 2021"},
        {"-rw-r--r-- 1 u g x Mar 04 2021 nosize", true, "nosize", false, -1, "Mar 04 2021"},
        {"total 12", false, "", false, 0, ""},
        {"", false, "", false, 0, ""},
        {"garbage that is no listing", false, "", false, 0, ""},
        {"drwxr-xr-x 2 u g 4096 Mar 04 2021 .", false, "", false, 0, ""},
        {"drwxr-xr-x 2 u g 4096 Mar 04 2021 ..", false, "", false, 0, ""},
        {"-rw-r--r-- 1 u g 12 Mar 04 2021 ", false, "", false, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ListedEntry e;
        ASSERT_EQ(ParseFtpListLine(c.line, e), c.parsed);
        if (!c.parsed)
            continue;
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.directory, c.dir);
        EXPECT_EQ(e.size, c.size);
        EXPECT_EQ(e.rawTime, c.rawTime);
        EXPECT_EQ(e.link, c.line[0] == 'l');
    }
}

TEST(FtpMlsdLine, FactsOfEveryKindAndLinesToSkip) {
    const struct {
        const char* line;
        bool parsed;
        const char* name;
        bool dir, link;
        int64_t size, utc;
    } cases[] = {
        {"type=file;size=1234567;modify=20210304120000; a b.bin\r\n", true, "a b.bin", false, false, 1234567,
         1614859200},
        {"Type=dir;Modify=19991231235959.123;Perm=el; pub", true, "pub", true, false, -1, 946684799},
        {"type=OS.unix=slink:/srv/target;size=10; tolink", true, "tolink", false, true, 10, -1},
        {"type=file;size=x;modify=20211399000000; odd", true, "odd", false, false, -1, -1},
        {"type=file;size=5;  two blanks", true, " two blanks", false, false, 5, -1},
        {"type=cdir;modify=20210304120000; .", false, "", false, false, 0, 0},
        {"type=pdir; ..", false, "", false, false, 0, 0},
        {"size=5; untyped", false, "", false, false, 0, 0},
        {"no facts at all", false, "", false, false, 0, 0},
        {"type=file;size=5;", false, "", false, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ListedEntry e;
        ASSERT_EQ(ParseMlsdLine(c.line, e), c.parsed);
        if (!c.parsed)
            continue;
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.directory, c.dir);
        EXPECT_EQ(e.link, c.link);
        EXPECT_EQ(e.size, c.size);
        EXPECT_EQ(e.utcTime, c.utc);
    }
    // MLSD times are UTC; the list shows them in the user's zone.
    const char* zone = getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    EXPECT_EQ(FtpExactDateText(1614859200), "2021/03/04 21:00");
    EXPECT_EQ(FtpExactDateText(-1), "");
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(OutsideText, ControlCharactersPasswordsAndBoundedNumbers) {
    EXPECT_EQ(ReplaceControlChars("a\x1b[2J\x07"
                                  "b\x7f\xc2\x9b"
                                  "c\xc3\xa9"),
              "a?[2J?b??c\xc3\xa9");
    EXPECT_EQ(MaskPasswords("ftp://u:pw@h/a and http://x:y:z@h2:8/ and http://h/u:p@x"),
              "ftp://u:****@h/a and http://x:****@h2:8/ and http://h/u:p@x");
    EXPECT_EQ(MaskPasswords("http://user@h/ http://:p@h/"), "http://user@h/ http://:****@h/");
    EXPECT_EQ(BoundedDecimal("65535", 65535), 65535);
    EXPECT_EQ(BoundedDecimal("65536", 65535), std::nullopt);
    EXPECT_EQ(BoundedDecimal("99999999999999999999999", INT64_MAX), std::nullopt);
    EXPECT_EQ(BoundedDecimal("-1", 10), std::nullopt);
    EXPECT_EQ(BoundedDecimal("", 10), std::nullopt);
}

TEST(OutsideText, APasswordIsTakenOutOfAnAddressWithItsUser) {
    struct Row {
        const char* address;
        const char* left;
        const char* user;
        const char* password;
        bool had;
    } rows[] = {
        {"ftp://user:secret@h:2121/pub/", "ftp://h:2121/pub/", "user", "secret", true},
        {"ftp://u%40x:p%3As%2F@h/a.bin", "ftp://h/a.bin", "u@x", "p:s/", true},
        {"ftp://u:p@ss@h/", "ftp://h/", "u", "p@ss", true}, // the last "@" ends it
        {"ftp://:pw@h/", "ftp://h/", "", "pw", true},
        {"ftp://anonymous@h/pub/", "ftp://anonymous@h/pub/", "", "", false},
        {"ftp://h/u:p@x/", "ftp://h/u:p@x/", "", "", false}, // in the path, not the authority
        {"h/pub/", "h/pub/", "", "", false},
    };
    for (const Row& r : rows) {
        const AddressCredentials c = TakeOutPassword(r.address);
        EXPECT_EQ(c.address, r.left) << r.address;
        EXPECT_EQ(c.user, r.user) << r.address;
        EXPECT_EQ(c.password, r.password) << r.address;
        EXPECT_EQ(c.hadPassword, r.had) << r.address;
    }
}

TEST(ListedExtension, AfterTheLastDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.jpg", "jpg"},  {"archive.tar.gz", "gz"}, {"PHOTO.JPG", "JPG"}, {"noext", ""},
        {"trailing.", ""}, {".bashrc", "bashrc"},    {"dir.d", "d"},       {"", ""},
    };
    for (const auto& [name, ext] : cases)
        EXPECT_EQ(ListedExtension(name), ext) << name;
}

std::vector<int> Feed(ResponseWatch& watch, std::initializer_list<const char*> lines,
                      std::vector<bool>* logins = nullptr) {
    std::vector<int> codes;
    for (const char* line : lines) {
        const bool login = watch.OnLine(line, codes);
        if (logins)
            logins->push_back(login);
    }
    return codes;
}

TEST(ResponseWatch, HttpKeepsTheLastResponseAfterRedirects) {
    ResponseWatch watch(false);
    const auto codes =
        Feed(watch, {"HTTP/1.1 302 Found\r\n", "Location: /b\r\n", "Content-Length: 5\r\n", "\r\n"});
    EXPECT_EQ(codes,
              (std::vector<int>{kStatusRequestSent, kStatusReceivingResponse, kStatusResponseReceived}));
    EXPECT_FALSE(watch.finalHeaders);
    Feed(watch, {"HTTP/1.1 100 Continue\r\n", "\r\n"});
    EXPECT_FALSE(watch.finalHeaders);
    Feed(watch, {"HTTP/1.1 200 OK\r\n", "content-type: text/plain\r\n",
                 "LAST-MODIFIED:  Wed, 21 Oct 2015 07:28:00 GMT \r\n", "\r\n"});
    EXPECT_TRUE(watch.finalHeaders);
    EXPECT_EQ(watch.statusCode, 200);
    EXPECT_EQ(watch.contentLength, ""); // from the redirect, forgotten
    EXPECT_EQ(watch.contentType, "text/plain");
    EXPECT_EQ(watch.lastModified, "Wed, 21 Oct 2015 07:28:00 GMT");
    // Trailers after the body change nothing.
    EXPECT_TRUE(Feed(watch, {"Content-Type: x\r\n", "\r\n"}).empty());
    EXPECT_EQ(watch.contentType, "text/plain");
}

TEST(ResponseWatch, HttpRedirectWithoutLocationIsTheAnswer) {
    ResponseWatch watch(false);
    Feed(watch, {"HTTP/1.0 304 Not Modified\r\n", "\r\n"});
    EXPECT_TRUE(watch.finalHeaders);
    EXPECT_EQ(watch.statusCode, 304);
}

TEST(ResponseWatch, FtpRepliesLoginAndRefusals) {
    ResponseWatch watch(true);
    watch.ExpectGreeting(); // a new control connection
    std::vector<bool> logins;
    const auto codes = Feed(watch,
                            {"220-Welcome\r\n", "220 ready\r\n", "331 password please\r\n", "230 in\r\n",
                             "Content-Length: 5\r\n", "550 no such file\r\n", "221 bye\r\n"},
                            &logins);
    EXPECT_EQ(logins, (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_EQ(codes,
              (std::vector<int>{kStatusConnectedToServer, kStatusResponseReceived, kStatusSendingRequest,
                                kStatusResponseReceived, kStatusSendingRequest, kStatusResponseReceived,
                                kStatusSendingRequest, kStatusResponseReceived, kStatusSendingRequest,
                                kStatusResponseReceived}));
    EXPECT_EQ(watch.refusal, "550 no such file"); // the goodbye does not make up for it
    Feed(watch, {"200 PORT ok\r\n"});
    EXPECT_EQ(watch.refusal, "");
}

// A kept control connection goes on without a greeting or a login.
TEST(ResponseWatch, FtpKeptConnectionHasNoGreetingNorLogin) {
    ResponseWatch watch(true);
    std::vector<bool> logins;
    const auto codes = Feed(watch, {"250 CWD ok\r\n", "213 5\r\n"}, &logins);
    EXPECT_EQ(logins, (std::vector<bool>{false, false}));
    EXPECT_EQ(codes, (std::vector<int>{kStatusSendingRequest, kStatusResponseReceived, kStatusSendingRequest,
                                       kStatusResponseReceived}));
}

TEST(ResponseWatch, LeadingDecimal) {
    EXPECT_EQ(LeadingDecimal("5000"), 5000);
    EXPECT_EQ(LeadingDecimal("12abc"), 12);
    EXPECT_EQ(LeadingDecimal(""), 0);
    EXPECT_EQ(LeadingDecimal("x1"), 0);
    EXPECT_EQ(LeadingDecimal("99999999999999999999999"), INT64_MAX);
}

} // namespace
} // namespace ordinex::test
