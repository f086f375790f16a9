#include "net/url_cracker.h"

#include "platform/text_encoding.h"

#include "net/internet_downloader.h"
#include "platform/text_helpers.h"

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

bool CrackUrl(const std::string& text, CrackedUrl& out) {
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
