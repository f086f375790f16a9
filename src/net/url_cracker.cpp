#include "net/url_cracker.h"

#include "platform/ascii_text.h"
#include "platform/text_encoding.h"

#include "net/internet_downloader.h"
#include "platform/text_helpers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <curl/curl.h>
#include <memory>
#include <string_view>

namespace ordinex {

namespace {

struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// Any scheme cracks (the service table decides what is supported); blanks
// inside a path are taken as typed.
constexpr unsigned kParseFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;

UrlHandle Parse(const std::string& text, unsigned extraFlags = 0) {
    UrlHandle u(curl_url());
    if (!u || curl_url_set(u.get(), CURLUPART_URL, text.c_str(), kParseFlags | extraFlags) != CURLUE_OK)
        return nullptr;
    return u;
}

std::string GetPart(CURLU* u, CURLUPart part, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(u, part, &value, flags) != CURLUE_OK || !value)
        return {};
    std::string out = value;
    curl_free(value);
    return out;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

uint16_t DefaultPort(const std::string& scheme) {
    if (scheme == "http")
        return 80;
    if (scheme == "https")
        return 443;
    if (scheme == "ftp")
        return 21;
    if (scheme == "gopher")
        return 70;
    if (scheme == "telnet")
        return 23;
    if (scheme == "news" || scheme == "nntp")
        return 119;
    if (scheme == "wais")
        return 210;
    if (scheme == "prospero")
        return 1525;
    return 0;
}

// "scheme:" at the start of the text (a letter, then letters, digits, "+", "-", "."), else empty.
std::string LeadingScheme(const std::string& text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    for (std::size_t i = 1; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ':')
            return Lower(text.substr(0, i));
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return {};
}

} // namespace

uint32_t ServiceTypeOfScheme(const std::string& scheme) {
    struct Entry {
        const char* scheme;
        uint32_t type;
    };
    static constexpr Entry kTable[] = {
        {"ftp", kServiceFtp},           {"gopher", kServiceGopher}, {"http", kServiceHttp},
        {"file", kServiceFile},         {"mailto", kServiceMailto}, {"mid", kServiceMid},
        {"cid", kServiceCid},           {"news", kServiceNews},     {"nntp", kServiceNntp},
        {"prospero", kServiceProspero}, {"telnet", kServiceTelnet}, {"wais", kServiceWais},
        {"afs", kServiceAfs},           {"https", kServiceHttps},
    };
    for (const auto& e : kTable)
        if (scheme == e.scheme)
            return e.type;
    return kServiceUnknown;
}

namespace {

// A dotted IPv4 address written as libcurl writes it back: four numbers up
// to 255 without leading zeros. Other numeric forms ("127.1", "0x7f.1") are
// rewritten by libcurl and left to it.
bool IsCanonicalQuad(std::string_view host) {
    int parts = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = std::min(host.find('.', start), host.size());
        const std::string_view part = host.substr(start, dot - start);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        int value = 0;
        for (const char c : part)
            value = value * 10 + (c - '0');
        if (value > 255)
            return false;
        ++parts;
        if (dot == host.size())
            break;
        start = dot + 1;
    }
    return parts == 4;
}

bool IsPlainHost(std::string_view host) {
    if (host.empty() || host.front() == '.' || host.back() == '.' ||
        host.find("..") != std::string_view::npos)
        return false;
    bool letters = false;
    for (const char c : host) {
        const bool letter = IsAsciiAlpha(c);
        if (!letter && !IsAsciiDigit(c) && c != '.' && c != '-')
            return false;
        letters = letters || letter;
    }
    if (!letters)
        return IsCanonicalQuad(host);
    // "0x7f000001" and the like may be numbers to libcurl.
    return !IsAsciiDigit(host.front()) || host.find_first_of("xX") == std::string_view::npos;
}

// A path libcurl keeps as it is: printable characters that need no escape,
// no escapes of its own, no query or fragment, no "." or ".." segment.
bool IsPlainPath(std::string_view path) {
    static const auto kPlain = [] {
        std::array<bool, 256> plain{};
        for (int c = 0; c < 256; ++c)
            plain[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        for (const char c : std::string_view("-._~!$&'()*+,;=:/"))
            plain[static_cast<unsigned char>(c)] = true;
        return plain;
    }();
    for (const char c : path)
        if (!kPlain[static_cast<unsigned char>(c)])
            return false;
    for (std::size_t at = path.find("/."); at != std::string_view::npos; at = path.find("/.", at + 1)) {
        std::size_t end = at + 2;
        if (end < path.size() && path[end] == '.')
            ++end;
        if (end == path.size() || path[end] == '/')
            return false;
    }
    return true;
}

} // namespace

bool CrackPlainUrl(const std::string& text, CrackedUrl& out) {
    std::string_view rest = text;
    std::string_view scheme;
    for (const std::string_view s :
         {std::string_view("http"), std::string_view("https"), std::string_view("ftp")})
        if (rest.size() > s.size() + 3 && rest.substr(0, s.size()) == s && rest.substr(s.size(), 3) == "://")
            scheme = s;
    if (scheme.empty())
        return false;
    rest.remove_prefix(scheme.size() + 3);
    const std::size_t slash = std::min(rest.find('/'), rest.size());
    std::string_view authority = rest.substr(0, slash);
    const std::string_view path = rest.substr(slash);
    uint16_t port = DefaultPort(std::string(scheme));
    if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        const std::string_view digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits[0] == '0')
            return false;
        long value = 0;
        for (const char c : digits) {
            if (!IsAsciiDigit(c))
                return false;
            value = value * 10 + (c - '0');
        }
        if (value > 65535)
            return false;
        port = static_cast<uint16_t>(value);
        authority = authority.substr(0, colon);
    }
    if (!IsPlainHost(authority) || !IsPlainPath(path))
        return false;
    out = CrackedUrl{};
    out.scheme = std::string(scheme);
    out.serviceType = ServiceTypeOfScheme(out.scheme);
    out.host = std::string(authority);
    out.path = path.empty() ? std::string("/") : std::string(path);
    out.port = port;
    return true;
}

