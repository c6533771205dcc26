#include "core/files/settingsfile.h"

#include "core/files/atomicfile.h"
#include "core/files/fieldline.h"
#include "core/files/fileerror.h"

#include <algorithm>

namespace vemar {

namespace fs = std::filesystem;

namespace {

// No settings file is legitimately more than a few KiB: anything larger is
// not one of ours, and reading it whole would only cost memory and time.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

}  // namespace

// A leading UTF-8 byte-order mark (which an editor may add on saving) is
// left out. A file that is there but cannot serve is an error whether it is required or not.
std::optional<std::string> SettingsContent(const fs::path& path, bool required) {
    std::string bytes;
    int error = 0;
    switch (ReadRegular(path, kMaxSettingsBytes, bytes, error)) {
    case ReadOutcome::Read: break;
    case ReadOutcome::Absent:
        if (!required) return std::nullopt;
        throw FileError(FileNameOf(path), reason::kMissing);
    case ReadOutcome::NotRegular: throw FileError(FileNameOf(path), reason::kNotRegularFile);
    case ReadOutcome::TooLarge: throw FileError(FileNameOf(path), reason::kFileTooLarge);
    case ReadOutcome::Failed:
        throw FileError(FileNameOf(path), reason::kReadFailed + texts::SystemErrorText(error));
    }
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.compare(0, kBom.size(), kBom) == 0) bytes.erase(0, kBom.size());
    return bytes;
}

std::string RequireFile(const fs::path& path) { return *SettingsContent(path, true); }

std::string FieldName(std::size_t index) { return reason::kField + std::to_string(index + 1); }

// The fields of a settings file. A zero byte is never part of a text the
// program writes, and readers that stop at it would take 4 for "4\0" "1":
// it is refused, naming the field it lies in (the last one read when it lies
// after them).
std::vector<FieldValue> SettingsFields(const fs::path& path, std::string_view content, std::size_t count,
                                       const std::function<std::string(std::size_t)>& fieldName) {
    std::vector<std::size_t> starts;
    std::vector<FieldValue> fields = ReadFieldsAt(content, count, starts);
    const std::size_t nul = content.find('\0');
    if (nul != std::string_view::npos) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), nul);
        const std::size_t index = after == starts.begin() ? 0 : std::size_t(after - starts.begin()) - 1;
        throw FileError(FileNameOf(path), fieldName(index) + reason::kNullCharacter);
    }
    return fields;
}

void WriteSettingsLine(const fs::path& path, const std::vector<FieldValue>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!FieldWritable(fields[i]))
            throw FileError(FileNameOf(path), reason::kField + std::to_string(i + 1) + reason::kUnwritable);
    WriteFileAtomic(path, WriteFieldLine(fields));
}

std::vector<FieldValue> RequireFields(const fs::path& path, std::size_t count) {
    std::vector<FieldValue> fields = SettingsFields(path, RequireFile(path), count, FieldName);
    if (fields.size() < count)
        throw FileError(FileNameOf(path),
                        reason::kField + std::to_string(fields.size() + 1) + reason::kMissingSuffix);
    return fields;
}

}  // namespace vemar
