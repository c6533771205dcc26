#pragma once
// fusi.dat, the zone table: 54 lines of three scrambled quoted fields (name,
// summer-time class, offset). The editors save through fusi.tmp, renamed
// over fusi.dat once it is whole.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/state.h"

#include <filesystem>

namespace vemar {

ZoneTable ReadZoneTable(const std::filesystem::path& file);             // throws FileError
void WriteZoneTable(const std::filesystem::path& file, const ZoneTable& table);  // throws
// Writes the table to fusi.tmp; a FileError names fusi.dat and then fusi.tmp.
void StageZoneTable(const std::filesystem::path& dir, const ZoneTable& table);
// Replaces fusi.dat by fusi.tmp with one rename; throws FileError naming fusi.dat.
void CommitStagedTable(const std::filesystem::path& dir);

} // namespace vemar
