#pragma once
#include "net/connection_cache.h"
#include "net/engine_host.h"
#include "net/response_watch.h"

#include <chrono>
#include <cstdint>
#include <curl/curl.h>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// One operation's session: a libcurl easy handle driven through a multi
// handle, so that the user interface stays live while connecting, waiting and
// receiving. The session's status reports are raised in libcurl's callbacks
// but only queued there; they reach the host, in order, from the outer loop,
// so that no window code ever runs inside a libcurl call. The connection
// under the session comes from the cache, and may stay there for the next
// session when the cache keeps connections.
class CurlSession {
public:
    enum class Protocol { Http, Ftp };
    enum class Outcome { Done, Ready, Stopped };
    // Where received body data goes: dropped, held back (in memory up to
    // kHoldBytes on a kept connection, so that a small file's transfer can
    // end at once; beyond that, and without keeping, the transfer waits),
    // written to a file descriptor, or handed to a function (which must not
    // call libcurl or the host).
    enum class Sink { Discard, Hold, File, Function };

    CurlSession(IEngineHost& host, ConnectionCache& cache, Protocol protocol);
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    bool Valid() const { return easy_ && multi_; }
    CURL* Easy() const { return easy_; }
    // Whether the connection stays open for the next session.
    bool Keeping() const { return keeping_; }

    // The address to fetch, the host name it names (for the first report),
    // and the credentials; an empty user name leaves the address's own (or
    // anonymous FTP).
    void SetTarget(const std::string& url, const std::string& hostName, const std::string& user,
                   const std::string& password);

    // Starts the transfer set up on the easy handle. A session may run
    // several transfers one after the other; FTP keeps its login between them.
    void Start();
    // Runs the transfer until it ends, until ready() holds, or until Stop is
    // asked for. Each round sends the queued reports, calls eachRound, and
    // dispatches one pending window message.
    Outcome Run(const std::function<bool()>& ready, const std::function<void()>& eachRound = {});
    // Starts the transfer with the body held back and runs it until the final
    // headers, or the first body byte, have arrived.
    Outcome RunUntilHeaders();
    // Ends a running transfer at once, closing its connection.
    void Abort();
    // Lets the rest of a response whose body is not wanted run out, so that
    // a kept connection can carry the next request: a body of up to limit
    // bytes is read and dropped; a longer one, or a Stop, ends the transfer
    // and its connection. Without keeping, the transfer simply ends.
    void FinishResponse(int64_t limit = kDrainLimit);
    static constexpr int64_t kDrainLimit = 64 * 1024;
    // Ends everything; reports the handle's closing. Also done by the
    // destructor. After a failure or a stop no connection is kept.
    void Close();
    // The connection is up (a kept one taken over, or a new one logged in
    // for FTP): the request of the current transfer goes out next.
    bool Established() const { return established_; }

    // Line 1006 of the host, after the session reports queued so far.
    void SetStatus(const std::string& text);
    // FTP: asks for the size of the named file (in the file's directory)
    // just before the transfer, without failing it when the server cannot
    // tell; the answer shows in Response().sizeReply. A name that could
    // carry a second command is not sent.
    void AskFtpSize(const std::string& name);
    // Asks for the file from byte `from` on: HTTP with a range that the
    // server honours only while ifRange (an entity tag or a date) still
    // names its file; FTP with REST. Before Start.
    void ResumeFrom(int64_t from, const std::string& ifRange = {});
    // A line-1006 text to show when the FTP login completes, in order with the reports.
    void SetLoginStatus(const std::string& text) { loginStatus_ = text; }
    // Sends the queued reports to the host.
    void Flush();

    void SetSink(Sink sink, int fd = -1);
    void SetSinkFunction(std::function<void(std::string_view)> take) {
        sink_ = Sink::Function;
        take_ = std::move(take);
    }
    // Lets held data go on to the sink. False when writing it failed.
    bool Resume();
    bool BodyWaiting() const { return bodyWaiting_; }
    static constexpr std::size_t kHoldBytes = 64 * 1024;
    int64_t BytesWritten() const { return bytesWritten_; }
    int WriteErrno() const { return writeErrno_; }
    bool Running() const { return added_; }

