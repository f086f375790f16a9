#pragma once
#include <wx/panel.h>

#include <string>

class wxWebView;
class wxWebViewEvent;

namespace ordinex {

// The platform's web view as the program needs it. The view underneath
// raises its events per frame and per attempt: several "navigating" events
// for one page (frames, redirects), a failure followed by an error page of
// its own, loads cut short by the next one. Here a page load has exactly one
// start and one finish, whatever happens in between; progress and status
// texts come with it; and the view never saves a file by itself: a
// navigation that would turn into a download is refused and reported.
// Every event reaches the handlers from the event loop, in the order the
// view raised them, never from inside the view's own signal.
class CFixHtmlView : public wxPanel {
public:
    explicit CFixHtmlView(wxWindow* parent);
    ~CFixHtmlView() override;

    // False when the platform has no web view to offer.
    bool IsReady() const { return web_ != nullptr; }
    wxWebView* Web() const { return web_; }

    void Navigate(const std::string& url);
    // The address of the page shown (or being loaded).
    std::string Location() const;
    // A page load is under way (frames loading after it do not count).
    bool IsLoading() const;
    bool CanGoBack() const;
    bool CanGoForward() const;
    void GoBack();
    void GoForward();
    void StopLoading();
    void Reload();

protected:
    // Before any navigation, of the page or one of its frames.
    virtual void OnBeforeNavigate(const std::string& /*url*/, const std::string& /*frame*/) {}
    // A page load began.
    virtual void OnLoadStarted(const std::string& /*url*/) {}
    // A page load ended, loaded or not; newerLoad: another one has begun since.
    virtual void OnLoadFinished(bool /*newerLoad*/) {}
    virtual void OnProgress(int /*percent*/) {}
    // What a browser's status bar would say: a resource being loaded, the
    // link under the mouse, or nothing.
    virtual void OnStatusText(const std::string& /*text*/) {}
    // A navigation that would have saved a file; nothing was saved.
    virtual void OnDownloadRefused(const std::string& /*url*/) {}

private:
    void ConnectNative();
    void OnNavigating(wxWebViewEvent& event);
    void OnNewWindow(wxWebViewEvent& event);

    // The view's signals (fix_html_view.cpp).
    friend struct NativeSignals;

    wxWebView* web_ = nullptr;
    void* native_ = nullptr;  // the toolkit's web view
    void* context_ = nullptr; // its web context, where downloads begin
};

} // namespace ordinex
