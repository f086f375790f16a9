#include "platform/ini_store.h"

#include "platform/file_system.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ordinex {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

} // namespace

int32_t ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1)
            value = int64_t{INT32_MAX} + 1; // saturate; keeps going through the digits
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    if (value < INT32_MIN)
        value = INT32_MIN;
    return static_cast<int32_t>(value);
}

bool IniStore::Load(const std::string& path, bool* notRegular) {
    sections_.clear();
    std::string text;
    int err = 0;
    const ReadResult result = ReadRegularFile(path, text, &err);
    if (notRegular)
        *notRegular = result == ReadResult::NotRegular || result == ReadResult::TooLarge ||
                      (result == ReadResult::Failed && err == EISDIR);
    if (result != ReadResult::Ok)
        return false;
    Parse(text);
    return true;
}

void IniStore::Parse(std::string_view text) {
    sections_.clear();
    sections_.push_back(Section{});
    // A byte-order mark written by another editor would otherwise become part of the first name.
    // Every one of them, so that a file written back reads the same.
    while (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        // Every carriage return at the end goes, so that a file reads the same
        // after it has been written back with plain line feeds.
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos) {
            const auto close = trimmed.find(']');
            sections_.push_back(Section{std::string(Trim(trimmed.substr(1, close - 1))), {}});
            continue;
        }
        const auto eq = line.find('=');
        if (eq != std::string_view::npos && !trimmed.starts_with(';') && !Trim(line.substr(0, eq)).empty()) {
            // A carriage return inside a value reads as the blank that writing
            // would make of it, so that a value survives being written back.
            std::string value(line.substr(eq + 1));
            std::replace(value.begin(), value.end(), '\r', ' ');
            sections_.back().lines.push_back(Line{std::string(Trim(line.substr(0, eq))), std::move(value)});
        } else {
            sections_.back().lines.push_back(Line{{}, std::string(line)});
        }
    }
}

IniStore::Section* IniStore::FindSection(std::string_view name) {
    for (auto& s : sections_)
        if (!s.name.empty() && SameName(s.name, name))
            return &s;
    return nullptr;
}

const IniStore::Section* IniStore::FindSection(std::string_view name) const {
    for (const auto& s : sections_)
        if (!s.name.empty() && SameName(s.name, name))
            return &s;
    return nullptr;
}

bool IniStore::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::optional<std::string> IniStore::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s)
        return std::nullopt;
    for (const auto& line : s->lines)
        if (!line.key.empty() && SameName(line.key, key))
            return line.value;
    return std::nullopt;
}

std::string IniStore::GetString(std::string_view section, std::string_view key, std::string_view def,
                                std::size_t maxBytes) const {
    auto found = Find(section, key);
    std::string value = found ? ToValidUtf8(*found) : std::string(def);
    return CutAtCharBoundary(value, maxBytes);
}

int32_t IniStore::GetInt(std::string_view section, std::string_view key, int32_t def) const {
    auto found = Find(section, key);
    return found ? ParseProfileInt(*found) : def;
}

void IniStore::SetString(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside a value would split it into lines of its own.
    std::string clean(value);
    for (char& c : clean)
        if (c == '\n' || c == '\r')
            c = ' ';
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back(Section{std::string(section), {}});
        s = &sections_.back();
    }
    for (auto& line : s->lines) {
        if (!line.key.empty() && SameName(line.key, key)) {
            line.value = clean;
            return;
        }
    }
    // New keys go after the last key of the section, before trailing blank lines.
    auto insertAt = s->lines.end();
    while (insertAt != s->lines.begin() && std::prev(insertAt)->key.empty() &&
           Trim(std::prev(insertAt)->value).empty())
        --insertAt;
    s->lines.insert(insertAt, Line{std::string(key), clean});
}

void IniStore::SetInt(std::string_view section, std::string_view key, int64_t value) {
    SetString(section, key, std::to_string(value));
}

void IniStore::RemoveSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return !s.name.empty() && SameName(s.name, section); });
}

std::string IniStore::Serialize() const {
    std::string out;
    for (const auto& s : sections_) {
        if (!s.name.empty()) {
            out += '[';
            out += s.name;
            out += "]\n";
        }
        for (const auto& line : s.lines) {
            if (line.key.empty()) {
                out += line.value;
            } else {
                out += line.key;
                out += '=';
                out += line.value;
            }
            out += '\n';
        }
    }
    return out;
}

bool IniStore::Save(const std::string& path, int* errnoOut) const {
    return WriteFileAtomically(path, Serialize(), errnoOut);
}

namespace {

// The file a path finally names: a link is followed (also when it points to
// nothing yet), so that saving writes its target and the link stays a link.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::vector<char> target(4096);
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size() - 1);
        if (n < 0)
            return current;
        std::string next(target.data(), static_cast<std::size_t>(n));
        if (next.empty() || next.front() != '/') {
            const auto slash = current.find_last_of('/');
            next = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + next;
        }
        current = next;
    }
    return current;
}

} // namespace

bool WriteFileAtomically(const std::string& requestedPath, std::string_view contents, int* errnoOut) {
    auto fail = [&](int err) {
        if (errnoOut)
            *errnoOut = err;
        return false;
    };
    const std::string path = FollowLinks(requestedPath);
    // Settings and job files may hold a password: only the owner reads them.
    // An existing file keeps its mode where that is stricter still; one
    // without write permission is refused rather than replaced.
    mode_t mode = 0600;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fail(EISDIR);
        if (!S_ISREG(st.st_mode))
            return fail(EACCES); // a FIFO or a device is never replaced by a file
        if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return fail(EACCES);
        mode = st.st_mode & 0600;
    }
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = dir + "/." + base + ".XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    ::fchmod(fd, mode);
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            return fail(err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(err);
    }
    return true;
}

} // namespace ordinex
