#include "net/part_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ordinex {

namespace {

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

std::string UniqueMiddle() {
    return "." + std::string(kUniqueChars, 'X');
}

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

int CreateExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// Splits a path after its last "/": the folder (with its "/") and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

} // namespace

int PartFile::Create(const std::string& target, mode_t mode) {
    const auto [folder, name] = SplitPath(target);
    // O_EXCL and O_NOFOLLOW: nothing already there, a planted link least of
    // all, is ever opened or emptied. A regular file at the name is what an
    // earlier attempt left and makes room; anything else there is not ours
    // and stays, and the data goes to a unique name beside it.
    path_ = PartName(folder, name, std::string());
    leftovers_ = false;
    int fd = CreateExclusive(path_);
    if (fd < 0 && errno == EEXIST) {
        leftovers_ = true;
        struct stat old {};
        if (::lstat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::unlink(path_.c_str()) == 0)
            fd = CreateExclusive(path_);
        else
            errno = EEXIST;
    }
    if (fd < 0 && errno == EEXIST) {
        path_ = PartName(folder, name, UniqueMiddle());
        fd = ::mkostemps(path_.data(), static_cast<int>(std::strlen(".part")), O_CLOEXEC);
        if (mode == 0)
            mode = NewFileMode(); // mkostemps makes it 0600
    }
    if (fd >= 0 && mode != 0 && ::fchmod(fd, mode) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(path_.c_str());
        errno = err;
        fd = -1;
    }
    if (fd < 0)
        path_.clear();
    return fd;
}

void PartFile::Remove() const {
    if (!path_.empty())
        ::unlink(path_.c_str());
}

void PartFile::RemoveLeftovers(const std::string& target) const {
    if (!leftovers_)
        return;
    const auto [folder, name] = SplitPath(target);
    const std::string& keep = path_;
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
        if (!std::all_of(unique.begin(), unique.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace ordinex
