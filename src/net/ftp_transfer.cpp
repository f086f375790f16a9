#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/transfer_errors.h"
#include "net/url_cracker.h"
#include "platform/text_encoding.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <optional>

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
        session.SetTarget(TransferUrlInCharset(sourceUrl, Host().Settings().FtpNameCharsetSetting),
                          serverName, userName, password);
        session.SetLoginStatus("FTP接続を確立");
        // An address ending in "/" names a directory, whose listing is no file.
        const bool namesFile = !objectPath.empty() && objectPath.back() != '/';
        // On a kept connection a lookup first would cost more round trips
        // than the whole transfer: the file is asked for at once, and its
        // SIZE comes with it. What an earlier attempt left is continued only
        // once the lookup has shown the file unchanged.
        std::optional<PartFile::Leftover> leftover;
        if (Host().Settings().ResumeSetting != 0 && namesFile && !leftoverAbsent)
            leftover = PartFile::FindLeftover(destinationPath, sourceUrl);
        if (session.Keeping() && namesFile && !leftover)
            result = RetrieveFtpFile(session, true, -1);
        else
            result = LookUpAndRetrieveFtpFile(session, namesFile, leftover ? &*leftover : nullptr);
        session.Close();
    }
    if (fileOutcome == FileOutcome::Stopped && errorText.empty())
        ReportStopped();
    if (result)
        Host().SetStatus("FTPセッションを終了");
    return result;
}

bool CInternetDownloader::LookUpAndRetrieveFtpFile(CurlSession& session, bool namesFile,
                                                   const PartFile::Leftover* leftover) {
    SetUpSizeQuery(session.Easy());
    // With a size query libcurl hands made-up header lines to the write callback.
    session.SetSink(CurlSession::Sink::Discard);
    session.Start();
    const auto queried = session.Run(nullptr);
    if (queried == CurlSession::Outcome::Stopped) {
        session.Abort();
        fileOutcome = FileOutcome::Stopped;
        return false;
    }
    if (session.Result() != CURLE_OK || !namesFile) {
        session.Close();
        Fail(session.Result() != CURLE_OK ? session.ErrorText()
                                          : TransferErrorText(CURLE_REMOTE_FILE_NOT_FOUND, objectPath));
        return false;
    }
    curl_off_t length = -1;
    curl_off_t date = -1;
    curl_easy_getinfo(session.Easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    curl_easy_getinfo(session.Easy(), CURLINFO_FILETIME_T, &date);
    const std::string dateText = date >= 0 ? std::to_string(date) : std::string();
    // Without a size the data itself shows whether there is a file and
    // whether it is empty; the local file waits for it.
    if (length < 0)
        return RetrieveFtpFile(session, false, -1);
    if (length == 0 && Host().Settings().NotSave0ByteFileSetting != 0) {
        fileOutcome = FileOutcome::SkippedEmpty;
        return true;
    }
    // The file is continued only while its size, and its date where both
    // sides know one, are still those of the leftover.
    int64_t resumedFrom = 0;
    int fd = -1;
    if (leftover) {
        const ResumeRecord& was = leftover->record;
        const bool same = was.size == length && (was.modified.empty() || was.modified == dateText);
        if (same)
            fd = part_.OpenForAppend(destinationPath, leftover->bytes);
        if (fd >= 0) {
            resumedFrom = leftover->bytes;
            session.ResumeFrom(resumedFrom);
            session.SetStatus(sourceUrl + " を " + std::to_string(resumedFrom) + " バイト目から再開");
        } else {
            session.SetStatus(kStartOverText);
        }
    }
    if (fd < 0) {
        fd = OpenLocalFile();
        if (fd < 0)
            return false;
        KeepResumeRecord({sourceUrl, {}, dateText, length});
    }
    session.SetStatus(sourceUrl + " をダウンロード中");
    SetUpRetrieval(session);
    // libcurl sends REST only after a SIZE of its own, which it skips while
    // told to ignore sizes; the size was just looked up and is checked anyway.
    if (resumedFrom > 0)
        curl_easy_setopt(session.Easy(), CURLOPT_IGNORE_CONTENT_LENGTH, 0L);
    session.SetSink(CurlSession::Sink::File, fd);
    session.Start();
    return ReceiveIntoFile(session, fd, std::to_string(length), length, length - resumedFrom, resumedFrom);
}

bool CInternetDownloader::RetrieveFtpFile(CurlSession& session, bool sizeFromReply, int64_t knownSize) {
    SetUpRetrieval(session);
    // The retrieval itself reads on whatever size was announced: the size
    // is asked for apart, to show progress and to catch a wrong one.
    if (sizeFromReply)
        session.AskFtpSize(ToCharset(PercentDecode(objectPath.substr(objectPath.find_last_of('/') + 1)),
                                     Host().Settings().FtpNameCharsetSetting));
    session.SetSink(CurlSession::Sink::Hold);
    session.Start();
    const auto waited = session.Run([&] { return session.BodyWaiting(); });
    if (waited == CurlSession::Outcome::Stopped) {
        fileOutcome = FileOutcome::Stopped;
        return false;
    }
    if (waited == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
        Fail(session.ErrorText());
        return false;
    }
    // A small file may have arrived whole, and its transfer ended, in one round.
    if (!session.BodyWaiting() && Host().Settings().NotSave0ByteFileSetting != 0) {
        fileOutcome = FileOutcome::SkippedEmpty;
        return true;
    }
    const int64_t size = sizeFromReply ? session.Response().sizeReply : knownSize;
    const int fd = OpenLocalFile();
    if (fd < 0)
        return false;
    // A date would cost every file a round trip here: the size alone is kept.
    KeepResumeRecord({sourceUrl, {}, {}, size});
    session.SetStatus(sourceUrl + " をダウンロード中");
    return ReceiveIntoFile(session, fd, size >= 0 ? std::to_string(size) : std::string(),
                           std::max<int64_t>(size, 0), size, 0);
}

} // namespace ordinex
