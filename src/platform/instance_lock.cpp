#include "platform/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ordinex {

InstanceLock::~InstanceLock() {
    Release();
}

std::string InstanceLock::LockPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/Download_Mutex";
    const char* tmp = std::getenv("TMPDIR");
    // The temp folder is shared between users: keep the lock per user.
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/Download_Mutex." + std::to_string(::getuid());
}

InstanceLock::Result InstanceLock::Acquire() {
    if (fd_ >= 0)
        return Result::Acquired;
    const int fd = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? Result::AlreadyRunning : Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace ordinex
