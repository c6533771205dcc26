#pragma once
// A city's time of day from universal time: the row's standard offset, its
// summer hour by the rule and its half hour, as its zone class says.

#include "core/time/homeclock.h"
#include "core/state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vemar {

// A city's time of day and its date, as days after the home's date (-1, 0, 1...).
struct CityTime {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int dayDelta = 0;
    friend bool operator==(const CityTime&, const CityTime&) = default;
};

// Hours a city of this class adds in the rule's summer (ruleSummer 1) or
// outside it: northern summer time in the summer, southern the rest of the
// year; every other class none.
int CitySummerHours(ZoneClass zoneClass, int ruleSummer);

// The time of a city of the zone table: universal time, plus its standard
// offset, plus its summer hour by the rule, plus 30 minutes for a half-hour zone.
CityTime CityTimeOf(const UniversalTime& ut, int offsetHours, ZoneClass zoneClass, int ruleSummer);

// The time of a city that follows a zone: the instant (Unix seconds) plus
// the zone's offset now; its date counted from homeDay (days since 1970).
CityTime CityTimeInZone(std::int64_t utcSeconds, int offsetSeconds, std::int64_t homeDay);

// What a row follows, as its tooltips say it: "Kathmandu +5:45h Asia/Kathmandu"
// for a row on a zone (the zone's offset now), "Roma +1h" for a row on its
// class (its standard offset; zone empty).
void RowFollowsText(std::string& out, std::string_view name, int offsetSeconds, std::string_view zone);

} // namespace vemar
