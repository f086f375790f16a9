#include "net/internet_downloader.h"

#include "net/url_cracker.h"
#include "runs/text_helpers.h"

namespace ordinex {

CInternetDownloader::CInternetDownloader(IEngineHost* host) : host_(host) {}

CInternetDownloader::~CInternetDownloader() = default;

std::string CInternetDownloader::StripScheme(const std::string& url) {
    CrackedUrl parts;
    if (!CrackUrl(url, parts))
        return {};
    return parts.host + parts.path;
}

std::string CInternetDownloader::UrlToLocalName(const std::string& url) { return DotsToUnderscores(StripScheme(url)); }

} // namespace ordinex

// ---- Placeholders until the transfer engine lands: every operation fails cleanly. ----
namespace ordinex {
namespace {
constexpr const char* kNotYet = "この操作はまだ使えません";
}
bool CInternetDownloader::ParseUrl(const std::string&, bool, bool, bool) { errorText = kNotYet; return false; }
bool CInternetDownloader::IsSupportedServiceType(uint32_t type) { return type == kServiceFtp || type == kServiceHttp; }
const char* CInternetDownloader::ServiceTypeName(uint32_t) { return "不明"; }
bool CInternetDownloader::CheckHttpStatus(long code) { return code < 400; }
std::string CInternetDownloader::NormalizeFtpUrl(const std::string& url) { return url; }
std::string CInternetDownloader::NormalizeHttpUrl(const std::string& url, bool) { return url; }
bool CInternetDownloader::DownloadFile() { errorText = kNotYet; return false; }
bool CInternetDownloader::DownloadFtpFile() { errorText = kNotYet; return false; }
bool CInternetDownloader::DownloadHttpFile() { errorText = kNotYet; return false; }
bool CInternetDownloader::OpenFtpTree() { errorText = kNotYet; return false; }
bool CInternetDownloader::ListFtpDirectory(TreeNodeId, const std::string&, bool, bool, bool) { errorText = kNotYet; return false; }
bool CInternetDownloader::OpenLinkTree() { errorText = kNotYet; return false; }
bool CInternetDownloader::QueryHttpInfo(const std::string&, HttpProbeResult&) { errorText = kNotYet; return false; }
bool CInternetDownloader::PassesListFilter(const ProgramSettings&, const std::string&, const std::string&) { return false; }
} // namespace ordinex
