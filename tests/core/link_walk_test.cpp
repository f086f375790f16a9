#include "listing/download_html.h"
#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"
#include "test_support.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace ordinex::test {
namespace {

using Texts = std::vector<std::string>;

// A port on address where nothing listens (as far as anyone can tell).
int FreePort(const std::string& address) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    socklen_t length = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    close(fd);
    return ntohs(a.sin_port);
}

// A server that takes no connection: its queue is filled by connections of
// its own that it never accepts, so that the system drops any further one
// unanswered and a client waits for its connect timeout.
struct SilentServer {
    explicit SilentServer(const std::string& address) {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, address.c_str(), &a.sin_addr);
        socklen_t length = sizeof a;
        bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener, 0);
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
        hostPort = address + ":" + std::to_string(ntohs(a.sin_port));
        for (int& filler : fillers) {
            filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
        usleep(100'000);
    }
    ~SilentServer() {
        for (int filler : fillers)
            close(filler);
        close(listener);
    }
    int listener = -1;
    int fillers[3] = {-1, -1, -1};
    std::string hostPort;
};

size_t Collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

// The link site of tests/servers/link_site.py against recording panes.
class LinkSite : public ::testing::Test {
protected:
    TestServer server = TestServer::StartHttp();
    RecordingHost host;
    RecordingLinkTree tree;
    RecordingLinkList list;
    CInternetDownloader engine{&host};
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
    const std::string site = hostPort + "/site/";

    LinkSite() { engine.SetLinkPanes(&tree, &list); }
    std::string Url(const std::string& path) const { return server.url("/site/" + path); }
    int Hits(const std::string& path) const {
        const std::string count = Stat("hits", path);
        return std::stoi(count.empty() ? "0" : count);
    }
    // What the server's /stats/KIND says of a path below /site/.
    std::string Stat(const std::string& kind, const std::string& path) const {
        std::string body;
        CURL* curl = curl_easy_init();
        const std::string site = "/site/" + path;
        char* escaped = curl_easy_escape(curl, site.c_str(), static_cast<int>(site.size()));
        const std::string url = server.url("/stats/" + kind + "?path=" + escaped);
        curl_free(escaped);
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        return body;
    }
    bool Open(const std::string& path) {
        engine.sourceUrl = Url(path);
        return engine.OpenLinkTree();
    }
};

TEST_F(LinkSite, EveryKindOfLinkLandsOnceInTreeAndList) {
    ASSERT_TRUE(Open("index.html")) << engine.errorText;
    EXPECT_EQ(tree.NodeText(tree.Selected()), site + "index.html");
    EXPECT_EQ(tree.Paths(site),
              (Texts{"index.html", "index.html/absolute.html", "index.html/charset.html",
                     "index.html/inner.html", "index.html/page1.html", "index.html/proto.html",
                     "index.html/redirect-me", "index.html/refresh.html", "index.html/rooted.html",
                     "index.html/sub/page2.html", "index.html/up.html"}));
    EXPECT_EQ(list.Texts(site),
              (Texts{"style.css",      "refresh.html", "js/app.js",       "bgm.mid",      "page1.html",
                     "sub/page2.html", "rooted.html",  "absolute.html",   "proto.html",   "up.html",
                     "missing.html",   "redirect-me",  "charset.html",    "nolength.bin", "img/a.png",
                     "movie.swf",      "doc.pdf",      "java/Game.class", "inner.html",   "area.zip"}));
    EXPECT_EQ(*list.Find(site + "img/a.png"),
              (LinkRow{site + "img/a.png", "1,009", "image/png", "2021/03/04 12:34", false, ""}));
    // A broken link keeps the reason its probe failed, for its row to show.
    const LinkRow& missing = *list.Find(site + "missing.html");
    EXPECT_EQ(missing.sizeText, "");
    EXPECT_NE(missing.error.find("(404)"), std::string::npos) << missing.error;
    EXPECT_EQ(list.Find(site + "nolength.bin")->sizeText, "0");
    const LinkRow& typed = *list.Find(site + "charset.html");
    EXPECT_EQ(typed.contentType, "text/html; charset=utf-8");
    EXPECT_TRUE(typed.isPage) << "a page whatever the parameters of its type";
    EXPECT_TRUE(list.Find(site + "page1.html")->isPage);
    EXPECT_EQ(Hits("img/a.png"), 1); // met twice, probed once
    EXPECT_EQ(host.LastOf("status"), "http://" + site + "index.html のダウンロード完了");
    EXPECT_EQ(engine.sourceUrl, Url("index.html"));
}

