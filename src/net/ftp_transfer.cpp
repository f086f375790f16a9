#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/transfer_errors.h"
#include "net/url_cracker.h"
#include "settings/program_settings.h"

namespace ordinex {

namespace {

// The size query: login, then the file's size and date without its data. The
// date query makes a missing file fail here, before a local file exists. The
// connection is kept for the transfer that follows.
void SetUpSizeQuery(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy, CURLOPT_FILETIME, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 0L);
}

// The data is read until the server closes it, whatever size was announced,
// so that a wrong SIZE shows as a mismatch instead of a file cut short. The
// control connection closes afterwards unless the session keeps it.
void SetUpRetrieval(CurlSession& session) {
    CURL* easy = session.Easy();
    curl_easy_setopt(easy, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(easy, CURLOPT_FILETIME, 0L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, session.Keeping() ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
}

} // namespace

bool CInternetDownloader::DownloadFtpFile() {
    errorText.clear();
    fileOutcome = FileOutcome::Failed;
    bool result = false;
    {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Ftp);
        session.SetStatus("FTPセッションを開始");
        session.SetTarget(TransferUrl(sourceUrl), serverName, userName, password);
        session.SetLoginStatus("FTP接続を確立");
        // An address ending in "/" names a directory, whose listing is no file.
        const bool namesFile = !objectPath.empty() && objectPath.back() != '/';
        SetUpSizeQuery(session.Easy());
        // With a size query libcurl hands made-up header lines to the write callback.
        session.SetSink(CurlSession::Sink::Discard);
        session.Start();
        const auto queried = session.Run(nullptr);
        if (queried == CurlSession::Outcome::Stopped) {
            session.Abort();
            fileOutcome = FileOutcome::Stopped;
        } else if (session.Result() != CURLE_OK) {
            session.Close();
            Fail(session.ErrorText());
        } else if (!namesFile) {
            session.Close();
            Fail(TransferErrorText(CURLE_REMOTE_FILE_NOT_FOUND, objectPath));
        } else {
            curl_off_t length = -1;
            curl_easy_getinfo(session.Easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            const bool known = length >= 0;
            const std::string sizeText = known ? std::to_string(length) : std::string();
            const int64_t size = known ? length : 0;
            const bool skipEmpty = Host().Settings().NotSave0ByteFileSetting != 0;
            if (known && size == 0 && skipEmpty) {
                fileOutcome = FileOutcome::SkippedEmpty;
                result = true;
            } else {
                // Without a size the data itself shows whether there is a file
                // and whether it is empty; the local file waits for it.
                const bool deferOpen = !known;
                int fd = -1;
                bool receive = true;
                if (!deferOpen) {
                    fd = OpenLocalFile();
                    receive = fd >= 0;
                    if (receive)
                        session.SetStatus(sourceUrl + " をダウンロード中");
                }
                if (receive) {
                    SetUpRetrieval(session);
                    session.SetSink(deferOpen ? CurlSession::Sink::Hold : CurlSession::Sink::File, fd);
                    session.Start();
                    if (deferOpen) {
                        const auto waited = session.Run([&] { return session.BodyWaiting(); });
                        receive = false;
                        if (waited == CurlSession::Outcome::Stopped) {
                            fileOutcome = FileOutcome::Stopped;
                        } else if (waited == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
                            Fail(session.ErrorText());
                        } else if (waited != CurlSession::Outcome::Ready && skipEmpty) {
                            fileOutcome = FileOutcome::SkippedEmpty;
                            result = true;
                        } else {
                            fd = OpenLocalFile();
                            receive = fd >= 0;
                            if (receive)
                                session.SetStatus(sourceUrl + " をダウンロード中");
                        }
                    }
                    if (receive)
                        result = ReceiveIntoFile(session, fd, sizeText, size, known ? size : -1);
                }
            }
        }
        session.Close();
    }
    if (fileOutcome == FileOutcome::Stopped && errorText.empty())
        ReportStopped();
    if (result)
        Host().SetStatus("FTPセッションを終了");
    return result;
}

} // namespace ordinex
