#include "net/curl_session.h"

#include "net/session_status.h"
#include "net/transfer_errors.h"
#include "net/url_cracker.h"
#include "platform/fiber.h"
#include "platform/text_encoding.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string_view>
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
// Names a certificate authority file that replaces the system's trust store.
// For the tests, which trust an authority of their own; not a user setting.
constexpr const char* kTestCaInfoVariable = "ORDINEX_TEST_CAINFO";

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Failures that a kept connection shows when the server closed it while it
// was idle: the request went out on it, and nothing came back.
bool StaleConnectionResult(CURLcode result) {
    switch (result) {
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

// The server refused this one file; the connection itself is fine.
bool FileRefusal(CURLcode result) {
    return result == CURLE_REMOTE_FILE_NOT_FOUND || result == CURLE_FTP_COULDNT_RETR_FILE;
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

CurlSession::CurlSession(IEngineHost& host, ConnectionCache& cache, Protocol protocol)
    : host_(host), cache_(cache), protocol_(protocol), keeping_(cache.Keeping(host.Settings())),
      watch_(protocol == Protocol::Ftp) {
    GlobalInit();
    driven_ = cache_.Driven() && Fiber::Current() != nullptr;
    sharedMulti_ = keeping_ || driven_;
    multi_ = sharedMulti_ ? cache_.KeptMulti() : cache_.TakeSpare();
    easy_ = keeping_ ? cache_.TakeEasy() : curl_easy_init();
    if (!Valid())
        return;
    CURL* e = easy_;
    // The run's loop hands an ended transfer to its session.
    curl_easy_setopt(e, CURLOPT_PRIVATE, this);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // Without keeping, one connection per operation: nothing stays open between operations.
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, keeping_ ? 0L : 1L);
    const bool https = host.Settings().UseHttpsSetting != 0;
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, https ? "http,https,ftp" : "http,ftp");
    if (https) {
        // The server proves who it is, or nothing is fetched: no fallback to
        // an unchecked or a plain connection.
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
        const char* caInfo = std::getenv(kTestCaInfoVariable);
        if (caInfo && *caInfo)
            curl_easy_setopt(e, CURLOPT_CAINFO, caInfo);
        // A later connection to the same server resumes the secure session
        // instead of a full handshake.
        curl_easy_setopt(e, CURLOPT_SHARE, cache_.TlsSessions());
    }
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlSession::OnWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlSession::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &CurlSession::OnOpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, this);
    // libcurl closes a kept connection with the callback of the session
    // that opened it, long after that session is gone: the cache outlives both.
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &ConnectionCache::OnCloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, &cache_);
    if (keeping_) {
        // Only a connection that is really made is looked up first.
        curl_easy_setopt(e, CURLOPT_RESOLVER_START_FUNCTION, &CurlSession::OnResolverStart);
        curl_easy_setopt(e, CURLOPT_RESOLVER_START_DATA, this);
    }
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &CurlSession::OnPreRequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
    ApplyTimeouts();
    if (protocol_ == Protocol::Http) {
        curl_easy_setopt(e, CURLOPT_USERAGENT, "Ordinex");
        headers_ = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers_);
        // A redirect says where the file really is: saving the redirect's own
        // small body instead and calling that a success would be wrong.
        // Only the schemes that are accepted are followed.
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, https ? "http,https" : "http");
    } else {
        // Binary transfers; passive or active data connections as SetTarget decides.
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 0L);
    }
}

CurlSession::~CurlSession() {
    Close();
}

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
    secure_ = url.compare(0, 8, "https://") == 0;
    if (protocol_ == Protocol::Ftp) {
        // Passive first (EPSV, then PASV: what works behind today's routers
        // and firewalls), unless the setting or this server says active.
        CrackedUrl parts;
        CrackUrl(url, parts);
        serverKey_ = parts.host + ":" + std::to_string(parts.port);
        passive_ = host_.Settings().FtpPassiveSetting != 0 && !cache_.RefusesPassive(serverKey_);
        SetDataConnectionMode();
    }
    if (!user.empty()) {
        curl_easy_setopt(easy_, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, password.c_str());
    }
    // A kept connection is never handed on to other credentials.
    if (keeping_)
        cache_.UseCredentials(user, password);
}

