#pragma once
// The first start of a user: the settings directory is made, the shipped
// zone table and marker file are copied into it, and lxp2.par and Parleg.dat
// are written from the system's time zone, so that the first clock a new user
// sees is right wherever the machine stands. The installed data folder is
// only read.

#include "core/files/sitesettingsfile.h"
#include "core/state.h"
#include "core/time/zonedatabase.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

// --- What the C library says about a zone ---

// A change of the zone's offset, as the local date on which it takes effect.
struct ZoneTransition {
    int year = 0, month = 0, day = 0;   // month 1..12
    int weekday = 0;                    // 0 = Sunday .. 6 = Saturday
    bool toSummer = false;              // the offset grows
    friend bool operator==(const ZoneTransition&, const ZoneTransition&) = default;
};

struct ZoneFacts {
    int januaryOffsetSeconds = 0;   // east of universal time, on 1 January of firstYear
    int julyOffsetSeconds = 0;      // on 1 July of firstYear
    int nowOffsetSeconds = 0;       // at the moment of measuring
    int firstYear = 0;
    int years = 0;                  // transitions cover firstYear .. firstYear + years - 1
    std::vector<ZoneTransition> transitions;
};

// Measures the zone the C library is set to (TZ, else /etc/localtime) at `now`.
ZoneFacts MeasureLocalZone(std::time_t now, int years = 11);
// Measures a zone of the database at `now`, as MeasureLocalZone measures the C library's.
ZoneFacts MeasureZone(const ZoneDatabase& zones, std::string_view zone, sys_seconds now, int years = 11);

// The zone's name: TZ without its leading colon or zoneinfo folder, else the
// zone that /etc/localtime links to, else /etc/timezone; empty when none.
std::string SystemZoneName();

// --- Coordinates ---

// A place in lxp2.par's conventions: latitude negative in the south, longitude
// negative in the east; minutes carry the sign of their degrees' side.
struct Coordinates {
    int latDegrees = 0, latMinutes = 0, lonDegrees = 0, lonMinutes = 0;
    friend bool operator==(const Coordinates&, const Coordinates&) = default;
};

// zone1970.tab's ISO 6709 text, "+4154+01229" or "+404251-0740023",
// rounded to whole minutes; nullopt when it is not of that form.
std::optional<Coordinates> ParseIsoCoordinates(std::string_view text);

// The coordinates that zone1970.tab in zoneinfoDir gives for a zone, the name
// matched directly or through the database's links (US/Eastern is the same
// file as America/New_York); nullopt when the zone is not listed.
std::optional<Coordinates> ZoneCoordinates(const std::filesystem::path& zoneinfoDir,
                                           std::string_view zoneName);

// lxp2.par's place as coordinates (whole degrees and minutes).
Coordinates PlaceOf(const SiteSettings& site);

// --- Deciding the settings ---

// What the installed folder holds: the record whose spare fields and place
// a first start begins from, and the rule it falls back on. A missing or
// damaged file gives Roma and the rule every European zone uses.
struct ShippedSettings {
    SiteSettings site;
    DstRule rule;
};
ShippedSettings ReadShippedSettings(const std::filesystem::path& dataDir);
// The place a first start stores for a zone: zone1970.tab's, else the shipped one.
Coordinates FirstStartPlace(const std::filesystem::path& zoneinfoDir, std::string_view zone,
                            const SiteSettings& shippedSite);

// The zone as lxp2.par can hold it: whole hours rounded down plus a half hour.
struct StoredOffset {
    std::chrono::hours zoneOffset{0};   // -12..12
    std::chrono::minutes halfHour{0};   // 0 or 30
    friend bool operator==(const StoredOffset&, const StoredOffset&) = default;
};
// The nearest offset that can be stored: half-hour steps from -12 to +12 hours.
StoredOffset StorableOffset(std::chrono::seconds offset);

// The month-week-weekday rule whose shown days are the zone's transitions in
// every year of facts; nullopt when no rule expresses them exactly.
std::optional<DstRule> RuleFor(const ZoneFacts& facts, Hemisphere hemisphere);

struct SeededSettings {
    SiteSettings site;              // lxp2.par
    DstRule rule;
    bool ownRule = false;           // the rule is the zone's, not the shipped one
};
// lxp2.par and Parleg.dat for a zone: shippedSite gives the spare fields and,
// without coordinates, the place.
SeededSettings SeedSettings(const ZoneFacts& facts, const std::optional<Coordinates>& place,
                            const SiteSettings& shippedSite, const DstRule& shippedRule);

// --- The directory ---

// $XDG_CONFIG_HOME/vemar, or $HOME/.config/vemar when XDG_CONFIG_HOME is unset,
// empty or relative; empty when neither gives an absolute folder.
std::filesystem::path SettingsDirFor(const char* xdgConfigHome, const char* home);

// Makes settingsDir and fills in what it lacks from dataDir: fusi.dat and
// car.tip copied, lxp2.par and Parleg.dat seeded from the zone, fusi.tz
// copied and casa.tz naming the zone, so a new user's cities and home follow
// the system's time-zone database. Never throws:
// whatever went wrong is returned as lines for the log, and the program's own
// start-up then reports a file that is still missing.
std::vector<std::string> PrepareSettingsDir(const std::filesystem::path& settingsDir,
                                            const std::filesystem::path& dataDir,
                                            const std::filesystem::path& zoneinfoDir,
                                            std::time_t now);

} // namespace vemar
