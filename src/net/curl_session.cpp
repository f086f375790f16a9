#include "net/curl_session.h"

#include "net/session_status.h"
#include "net/transfer_errors.h"
#include "platform/text_encoding.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <string_view>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ordinex {

namespace {

// Short enough that painting and Stop stay prompt while a server is slow.
constexpr int kPollMilliseconds = 15;
// Large reads keep the per-chunk cost (one write, no copies) low at loopback speed.
constexpr long kReceiveBufferBytes = 512 * 1024;
// libcurl reads on while data is there; at loopback speed one round could
// take a tenth of a second. The transfer pauses after this much per round so
// that windows are served and Stop is seen every few milliseconds.
constexpr int64_t kRoundBudgetBytes = 4 * 1024 * 1024;
constexpr long kMaxRedirects = 10;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The multi handle only drives transfers; an HTTP session hands it back for
// the next one, which saves its set-up for every file of a long series. It
// holds no connection then: every HTTP transfer closes its own.
struct SpareMulti {
    CURLM* multi = nullptr;
    ~SpareMulti() {
        if (multi)
            curl_multi_cleanup(multi);
    }
};
SpareMulti spare;

CURLM* TakeMulti() {
    CURLM* multi = spare.multi ? spare.multi : curl_multi_init();
    spare.multi = nullptr;
    return multi;
}

void GiveBackMulti(CURLM* multi, bool reusable) {
    if (reusable && !spare.multi)
        spare.multi = multi;
    else
        curl_multi_cleanup(multi);
}

std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    return text;
}

} // namespace

CurlSession::CurlSession(IEngineHost& host, Protocol protocol)
    : host_(host), protocol_(protocol), watch_(protocol == Protocol::Ftp) {
    GlobalInit();
    multi_ = TakeMulti();
    easy_ = curl_easy_init();
    if (!Valid())
        return;
    CURL* e = easy_;
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // One connection per operation: nothing stays open between operations.
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,ftp");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlSession::OnWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlSession::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &CurlSession::OnOpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &CurlSession::OnCloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &CurlSession::OnPreRequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
    ApplyTimeouts();
    if (protocol_ == Protocol::Http) {
        curl_easy_setopt(e, CURLOPT_USERAGENT, "Ordinex");
        headers_ = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers_);
        // A redirect says where the file really is: saving the redirect's own
        // small body instead and calling that a success would be wrong.
        // Only plain HTTP is followed, as only plain HTTP is accepted.
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    } else {
        // Active mode on the address of the control connection; binary transfers.
        curl_easy_setopt(e, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 0L);
    }
}

CurlSession::~CurlSession() { Close(); }

void CurlSession::ApplyTimeouts() {
    const ProgramSettings& settings = host_.Settings();
    connectSeconds_ = settings.ConnectTimeoutSetting;
    idleSeconds_ = settings.IdleTimeoutSetting;
    // libcurl reads 0 as its own default (minutes); "no limit" is a very long one.
    constexpr long kNoLimitSeconds = 365L * 24 * 3600;
    const long connect = connectSeconds_ > 0 ? connectSeconds_ : kNoLimitSeconds;
    const long idle = idleSeconds_ > 0 ? idleSeconds_ : kNoLimitSeconds;
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, connect);
    // Active FTP waits for the server to connect back for the data.
    curl_easy_setopt(easy_, CURLOPT_ACCEPTTIMEOUT_MS, connect * 1000L);
    // No byte for idle seconds ends the transfer, waiting for an answer included.
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, idleSeconds_ > 0 ? 1L : 0L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, idleSeconds_ > 0 ? idle : 0L);
    // FTP's command replies.
    curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, idle);
}

void CurlSession::SetTarget(const std::string& url, const std::string& hostName, const std::string& user,
                            const std::string& password) {
    hostName_ = hostName;
    if (!Valid())
        return;
    curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
    if (!user.empty()) {
        curl_easy_setopt(easy_, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, password.c_str());
    }
}

