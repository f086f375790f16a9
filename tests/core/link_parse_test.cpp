#include "listing/download_html.h"
#include "listing/html_charset.h"
#include "listing/page_elements.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ordinex::test {
namespace {

struct ResolveCase {
    const char* base;
    const char* link;
    const char* expected;
};

// The three examples of the resolution steps, cases where the steps hold,
// then the links real pages use where the plain steps would go wrong.
TEST(ResolveUrl, ResolvesLinksAsBrowsersDo) {
    const char* p = "http://h/a/b/p.html";
    const ResolveCase cases[] = {
        {p, "../c/x.jpg", "http://h/a/c/x.jpg"},
        {p, "/y.gif", "http://h/y.gif"},
        {p, "#t", "http://h/a/b/p.html#t"},
        {p, "x.jpg", "http://h/a/b/x.jpg"},
        {p, "./x.jpg", "http://h/a/b/x.jpg"},
        {p, "sub/./x/../y.jpg", "http://h/a/b/sub/y.jpg"},
        {"http://h/a/", "x", "http://h/a/x"},
        {p, "http://o/z.zip", "http://o/z.zip"},
        {p, "ftp://o/pub/z.zip", "ftp://o/pub/z.zip"},
        // Repairs.
        {p, "//cdn.example/x.js", "http://cdn.example/x.js"},
        {p, "?page=2", "http://h/a/b/p.html?page=2"},
        {p, "../../../../x", "http://h/x"},
        {p, "sub/..", "http://h/a/b/"},
        {p, "..", "http://h/a/"},
        {p, "", "http://h/a/b/p.html"},
        {p, "  x.jpg\n", "http://h/a/b/x.jpg"},
        {p, "im\nage.jpg", "http://h/a/b/image.jpg"},
        {p, "img\\a.jpg", "http://h/a/b/img/a.jpg"},
        {p, "mailto:x@y", "mailto:x@y"},
        {p, "javascript:void(0)", "javascript:void(0)"},
        {p, "x.php?p=/../a", "http://h/a/b/x.php?p=/../a"},
        {p, "/a/../../b", "http://h/b"},
        {p, "http://o/a/./b/../c", "http://o/a/c"},
        {p, "HTTP://O/x", "http://O/x"},
        {p, "http:x.html", "http://h/a/b/x.html"},
        {p,
         "a\x01"
         "b.bin",
         "http://h/a/b/a%01b.bin"},
        {p, "%2e%2e/x", "http://h/a/x"},
        {p, "page.html#a/../b", "http://h/a/b/page.html#a/../b"},
        {"http://h/list.php?dir=x/y", "img.gif", "http://h/img.gif"},
        {"http://h", "x", "http://h/x"},
        {"http://h:8080/d/", "../x", "http://h:8080/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDownloadHtml::ResolveUrl(c.base, c.link), c.expected) << c.base << " + [" << c.link << "]";
}

TEST(PageCharset, HeaderFirstThenMetaOutsideComments) {
    struct Case {
        const char* contentType;
        const char* page;
        const char* expected;
    };
    const Case cases[] = {
        {"text/html; charset=EUC-JP", "<meta charset=utf-8>", "EUC-JP"},
        {"text/html;Charset=\"Shift_JIS\"", "", "Shift_JIS"},
        {"text/html", "<html><head><meta charset='windows-31j'>", "windows-31j"},
        {"text/html", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-sjis\">", "x-sjis"},
        {"text/html", "<!-- <meta charset=euc-jp> --><meta charset=utf-8>", "utf-8"},
        {"text/html", "<meta name=description content=\"charset=no\">", ""},
        {"", "<p>plain", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeclaredCharset(c.contentType, c.page), c.expected) << c.contentType << " " << c.page;
}

TEST(PageCharset, JapanesePagesComeOutInUtf8) {
    const std::string sjisWord = "\x93\xfa\x96\x7b\x8c\xea"; // 日本語 in Shift_JIS
    const std::string eucWord = "\xc6\xfc\xcb\xdc\xb8\xec";  // 日本語 in EUC-JP
    const std::string word = "日本語";
    EXPECT_EQ(PageTextToUtf8("<meta charset=Shift_JIS>" + sjisWord, "text/html"),
              "<meta charset=Shift_JIS>" + word);
    EXPECT_EQ(PageTextToUtf8(eucWord, "text/html; charset=euc-jp"), word);
    // No declaration: not UTF-8, but clean Shift_JIS or EUC-JP.
    EXPECT_EQ(PageTextToUtf8("<p>" + sjisWord + "\x82\xa0", "text/html"), "<p>" + word + "あ");
    EXPECT_EQ(PageTextToUtf8("<p>" + eucWord + "\xa4\xa2", "text/html"), "<p>" + word + "あ");
    EXPECT_EQ(PageTextToUtf8("\xEF\xBB\xBF" + word, "text/html; charset=Shift_JIS"), word);
    EXPECT_EQ(PageTextToUtf8(word, "text/html"), word);
    // A byte that does not convert becomes U+FFFD and the rest goes on.
    EXPECT_EQ(PageTextToUtf8("a\x80"
                             "b",
                             "text/html; charset=shift_jis"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(PageTextToUtf8("abc", "text/html; charset=no-such-charset"), "abc");
}

TEST(PageCharset, UndeclaredPagesReadAsTheEncodingThatLooksJapanese) {
    struct Case {
        std::string page;
        const char* text;
        const char* encoding;
    };
    const Case cases[] = {
        // Half-width katakana only: Shift_JIS, although EUC-JP reads it as kanji (筑粟).
        {"\xC3\xDE\xB0\xC0.txt", "ﾃﾞｰﾀ.txt", "CP932"},
        {"<a href=\"\xB1\xB2\xB3.zip\">\xB6\xDE\xBB\xDE\xDD</a>", "<a href=\"ｱｲｳ.zip\">ｶﾞｻﾞﾝ</a>", "CP932"},
        // EUC-JP that Shift_JIS reads as half-width punctuation and kana.
        {"\xA5\xC7\xA1\xBC\xA5\xBF", "データ", "EUC-JP-MS"},
        {"\xA4\xA2\xA4\xA4\xA4\xA6", "あいう", "EUC-JP-MS"},
        // EUC-JP's own half-width katakana.
        {"\x8E\xC3\x8E\xDE\x8E\xB0\x8E\xC0", "ﾃﾞｰﾀ", "EUC-JP-MS"},
        // Shift_JIS with full-width kana is no EUC-JP at all.
        {"\x83\x66\x81\x5B\x83\x5E", "データ", "CP932"},
        {"plain", "plain", ""},
    };
    for (const auto& c : cases) {
        std::string encoding = "unset";
        EXPECT_EQ(PageTextToUtf8(c.page, "text/html", &encoding), c.text) << c.text;
        EXPECT_EQ(encoding, c.encoding) << c.text;
    }
    std::string encoding;
    PageTextToUtf8("\xFF\xFEx\0", "text/html", &encoding);
    EXPECT_EQ(encoding, "") << "UTF-16 pages send UTF-8";
    PageTextToUtf8("x", "text/html; charset=iso-2022-jp", &encoding);
    EXPECT_EQ(encoding, "ISO-2022-JP");
}

TEST(PageCharset, QueriesAreEncodedInThePagesEncoding) {
    const struct {
        const char* url;
        const char* encoding;
        const char* expected;
    } cases[] = {
        {"http://h/日本.cgi?q=日本&x=1#日", "CP932", "http://h/日本.cgi?q=%93%FA%96{&x=1#日"},
        {"http://h/s?q=日本", "EUC-JP-MS", "http://h/s?q=%C6%FC%CB%DC"},
        {"http://h/s?q=ｱ", "CP932", "http://h/s?q=%B1"},
        {"http://h/s?q=\U0001F600", "CP932", "http://h/s?q=%26%23128512%3B"},
        {"http://h/s?q=é", "CP1252", "http://h/s?q=%E9"},
        {"http://h/s?q=日", "ISO-2022-JP", "http://h/s?q=%1B$BF|%1B(B"},
        {"http://h/s?q=%E6%97%A5&r=a+b", "CP932", "http://h/s?q=%E6%97%A5&r=a+b"},
        {"http://h/s?q=日本", "", "http://h/s?q=日本"},
        {"http://h/日本.bin", "CP932", "http://h/日本.bin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeQueryForPage(c.url, c.encoding), c.expected) << c.url << " " << c.encoding;
}

std::vector<std::string> Tags(const PageElements& e) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < e.Count(); ++i)
        out.emplace_back(e.Tag(i));
    return out;
}

std::vector<std::string> Addresses(const PageElements& e) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < e.Count(); ++i)
        if (auto a = e.Address(i))
            out.emplace_back(*a);
    return out;
}

PageElements Parse(const std::string& html) {
    PageElements e;
    ParsePageElements(html, e, nullptr);
    return e;
}

TEST(PageElements, ListsElementsInDocumentOrderAsABrowserDoes) {
    using V = std::vector<std::string>;
    struct Case {
        const char* html;
        V tags;
    };
    const Case cases[] = {
        {"", {"HTML", "HEAD", "BODY"}},
        {"<p><a href=x>y</a>", {"HTML", "HEAD", "BODY", "P", "A"}},
        {"<title>t</title><link href=s.css><img src=i>", {"HTML", "HEAD", "TITLE", "LINK", "BODY", "IMG"}},
        {"<frameset><frame src=a><frame src=b></frameset><img src=i>",
         {"HTML", "HEAD", "FRAMESET", "FRAME", "FRAME"}},
        {"<x-foo><svg><a href=s></a></svg><template><img src=t></template>",
         {"HTML", "HEAD", "BODY", "X-FOO", "svg", "a", "TEMPLATE"}},
        {"<iframe><img src=inside></iframe><noscript><img src=n></noscript>",
         {"HTML", "HEAD", "BODY", "IFRAME", "NOSCRIPT", "IMG"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tags(Parse(c.html)), c.tags) << c.html;
}

TEST(PageElements, KeepsTheOneAddressEachTagIsReadFor) {
    const PageElements e = Parse(
        "<head><meta http-equiv=refresh content=\"5; URL='next.html'\"><meta http-equiv=REFRESH content=7>"
        "<meta name=x content=\"url=no\"><meta http-equiv=refresh content=\"0,other.html\"><base "
        "href=/b/></head>"
        "<a>none</a><a href=''>empty</a><area href=m.zip><img alt=no-src><img src=i.png><embed src=e.swf>"
        "<object data=o.pdf></object><applet code=G.class codebase=java></applet>"
        "<applet archive=' g.jar , h.jar' code=G.class></applet><applet code=/abs.class codebase=c></applet>"
        "<script src=s.js></script><iframe src=f.html></iframe><bgsound src=b.mid>");
    EXPECT_EQ(Addresses(e),
              (std::vector<std::string>{"next.html", "other.html", "", "m.zip", "i.png", "e.swf", "o.pdf",
                                        "java/G.class", "g.jar", "/abs.class", "s.js", "f.html", "b.mid"}));
    EXPECT_EQ(e.BaseHref(), "/b/");
}

// Text between tags is shortened before the parser reads it; the elements,
// their order, addresses and base are those of the page read whole.
TEST(PageElements, ShortenedTextLeavesEveryElementWhereItWas) {
    const std::string words = "Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
    const std::string cases[] = {
        // Text before the head closes it and opens the body; blanks do not.
        words + "<head><base href=/b/><link href=s.css></head><a href=a.html>x</a>",
        "   \n\t  \n\t   \n   <head><base href=/b/><link href=s.css></head><a href=a.html>x</a>",
        "<html>&#32;&#32;&#32;&#32;&#32;&#32;<head><base href=/h/></head><img src=i.png>",
        // Text in a table goes before it, with the formatting elements open.
        "<table><b>" + words + "<tr><td><a href=t.html>" + words + "</a></td></tr>" + words + "</table>",
        // Text before a frameset keeps the body; blanks or NULs let the frameset in.
        "<body>" + words + "<frameset><frame src=f1.html></frameset>",
        "<body>                      <frameset><frame src=f2.html></frameset>",
        std::string("<body>\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0<frameset><frame src=f3.html></frameset>", 60),
        // "<" that starts no tag is text, and so is what follows it.
        "<p>1 <3 you and " + words + "<a href=l.html>l</a> 2 < 3" + words + "<img src=j.png>",
        // CDATA in svg ends at "]]>", not at the first ">".
        "<svg><![CDATA[" + words + "> <a href=no.html> ]]>" + words + "</svg><a href=yes.html>y</a>",
        // Raw text, comments, select, templates, foreign content.
        "<script>" + words + "</p><a href=s.html></script><style>" + words + "</style><title>" + words +
            "</title><textarea>" + words + "<img src=t.png></textarea><!-- " + words +
            " --><a href=c.html>c</a>",
        "<select>" + words + "<option>" + words + "<img src=o.png></select><template>" + words +
            "<img src=tp.png></template><math>" + words + "<mi>" + words + "</mi></math><img src=m.png>",
        "<ul><li>" + words + "<li>" + words + "<a href=li.html>" + words + "</a></ul><pre>\n" + words +
            "</pre><plaintext>" + words + "<a href=pt.html>",
        "<p>&amp;" + words + "&lt;a href=amp.html&gt;" + words + "<img src=after.png>",
    };
    for (const std::string& html : cases) {
        SCOPED_TRACE(html.substr(0, 60));
        PageElements whole, shortened;
        ParsePageElements(html, whole, nullptr, nullptr, false);
        ParsePageElements(html, shortened, nullptr, nullptr, true);
        EXPECT_EQ(Tags(shortened), Tags(whole));
        EXPECT_EQ(Addresses(shortened), Addresses(whole));
        EXPECT_EQ(shortened.BaseHref(), whole.BaseHref());
    }
}

TEST(PageElements, HostilePagesParseInBoundedTime) {
    // 100,000 nested elements: the deep part is flattened, the order stays.
    std::string deep = "<body>";
    for (int i = 0; i < 100000; ++i)
        deep += "<div>";
    deep += "<a href=bottom.bin>x</a>";
    bool flattened = false;
    PageElements e;
    ParsePageElements(deep, e, nullptr, &flattened);
    EXPECT_TRUE(flattened);
    EXPECT_EQ(e.Count(), 100004u);
    EXPECT_EQ(e.Tag(e.Count() - 1), "A");
    EXPECT_EQ(Addresses(e), std::vector<std::string>{"bottom.bin"});

    // Many pieces: every link comes out once, in order, tags and comments
    // across piece boundaries included.
    std::string big = "<html><head><script>var s = '<a href=no>';</script></head><body>";
    const int links = 60000;
    for (int i = 0; i < links; ++i)
        big += "<table><tr><td><a href=\"f" + std::to_string(i) + ".bin\">" + std::to_string(i) +
               "</a><!-- <a href=no> --></td></tr></table>\n";
    PageElements many;
    int pieces = 0;
    ParsePageElements(big, many, [&] { return ++pieces > 0; });
    EXPECT_GT(pieces, 4);
    const auto found = Addresses(many);
    ASSERT_EQ(found.size(), static_cast<std::size_t>(links));
    for (int i = 0; i < links; i += 997)
        EXPECT_EQ(found[i], "f" + std::to_string(i) + ".bin");

    // Broken markup: no crash, the links the parser sees.
    const PageElements broken = Parse("<a href=\"b1.bin\"<a href=b2.bin>x</a><img src=\"b3.png\" <table><td>"
                                      "<a href='b4.bin'>x</td></tr><b><i></b></i><a href=\"b5.bin\"><!-- <a "
                                      "href=\"no.bin\"> --><a href=\"b6.bin");
    EXPECT_EQ(Addresses(broken), (std::vector<std::string>{"b1.bin", "b3.png", "b4.bin", "b5.bin"}));
}

TEST(PageElements, ATagKeepsItsFirstThousandAttributes) {
    // The rest are taken out before the parser, whose cost grows with the
    // square of their number; the tag still ends where it ended.
    std::string attributes;
    for (int i = 0; i < 999; ++i)
        attributes += " a" + std::to_string(i) + "='x>y'";
    const std::string thousandth = "<a" + attributes + " href=kept.bin>k</a>";
    const std::string beyond = "<a" + attributes + " b=1 href=\"lost.bin\" c=\"/>\"/>";
    std::string endTag = "</a";
    for (int i = 0; i < 100000; ++i)
        endTag += " e" + std::to_string(i);
    endTag += ">";
    EXPECT_EQ(
        Addresses(Parse(thousandth + beyond + endTag + "<img src=next.png>" + beyond + "<img src=last.png>")),
        (std::vector<std::string>{"kept.bin", "next.png", "last.png"}));
    EXPECT_EQ(Tags(Parse(beyond + "<p>")), (std::vector<std::string>{"HTML", "HEAD", "BODY", "A", "P"}))
        << "a tag cut short still ends where it ended";
}

} // namespace
} // namespace ordinex::test
