#pragma once
// Sunrise and sunset, moonrise and moonset, sidereal and local mean time for
// the user's place, from the low-precision series of Van Flandern and
// Pulkkinen (1979). Pure functions of plain numbers: angles in radians unless
// a name says degrees, times in hours or days as named.

#include "core/time/calendar.h"

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

// The place with the hours its clock is ahead of universal time, signed
// (west negative), summer hour and half hour included: 5.5 for Delhi.
struct Site {
    Place place;
    double zoneHours = 0;
    friend bool operator==(const Site&, const Site&) = default;
};

// Julian day number J and day fraction F: J + F is the Julian date of 0h UT.
struct DayNumber { double j = 0, f = 0; };
DayNumber CalendarDayNumber(int month, int day, int year);

// Local sidereal angle (radians, 0..2π) at 0h zone time.
// daysFromJ2000: days from 2000 January 1.5 UT to 0h UT of the date;
// zoneMidnightUtDays: UT of 0h zone time (= -zoneHours/24);
// eastLonTurns: east longitude as a fraction of a turn.
double SiderealAtZoneMidnight(double daysFromJ2000, double zoneMidnightUtDays, double eastLonTurns);

struct Equatorial { double raRad = 0, decRad = 0; };
// centuriesFrom1900: (daysFromJ2000 of the date) / 36525 + 1, fixed for the day.
Equatorial SunPosition(double daysFromJ2000, double centuriesFrom1900);
struct MoonEquatorial { double raRad = 0, decRad = 0, distEarthRadii = 0; };
MoonEquatorial MoonPosition(double daysFromJ2000);

enum class EventKind { None, Rise, Set, Neither };  // Neither: a sign change ending exactly at 0

// The horizon test's fixed values for one day.
struct Horizon {
    double sinLat = 0, cosLat = 0;
    double cosZenith = 0;
    double siderealAtMidnightRad = 0;   // at 0h zone time
};
// One hour of a day's scan: the body's place at the hour's start and end.
struct HourSpan {
    int hour = 0;                 // 0..23 after 0h zone time
    Equatorial start, end;
    double startAltitude = 0;     // the previous hour's end; hour 0 computes its own
};
struct HourResult {
    double endAltitude = 0;       // altitude function at the end of the hour
    EventKind kind = EventKind::None;
    double timeHours = 0;         // from 0h zone time, half a minute added
};
HourResult TestHour(const Horizon& horizon, const HourSpan& span);

// "5:07", "21:02", "0:04", "24:00".
std::string EventTimeText(double tHours);

// The day's first rising and last setting, each empty when the sun does not
// cross that way today: a day at the edge of the midnight sun or the polar
// night has one crossing, or a setting before its rising.
struct SunTimes { std::string rise, set; };
SunTimes ComputeSunTimes(const CalendarDate& date, const Site& site);
std::string SunSentence(const SunTimes& times);  // "Il Sole Sorge alle 5:25 e tramonta alle 21:02"

struct MoonEvent { EventKind kind = EventKind::None; double timeHours = 0; };
struct MoonDay {
    std::array<MoonEvent, 24> events{};   // in hour order
    int count = 0;
    double endValue = 0;                  // altitude function at 24h
};
MoonDay ComputeMoonDay(const CalendarDate& date, const Site& site);
std::string MoonSentence(const MoonDay& day);    // "La Luna si leva alle 2:36 e cala alle 14:56"

// Local sidereal time "14:50:01 ".
// homeDate: the home's date; ut: universal time counted from 0h of that date
// (its hour may leave 0..23). Only the place's longitude counts.
std::string SiderealText(const CalendarDate& homeDate, const UniversalTime& ut, const Place& place);

// Local mean time "21:15:00 ", minutes and seconds truncated:
// universal time plus the longitude, with no summer hour in it. A universal
// time before the home's midnight (a negative hour) counts a day later.
std::string LocalMeanTimeText(const UniversalTime& ut, const Place& place);

} // namespace vemar::astro
