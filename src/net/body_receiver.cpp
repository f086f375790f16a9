#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "platform/file_error_text.h"
#include "settings/program_settings.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace ordinex {

namespace {

std::string ProgressText(int64_t bytes, const std::string& sizeText) {
    return std::to_string(bytes) + " / " + sizeText + " byte";
}

} // namespace

void CInternetDownloader::ReportStopped() {
    Host().SetStatus("ファイルのダウンロード中止");
    Host().SetTransferText(kStoppedText);
    errorText = kStoppedText;
}

int CInternetDownloader::OpenLocalFile() {
    // A folder, a device or a FIFO at the final name is never replaced by a
    // file: say so before any data flows. (A link is replaced, not followed.)
    struct stat there {};
    if (destinationAbsent || ::lstat(destinationPath.c_str(), &there) != 0) {
        there.st_mode = 0;
    } else if (!S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode)) {
        Fail(S_ISDIR(there.st_mode)
                 ? FileErrorText(EISDIR, destinationPath)
                 : destinationPath + " は通常のファイルではないため、保存先にできません。");
        return -1;
    }
    // A replaced file keeps its permissions, but never the set-user-ID,
    // set-group-ID or sticky bits of a program it no longer is.
    const int fd =
        part_.Create(destinationPath, S_ISREG(there.st_mode) ? (there.st_mode & 0777) : 0, folderAssumed);
    if (fd < 0)
        Fail(FileErrorText(errno, destinationPath));
    return fd;
}

void CInternetDownloader::KeepResumeRecord(const ResumeRecord& record) {
    pendingRecord_.reset();
    if (Host().Settings().ResumeSetting != 0 && record.HasValidator())
        pendingRecord_ = record;
}

void CInternetDownloader::WritePendingRecord() {
    if (pendingRecord_)
        part_.WriteRecord(*pendingRecord_);
    pendingRecord_.reset();
}

bool CInternetDownloader::ReceiveIntoFile(CurlSession& session, int fd, const std::string& sizeText,
                                          int64_t size, int64_t expectedSize, int64_t resumedFrom) {
    // Progress goes out once per round of the transfer loop, not per block:
    // a report per kilobyte would cost more than the transfer itself.
    int64_t reported = -1;
    auto report = [&] {
        const int64_t bytes = resumedFrom + session.BytesWritten();
        if (bytes != reported) {
            reported = bytes;
            Host().SetByteProgress(ProgressText(bytes, sizeText), size, bytes);
        }
    };

    session.SetSink(CurlSession::Sink::File, fd);
    bool ok = session.Resume();
    CurlSession::Outcome outcome = CurlSession::Outcome::Done;
    if (ok)
        outcome = session.Run(nullptr, [&] {
            WritePendingRecord(); // still running after a round: worth continuing later
            report();
        });
    const bool stopped = outcome == CurlSession::Outcome::Stopped;
    if (stopped)
        session.Abort();
    report();
    bytesReceived = session.BytesWritten();

    std::string failure;
    bool localFault = false;
    if (session.WriteErrno() != 0) {
        failure = FileErrorText(session.WriteErrno(), destinationPath);
        localFault = true;
    } else if (!stopped && (!ok || session.Result() != CURLE_OK)) {
        failure = session.ErrorText();
    } else if (!stopped && expectedSize >= 0 && session.BytesWritten() != expectedSize) {
        // The server announced one size and sent another: neither can be trusted.
        failure = "サーバーが示したサイズ (" + std::to_string(expectedSize) + " byte) と受信したサイズ (" +
                  std::to_string(session.BytesWritten()) + " byte) が一致しません";
    }
    if (session.Running())
        session.Abort();
    session.SetSink(CurlSession::Sink::Discard);
    if (::close(fd) != 0 && failure.empty() && !stopped) {
        failure = FileErrorText(errno, destinationPath);
        localFault = true;
    }
    session.Flush();

    // What arrived of a stopped or failed transfer stays under the temporary
    // name, for the next attempt to continue; nothing arrived, or the disk
    // refused it, leaves nothing behind.
    const bool keepPart = !localFault && resumedFrom + session.BytesWritten() > 0;
    if (stopped || !failure.empty()) {
        if (keepPart)
            WritePendingRecord();
        else
            part_.Remove();
        if (stopped)
            ReportStopped();
        else
            Fail(failure);
        fileOutcome = stopped ? FileOutcome::Stopped : FileOutcome::Failed;
        return false;
    }
    pendingRecord_.reset();
    // rename replaces a file or a link at the final name itself, never what a link points to.
    if (::rename(part_.Path().c_str(), destinationPath.c_str()) != 0) {
        const int err = errno;
        part_.Remove();
        Fail(FileErrorText(err, destinationPath));
        return false;
    }
    part_.DropRecord();
    part_.RemoveLeftovers(destinationPath);
    Host().SetStatus(sourceUrl + " のダウンロード完了");
    fileOutcome = FileOutcome::Saved;
    return true;
}

} // namespace ordinex
