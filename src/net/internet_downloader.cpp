#include "net/internet_downloader.h"

#include "net/concurrent_workers.h"
#include "net/url_cracker.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

namespace ordinex {

namespace {

// Stands in while no application is attached: reports go nowhere, nothing stops.
class SilentHost : public IEngineHost {
public:
    void SetStatus(const std::string&) override {}
    void SetStatus2(const std::string&) override {}
    void SetTransferText(const std::string&) override {}
    void SetByteProgress(const std::string&, int64_t, int64_t) override {}
    void ShowTreeTarget(const std::string&) override {}
    void PumpOneMessage() override {}
    bool StopRequested() const override { return false; }
    const ProgramSettings& Settings() const override { return settings_; }

private:
    ProgramSettings settings_;
};

} // namespace

CInternetDownloader::CInternetDownloader(IEngineHost* host)
    : unreachable_(ownUnreachable_), host_(host), connections_(ownConnections_) {}

CInternetDownloader::CInternetDownloader(IEngineHost* host, CInternetDownloader& sharing)
    : unreachable_(sharing.unreachable_), host_(host), connections_(sharing.connections_) {}

CInternetDownloader::~CInternetDownloader() = default;

IEngineHost& CInternetDownloader::Host() const {
    static SilentHost silent;
    return host_ ? *host_ : silent;
}

void CInternetDownloader::Fail(const std::string& reason) {
    Host().SetStatus("ファイルのダウンロード中止");
    Host().SetTransferText(reason);
    errorText = reason;
}

bool CInternetDownloader::DownloadFile() {
    errorText.clear();
    fileOutcome = FileOutcome::Failed;
    bytesReceived = 0;
    const bool parsed = ParseUrl(sourceUrl, true, true, true);
    const bool saved = parsed && (serviceType == kServiceFtp ? DownloadFtpFile() : DownloadHttpFile());
    destinationAbsent = leftoverAbsent = folderAssumed = false; // said of this file only
    return saved;
}

bool CInternetDownloader::CheckHttpStatus(long statusCode) {
    errorText.clear();
    // Answers that carry no file, or only a part nobody asked for, must not
    // be saved as if they were the file.
    const char* notTheFile = nullptr;
    if (statusCode < 200)
        notTheFile = "サーバーの応答が正しくありません";
    else if (statusCode == 206)
        notTheFile = "要求していない部分的な応答が返されました";
    else if (statusCode == 300)
        notTheFile = "複数の候補が示され、ファイルが特定できません";
    else if (statusCode == 304)
        notTheFile = "ファイルの内容が返されませんでした";
    else if (statusCode > 300 && statusCode < 400)
        notTheFile = "転送先が示されていないリダイレクトです";
    if (notTheFile) {
        Fail(std::string(notTheFile) + "(" + std::to_string(statusCode) + ")");
        return false;
    }
    if (statusCode < 400) {
        if (statusCode == 200)
            Host().SetStatus("URLが見つかりました(転送を開始)");
        return true;
    }
    std::string text = statusCode >= 500 ? "サーバーエラー" : "要求エラー";
    switch (statusCode) {
    case 400:
        text = "不適切な要求です";
        break;
    case 401:
        text = "アクセスが拒否されました";
        break;
    case 404:
        text = "要求されたURLが見つかりません";
        break;
    case 405:
        text = "サーバーは要求された方式をサポートしていません";
        break;
    case 500:
        text = "原因不明のサーバーエラー";
        break;
    case 503:
        text = "サーバー容量の限界です";
        break;
    default:
        break;
    }
    Fail(text + "(" + std::to_string(statusCode) + ")");
    return false;
}

std::string CInternetDownloader::StripScheme(const std::string& url) {
    CrackedUrl parts;
    if (!CrackUrl(url, parts))
        return {};
    return parts.host + parts.path;
}

std::string CInternetDownloader::UrlToLocalName(const std::string& url) {
    return DotsToUnderscores(StripScheme(url));
}

} // namespace ordinex
