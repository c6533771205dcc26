#include "instancelock.h"

#include "core/texts.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vemar {

namespace {

// Never through a link: a link planted in the folder would have the program
// create or lock its target, as root /etc/passwd opened for writing. Never
// waiting on a FIFO either.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;

std::string Reason(int error) {
    return error == ELOOP ? std::string(texts::kLockIsLink) : texts::SystemErrorText(error);
}

} // namespace

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

InstanceLock::Outcome InstanceLock::fail(const std::string& reason) {
    error_ = std::string(kLockFile) + ": " + reason;
    return Outcome::Failed;
}

// The file itself is never removed: removing a lock file while another
// program waits to open it would let a third one lock a new file beside it.
// A lock file that another user left (a start under sudo) may be readable
// only: flock works on a read-only descriptor as well.
InstanceLock::Outcome InstanceLock::take(const std::filesystem::path& dir) {
    if (fd_ >= 0) return Outcome::Taken;
    const std::filesystem::path file = dir / kLockFile;
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0644);
    if (fd < 0 && errno == EACCES) fd = ::open(file.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) return fail(Reason(errno));
    struct stat info {};
    // A second name of another file (a hard link) would lock that file.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        ::close(fd);
        return fail(std::string(texts::kNotRegularFile));
    }
    int result;
    do result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return Outcome::Held;
        return fail(Reason(error));
    }
    fd_ = fd;
    return Outcome::Taken;
}

std::string LockFailedText(const std::filesystem::path& dir, const std::string& error) {
    return std::string(texts::kInstanceLockFailed) + dir.string() + "\n" + error;
}

} // namespace vemar