TEST_F(LinkSite, FramesCharsetsBaseAndRedirects) {
    struct Case {
        const char* page;
        Texts rows;
    };
    const Case cases[] = {
        {"frames.html", {"left.html", "right.html"}},
        {"sjis.html", {"日本語.html"}},
        {"eucjp.html", {"資料.zip"}},
        {"nodecl.html", {"画像.jpg"}},
        {"based.html", {"sub/x.jpg"}},
        {"refresh.html", {"index.html"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Open(c.page)) << c.page << ": " << engine.errorText;
        EXPECT_EQ(list.Texts(site), c.rows) << c.page;
    }
    // The root is the page's address after redirects.
    engine.sourceUrl = server.url("/redirect/2?to=/site/frames.html");
    ASSERT_TRUE(engine.OpenLinkTree());
    EXPECT_EQ(tree.NodeText(tree.Selected()), site + "frames.html");
    EXPECT_EQ(list.Texts(site), (Texts{"left.html", "right.html"}));
}

TEST_F(LinkSite, EachTagSwitchTakesItsRowsAway) {
    struct Case {
        int32_t ProgramSettings::*setting;
        Texts gone;
    };
    const Case cases[] = {
        {&ProgramSettings::HttpTreeListTabLinkSetting,
         {"style.css", "page1.html", "area.zip", "nolength.bin"}},
        {&ProgramSettings::HttpTreeListTabMetaSetting, {"refresh.html"}},
        {&ProgramSettings::HttpTreeListTabScriptSetting, {"js/app.js"}},
        {&ProgramSettings::HttpTreeListTabBGsoundSetting, {"bgm.mid"}},
        {&ProgramSettings::HttpTreeListTabImageSetting, {"img/a.png"}},
        {&ProgramSettings::HttpTreeListTabEmbedSetting, {"movie.swf"}},
        {&ProgramSettings::HttpTreeListTabObjectSetting, {"doc.pdf"}},
        {&ProgramSettings::HttpTreeListTabAppletSetting, {"java/Game.class"}},
        {&ProgramSettings::HttpTreeListTabFrameSetting, {"inner.html"}},
    };
    for (const auto& c : cases) {
        host.settings = ProgramSettings{};
        host.settings.*c.setting = 0;
        ASSERT_TRUE(Open("index.html"));
        const Texts rows = list.Texts(site);
        for (const auto& gone : c.gone)
            EXPECT_EQ(std::count(rows.begin(), rows.end(), gone), 0) << gone;
        EXPECT_GE(rows.size(), 8u);
    }
    // Row 1 of the filter alone: only ".zip" files of at least 1 KB... none is that small.
    host.settings = ProgramSettings{};
    host.settings.HttpTreeListExtensionOptionSetting[0] = 0;
    host.settings.HttpTreeListExtensionOptionSetting[1] = 1;
    host.settings.SetExtensionString(1, ".ZIP");
    ASSERT_TRUE(Open("index.html"));
    EXPECT_EQ(list.Texts(site), Texts{"area.zip"});
    EXPECT_EQ(tree.Children(tree.Selected()).size(), 10u); // the tree takes pages whatever the filter says
}

TEST_F(LinkSite, DepthWalkFollowsPagesUpToThreeSteps) {
    const std::string d = site + "d/";
    const Texts level1 = {"0.html", "0.html/1a.html", "0.html/1a.html/2a.html", "0.html/1b.html",
                          "0.html/1b.html/2a.html"};
    Texts level2 = level1;
    for (const char* p : {"0.html/1a.html/2a.html/0.html", "0.html/1a.html/2a.html/3a.html",
                          "0.html/1b.html/2a.html/0.html", "0.html/1b.html/2a.html/3a.html"})
        level2.push_back(p);
    std::sort(level2.begin(), level2.end());
    Texts level3 = level2;
    level3.push_back("0.html/1a.html/2a.html/3a.html/4a.html");
    level3.push_back("0.html/1b.html/2a.html/3a.html/4a.html");
    std::sort(level3.begin(), level3.end());
    const Texts firstRows = {"1a.html", "1b.html", "f0.bin"};
    struct Case {
        int depth;
        bool addToList;
        Texts tree;
        Texts rows;
        int pages;
        int requestsOf2a; // within a walk each page is read, each address probed, once
    };
    const Case cases[] = {
        {0, false, {"0.html", "0.html/1a.html", "0.html/1b.html"}, firstRows, 0, 0},
        {1, false, level1, firstRows, 2, 1},
        {1, true, level1, {"1a.html", "1b.html", "f0.bin", "2a.html", "f1a.bin", "f1b.bin"}, 2, 1},
        {2, false, level2, firstRows, 4, 2},
        {3,
         true,
         level3,
         {"1a.html", "1b.html", "f0.bin", "2a.html", "f1a.bin", "f1b.bin", "3a.html", "f2a.bin", "4a.html",
          "f3a.bin"},
         8,
         2},
    };
    for (const auto& c : cases) {
        host.settings.HttpListNextChoseSetting = c.depth;
        host.settings.HttpListNextChoseAddListSetting = c.addToList;
        ASSERT_TRUE(Open("d/0.html"));
        const int before = Hits("d/2a.html");
        const auto connected = [&] {
            const auto reports = host.Of("status2");
            return std::count_if(reports.begin(), reports.end(), [](const std::string& r) {
                return r.find("接続に成功") != std::string::npos;
            });
        };
        const auto connectionsBefore = connected();
        const LinkWalkSummary summary = engine.WalkLinkTree(tree.Selected());
        EXPECT_EQ(Hits("d/2a.html") - before, c.requestsOf2a) << "depth " << c.depth;
        EXPECT_EQ(connected() - connectionsBefore, c.depth > 0 ? 1 : 0)
            << "a walk's pages and probes share one";
        EXPECT_EQ(tree.Paths(d), c.tree) << "depth " << c.depth;
        EXPECT_EQ(list.Texts(d), c.rows) << "depth " << c.depth;
        EXPECT_EQ(summary.pages, c.pages);
        EXPECT_EQ(summary.failed, 0);
        EXPECT_FALSE(summary.stopped);
    }
}

TEST_F(LinkSite, ReadingNumberLoadsEachPageThatOften) {
    host.settings.HttpTreeListReadingNumberSetting = 3;
    ASSERT_TRUE(engine.ExtractPageLinks(kNoNode, Url("d/4a.html"), true, true, true));
    EXPECT_EQ(Hits("d/4a.html"), 3);
    EXPECT_EQ(Hits("d/f4a.bin"), 1);
    const Texts loads = host.Of("load");
    EXPECT_EQ(loads, Texts(6, Url("d/4a.html"))); // before and after each load
    EXPECT_EQ(list.Texts(site), Texts{"d/f4a.bin"});
}

TEST_F(LinkSite, BusyStateIsEnteredOnlyWhenNoOperationHoldsIt) {
    ASSERT_TRUE(engine.ExtractPageLinks(kNoNode, Url("refresh.html"), true, true, true));
    Texts events;
    for (const auto& call : host.calls)
        if (call.rfind("busy:", 0) == 0 || call.rfind("load:", 0) == 0 || call.rfind("tree:", 0) == 0)
            events.push_back(call);
    EXPECT_EQ(events, (Texts{"tree:" + Url("refresh.html"), "busy:begin", "load:" + Url("refresh.html"),
                             "load:" + Url("refresh.html"), "busy:end"}));
    EXPECT_NE(
        std::find(host.calls.begin(), host.calls.end(), "status:" + Url("refresh.html") + " を読み込み中"),
        host.calls.end());
    EXPECT_FALSE(host.Of("progress").empty());

    host.calls.clear();
    host.busy = true;
    ASSERT_TRUE(engine.ExtractPageLinks(kNoNode, Url("refresh.html"), true, true, true));
    EXPECT_TRUE(host.Of("busy").empty());
}

// Stops the walk once the given number of pages has begun loading. (A page
// that is already on its way may still arrive whole; no other may begin.)
class StopAtLoad : public RecordingHost {
public:
    int stopAt = 0;
    int loads = 0;
    void SetStatus(const std::string& text) override {
        RecordingHost::SetStatus(text);
        if (text.ends_with(" を読み込み中") && ++loads == stopAt)
            stop = true;
    }
};

TEST_F(LinkSite, StopEndsTheWalkAndKeepsWhatWasInserted) {
    StopAtLoad stopper;
    CInternetDownloader e(&stopper);
    e.SetLinkPanes(&tree, &list);
    stopper.settings.HttpListNextChoseSetting = 3;
    stopper.settings.HttpListNextChoseAddListSetting = 1;
    stopper.busy = true; // as inside the window's operation
    e.sourceUrl = Url("d/0.html");
    ASSERT_TRUE(e.OpenLinkTree());
    const Texts before = tree.Paths();
    stopper.stopAt = stopper.loads + 3; // the third page of the walk
    const LinkWalkSummary summary = e.WalkLinkTree(tree.Selected());
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.pages, 3);
    EXPECT_EQ(stopper.loads, stopper.stopAt); // no page began after Stop
    EXPECT_GT(tree.Paths().size(), before.size());
    EXPECT_LT(tree.Paths().size(), 11u);
    EXPECT_GE(list.Rows().size(), 3u);
}

