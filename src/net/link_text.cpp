#include "net/internet_downloader.h"
#include "net/url_cracker.h"

#include <cstdint>
#include <vector>

namespace ordinex {

namespace {

uint16_t SchemePort(const std::string& scheme) {
    if (scheme == "https")
        return 443;
    if (scheme == "ftp")
        return 21;
    return 80;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// The length of the UTF-8 character that starts at bytes[i], or 0 for none
// (C1 controls count as none: they are shown as escapes).
std::size_t Utf8Length(const std::string& bytes, std::size_t i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t len = b >= 0xC2 && b <= 0xDF   ? 2
                            : b >= 0xE0 && b <= 0xEF ? 3
                            : b >= 0xF0 && b <= 0xF4 ? 4
                                                     : 0;
    if (len == 0 || i + len > bytes.size())
        return 0;
    uint32_t cp = b & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(bytes[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    const uint32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp <= 0x9F)
        return 0;
    return len;
}

// A path (and query) written one way, whichever way the page wrote its
// escapes, so that one file linked as "資料.zip" and as "%E8%B3%87%E6%96%99.zip"
// is one row: unreserved characters, UTF-8 characters and, in the path,
// blanks are written as themselves; every other escape in upper case, and
// a byte that is no part of a UTF-8 character as an escape. Escapes that
// change what the address means ("%2F", "%3F", "%25"...) stay escapes.
std::string SameEscapes(const std::string& path) {
    std::string bytes;
    std::vector<bool> escaped;
    bytes.reserve(path.size());
    escaped.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && HexDigit(path[i + 1]) >= 0 &&
            HexDigit(path[i + 2]) >= 0) {
            bytes += static_cast<char>(HexDigit(path[i + 1]) * 16 + HexDigit(path[i + 2]));
            escaped.push_back(true);
            i += 2;
        } else {
            bytes += path[i];
            escaped.push_back(false);
        }
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    bool inQuery = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            if (!escaped[i] && b == '?')
                inQuery = true;
            if (!escaped[i] || IsUnreserved(b) || (b == ' ' && !inQuery)) {
                out += static_cast<char>(b);
            } else {
                out += '%';
                out += kHex[b >> 4];
                out += kHex[b & 15];
            }
            ++i;
            continue;
        }
        const std::size_t len = Utf8Length(bytes, i);
        if (len > 0) {
            out.append(bytes, i, len);
            i += len;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
            ++i;
        }
    }
    return out;
}

} // namespace

std::string CInternetDownloader::LinkText(const std::string& url) {
    CrackedUrl parts;
    if (!CrackUrl(url, parts) || parts.host.empty())
        return {};
    std::string host = parts.host;
    for (char& c : host)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    // Without its port a page on another port would be reopened on port 80.
    std::string text = parts.serviceType == kServiceHttps ? "https://" + host : host;
    if (parts.port != SchemePort(parts.scheme))
        text += ":" + std::to_string(parts.port);
    return text + SameEscapes(parts.path);
}

std::string CInternetDownloader::LinkAddress(const std::string& text) {
    return text.rfind("https://", 0) == 0 ? text : "http://" + text;
}

} // namespace ordinex
