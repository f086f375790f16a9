#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "settings/program_settings.h"

namespace ordinex {

void CInternetDownloader::OpenHttpRequest(CurlSession& session) {
    const std::string protocol = WebProtocolName();
    session.SetStatus(protocol + "セッションを開始");
    session.SetTarget(TransferUrl(sourceUrl), serverName, userName, password);
    session.SetStatus(protocol + "接続を確立");
    session.SetStatus(protocol + "接続を開く");
}

bool CInternetDownloader::DownloadHttpFile() {
    errorText.clear();
    fileOutcome = FileOutcome::Failed;
    bool result = false;
    {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Http);
        // The body is held back until the status has been checked, so that an
        // error page never creates a local file.
        OpenHttpRequest(session);
        const HeaderWait wait = AwaitHeaders(session, HostKey(serviceType, serverName, port));
        if (wait == HeaderWait::Stopped) {
            session.Abort();
            session.Close();
            fileOutcome = FileOutcome::Stopped;
        } else if (wait == HeaderWait::Arrived) {
            session.SetStatus(std::string(WebProtocolName()) + "要求を送信");
            if (CheckHttpStatus(session.Response().statusCode)) {
                const std::string sizeText = session.Response().contentLength;
                const int64_t size = LeadingDecimal(sizeText);
                // Without a Content-Length the body's real length decides, once it shows.
                auto waited = CurlSession::Outcome::Ready;
                if (sizeText.empty() && session.Running())
                    waited = session.Run([&] { return session.BodyWaiting(); });
                const bool empty = sizeText.empty() ? !session.BodyWaiting() : size == 0;
                if (waited == CurlSession::Outcome::Stopped) {
                    fileOutcome = FileOutcome::Stopped;
                } else if (waited == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
                    Fail(session.ErrorText());
                } else if (empty && Host().Settings().NotSave0ByteFileSetting != 0) {
                    fileOutcome = FileOutcome::SkippedEmpty;
                    result = true;
                } else {
                    const int fd = OpenLocalFile();
                    if (fd >= 0) {
                        session.SetStatus(sourceUrl + " をダウンロード中");
                        // libcurl itself holds the body to its Content-Length.
                        result = ReceiveIntoFile(session, fd, sizeText, size, -1);
                    }
                }
            }
            // An error page or a body not taken leaves a kept connection usable.
            if (fileOutcome != FileOutcome::Stopped)
                session.FinishResponse();
            session.Close();
        }
    }
    if (fileOutcome == FileOutcome::Stopped && errorText.empty())
        ReportStopped();
    if (result)
        Host().SetStatus(std::string(WebProtocolName()) + "セッションを終了");
    return result;
}

} // namespace ordinex