void CurlSession::AskFtpSize(const std::string& name) {
    if (!Valid() || name.empty() ||
        std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return;
    // "*": a refusal of this command does not fail the transfer.
    curl_slist_free_all(prequote_);
    prequote_ = curl_slist_append(nullptr, ("*SIZE " + name).c_str());
    curl_easy_setopt(easy_, CURLOPT_PREQUOTE, prequote_);
}

void CurlSession::ResumeFrom(int64_t from, const std::string& ifRange) {
    if (!Valid() || from <= 0)
        return;
    if (protocol_ == Protocol::Ftp) {
        curl_easy_setopt(easy_, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(from));
        return;
    }
    const std::string range = std::to_string(from) + "-";
    curl_easy_setopt(easy_, CURLOPT_RANGE, range.c_str());
    if (!ifRange.empty()) {
        headers_ = curl_slist_append(headers_, ("If-Range: " + ifRange).c_str());
        curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
    }
}

void CurlSession::Start() {
    result_ = CURLE_OK;
    errorBuffer_[0] = '\0';
    bodyWaiting_ = false;
    held_.clear();
    paused_ = false;
    established_ = false;
    resolvingShown_ = false;
    retried_ = false;
    bodyBytes_ = 0;
    downgradeFrom_.clear();
    downgradeTo_.clear();
    strayAnswer_ = false;
    dirtyHandover_ = false;
    lastActivity_ = std::chrono::steady_clock::now();
    watch_.sizeReply = -1;
    // A kept connection with anything waiting before the request goes out is
    // out of step with its server: what waits would be read as the answer.
    // (Driven, the connection is looked at when it is handed to the request.)
    curl_easy_setopt(easy_, CURLOPT_FRESH_CONNECT, 0L);
    if (keeping_ && !driven_ && protocol_ == Protocol::Http && cache_.HttpDataWaiting() && !cache_.CloseAll())
        curl_easy_setopt(easy_, CURLOPT_FRESH_CONNECT, 1L); // others still use them: not this one
    if (sharedMulti_)
        multi_ = cache_.KeptMulti(); // a new one after the kept connections were closed
    if (!Valid()) {
        result_ = CURLE_OUT_OF_MEMORY;
        return;
    }
    // Without keeping, the session's first transfer always makes its connection.
    if (!keeping_ && !opened_)
        Queue(kStatusResolvingName, hostName_);
    if (cache_.AddTransfer(multi_, easy_) != CURLM_OK) {
        result_ = CURLE_FAILED_INIT;
        return;
    }
    added_ = true;
}

void CurlSession::TransferEnded(CURLcode result) {
    result_ = result;
    curl_off_t connectTime = 0;
    curl_easy_getinfo(easy_, CURLINFO_CONNECT_TIME_T, &connectTime);
    everConnected_ = everConnected_ || connectTime > 0;
    if (IsTlsFailure(result_))
        NoteTlsFailure();
    if (result_ == CURLE_OK && keeping_ && protocol_ == Protocol::Http && AnswerWentOn()) {
        strayAnswer_ = true;
        result_ = CURLE_WEIRD_SERVER_REPLY;
    }
    cache_.RemoveTransfer(multi_, easy_);
    added_ = false;
    ended_ = true;
}

CurlSession::Outcome CurlSession::Run(const std::function<bool()>& ready,
                                      const std::function<void()>& eachRound) {
    while (added_) {
        roundBytes_ = 0;
        if (budgetPaused_) {
            budgetPaused_ = false;
            if (!Resume()) {
                Abort();
                break;
            }
        }
        ended_ = false;
        if (driven_) {
            // The run's loop moves every transfer on, this one included.
            Fiber::Yield();
            if (cache_.DriveFailed() && added_) {
                Abort();
                result_ = CURLE_FAILED_INIT;
                break;
            }
        } else {
            int running = 0;
            const CURLMcode mc = curl_multi_perform(multi_, &running);
            Flush();
            if (mc != CURLM_OK) {
                result_ = CURLE_FAILED_INIT;
                Abort();
                break;
            }
            int left = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi_, &left))
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_)
                    TransferEnded(msg->data.result);
        }
        const bool ended = ended_;
        Flush();
        if (ended && result_ != CURLE_OK && (RetryActive() || RetryOnNewConnection()))
            continue;
        if (!added_)
            break;
        if (IdleTooLong()) {
            // libcurl's own low-speed check averages over seconds and ends
            // an idle transfer several seconds late; the setting is a promise.
            Abort();
            result_ = CURLE_OPERATION_TIMEDOUT;
            everConnected_ = true;
            Flush();
            break;
        }
        if (ready && ready())
            return Outcome::Ready;
        if (eachRound)
            eachRound();
        host_.PumpOneMessage();
        if (host_.StopRequested()) {
            stopped_ = true;
            return Outcome::Stopped;
        }
        // A transfer paused for its round budget goes on at once.
        if (budgetPaused_)
            cache_.NoteBudgetPause();
        else if (!driven_)
            curl_multi_poll(multi_, nullptr, 0, kPollMilliseconds, nullptr);
    }
    return Outcome::Done;
}

