// The home clock model: universal time from a clock reading, and back to the
// home's own zone as a row shows it. (Real homes and every city all year,
// against the time-zone database: the real-world comparison.)

#include "core/citytime.h"
#include "core/homeclock.h"

#include <gtest/gtest.h>

namespace vemar {
namespace {

struct UniversalCase { const char* why; HomeClock home; int hour, minute; UniversalTime ut; };
const UniversalCase kUniversalCases[] = {
    {"Roma in summer", {1, 1, 0}, 14, 30, {12, 30, 0}},
    {"St John's in summer: behind, with half an hour", {-4, 1, 30}, 23, 50, {26, 20, 0}},
};

TEST(HomeClock, UniversalTimeOfAClockReading) {
    for (const UniversalCase& c : kUniversalCases) {
        const UniversalTime ut = ToUniversal({2026, 3, 29, c.hour, c.minute, 7}, c.home);
        EXPECT_EQ(ut, (UniversalTime{c.ut.hour, c.ut.minute, 7})) << c.why;
    }
}

// Every minute of two days, every zone: going to universal time and back to
// the home's own zone as a city gives the clock reading back.
TEST(HomeClock, RoundTripThroughUniversalTime) {
    for (int zone = -12; zone <= 12; ++zone)
        for (int halfHour : {0, 30})
            for (int minute = 0; minute < 24 * 60; ++minute) {
                const ClockReading local{2026, 6, 1, minute / 60, minute % 60, 0};
                const UniversalTime ut = ToUniversal(local, {zone, 0, halfHour});
                ASSERT_GE(ut.minute, 0);
                ASSERT_LT(ut.minute, 60);
                const CityTime back = CityTimeOf(ut, zone, halfHour ? ZoneClass::HalfHour : ZoneClass::Standard, 0);
                ASSERT_EQ(back, (CityTime{local.hour, local.minute, 0})) << zone << " " << minute;
            }
}

} // namespace
} // namespace vemar
