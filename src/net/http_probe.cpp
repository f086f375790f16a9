#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/url_cracker.h"
#include "platform/text_helpers.h"

namespace ordinex {

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
    bool ok = false;
    {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Http);
        // The body is never read: the transfer waits at its first byte and ends with the headers.
        OpenHttpRequest(session);
        const auto outcome = session.RunUntilHeaders();
        if (outcome == CurlSession::Outcome::Stopped) {
            session.Abort();
            ReportStopped();
        } else if (outcome == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
            session.Close();
            Fail(session.ErrorText());
        } else {
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