    // The transfer on the multi handle ended with result: it comes off the
    // handle. Called from the outer loop, never inside libcurl.
    void TransferEnded(CURLcode result);

    CURLcode Result() const { return result_; }
    // The message for Result(): the program's text and the detail.
    std::string ErrorText() const;
    const ResponseWatch& Response() const { return watch_; }

private:
    void ApplyTimeouts();
    // Nothing has come from the server for IdleTimeoutSetting seconds.
    bool IdleTooLong() const;
    // Which server a failed secure connection was with, and why, while the handle still knows.
    void NoteTlsFailure();
    void Queue(int code, const std::string& info = {});
    // Sends the transfer once more, on a new connection, when a kept one had
    // gone stale under it; true when it went out again.
    bool RetryOnNewConnection();
    // FTP: sends the transfer once more over an active data connection when
    // the passive one could not be made; the server is remembered.
    bool RetryActive();
    void SetDataConnectionMode();
    static size_t OnWrite(char* data, size_t size, size_t count, void* self);
    // Hands body data to the sink (not Hold); the length taken, or 0 after a write error.
    size_t Take(const char* data, size_t length);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    // A redirect from HTTPS to plain HTTP: nothing that began secure goes on
    // in clear. Notes both addresses for the message.
    bool DowngradingRedirect();
    // The server sent more after the answer that has just ended: its answers
    // are out of step with the requests, and this one cannot be trusted.
    bool AnswerWentOn();
    static curl_socket_t OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int OnResolverStart(void* resolverState, void* reserved, void* self);
    static int OnPreRequest(void* self, char* primaryIp, char* localIp, int primaryPort, int localPort);

    IEngineHost& host_;
    ConnectionCache& cache_;
    Protocol protocol_;
    bool keeping_ = false;
    // On a fiber of a parallel run: the run's loop drives the kept multi
    // handle, which every session shares, keeping or not.
    bool driven_ = false;
    bool sharedMulti_ = false;
    bool ended_ = false;
    CURLM* multi_ = nullptr; // the cache's kept one, or a spare of this session's own
    CURL* easy_ = nullptr;
    curl_slist* headers_ = nullptr;
    curl_slist* prequote_ = nullptr;
    bool added_ = false;
    bool closed_ = false;
    bool stopped_ = false;
    bool retried_ = false;
    CURLcode result_ = CURLE_OK;
    int32_t connectSeconds_ = 0;
    int32_t idleSeconds_ = 0;
    bool everConnected_ = false;
    std::chrono::steady_clock::time_point lastActivity_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
    std::string tlsHost_;
    std::string downgradeFrom_, downgradeTo_;
    bool strayAnswer_ = false;
    bool secure_ = false;        // the target is https://
    bool dirtyHandover_ = false; // a kept connection came with unasked data: retried on a new one
    bool passive_ = false;
    std::string serverKey_; // FTP: "host:port"
    long tlsVerifyResult_ = 0;

    std::string hostName_;
    std::string loginStatus_;
    bool loginShown_ = false;
    std::vector<int> codes_; // scratch for the header callback
    ResponseWatch watch_;

    // A connection to the server was opened in this session; the address of the last.
    bool opened_ = false;
    std::string address_;
    bool resolvingShown_ = false;
    bool connectPending_ = false;
    bool established_ = false;
    int64_t bodyBytes_ = 0; // of the current transfer, whatever the sink

    Sink sink_ = Sink::Discard;
    int fd_ = -1;
    std::function<void(std::string_view)> take_;
    bool bodyWaiting_ = false;
    std::string held_;
    bool paused_ = false;
    bool budgetPaused_ = false;
    int64_t roundBytes_ = 0;
    int64_t bytesWritten_ = 0;
    int writeErrno_ = 0;
};

} // namespace ordinex