void CurlSession::Start() {
    result_ = CURLE_OK;
    errorBuffer_[0] = '\0';
    bodyWaiting_ = false;
    paused_ = false;
    if (!Valid()) {
        result_ = CURLE_OUT_OF_MEMORY;
        return;
    }
    if (reported_.empty())
        Queue(kStatusResolvingName, hostName_);
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
        result_ = CURLE_FAILED_INIT;
        return;
    }
    added_ = true;
}

CurlSession::Outcome CurlSession::Run(const std::function<bool()>& ready, const std::function<void()>& eachRound) {
    while (added_) {
        roundBytes_ = 0;
        if (budgetPaused_) {
            budgetPaused_ = false;
            if (!Resume()) {
                Abort();
                break;
            }
        }
        int running = 0;
        const CURLMcode mc = curl_multi_perform(multi_, &running);
        Flush();
        if (mc != CURLM_OK) {
            result_ = CURLE_FAILED_INIT;
            Abort();
            break;
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_) {
                result_ = msg->data.result;
                curl_off_t connectTime = 0;
                curl_easy_getinfo(easy_, CURLINFO_CONNECT_TIME_T, &connectTime);
                everConnected_ = everConnected_ || connectTime > 0;
                curl_multi_remove_handle(multi_, easy_);
                added_ = false;
            }
        }
        Flush();
        if (!added_)
            break;
        if (ready && ready())
            return Outcome::Ready;
        if (eachRound)
            eachRound();
        host_.PumpOneMessage();
        if (host_.StopRequested())
            return Outcome::Stopped;
        // A transfer paused for its round budget goes on at once.
        if (!budgetPaused_)
            curl_multi_poll(multi_, nullptr, 0, kPollMilliseconds, nullptr);
    }
    return Outcome::Done;
}

CurlSession::Outcome CurlSession::RunUntilHeaders() {
    SetSink(Sink::Hold);
    Start();
    return Run([this] { return watch_.finalHeaders || bodyWaiting_; });
}

void CurlSession::Abort() {
    if (added_) {
        curl_multi_remove_handle(multi_, easy_);
        added_ = false;
    }
    Flush();
}

void CurlSession::Close() {
    if (closed_)
        return;
    closed_ = true;
    Abort();
    // Connections kept between the transfers of an FTP session close here.
    if (multi_)
        GiveBackMulti(multi_, protocol_ == Protocol::Http);
    multi_ = nullptr;
    if (easy_) {
        curl_easy_cleanup(easy_);
        Queue(kStatusHandleClosing);
    }
    easy_ = nullptr;
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    Flush();
}

void CurlSession::SetStatus(const std::string& text) {
    Flush();
    host_.SetStatus(text);
}

void CurlSession::Flush() {
    // A report may pause for confirmation and pump messages; take the queue first.
    std::vector<Report> reports;
    reports.swap(queue_);
    for (const Report& r : reports) {
        if (r.statusLine)
            host_.SetStatus(r.text);
        else
            host_.SetStatus2(r.text);
    }
}

void CurlSession::Queue(int code, const std::string& info) {
    std::string text = SessionStatusText(code, info);
    if (!text.empty())
        queue_.push_back({false, std::move(text)});
}

void CurlSession::SetSink(Sink sink, int fd) {
    sink_ = sink;
    fd_ = fd;
}

bool CurlSession::Resume() {
    if (!paused_)
        return true;
    paused_ = false;
    bodyWaiting_ = false;
    // The held data reaches the write callback inside this call.
    const CURLcode rc = curl_easy_pause(easy_, CURLPAUSE_CONT);
    Flush();
    if (rc != CURLE_OK && result_ == CURLE_OK)
        result_ = rc;
    return rc == CURLE_OK && writeErrno_ == 0;
}

