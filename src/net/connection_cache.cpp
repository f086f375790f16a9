#include "net/connection_cache.h"

#include "net/curl_session.h"
#include "net/engine_host.h"
#include "net/session_status.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ordinex {

namespace {
// A run that moves between a few servers keeps one connection to each.
constexpr long kMaxKeptConnections = 8;
// Answers slower than this on a kept connection are watched for a stray one
// behind them, for at most kMaxAnswerWatchMs.
constexpr curl_off_t kSlowAnswerMs = 20;
constexpr curl_off_t kMaxAnswerWatchMs = 20;
} // namespace

ConnectionCache::~ConnectionCache() {
    CloseAll();
    if (spare_)
        curl_multi_cleanup(spare_);
    for (CURL* easy : spareEasies_)
        curl_easy_cleanup(easy);
    // Every handle that used it is gone by now.
    if (tlsSessions_)
        curl_share_cleanup(tlsSessions_);
}

CURLSH* ConnectionCache::TlsSessions() {
    if (!tlsSessions_) {
        tlsSessions_ = curl_share_init();
        if (tlsSessions_)
            curl_share_setopt(tlsSessions_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    return tlsSessions_;
}

bool ConnectionCache::Keeping(const ProgramSettings& settings) const {
    return depth_ > 0 && settings.KeepConnectionSetting != 0;
}

void ConnectionCache::EndBatch(IEngineHost& host) {
    if (depth_ > 0 && --depth_ == 0) {
        for (CURL* easy : spareEasies_)
            curl_easy_cleanup(easy);
        spareEasies_.clear();
        CloseAll();
        Flush(host);
    }
}

CURLM* ConnectionCache::KeptMulti() {
    if (!kept_) {
        kept_ = curl_multi_init();
        if (kept_)
            curl_multi_setopt(kept_, CURLMOPT_MAXCONNECTS, kMaxKeptConnections + maxConnectsExtra_);
    }
    return kept_;
}

void ConnectionCache::SetDriven(bool driven, int parallel) {
    driven_ = driven;
    driveFailed_ = false;
    // Every file in flight keeps its connection for the file after it.
    maxConnectsExtra_ = driven ? parallel : 0;
    if (kept_)
        curl_multi_setopt(kept_, CURLMOPT_MAXCONNECTS, kMaxKeptConnections + maxConnectsExtra_);
}

CURLMcode ConnectionCache::AddTransfer(CURLM* multi, CURL* easy) {
    const CURLMcode rc = curl_multi_add_handle(multi, easy);
    if (rc == CURLM_OK && multi == kept_) {
        running_.push_back(easy);
        changed_ = true;
    }
    return rc;
}

void ConnectionCache::RemoveTransfer(CURLM* multi, CURL* easy) {
    curl_multi_remove_handle(multi, easy);
    const auto it = std::find(running_.begin(), running_.end(), easy);
    if (it == running_.end())
        return;
    running_.erase(it);
    if (running_.empty() && closePending_ && !driving_)
        CloseAll();
}

bool ConnectionCache::Drive() {
    budgetPaused_ = false;
    changed_ = false;
    if (!kept_ || running_.empty())
        return true;
    int stillRunning = 0;
    if (curl_multi_perform(kept_, &stillRunning) != CURLM_OK) {
        driveFailed_ = true;
        return false;
    }
    int left = 0;
    driving_ = true; // the multi handle stays while its messages are read
    while (CURLMsg* msg = curl_multi_info_read(kept_, &left)) {
        if (msg->msg != CURLMSG_DONE)
            continue;
        char* owner = nullptr;
        curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &owner);
        // The message is gone once the handle leaves the multi handle: copy it first.
        const CURLcode result = msg->data.result;
        if (owner)
            reinterpret_cast<CurlSession*>(owner)->TransferEnded(result);
        changed_ = true;
    }
    driving_ = false;
    if (running_.empty() && closePending_)
        CloseAll();
    return true;
}

void ConnectionCache::WaitForActivity(int ms) {
    // A transfer that ended or was added since the last round is someone's
    // next step: the loop goes round again at once.
    if (kept_ && !running_.empty() && !budgetPaused_ && !changed_)
        curl_multi_poll(kept_, nullptr, 0, ms, nullptr);
}

CURLM* ConnectionCache::TakeSpare() {
    CURLM* multi = spare_ ? spare_ : curl_multi_init();
    spare_ = nullptr;
    return multi;
}

void ConnectionCache::GiveBackSpare(CURLM* multi, bool holdsNothing) {
    if (!multi)
        return;
    if (holdsNothing && !spare_)
        spare_ = multi;
    else
        curl_multi_cleanup(multi); // closes what it still holds
}

CURL* ConnectionCache::TakeEasy() {
    if (spareEasies_.empty())
        return curl_easy_init();
    CURL* easy = spareEasies_.back();
    spareEasies_.pop_back();
    curl_easy_reset(easy);
    return easy;
}

void ConnectionCache::GiveBackEasy(CURL* easy) {
    if (!easy)
        return;
    // One for each file in flight at most.
    if (depth_ == 0 || spareEasies_.size() >= static_cast<std::size_t>(1 + maxConnectsExtra_))
        curl_easy_cleanup(easy);
    else
        spareEasies_.push_back(easy);
}

bool ConnectionCache::CloseAll() {
    if (!running_.empty()) {
        closePending_ = true;
        return false;
    }
    closePending_ = false;
    if (kept_)
        curl_multi_cleanup(kept_);
    kept_ = nullptr;
    credentialsSet_ = false;
    return true;
}

void ConnectionCache::UseCredentials(const std::string& user, const std::string& password) {
    if (credentialsSet_ && (user != user_ || password != password_))
        CloseAll();
    user_ = user;
    password_ = password;
    credentialsSet_ = true;
}

void ConnectionCache::Queue(bool statusLine, std::string text, const IEngineHost* owner) {
    if (!text.empty())
        queue_.push_back({statusLine, std::move(text), owner});
}

void ConnectionCache::QueueSession(int code, const std::string& info, const IEngineHost* owner) {
    Queue(false, SessionStatusText(code, info), owner);
}

void ConnectionCache::Flush(IEngineHost& host) {
    // A report may pause and pump messages, and so start another flush: take
    // the host's reports off the queue first. Other hosts' stay, in order.
    const auto ours = [&host](const Report& r) { return r.owner == nullptr || r.owner == &host; };
    for (;;) {
        if (std::none_of(queue_.begin(), queue_.end(), ours))
            break;
        std::vector<Report> mine;
        std::vector<Report> others;
        for (Report& r : queue_)
            (ours(r) ? mine : others).push_back(std::move(r));
        queue_.swap(others);
        if (mine.empty())
            break;
        for (const Report& r : mine) {
            if (r.statusLine)
                host.SetStatus(r.text);
            else
                host.SetStatus2(r.text);
        }
    }
}

bool ConnectionCache::HttpDataWaiting() const {
    // The connections of running transfers are reading their own answers.
    std::vector<curl_socket_t> busy;
    for (CURL* easy : running_) {
        curl_socket_t socket = CURL_SOCKET_BAD;
        if (curl_easy_getinfo(easy, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK && socket != CURL_SOCKET_BAD)
            busy.push_back(socket);
    }
    for (const Connection& c : connections_) {
        if (!c.http || std::find(busy.begin(), busy.end(), c.socket) != busy.end())
            continue;
        pollfd p{c.socket, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0)
            return true;
    }
    return false;
}

bool ConnectionCache::LookBehindAnswer(CURL* easy, curl_socket_t socket) {
    // An answer sent late, after the previous one, meets the next request on
    // its way and is taken for its answer; the real one follows right behind.
    // So an answer on a kept connection that took far longer than the
    // answers before it there is watched a little longer: a twentieth of its
    // wait, which costs such an answer at most 5%. (A link that is slow for
    // every answer costs nothing.)
    long connects = -1;
    curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &connects);
    curl_off_t sent = 0, answered = 0;
    curl_easy_getinfo(easy, CURLINFO_PRETRANSFER_TIME_T, &sent);
    curl_easy_getinfo(easy, CURLINFO_STARTTRANSFER_TIME_T, &answered);
    const curl_off_t waitedMs = (answered - sent) / 1000;
    int64_t fastest = -1;
    for (Connection& c : connections_) {
        if (c.socket != socket)
            continue;
        fastest = c.fastestAnswerMs;
        if (fastest < 0 || waitedMs < fastest)
            c.fastestAnswerMs = waitedMs;
        if (c.user == easy)
            c.looked = true;
    }
    if (connects == 0 && waitedMs >= kSlowAnswerMs && fastest >= 0 && waitedMs > 4 * fastest) {
        pollfd p{socket, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<curl_off_t>(waitedMs / 20, kMaxAnswerWatchMs)));
    }
    char byte = 0;
    return ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
}

