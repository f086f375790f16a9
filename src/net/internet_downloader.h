#pragma once
#include "net/connection_cache.h"
#include "net/engine_host.h"
#include "net/ftp_list_parser.h"
#include "net/listing_panes.h"
#include "net/part_file.h"

#include <optional>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace ordinex {

class CurlSession;
class CDownloadHtml;

// Service types of a cracked URL; FTP and HTTP are transferred, and HTTPS
// when UseHttpsSetting is on.
enum : uint32_t {
    kServiceFtp = 1,
    kServiceGopher = 2,
    kServiceHttp = 3,
    kServiceUnknown = 0x1000,
    kServiceFile = 0x1001,
    kServiceMailto = 0x1002,
    kServiceMid = 0x1003,
    kServiceCid = 0x1004,
    kServiceNews = 0x1005,
    kServiceNntp = 0x1006,
    kServiceProspero = 0x1007,
    kServiceTelnet = 0x1008,
    kServiceWais = 0x1009,
    kServiceAfs = 0x100A,
    kServiceHttps = 0x100B,
};

// Result of an HTTP header probe.
struct HttpProbeResult {
    std::string sizeText;
    std::string contentType;
    std::string dateText;
    std::string errorText; // why the probe failed (the link walk keeps it)
};

// A page as link extraction loads it.
struct FetchedPage {
    std::string body;        // the page's bytes, at most kMaxPageBytes
    std::string location;    // the address after redirects
    std::string contentType; // as received
    bool isMarkup = true;    // HTML (or untyped); other files are not read
    bool truncated = false;  // the page went on past kMaxPageBytes
    bool stopped = false;    // Stop ended the load
};

// What a depth walk of the Link tree did.
struct LinkWalkSummary {
    int pages = 0;  // pages loaded
    int failed = 0; // of which failed
    bool stopped = false;
};

// Pages of the Link window's listings that the user should hear of once
// the listing is over.
struct LinkTroubles {
    int failedPages = 0; // pages of a depth walk that could not be read
    int cutPages = 0;    // pages read only up to kMaxPageBytes
    bool Any() const { return failedPages > 0 || cutPages > 0; }
    // "リンク一覧表示終了: ..." with the counts; empty when there is nothing to say.
    std::string Text() const;
};

// The transfer engine. Every operation opens its own session (a libcurl
// handle) and closes it before it returns; it reports through the host and
// keeps the user interface live while it waits. The connections under the
// sessions close with them, except inside a batch (see BeginBatch).
class CInternetDownloader {
public:
    explicit CInternetDownloader(IEngineHost* host = nullptr);
    // An engine for one file of a parallel run: its own state, the
    // connections of sharing (which must outlive it).
    CInternetDownloader(IEngineHost* host, CInternetDownloader& sharing);
    ~CInternetDownloader();
    CInternetDownloader(const CInternetDownloader&) = delete;
    // More than this much of a page is not read: links are taken from the
    // first 32 MiB (about 100,000 rows of a server's file index).
    static constexpr std::size_t kMaxPageBytes = 32u << 20;
    CInternetDownloader& operator=(const CInternetDownloader&) = delete;
    // An FTP listing ends as a failure past this many entries or bytes: far
    // beyond any real folder, short of what would exhaust the memory.
    static constexpr int64_t kMaxListingEntries = 1'000'000;
    static constexpr int64_t kMaxListingBytes = int64_t{256} << 20;
    int64_t maxListingEntries = kMaxListingEntries;
    int64_t maxListingBytes = kMaxListingBytes;

    void SetHost(IEngineHost* host) { host_ = host; }
    void SetFtpPanes(IFtpTreePane* tree, IFtpListPane* list) {
        ftpTree_ = tree;
        ftpList_ = list;
    }
    void SetLinkPanes(ILinkTreePane* tree, ILinkListPane* list) {
        linkTree_ = tree;
        linkList_ = list;
    }

