#pragma once
// Sunrise and sunset, moonrise and moonset, sidereal and local mean time for
// the user's place, from the low-precision series of Van Flandern and
// Pulkkinen (1979). Pure functions of plain numbers: angles in radians unless
// a name says degrees, times in hours or days as named.

#include "core/homeclock.h"

#include <array>
#include <string>

namespace vemar::astro {

// The place as stored: degrees and minutes carry their own signs; east
// longitudes are negative (LonDegrees > 0 is west of Greenwich).
struct Place {
    double latDegrees = 0, latMinutes = 0;
    double lonDegrees = 0, lonMinutes = 0;
    friend bool operator==(const Place&, const Place&) = default;
};

// Julian day number J and day fraction F: J + F is the Julian date of 0h UT.
struct DayNumber { double j = 0, f = 0; };
DayNumber CalendarDayNumber(int month, int day, int year);

// Local sidereal angle (radians, 0..2π) at 0h zone time.
// t: days from 2000 January 1.5 UT to 0h UT of the date; z0: UT of 0h zone
// time in days (= -zoneHours/24); l5: east longitude as a fraction of a turn.
double SiderealAtZoneMidnight(double t, double z0, double l5);

struct Equatorial { double ra = 0, dec = 0; };           // radians
Equatorial SunPosition(double t, double tt);             // tt: centuries from 1900 + ...
struct MoonEquatorial { double ra = 0, dec = 0, distEarthRadii = 0; };
MoonEquatorial MoonPosition(double t);

enum class EventKind { None, Rise, Set, Neither };  // Neither: a sign change ending exactly at 0

// The horizon test's fixed values for one day.
struct Horizon {
    double sinLat = 0, cosLat = 0;   // S, C
    double cosZenith = 0;            // Z
    double t0 = 0;                   // sidereal angle at 0h zone time
};
struct HourResult {
    double v2 = 0;                   // altitude function at the end of the hour
    EventKind kind = EventKind::None;
    double timeHours = 0;            // from 0h zone time, half a minute added
};
// c: hour 0..23. For c == 0, v0 is ignored and computed from a0, d0.
HourResult TestHour(const Horizon& h, int c, double a0, double d0, double a2, double d2, double v0);

// "5:07", "21:02", "0:04", "24:00".
std::string EventTimeText(double tHours);

struct SunTimes { std::string first, last; };   // empty when the sun does not cross
// zoneHours: hours the home's clock is ahead of universal time, signed (west
// negative), summer hour and half hour included: 5.5 for Delhi.
SunTimes ComputeSunTimes(int year, int month, int day, const Place& place, double zoneHours);
std::string SunSentence(const SunTimes& times);  // "Il Sole Sorge alle 5:25 e tramonta alle 21:02"

struct MoonEvent { EventKind kind = EventKind::None; double timeHours = 0; };
struct MoonDay {
    std::array<MoonEvent, 24> events{};   // in hour order
    int count = 0;
    double endValue = 0;                  // altitude function at 24h
};
MoonDay ComputeMoonDay(int year, int month, int day, const Place& place, double zoneHours);
std::string MoonSentence(const MoonDay& day);    // "La Luna si leva alle 2:36 e cala alle 14:56"

// Label2(29): local sidereal time "14:50:01 ".
// year, month, day: the home's date; ut: universal time counted from 0h of
// that date (its hour may leave 0..23).
std::string SiderealText(int year, int month, int day, const UniversalTime& ut,
                         double lonDegrees, double lonMinutes);

// Label2(28): local mean time "21:15:00 ", minutes and seconds truncated:
// universal time plus the longitude, with no summer hour in it.
std::string LocalMeanTimeText(double utHour, double utMinutes, int second,
                              double lonDegrees, double lonMinutes);

} // namespace vemar::astro
