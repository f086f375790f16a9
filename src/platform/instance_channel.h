#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordinex {

// How a second start hands its job file to the running instance: a Unix
// socket beside the single-instance lock, owned by the instance that holds
// the lock. A request is one message, "ordinex-open 1\n" followed by an
// absolute path (empty: only raise the window) and a NUL; the instance
// answers "ok\n" once it has taken the request.

// The socket's path: the lock's path with ".socket" appended.
std::string HandOffSocketPath();

// The request for a path. Empty path: raise the window only.
std::string EncodeHandOff(const std::string& absolutePath);
// The path of a well-formed request; nothing for anything else (a wrong
// header, a relative path, a NUL inside, no terminating NUL, too long).
std::optional<std::string> DecodeHandOff(std::string_view message);

enum class HandOffResult {
    Delivered,  // the running instance took the request
    NoInstance, // nobody listens: start normally
    Failed,     // someone listens but did not take the request in time
};
// absolutePath must be absolute or empty. Waits at most timeoutMs.
HandOffResult HandOffToRunningInstance(const std::string& absolutePath, int timeoutMs = 5000);

// The running instance's side. Listen only while holding the lock: it
// replaces whatever an ended instance left at the socket's path.
class HandOffListener {
public:
    HandOffListener() = default;
    ~HandOffListener();
    HandOffListener(const HandOffListener&) = delete;
    HandOffListener& operator=(const HandOffListener&) = delete;

    // False when the socket cannot be made (a second start then gets the
    // "already running" message instead).
    bool Listen();
    bool Listening() const { return fd_ >= 0; }
    // Never blocks for long: takes every request waiting now, answers each
    // well-formed one from this user and returns their paths in order.
    std::vector<std::string> Poll();
    void Close();

private:
    int fd_ = -1;
    std::string path_;
};

} // namespace ordinex