void CurlSession::SetDataConnectionMode() {
    // Active mode connects back to the address of the control connection.
    curl_easy_setopt(easy_, CURLOPT_FTPPORT, passive_ ? nullptr : "-");
    curl_easy_setopt(easy_, CURLOPT_FTP_USE_EPSV, 1L);
}

bool CurlSession::RetryActive() {
    // Only a transfer that failed before any data, for want of a passive
    // data connection: the server refused EPSV and PASV, or its data port
    // could not be reached.
    const bool passiveFailed = result_ == CURLE_FTP_WEIRD_PASV_REPLY ||
                               result_ == CURLE_FTP_WEIRD_227_FORMAT || result_ == CURLE_FTP_CANT_GET_HOST ||
                               (established_ && (result_ == CURLE_COULDNT_CONNECT));
    if (protocol_ != Protocol::Ftp || !passive_ || !passiveFailed || bodyBytes_ > 0 || writeErrno_ != 0)
        return false;
    passive_ = false;
    cache_.NoteRefusesPassive(serverKey_);
    SetDataConnectionMode();
    Flush();
    watch_ = ResponseWatch(true);
    result_ = CURLE_OK;
    errorBuffer_[0] = '\0';
    established_ = false;
    resolvingShown_ = false;
    if (sharedMulti_)
        multi_ = cache_.KeptMulti();
    if (!multi_ || cache_.AddTransfer(multi_, easy_) != CURLM_OK) {
        result_ = CURLE_FAILED_INIT;
        return false;
    }
    added_ = true;
    return true;
}

bool CurlSession::RetryOnNewConnection() {
    if (!keeping_ || retried_ || strayAnswer_ || bodyBytes_ > 0 || bodyWaiting_ || writeErrno_ != 0)
        return false;
    // Only a failure on a connection that was kept, not one made for this transfer.
    long connects = -1;
    curl_easy_getinfo(easy_, CURLINFO_NUM_CONNECTS, &connects);
    if (connects != 0)
        return false;
    const bool closedByServer = protocol_ == Protocol::Ftp && watch_.lastReplyCode == 421;
    if (!StaleConnectionResult(result_) && !closedByServer && !dirtyHandover_)
        return false;
    // An HTTP answer that arrived whole was no stale connection's doing.
    if (protocol_ == Protocol::Http && watch_.finalHeaders)
        return false;
    retried_ = true;
    dirtyHandover_ = false;
    // While other transfers use the kept connections, this one alone takes a new one.
    if (!cache_.CloseAll())
        curl_easy_setopt(easy_, CURLOPT_FRESH_CONNECT, 1L);
    multi_ = cache_.KeptMulti();
    Flush();
    watch_ = ResponseWatch(protocol_ == Protocol::Ftp);
    result_ = CURLE_OK;
    errorBuffer_[0] = '\0';
    established_ = false;
    resolvingShown_ = false;
    if (!multi_ || cache_.AddTransfer(multi_, easy_) != CURLM_OK) {
        result_ = CURLE_FAILED_INIT;
        return false;
    }
    added_ = true;
    return true;
}

