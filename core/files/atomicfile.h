#pragma once
// Whole files in and out. A read never waits on what is not a regular file;
// every write replaces its file atomically: a temporary file in the same
// directory, flushed, then renamed over the target, so that at every moment
// the old or the new content is on disk, whole.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vemar {

enum class ReadOutcome { Read, Absent, NotRegular, TooLarge, Failed };

// Reads a whole regular file of at most `limit` bytes into bytes; error
// receives errno when the outcome is Failed.
ReadOutcome ReadRegular(const std::filesystem::path& path, std::size_t limit, std::string& bytes, int& error);
// The bytes of a regular file; nullopt when it is absent, unreadable or not a
// regular file (a FIFO is never waited on).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// Throws FileError naming path's file name with the reason.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);
// Makes a rename in dir durable; best effort.
void SyncDirectory(const std::filesystem::path& dir);
// Removes temporary files that a write stopped before its rename left in dir.
void RemoveStaleTemporaries(const std::filesystem::path& dir);
// Tests only: when set and it returns true for a target, the write fails as a
// full disk would, after the temporary file was started and before the rename.
void SetWriteFaultForTesting(std::function<bool(const std::filesystem::path&)> fault);

} // namespace vemar
