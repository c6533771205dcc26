#pragma once
// The one error of the files layer, and the reasons it gives after the
// file's name.

#include "core/texts.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vemar {

// A required file is missing or damaged, or a write failed.
struct FileError : std::runtime_error {
    std::string file;   // the file's name as the user knows it ("fusi.dat")
    FileError(std::string fileName, const std::string& message)
        : std::runtime_error(message), file(std::move(fileName)) {}
};

inline std::string FileNameOf(const std::filesystem::path& path) { return path.filename().string(); }

namespace reason {
using std::string;
inline const string kMissing(texts::kMissing);
inline const string kNotRegularFile(texts::kNotRegularFile);
inline const string kFileTooLarge(texts::kFileTooLarge);
inline const string kReadFailed(texts::kReadFailed);
inline const string kWriteFailed(texts::kWriteFailed);
inline const string kReplaceFailed(texts::kReplaceFailed);
inline const string kRecord(texts::kRecord);
inline const string kField(texts::kField);
inline const string kMissingSuffix(texts::kMissingSuffix);
inline const string kIncompleteSuffix(texts::kIncompleteSuffix);
inline const string kBadCharacter(texts::kBadCharacter);
inline const string kNullCharacter(texts::kNullCharacter);
inline const string kUnstorableCharacter(texts::kUnstorableCharacter);
inline const string kNotANumber(texts::kNotANumber);
inline const string kNotWholeNumber(texts::kNotWholeNumber);
inline const string kOutOfRange(texts::kOutOfRange);
inline const string kUnwritable(texts::kUnwritable);
inline const string kStagedCopy(texts::kStagedCopy);
}  // namespace reason

} // namespace vemar
