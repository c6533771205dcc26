#pragma once
// lxp2.par, the site settings: one line of 18 fields holding the place, the
// home zone, the hemisphere and the summer-time switches. Required.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/state.h"

#include <array>
#include <filesystem>

namespace vemar {

// Field 5 holds the zone as hours behind universal time, the program counts
// hours ahead. Turning the sign is its own inverse: every reader and writer
// of field 5 goes through here, both ways.
int TurnedZoneSign(int offset);

// Throws FileError, also when a field other than a spare one of any kind
// holds something else than a number.
SiteSettings ReadSiteSettings(const std::filesystem::path& file);
void WriteSiteSettings(const std::filesystem::path& file, const SiteSettings& settings);

} // namespace vemar