bool CrackUrl(const std::string& text, CrackedUrl& out) {
    // Most addresses of a page or a run are plain: read without libcurl.
    return CrackPlainUrl(text, out) || CrackUrlWithLibcurl(text, out);
}

bool CrackUrlWithLibcurl(const std::string& text, CrackedUrl& out) {
    out = CrackedUrl{};
    const UrlHandle u = Parse(text);
    if (!u) {
        // Schemes such as mailto: and news: name no host; they still crack, so
        // that the service check can say what they are.
        const std::string scheme = LeadingScheme(text);
        const uint32_t type = ServiceTypeOfScheme(scheme);
        if (scheme.empty() || type == kServiceUnknown || type == kServiceFtp || type == kServiceHttp ||
            type == kServiceHttps)
            return false;
        out.scheme = scheme;
        out.serviceType = type;
        out.path = "/" + text.substr(scheme.size() + 1);
        out.port = DefaultPort(scheme);
        return true;
    }
    out.scheme = Lower(GetPart(u.get(), CURLUPART_SCHEME));
    out.host = GetPart(u.get(), CURLUPART_HOST);
    if (out.scheme.empty())
        return false;
    out.serviceType = ServiceTypeOfScheme(out.scheme);
    out.path = GetPart(u.get(), CURLUPART_PATH);
    if (out.path.empty() || out.path.front() != '/')
        out.path.insert(0, "/");
    // Parts the text cannot have are not asked for: a run cracks every address.
    const bool mayHaveQuery = text.find('?') != std::string::npos;
    const bool mayHaveUser = text.find('@') != std::string::npos;
    const std::string query = mayHaveQuery ? GetPart(u.get(), CURLUPART_QUERY) : std::string();
    if (!query.empty())
        out.path += "?" + query;
    const std::string portText = GetPart(u.get(), CURLUPART_PORT);
    // libcurl has checked the port already; a bounded read keeps it that way.
    const auto portNumber = BoundedDecimal(portText, 65535);
    if (!portText.empty() && !portNumber)
        return false;
    out.port = portText.empty() ? DefaultPort(out.scheme) : static_cast<uint16_t>(*portNumber);
    if (mayHaveUser) {
        out.user = GetPart(u.get(), CURLUPART_USER, CURLU_URLDECODE);
        out.password = GetPart(u.get(), CURLUPART_PASSWORD, CURLU_URLDECODE);
    }
    return true;
}

namespace {

// An address libcurl can be given as it stands: a scheme of ours in lower
// case (what the session looks at), then only printable ASCII and no
// fragment, so there is nothing to encode or take off. libcurl's own reading
// of it is the same as of the text made from it.
bool GoesAsItStands(const std::string& text) {
    if (text.rfind("http://", 0) != 0 && text.rfind("https://", 0) != 0 && text.rfind("ftp://", 0) != 0)
        return false;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= ' ' || b >= 0x7F || c == '#')
            return false;
    }
    return true;
}

} // namespace

std::string TransferUrl(const std::string& text) {
    if (GoesAsItStands(text))
        return text;
    const UrlHandle u = Parse(text, CURLU_URLENCODE);
    if (!u)
        return {};
    curl_url_set(u.get(), CURLUPART_FRAGMENT, nullptr, 0);
    return GetPart(u.get(), CURLUPART_URL);
}

std::string TransferUrlInCharset(const std::string& text, const std::string& charset) {
    if (charset.empty() || charset == "UTF-8")
        return TransferUrl(text);
    const UrlHandle u = Parse(text, CURLU_URLENCODE);
    if (!u)
        return {};
    const std::string path = GetPart(u.get(), CURLUPART_PATH);
    std::string encoded;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = ToCharset(PercentDecode(path.substr(start, slash - start)), charset);
        for (const char c : segment) {
            const auto b = static_cast<unsigned char>(c);
            if (std::isalnum(b) || std::string_view("-._~!$&'()*+,;=:@").find(c) != std::string_view::npos) {
                encoded += c;
            } else {
                static const char kHex[] = "0123456789ABCDEF";
                encoded += '%';
                encoded += kHex[b >> 4];
                encoded += kHex[b & 15];
            }
        }
        if (slash >= path.size())
            break;
        encoded += '/';
        start = slash + 1;
    }
    curl_url_set(u.get(), CURLUPART_FRAGMENT, nullptr, 0);
    if (curl_url_set(u.get(), CURLUPART_PATH, encoded.c_str(), 0) != CURLUE_OK)
        return {};
    return GetPart(u.get(), CURLUPART_URL);
}

std::string UrlWithPath(const std::string& text, const std::string& path) {
    const UrlHandle u = Parse(text);
    if (!u)
        return {};
    curl_url_set(u.get(), CURLUPART_QUERY, nullptr, 0);
    curl_url_set(u.get(), CURLUPART_FRAGMENT, nullptr, 0);
    if (curl_url_set(u.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK)
        return {};
    return GetPart(u.get(), CURLUPART_URL);
}

} // namespace ordinex
