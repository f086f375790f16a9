#include "platform/file_system.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ordinex {

bool IsDirectory(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool MakeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

std::string CurrentDirectory() {
    std::vector<char> buf(PATH_MAX);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
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
