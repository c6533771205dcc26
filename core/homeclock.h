#pragma once
// The home's clock model: how the clock reading on the user's desk relates
// to universal time, and from universal time to any city's time of day.
// The rows, the universal-time line, sidereal and local mean time and the
// sun and moon all read universal time from here, so the hemisphere, the
// summer hour and the half hour are applied in exactly one place.

#include "platform.h"

#include <string_view>

namespace vemar {

// The home zone as the settings describe it.
struct HomeClock {
    int zoneHours = 0;        // standard offset, hours ahead of universal time (-12..12)
    int summerHour = 0;       // InDstWindow: 1 while the home's clock holds a summer hour, either hemisphere
    int halfHourMinutes = 0;  // SiteHalfHour: 0 or 30, further ahead of universal time

    // Hours the home's clock is ahead of universal time now, e.g. 5.5 for Delhi.
    double aheadOfUtHours() const { return zoneHours + summerHour + halfHourMinutes / 60.0; }
};

// Universal time of a clock reading, counted from 0h of the reading's own
// date: hour may be -13..37 (the day before or after), minute 0..59.
struct UniversalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int minutesFromLocalMidnight() const { return hour * 60 + minute; }
    friend bool operator==(const UniversalTime&, const UniversalTime&) = default;
};
UniversalTime ToUniversal(const ClockReading& local, const HomeClock& home);

// A city's time of day and its date, as days after the home's date (-1, 0, 1...).
struct CityTime {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int dayDelta = 0;
    friend bool operator==(const CityTime&, const CityTime&) = default;
};

// Hours a city of this zone class adds in the rule's summer (ruleSummer 1)
// or outside it: class "1" keeps northern summer time, class "3" southern
// (the rest of the year); every other class none.
int CitySummerHours(std::string_view zoneClass, int ruleSummer);

// The time of a city of the zone table: universal time, plus its standard
// offset, plus its summer hour by the rule, plus 30 minutes for class "2".
CityTime CityTimeOf(const UniversalTime& ut, int offsetHours, std::string_view zoneClass, int ruleSummer);

} // namespace vemar
