#include "gui/browser/browser_view.h"

#include "app/ordinex_app.h"

#include <utility>

namespace ordinex {

using Step = browser::PageLoadBusy::Step;

CBrowserView::CBrowserView(wxWindow* parent, COrdinexApp& app)
    : CFixHtmlView(parent), app_(app), watch_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnWatch(); });
    if (IsReady())
        watch_.Start(kWatchMs);
}

CBrowserView::~CBrowserView() {
    watch_.Stop();
    // The frame is going first: nothing is reported to it any more.
    pageShown_ = nullptr;
    loadState_ = nullptr;
    fileOffer_ = nullptr;
    Release();
}

void CBrowserView::NavigateFromUser(const std::string& url) {
    // Set in turn with the view's events: the end of a load that was
    // already over must not clear it.
    CallAfter([this] { navigating_ = true; });
    Navigate(browser::AddressToLoad(url));
}

void CBrowserView::Stop() {
    pendingOffer_.clear();
    StopLoading();
    Apply(busy_.Stop());
}

void CBrowserView::Release() {
    pendingOffer_.clear();
    Apply(busy_.Release());
}

void CBrowserView::Apply(Step step) {
    switch (step) {
    case Step::Enter:
        app_.BeginBusy();
        break;
    case Step::Leave:
        app_.EndBusy();
        break;
    case Step::None:
        break;
    }
    if (loadState_)
        loadState_();
}

void CBrowserView::OnWatch() {
    const bool stopRequested = busy_.Held() && app_.stopRequested;
    const Step step = busy_.Watch(IsLoading(), app_.running, app_.stopRequested);
    if (step == Step::Enter) {
        Apply(step);
        app_.ShowLoadTarget(Location(), "");
        return;
    }
    if (step != Step::Leave)
        return;
    if (stopRequested) {
        // The main window's Stop: the page stops; the view reports its end later.
        pendingOffer_.clear();
        StopLoading();
        Apply(step);
        return;
    }
    // The load ended without saying so.
    Apply(step);
    DocumentComplete();
    OfferRefusedFile();
}

void CBrowserView::OnBeforeNavigate(const std::string& url, const std::string& frame) {
    // The page's own start is reported when its load begins; this one is of
    // a frame or a redirect within it.
    if (busy_.Held())
        app_.ShowLoadTarget(url, frame);
}

void CBrowserView::OnLoadStarted(const std::string& url) {
    refusedDownload_.clear();
    pendingOffer_.clear();
    offeredFile_.clear();
    Apply(busy_.LoadStarted(app_.running));
    if (busy_.Held())
        app_.ShowLoadTarget(url, "");
}

void CBrowserView::OnLoadFinished(bool newerLoad) {
    if (newerLoad) {
        busy_.LoadFinished(true);
        return;
    }
    const bool held = busy_.Held();
    DocumentComplete();
    if (held)
        app_.ShowLoadTarget(Location(), "");
    Apply(busy_.LoadFinished(false));
    navigating_ = false;
    OfferRefusedFile();
}

void CBrowserView::DocumentComplete() {
    const std::string location = Location();
    if (pageShown_)
        pageShown_(location, refusedDownload_.empty() ? location : refusedDownload_);
}

void CBrowserView::OnProgress(int percent) {
    if (busy_.Held())
        app_.SetByteProgress("", 100, percent);
}

void CBrowserView::OnStatusText(const std::string& text) {
    // Only a load of the user's own holding the busy state writes the form:
    // a run's status lines are left alone.
    if (navigating_ && busy_.Held())
        app_.SetStatus(text);
}

void CBrowserView::OnDownloadRefused(const std::string& url) {
    // The address box takes the file's address, ready to be copied into the job.
    refusedDownload_ = url;
    if (!IsLoading() && pageShown_)
        pageShown_(Location(), url);
    // The view reports one file more than once (its answer, then the
    // download it began): it is offered once.
    if (url != offeredFile_)
        pendingOffer_ = url;
    OfferRefusedFile();
}

void CBrowserView::OfferRefusedFile() {
    if (pendingOffer_.empty() || busy_.Held() || IsLoading() || !fileOffer_)
        return;
    offeredFile_ = std::exchange(pendingOffer_, {});
    // Asked from the event loop: the question is modal, and the view's own
    // events of this load may still be on their way.
    CallAfter([this, url = offeredFile_] {
        if (fileOffer_)
            fileOffer_(url);
    });
}

} // namespace ordinex
