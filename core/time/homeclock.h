#pragma once
// The home's clock model: how the clock reading on the user's desk relates
// to universal time. The rows, the universal-time line, sidereal and local
// mean time and the sun and moon all read universal time from here, so the
// home's summer hour and half hour are applied in exactly one place.

#include "core/platform.h"

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

} // namespace vemar