void CurlSession::NoteTlsFailure() {
    // After redirects the server that failed may not be the one first named.
    char* effective = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &effective);
    CrackedUrl parts;
    tlsHost_ = effective && CrackUrl(effective, parts) && !parts.host.empty() ? parts.host : hostName_;
    tlsVerifyResult_ = 0;
    curl_easy_getinfo(easy_, CURLINFO_SSL_VERIFYRESULT, &tlsVerifyResult_);
}

CurlSession::Outcome CurlSession::RunUntilHeaders() {
    SetSink(Sink::Hold);
    Start();
    return Run([this] { return watch_.finalHeaders || bodyWaiting_; });
}

void CurlSession::Abort() {
    if (added_) {
        cache_.RemoveTransfer(multi_, easy_);
        added_ = false;
    }
    Flush();
}

void CurlSession::FinishResponse(int64_t limit) {
    if (!added_)
        return;
    const bool announcedLong = protocol_ == Protocol::Http && !watch_.contentLength.empty() &&
                               LeadingDecimal(watch_.contentLength) > limit;
    if (!keeping_ || announcedLong) {
        Abort();
        return;
    }
    SetSink(Sink::Discard);
    const int64_t before = bodyBytes_;
    if (!Resume() || Run([&] { return bodyBytes_ - before > limit; }) != Outcome::Done)
        Abort();
}

void CurlSession::Close() {
    if (closed_)
        return;
    closed_ = true;
    Abort();
    if (keeping_) {
        // After a stop or a fault nothing is kept; a file the server refused
        // leaves its connection as good as it was.
        if (stopped_ || (result_ != CURLE_OK && !FileRefusal(result_)))
            cache_.CloseAll();
    } else if (!sharedMulti_) {
        // An FTP session's connection is still open here: giving the handle up closes it.
        cache_.GiveBackSpare(multi_, protocol_ == Protocol::Http);
    }
    multi_ = nullptr;
    if (easy_) {
        if (keeping_)
            cache_.GiveBackEasy(easy_);
        else
            curl_easy_cleanup(easy_);
        Queue(kStatusHandleClosing);
    }
    easy_ = nullptr;
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    curl_slist_free_all(prequote_);
    prequote_ = nullptr;
    Flush();
}

void CurlSession::SetStatus(const std::string& text) {
    Flush();
    host_.SetStatus(text);
}

void CurlSession::Flush() {
    cache_.Flush(host_);
}

void CurlSession::Queue(int code, const std::string& info) {
    cache_.QueueSession(code, info, &host_);
}

void CurlSession::SetSink(Sink sink, int fd) {
    sink_ = sink;
    fd_ = fd;
}

bool CurlSession::Resume() {
    if (!held_.empty() && sink_ != Sink::Hold) {
        bodyWaiting_ = false;
        const bool taken = Take(held_.data(), held_.size()) == held_.size();
        held_.clear();
        if (!taken)
            return false;
    }
    if (!paused_)
        return true;
    paused_ = false;
    // The time held back was ours, not the server's.
    lastActivity_ = std::chrono::steady_clock::now();
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
    if (strayAnswer_)
        return "サーバーが応答の後に要求していないデータを続けて送ってきたため、この応答は信用できません";
    if (!downgradeTo_.empty())
        return ReplaceControlChars(downgradeFrom_) + " から暗号化されないHTTPの " +
               ReplaceControlChars(downgradeTo_) + " へのリダイレクトには従いません";
    if (result_ == CURLE_OPERATION_TIMEDOUT) {
        // Which wait ran out tells the user more than libcurl's wording.
        return !everConnected_ ? "サーバーに接続できないまま " + std::to_string(connectSeconds_) +
                                     " 秒が過ぎたため、接続を打ち切りました"
                               : "サーバーから " + std::to_string(idleSeconds_) +
                                     " 秒間データが届かないため、転送を打ち切りました";
    }
    // libcurl's detail may quote what the server sent.
    if (IsTlsFailure(result_))
        return TlsErrorText(result_, ReplaceControlChars(tlsHost_), tlsVerifyResult_,
                            ReplaceControlChars(detail));
    return TransferErrorText(result_, ReplaceControlChars(detail));
}