    // A batch is a series of operations that belong together: a download
    // run, an FTP tree walk, a link walk with its probes. Inside one, with
    // KeepConnectionSetting on, a connection stays open for the next
    // operation to the same server (HTTP: host and port; FTP: host, port and
    // user), so that a run of small files pays one connection, not one per
    // file. EndBatch closes what is still open and reports it. Batches nest:
    // only the outermost end closes. Stop, a failure on a connection and
    // other credentials close the kept connections at once.
    // Within a batch the probes and page loads also remember the servers
    // that could not be reached (see KnownUnreachable).
    void BeginBatch() { connections_.BeginBatch(); }
    void EndBatch() {
        connections_.EndBatch(Host());
        if (!connections_.InBatch())
            unreachable_.clear();
    }
    // BeginBatch now, EndBatch when it ends or goes out of scope.
    class Batch {
    public:
        explicit Batch(CInternetDownloader& engine) : engine_(&engine) { engine.BeginBatch(); }
        ~Batch() { End(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        void End() {
            if (engine_)
                engine_->EndBatch();
            engine_ = nullptr;
        }

    private:
        CInternetDownloader* engine_;
    };
    // Connections kept open now (outside a batch: none).
    std::size_t KeptConnections() const { return connections_.OpenConnections(); }
    ConnectionCache& Connections() { return connections_; }

    // Per-operation inputs and the output.
    std::string sourceUrl;
    std::string destinationPath;
    std::string userName;
    std::string password;
    std::string errorText;

    // How the last DownloadFile ended. A stop is a failure with its own text,
    // so that the run can tell it from a fault and warn about neither.
    enum class FileOutcome { Saved, SkippedEmpty, Failed, Stopped };
    FileOutcome fileOutcome = FileOutcome::Failed;
    // The bytes the last DownloadFile received (beyond those it resumed after).
    int64_t bytesReceived = 0;
    // Line 1006 when what an earlier attempt left cannot be continued.
    static constexpr const char* kStartOverText =
        "途中まで受信したデータは使えないため、最初からダウンロードします";
    // errorText and line 1019 after Stop ended an operation.
    static constexpr const char* kStoppedText = "中止ボタンにより処理を中止しました";

    // Constants given to every operation, and the parts of the last cracked URL.
    uint32_t context = 1;
    uint16_t port = 0;
    uint32_t accessType = 0;
    uint32_t requestFlags = 0x20000000;
    uint32_t serviceType = 0;
    std::string serverName;
    std::string objectPath;

    // URL cracking and normalising.
    bool ParseUrl(const std::string& url, bool store, bool tryFtp, bool report);
    bool IsSupportedServiceType(uint32_t type);
    // UseHttpsSetting is on.
    bool HttpsAllowed() const;
    // HTTP, or HTTPS when it is allowed: fetched by the web operations.
    bool IsWebService(uint32_t type) const;
    // "HTTPS" for a secure address (serviceType), else "HTTP": the step texts name it.
    const char* WebProtocolName() const { return serviceType == kServiceHttps ? "HTTPS" : "HTTP"; }
    static const char* ServiceTypeName(uint32_t type);
    // errorText for an address of a type that is not fetched; for HTTPS it
    // says which setting allows it.
    static std::string UnsupportedServiceText(uint32_t type);
    // Checks an HTTP status code received for a request; sets the texts on failure.
    bool CheckHttpStatus(long statusCode);
    std::string NormalizeFtpUrl(const std::string& url);
    std::string NormalizeHttpUrl(const std::string& url, bool store);
    static std::string StripScheme(const std::string& url);
    static std::string UrlToLocalName(const std::string& url);
    // A page's or file's address without its scheme, as the Link tree and
    // list show it: host (in lower case), ":port" when not the scheme's
    // default, path and query, with the escapes written one way (UTF-8 and
    // unreserved characters as themselves, other escapes in upper case), so
    // that one file linked raw and %-encoded is one row. Empty when the
    // address has no host.
    // A secure address keeps its "https://" in front, so that it is fetched
    // over HTTPS again, or refused while HTTPS is off: never sent in clear.
    static std::string LinkText(const std::string& url);
    // The address a Link tree node or list row opens: the text itself when
    // it has kept its "https://", else "http://" + text.
    static std::string LinkAddress(const std::string& text);

    // Fetches sourceUrl into destinationPath.
    // The run found nothing at destinationPath just before this file
    // started: the file is then not looked for again when it is opened
    // (DownloadFile clears it).
    bool destinationAbsent = false;
    // Likewise: the run made the destination's folder, so no earlier
    // attempt left anything there to resume.
    bool leftoverAbsent = false;
    // The run did not look for the destination's folder: the file before
    // went into it. Should it have been taken away since, it is made again.
    bool folderAssumed = false;
    bool DownloadFile();
    bool DownloadFtpFile();
    bool DownloadHttpFile();

    // Listing and probes.
    bool OpenFtpTree();
    bool ListFtpDirectory(TreeNodeId node, const std::string& address, bool addDirs, bool addFiles,
                          bool clearList);
    // Lists a folder into entries (files and folders, links as what they
    // point to), leaving the panes alone; false on a failure.
    bool CollectFtpDirectory(const std::string& address, std::vector<FtpEntry>& entries);
    bool OpenLinkTree();
    bool QueryHttpInfo(const std::string& address, HttpProbeResult& result);
    // Whether the file at url answers (HTTP headers, or an FTP login and
    // size), without its data; errorText says why not.
    bool ProbeFile(const std::string& url);
    static bool PassesListFilter(const ProgramSettings& settings, const std::string& name,
                                 const std::string& sizeText);
    // Loads one page and offers its links to the Link tree and list (link extraction).
    bool ExtractPageLinks(TreeNodeId node, const std::string& address, bool addToTree, bool addToList,
                          bool clearList);
    // The depth walk after a page has been expanded into start: the pages
    // below it are expanded in turn, as deep as HttpListNextChoseSetting says.
    // A page that fails is reported (ReportPageTrouble) and counted, and the
    // walk goes on.
    LinkWalkSummary WalkLinkTree(TreeNodeId start);
    // Counted by the page loads and walks since the caller last emptied it.
    LinkTroubles linkTroubles;
    // Whether a probe's Content-Type names a page, which the Link tree takes:
    // its media type, parameters and case aside, is text/html (or XHTML).
    static bool IsPageType(const std::string& contentType);
    // Fetches a page over HTTP with redirects followed, for the hidden view;
    // progress gets the bytes received and expected (0 when unknown).
    bool FetchPage(const std::string& address, FetchedPage& page,
                   const std::function<void(int64_t, int64_t)>& progress);
    // The hidden view that loads the pages; created on first use.
    CDownloadHtml& HtmlView();

    // Runs work(worker, i) for every i below count, up to parallel of them at
    // once, each on a fiber with an engine of its own that shares this one's
    // connections and dead servers; returns when all are done. The workers'
    // status lines go to this engine's host as they come. Must be called
    // outside a fiber; with parallel 1 (or a single item) it runs them here,
    // one after the other, on this engine.
    void RunConcurrently(std::size_t count, std::size_t parallel,
                         const std::function<void(CInternetDownloader& worker, std::size_t i)>& work);

private:
    friend class CDownloadHtml;
    struct LinkWalkMemory;
    IEngineHost& Host() const;
    // Sets the session up for the GET request of sourceUrl, with the status
    // lines every HTTP operation shows before it is sent.
    void OpenHttpRequest(CurlSession& session);
    // Line 1006 "ファイルのダウンロード中止", the reason on line 1019 and in errorText.
    void Fail(const std::string& reason);
    // An operation ended by Stop: line 1006, line 1019 and errorText say so.
    void ReportStopped();
    // Creates the temporary file beside destinationPath that the data goes
    // to; -1 after reporting why not (the text names destinationPath).
    int OpenLocalFile();
    // One distinct link of a page: its absolute address and its text.
    struct PageLink {
        std::string url;
        std::string text;
    };
    // Loads a page (or takes it from the walk's memory) and collects its
    // links; inserts the tree's root when node is none and addToTree is set.
    // False on a load failure; stopped tells that Stop ended it.
    bool CollectPageLinks(const std::string& address, TreeNodeId& node, bool addToTree,
                          std::vector<PageLink>& links, bool& stopped);
    // The probe of a link, or the walk's memory of it. stopped when Stop cut it short.
    HttpProbeResult ProbeLink(const PageLink& link, bool& stopped);

    // Receives the rest of the transfer into the temporary file with progress
    // reports and, when everything arrived (expectedSize bytes, unless it is
    // negative), renames it over destinationPath and shows the completion
    // text. Otherwise the final name is left as it was. False on a failure
    // or a stop.
    // resumedFrom: the bytes the temporary file held already (a resumed
    // download), counted in the progress; expectedSize counts this transfer's.
    bool ReceiveIntoFile(CurlSession& session, int fd, const std::string& sizeText, int64_t size,
                         int64_t expectedSize, int64_t resumedFrom);
    // One HTTP request for the file, continuing leftover when there is one;
    // again when the server would not continue it and a request from the
    // start is to follow.
    bool FetchHttpFile(const PartFile::Leftover* leftover, bool& again);
    // The rest of a file after the leftover (a 206 answer), or a whole file.
    bool ReceiveRest(CurlSession& session, const PartFile::Leftover& leftover, int64_t total);
    bool ReceiveWholeHttpFile(CurlSession& session);
    // Keeps what identifies the file beside a fresh temporary file, so that a
    // later attempt can continue it (with ResumeSetting on).
    // It is written once a transfer outlasts its first round or ends short
    // of the whole file: a file that arrives in one piece never needs one.
    void KeepResumeRecord(const ResumeRecord& record);
    void WritePendingRecord();
    // The FTP branch: a lookup of the file's size first (its own transfer),
    // then the retrieval; or the retrieval alone, with the local file opened
    // only once data shows, and the size from the SIZE reply (sizeFromReply)
    // or knownSize (-1: unknown).
    bool LookUpAndRetrieveFtpFile(CurlSession& session, bool namesFile, const PartFile::Leftover* leftover);
    bool RetrieveFtpFile(CurlSession& session, bool sizeFromReply, int64_t knownSize);
    // Where the data of the current download goes until it is complete.
    PartFile part_;
    std::optional<ResumeRecord> pendingRecord_;

    // A walk or a listing meets the same dead server in link after link:
    // within a batch, a probe or page load to a server that could not be
    // reached (name not resolved, connection refused or timed out) fails
    // at once with the message the first attempt gave, instead of costing
    // the connect timeout again. key: HostKey of the address.
    static std::string HostKey(uint32_t serviceType, const std::string& host, uint16_t port);
    // True after failing with the remembered message.
    bool KnownUnreachable(const std::string& key);
    // Whether the session failed because no connection could be made to the
    // server it was given (not to one a redirect named); before it is closed.
    static bool NeverReached(CurlSession& session);
    // Remembers the server as unreachable, with errorText, inside a batch.
    void RememberUnreachable(const std::string& key);
    // The phase every HTTP operation begins with: the request set up on the
    // session goes out and the answer's headers (or its first body bytes)
    // are awaited. A failure is reported (line 1006, line 1019, errorText)
    // and a server that was never reached remembered under hostKey; a stop
    // is left to the caller, which reports it as its operation does.
    enum class HeaderWait { Arrived, Stopped, Failed };
    HeaderWait AwaitHeaders(CurlSession& session, const std::string& hostKey);
    std::unordered_map<std::string, std::string> ownUnreachable_;
    std::unordered_map<std::string, std::string>& unreachable_;
    // FTP servers ("host:port") that do not know MLSD: they are asked LIST.
    std::set<std::string> noMlsd_;
    // One folder's listing as it goes into the tree and the list.
    struct FtpListing {
        TreeNodeId node;
        bool addDirs, addFiles, clearList;
        std::string url;                // the folder's address, ending in "/"
        std::string shown;              // the address as the status lines name it
        std::vector<ListedEntry> links; // held back until what they point to is known
        int64_t unread = 0;             // lines that were no entries
    };
    enum class ListOutcome { Listed, Failed, UnknownCommand };
    // One LIST (or MLSD) of the folder on the session; its rows go in as
    // they come, links are held back. A stop ends it as Listed.
    ListOutcome ListFtpOnce(CurlSession& session, FtpListing& listing, bool mlsd);
    void InsertFtpRow(const FtpListing& listing, const FtpEntry& entry);
    // Where CollectFtpDirectory takes the rows while it lists.
    std::vector<FtpEntry>* collected_ = nullptr;
    // The held-back links, each looked up and shown as what it points to.
    void InsertFtpLinks(FtpListing& listing);
    struct FtpLinkTarget {
        enum class Kind { Unknown, File, Folder };
        Kind kind = Kind::Unknown;
        int64_t size = -1;
        int64_t utcTime = -1;
    };
    FtpLinkTarget LookUpFtpLink(const std::string& url);

    IEngineHost* host_ = nullptr;
    ConnectionCache ownConnections_;
    ConnectionCache& connections_;
    IFtpTreePane* ftpTree_ = nullptr;
    IFtpListPane* ftpList_ = nullptr;
    ILinkTreePane* linkTree_ = nullptr;
    ILinkListPane* linkList_ = nullptr;
    // The view belongs to the link walk, which is built on the engine: it is
    // made and destroyed there.
    struct HtmlViewDeleter {
        void operator()(CDownloadHtml* view) const;
    };
    std::unique_ptr<CDownloadHtml, HtmlViewDeleter> htmlView_;
    // What a depth walk has learnt so far: probe answers and pages' links.
    LinkWalkMemory* walkMemory_ = nullptr;
    // The answers of a page's probes that went out together, by link text.
    std::unordered_map<std::string, HttpProbeResult> prefetched_;
    // RunConcurrently's workers, kept for the next page of a walk.
    struct ConcurrentWorkers;
    std::unique_ptr<ConcurrentWorkers> concurrent_;
};

} // namespace ordinex
