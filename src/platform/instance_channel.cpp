#include "platform/instance_channel.h"

#include "platform/instance_lock.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ordinex {

namespace {

constexpr std::string_view kHeader = "ordinex-open 1\n";
constexpr std::string_view kAnswer = "ok\n";
constexpr size_t kMaxMessage = kHeader.size() + PATH_MAX + 1;
// How long the running instance waits for a connected client's request: a
// local process writes it at once, and the window must not hang on one that
// does not.
constexpr int kServerReadMs = 500;

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Waits until fd is ready for events, or the deadline passes.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, RemainingMs(deadline));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool SendAll(int fd, std::string_view data, Clock::time_point deadline) {
    while (!data.empty()) {
        const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

// Reads until the peer ends its side, limit bytes arrive or the deadline passes.
std::optional<std::string> ReceiveAll(int fd, size_t limit, Clock::time_point deadline) {
    std::string data;
    char buffer[4096];
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline))
            return std::nullopt;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0)
            return data;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return std::nullopt;
        }
        data.append(buffer, static_cast<size_t>(n));
        if (data.size() > limit)
            return std::nullopt;
    }
}

bool PeerIsThisUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

} // namespace

std::string HandOffSocketPath() {
    return InstanceLock::LockPath() + ".socket";
}

std::string EncodeHandOff(const std::string& absolutePath) {
    std::string message(kHeader);
    message += absolutePath;
    message += '\0';
    return message;
}

std::optional<std::string> DecodeHandOff(std::string_view message) {
    if (message.size() > kMaxMessage || message.substr(0, kHeader.size()) != kHeader ||
        message.back() != '\0')
        return std::nullopt;
    std::string_view path = message.substr(kHeader.size());
    path.remove_suffix(1);
    if (path.find('\0') != std::string_view::npos || (!path.empty() && path.front() != '/'))
        return std::nullopt;
    return std::string(path);
}

HandOffResult HandOffToRunningInstance(const std::string& absolutePath, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string socketPath = HandOffSocketPath();
    sockaddr_un address;
    // Only a socket of this user's is spoken to: the temporary folder the
    // lock falls back to is shared with others.
    struct stat info {};
    if (!FillAddress(socketPath, address) || ::lstat(socketPath.c_str(), &info) != 0 ||
        !S_ISSOCK(info.st_mode) || info.st_uid != ::getuid())
        return HandOffResult::NoInstance;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return HandOffResult::Failed;
    // A full backlog refuses for the moment (EAGAIN): try again until the deadline.
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        if (error == EINTR)
            continue;
        if ((error == EAGAIN || error == EINPROGRESS) && RemainingMs(deadline) > 0) {
            ::usleep(20'000);
            continue;
        }
        ::close(fd);
        // A socket left by an instance that ended: nobody listens.
        return error == ECONNREFUSED || error == ENOENT ? HandOffResult::NoInstance : HandOffResult::Failed;
    }
    HandOffResult result = HandOffResult::Failed;
    if (SendAll(fd, EncodeHandOff(absolutePath), deadline)) {
        ::shutdown(fd, SHUT_WR);
        const std::optional<std::string> answer = ReceiveAll(fd, kAnswer.size(), deadline);
        result = answer && *answer == kAnswer ? HandOffResult::Delivered : HandOffResult::Failed;
    }
    ::close(fd);
    return result;
}

HandOffListener::~HandOffListener() {
    Close();
}

bool HandOffListener::Listen() {
    if (fd_ >= 0)
        return true;
    const std::string path = HandOffSocketPath();
    sockaddr_un address;
    if (!FillAddress(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    ::unlink(path.c_str());
    // Only this user may connect, even where the folder is shared.
    const mode_t mask = ::umask(077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    return true;
}

std::vector<std::string> HandOffListener::Poll() {
    std::vector<std::string> paths;
    while (fd_ >= 0) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            break;
        }
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kServerReadMs);
        if (PeerIsThisUser(client))
            if (const std::optional<std::string> message = ReceiveAll(client, kMaxMessage, deadline))
                if (std::optional<std::string> path = DecodeHandOff(*message)) {
                    SendAll(client, kAnswer, deadline);
                    paths.push_back(std::move(*path));
                }
        ::close(client);
    }
    return paths;
}

void HandOffListener::Close() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
}

} // namespace ordinex