bool CurlSession::IdleTooLong() const {
    // Only once the connection is up: until then the connect timeout rules.
    if (idleSeconds_ <= 0 || !established_ || paused_)
        return false;
    return std::chrono::steady_clock::now() - lastActivity_ >= std::chrono::seconds(idleSeconds_);
}

size_t CurlSession::OnWrite(char* data, size_t size, size_t count, void* self) {
    auto* s = static_cast<CurlSession*>(self);
    const size_t length = size * count;
    s->lastActivity_ = std::chrono::steady_clock::now();
    if (length == 0)
        return 0;
    if (s->sink_ == Sink::Hold) {
        s->bodyWaiting_ = true;
        // A whole small body taken now lets the transfer, and its connection, be done with.
        if (s->keeping_ && !s->paused_ && s->held_.size() + length <= kHoldBytes) {
            // Room for all of it at once: a body in pieces is not copied again as it grows.
            if (s->held_.empty())
                s->held_.reserve(kHoldBytes);
            s->held_.append(data, length);
            return length;
        }
        s->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if ((s->sink_ == Sink::File || s->sink_ == Sink::Function) && s->roundBytes_ >= kRoundBudgetBytes) {
        s->budgetPaused_ = true;
        s->paused_ = true;
        return CURL_WRITEFUNC_PAUSE; // libcurl keeps the data for the next round
    }
    return s->Take(data, length);
}

size_t CurlSession::Take(const char* data, size_t length) {
    bodyBytes_ += static_cast<int64_t>(length);
    switch (sink_) {
    case Sink::Discard:
    case Sink::Hold:
        return length;
    case Sink::Function:
        take_(std::string_view(data, length));
        roundBytes_ += static_cast<int64_t>(length);
        return length;
    case Sink::File:
        break;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd_, data + done, length - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            writeErrno_ = errno;
            return 0; // ends the transfer with a write error
        }
        done += static_cast<size_t>(n);
    }
    bytesWritten_ += static_cast<int64_t>(length);
    roundBytes_ += static_cast<int64_t>(length);
    return length;
}

size_t CurlSession::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* s = static_cast<CurlSession*>(self);
    const size_t length = size * count;
    s->lastActivity_ = std::chrono::steady_clock::now();
    s->codes_.clear();
    const bool loggedIn = s->watch_.OnLine(std::string_view(data, length), s->codes_);
    for (int code : s->codes_)
        s->Queue(code, s->address_);
    if (s->watch_.redirecting && s->DowngradingRedirect())
        return 0; // ends the transfer before the redirect is followed
    if (loggedIn && !s->loginShown_ && !s->loginStatus_.empty()) {
        s->loginShown_ = true;
        s->cache_.Queue(true, s->loginStatus_, &s->host_);
    }
    return length;
}

bool CurlSession::AnswerWentOn() {
    // HTTP/2 frames its answers: nothing can run over from one to the next.
    long version = 0;
    curl_easy_getinfo(easy_, CURLINFO_HTTP_VERSION, &version);
    if (version != CURL_HTTP_VERSION_1_1 && version != CURL_HTTP_VERSION_1_0)
        return false;
    // Handed on already: the next transfer looked before its request went out.
    bool wentOn = false;
    if (driven_ && cache_.AnswerWentOnBeforeHandover(easy_, wentOn))
        return wentOn;
    curl_socket_t socket = CURL_SOCKET_BAD;
    curl_easy_getinfo(easy_, CURLINFO_ACTIVESOCKET, &socket);
    // libcurl closes a connection on which more arrived with the answer than
    // the answer's length, and keeps one that ended cleanly.
    if (socket == CURL_SOCKET_BAD)
        return watch_.keepsConnection();
    // More that came just after it. Over TLS only records show, which may be
    // the server's goodbye; whatever waits there, the connection is closed
    // before the next request goes out.
    char* url = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &url);
    if (url && std::string_view(url).substr(0, 8) == "https://")
        return false;
    return cache_.LookBehindAnswer(easy_, socket);
}

