#include "net/curl_session.h"
#include "net/ftp_list_parser.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/url_cracker.h"
#include "platform/text_helpers.h"

#include <ctime>
#include <vector>

namespace ordinex {

namespace {

// Splits the LIST reply into lines as it arrives and keeps the entries that parse.
class ListingLines {
public:
    explicit ListingLines(std::vector<ListedEntry>& entries) : entries_(entries) {}
    void Take(std::string_view data) {
        pending_.append(data);
        std::size_t start = 0;
        for (std::size_t nl; (nl = pending_.find('\n', start)) != std::string::npos; start = nl + 1)
            Line(std::string_view(pending_).substr(start, nl - start));
        pending_.erase(0, start);
        // A "line" that never ends is no listing line: drop it rather than
        // let a server fill the memory with it.
        if (pending_.size() > kMaxLineBytes) {
            pending_.clear();
            skipping_ = true;
        }
    }
    void Finish() {
        if (!pending_.empty())
            Line(pending_);
        pending_.clear();
    }

private:
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    void Line(std::string_view line) {
        if (skipping_) { // the tail of an overlong line
            skipping_ = false;
            return;
        }
        ListedEntry entry;
        if (ParseFtpListLine(line, entry))
            entries_.push_back(std::move(entry));
    }
    std::vector<ListedEntry>& entries_;
    std::string pending_;
    bool skipping_ = false;
};

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
        CurlSession session(Host(), connections_, CurlSession::Protocol::Ftp);
        session.SetStatus("FTPセッションを開始");
        // An address ending in "/" makes libcurl send LIST; the lines are read
        // here, so that one line the parser does not know costs only that line.
        std::string directory = objectPath;
        if (directory.empty() || directory.back() != '/')
            directory += '/';
        session.SetTarget(TransferUrl(UrlWithPath(sourceUrl, directory)), serverName, userName, password);
        session.SetLoginStatus("FTP接続を確立");
        std::vector<ListedEntry> entries;
        ListingLines lines(entries);
        session.SetSinkFunction([&](std::string_view data) { lines.Take(data); });

        std::tm today{};
        const std::time_t now = std::time(nullptr);
        gmtime_r(&now, &today);
        bool connected = false;
        bool stopped = false;
        std::size_t next = 0;
        session.Start();
        for (;;) {
            const auto outcome =
                session.Run([&] { return (!connected && session.Established()) || next < entries.size(); });
            if (!connected && session.Established()) {
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
            if (outcome == CurlSession::Outcome::Done) {
                lines.Finish();
                if (next == entries.size())
                    break;
            }
        }
        if (!stopped && session.Result() != CURLE_OK) {
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
    // The walk lists directory after directory of one server: on one connection.
    Batch batch(*this);
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
