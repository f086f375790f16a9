#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/url_cracker.h"
#include "platform/text_helpers.h"

namespace ordinex {

std::string CInternetDownloader::HostKey(uint32_t serviceType, const std::string& host, uint16_t port) {
    std::string key = std::to_string(serviceType) + " " + std::to_string(port) + " ";
    for (char c : host)
        key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return key;
}

bool CInternetDownloader::KnownUnreachable(const std::string& key) {
    const auto known = unreachable_.find(key);
    if (known == unreachable_.end())
        return false;
    Fail(known->second);
    return true;
}

bool CInternetDownloader::NeverReached(CurlSession& session) {
    if (!session.Valid())
        return false;
    long redirects = 0;
    curl_off_t connected = 0;
    curl_easy_getinfo(session.Easy(), CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(session.Easy(), CURLINFO_CONNECT_TIME_T, &connected);
    const CURLcode result = session.Result();
    const bool noConnection = result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_CONNECT ||
                              (result == CURLE_OPERATION_TIMEDOUT && connected == 0);
    return noConnection && redirects == 0;
}

void CInternetDownloader::RememberUnreachable(const std::string& key) {
    if (connections_.InBatch())
        unreachable_.emplace(key, errorText);
}

CInternetDownloader::HeaderWait CInternetDownloader::AwaitHeaders(CurlSession& session,
                                                                  const std::string& hostKey) {
    const auto outcome = session.RunUntilHeaders();
    if (outcome == CurlSession::Outcome::Stopped)
        return HeaderWait::Stopped;
    if (outcome == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
        const bool unreachable = NeverReached(session);
        session.Close();
        Fail(session.ErrorText());
        if (unreachable)
            RememberUnreachable(hostKey);
        return HeaderWait::Failed;
    }
    return HeaderWait::Arrived;
}

bool CInternetDownloader::QueryHttpInfo(const std::string& address, HttpProbeResult& result) {
    result = HttpProbeResult{};
    errorText.clear();
    if (!ParseUrl(address, true, true, true))
        return false;
    // Asking an FTP server in HTTP would only cost a connection and a garbled answer.
    if (!IsWebService(serviceType)) {
        Fail("サポートしていないインターネット･サービス･タイプ");
        return false;
    }
    const std::string hostKey = HostKey(serviceType, serverName, port);
    if (KnownUnreachable(hostKey))
        return false;
    bool ok = false;
    {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Http);
        // The body is never read: the transfer waits at its first byte and ends with the headers.
        OpenHttpRequest(session);
        const HeaderWait wait = AwaitHeaders(session, hostKey);
        if (wait == HeaderWait::Stopped) {
            session.Abort();
            ReportStopped();
        } else if (wait == HeaderWait::Arrived) {
            session.SetStatus(std::string(WebProtocolName()) + "要求を送信");
            ok = CheckHttpStatus(session.Response().statusCode);
            if (ok) {
                const ResponseWatch& response = session.Response();
                result.sizeText = FormatByteCount(LeadingDecimal(response.contentLength));
                result.contentType = response.contentType;
                result.dateText = HttpDateText(response.lastModified);
            }
            // The body is not wanted; a short one is let run out so that the
            // next probe can go out on the same connection.
            session.FinishResponse();
        }
        session.Close();
    }
    if (ok)
        Host().SetStatus(std::string(WebProtocolName()) + "セッションを終了");
    return ok;
}

} // namespace ordinex
