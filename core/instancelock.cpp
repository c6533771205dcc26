#include "instancelock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vemar {

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

// The file itself is never removed: removing a lock file while another
// program waits to open it would let a third one lock a new file beside it.
InstanceLock::Outcome InstanceLock::take(const std::filesystem::path& dir) {
    if (fd_ >= 0) return Outcome::Taken;
    const std::filesystem::path file = dir / kLockFile;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    if (fd < 0) {
        error_ = std::string(kLockFile) + ": " + std::strerror(errno);
        return Outcome::Failed;
    }
    int result;
    do result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return Outcome::Held;
        error_ = std::string(kLockFile) + ": " + std::strerror(error);
        return Outcome::Failed;
    }
    fd_ = fd;
    return Outcome::Taken;
}

} // namespace vemar
