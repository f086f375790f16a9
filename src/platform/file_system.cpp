#include "platform/file_system.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ordinex {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool MakeDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool MakeDirectories(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        errno = ENOENT;
        return false;
    }
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string level = path.substr(0, end);
        if (!level.empty() && level.back() != '/' && ::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            break;
    }
    if (IsDirectory(path))
        return true;
    errno = ENOTDIR;
    return false;
}

std::string CurrentDirectory() {
    std::vector<char> buf(PATH_MAX);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

ReadResult ReadRegularFile(const std::string& path, std::string& contents, int* errnoOut) {
    auto fail = [&](int err) {
        if (errnoOut)
            *errnoOut = err;
        return ReadResult::Failed;
    };
    contents.clear();
    // Without O_NONBLOCK, opening a FIFO would wait for a writer forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? fail(EISDIR) : ReadResult::NotRegular;
    }
    if (st.st_size > kMaxSettingsFileBytes) {
        ::close(fd);
        return ReadResult::TooLarge;
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        if (n == 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<long long>(contents.size()) > kMaxSettingsFileBytes) {
            ::close(fd);
            contents.clear();
            return ReadResult::TooLarge; // grew while being read
        }
    }
    ::close(fd);
    return ReadResult::Ok;
}

std::string NotRegularFileText(const std::string& path) {
    return path + " は通常のファイルではないため、読み込めません。";
}

std::string TooLargeFileText(const std::string& path) {
    return path + " は大きすぎるため、読み込めません。";
}

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    const auto slash = path.find_last_of('/');
    std::string_view name = path;
    if (slash != std::string_view::npos) {
        parts.folder = std::string(path.substr(0, slash + 1));
        name = path.substr(slash + 1);
    }
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        parts.title = std::string(name);
    } else {
        parts.title = std::string(name.substr(0, dot));
        parts.extension = std::string(name.substr(dot));
    }
    return parts;
}

} // namespace ordinex
