#include "net/curl_session.h"
#include "net/ftp_list_parser.h"
#include "net/internet_downloader.h"
#include "net/listing_dates.h"
#include "net/url_cracker.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

#include <cctype>
#include <ctime>
#include <string>

namespace ordinex {

namespace {

// The LIST reply as it streams in: the data of the rounds not yet read, cut
// into lines only as the entries are taken, so that memory holds one round
// of data however long the listing runs.
//
// libcurl receives a listing in ASCII mode and turns every line end, and
// so also a CR inside a name, into a line feed. A line that is no entry
// right after an entry is therefore the rest of that entry's name: each
// entry is handed on only once the line after it has been seen.
class ListingStream {
public:
    ListingStream(bool mlsd, std::string charset) : mlsd_(mlsd), charset_(std::move(charset)) {}
    // In libcurl's write callback: nothing but keeping the data.
    void Take(std::string_view data) {
        bytes_ += static_cast<int64_t>(data.size());
        if (data.find('\n') != std::string_view::npos)
            lineWaiting_ = true;
        data_.append(data);
        // Without a line feed since the last line taken, all of it is one
        // line growing past the bound.
        if (!lineWaiting_ && data_.size() - pos_ > kMaxLineBytes) {
            data_.erase(pos_);
            skipping_ = true;
        }
    }
    // The data has ended: a last line without its line feed counts too.
    void Finish() {
        ended_ = true;
        lineWaiting_ = true;
    }
    bool LineWaiting() const { return lineWaiting_; }
    int64_t Bytes() const { return bytes_; }
    // Lines that were neither entries nor the usual filler.
    int64_t Unread() const { return unread_; }

    // The next entry; false when none is complete yet (or any more).
    bool Next(ListedEntry& entry) {
        std::string_view line;
        while (NextLine(line)) {
            ListedEntry parsed;
            if (mlsd_ ? ParseMlsdLine(line, parsed) : ParseFtpListLine(line, parsed)) {
                parsed.name = FromCharset(parsed.name, charset_);
                const bool had = held_;
                if (had)
                    entry = std::move(heldEntry_);
                heldEntry_ = std::move(parsed);
                held_ = true;
                if (had)
                    return true;
            } else if (!mlsd_ && held_ && IsNameRest(line)) {
                heldEntry_.name += '\r';
                heldEntry_.name.append(FromCharset(line, charset_));
            } else if (!IsListingFiller(line)) {
                ++unread_;
            }
        }
        if (ended_ && held_) {
            entry = std::move(heldEntry_);
            held_ = false;
            return true;
        }
        return false;
    }

private:
    // A "line" that never ends is no listing line: it is dropped rather than
    // let a server fill the memory with it.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    // The next complete line without its line feed.
    bool NextLine(std::string_view& line) {
        for (;;) {
            const std::size_t nl = data_.find('\n', pos_);
            if (nl == std::string::npos && !(ended_ && pos_ < data_.size())) {
                Compact();
                return false;
            }
            const std::size_t end = nl == std::string::npos ? data_.size() : nl;
            line = std::string_view(data_).substr(pos_, end - pos_);
            pos_ = nl == std::string::npos ? end : end + 1;
            if (!skipping_)
                return true;
            skipping_ = false; // the tail of an overlong line
        }
    }

    // Text after an entry that continues its name: not empty (a blank line
    // at the end is no part of a name), no "total" line, and nothing that
    // has the shape of an entry of its own (such as "." and "..", which are
    // left out).
    static bool IsNameRest(std::string_view line) {
        if (line.empty() || line == "\r")
            return false;
        if (line.substr(0, 6) == "total " &&
            line.substr(6).find_first_not_of("0123456789\r") == std::string_view::npos)
            return false;
        const std::string_view first = line.substr(0, line.find_first_of(" \t"));
        const bool unixMode = first.size() >= 10 &&
                              std::string_view("-dlcbpsD").find(first[0]) != std::string_view::npos &&
                              first.substr(1, 9).find_first_not_of("rwxsStTl-") == std::string_view::npos;
        const bool dosDate =
            first.size() >= 8 && first.find_first_not_of("0123456789-/") == std::string_view::npos;
        return !unixMode && !dosDate;
    }

    void Compact() {
        lineWaiting_ = false;
        data_.erase(0, pos_);
        pos_ = 0;
        if (data_.size() > kMaxLineBytes) {
            data_.clear();
            skipping_ = true;
        }
    }

