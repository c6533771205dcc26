#include "core/files/atomicfile.h"

#include "core/files/fileerror.h"
#include "core/files/filenames.h"

#include <cerrno>
#include <limits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vemar {

namespace fs = std::filesystem;

namespace {

std::function<bool(const fs::path&)>& WriteFault() {
    static std::function<bool(const fs::path&)> fault;
    return fault;
}

[[noreturn]] void ThrowWriteFailed(const fs::path& path, int error) {
    throw FileError(FileNameOf(path), reason::kWriteFailed + texts::SystemErrorText(error));
}

// The temporary file of an atomic write: closed and removed unless it was
// renamed over its target, so that no failure leaves it behind.
class TempFile {
public:
    TempFile(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(name_.c_str());
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    // Closes the descriptor; errno on failure (a delayed write error shows here).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }
    void markRenamed() { renamed_ = true; }

private:
    int fd_;
    std::string name_;
    bool renamed_ = false;
};

// Writes every byte, retrying short writes; errno on failure, else 0.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The replacement keeps the permissions of the file it replaces; a new file is
// readable by all and writable by its owner, as an ordinary settings file.
void CopyMode(int fd, const fs::path& target) {
    struct stat info {};
    const mode_t mode = ::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
    (void)::fchmod(fd, mode);   // mkstemp's 0600 is a safe fallback
}

}  // namespace

// Reads a whole regular file of at most `limit` bytes. The file is opened
// without blocking and checked on the opened descriptor, so a FIFO or a device
// put in its place is refused at once instead of waited on; a file that grows
// past the limit while it is read is refused too.
ReadOutcome ReadRegular(const fs::path& path, std::size_t limit, std::string& bytes, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT ? ReadOutcome::Absent : ReadOutcome::Failed;
    }
    struct Closer { int fd; ~Closer() { ::close(fd); } } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) { error = errno; return ReadOutcome::Failed; }
    if (!S_ISREG(info.st_mode)) return ReadOutcome::NotRegular;
    if (static_cast<unsigned long long>(info.st_size) > limit) return ReadOutcome::TooLarge;
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > limit) return ReadOutcome::TooLarge;
            continue;
        }
        if (n == 0) return ReadOutcome::Read;
        if (errno == EINTR) continue;
        error = errno;
        return ReadOutcome::Failed;
    }
}

// Makes the rename itself durable. Best effort: the data are already on disk,
// and some file systems refuse to sync a directory.
void SyncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    std::string bytes;
    int error = 0;
    if (ReadRegular(path, std::numeric_limits<std::size_t>::max(), bytes, error) != ReadOutcome::Read)
        return std::nullopt;
    return bytes;
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes) {
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    // Appended, not "." + string: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
    std::string pattern = (dir / std::string(1, '.').append(FileNameOf(path)).append(".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) ThrowWriteFailed(path, errno);
    TempFile temp(fd, pattern);
    CopyMode(temp.fd(), path);

    const auto& fault = WriteFault();
    if (fault && fault(path)) {
        // As a full disk would: part of the content is out, the rest is refused.
        (void)WriteAll(temp.fd(), bytes.substr(0, bytes.size() / 2));
        ThrowWriteFailed(path, ENOSPC);
    }
    if (int error = WriteAll(temp.fd(), bytes)) ThrowWriteFailed(path, error);
    if (::fsync(temp.fd()) != 0) ThrowWriteFailed(path, errno);
    if (int error = temp.close()) ThrowWriteFailed(path, error);
    if (::rename(temp.name().c_str(), path.c_str()) != 0) ThrowWriteFailed(path, errno);
    temp.markRenamed();
    SyncDirectory(dir);
}

// A write killed before its rename leaves its temporary file, named
// ".<file>.XXXXXX", beside the intact old file: remove those of our files.
// Every file the program writes belongs here, the first start's copies too
// (car.tip, fusi.tz): a temporary missing from the list stays for good.
void RemoveStaleTemporaries(const fs::path& dir) {
    static constexpr const char* kOurs[] = {kZoneFile,   kStagedZoneFile, kSiteFile,      kDisplayFile,
                                            kRuleFile,   kMarkerFile,     kCityZonesFile, kHomeZoneFile};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        for (const char* ours : kOurs) {
            const std::string prefix = std::string(1, '.').append(ours).append(1, '.');
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
                entry.is_regular_file(ec))
                fs::remove(entry.path(), ec);
        }
    }
}

void SetWriteFaultForTesting(std::function<bool(const fs::path&)> fault) {
    WriteFault() = std::move(fault);
}

}  // namespace vemar
