#pragma once
// One program per settings directory: a lock on the file .vemar.lock in the
// directory, held for the whole run. The system releases it however the
// program ends, a kill included, so a lock is never left stale.

#include <filesystem>
#include <string>

namespace vemar {

inline constexpr const char* kLockFile = ".vemar.lock";

class InstanceLock {
public:
    enum class Outcome {
        Taken,     // this program is the only one in the directory
        Held,      // another program holds the directory
        Failed,    // the lock file cannot be opened or locked (see error())
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Tries once, without waiting.
    Outcome take(const std::filesystem::path& dir);
    // Why take() failed: the file's name and the reason, in Italian.
    const std::string& error() const { return error_; }

private:
    Outcome fail(const std::string& reason);

    int fd_ = -1;
    std::string error_;
};

// What a start that cannot take the lock says before it ends: without the
// lock it cannot tell whether another copy writes the same settings.
std::string LockFailedText(const std::filesystem::path& dir, const std::string& error);

} // namespace vemar
