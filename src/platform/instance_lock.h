#pragma once
#include <string>

namespace ordinex {

// The single-instance guard: an exclusive lock on the file "Download_Mutex"
// in the user's runtime folder. The kernel releases it when the process dies,
// so a crash never leaves the program locked out.
class InstanceLock {
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }

    static std::string LockPath();

private:
    int fd_ = -1;
};

} // namespace ordinex
