#include "core/time/zonedatabase.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <utility>
#include <vector>

namespace vemar {

namespace {

using namespace std::chrono_literals;
using std::chrono::seconds;

sys_seconds NoonUtc(int year, int month, int day) { return StartOfDay({day, month, year}) + 12h; }

// The zone's offsets at noon on 1 January and 1 July: one of the two falls
// in each hemisphere's winter.
std::optional<std::pair<seconds, seconds>> JanuaryAndJuly(const ZoneDatabase& zones, std::string_view zone,
                                                          int year) {
    const auto january = zones.offsetAt(zone, NoonUtc(year, 1, 1));
    const auto july = zones.offsetAt(zone, NoonUtc(year, 7, 1));
    if (!january || !july) return std::nullopt;
    return std::pair{january->ahead, july->ahead};
}

// A change of a zone between summer and standard time.
struct SummerChange {
    sys_seconds at{};        // the instant of the change
    CalendarDate localDate;  // the date on the clock just before it
    bool toSummer = false;
};

// Every change between summer and standard time from `from` to `to`. Changes
// of the standard offset itself (a country moving to another zone) are not
// summer changes and are skipped.
std::vector<SummerChange> SummerChanges(const ZoneDatabase& zones, std::string_view zone, seconds standard,
                                        sys_seconds from, sys_seconds to) {
    std::vector<SummerChange> changes;
    auto span = zones.offsetAt(zone, from);
    // A real zone changes at most a few times a year; the bound only guards
    // against a database that returns empty spans.
    for (int guard = 0; span && span->until < to && span->until > span->from && guard < 1000; ++guard) {
        const auto next = zones.offsetAt(zone, span->until);
        if (!next) break;
        const bool before = span->ahead > standard;
        const bool after = next->ahead > standard;
        if (before != after) {
            const auto local = span->until + span->ahead;
            changes.push_back({span->until, CivilFromDays(std::chrono::floor<std::chrono::days>(local)
                                                              .time_since_epoch().count()), after});
        }
        span = next;
    }
    return changes;
}

} // namespace

sys_seconds StartOfDay(const CalendarDate& date) {
    return sys_seconds{std::chrono::days{DaysFromCivil(date)}};
}

std::optional<seconds> StandardOffset(const ZoneDatabase& zones, std::string_view zone, int year) {
    const auto offsets = JanuaryAndJuly(zones, zone, year);
    if (!offsets) return std::nullopt;
    return std::min(offsets->first, offsets->second);
}

bool HasSummerTime(const ZoneDatabase& zones, std::string_view zone, int year) {
    const auto offsets = JanuaryAndJuly(zones, zone, year);
    return offsets && offsets->first != offsets->second;
}

std::optional<SummerPeriod> SummerPeriodOf(const ZoneDatabase& zones, std::string_view zone,
                                           const CalendarDate& today) {
    const int year = today.year;
    const auto standard = StandardOffset(zones, zone, year);
    if (!standard) return std::nullopt;
    // From the year before (a southern summer in force on 1 January) to the
    // end of the next (a southern summer that starts this year ends in it).
    const auto changes = SummerChanges(zones, zone, *standard, StartOfDay({1, 1, year - 1}), StartOfDay({1, 1, year + 2}));
    std::vector<SummerPeriod> periods;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!changes[i].toSummer) continue;
        const auto end = std::find_if(changes.begin() + i + 1, changes.end(), [](const SummerChange& c) { return !c.toSummer; });
        if (end != changes.end()) periods.push_back({changes[i].localDate, end->localDate});
    }
    const auto day = [](const CalendarDate& d) { return DaysFromCivil(d); };
    for (const SummerPeriod& p : periods)
        if (day(p.start) <= day(today) && day(today) < day(p.end)) return p;
    for (const SummerPeriod& p : periods)
        if (p.start.year == year) return p;
    return std::nullopt;
}

std::optional<ZoneClass> ZoneFactsClass(const ZoneDatabase& zones, std::string_view zone, int year) {
    const auto offsets = JanuaryAndJuly(zones, zone, year);
    if (!offsets) return std::nullopt;
    const auto [january, july] = *offsets;
    if (january % 1h != 0s || july % 1h != 0s) return ZoneClass::HalfHour;
    if (january == july) return ZoneClass::Standard;
    return january > july ? ZoneClass::SouthernSummer : ZoneClass::NorthernSummer;
}

void AppendOffsetText(std::string& out, seconds offset) {
    if (offset == 0s) {
        out += '0';
        return;
    }
    const int minutes = static_cast<int>(std::abs(offset.count()) / 60);
    out += offset > 0s ? '+' : '-';
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, minutes / 60).ptr;
    out.append(digits, end);
    if (minutes % 60 != 0) {
        out += ':';
        out += char('0' + minutes % 60 / 10);
        out += char('0' + minutes % 10);
    }
}

} // namespace vemar
