#pragma once
#include "gui/browser/fix_html_view.h"
#include "ui/browser_rules.h"

#include <wx/timer.h>

#include <functional>
#include <string>

namespace ordinex {

class COrdinexApp;

// The browser window's view: page loads hold the application's busy state,
// and report to the main form while they run.
class CBrowserView : public CFixHtmlView {
public:
    CBrowserView(wxWindow* parent, COrdinexApp& app);
    ~CBrowserView() override;

    // A navigation of the user's (the address box, another window): the
    // page's status texts go to the main form until it has loaded.
    void NavigateFromUser(const std::string& url);
    // The Stop command: the load stops and lets the busy state go at once.
    void Stop();
    // The window is closing: the busy state is let go; the load dies with the view.
    void Release();

    bool HoldsBusy() const { return busy_.Held(); }
    bool Navigating() const { return navigating_; }

    // A page has loaded: its location, and what the address box shows (the
    // location, or the address of a file the page led to).
    using PageShown = std::function<void(const std::string& location, const std::string& address)>;
    void SetPageShownHandler(PageShown handler) { pageShown_ = std::move(handler); }
    // A load began or ended: the commands' rules have something new to look at.
    void SetLoadStateHandler(std::function<void()> handler) { loadState_ = std::move(handler); }
    // A file the view would have saved (a link to it clicked, its address
    // entered): offered once per page load, when the load is over and has
    // let the busy state go. Not after Stop.
    void SetFileOfferHandler(std::function<void(const std::string& url)> handler) {
        fileOffer_ = std::move(handler);
    }

    // How often the load is looked at for an end it did not report, or a
    // stop request of the main window.
    static constexpr int kWatchMs = 250;

protected:
    void OnBeforeNavigate(const std::string& url, const std::string& frame) override;
    void OnLoadStarted(const std::string& url) override;
    void OnLoadFinished(bool newerLoad) override;
    void OnProgress(int percent) override;
    void OnStatusText(const std::string& text) override;
    void OnDownloadRefused(const std::string& url) override;

private:
    void Apply(browser::PageLoadBusy::Step step);
    void OnWatch();
    void DocumentComplete();
    void OfferRefusedFile();

    COrdinexApp& app_;
    browser::PageLoadBusy busy_;
    wxTimer watch_;
    bool navigating_ = false;
    std::string refusedDownload_; // of the current page load
    std::string pendingOffer_;    // a refused file not offered yet
    std::string offeredFile_;     // the file offered for the current page load
    PageShown pageShown_;
    std::function<void()> loadState_;
    std::function<void(const std::string&)> fileOffer_;
};

} // namespace ordinex