std::string CurlSession::ErrorText() const {
    std::string detail;
    // A refusal by the FTP server says best what went wrong.
    if (protocol_ == Protocol::Ftp && !watch_.refusal.empty())
        detail = watch_.refusal;
    // Active-mode FTP leaves this harmless note in the buffer on every transfer.
    else if (std::string_view(errorBuffer_).substr(0, 19) != "sa_addr inet_ntop()")
        detail = errorBuffer_;
    if (detail.empty())
        detail = curl_easy_strerror(result_);
    if (result_ == CURLE_OPERATION_TIMEDOUT) {
        // Which wait ran out tells the user more than libcurl's wording.
        return !everConnected_ ? "サーバーに接続できないまま " + std::to_string(connectSeconds_) +
                                    " 秒が過ぎたため、接続を打ち切りました"
                              : "サーバーから " + std::to_string(idleSeconds_) +
                                    " 秒間データが届かないため、転送を打ち切りました";
    }
    // libcurl's detail may quote what the server sent.
    return TransferErrorText(result_, ReplaceControlChars(detail));
}

size_t CurlSession::OnWrite(char* data, size_t size, size_t count, void* self) {
    auto* s = static_cast<CurlSession*>(self);
    const size_t length = size * count;
    if (length == 0)
        return 0;
    switch (s->sink_) {
    case Sink::Discard:
        return length;
    case Sink::Function:
        s->take_(std::string_view(data, length));
        return length;
    case Sink::Hold:
        s->bodyWaiting_ = true;
        s->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    case Sink::File:
        if (s->roundBytes_ >= kRoundBudgetBytes) {
            s->budgetPaused_ = true;
            s->paused_ = true;
            return CURL_WRITEFUNC_PAUSE; // libcurl keeps the data for the next round
        }
        break;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(s->fd_, data + done, length - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            s->writeErrno_ = errno;
            return 0; // ends the transfer with a write error
        }
        done += static_cast<size_t>(n);
    }
    s->bytesWritten_ += static_cast<int64_t>(length);
    s->roundBytes_ += static_cast<int64_t>(length);
    return length;
}

size_t CurlSession::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* s = static_cast<CurlSession*>(self);
    const size_t length = size * count;
    s->codes_.clear();
    const bool loggedIn = s->watch_.OnLine(std::string_view(data, length), s->codes_);
    for (int code : s->codes_)
        s->Queue(code, s->address_);
    if (loggedIn && !s->loginStatus_.empty())
        s->queue_.push_back({true, s->loginStatus_});
    return length;
}

curl_socket_t CurlSession::OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address) {
    auto* s = static_cast<CurlSession*>(self);
    const curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket == CURL_SOCKET_BAD)
        return socket;
    // FTP's data connections are part of the one session connection.
    const bool dataConnection = s->protocol_ == Protocol::Ftp && !s->reported_.empty();
    if (purpose == CURLSOCKTYPE_IPCXN && !dataConnection) {
        s->address_ = AddressText(&address->addr);
        s->Queue(kStatusNameResolved, s->address_);
        s->Queue(kStatusConnectingToServer, s->address_);
        s->reported_.push_back(socket);
        s->connectPending_ = true;
    }
    return socket;
}

int CurlSession::OnCloseSocket(void* self, curl_socket_t socket) {
    auto* s = static_cast<CurlSession*>(self);
    const auto it = std::find(s->reported_.begin(), s->reported_.end(), socket);
    const bool reported = it != s->reported_.end();
    if (reported)
        s->Queue(kStatusClosingConnection);
    const int rc = ::close(socket);
    if (reported) {
        s->Queue(kStatusConnectionClosed);
        // Keep one entry so that a later transfer still counts as the same session.
        if (s->reported_.size() > 1)
            s->reported_.erase(it);
        else
            *it = CURL_SOCKET_BAD;
    }
    return rc;
}

int CurlSession::OnPreRequest(void* self, char* primaryIp, char*, int, int) {
    auto* s = static_cast<CurlSession*>(self);
    // FTP reports its exchanges from the server's replies instead.
    if (s->protocol_ == Protocol::Http) {
        if (s->connectPending_) {
            s->connectPending_ = false;
            s->Queue(kStatusConnectedToServer, primaryIp ? primaryIp : s->address_);
        }
        s->Queue(kStatusSendingRequest);
    }
    return CURL_PREREQFUNC_OK;
}

} // namespace ordinex
