#include "gui/browser/fix_html_view.h"

#include "gui/kit/wx_text.h"
#include "ui/browser_texts.h"

#include <wx/sizer.h>
#include <wx/webview.h>

#include <webkit2/webkit2.h>

#include <cmath>

namespace ordinex {

namespace {
std::string Text(const gchar* text) {
    return text ? std::string(text) : std::string();
}
} // namespace

// Signal handlers of the toolkit's web view. Each one only records what
// happened and hands it to the event loop.
struct NativeSignals {
    static void LoadChanged(WebKitWebView* web, WebKitLoadEvent event, gpointer data) {
        auto* self = static_cast<CFixHtmlView*>(data);
        if (event == WEBKIT_LOAD_STARTED) {
            // The view names the new address only once it is under way.
            self->CallAfter([self] { self->OnLoadStarted(self->Location()); });
        } else if (event == WEBKIT_LOAD_FINISHED) {
            // A load cut short by a newer one finishes while that one runs.
            const bool newerLoad = webkit_web_view_is_loading(web);
            self->CallAfter([self, newerLoad] { self->OnLoadFinished(newerLoad); });
        }
    }

    static void Progress(GObject* web, GParamSpec*, gpointer data) {
        auto* self = static_cast<CFixHtmlView*>(data);
        const double fraction = webkit_web_view_get_estimated_load_progress(WEBKIT_WEB_VIEW(web));
        const int percent = static_cast<int>(std::lround(fraction * 100));
        self->CallAfter([self, percent] { self->OnProgress(percent); });
    }

    static void ResourceLoad(WebKitWebView*, WebKitWebResource*, WebKitURIRequest* request, gpointer data) {
        auto* self = static_cast<CFixHtmlView*>(data);
        const std::string text = Text(webkit_uri_request_get_uri(request)) + browserwin::kLoadingResource;
        self->CallAfter([self, text] { self->OnStatusText(text); });
    }

    static void MouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer data) {
        auto* self = static_cast<CFixHtmlView*>(data);
        const std::string text =
            webkit_hit_test_result_context_is_link(hit) ? Text(webkit_hit_test_result_get_link_uri(hit)) : "";
        self->CallAfter([self, text] { self->OnStatusText(text); });
    }

    // A page answered with something the view cannot show: the view drops
    // it (or turns it into a download, below); either way it is reported.
    static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer data) {
        if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
            return FALSE;
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (!webkit_response_policy_decision_is_main_frame_main_resource(response) ||
            webkit_response_policy_decision_is_mime_type_supported(response))
            return FALSE;
        auto* self = static_cast<CFixHtmlView*>(data);
        const std::string url =
            Text(webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response)));
        self->CallAfter([self, url] { self->OnDownloadRefused(url); });
        return FALSE; // the view's own decision stands
    }

    // The view would save the file into the user's folders without asking:
    // it is cancelled before a destination is chosen.
    static void DownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer data) {
        auto* self = static_cast<CFixHtmlView*>(data);
        if (webkit_download_get_web_view(download) != self->native_)
            return;
        const std::string url = Text(webkit_uri_request_get_uri(webkit_download_get_request(download)));
        webkit_download_cancel(download);
        self->CallAfter([self, url] { self->OnDownloadRefused(url); });
    }
};

CFixHtmlView::CFixHtmlView(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    if (!wxWebView::IsBackendAvailable(wxWebViewBackendDefault))
        return;
    // No first page: a blank one would stay in the history before the first address.
    web_ = wxWebView::New(this, wxID_ANY, wxString());
    if (!web_)
        return;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(web_, 1, wxEXPAND);
    SetSizer(sizer);
    web_->Bind(wxEVT_WEBVIEW_NAVIGATING, &CFixHtmlView::OnNavigating, this);
    web_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &CFixHtmlView::OnNewWindow, this);
    ConnectNative();
}

CFixHtmlView::~CFixHtmlView() {
    // The toolkit's view may outlive this window for a moment; its signals
    // must not reach it any more.
    if (native_)
        g_signal_handlers_disconnect_by_data(native_, this);
    if (context_)
        g_signal_handlers_disconnect_by_data(context_, this);
}

void CFixHtmlView::ConnectNative() {
    native_ = web_->GetNativeBackend();
    if (!native_ || !WEBKIT_IS_WEB_VIEW(native_)) {
        native_ = nullptr;
        return;
    }
    WebKitWebView* web = WEBKIT_WEB_VIEW(native_);
    g_signal_connect(web, "load-changed", G_CALLBACK(NativeSignals::LoadChanged), this);
    g_signal_connect(web, "notify::estimated-load-progress", G_CALLBACK(NativeSignals::Progress), this);
    g_signal_connect(web, "resource-load-started", G_CALLBACK(NativeSignals::ResourceLoad), this);
    g_signal_connect(web, "mouse-target-changed", G_CALLBACK(NativeSignals::MouseTarget), this);
    g_signal_connect(web, "decide-policy", G_CALLBACK(NativeSignals::DecidePolicy), this);
    context_ = webkit_web_view_get_context(web);
    g_signal_connect(context_, "download-started", G_CALLBACK(NativeSignals::DownloadStarted), this);
}

void CFixHtmlView::OnNavigating(wxWebViewEvent& event) {
    event.Skip();
    const std::string url = FromWx(event.GetURL());
    const std::string frame = FromWx(event.GetTarget());
    CallAfter([this, url, frame] { OnBeforeNavigate(url, frame); });
}

void CFixHtmlView::OnNewWindow(wxWebViewEvent& event) {
    // A link meant for a new window opens in this one: there is one browser.
    web_->LoadURL(event.GetURL());
}

void CFixHtmlView::Navigate(const std::string& url) {
    if (web_)
        web_->LoadURL(ToWx(url));
}

std::string CFixHtmlView::Location() const {
    return web_ ? FromWx(web_->GetCurrentURL()) : std::string();
}

bool CFixHtmlView::IsLoading() const {
    // wx's own busy flag stays set after a frame navigates on a loaded page.
    return native_ && webkit_web_view_is_loading(WEBKIT_WEB_VIEW(native_));
}

bool CFixHtmlView::CanGoBack() const {
    return web_ && web_->CanGoBack();
}
bool CFixHtmlView::CanGoForward() const {
    return web_ && web_->CanGoForward();
}

void CFixHtmlView::GoBack() {
    if (web_ && web_->CanGoBack())
        web_->GoBack();
}

void CFixHtmlView::GoForward() {
    if (web_ && web_->CanGoForward())
        web_->GoForward();
}

void CFixHtmlView::StopLoading() {
    if (web_)
        web_->Stop();
}

void CFixHtmlView::Reload() {
    if (web_)
        web_->Reload();
}

} // namespace ordinex