TEST_F(LinkSite, FailedPagesOfTheWalkAreToldAndCountedWithoutAWarningEach) {
    engine.sourceUrl = Url("missing.html");
    EXPECT_FALSE(engine.OpenLinkTree());
    EXPECT_EQ(engine.errorText, "要求されたURLが見つかりません(404)");
    EXPECT_TRUE(tree.Paths().empty());

    // Pages of the walk that fail are said on the status line and counted;
    // the walk goes on and nobody has to answer a dialog for each.
    tree.SelectSilently(tree.InsertRoot(site + "d/0.html"));
    tree.InsertChild(tree.Selected(), site + "missing.html");
    tree.InsertChild(tree.Selected(), site + "d/1a.html");
    tree.InsertChild(tree.Selected(), hostPort + "/status/500");
    host.settings.HttpListNextChoseSetting = 1;
    const LinkWalkSummary summary = engine.WalkLinkTree(tree.Selected());
    EXPECT_EQ(summary.pages, 3);
    EXPECT_EQ(summary.failed, 2);
    EXPECT_FALSE(summary.stopped);
    const Texts told = host.Of("transfer");
    for (const std::string& text :
         {"http://" + site + "missing.html を読み込めませんでした: 要求されたURLが見つかりません(404)",
          "http://" + hostPort + "/status/500 を読み込めませんでした: 原因不明のサーバーエラー(500)"})
        EXPECT_NE(std::find(told.begin(), told.end(), text), told.end()) << text;
    EXPECT_EQ(engine.linkTroubles.failedPages, 2);
    EXPECT_EQ(engine.linkTroubles.Text(), "リンク一覧表示終了: 読み込めなかったページ 2 件");
    EXPECT_EQ(tree.Paths(site),
              (Texts{"d/0.html", "d/0.html/" + hostPort + "/status/500", "d/0.html/d/1a.html",
                     "d/0.html/d/1a.html/d/2a.html", "d/0.html/missing.html"}));
}

