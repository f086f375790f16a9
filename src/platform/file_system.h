#pragma once
#include <string>
#include <string_view>

namespace ordinex {

// POSIX stand-ins for the path services of the original platform.
bool IsDirectory(const std::string& path);
// True when a file or a folder of that name exists.
bool PathExists(const std::string& path);
// Creates one folder; false (with errno set) when it cannot.
bool MakeDirectory(const std::string& path);
// Creates an absolute folder and every missing folder above it; false (with
// errno set) when one cannot be made.
bool MakeDirectories(const std::string& path);
std::string CurrentDirectory();

// Reads a whole file without ever waiting for a writer: a FIFO, a socket or
// a device is refused (NotRegular), a folder fails with EISDIR, and a file
// larger than kMaxSettingsFileBytes is not read at all (TooLarge).
enum class ReadResult { Ok, NotRegular, TooLarge, Failed };
inline constexpr long long kMaxSettingsFileBytes = 16LL << 20;
ReadResult ReadRegularFile(const std::string& path, std::string& contents, int* errnoOut = nullptr);
// The messages for a path that names something other than a file, and for
// a file too large to be a job or settings file.
std::string NotRegularFileText(const std::string& path);
std::string TooLargeFileText(const std::string& path);

// Splits a path the way the runtime's path splitter does: folder (ending in
// "/" when not empty), file title, and extension (with its leading dot).
struct PathParts {
    std::string folder;
    std::string title;
    std::string extension;
};
PathParts SplitPath(std::string_view path);

} // namespace ordinex
