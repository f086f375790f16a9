#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/url_cracker.h"

#include <algorithm>

namespace ordinex {

namespace {

// The media type of a Content-Type text: without its parameters and the
// blanks around it, in lower case ("Text/HTML; charset=UTF-8" is "text/html").
std::string MediaType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    const std::size_t first = type.find_first_not_of(" \t");
    type.erase(0, first == std::string::npos ? type.size() : first);
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t'))
        type.pop_back();
    for (char& c : type)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return type;
}

// Pages are HTML; a server that names no type may still send one.
bool IsMarkupType(const std::string& contentType) {
    return MediaType(contentType).empty() || CInternetDownloader::IsPageType(contentType);
}

} // namespace

bool CInternetDownloader::IsPageType(const std::string& contentType) {
    const std::string type = MediaType(contentType);
    return type == "text/html" || type == "application/xhtml+xml";
}

bool CInternetDownloader::FetchPage(const std::string& address, FetchedPage& page,
                                    const std::function<void(int64_t, int64_t)>& progress) {
    page = FetchedPage{};
    errorText.clear();
    CrackedUrl parts;
    if (!CrackUrl(address, parts)) {
        Fail("インターネット･サービス･タイプが不明");
        return false;
    }
    if (!IsWebService(parts.serviceType)) {
        Fail("サポートしていないインターネット･サービス･タイプ");
        return false;
    }
    const std::string hostKey = HostKey(parts.serviceType, parts.host, parts.port);
    if (KnownUnreachable(hostKey))
        return false;
    CurlSession session(Host(), connections_, CurlSession::Protocol::Http);
    session.SetTarget(TransferUrl(address), parts.host, userName, password);
    // The status is checked before any of the body is taken.
    const HeaderWait wait = AwaitHeaders(session, hostKey);
    if (wait == HeaderWait::Stopped) {
        page.stopped = true;
        return true;
    }
    if (wait == HeaderWait::Failed)
        return false;
    const ResponseWatch& response = session.Response();
    if (response.statusCode >= 400) {
        session.FinishResponse(); // a short error page leaves a kept connection usable
        session.Close();
        return CheckHttpStatus(response.statusCode);
    }
    char* effective = nullptr;
    long redirects = 0;
    curl_easy_getinfo(session.Easy(), CURLINFO_EFFECTIVE_URL, &effective);
    curl_easy_getinfo(session.Easy(), CURLINFO_REDIRECT_COUNT, &redirects);
    // Without a redirect the address stays as written (not %-encoded) for the texts.
    page.location =
        redirects > 0 && effective ? std::string(effective) : address.substr(0, address.find('#'));
    page.contentType = response.contentType;
    page.isMarkup = IsMarkupType(page.contentType);
    if (!page.isMarkup) {
        // An image or an archive is no page: its body is not read (a short
        // one runs out, so that a kept connection can carry the next request).
        session.FinishResponse();
        return true;
    }

    const int64_t expected = LeadingDecimal(response.contentLength);
    // Room for all of it at once: growing by doubling would hold twice the
    // page for a while. Room not written to costs no memory.
    page.body.reserve(expected > 0 ? std::min<std::size_t>(expected, kMaxPageBytes) : kMaxPageBytes);
    // Past the bound the data is dropped and the transfer ended.
    int64_t received = 0;
    bool full = false;
    session.SetSinkFunction([&](std::string_view data) {
        received += static_cast<int64_t>(data.size());
        const std::size_t room = kMaxPageBytes - std::min(kMaxPageBytes, page.body.size());
        page.body.append(data.substr(0, room));
        full = full || data.size() > room;
    });
    bool ok = session.Resume();
    if (ok && session.Running()) {
        const auto outcome = session.Run([&] { return full; }, [&] { progress(received, expected); });
        if (outcome == CurlSession::Outcome::Stopped) {
            page.stopped = true;
            return true;
        }
        if (outcome == CurlSession::Outcome::Ready)
            session.Abort(); // the rest of an endless or huge page is not read
        ok = outcome == CurlSession::Outcome::Ready || session.Result() == CURLE_OK;
    }
    page.truncated = full;
    progress(received, expected);
    if (!ok) {
        session.Close();
        Fail(session.ErrorText());
        return false;
    }
    return true;
}

} // namespace ordinex
