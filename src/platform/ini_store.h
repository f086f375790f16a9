#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// An INI file held in memory with the profile-function semantics the program
// relies on: section and key names match without regard to case, a missing key
// yields the caller's default, integers read as an optional sign and leading
// digits, and writes keep every other line of the file where it was.
// Values are kept byte for byte (no trimming), because job texts may end in
// white space that must survive a round trip.
class IniStore {
public:
    IniStore() = default;

    // Replaces the contents by the file's. A missing or unreadable file leaves
    // the store empty and returns false; so does a path that names a FIFO, a
    // device or a folder (notRegular is then set), without waiting on it.
    bool Load(const std::string& path, bool* notRegular = nullptr);
    void Parse(std::string_view text);

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Reads a text; at most maxBytes bytes come back, cut at a character boundary.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          std::size_t maxBytes = 4095) const;
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;

    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int64_t value);
    void RemoveSection(std::string_view section);
    bool HasSection(std::string_view section) const;

    std::string Serialize() const;
    // Writes through a temporary file in the same folder and a rename, so the
    // old file stays whole when anything fails. On failure errnoOut holds why.
    bool Save(const std::string& path, int* errnoOut = nullptr) const;

    void Clear() { sections_.clear(); }

private:
    struct Line {
        std::string key;   // empty for a line that is not key=value
        std::string value; // the value, or the whole raw line when key is empty
    };
    struct Section {
        std::string name; // empty name: lines before the first section header
        std::vector<Line> lines;
    };
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> sections_;
};

// The profile reader's integer rule: optional blanks, optional sign, leading
// digits; anything else reads as 0. Values beyond 32 bits saturate.
int32_t ParseProfileInt(std::string_view text);

// Writes a whole file atomically (temporary file, fsync, rename) with mode
// 0600, or the existing file's mode where it is stricter. A link is kept and
// its target written; a file without write permission, a folder, a FIFO or a
// device is refused (errnoOut EACCES or EISDIR).
bool WriteFileAtomically(const std::string& path, std::string_view contents, int* errnoOut = nullptr);

} // namespace ordinex
