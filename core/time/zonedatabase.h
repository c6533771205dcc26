#pragma once
// The system's time-zone database as the core sees it: a zone by name gives
// its offset from universal time at an instant. The real database
// (systemzones.h) and the tests' fixed tables implement it; what the program
// derives from it (the standard offset of a year, summer time, the year's
// summer period) is written once, here, on top of that one question.

#include "core/state.h"
#include "core/time/calendar.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemar {

using std::chrono::sys_seconds;

// A zone's offset and the instants over which it holds, from <= t < until,
// so a caller asks again only when time leaves the span.
struct ZoneOffset {
    std::chrono::seconds ahead{0};   // of universal time, summer time included: 5h 30min for +5:30
    sys_seconds from{};
    sys_seconds until{};
    bool holdsAt(sys_seconds t) const { return from <= t && t < until; }
};

class ZoneDatabase {
public:
    virtual ~ZoneDatabase() = default;
    // Why the database cannot answer at all (none is installed); empty when it can.
    virtual std::string failure() const = 0;
    // nullopt for a zone the database does not know. Never throws.
    virtual std::optional<ZoneOffset> offsetAt(std::string_view zone, sys_seconds instant) const = 0;
};

// The instant of 0h universal time of a date, and of a time of day on it.
sys_seconds StartOfDay(const CalendarDate& date);

// The zone's standard offset in a year: the smaller of its offsets on 1
// January and 1 July, noon UTC. A "daylight saving" flag would not do:
// Dublin's is set in winter, with a negative hour.
std::optional<std::chrono::seconds> StandardOffset(const ZoneDatabase& zones, std::string_view zone, int year);
// The zone moves its clocks in that year: its 1 January and 1 July offsets differ.
bool HasSummerTime(const ZoneDatabase& zones, std::string_view zone, int year);

// A summer period of a zone, as local dates: the day its clocks go forward
// and the day they go back, each read on the clock as it stood just before.
struct SummerPeriod {
    CalendarDate start, end;
    friend bool operator==(const SummerPeriod&, const SummerPeriod&) = default;
};
// The summer period in force on a local date (from its first day to the
// day before its last, when the clocks go back early in the morning); else
// the one that starts in that date's year; nullopt when neither exists. A
// southern summer shows while it lasts, then next season's.
std::optional<SummerPeriod> SummerPeriodOf(const ZoneDatabase& zones, std::string_view zone,
                                           const CalendarDate& today);

// What a zone's clocks do in a year, as the legend under the city table
// tells it by colour: an offset that is not a whole hour; summer time within
// the year (1 July in it), or across the new year (1 January in it); none.
// nullopt for a zone the database does not know.
std::optional<ZoneClass> ZoneFactsClass(const ZoneDatabase& zones, std::string_view zone, int year);

// Appends "+5:45", "+1", "0", "-3:30": an offset as the rows' tooltips show it.
void AppendOffsetText(std::string& out, std::chrono::seconds offset);

} // namespace vemar
