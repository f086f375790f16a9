#include "net/curl_session.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/url_cracker.h"
#include "runs/text_helpers.h"

#include <ctime>
#include <vector>

namespace ordinex {

namespace {

struct ListedEntry {
    std::string name;
    bool directory = false;
    int64_t size = 0;
    std::string rawTime;
};

// Called by libcurl for every entry of the listing: note it and skip its
// download. (curl_fileinfo's time is not filled in; its text form is.)
long OnEntry(const void* info, void* data, int) {
    const auto* entry = static_cast<const curl_fileinfo*>(info);
    auto* entries = static_cast<std::vector<ListedEntry>*>(data);
    const std::string name = entry->filename ? entry->filename : "";
    if (!name.empty() && name != "." && name != "..")
        entries->push_back({name, entry->filetype == CURLFILETYPE_DIRECTORY, static_cast<int64_t>(entry->size),
                            entry->strings.time ? entry->strings.time : ""});
    return CURL_CHUNK_BGN_FUNC_SKIP;
}

} // namespace

bool CInternetDownloader::ListFtpDirectory(TreeNodeId node, const std::string& directoryAddress, bool addDirs,
                                           bool addFiles, bool clearList) {
    errorText.clear();
    bool result = true;
    const std::string address = NormalizeFtpUrl(directoryAddress);
    Host().ShowTreeTarget(address);
    if (!ParseUrl(address, true, true, true))
        return false;
    {
        CurlSession session(Host(), CurlSession::Protocol::Ftp);
        session.SetStatus("FTPセッションを開始");
        // libcurl lists the directory and matches the pattern; "*" takes every entry.
        std::string pattern = objectPath;
        if (pattern.empty() || pattern.back() != '/')
            pattern += '/';
        pattern += '*';
        session.SetTarget(TransferUrl(UrlWithPath(sourceUrl, pattern)), serverName, userName, password);
        session.SetLoginStatus("FTP接続を確立");
        std::vector<ListedEntry> entries;
        curl_easy_setopt(session.Easy(), CURLOPT_WILDCARDMATCH, 1L);
        curl_easy_setopt(session.Easy(), CURLOPT_CHUNK_BGN_FUNCTION, &OnEntry);
        curl_easy_setopt(session.Easy(), CURLOPT_CHUNK_DATA, &entries);
        session.SetSink(CurlSession::Sink::Discard);

        std::tm today{};
        const std::time_t now = std::time(nullptr);
        gmtime_r(&now, &today);
        bool connected = false;
        bool stopped = false;
        std::size_t next = 0;
        session.Start();
        for (;;) {
            const auto outcome =
                session.Run([&] { return (!connected && session.Response().loggedIn) || next < entries.size(); });
            if (!connected && session.Response().loggedIn) {
                connected = true;
                if (clearList && ftpList_)
                    ftpList_->DeleteAllRows();
            }
            // One window message per entry, so that Stop ends a long listing.
            while (!stopped && next < entries.size()) {
                Host().PumpOneMessage();
                if (Host().StopRequested()) {
                    stopped = true;
                    break;
                }
                const ListedEntry& listed = entries[next++];
                FtpEntry entry;
                entry.name = listed.name;
                entry.isDirectory = listed.directory;
                entry.sizeText = listed.directory ? std::string() : FormatByteCount(listed.size);
                entry.extension = ListedExtension(listed.name);
                entry.dateText = FtpListDateText(listed.rawTime, today);
                if (addDirs && entry.isDirectory && ftpTree_)
                    ftpTree_->InsertChild(node, entry.name);
                if (addFiles && ftpList_ && PassesListFilter(Host().Settings(), entry.name, entry.sizeText))
                    ftpList_->InsertRow(entry);
            }
            if (stopped || outcome == CurlSession::Outcome::Stopped) {
                stopped = true;
                session.Abort();
                break;
            }
            if (outcome == CurlSession::Outcome::Done && next == entries.size())
                break;
        }
        // An empty directory matches nothing, which libcurl calls "file not found".
        if (!stopped && session.Result() != CURLE_OK && session.Result() != CURLE_REMOTE_FILE_NOT_FOUND) {
            session.Close();
            Fail(session.ErrorText());
            result = false;
        } else {
            session.SetStatus(address + " のダウンロード完了");
        }
        session.Close();
    }
    if (result)
        Host().SetStatus("FTPセッションを終了");
    return result;
}

bool CInternetDownloader::OpenFtpTree() {
    errorText.clear();
    const std::string start = sourceUrl;
    if (ftpTree_)
        ftpTree_->DeleteAllNodes();
    if (ftpList_)
        ftpList_->DeleteAllRows();
    sourceUrl = NormalizeFtpUrl(sourceUrl);
    Host().ShowTreeTarget(sourceUrl);
    // An address that does not crack would leave the walk on the last
    // operation's host and path; say so at once instead.
    if (!ParseUrl(sourceUrl, true, false, true)) {
        sourceUrl = start;
        return false;
    }
    // The walk's addresses keep the start address's user, password and port.
    std::string current = UrlWithPath(sourceUrl, "/");
    bool atRoot = true;
    TreeNodeId node = ftpTree_ ? ftpTree_->InsertRoot(serverName, current) : kNoNode;
    for (;;) {
        if (ftpTree_)
            ftpTree_->SelectSilently(node);
        Host().PumpOneMessage();
        if (Host().StopRequested())
            break;
        if (!atRoot)
            current += serverName + "/";
        atRoot = false;
        std::string rest = TrimBlanks(objectPath);
        if (!rest.empty() && rest.front() == '/')
            rest.erase(0, 1);
        if (rest.empty())
            break;
        if (!ListFtpDirectory(node, current, true, false, true)) {
            sourceUrl = start;
            return false;
        }
        // The first component of the rest is the next directory; split by
        // hand, as a directory name need not be a valid host name.
        const auto slash = rest.find('/');
        serverName = rest.substr(0, slash);
        objectPath = slash == std::string::npos ? std::string() : rest.substr(slash);
        node = ftpTree_ ? ftpTree_->FindChildOfSelected(PercentDecode(serverName)) : kNoNode;
    }
    sourceUrl = start;
    return ListFtpDirectory(node, sourceUrl, true, true, true);
}

} // namespace ordinex
