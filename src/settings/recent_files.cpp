#include "settings/recent_files.h"

#include "platform/ini_store.h"

#include <algorithm>

namespace ordinex {

namespace {
constexpr const char* kSection = "RecentDownloadSettingFileList";

std::size_t CharCount(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The last n characters of a UTF-8 text.
std::string LastChars(const std::string& s, std::size_t n) {
    std::size_t chars = 0;
    std::size_t i = s.size();
    while (i > 0 && chars < n) {
        --i;
        if ((s[i] & 0xC0) != 0x80)
            ++chars;
    }
    return s.substr(i);
}
} // namespace

void RecentFileList::Add(const std::string& path) {
    if (path.empty())
        return;
    std::erase(entries_, path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kMaxEntries)
        entries_.resize(kMaxEntries);
}

void RecentFileList::Remove(std::size_t index) {
    if (index < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string RecentFileList::MenuText(const std::string& path) {
    if (CharCount(path) <= kMenuTextLimit)
        return path;
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (CharCount(name) + 4 >= kMenuTextLimit)
        return "..." + LastChars(name, kMenuTextLimit - 3);
    // Keep the start of the path and the whole file name: "/home/u/.../job.odx".
    const std::string tail = "/.../" + name;
    std::string head;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < path.size() && chars + CharCount(tail) < kMenuTextLimit;) {
        std::size_t len = 1;
        while (i + len < path.size() && (path[i + len] & 0xC0) == 0x80)
            ++len;
        head += path.substr(i, len);
        i += len;
        ++chars;
    }
    while (!head.empty() && head.back() == '/')
        head.pop_back();
    return head + tail;
}

void RecentFileList::Load(const IniStore& ini) {
    entries_.clear();
    for (std::size_t i = 1; i <= kMaxEntries; ++i) {
        const std::string path = ini.GetString(kSection, "file" + std::to_string(i), "");
        if (!path.empty() && std::find(entries_.begin(), entries_.end(), path) == entries_.end())
            entries_.push_back(path);
    }
}

void RecentFileList::Save(IniStore& ini) const {
    ini.RemoveSection(kSection);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        ini.SetString(kSection, "file" + std::to_string(i + 1), entries_[i]);
}

} // namespace ordinex
