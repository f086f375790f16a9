#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/transfer_errors.h"
#include "net/url_cracker.h"

namespace ordinex {

bool CInternetDownloader::ProbeFile(const std::string& url) {
    errorText.clear();
    if (!ParseUrl(url, true, false, true))
        return false;
    if (serviceType != kServiceFtp) {
        HttpProbeResult ignored;
        return QueryHttpInfo(url, ignored);
    }
    // Over FTP: the login and the file's size, as a download begins, and
    // no data.
    CurlSession session(Host(), connections_, CurlSession::Protocol::Ftp);
    session.SetStatus("FTPセッションを開始");
    session.SetTarget(TransferUrl(sourceUrl), serverName, userName, password);
    session.SetLoginStatus("FTP接続を確立");
    CURL* easy = session.Easy();
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy, CURLOPT_FILETIME, 1L);
    session.SetSink(CurlSession::Sink::Discard);
    session.Start();
    if (session.Run(nullptr) == CurlSession::Outcome::Stopped) {
        session.Abort();
        ReportStopped();
        return false;
    }
    const bool namesFile = !objectPath.empty() && objectPath.back() != '/';
    bool ok = session.Result() == CURLE_OK && namesFile;
    if (!ok)
        Fail(session.Result() != CURLE_OK ? session.ErrorText()
                                          : TransferErrorText(CURLE_REMOTE_FILE_NOT_FOUND, objectPath));
    session.Close();
    return ok;
}

} // namespace ordinex
