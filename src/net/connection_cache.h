#pragma once
#include <cstdint>
#include <curl/curl.h>
#include <set>
#include <string>
#include <vector>

namespace ordinex {

class IEngineHost;
class CurlSession;
struct ProgramSettings;

// The connections under the engine's sessions. Each operation still opens
// and closes its own session (a libcurl easy handle); what this keeps is the
// transport beneath. Outside a batch, and with KeepConnectionSetting off,
// every session's connection closes when the session ends. Inside a batch
// (a run, an FTP tree walk, a link walk) the sessions share one libcurl multi
// handle, whose connection cache keeps each connection open for the next
// session to the same host and port (and, for FTP, user); the batch's end,
// a stop, an error or other credentials close them.
//
// It also carries the sessions' status reports: libcurl closes a kept
// connection long after the session that opened it is gone, so the closing
// reports are raised here and queued with the others, in order, until a
// session (or the batch's end) sends them on from outside libcurl.
class ConnectionCache {
public:
    ConnectionCache() = default;
    ~ConnectionCache();
    ConnectionCache(const ConnectionCache&) = delete;
    ConnectionCache& operator=(const ConnectionCache&) = delete;

    // Batches nest; only the outermost end closes the kept connections.
    void BeginBatch() { ++depth_; }
    void EndBatch(IEngineHost& host);
    bool InBatch() const { return depth_ > 0; }
    // Whether a session starting now keeps its connections.
    bool Keeping(const ProgramSettings& settings) const;

    // The multi handle shared by the sessions of a batch (made on first use).
    CURLM* KeptMulti();
    // A multi handle for one session that keeps nothing: it holds no
    // connection when given back, so one serves every such session in turn.
    CURLM* TakeSpare();
    void GiveBackSpare(CURLM* multi, bool holdsNothing);

    // A batch's sessions follow one another: each takes an easy handle an
    // earlier one gave back, reset to its defaults, rather than making one
    // (and its receive buffer) per file; a parallel run keeps one per file
    // in flight.
    CURL* TakeEasy();
    void GiveBackEasy(CURL* easy);

    // The secure sessions of every connection the engine made, so that a new
    // connection to a server resumes one (made on first use; lives as long
    // as the engine).
    CURLSH* TlsSessions();

    // Closes every kept connection; the closing reports are queued. While
    // transfers of a parallel run are on the kept multi handle the closing
    // waits until the last of them is off it; false then.
    bool CloseAll();

    // A parallel run: several sessions, each on a fiber of its own, have
    // their transfers on the kept multi handle, and one loop moves them all
    // on (Drive) instead of each session polling for itself.
    void SetDriven(bool driven, int parallel = 1);
    bool Driven() const { return driven_; }
    // Every transfer on a multi handle goes on and off through these.
    CURLMcode AddTransfer(CURLM* multi, CURL* easy);
    void RemoveTransfer(CURLM* multi, CURL* easy);
    // One round of the driven run: libcurl moves every transfer on, and each
    // one that ended is handed to its session. False when libcurl failed.
    bool Drive();
    bool DriveFailed() const { return driveFailed_; }
    // Waits up to ms for something to happen on a transfer, unless one of
    // them paused only for its round budget.
    void WaitForActivity(int ms);
    void NoteBudgetPause() { budgetPaused_ = true; }
    std::size_t RunningTransfers() const { return running_.size(); }
    // Kept connections carry the credentials they were opened with; a
    // session with other ones closes them first.
    void UseCredentials(const std::string& user, const std::string& password);
    std::size_t OpenConnections() const { return connections_.size(); }

    // Status reports: line 1006 (statusLine) or line 1011.
    // owner: the host of the session the report is about (null: any, as the
    // closing of a kept connection is); a flush sends only its own host's.
    void Queue(bool statusLine, std::string text, const IEngineHost* owner = nullptr);
    void QueueSession(int code, const std::string& info = {}, const IEngineHost* owner = nullptr);
    // Sends the queued reports to the host. A report may pause for
    // confirmation and pump messages: never call from inside libcurl.
    void Flush(IEngineHost& host);

    // FTP servers on which no passive data connection could be made
    // ("host:port"): later transfers go active at once. Kept as long as
    // the engine, as a server's firewall does not change between runs.
    bool RefusesPassive(const std::string& server) const { return refusesPassive_.count(server) != 0; }
    void NoteRefusesPassive(const std::string& server) { refusesPassive_.insert(server); }

    // A socket that is a connection to a server (not an FTP data socket):
    // its closing is reported.
    void AddConnection(curl_socket_t socket, bool http) { connections_.push_back({socket, http}); }
    // Some kept HTTP connection has something waiting (data nobody asked
    // for, or the server's close) while no request is out on it. Only
    // between transfers: a running one reads its own answer.
    bool HttpDataWaiting() const;
    // Whether more came behind the answer easy just read on the plain HTTP
    // connection socket (then it cannot be trusted: the server is out of
    // step). An answer far slower than the ones before it there is watched
    // a moment longer first.
    bool LookBehindAnswer(CURL* easy, curl_socket_t socket);
    // In a parallel run libcurl may hand a kept connection to the next
    // transfer before the one that used it last has looked behind its
    // answer. So the check moves to the handover: easy is about to send its
    // request on the HTTP connection from localPort, and whatever waits there
    // now was sent after the previous transfer's answer. True when something
    // waits (the request must not go out); the previous transfer learns it
    // from AnswerWentOnBeforeHandover.
    bool ClaimHttpConnection(CURL* easy, long localPort);
    // Whether easy's last connection was handed on, and then whether its
    // answer had gone on (known once only).
    bool AnswerWentOnBeforeHandover(CURL* easy, bool& wentOn);
    // The close-socket callback of every session's handle.
    static int OnCloseSocket(void* self, curl_socket_t socket);

private:
    struct Report {
        bool statusLine;
        std::string text;
        const IEngineHost* owner;
    };
    bool driven_ = false;
    bool driveFailed_ = false;
    bool budgetPaused_ = false;
    bool closePending_ = false;
    bool driving_ = false;
    bool changed_ = false;       // a transfer went on or off the kept multi handle since the last Drive
    std::vector<CURL*> running_; // the transfers on the kept multi handle
    long maxConnectsExtra_ = 0;
    int depth_ = 0;
    CURLM* kept_ = nullptr;
    CURLM* spare_ = nullptr;
    std::vector<CURL*> spareEasies_;
    CURLSH* tlsSessions_ = nullptr;
    std::string user_, password_;
    bool credentialsSet_ = false;
    struct Connection {
        curl_socket_t socket;
        bool http;
        int64_t fastestAnswerMs = -1; // the shortest wait for an answer on it so far
        long localPort = 0;           // 0: not looked up yet
        CURL* user = nullptr;         // the transfer that sent the last request on it
        bool looked = false;          // and whether what came behind its answer was looked at
    };
    struct Handover {
        CURL* from;
        bool wentOn;
    };
    std::vector<Handover> handovers_;
    std::vector<Connection> connections_;
    std::vector<Report> queue_;
    std::set<std::string> refusesPassive_;
};

} // namespace ordinex
