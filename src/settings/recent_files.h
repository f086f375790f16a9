#pragma once
#include <string>
#include <vector>

namespace ordinex {

class IniStore;

// Recently used job files, newest first, at most 16, kept in the section
// "RecentDownloadSettingFileList" as file1 .. file16.
class RecentFileList {
public:
    static constexpr std::size_t kMaxEntries = 16;
    static constexpr std::size_t kMenuTextLimit = 30;

    void Add(const std::string& path);
    void Remove(std::size_t index);
    const std::vector<std::string>& Entries() const { return entries_; }
    // The menu text of an entry: the path shortened to 30 characters, the
    // file name kept whole where it fits.
    static std::string MenuText(const std::string& path);

    void Load(const IniStore& ini);
    void Save(IniStore& ini) const;

private:
    std::vector<std::string> entries_;
};

} // namespace ordinex
