#include "runs/list_naming.h"

#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace ordinex {

namespace {

constexpr std::size_t kMaxNameBytes = 255;

std::string RelativeName(std::string_view hp, const ListNaming& naming) {
    std::string rel;
    if (naming.mode == 0) {
        const auto slash = hp.find_last_of('/');
        rel = std::string(slash == std::string_view::npos ? hp : hp.substr(slash + 1));
    } else if (naming.mode == 1) {
        // The last N + 1 parts (N directories and the file name); too few
        // parts give the whole host and path.
        const std::vector<std::string_view> parts = SplitSegments(hp);
        const int64_t k = static_cast<int64_t>(parts.size());
        const int64_t first = k - static_cast<int64_t>(naming.directoryCount) - 1;
        if (first > 0) {
            for (int64_t i = first; i < k; ++i) {
                rel += parts[static_cast<std::size_t>(i)];
                rel += '/';
            }
        } else {
            rel = std::string(hp);
        }
    } else {
        rel = std::string(hp);
    }
    if (!rel.empty() && rel.back() == '/')
        rel.pop_back();
    if (!rel.empty() && rel.front() == '/')
        rel.erase(0, 1);
    return rel;
}

// A name part with its escapes decoded, when that gives a name a file can
// have; otherwise the part as it stands.
std::string DecodedPart(std::string_view part) {
    const std::string raw(part);
    if (raw.find('%') == std::string::npos)
        return raw;
    std::string decoded = PercentDecode(raw);
    if (decoded == "." || decoded == ".." || decoded.find('/') != std::string::npos ||
        !IsValidUtf8(decoded) || HasControlChars(decoded))
        return raw;
    return decoded;
}

bool StorablePart(std::string_view part) {
    if (part.empty() || part == "." || part == ".." || part.size() > kMaxNameBytes)
        return false;
    for (char c : part) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

} // namespace

ListItemTarget ComposeListItemTarget(std::string_view folderBase, std::string_view hostAndPath,
                                     const ListNaming& naming) {
    std::string folder = TrimBlanks(folderBase);
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    const std::string rel = RelativeName(hostAndPath, naming);
    ListItemTarget target;
    // Only the part made from the address is rewritten: the destination
    // folder is the user's and is taken as it stands.
    target.path = folder + DotsToUnderscores(rel);
    // The conversion keeps the length, so the relative part starts where the folder ends.
    const std::string_view converted = std::string_view(target.path).substr(folder.size());
    target.storable = target.path.size() < PATH_MAX;
    for (std::string_view part : SplitSegments(converted))
        target.storable = target.storable && StorablePart(part);
    return target;
}

std::string FtpItemLocalName(const std::string& directory, const std::string& name,
                             const std::string& charset) {
    std::string dir = CInternetDownloader::StripScheme(directory);
    if (dir.empty())
        dir = CInternetDownloader::StripScheme("ftp://" + directory);
    if (dir.empty())
        return {};
    // Escaped bytes of a folder name are in the server's charset; names the
    // tree shows are UTF-8 already.
    dir = PercentDecode(dir);
    if (!IsValidUtf8(dir))
        dir = FromCharset(dir, charset);
    if (dir.back() != '/')
        dir += '/';
    std::string rest = !name.empty() && name.front() == '/' ? name.substr(1) : name;
    // A name taken from an address holds the server's bytes.
    if (!IsValidUtf8(rest))
        rest = FromCharset(rest, charset);
    return DotsToUnderscores(dir + rest);
}

std::string LinkItemLocalName(const std::string& url) {
    // The query names a version or a session, not the file: "x.jpg?v=1.2" is x.jpg.
    std::string hp = CInternetDownloader::StripScheme(url);
    hp.erase(std::min(hp.find('?'), hp.size()));
    std::string decoded;
    decoded.reserve(hp.size());
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = hp.find('/', start);
        decoded += DecodedPart(std::string_view(hp).substr(start, slash - start));
        if (slash == std::string::npos)
            break;
        decoded += '/';
        start = slash + 1;
    }
    return DotsToUnderscores(decoded);
}

} // namespace ordinex
