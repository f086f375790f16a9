#include "net/connection_cache.h"

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
    if (spareEasy_)
        curl_easy_cleanup(spareEasy_);
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
        if (spareEasy_)
            curl_easy_cleanup(spareEasy_);
        spareEasy_ = nullptr;
        CloseAll();
        Flush(host);
    }
}

CURLM* ConnectionCache::KeptMulti() {
    if (!kept_) {
        kept_ = curl_multi_init();
        if (kept_)
            curl_multi_setopt(kept_, CURLMOPT_MAXCONNECTS, kMaxKeptConnections);
    }
    return kept_;
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
    CURL* easy = spareEasy_;
    spareEasy_ = nullptr;
    if (!easy)
        return curl_easy_init();
    curl_easy_reset(easy);
    return easy;
}

void ConnectionCache::GiveBackEasy(CURL* easy) {
    if (!easy)
        return;
    if (spareEasy_ || depth_ == 0)
        curl_easy_cleanup(easy);
    else
        spareEasy_ = easy;
}

void ConnectionCache::CloseAll() {
    if (kept_)
        curl_multi_cleanup(kept_);
    kept_ = nullptr;
    credentialsSet_ = false;
}

void ConnectionCache::UseCredentials(const std::string& user, const std::string& password) {
    if (credentialsSet_ && (user != user_ || password != password_))
        CloseAll();
    user_ = user;
    password_ = password;
    credentialsSet_ = true;
}

void ConnectionCache::Queue(bool statusLine, std::string text) {
    if (!text.empty())
        queue_.push_back({statusLine, std::move(text)});
}

void ConnectionCache::QueueSession(int code, const std::string& info) {
    Queue(false, SessionStatusText(code, info));
}

void ConnectionCache::Flush(IEngineHost& host) {
    // A report may pause and pump messages, and so start another flush: take the queue first.
    while (!queue_.empty()) {
        std::vector<Report> reports;
        reports.swap(queue_);
        for (const Report& r : reports) {
            if (r.statusLine)
                host.SetStatus(r.text);
            else
                host.SetStatus2(r.text);
        }
    }
}

bool ConnectionCache::HttpDataWaiting() const {
    for (const Connection& c : connections_) {
        if (!c.http)
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
