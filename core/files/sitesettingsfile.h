#pragma once
// lxp2.par, the site settings: one line of 18 fields holding the place, the
// home zone, the hemisphere and the summer-time switches. Required.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/state.h"

#include <array>
#include <filesystem>

namespace vemar {

struct SiteSettings {
    double latDegrees = 0, latMinutes = 0;   // fields 1, 2: negative in the southern hemisphere
    double lonDegrees = 0, lonMinutes = 0;   // fields 3, 4: east of Greenwich is negative
    int zoneOffset = 0;         // field 5, hours ahead of universal time (the file holds minus this)
    int inDstWindow = 0;        // field 7
    Hemisphere hemisphere = Hemisphere::North;   // field 15, any number kept as read
    int outsideDstWindow = 0;   // field 16
    int halfHourMinutes = 0;    // field 17: 0 or 30
    int autoDst = 0;            // field 18
    // The fields as read. The spare ones (6, 8 to 14) are used nowhere and go
    // back from here; the others are written from the members above.
    std::array<FieldValue, 18> record{};
};

// Field 5 holds the zone as hours behind universal time, the program counts
// hours ahead. Turning the sign is its own inverse: every reader and writer
// of field 5 goes through here, both ways.
int TurnedZoneSign(int offset);

// Throws FileError, also when a field other than a spare one of any kind
// holds something else than a number.
SiteSettings ReadSiteSettings(const std::filesystem::path& file);
void WriteSiteSettings(const std::filesystem::path& file, const SiteSettings& settings);

} // namespace vemar
