#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "platform/file_error_text.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ordinex {

namespace {

std::string ProgressText(int64_t bytes, const std::string& sizeText) {
    return std::to_string(bytes) + " / " + sizeText + " byte";
}

} // namespace

int CInternetDownloader::OpenLocalFile() {
    const int fd = ::open(destinationPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail(FileErrorText(errno, destinationPath));
    return fd;
}

bool CInternetDownloader::ReceiveIntoFile(CurlSession& session, int fd, const std::string& sizeText,
                                          int64_t size) {
    // Progress goes out once per round of the transfer loop, not per block:
    // a report per kilobyte would cost more than the transfer itself.
    int64_t reported = -1;
    auto report = [&] {
        const int64_t bytes = session.BytesWritten();
        if (bytes != reported) {
            reported = bytes;
            Host().SetByteProgress(ProgressText(bytes, sizeText), size, bytes);
        }
    };

    session.SetSink(CurlSession::Sink::File, fd);
    bool ok = session.Resume();
    CurlSession::Outcome outcome = CurlSession::Outcome::Done;
    if (ok)
        outcome = session.Run(nullptr, report);
    if (outcome == CurlSession::Outcome::Stopped)
        session.Abort(); // what arrived so far stays in the file
    report();

    std::string failure;
    if (session.WriteErrno() != 0)
        failure = FileErrorText(session.WriteErrno(), destinationPath);
    else if (!ok || (outcome == CurlSession::Outcome::Done && session.Result() != CURLE_OK))
        failure = session.ErrorText();
    if (session.Running())
        session.Abort();
    session.SetSink(CurlSession::Sink::Discard);
    if (::close(fd) != 0 && failure.empty())
        failure = FileErrorText(errno, destinationPath);
    session.Flush();
    if (!failure.empty()) {
        Fail(failure);
        return false;
    }
    Host().SetStatus(sourceUrl + " のダウンロード完了");
    return true;
}

} // namespace ordinex
