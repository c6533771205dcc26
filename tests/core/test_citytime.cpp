// A city row's time and date from universal time by its zone class.

#include "core/citytime.h"

#include <gtest/gtest.h>

namespace vemar {
namespace {

// The class is parsed from the row's text as fusi.dat holds it.
struct CityCase { const char* why; int utHour, utMinute, offset; const char* zoneClass; int ruleSummer; CityTime time; };
const CityCase kCityCases[] = {
    {"class 1 in the rule's summer", 12, 30, 1, "1", 1, {14, 30, 0}},
    {"class 3 in the rule's summer is in winter", 12, 30, 10, "3", 1, {22, 30, 0}},
    {"an unknown class: offset only", 12, 40, 5, "7", 1, {17, 40, 0}},
    {"a class of two characters is unknown", 12, 40, 5, "11", 1, {17, 40, 0}},
    {"an empty class is unknown", 12, 40, 5, "", 0, {17, 40, 0}},
    {"universal time already the day after", 26, 0, 1, "1", 0, {3, 0, 1}},
    {"far behind on the day before", 1, 0, -12, "0", 0, {13, 0, -1}},
};

TEST(CityTime, TimeAndDateOfARow) {
    for (const CityCase& c : kCityCases)
        EXPECT_EQ(CityTimeOf({c.utHour, c.utMinute, 0}, c.offset, ZoneClassOf(c.zoneClass), c.ruleSummer), c.time)
            << c.why;
}

} // namespace
} // namespace vemar