TEST_F(LinkSite, PagesAreKnownByTheirMediaTypeWhateverItsParametersAndCase) {
    host.settings.HttpListNextChoseSetting = 1;
    host.settings.HttpListNextChoseAddListSetting = 1;
    ASSERT_TRUE(Open("typed.html"));
    engine.WalkLinkTree(tree.Selected());
    EXPECT_EQ(tree.Paths(site), (Texts{"typed.html", "typed.html/typed/a.html", "typed.html/typed/b.html"}));
    EXPECT_EQ(list.Texts(site), (Texts{"typed/a.html", "typed/b.html", "typed/c.bin"}));
    EXPECT_TRUE(list.Find(site + "typed/b.html")->isPage);
    EXPECT_EQ(list.Find(site + "typed/b.html")->contentType, "Text/HTML;charset=Shift_JIS")
        << "shown as sent";

    const std::pair<const char*, bool> types[] = {
        {"text/html", true},
        {"TEXT/HTML", true},
        {"text/html; charset=UTF-8", true},
        {" text/html ;x=y", true},
        {"application/xhtml+xml; charset=utf-8", true},
        {"text/htmlx", false},
        {"text/plain; charset=html", false},
        {"", false},
        {"html", false},
    };
    for (const auto& [type, page] : types)
        EXPECT_EQ(CInternetDownloader::IsPageType(type), page) << type;
}