bool ConnectionCache::ClaimHttpConnection(CURL* easy, long localPort) {
    // What is known about this handle's earlier transfers is stale now.
    std::erase_if(handovers_, [easy](const Handover& h) { return h.from == easy; });
    for (Connection& c : connections_) {
        if (!c.http)
            continue;
        if (c.localPort == 0) {
            sockaddr_storage address{};
            socklen_t length = sizeof address;
            if (::getsockname(c.socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
                continue;
            c.localPort = address.ss_family == AF_INET6
                              ? ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port)
                              : ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
        }
        if (c.localPort != localPort)
            continue;
        // The transfer before on it has not looked behind its answer yet:
        // that is done now, for it, before this request goes out.
        bool waiting = false;
        if (c.user && c.user != easy && !c.looked) {
            CURL* before = c.user;
            waiting = LookBehindAnswer(before, c.socket);
            handovers_.push_back({before, waiting});
        } else {
            char byte = 0;
            waiting = ::recv(c.socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
        }
        c.user = easy;
        c.looked = false;
        return waiting;
    }
    return false;
}

bool ConnectionCache::AnswerWentOnBeforeHandover(CURL* easy, bool& wentOn) {
    const auto it = std::find_if(handovers_.begin(), handovers_.end(),
                                 [easy](const Handover& h) { return h.from == easy; });
    if (it == handovers_.end())
        return false;
    wentOn = it->wentOn;
    handovers_.erase(it);
    return true;
}

int ConnectionCache::OnCloseSocket(void* self, curl_socket_t socket) {
    auto* c = static_cast<ConnectionCache*>(self);
    const auto it = std::find_if(c->connections_.begin(), c->connections_.end(),
                                 [socket](const Connection& k) { return k.socket == socket; });
    const bool reported = it != c->connections_.end();
    if (reported) {
        c->connections_.erase(it);
        c->QueueSession(kStatusClosingConnection);
    }
    const int rc = ::close(socket);
    if (reported)
        c->QueueSession(kStatusConnectionClosed);
    return rc;
}

} // namespace ordinex
