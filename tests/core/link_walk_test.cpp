#include "listing/download_html.h"
#include "net/internet_downloader.h"
#include "net_recorders.h"
#include "test_servers.h"

#include <algorithm>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ordinex::test {
namespace {

using Texts = std::vector<std::string>;

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
        std::string body;
        CURL* curl = curl_easy_init();
        const std::string url = server.url("/stats/hits?path=/site/" + path);
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        return std::stoi(body.empty() ? "0" : body);
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
              (Texts{"index.html", "index.html/absolute.html", "index.html/inner.html", "index.html/page1.html",
                     "index.html/proto.html", "index.html/redirect-me", "index.html/refresh.html",
                     "index.html/rooted.html", "index.html/sub/page2.html", "index.html/up.html"}));
    EXPECT_EQ(list.Texts(site),
              (Texts{"style.css", "refresh.html", "js/app.js", "bgm.mid", "page1.html", "sub/page2.html",
                     "rooted.html", "absolute.html", "proto.html", "up.html", "missing.html", "redirect-me",
                     "charset.html", "nolength.bin", "img/a.png", "movie.swf", "doc.pdf", "java/Game.class",
                     "inner.html", "area.zip"}));
    EXPECT_EQ(*list.Find(site + "img/a.png"), (LinkRow{site + "img/a.png", "1,009", "image/png", "2021/03/04 12:34", false}));
    EXPECT_EQ(*list.Find(site + "missing.html"), (LinkRow{site + "missing.html", "", "", "", false}));
    EXPECT_EQ(list.Find(site + "nolength.bin")->sizeText, "0");
    const LinkRow& typed = *list.Find(site + "charset.html");
    EXPECT_EQ(typed.contentType, "text/html; charset=utf-8");
    EXPECT_FALSE(typed.isPage);
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
        {&ProgramSettings::HttpTreeListTabLinkSetting, {"style.css", "page1.html", "area.zip", "nolength.bin"}},
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
    EXPECT_EQ(tree.Children(tree.Selected()).size(), 9u); // the tree takes pages whatever the filter says
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
        {3, true, level3,
         {"1a.html", "1b.html", "f0.bin", "2a.html", "f1a.bin", "f1b.bin", "3a.html", "f2a.bin", "4a.html",
          "f3a.bin"},
         8, 2},
    };
    for (const auto& c : cases) {
        host.settings.HttpListNextChoseSetting = c.depth;
        host.settings.HttpListNextChoseAddListSetting = c.addToList;
        ASSERT_TRUE(Open("d/0.html"));
        const int before = Hits("d/2a.html");
        const auto connected = [&] {
            const auto reports = host.Of("status2");
            return std::count_if(reports.begin(), reports.end(),
                                 [](const std::string& r) { return r.find("接続に成功") != std::string::npos; });
        };
        const auto connectionsBefore = connected();
        const LinkWalkSummary summary = engine.WalkLinkTree(tree.Selected());
        EXPECT_EQ(Hits("d/2a.html") - before, c.requestsOf2a) << "depth " << c.depth;
        EXPECT_EQ(connected() - connectionsBefore, c.depth > 0 ? 1 : 0) << "a walk's pages and probes share one";
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
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), "status:" + Url("refresh.html") + " を読み込み中"),
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

TEST_F(LinkSite, FailedPagesWarnInTheWalkAndFailAtTheStart) {
    engine.sourceUrl = Url("missing.html");
    EXPECT_FALSE(engine.OpenLinkTree());
    EXPECT_EQ(engine.errorText, "要求されたURLが見つかりません(404)");
    EXPECT_TRUE(tree.Paths().empty());

    // A page of the walk that fails is warned about, and the walk goes on.
    tree.SelectSilently(tree.InsertRoot(site + "d/0.html"));
    tree.InsertChild(tree.Selected(), site + "missing.html");
    tree.InsertChild(tree.Selected(), site + "d/1a.html");
    host.settings.HttpListNextChoseSetting = 1;
    const LinkWalkSummary summary = engine.WalkLinkTree(tree.Selected());
    EXPECT_EQ(summary.pages, 2);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(host.Of("warning"), Texts{"要求されたURLが見つかりません(404)"});
    EXPECT_EQ(tree.Paths(site), (Texts{"d/0.html", "d/0.html/d/1a.html", "d/0.html/d/1a.html/d/2a.html",
                                       "d/0.html/missing.html"}));
    // "Yes" to the warning ends the walk.
    host.warningAnswer = kAnswerYes;
    EXPECT_TRUE(engine.WalkLinkTree(tree.Selected()).stopped);
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
    EXPECT_EQ(list.Texts(hostPort),
              (Texts{"/site/ctl\xEF\xBF\xBD\xEF\xBF\xBD.bin", "/etc/passwd", "/up.bin", "/site/spaced.bin", "/x.bin"}));
}

TEST_F(LinkSite, FiftyMegabytesOfLinksAreReadUpToTheBound) {
    // The first 32 MiB are read, and the user is told.
    ASSERT_TRUE(Open("huge?mb=50"));
    EXPECT_NE(host.LastOf("transfer").find("32 MB"), std::string::npos);
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

} // namespace
} // namespace ordinex::test
