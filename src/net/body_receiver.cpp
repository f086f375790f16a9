#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "platform/file_error_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
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
// What an earlier version put between the name and ".part" when the plain
// temporary name was taken, and what stands in for the unique part today.
constexpr std::size_t kUniqueChars = 6;

// "dir/.NAME.part", or "dir/.NAME" + middle + ".part". The two extra dots
// keep it apart from every final name of a run: the names of one series all
// have the same number of dots (range values have none), and a list run
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

std::string UniqueMiddle() { return "." + std::string(kUniqueChars, 'X'); }

// The mode a new file gets: what the process's umask leaves of 0666. Read
// from the kernel rather than set and reset, which another thread could see.
mode_t NewFileMode() {
    mode_t mask = 022;
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "Umask:", 6) == 0) {
                mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
                break;
            }
        std::fclose(f);
    }
    return 0666 & ~mask;
}

int CreatePart(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// Removes what earlier attempts at the same target left under a unique
// temporary name (".NAME.XXXXXX.part"), other than keep. Only regular files:
// anything else was not made by a download.
void RemoveUniqueLeftovers(const std::string& folder, const std::string& name, const std::string& keep) {
    const std::string pattern = PartName("", name, UniqueMiddle());
    const std::size_t stem = pattern.size() - kUniqueChars - std::strlen(".part");
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view found = entry->d_name;
        if (found.size() != pattern.size() || found.compare(0, stem, pattern, 0, stem) != 0 ||
            !found.ends_with(".part") || folder + std::string(found) == keep)
            continue;
        const std::string_view unique = found.substr(stem, kUniqueChars);
        if (!std::all_of(unique.begin(), unique.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        struct stat st{};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
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
    // all, is ever opened or emptied. One temporary name per target, so that
    // what an interrupted attempt left is found again: a regular file there
    // is such a leftover and makes room; anything else there is not ours and
    // stays, and the data goes to a unique name beside it.
    partPath_ = PartName(folder, name, std::string());
    partLeftovers_ = false;
    int fd = CreatePart(partPath_);
    if (fd < 0 && errno == EEXIST) {
        partLeftovers_ = true;
        struct stat old{};
        if (::lstat(partPath_.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::unlink(partPath_.c_str()) == 0)
            fd = CreatePart(partPath_);
        else
            errno = EEXIST;
    }
    bool newMode = false;
    if (fd < 0 && errno == EEXIST) {
        partPath_ = PartName(folder, name, UniqueMiddle());
        fd = ::mkostemps(partPath_.data(), static_cast<int>(std::strlen(".part")), O_CLOEXEC);
        newMode = true;
    }
    if (fd < 0) {
        const int err = errno;
        partPath_.clear();
        Fail(FileErrorText(err, destinationPath));
        return -1;
    }
    // A replaced file keeps its permissions, but never the set-user-ID,
    // set-group-ID or sticky bits of a program it no longer is.
    const mode_t mode = S_ISREG(there.st_mode) ? (there.st_mode & 0777) : newMode ? NewFileMode() : 0;
    if (mode != 0 && ::fchmod(fd, mode) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(partPath_.c_str());
        partPath_.clear();
        Fail(FileErrorText(err, destinationPath));
        return -1;
    }
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
    if (partLeftovers_) {
        const auto slash = destinationPath.find_last_of('/');
        RemoveUniqueLeftovers(slash == std::string::npos ? std::string() : destinationPath.substr(0, slash + 1),
                              slash == std::string::npos ? destinationPath : destinationPath.substr(slash + 1),
                              partPath_);
    }
    Host().SetStatus(sourceUrl + " のダウンロード完了");
    fileOutcome = FileOutcome::Saved;
    return true;
}

} // namespace ordinex
