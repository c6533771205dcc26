// What the program derives from the time-zone database: a year's standard offset, its summer period, the
// offsets as tooltips show them. The system's tzdata is the reference where it has the case; a fixed table
// stands in for what it cannot show.

#include "testsupport.h"

#include "core/time/systemzones.h"


namespace vemar {
namespace {

TEST(ZoneDatabase, OffsetText) {
    const std::pair<int, const char*> cases[] = {
        {0, "0"}, {3600, "+1"}, {-18000, "-5"}, {19800, "+5:30"}, {20700, "+5:45"}, {-9000, "-2:30"}, {45900, "+12:45"},
    };
    for (const auto& [seconds, text] : cases) {
        std::string out = "x";   // appended to what is there
        AppendOffsetText(out, seconds);
        EXPECT_EQ(out, "x" + std::string(text)) << seconds;
    }
}

// The system's tzdata over 2026: standard offsets and summer periods as the C library's own transitions
// give them (the local date read just before each change).
struct PeriodCase {
    const char* zone;
    int standardSeconds;
    bool hasSummer;
    std::optional<SummerPeriod> period;
};
const PeriodCase kPeriods[] = {
    {"Europe/Rome", 3600, true, SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}},
    {"America/New_York", -18000, true, SummerPeriod{{8, 3, 2026}, {1, 11, 2026}}},
    {"US/Eastern", -18000, true, SummerPeriod{{8, 3, 2026}, {1, 11, 2026}}},   // a link
    {"Australia/Sydney", 36000, true, SummerPeriod{{4, 10, 2026}, {4, 4, 2027}}},
    {"America/Santiago", -14400, true, SummerPeriod{{6, 9, 2026}, {4, 4, 2027}}},
    {"Pacific/Auckland", 43200, true, SummerPeriod{{27, 9, 2026}, {4, 4, 2027}}},
    // Half an hour of summer time.
    {"Australia/Lord_Howe", 37800, true, SummerPeriod{{4, 10, 2026}, {4, 4, 2027}}},
    // Its "daylight saving" flag is set in winter: the larger offset is still summer.
    {"Europe/Dublin", 0, true, SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}},
    {"Asia/Tokyo", 32400, false, std::nullopt},
    {"Asia/Kathmandu", 20700, false, std::nullopt},
};

TEST(ZoneDatabase, StandardOffsetAndSummerPeriodOf2026) {
    const SystemZoneDatabase zones;
    ASSERT_EQ(zones.failure(), "");
    const std::int64_t midYear = test::UtcSeconds(2026, 7, 1);
    for (const PeriodCase& c : kPeriods) {
        SCOPED_TRACE(c.zone);
        EXPECT_EQ(StandardOffsetSeconds(zones, c.zone, 2026), c.standardSeconds);
        EXPECT_EQ(HasSummerTime(zones, c.zone, 2026), c.hasSummer);
        EXPECT_EQ(SummerPeriodOf(zones, c.zone, 2026, midYear), c.period);
    }
    EXPECT_EQ(zones.offsetAt("Nowhere/Atlantis", midYear), std::nullopt);
    EXPECT_EQ(zones.offsetAt("", midYear), std::nullopt);
}

// A southern zone whose summer of 2025-26 is its last: in 2026 no summer starts, so the text shows the one
// in force while it lasts, then none.
TEST(ZoneDatabase, SummerPeriodInForceWhenNoneStarts) {
    test::FixedZones zones;
    zones.add("South/Ending", {{0, -10800},
                               {test::UtcSeconds(2025, 10, 5, 3), -7200},
                               {test::UtcSeconds(2026, 3, 1, 2), -10800}});
    const SummerPeriod lastOne{{5, 10, 2025}, {1, 3, 2026}};
    EXPECT_EQ(SummerPeriodOf(zones, "South/Ending", 2026, test::UtcSeconds(2026, 2, 1)), lastOne);
    EXPECT_EQ(SummerPeriodOf(zones, "South/Ending", 2026, test::UtcSeconds(2026, 6, 1)), std::nullopt);
    EXPECT_EQ(SummerPeriodOf(zones, "South/Ending", 2025, test::UtcSeconds(2025, 11, 1)), lastOne);
}

} // namespace
} // namespace vemar
