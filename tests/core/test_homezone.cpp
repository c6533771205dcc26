// The home by the system's zone: when it follows the zone, and what the window then shows of it.

#include "testsupport.h"

#include "core/time/homezone.h"
#include "core/time/systemzones.h"

namespace vemar {
namespace {

// A folder without casa.tz is judged once: on its zone when its settings hold what a first start stores.
TEST(HomeZone, FollowsByOffsetsAsTheFirstStartWouldSetIt) {
    struct Case { const char* why; int standardMinutes; int zone, halfHour, autoDst, summer; bool zoneHasSummer, follows; };
    const Case cases[] = {
        {"Roma, automatic", 60, 1, 0, 1, 0, true, true},
        {"Roma, automatic, in summer", 60, 1, 0, 1, 1, true, true},
        {"another zone in the box", 60, 2, 0, 1, 0, true, false},
        {"a half hour the zone lacks", 60, 1, 30, 1, 0, true, false},
        {"Delhi with its half hour", 330, 5, 30, 0, 0, false, true},
        {"summer time by hand", 60, 1, 0, 0, 0, true, false},
        {"Tokyo, nothing to switch", 540, 9, 0, 0, 0, false, true},
        {"Tokyo with a summer hour set by hand", 540, 9, 0, 0, 1, false, false},
    };
    for (const Case& c : cases) {
        SiteSettings site;
        site.zoneOffset = std::chrono::hours{c.zone};
        site.halfHour = std::chrono::minutes{c.halfHour};
        std::tie(site.autoDst, site.inDstWindow) = std::tie(c.autoDst, c.summer);
        EXPECT_EQ(FollowsByOffsets(std::chrono::minutes{c.standardMinutes}, c.zoneHasSummer, site), c.follows) << c.why;
    }
}

using HomeZoneTest = test::ProgramTest;

// A Sydney user on 15 January 2026, 10:30 local (summer, +11), with the settings its first start writes but
// a summer hour the stored flag gets wrong: the database decides. (Homes left running on their zones,
// across every change: the real-world comparison.)
TEST_F(HomeZoneTest, AHomeOnItsZoneShowsTheZonesSummerAndPeriod) {
    dir.write(kSiteFile, "-33,-52,-151,-13,-10,,0,,,0,,0,,,2,1,0,1\r\n");
    dir.write(kCityZonesFile, "Sydney\tAustralia/Sydney\n");
    platform.zone = "Australia/Sydney";
    platform.clock = {2026, 1, 15, 10, 30, 0, test::Instant(2026, 1, 14, 23, 30)};
    ASSERT_TRUE(program->startUp());
    static const SystemZoneDatabase zones;   // outlives the fixture's program
    program->attachZoneDatabase(zones);
    program->tick();
    test::ExpectShown(view(), {
        "SSPanel5.caption=Ora Legale",
        "SSPanel6.caption=Ora Legale dal 4 Ottobre 2026 al 4 Aprile 2027     (Emisfero Australe)",
        "SSPanel6.tooltip= Ora Legale Applicata nell'emisfero Australe ",
        "Label2(27).caption=23:30:00 ",
        "Label2(16).caption=10:30:00",
        "Label2(16).tooltip= Sydney +11h Australia/Sydney ",
        "Label2(20).caption=18:30:00",   // New York follows its class: -5 in its winter
    });
    EXPECT_EQ(state().site.inDstWindow, 1);
}

} // namespace
} // namespace vemar
