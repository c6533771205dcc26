#include "core/time/homeclock.h"

#include "core/time/calendar.h"

namespace vemar {

UniversalTime ToUniversal(const ClockReading& local, const HomeClock& home) {
    const int minutes = local.hour * 60 + local.minute -
                        (home.zoneHours + home.summerHour) * 60 - home.halfHourMinutes;
    return {FloorDiv(minutes, 60), FloorMod(minutes, 60), local.second};
}

} // namespace vemar
