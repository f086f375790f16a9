#include "net/internet_downloader.h"
#include "net/url_cracker.h"
#include "settings/program_settings.h"

namespace ordinex {

bool CInternetDownloader::ParseUrl(const std::string& url, bool store, bool tryFtp, bool report) {
    errorText.clear();
    std::string text = url;
    CrackedUrl parts;
    bool cracked = CrackUrl(text, parts);
    if (!cracked && tryFtp) {
        // A bare host and path is taken as an FTP address.
        text = "ftp://" + url;
        cracked = CrackUrl(text, parts);
    }
    if (!cracked) {
        if (report)
            Fail("インターネット･サービス･タイプが不明");
        return false;
    }
    if (!IsSupportedServiceType(parts.serviceType)) {
        if (report)
            Fail(UnsupportedServiceText(parts.serviceType));
        return false;
    }
    if (store) {
        sourceUrl = text;
        serviceType = parts.serviceType;
        serverName = parts.host;
        objectPath = parts.path;
        port = parts.port;
    }
    return true;
}

const char* CInternetDownloader::ServiceTypeName(uint32_t type) {
    switch (type) {
    case kServiceFtp:
        return "FTP";
    case kServiceGopher:
        return "GOPHER";
    case kServiceHttp:
        return "HTTP";
    case kServiceUnknown:
        return "UNK";
    case kServiceFile:
        return "FILE";
    case kServiceMailto:
        return "MAILTO";
    case kServiceMid:
        return "MID";
    case kServiceCid:
        return "CID";
    case kServiceNews:
        return "NEWS";
    case kServiceNntp:
        return "NNTP";
    case kServiceProspero:
        return "PROSPERO";
    case kServiceTelnet:
        return "TELNET";
    case kServiceWais:
        return "WAIS";
    case kServiceAfs:
        return "AFS";
    case kServiceHttps:
        return "HTTPS";
    default:
        return "不明";
    }
}

bool CInternetDownloader::HttpsAllowed() const {
    return Host().Settings().UseHttpsSetting != 0;
}

bool CInternetDownloader::IsWebService(uint32_t type) const {
    return type == kServiceHttp || (type == kServiceHttps && HttpsAllowed());
}

bool CInternetDownloader::IsSupportedServiceType(uint32_t type) {
    const bool supported = type == kServiceFtp || IsWebService(type);
    std::string text = std::string("インターネット･サービス･タイプ  ") + ServiceTypeName(type);
    if (!supported)
        text += "  (サポートしていないインターネット･サービス･タイプ)";
    Host().SetStatus(text);
    return supported;
}

std::string CInternetDownloader::NormalizeFtpUrl(const std::string& url) {
    CrackedUrl parts;
    CrackUrl(url, parts);
    if (parts.serviceType == kServiceFtp)
        return url;
    if (parts.host.empty())
        return "ftp://" + url;
    return "ftp://" + parts.host + parts.path;
}

std::string CInternetDownloader::UnsupportedServiceText(uint32_t type) {
    std::string text = "サポートしていないインターネット･サービス･タイプ";
    if (type == kServiceHttps)
        text += " (HTTPSは「ダウンロード」ページの「HTTPSを使用する(サーバー証明書を検証する)」、"
                "UseHttpsSetting=1 で使えます)";
    return text;
}

std::string CInternetDownloader::NormalizeHttpUrl(const std::string& url, bool store) {
    CrackedUrl parts;
    CrackUrl(url, parts);
    // A secure address stays secure, and is refused while HTTPS is off: read
    // as plain HTTP it would go to another port with its password in clear.
    // Other schemes are read as plain HTTP.
    const bool keep = IsWebService(parts.serviceType) || parts.serviceType == kServiceHttps;
    if (store) {
        serviceType = keep ? parts.serviceType : kServiceHttp;
        serverName = parts.host;
        objectPath = parts.path;
        port = parts.port;
    }
    if (keep)
        return url;
    if (parts.host.empty())
        return "http://" + url;
    return "http://" + parts.host + parts.path;
}

} // namespace ordinex
