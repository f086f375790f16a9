#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "platform/file_error_text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ordinex {

namespace {

std::string ProgressText(int64_t bytes, const std::string& sizeText) {
    return std::to_string(bytes) + " / " + sizeText + " byte";
}

// A file name may have at most this many bytes.
constexpr std::size_t kNameMax = 255;

// "dir/.NAME.part", or with a random part when that is taken. The two extra
// dots keep it apart from every final name of a run: the names of one series
// all have the same number of dots (range values have none), and a list run
// leaves at most one in the whole path.
std::string PartName(const std::string& folder, const std::string& name, const std::string& middle) {
    const std::string suffix = middle + ".part";
    std::string base = name;
    if (1 + base.size() + suffix.size() > kNameMax) {
        base.resize(kNameMax - 1 - suffix.size());
        while (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
            base.pop_back(); // never half a character
        if (!base.empty() && static_cast<unsigned char>(base.back()) >= 0xC0)
            base.pop_back();
    }
    return folder + "." + base + suffix;
}

std::string RandomMiddle() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string middle = ".";
    for (int i = 0; i < 6; ++i)
        middle += kChars[static_cast<unsigned>(std::rand()) % (sizeof kChars - 1)];
    return middle;
}

} // namespace

void CInternetDownloader::ReportStopped() {
    Host().SetStatus("ファイルのダウンロード中止");
    Host().SetTransferText(kStoppedText);
    errorText = kStoppedText;
}

int CInternetDownloader::OpenLocalFile() {
    const auto slash = destinationPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : destinationPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? destinationPath : destinationPath.substr(slash + 1);
    // A folder, a device or a FIFO at the final name is never replaced by a
    // file: say so before any data flows. (A link is replaced, not followed.)
    struct stat there{};
    if (::lstat(destinationPath.c_str(), &there) != 0) {
        there.st_mode = 0;
    } else if (!S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode)) {
        Fail(S_ISDIR(there.st_mode) ? FileErrorText(EISDIR, destinationPath)
                                    : destinationPath + " は通常のファイルではないため、保存先にできません。");
        return -1;
    }
    // O_EXCL and O_NOFOLLOW: nothing already there, a planted link least of
    // all, is ever opened or emptied. A leftover of an earlier stop is kept.
    int fd = -1;
    int err = 0;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        partPath_ = PartName(folder, name, attempt == 0 ? std::string() : RandomMiddle());
        fd = ::open(partPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        err = errno;
        if (fd < 0 && err != EEXIST)
            break;
    }
    if (fd < 0) {
        partPath_.clear();
        Fail(FileErrorText(err, destinationPath));
        return -1;
    }
    // A replaced file keeps its permissions.
    if (S_ISREG(there.st_mode))
        ::fchmod(fd, there.st_mode & 07777);
    return fd;
}

bool CInternetDownloader::ReceiveIntoFile(CurlSession& session, int fd, const std::string& sizeText, int64_t size,
                                          int64_t expectedSize) {
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
    const bool stopped = outcome == CurlSession::Outcome::Stopped;
    if (stopped)
        session.Abort();
    report();

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
    // name; nothing arrived, or the disk refused it, leaves nothing behind.
    const bool keepPart = !localFault && session.BytesWritten() > 0;
    if (stopped || !failure.empty()) {
        if (!keepPart)
            ::unlink(partPath_.c_str());
        if (stopped)
            ReportStopped();
        else
            Fail(failure);
        fileOutcome = stopped ? FileOutcome::Stopped : FileOutcome::Failed;
        return false;
    }
    // rename replaces a file or a link at the final name itself, never what a link points to.
    if (::rename(partPath_.c_str(), destinationPath.c_str()) != 0) {
        const int err = errno;
        ::unlink(partPath_.c_str());
        Fail(FileErrorText(err, destinationPath));
        return false;
    }
    Host().SetStatus(sourceUrl + " のダウンロード完了");
    fileOutcome = FileOutcome::Saved;
    return true;
}

} // namespace ordinex
