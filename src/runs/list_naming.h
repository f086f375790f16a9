#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ordinex {

// How a list run names the file of one item under the destination folder.
struct ListNaming {
    int32_t mode = 0;           // 0 file name, 1 with directories above it, 2 host and whole path
    int32_t directoryCount = 0; // directories kept by mode 1
    std::string schemeText;     // "ftp://" or "http://"
};

struct ListItemTarget {
    std::string path;
    // Whether every part of the name below the destination folder can be a
    // file or folder name there: not empty, not "." or "..", no control
    // characters, at most 255 bytes. A path that fails is never created.
    bool storable = false;
};

// The destination of an item: the folder base (trimmed, "/" ensured) and the
// relative name the mode takes from hostAndPath (the item's host and path,
// without the scheme), the whole path through DotsToUnderscores. Whatever
// the item's name holds, a storable path lies inside the folder.
ListItemTarget ComposeListItemTarget(std::string_view folderBase, std::string_view hostAndPath,
                                     const ListNaming& naming);

// Host and path of an FTP row: the directory's address without scheme, user
// and port, its escapes decoded, then the name with one leading "/" removed;
// through DotsToUnderscores, as the engine's local names are.
std::string FtpItemLocalName(const std::string& directory, const std::string& name,
                             const std::string& charset = "UTF-8");

// Host and path of a Link row's address (as fetched, "http://..."): host
// without port or user, path and query; an escape is decoded where that
// gives a plain name part (UTF-8, no control character, no "/"); through
// DotsToUnderscores. Empty when the address has no host.
std::string LinkItemLocalName(const std::string& url);

} // namespace ordinex
