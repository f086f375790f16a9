#include "net/url_cracker.h"

#include "net/internet_downloader.h"

#include <curl/curl.h>
#include <memory>

namespace ordinex {

namespace {

struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

std::string GetPart(CURLU* u, CURLUPart part, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(u, part, &value, flags) != CURLUE_OK || !value)
        return {};
    std::string out = value;
    curl_free(value);
    return out;
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

} // namespace

uint32_t ServiceTypeOfScheme(const std::string& scheme) {
    struct Entry {
        const char* scheme;
        uint32_t type;
    };
    static constexpr Entry kTable[] = {
        {"ftp", kServiceFtp},         {"gopher", kServiceGopher}, {"http", kServiceHttp},
        {"file", kServiceFile},       {"mailto", kServiceMailto}, {"mid", kServiceMid},
        {"cid", kServiceCid},         {"news", kServiceNews},     {"nntp", kServiceNntp},
        {"prospero", kServiceProspero}, {"telnet", kServiceTelnet}, {"wais", kServiceWais},
        {"afs", kServiceAfs},         {"https", kServiceHttps},
    };
    for (const auto& e : kTable)
        if (scheme == e.scheme)
            return e.type;
    return kServiceUnknown;
}

bool CrackUrl(const std::string& text, CrackedUrl& out) {
    out = CrackedUrl{};
    std::unique_ptr<CURLU, UrlDeleter> u(curl_url());
    if (!u)
        return false;
    // Any scheme cracks (the service table decides what is supported); blanks
    // inside a path are taken as typed.
    const unsigned flags = CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE;
    if (curl_url_set(u.get(), CURLUPART_URL, text.c_str(), flags) != CURLUE_OK)
        return false;
    out.scheme = GetPart(u.get(), CURLUPART_SCHEME);
    out.host = GetPart(u.get(), CURLUPART_HOST);
    if (out.scheme.empty())
        return false;
    out.serviceType = ServiceTypeOfScheme(out.scheme);
    out.path = GetPart(u.get(), CURLUPART_PATH);
    if (out.path.empty() || out.path.front() != '/')
        out.path.insert(out.path.begin(), '/');
    const std::string query = GetPart(u.get(), CURLUPART_QUERY);
    if (!query.empty())
        out.path += "?" + query;
    const std::string portText = GetPart(u.get(), CURLUPART_PORT);
    out.port = portText.empty() ? DefaultPort(out.scheme) : static_cast<uint16_t>(std::stoul(portText));
    out.user = GetPart(u.get(), CURLUPART_USER, CURLU_URLDECODE);
    out.password = GetPart(u.get(), CURLUPART_PASSWORD, CURLU_URLDECODE);
    return true;
}

} // namespace ordinex
