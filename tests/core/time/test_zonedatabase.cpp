// A zone's standard offset, summer period and offset texts: by the system's tzdata, else a fixed table.

#include "../testsupport.h"

#include "core/time/systemzones.h"

namespace vemar {
namespace {

TEST(ZoneDatabase, OffsetText) {
    const std::pair<int, const char*> cases[] = {{0, "0"}, {3600, "+1"}, {-18000, "-5"}, {19800, "+5:30"},
                                                 {20700, "+5:45"}, {-9000, "-2:30"}, {45900, "+12:45"}};
    for (const auto& [seconds, text] : cases) {
        std::string out = "x";   // appended to what is there
        AppendOffsetText(out, std::chrono::seconds{seconds});
        EXPECT_EQ(out, "x" + std::string(text)) << seconds;
    }
}

// 2026's standard offsets, legend classes and summer periods on 1 July, each change dated by the clock before it.
struct PeriodCase { const char* zone; int standardSeconds; ZoneClass facts; std::optional<SummerPeriod> period; };
constexpr auto North = ZoneClass::NorthernSummer, South = ZoneClass::SouthernSummer;
const PeriodCase kPeriods[] = {
    {"Europe/Rome", 3600, North, SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}},
    {"America/New_York", -18000, North, SummerPeriod{{8, 3, 2026}, {1, 11, 2026}}},
    {"US/Eastern", -18000, North, SummerPeriod{{8, 3, 2026}, {1, 11, 2026}}},   // a link
    {"Australia/Sydney", 36000, South, SummerPeriod{{4, 10, 2026}, {4, 4, 2027}}},
    {"America/Santiago", -14400, South, SummerPeriod{{6, 9, 2026}, {4, 4, 2027}}},
    {"Pacific/Auckland", 43200, South, SummerPeriod{{27, 9, 2026}, {4, 4, 2027}}},
    // Half an hour of summer time: the half hour decides its colour.
    {"Australia/Lord_Howe", 37800, ZoneClass::HalfHour, SummerPeriod{{4, 10, 2026}, {4, 4, 2027}}},
    // Its "daylight saving" flag is set in winter: the larger offset is still summer.
    {"Europe/Dublin", 0, North, SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}},
    {"Asia/Tokyo", 32400, ZoneClass::Standard, std::nullopt},
    {"Asia/Kathmandu", 20700, ZoneClass::HalfHour, std::nullopt},
};

TEST(ZoneDatabase, StandardOffsetClassAndSummerPeriodOf2026) {
    const SystemZoneDatabase zones;
    ASSERT_EQ(zones.failure(), "");
    for (const PeriodCase& c : kPeriods) {
        SCOPED_TRACE(c.zone);
        EXPECT_EQ(StandardOffset(zones, c.zone, 2026), std::chrono::seconds{c.standardSeconds});
        EXPECT_EQ(ZoneFactsClass(zones, c.zone, 2026), c.facts);
        EXPECT_EQ(SummerPeriodOf(zones, c.zone, {1, 7, 2026}), c.period);
    }
    // 1 July is read, not a later day: San Juan was at -4 from 31 May to 25 July 2004, else at -3.
    EXPECT_EQ(StandardOffset(zones, "America/Argentina/San_Juan", 2004), std::chrono::hours{-4});
    EXPECT_EQ(zones.offsetAt("Nowhere/Atlantis", test::Instant(2026, 7, 1)), std::nullopt);
    EXPECT_EQ(ZoneFactsClass(zones, "", 2026), std::nullopt);
}

// The period a home is in, until it ends; then this year's. A southern zone whose summer of 2025-26 is its
// last shows it while it lasts, then none.
TEST(ZoneDatabase, SummerPeriodInForce) {
    const SystemZoneDatabase system;
    test::FixedZones ending;
    ending.add("South/Ending",
               {{0, -10800}, {test::UtcSeconds(2025, 10, 5, 3), -7200}, {test::UtcSeconds(2026, 3, 1, 2), -10800}});
    const SummerPeriod sydney2025{{5, 10, 2025}, {5, 4, 2026}}, sydney2026{{4, 10, 2026}, {4, 4, 2027}},
        lastOne{{5, 10, 2025}, {1, 3, 2026}};
    struct Case {
        const ZoneDatabase& zones; const char* zone; CalendarDate today; std::optional<SummerPeriod> period;
    };
    const Case cases[] = {
        {system, "Australia/Sydney", {1, 2, 2026}, sydney2025},
        {system, "Australia/Sydney", {4, 4, 2026}, sydney2025},   // its last day
        {system, "Australia/Sydney", {5, 4, 2026}, sydney2026},   // the clocks went back in the night
        {system, "Australia/Sydney", {31, 12, 2026}, sydney2026},
        {system, "Europe/Rome", {15, 11, 2026}, SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}},
        {ending, "South/Ending", {1, 2, 2026}, lastOne},
        {ending, "South/Ending", {1, 6, 2026}, std::nullopt},
        {ending, "South/Ending", {1, 11, 2025}, lastOne},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SummerPeriodOf(c.zones, c.zone, c.today), c.period) << c.zone << " " << c.today.day << "/"
                                                                       << c.today.month;
}

} // namespace
} // namespace vemar
