#include "core/files/zonetablefile.h"

#include "core/files/atomicfile.h"
#include "core/files/fieldline.h"
#include "core/files/settingsfile.h"
#include "core/files/textcodec.h"

#include <system_error>
#include <vector>

namespace vemar {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFieldsPerRow = 3;

// "record 12, campo 3" for the field at index 35 of the file.
std::string Place(std::size_t index) {
    return reason::kRecord + std::to_string(index / kFieldsPerRow + 1) + ", " + FieldName(index % kFieldsPerRow);
}

}  // namespace

ZoneTable ReadZoneTable(const fs::path& file) {
    const std::vector<FieldValue> fields =
        SettingsFields(file, RequireFile(file), kZoneRows * kFieldsPerRow, Place);
    if (fields.size() < kZoneRows * kFieldsPerRow) {
        const std::size_t record = fields.size() / kFieldsPerRow + 1;
        const bool started = fields.size() % kFieldsPerRow != 0;
        throw FileError(FileNameOf(file), reason::kRecord + std::to_string(record) +
                                              (started ? reason::kIncompleteSuffix : reason::kMissingSuffix));
    }
    ZoneTable table;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto plain = UnscrambleField(fields[i].text);
        if (!plain)
            throw FileError(FileNameOf(file), Place(i) + reason::kBadCharacter);
        ZoneRow& row = table[i / kFieldsPerRow];
        std::string* targets[] = {&row.name, &row.zoneClass, &row.offset};
        *targets[i % kFieldsPerRow] = std::move(*plain);
    }
    return table;
}

void WriteZoneTable(const fs::path& file, const ZoneTable& table) {
    // The editors admit only storable characters, so a refusal here means
    // damaged data; the whole table is checked before a byte is written.
    std::string content;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const ZoneRow& row = table[r];
        std::vector<FieldValue> line;
        const std::string* texts[] = {&row.name, &row.zoneClass, &row.offset};
        for (std::size_t f = 0; f < 3; ++f) {
            auto scrambled = ScrambleField(*texts[f]);
            if (!scrambled)
                throw FileError(FileNameOf(file), Place(r * kFieldsPerRow + f) + reason::kUnstorableCharacter);
            line.push_back(TextField(std::move(*scrambled)));
        }
        // An offset the user cleared is stored as nothing after the second comma.
        if (row.offset.empty()) line.back() = FieldValue{};
        content += WriteFieldLine(line);
    }
    WriteFileAtomic(file, content);
}

// The user saved the zone table; fusi.tmp is only how the save is staged, so
// a failure names the table and then the staged copy it was writing.
void StageZoneTable(const fs::path& dir, const ZoneTable& table) {
    try {
        WriteZoneTable(dir / kStagedZoneFile, table);
    } catch (const FileError& e) {
        throw FileError(kZoneFile, reason::kStagedCopy + kStagedZoneFile + ", " + e.what());
    }
}

void CommitStagedTable(const fs::path& dir) {
    const fs::path staged = dir / kStagedZoneFile;
    const fs::path target = dir / kZoneFile;
    std::error_code error;
    // One rename replaces the old table: at every moment one complete
    // fusi.dat exists on disk.
    fs::rename(staged, target, error);
    if (error == std::errc::no_such_file_or_directory && !fs::exists(staged))
        throw FileError(kZoneFile, reason::kStagedCopy + kStagedZoneFile + reason::kMissingSuffix);
    if (error) throw FileError(kZoneFile, reason::kReplaceFailed + texts::SystemErrorText(error.value()));
    SyncDirectory(dir);
}

}  // namespace vemar
