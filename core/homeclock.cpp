#include "core/homeclock.h"

namespace vemar {

namespace {

// Floor division: -1 minute is in the hour -1, not 0.
constexpr int floorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr int floorMod(int a, int b) { return a - floorDiv(a, b) * b; }

} // namespace

UniversalTime ToUniversal(const ClockReading& local, const HomeClock& home) {
    const int minutes = local.hour * 60 + local.minute -
                        (home.zoneHours + home.summerHour) * 60 - home.halfHourMinutes;
    return {floorDiv(minutes, 60), floorMod(minutes, 60), local.second};
}

int CitySummerHours(std::string_view zoneClass, int ruleSummer) {
    if (zoneClass == "1") return ruleSummer == 1 ? 1 : 0;
    if (zoneClass == "3") return ruleSummer == 1 ? 0 : 1;
    return 0;
}

CityTime CityTimeOf(const UniversalTime& ut, int offsetHours, std::string_view zoneClass, int ruleSummer) {
    const int halfHour = zoneClass == "2" ? 30 : 0;
    const int minutes = ut.minutesFromLocalMidnight() +
                        (offsetHours + CitySummerHours(zoneClass, ruleSummer)) * 60 + halfHour;
    const int dayMinutes = 24 * 60;
    const int inDay = floorMod(minutes, dayMinutes);
    return {inDay / 60, inDay % 60, floorDiv(minutes, dayMinutes)};
}

} // namespace vemar