TEST_F(LinkSite, OneTagWithAHundredThousandsOfAttributesCostsNoMoreThanAnyPage) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Open("attrs?n=200000"));
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(list.Texts(site), (Texts{"before.bin", "after.bin"}));
    EXPECT_LT(seconds, 60) << "ends promptly (the parser alone once took minutes)";
}

TEST_F(LinkSite, PagesInJapaneseEncodingsAsBrowsersReadThem) {
    // Half-width katakana alone, undeclared: Shift_JIS, not EUC-JP kanji.
    ASSERT_TRUE(Open("hankaku.html"));
    EXPECT_EQ(list.Texts(site), Texts{"ﾃﾞｰﾀ.txt"});

    // A query goes out in the page's encoding; the path, and escapes the page
    // wrote itself, stay as they were.
    const struct {
        const char* page;
        Texts rows;
        const char* sentQuery;
    } cases[] = {
        {"sjisquery.html", {"q.cgi?q=%93%FA%96{&n=1", "日本.bin?v=%8C%EA", "a.bin?x=日"}, "q=%93%FA%96{&n=1"},
        {"eucquery.html",
         {"q.cgi?q=%C6%FC%CB%DC&n=1", "日本.bin?v=%B8%EC", "a.bin?x=日"},
         "q=%C6%FC%CB%DC&n=1"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Open(c.page)) << c.page;
        EXPECT_EQ(list.Texts(site), c.rows) << c.page;
        EXPECT_EQ(Stat("query", "q.cgi"), c.sentQuery) << c.page;
        EXPECT_EQ(Stat("query", "a.bin"), "x=%E6%97%A5") << c.page;
    }
}

TEST_F(LinkSite, OneFileLinkedRawAndEncodedIsOneRowAndOneProbe) {
    ASSERT_TRUE(Open("dupes.html"));
    EXPECT_EQ(list.Texts(site), (Texts{"資料.zip", "~user.bin", "a%2Fb.bin"}));
    EXPECT_EQ(Hits("%E8%B3%87%E6%96%99.zip") + Hits("%e8%b3%87%e6%96%99.zip"), 1);
    EXPECT_EQ(CInternetDownloader::LinkText(
                  "http://H.Example:8080/%7e/%41%2f%e6%97%a5%20x%ff?a=%20%e6%97%a5&b=c d"),
              "h.example:8080/~/A%2F日 x%FF?a=%20日&b=c d");
}

TEST_F(LinkSite, AServerThatCannotBeReachedCostsOneAttemptPerListing) {
    // A server that never answers (its queue is full: connections are
    // dropped unanswered) and a port where nothing listens.
    SilentServer silent("127.0.0.2");
    const std::string refused = "127.0.0.3:" + std::to_string(FreePort("127.0.0.3"));
    host.settings.ConnectTimeoutSetting = 1;
    ASSERT_TRUE(Open("dead?to=" + silent.hostPort + "," + refused));
    const auto attempts = [&](const std::string& address) {
        const Texts reports = host.Of("status2");
        return std::count_if(reports.begin(), reports.end(), [&](const std::string& r) {
            return r.find(address + " のソケットアドレスへ接続中") != std::string::npos;
        });
    };
    EXPECT_EQ(attempts("127.0.0.2"), 1);
    EXPECT_EQ(attempts("127.0.0.3"), 1);
    // Each link failed, with the message of the first attempt.
    const Texts told = host.Of("transfer");
    for (const char* reason : {"サーバーに接続できないまま 1 秒が過ぎたため、接続を打ち切りました",
                               "サーバーに接続できませんでした"}) {
        const auto same = std::count_if(told.begin(), told.end(),
                                        [&](const std::string& t) { return t.rfind(reason, 0) == 0; });
        EXPECT_EQ(same, 3) << reason;
    }
    EXPECT_EQ(list.Rows().size(), 7u);
    EXPECT_EQ(list.Find(site + "alive.bin")->sizeText, "1,009");
    EXPECT_EQ(list.Find(silent.hostPort + "/b.bin")->sizeText, "") << "failed probes have no size";

    // The next listing tries again.
    ASSERT_TRUE(Open("dead?to=" + refused));
    EXPECT_EQ(attempts("127.0.0.3"), 2);
}

