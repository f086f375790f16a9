#include "app/ordinex_app.h"

#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "runs/target_composition.h"
#include "settings/program_settings.h"

#include <cerrno>
#include <sys/stat.h>

namespace ordinex {

namespace {
constexpr char kLocalSeparator = '/';
}

bool COrdinexApp::PrepareRun(const Job& job) {
    urlTemplate = ComposeUrl(job, settings);
    folderTemplate = ComposeFolder(job, settings);
    for (int k = 0; k < kRangeCount; ++k) {
        const RangeFields& f = job.ranges[k];
        if (auto message = ranges[k].Setup(f.check, f.start, f.end)) {
            ShowMessage(*message);
            return false;
        }
    }
    for (int k = 0; k < kRangeCount; ++k) {
        const char placeholder = RangePlaceholder(k);
        if (urlTemplate.find(placeholder) == std::string::npos &&
            folderTemplate.find(placeholder) == std::string::npos)
            ranges[k].check = 0;
    }
    return true;
}

std::string COrdinexApp::ReplacePlaceholders(const std::string& text) const {
    std::string result = text;
    for (int k = 0; k < kRangeCount; ++k) {
        if (!ranges[k].check)
            continue;
        const char placeholder = RangePlaceholder(k);
        const std::string& value = ranges[k].currentText;
        std::string replaced;
        replaced.reserve(result.size() + 16);
        for (char c : result) {
            if (c == placeholder)
                replaced += value;
            else
                replaced += c;
        }
        result = std::move(replaced);
    }
    return result;
}

std::string COrdinexApp::ComposeSourceUrl() {
    std::string url = ReplacePlaceholders(urlTemplate);
    if (!IsUrlText(url)) {
        targetError = url + kBadUrlSuffix;
        targetValid = false;
    }
    return url;
}

std::string COrdinexApp::ComposeDestinationPath() {
    std::string path = ReplacePlaceholders(folderTemplate);
    // A control character would name a file nobody can type; it is not
    // created, nor are folders for it.
    bool made = false;
    std::string folder = SplitPath(path).folder;
    const bool known = !knownFolder_.empty() && folder == knownFolder_;
    if (HasControlChars(path) || (!known && !CreateFolders(path, &made))) {
        targetError = ReplaceControlChars(path) + kBadFileNameSuffix;
        targetValid = false;
        return path;
    }
    if (made)
        madeFolder_ = folder;
    folderAssumed_ = known;
    knownFolder_ = std::move(folder);
    if (settings.SaveSetting == 2 && FileExists(path)) {
        std::string unique = MakeUniqueFileName(path);
        if (unique.empty()) {
            targetError = path + " には空いている \"(n)\" の名前がありません";
            targetValid = false;
            return path;
        }
        path = std::move(unique);
    }
    return path;
}

bool COrdinexApp::KnownFreshFolder(const std::string& path) const {
    return !madeFolder_.empty() && SplitPath(path).folder == madeFolder_;
}

// A link counts as the name it occupies, even when it points nowhere.
bool COrdinexApp::FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

std::string COrdinexApp::CurrentDirPath(const std::string& name) {
    return CurrentDirectory() + name;
}

std::string COrdinexApp::FindExistingFolder(const std::string& path) {
    std::string text = path;
    while (!text.empty() && !IsDirectory(text)) {
        const auto slash = text.find_last_of(kLocalSeparator);
        text = slash == std::string::npos ? std::string() : text.substr(0, slash);
    }
    if (text.empty() || text.back() != kLocalSeparator)
        text += kLocalSeparator;
    return text;
}

bool COrdinexApp::CreateFolders(const std::string& path, bool* made) {
    if (made)
        *made = false;
    // The root plays the part of the drive: a path that does not start at it
    // (a relative path) cannot be a destination.
    if (path.empty() || path.front() != kLocalSeparator)
        return false;
    const std::string target = SplitPath(path).folder;
    if (target.empty() || IsDirectory(target))
        return true;
    // One folder at a time from the deepest existing one down. Each pass
    // creates a folder or fails, so the loop ends.
    for (;;) {
        const std::string existing = FindExistingFolder(target);
        if (existing == target || IsDirectory(target))
            break;
        std::size_t begin = existing.size();
        while (begin < target.size() && target[begin] == kLocalSeparator)
            ++begin;
        const std::size_t end = target.find(kLocalSeparator, begin);
        const std::string name =
            target.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        if (name.empty())
            break;
        if (!MakeDirectory(existing + name))
            return false;
        if (made)
            *made = true; // the last pass makes the file's own folder
    }
    return true;
}

std::string COrdinexApp::MakeUniqueFileName(const std::string& path) {
    const PathParts parts = SplitPath(path);
    for (int n = 1; n <= kMaxUniqueNameTries; ++n) {
        std::string candidate = parts.folder + parts.title + "(" + std::to_string(n) + ")" + parts.extension;
        if (!FileExists(candidate))
            return candidate;
    }
    return {};
}

namespace {
// Host followed by path, as the URL segment helpers see a URL.
std::string HostAndPath(const std::string& url) {
    return CInternetDownloader::StripScheme(url);
}
} // namespace

int COrdinexApp::CountUrlSegments(const std::string& url) {
    return static_cast<int>(SplitSegments(HostAndPath(url)).size());
}

std::string COrdinexApp::GetUrlSegment(const std::string& url, int index) {
    const std::string text = HostAndPath(url);
    const std::vector<std::string_view> parts = SplitSegments(text);
    return index >= 0 && static_cast<std::size_t>(index) < parts.size() ? std::string(parts[index])
                                                                        : std::string();
}

} // namespace ordinex