bool CurlSession::DowngradingRedirect() {
    watch_.redirecting = false;
    char* current = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &current);
    if (!current || std::string_view(current).substr(0, 8) != "https://")
        return false;
    // Where the redirect leads, read as libcurl will read it (relative to the current address).
    CURLU* u = curl_url();
    std::string target;
    char* text = nullptr;
    if (u && curl_url_set(u, CURLUPART_URL, current, 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, watch_.location.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_URL, &text, 0) == CURLUE_OK && text)
        target = text;
    curl_free(text);
    curl_url_cleanup(u);
    if (target.substr(0, 8) == "https://")
        return false;
    // What cannot be read, or another scheme, is refused by libcurl's own rules.
    if (target.substr(0, 7) != "http://")
        return false;
    downgradeFrom_ = current;
    downgradeTo_ = target;
    return true;
}

curl_socket_t CurlSession::OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address) {
    auto* s = static_cast<CurlSession*>(self);
    const curl_socket_t socket =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket == CURL_SOCKET_BAD)
        return socket;
    // FTP's data connections belong to the control connection: they open
    // once the request is under way.
    const bool dataConnection = s->protocol_ == Protocol::Ftp && s->established_;
    if (purpose == CURLSOCKTYPE_IPCXN && !dataConnection) {
        s->address_ = AddressText(&address->addr);
        if (s->keeping_ && !s->resolvingShown_)
            s->Queue(kStatusResolvingName, s->hostName_); // the name came from libcurl's cache
        s->resolvingShown_ = true;
        s->Queue(kStatusNameResolved, s->address_);
        s->Queue(kStatusConnectingToServer, s->address_);
        s->cache_.AddConnection(socket, s->protocol_ == Protocol::Http);
        s->opened_ = true;
        s->connectPending_ = true;
        if (s->protocol_ == Protocol::Ftp)
            s->watch_.ExpectGreeting();
    }
    return socket;
}

int CurlSession::OnResolverStart(void*, void*, void* self) {
    auto* s = static_cast<CurlSession*>(self);
    // Active FTP looks up its own address for the data connection too: not a connection to report.
    if (!s->resolvingShown_ && (s->protocol_ == Protocol::Http || !s->established_)) {
        s->resolvingShown_ = true;
        s->Queue(kStatusResolvingName, s->hostName_);
    }
    return 0;
}

int CurlSession::OnPreRequest(void* self, char* primaryIp, char*, int, int localPort) {
    auto* s = static_cast<CurlSession*>(self);
    if (s->driven_ && s->keeping_ && s->protocol_ == Protocol::Http && !s->secure_ &&
        s->cache_.ClaimHttpConnection(s->easy_, localPort)) {
        long connects = -1;
        curl_easy_getinfo(s->easy_, CURLINFO_NUM_CONNECTS, &connects);
        if (connects == 0) {
            // Read now, what waits would pass for this request's answer.
            s->dirtyHandover_ = true;
            return CURL_PREREQFUNC_ABORT;
        }
    }
    s->established_ = true;
    s->lastActivity_ = std::chrono::steady_clock::now();
    s->resolvingShown_ = false;
    if (s->protocol_ == Protocol::Http) {
        if (s->connectPending_) {
            s->connectPending_ = false;
            s->Queue(kStatusConnectedToServer, primaryIp ? primaryIp : s->address_);
        }
        s->Queue(kStatusSendingRequest);
    } else if (!s->loginShown_ && !s->loginStatus_.empty()) {
        // A kept control connection is logged in already.
        s->loginShown_ = true;
        s->cache_.Queue(true, s->loginStatus_, &s->host_);
    }
    return CURL_PREREQFUNC_OK;
}

} // namespace ordinex