    std::string data_;
    std::size_t pos_ = 0;
    int64_t bytes_ = 0;
    bool lineWaiting_ = false;
    bool ended_ = false;
    bool skipping_ = false;
    ListedEntry heldEntry_;
    bool held_ = false;
    bool mlsd_;
    std::string charset_;
    int64_t unread_ = 0;
};

FtpEntry RowOf(const ListedEntry& listed, const std::tm& today) {
    FtpEntry entry;
    entry.name = listed.name;
    entry.isDirectory = listed.directory;
    // An unknown size still marks a file: an empty size is a folder's.
    if (!listed.directory)
        entry.sizeText = listed.size < 0 ? "?" : FormatByteCount(listed.size);
    entry.extension = ListedExtension(listed.name);
    entry.dateText =
        listed.utcTime >= 0 ? FtpExactDateText(listed.utcTime) : FtpListDateText(listed.rawTime, today);
    return entry;
}

// A name as one segment of an address's path: everything but the
// unreserved characters escaped.
std::string EscapePathSegment(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

// A refusal that says the server does not know the command (the goodbye
// after it may have come since: the refusal is kept).
bool UnknownCommandReply(const std::string& refusal) {
    return refusal.rfind("500", 0) == 0 || refusal.rfind("501", 0) == 0 || refusal.rfind("502", 0) == 0 ||
           refusal.rfind("504", 0) == 0;
}

// Links shown as what they point to: at most this many per folder are
// looked up (two commands each); the rest stay links of unknown kind.
constexpr std::size_t kMaxLinksResolved = 200;

} // namespace

bool CInternetDownloader::ListFtpDirectory(TreeNodeId node, const std::string& directoryAddress, bool addDirs,
                                           bool addFiles, bool clearList) {
    errorText.clear();
    const std::string address = NormalizeFtpUrl(directoryAddress);
    Host().ShowTreeTarget(address);
    if (!ParseUrl(address, true, true, true))
        return false;
    // An address ending in "/" makes libcurl send LIST (or the command asked
    // for); the lines are read here, so that one line the parser does not
    // know costs only that line.
    std::string directory = objectPath;
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    FtpListing listing{node, addDirs, addFiles, clearList, UrlWithPath(sourceUrl, directory), address, {}, 0};
    // MLSD gives exact times, sizes and kinds; a server that does not know it
    // is asked LIST, and not asked MLSD again.
    const std::string server = serverName + ":" + std::to_string(port);
    ListOutcome outcome = ListOutcome::Failed;
    {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Ftp);
        session.SetStatus("FTPセッションを開始");
        session.SetTarget(TransferUrlInCharset(listing.url, Host().Settings().FtpNameCharsetSetting),
                          serverName, userName, password);
        session.SetLoginStatus("FTP接続を確立");
        outcome = ListFtpOnce(session, listing, noMlsd_.count(server) == 0);
        if (outcome == ListOutcome::UnknownCommand) {
            noMlsd_.insert(server);
            outcome = ListFtpOnce(session, listing, false);
        }
        session.Close();
    }
    if (outcome != ListOutcome::Listed)
        return false;
    InsertFtpLinks(listing);
    if (listing.unread > 0)
        Host().SetStatus("一覧の " + FormatByteCount(listing.unread) +
                         " 行は形式が分からないため読み飛ばしました");
    Host().SetStatus("FTPセッションを終了");
    return true;
}

CInternetDownloader::ListOutcome CInternetDownloader::ListFtpOnce(CurlSession& session, FtpListing& listing,
                                                                  bool mlsd) {
    curl_easy_setopt(session.Easy(), CURLOPT_CUSTOMREQUEST, mlsd ? "MLSD" : nullptr);
    ListingStream stream(mlsd, Host().Settings().FtpNameCharsetSetting);

    std::tm today{};
    const std::time_t now = std::time(nullptr);
    gmtime_r(&now, &today);
    bool connected = false;
    bool stopped = false;
    // A listing that never ends would fill the memory with rows: past a
    // bound far beyond any real folder it ends as a failure.
    std::string bounded;
    int64_t entries = 0;
    listing.links.clear();
    session.SetSinkFunction([&](std::string_view data) { stream.Take(data); });
    session.Start();
    for (;;) {
        const auto outcome = session.Run([&] {
            return (!connected && session.Established()) || stream.LineWaiting() ||
                   stream.Bytes() > maxListingBytes;
        });
        if (outcome == CurlSession::Outcome::Done)
            stream.Finish();
        if (!connected && session.Established()) {
            connected = true;
            if (listing.clearList && ftpList_)
                ftpList_->DeleteAllRows();
            listing.clearList = false; // once, also when LIST follows a refused MLSD
        }
        // One window message per entry, so that Stop ends a long listing.
        ListedEntry listed;
        while (!stopped && bounded.empty() && stream.Next(listed)) {
            if (++entries > maxListingEntries) {
                bounded = "一覧の項目数が " + FormatByteCount(maxListingEntries) +
                          " を超えたため、一覧の読み込みを中止しました";
                break;
            }
            Host().PumpOneMessage();
            if (Host().StopRequested()) {
                stopped = true;
                break;
            }
            // A link is shown as what it points to, which the listing may not say.
            if (listed.link) {
                listing.links.push_back(std::move(listed));
                continue;
            }
            InsertFtpRow(listing, RowOf(listed, today));
        }
        if (bounded.empty() && stream.Bytes() > maxListingBytes)
            bounded = "一覧の大きさが " + std::to_string(maxListingBytes >> 20) +
                      " MB を超えたため、一覧の読み込みを中止しました";
        if (stopped || outcome == CurlSession::Outcome::Stopped) {
            stopped = true;
            session.Abort();
            break;
        }
        if (!bounded.empty()) {
            session.Abort();
            break;
        }
        if (outcome == CurlSession::Outcome::Done)
            break;
    }
    listing.unread = stream.Unread();
    if (stopped || !bounded.empty()) {
        session.Close();
        // The control connection may be in the middle of a transfer: not one to keep.
        connections_.CloseAll();
        connections_.Flush(Host());
    }
    if (!bounded.empty()) {
        Fail(bounded);
        return ListOutcome::Failed;
    }
    if (!stopped && session.Result() != CURLE_OK) {
        // A server that does not know MLSD says so before any data.
        if (mlsd && stream.Bytes() == 0 && UnknownCommandReply(session.Response().refusal))
            return ListOutcome::UnknownCommand;
        session.Close();
        Fail(session.ErrorText());
        return ListOutcome::Failed;
    }
    // Stopped, the rows listed so far stay, as a listing that ended.
    session.SetStatus(listing.shown + " のダウンロード完了");
    return ListOutcome::Listed;
}

bool CInternetDownloader::CollectFtpDirectory(const std::string& address, std::vector<FtpEntry>& entries) {
    entries.clear();
    collected_ = &entries;
    const bool listed = ListFtpDirectory(kNoNode, address, true, true, false);
    collected_ = nullptr;
    return listed;
}

void CInternetDownloader::InsertFtpRow(const FtpListing& listing, const FtpEntry& entry) {
    if (collected_) {
        collected_->push_back(entry);
        return;
    }
    if (listing.addDirs && entry.isDirectory && ftpTree_)
        ftpTree_->InsertChild(listing.node, entry.name);
    if (listing.addFiles && ftpList_ && PassesListFilter(Host().Settings(), entry.name, entry.sizeText))
        ftpList_->InsertRow(entry);
}

void CInternetDownloader::InsertFtpLinks(FtpListing& listing) {
    if (listing.links.empty())
        return;
    std::tm today{};
    const std::time_t now = std::time(nullptr);
    gmtime_r(&now, &today);
    // The lookups of one folder's links share one connection.
    Batch batch(*this);
    for (std::size_t i = 0; i < listing.links.size(); ++i) {
        ListedEntry& link = listing.links[i];
        Host().PumpOneMessage();
        const bool lookUp = i < kMaxLinksResolved && !Host().StopRequested();
        const FtpLinkTarget target =
            lookUp ? LookUpFtpLink(listing.url + EscapePathSegment(link.name)) : FtpLinkTarget{};
        if (target.kind == FtpLinkTarget::Kind::Folder) {
            link.directory = true;
            link.size = -1;
        } else if (target.kind == FtpLinkTarget::Kind::File) {
            link.directory = false;
            link.size = target.size;
            if (target.utcTime >= 0)
                link.utcTime = target.utcTime;
        } else {
            link.size = -1;
        }
        FtpEntry entry = RowOf(link, today);
        entry.isLink = true;
        entry.linkResolved = target.kind != FtpLinkTarget::Kind::Unknown;
        InsertFtpRow(listing, entry);
    }
}

CInternetDownloader::FtpLinkTarget CInternetDownloader::LookUpFtpLink(const std::string& url) {
    const std::string& charset = Host().Settings().FtpNameCharsetSetting;
    FtpLinkTarget target;
    // A file answers SIZE and MDTM; a folder does not, but can be entered.
    for (const bool asFolder : {false, true}) {
        CurlSession session(Host(), connections_, CurlSession::Protocol::Ftp);
        session.SetTarget(TransferUrlInCharset(asFolder ? url + "/" : url, charset), serverName, userName,
                          password);
        curl_easy_setopt(session.Easy(), CURLOPT_NOBODY, 1L);
        curl_easy_setopt(session.Easy(), CURLOPT_FILETIME, asFolder ? 0L : 1L);
        session.SetSink(CurlSession::Sink::Discard);
        session.Start();
        const auto outcome = session.Run(nullptr);
        if (outcome == CurlSession::Outcome::Stopped)
            return target;
        if (session.Result() != CURLE_OK)
            continue;
        if (asFolder) {
            target.kind = FtpLinkTarget::Kind::Folder;
        } else {
            curl_off_t size = -1, time = -1;
            curl_easy_getinfo(session.Easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
            curl_easy_getinfo(session.Easy(), CURLINFO_FILETIME_T, &time);
            target.kind = FtpLinkTarget::Kind::File;
            target.size = size;
            target.utcTime = time;
        }
        return target;
    }
    return target;
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
