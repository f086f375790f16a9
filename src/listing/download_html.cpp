#include "listing/download_html.h"

#include "listing/html_charset.h"
#include "listing/link_resolve.h"
#include "net/internet_downloader.h"
#include "settings/program_settings.h"

#include <algorithm>

namespace ordinex {

namespace {

bool IsFetchable(const std::string& url) {
    const std::string scheme = SchemeOf(url);
    return scheme == "http" || scheme == "https" || scheme == "ftp";
}

} // namespace

IEngineHost& CDownloadHtml::Host() const {
    return engine_.Host();
}

std::string CDownloadHtml::ResolveUrl(const std::string& base, const std::string& link) {
    return ResolveLink(base, link);
}

void CDownloadHtml::Release() {
    elements_.Clear();
    elementCount = 0;
    lastValueSet_ = false;
}

CDownloadHtml& CInternetDownloader::HtmlView() {
    if (!htmlView_)
        htmlView_.reset(new CDownloadHtml(*this));
    return *htmlView_;
}

void CInternetDownloader::HtmlViewDeleter::operator()(CDownloadHtml* view) const {
    delete view;
}

bool CDownloadHtml::LoadPage(const std::string& address) {
    loaded = false;
    Release();
    const int loads = std::max(1, Host().Settings().HttpTreeListReadingNumberSetting);
    FetchedPage page;
    auto progress = [this](int64_t received, int64_t expected) {
        Host().SetByteProgress("", std::max(received, expected), received);
    };
    for (int n = 0; n < loads; ++n) {
        // Before navigation. An operation that holds the busy state keeps it
        // to the end: leaving it here would enable the windows mid-walk.
        const bool ownBusy = !Host().Busy();
        if (ownBusy)
            Host().BeginBusy();
        Host().ShowLoadTarget(address, "");
        Host().SetStatus(address + " を読み込み中");
        const bool fetched = engine_.FetchPage(address, page, progress);
        if (fetched && !page.stopped) {
            // Document complete.
            Host().ShowLoadTarget(page.location, "");
            loaded = true;
        }
        if (ownBusy)
            Host().EndBusy();
        if (!fetched)
            return false;
        if (page.stopped || Host().StopRequested())
            return true;
    }
    Host().PumpOneMessage();
    if (Host().StopRequested())
        return true;

    if (page.truncated) {
        ++engine_.linkTroubles.cutPages;
        Host().ReportPageTrouble(page.location + " は " +
                                 std::to_string(CInternetDownloader::kMaxPageBytes >> 20) +
                                 " MB を超えるため、先頭の部分からリンクを抽出します");
    }
    location_ = page.location;
    base_ = location_;
    encoding_.clear();
    const std::string text =
        page.isMarkup ? PageTextToUtf8(std::move(page.body), page.contentType, &encoding_) : std::string();
    page.body = std::string();
    ParsePageElements(text, elements_, [this] {
        Host().PumpOneMessage();
        return !Host().StopRequested();
    });
    if (!elements_.BaseHref().empty()) {
        const std::string base = ResolveLink(location_, elements_.BaseHref());
        if (IsFetchable(base))
            base_ = base;
    }
    elementCount = elements_.Count();
    return true;
}

std::string CDownloadHtml::GetElementUrl(std::size_t index) {
    if (index >= elements_.Count())
        return {};
    const std::string_view tag = elements_.Tag(index);
    if (tag == "HEAD" || tag == "BODY" || tag == "FRAMESET") {
        section = std::string(tag);
        return {};
    }
    const ProgramSettings& s = Host().Settings();
    const bool head = section == "HEAD";
    const bool body = section == "BODY";
    bool wanted = false;
    if (tag == "BGSOUND")
        wanted = head && s.HttpTreeListTabBGsoundSetting;
    else if (tag == "A" || tag == "AREA" || tag == "LINK")
        wanted = (head || body) && s.HttpTreeListTabLinkSetting;
    else if (tag == "META")
        wanted = head && s.HttpTreeListTabMetaSetting;
    else if (tag == "IMG")
        wanted = s.HttpTreeListTabImageSetting;
    else if (tag == "EMBED")
        wanted = s.HttpTreeListTabEmbedSetting;
    else if (tag == "OBJECT")
        wanted = s.HttpTreeListTabObjectSetting;
    else if (tag == "APPLET")
        wanted = s.HttpTreeListTabAppletSetting;
    else if (tag == "SCRIPT")
        wanted = s.HttpTreeListTabScriptSetting;
    else if (tag == "FRAME")
        wanted = section == "FRAMESET" && s.HttpTreeListTabFrameSetting;
    else if (tag == "IFRAME")
        wanted = body && s.HttpTreeListTabFrameSetting;
    if (!wanted || base_.empty())
        return {};
    const auto value = elements_.Address(index);
    if (!value)
        return {};
    // Pages often name the same address twice in a row (a picture and its caption).
    if (*value != lastValue_ || !lastValueSet_) {
        lastValue_ = *value;
        lastValueSet_ = true;
        lastUrl_ = EncodeQueryForPage(ResolveLink(base_, *value), encoding_);
        // javascript:, mailto:, data: and the like name no file to fetch.
        if (!IsFetchable(lastUrl_))
            lastUrl_.clear();
    }
    return lastUrl_;
}

} // namespace ordinex
