// The built-in browser's rules, without a window.
#include "ui/browser_rules.h"
#include "ui/command_ids.h"

#include <gtest/gtest.h>

namespace ordinex::test {
namespace {

using browser::PageLoadBusy;
using Step = PageLoadBusy::Step;

TEST(BrowserRules, CommandsFollowTheViewTheAddressAndTheBusyState) {
    browser::BrowserState idle;
    idle.addressEmpty = false;
    for (int c :
         {cmd::kBrowserToUrlFolder, cmd::kBrowserToUrlFile, cmd::kBrowserFtpTree, cmd::kBrowserReload})
        EXPECT_TRUE(browser::CommandAvailable(c, idle)) << c;
    for (int c : {cmd::kBrowserBack, cmd::kBrowserForward, cmd::kBrowserStop})
        EXPECT_FALSE(browser::CommandAvailable(c, idle)) << c;
    EXPECT_TRUE(browser::CommandAvailable(cmd::kBrowserLinkTree, idle));

    for (bool emptyAddress : {true, false}) {
        browser::BrowserState s = idle;
        s.addressEmpty = emptyAddress;
        s.running = !emptyAddress;
        for (int c :
             {cmd::kBrowserToUrlFolder, cmd::kBrowserToUrlFile, cmd::kBrowserFtpTree, cmd::kBrowserLinkTree})
            EXPECT_FALSE(browser::CommandAvailable(c, s)) << c;
    }
    browser::BrowserState loading = idle;
    loading.running = loading.loading = loading.canGoBack = loading.canGoForward = true;
    for (int c : {cmd::kBrowserBack, cmd::kBrowserForward, cmd::kBrowserStop, cmd::kBrowserReload})
        EXPECT_TRUE(browser::CommandAvailable(c, loading)) << c;
}

TEST(BrowserRules, AnAddressJoinsTheListUnlessAnEntryBeginsWithIt) {
    const std::vector<std::string> list{"http://Host/dir/page.html", "ftp://h/"};
    EXPECT_FALSE(browser::AddressListTakes(list, "http://host/dir/")) << "a prefix, letters without case";
    EXPECT_FALSE(browser::AddressListTakes(list, "ftp://h/"));
    EXPECT_TRUE(browser::AddressListTakes(list, "http://host/dir/page.html2"));
    EXPECT_TRUE(browser::AddressListTakes(list, "ftp://g/"));
    EXPECT_FALSE(browser::AddressListTakes(list, ""));

    EXPECT_EQ(browser::AddressToLoad("127.0.0.1:8080/a.html"), "http://127.0.0.1:8080/a.html");
    EXPECT_EQ(browser::AddressToLoad("ftp://h/pub/"), "ftp://h/pub/");
}

TEST(BrowserRules, APageLoadHoldsTheBusyStateOnceAndAlwaysLetsItGo) {
    PageLoadBusy busy;
    EXPECT_EQ(busy.LoadStarted(true), Step::None) << "a run holds it";
    EXPECT_EQ(busy.Watch(true, false, false), Step::Enter) << "taken once the run has ended";
    EXPECT_EQ(busy.LoadStarted(true), Step::None) << "its own load does not enter twice";
    EXPECT_EQ(busy.LoadFinished(true), Step::None) << "cut short by a newer load";
    EXPECT_EQ(busy.LoadFinished(false), Step::Leave);
    EXPECT_EQ(busy.LoadFinished(false), Step::None);

    ASSERT_EQ(busy.LoadStarted(false), Step::Enter);
    EXPECT_EQ(busy.Watch(false, true, false), Step::None);
    EXPECT_EQ(busy.Watch(true, true, false), Step::None) << "loading again: the count starts over";
    EXPECT_EQ(busy.Watch(false, true, false), Step::None);
    EXPECT_EQ(busy.Watch(false, true, false), Step::Leave) << "an end the view never reported";

    ASSERT_EQ(busy.LoadStarted(false), Step::Enter);
    EXPECT_EQ(busy.Watch(true, true, true), Step::Leave) << "the main window's Stop";
    EXPECT_EQ(busy.Watch(true, false, false), Step::None) << "the stopped load winding down";
    EXPECT_EQ(busy.LoadFinished(false), Step::None);

    ASSERT_EQ(busy.LoadStarted(false), Step::Enter);
    EXPECT_EQ(busy.Release(), Step::Leave) << "the window closed";
    EXPECT_EQ(busy.Release(), Step::None);
}

} // namespace
} // namespace ordinex::test