TEST_F(LinkSite, HostilePagesDoNoHarm) {
    // 100,000 links to 20 files: 20 rows, each file probed once.
    ASSERT_TRUE(Open("many?n=100000&distinct=20"));
    EXPECT_EQ(list.Rows().size(), 20u);
    EXPECT_EQ(Hits("f/7.bin"), 1);

    ASSERT_TRUE(Open("deep?n=100000"));
    EXPECT_EQ(list.Texts(site), Texts{"bottom.bin"});

    ASSERT_TRUE(Open("broken"));
    EXPECT_EQ(list.Texts(site), (Texts{"b1.bin", "b3.png", "b4.bin", "b5.bin"}));

    // The parser makes control characters U+FFFD; ".." never climbs above the host.
    ASSERT_TRUE(Open("hostile"));
    EXPECT_EQ(list.Texts(hostPort), (Texts{"/site/ctl\xEF\xBF\xBD\xEF\xBF\xBD.bin", "/etc/passwd", "/up.bin",
                                           "/site/spaced.bin", "/x.bin"}));
}

TEST_F(LinkSite, FiftyMegabytesOfLinksAreReadUpToTheBound) {
    // The first 32 MiB are read, and the user is told.
    ASSERT_TRUE(Open("huge?mb=50"));
    EXPECT_EQ(host.Of("transfer").front(),
              "http://" + site + "huge?mb=50 は 32 MB を超えるため、先頭の部分からリンクを抽出します");
    EXPECT_EQ(engine.linkTroubles.Text(),
              "リンク一覧表示終了: 32 MB を超えて先頭の部分だけを読んだページ 1 件");
    EXPECT_GE(list.Rows().size(), 20u);
    EXPECT_LT(list.Rows().size(), 40u);
}

TEST_F(LinkSite, APageThatNeverEndsEndsOnStopOrAtTheBound) {
    FetchedPage page;
    ASSERT_TRUE(engine.FetchPage(Url("endless"), page, [](int64_t, int64_t) {}));
    EXPECT_TRUE(page.truncated);
    EXPECT_EQ(page.body.size(), CInternetDownloader::kMaxPageBytes);

    host.stopAfterPumps = host.pumps + 30;
    ASSERT_TRUE(Open("endless?slow=1"));
    EXPECT_TRUE(list.Rows().empty());
    EXPECT_TRUE(tree.Paths().empty());
    EXPECT_TRUE(engine.errorText.empty());
}

// Probes several at once: the same tree and rows, each page read and each
// address probed once, and never more probes waited on than allowed.
TEST_F(LinkSite, ProbesGoOutSeveralAtOnceWithTheSameResult) {
    host.settings.HttpListNextChoseSetting = 3;
    host.settings.HttpListNextChoseAddListSetting = 1;
    host.settings.ParallelTransfersSetting = 4;
    ASSERT_TRUE(Open("d/0.html"));
    const LinkWalkSummary summary = engine.WalkLinkTree(tree.Selected());
    EXPECT_EQ(summary.pages, 8);
    EXPECT_EQ(Hits("d/2a.html"), 2) << "read once and probed once";
    EXPECT_EQ(Hits("d/f3a.bin"), 1);
    EXPECT_EQ(list.Texts(site + "d/"), (Texts{"1a.html", "1b.html", "f0.bin", "2a.html", "f1a.bin", "f1b.bin",
                                              "3a.html", "f2a.bin", "4a.html", "f3a.bin"}));
    EXPECT_EQ(engine.KeptConnections(), 0u);

    TempDir www;
    std::string page = "<html><body>";
    for (int k = 1; k <= 8; ++k)
        page += "<a href=\"/busy/200/" + std::to_string(k) + "\">" + std::to_string(k) + "</a>";
    WriteFile(www / "p.html", page + "</body></html>");
    TestServer files = TestServer::StartHttp(www.path());
    ASSERT_TRUE(engine.ExtractPageLinks(kNoNode, files.url("/p.html"), false, true, true));
    Texts rows;
    for (int k = 1; k <= 8; ++k)
        rows.push_back("busy/200/" + std::to_string(k));
    EXPECT_EQ(list.Texts("127.0.0.1:" + std::to_string(files.port()) + "/"), rows) << "in the page's order";
    std::string peak;
    CURL* curl = curl_easy_init();
    const std::string url = files.url("/stats/peak");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &peak);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    EXPECT_GE(std::stoi(peak), 2);
    EXPECT_LE(std::stoi(peak), 4);
}

} // namespace
} // namespace ordinex::test
