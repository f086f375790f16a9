#include "net/connection_cache.h"

#include "net/curl_session.h"
#include "net/engine_host.h"
#include "net/session_status.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <poll.h>
#include <unistd.h>

namespace ordinex {

namespace {
// A run that moves between a few servers keeps one connection to each.
constexpr long kMaxKeptConnections = 8;
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
    for (;;) {
        std::vector<Report> mine;
        std::vector<Report> others;
        for (Report& r : queue_)
            (r.owner == nullptr || r.owner == &host ? mine : others).push_back(std::move(r));
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

int64_t ConnectionCache::NoteAnswerWait(curl_socket_t socket, int64_t waitedMs) {
    for (Connection& c : connections_) {
        if (c.socket != socket)
            continue;
        const int64_t before = c.fastestAnswerMs;
        if (before < 0 || waitedMs < before)
            c.fastestAnswerMs = waitedMs;
        return before;
    }
    return -1;
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
