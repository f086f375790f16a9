#include "net/part_file.h"

#include "platform/file_system.h"

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

int PartFile::Create(const std::string& target, mode_t mode, bool remakeFolder) {
    const auto [folder, name] = SplitPath(target);
    // O_EXCL and O_NOFOLLOW: nothing already there, a planted link least of
    // all, is ever opened or emptied. A regular file at the name is what an
    // earlier attempt left and makes room; anything else there is not ours
    // and stays, and the data goes to a unique name beside it.
    path_ = PartName(folder, name, std::string());
    leftovers_ = false;
    hasRecord_ = false;
    int fd = CreateExclusive(path_);
    // The folder was there for the file before; somebody has taken it away
    // since. Made again, as the run does for the next file.
    if (fd < 0 && errno == ENOENT && remakeFolder && !folder.empty() && MakeDirectories(folder))
        fd = CreateExclusive(path_);
    if (fd < 0 && errno == EEXIST) {
        leftovers_ = true;
        struct stat old {};
        if (::lstat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::unlink(path_.c_str()) == 0) {
            ::unlink(RecordPath(path_).c_str()); // its record speaks of bytes that are gone
            fd = CreateExclusive(path_);
        } else
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
    if (path_.empty())
        return;
    ::unlink(path_.c_str());
    ::unlink(RecordPath(path_).c_str());
}

std::optional<PartFile::Leftover> PartFile::FindLeftover(const std::string& target, const std::string& url) {
    const auto [folder, name] = SplitPath(target);
    const std::string path = PartName(folder, name, std::string());
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_size <= 0)
        return std::nullopt;
    // The record is small: anything larger is not one of ours.
    const int fd = ::open(RecordPath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[8192];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer))
        return std::nullopt;
    Leftover found;
    found.bytes = st.st_size;
    std::string_view text(buffer, static_cast<std::size_t>(n));
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string value(line.substr(eq + 1));
        if (key == "url")
            found.record.url = value;
        else if (key == "etag")
            found.record.etag = value;
        else if (key == "modified")
            found.record.modified = value;
        else if (key == "size" && !value.empty() && value.size() < 19 &&
                 value.find_first_not_of("0123456789") == std::string::npos)
            found.record.size = std::stoll(value);
    }
    if (found.record.url != url || !found.record.HasValidator() ||
        (found.record.size >= 0 && found.bytes >= found.record.size))
        return std::nullopt;
    return found;
}

int PartFile::OpenForAppend(const std::string& target, int64_t bytes) {
    const auto [folder, name] = SplitPath(target);
    path_ = PartName(folder, name, std::string());
    leftovers_ = false;
    hasRecord_ = true;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 &&
        (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_size != bytes)) {
        ::close(fd);
        errno = ESTALE;
        path_.clear();
        return -1;
    }
    if (fd < 0)
        path_.clear();
    return fd;
}

bool PartFile::WriteRecord(const ResumeRecord& record) {
    // One line per value: a value that could break its line is not kept.
    for (const std::string* value : {&record.url, &record.etag, &record.modified})
        if (value->find_first_of("\r\n") != std::string::npos)
            return false;
    const std::string text = "url=" + record.url + "\netag=" + record.etag + "\nmodified=" + record.modified +
                             "\nsize=" + (record.size >= 0 ? std::to_string(record.size) : std::string()) +
                             "\n";
    const std::string path = RecordPath(path_);
    ::unlink(path.c_str()); // an older record, or a link planted there, goes first
    hasRecord_ = true;
    const int fd = CreateExclusive(path);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
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
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            ::unlinkat(dirFd, entry->d_name, 0);
            ::unlinkat(dirFd, RecordPath(entry->d_name).c_str(), 0);
        }
    }
    ::closedir(dir);
}

} // namespace ordinex
