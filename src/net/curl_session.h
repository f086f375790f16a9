#pragma once
#include "net/engine_host.h"
#include "net/response_watch.h"

#include <curl/curl.h>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// One operation's session: a libcurl easy handle driven through its own multi
// handle, so that the user interface stays live while connecting, waiting and
// receiving. The session's status reports are raised in libcurl's callbacks
// but only queued there; they reach the host, in order, from the outer loop,
// so that no window code ever runs inside a libcurl call.
class CurlSession {
public:
    enum class Protocol { Http, Ftp };
    enum class Outcome { Done, Ready, Stopped };
    // Where received body data goes: dropped, held back (the transfer waits),
    // written to a file descriptor, or handed to a function (which must not
    // call libcurl or the host).
    enum class Sink { Discard, Hold, File, Function };

    CurlSession(IEngineHost& host, Protocol protocol);
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    bool Valid() const { return easy_ && multi_; }
    CURL* Easy() const { return easy_; }

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
    // Ends everything; reports the handle's closing. Also done by the destructor.
    void Close();

    // Line 1006 of the host, after the session reports queued so far.
    void SetStatus(const std::string& text);
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
    int64_t BytesWritten() const { return bytesWritten_; }
    int WriteErrno() const { return writeErrno_; }
    bool Running() const { return added_; }

    CURLcode Result() const { return result_; }
    // The message for Result(): the program's text and the detail.
    std::string ErrorText() const;
    const ResponseWatch& Response() const { return watch_; }

private:
    struct Report {
        bool statusLine; // line 1006; else line 1011
        std::string text;
    };

    void ApplyTimeouts();
    void Queue(int code, const std::string& info = {});
    static size_t OnWrite(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static curl_socket_t OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int OnCloseSocket(void* self, curl_socket_t socket);
    static int OnPreRequest(void* self, char* primaryIp, char* localIp, int primaryPort, int localPort);

    IEngineHost& host_;
    Protocol protocol_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    curl_slist* headers_ = nullptr;
    bool added_ = false;
    bool closed_ = false;
    CURLcode result_ = CURLE_OK;
    int32_t connectSeconds_ = 0;
    int32_t idleSeconds_ = 0;
    bool everConnected_ = false;
    char errorBuffer_[CURL_ERROR_SIZE] = {};

    std::string hostName_;
    std::string loginStatus_;
    std::vector<Report> queue_;
    std::vector<int> codes_; // scratch for the header callback
    ResponseWatch watch_;

    // Sockets that were reported as connections, and the address of the last.
    std::vector<curl_socket_t> reported_;
    std::string address_;
    bool connectPending_ = false;

    Sink sink_ = Sink::Discard;
    int fd_ = -1;
    std::function<void(std::string_view)> take_;
    bool bodyWaiting_ = false;
    bool paused_ = false;
    bool budgetPaused_ = false;
    int64_t roundBytes_ = 0;
    int64_t bytesWritten_ = 0;
    int writeErrno_ = 0;
};

} // namespace ordinex
