#include "core/time/citytime.h"

#include "core/time/calendar.h"
#include "core/time/zonedatabase.h"

namespace vemar {

int CitySummerHours(ZoneClass zoneClass, int ruleSummer) {
    switch (zoneClass) {
    case ZoneClass::NorthernSummer: return ruleSummer == 1 ? 1 : 0;
    case ZoneClass::SouthernSummer: return ruleSummer == 1 ? 0 : 1;
    default: return 0;
    }
}

CityTime CityTimeOf(const UniversalTime& ut, int offsetHours, ZoneClass zoneClass, int ruleSummer) {
    const int halfHour = zoneClass == ZoneClass::HalfHour ? 30 : 0;
    const int minutes = ut.minutesFromLocalMidnight() +
                        (offsetHours + CitySummerHours(zoneClass, ruleSummer)) * 60 + halfHour;
    constexpr int kDayMinutes = 24 * 60;
    const int inDay = FloorMod(minutes, kDayMinutes);
    return {inDay / 60, inDay % 60, FloorDiv(minutes, kDayMinutes)};
}

CityTime CityTimeInZone(std::int64_t utcSeconds, int offsetSeconds, std::int64_t homeDay) {
    constexpr std::int64_t kDaySeconds = 24 * 3600;
    const std::int64_t local = utcSeconds + offsetSeconds;
    const std::int64_t day = FloorDiv(local, kDaySeconds);
    const int inDay = static_cast<int>(local - day * kDaySeconds);
    return {inDay / 3600, inDay % 3600 / 60, static_cast<int>(day - homeDay)};
}

void RowFollowsText(std::string& out, std::string_view name, int offsetSeconds, std::string_view zone) {
    out.assign(name).append(" ");
    AppendOffsetText(out, offsetSeconds);
    out += 'h';
    if (!zone.empty()) out.append(" ").append(zone);
}

} // namespace vemar
