#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "platform/file_error_text.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

#include <cerrno>
#include <cstdint>
#include <optional>

namespace ordinex {

namespace {

// What a server is asked to compare before it continues a file: a strong
// entity tag, else the date (a weak tag may not be used for a range).
std::string IfRangeOf(const ResumeRecord& record) {
    if (!record.etag.empty() && record.etag.rfind("W/", 0) != 0)
        return record.etag;
    return record.modified;
}

// The first byte and the whole size of "bytes FIRST-LAST/TOTAL"; false when
// the text says anything else.
bool ReadContentRange(const std::string& text, int64_t& first, int64_t& total) {
    if (text.rfind("bytes ", 0) != 0)
        return false;
    const std::size_t dash = text.find('-', 6);
    const std::size_t slash = text.find('/', 6);
    if (dash == std::string::npos || slash == std::string::npos || dash > slash)
        return false;
    const auto a = BoundedDecimal(std::string_view(text).substr(6, dash - 6), INT64_MAX / 2);
    const auto t = BoundedDecimal(std::string_view(text).substr(slash + 1), INT64_MAX / 2);
    if (!a || !t)
        return false;
    first = *a;
    total = *t;
    return true;
}

} // namespace

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
    std::optional<PartFile::Leftover> leftover;
    if (Host().Settings().ResumeSetting != 0 && !leftoverAbsent) {
        leftover = PartFile::FindLeftover(destinationPath, sourceUrl);
        if (leftover && IfRangeOf(leftover->record).empty())
            leftover.reset(); // a range without a validator could append the wrong bytes
    }
    bool result = false;
    // A leftover that the server will not continue costs one more request
    // from the start.
    for (int attempt = 0; attempt < 2 && !result; ++attempt) {
        bool again = false;
        result = FetchHttpFile(leftover ? &*leftover : nullptr, again);
        if (!again)
            break;
        leftover.reset();
    }
    if (fileOutcome == FileOutcome::Stopped && errorText.empty())
        ReportStopped();
    if (result)
        Host().SetStatus(std::string(WebProtocolName()) + "セッションを終了");
    return result;
}

bool CInternetDownloader::FetchHttpFile(const PartFile::Leftover* leftover, bool& again) {
    bool result = false;
    CurlSession session(Host(), connections_, CurlSession::Protocol::Http);
    // The body is held back until the status has been checked, so that an
    // error page never creates a local file.
    OpenHttpRequest(session);
    if (leftover)
        session.ResumeFrom(leftover->bytes, IfRangeOf(leftover->record));
    const HeaderWait wait = AwaitHeaders(session, HostKey(serviceType, serverName, port));
    if (wait == HeaderWait::Stopped) {
        session.Abort();
        session.Close();
        fileOutcome = FileOutcome::Stopped;
        return false;
    }
    if (wait == HeaderWait::Failed)
        return false;
    session.SetStatus(std::string(WebProtocolName()) + "要求を送信");
    const ResponseWatch& response = session.Response();
    if (leftover && (response.statusCode == 206 || response.statusCode == 416)) {
        int64_t first = -1, total = -1;
        const bool fits = response.statusCode == 206 &&
                          ReadContentRange(response.contentRange, first, total) && first == leftover->bytes &&
                          (leftover->record.size < 0 || total == leftover->record.size);
        if (fits)
            result = ReceiveRest(session, *leftover, total);
        else {
            // The server answered for other bytes than those asked for.
            session.Abort();
            session.SetStatus(kStartOverText);
            again = true;
        }
    } else if (CheckHttpStatus(response.statusCode)) {
        // A whole answer to a range: the server ignores ranges, or the file
        // has changed since. It starts over in the same temporary file.
        if (leftover)
            session.SetStatus(kStartOverText);
        result = ReceiveWholeHttpFile(session);
    }
    // An error page or a body not taken leaves a kept connection usable.
    if (fileOutcome != FileOutcome::Stopped && !again)
        session.FinishResponse();
    session.Close();
    return result;
}

bool CInternetDownloader::ReceiveRest(CurlSession& session, const PartFile::Leftover& leftover,
                                      int64_t total) {
    const int fd = part_.OpenForAppend(destinationPath, leftover.bytes);
    if (fd < 0) {
        Fail(FileErrorText(errno, destinationPath));
        return false;
    }
    session.SetStatus("URLが見つかりました(" + std::to_string(leftover.bytes) + " バイト目から再開)");
    session.SetStatus(sourceUrl + " をダウンロード中");
    return ReceiveIntoFile(session, fd, std::to_string(total), total, total - leftover.bytes, leftover.bytes);
}

bool CInternetDownloader::ReceiveWholeHttpFile(CurlSession& session) {
    const std::string sizeText = session.Response().contentLength;
    const int64_t size = LeadingDecimal(sizeText);
    // Without a Content-Length the body's real length decides, once it shows.
    auto waited = CurlSession::Outcome::Ready;
    if (sizeText.empty() && session.Running())
        waited = session.Run([&] { return session.BodyWaiting(); });
    const bool empty = sizeText.empty() ? !session.BodyWaiting() : size == 0;
    if (waited == CurlSession::Outcome::Stopped) {
        fileOutcome = FileOutcome::Stopped;
        return false;
    }
    if (waited == CurlSession::Outcome::Done && session.Result() != CURLE_OK) {
        Fail(session.ErrorText());
        return false;
    }
    if (empty && Host().Settings().NotSave0ByteFileSetting != 0) {
        fileOutcome = FileOutcome::SkippedEmpty;
        return true;
    }
    const int fd = OpenLocalFile();
    if (fd < 0)
        return false;
    const ResponseWatch& response = session.Response();
    KeepResumeRecord({sourceUrl, response.etag, response.lastModified, sizeText.empty() ? -1 : size});
    session.SetStatus(sourceUrl + " をダウンロード中");
    // libcurl itself holds the body to its Content-Length.
    return ReceiveIntoFile(session, fd, sizeText, size, -1, 0);
}

} // namespace ordinex
