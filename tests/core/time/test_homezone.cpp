// The home by the system's zone: when it follows the zone, and what the window then shows of it.

#include "../testsupport.h"

#include "core/astro.h"
#include "core/firststart.h"
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
        site.zoneOffset = std::chrono::hours{c.zone}, site.halfHour = std::chrono::minutes{c.halfHour};
        std::tie(site.autoDst, site.inDstWindow) = std::tie(c.autoDst, c.summer);
        EXPECT_EQ(FollowsByOffsets(std::chrono::minutes{c.standardMinutes}, c.zoneHasSummer, site), c.follows) << c.why;
    }
}

using HomeZoneTest = test::ProgramTest;

// A Sydney user on 15 January 2026, 10:30 local (summer, +11), with the settings its first start writes but
// a summer hour the stored flag gets wrong: the database decides.
TEST_F(HomeZoneTest, AHomeOnItsZoneShowsTheZonesSummerAndPeriod) {
    dir.write(kSiteFile, "-33,-52,-151,-13,-10,,0,,,0,,0,,,2,1,0,1\r\n");
    dir.write(kCityZonesFile, "Sydney\tAustralia/Sydney\n");
    platform.zone = "Australia/Sydney", platform.clock = {2026, 1, 15, 10, 30, 0, test::Instant(2026, 1, 14, 23, 30)};
    ASSERT_TRUE(program->startUp());
    static const SystemZoneDatabase zones;   // outlives the fixture's program
    program->attachZoneDatabase(zones), program->tick();
    test::ExpectShown(view(), {
        "SSPanel5.caption=Ora Legale",
        "SSPanel6.caption=Ora Legale dal 5 Ottobre 2025 al 5 Aprile 2026     (Emisfero Australe)",   // in force
        "SSPanel6.tooltip= Ora Legale Applicata nell'emisfero Australe ",
        "Label2(27).caption=23:30:00 ",
        "Label2(16).caption=10:30:00",
        "Label2(16).tooltip= Sydney +11h Australia/Sydney, stessa ora ",
        "Label2(20).caption=18:30:00",   // New York follows its class: -5 in its winter
    });
    EXPECT_EQ(state().site.inDstWindow, 1);
    // Every row of page 1 on 15 January: the pair starts with yesterday before 10:00 UT, as the morning window.
    for (auto [hour, first] : {std::pair(9, "Mercoledì  14 Gennaio 2026"), {10, "Giovedì  15 Gennaio 2026"}}) {
        platform.clock = {2026, 1, 15, hour + 11, 30, 0, test::Instant(2026, 1, 15, hour, 30)}, program->tick();
        test::ExpectShown(view(), {std::string("SSPanel2.caption=") + first});
    }
    // Taken off its zone, the home's period is the rule's from the next tick.
    program->zoneBoxChanged("+9"), program->tick();
    test::ExpectShown(view(), {"SSPanel6.caption=Ora Legale dal 25 Ottobre 2026 al 28 Marzo 2027     (Emisfero Australe)"});
}

// A folder as a first start in Roma left it (without casa.tz: one made before), started in `zone` at noon UT.
struct Machine : ::testing::Test {
    test::WorkDir dir{false};
    test::RecordingPlatform platform;
    std::unique_ptr<Program> program = std::make_unique<Program>(platform, dir.path());
    MainView& view() { return program->view(); }
    void TearDown() override { SetWriteFaultForTesting(nullptr); }

    void firstStartInRoma() {
        test::ScopedZone rome("Europe/Rome");
        ASSERT_EQ(PrepareSettingsDir(dir.path(), VEMAR_DATA_DIR, "/usr/share/zoneinfo", test::UtcSeconds(2026, 7, 1)),
                  std::vector<std::string>{});
    }
    void startIn(const char* zone, bool withHomeZoneFile = true) {
        firstStartInRoma();   // a second time changes nothing
        if (!withHomeZoneFile) std::filesystem::remove(dir / kHomeZoneFile);
        platform.zone = zone, at(test::Instant(2026, 7, 15, 12));
        ASSERT_TRUE(program->startUp());
        static const SystemZoneDatabase zones;
        program->attachZoneDatabase(zones), program->tick();
    }
    // The machine's clock reads the instant in its zone.
    void at(sys_seconds instant) {
        test::ScopedZone zone(platform.zone.c_str());
        const std::time_t t = instant.time_since_epoch().count();
        std::tm tm{}; localtime_r(&t, &tm);
        platform.clock = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, instant};
    }
};

// Moved while the program was off: the next start follows the machine, and nothing is left to ask.
TEST_F(Machine, TheNextStartFollowsTheMachine) {
    startIn("Asia/Tokyo");
    EXPECT_EQ(dir.read(kHomeZoneFile), "Asia/Tokyo\n");
    EXPECT_EQ(ReadFields(dir.read(kSiteFile), 18)[4].text, "-9");
    test::ExpectShown(view(), {"Text1.caption=9", "Command1.enabled=0", "Label2(27).caption=12:00:00 ",
                               "Label2(11).caption=21:00:00", "SSPanel5.caption=Ora Solare"});
    ASSERT_TRUE(program->shutDown());
    EXPECT_EQ(platform.questions, std::vector<std::string>{});
}

// A full disk while the home moves: one warning, the write tried again the next minute, nothing fatal.
TEST_F(Machine, AFailedMoveIsOneWarningAndTriedAgainTheNextMinute) {
    startIn("Europe/Rome");
    SetWriteFaultForTesting([](const std::filesystem::path& file) { return file.filename() == kSiteFile; });
    platform.zone = "America/New_York";
    const sys_seconds travel = test::Instant(2026, 7, 15, 12, 0, 20);
    for (int s : {0, 10, 30}) {   // the same minute, twice with the disk full, once with room again
        if (s == 30) SetWriteFaultForTesting(nullptr);
        at(travel + std::chrono::seconds{s}), program->tick();
    }
    EXPECT_EQ(ReadFields(dir.read(kSiteFile), 18)[4].text, "-1") << "not before the next minute";
    EXPECT_EQ(dir.read(kHomeZoneFile), "Europe/Rome\n") << "lxp2.par first";
    at(travel + std::chrono::seconds{45}), program->tick();
    EXPECT_EQ(ReadFields(dir.read(kSiteFile), 18)[4].text, "5");
    EXPECT_EQ(dir.read(kHomeZoneFile), "America/New_York\n");
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0].substr(0, 10), "lxp2.par: ");
    EXPECT_TRUE(platform.warnings[0].ends_with("; nuovo tentativo fra un minuto")) << platform.warnings[0];
    EXPECT_FALSE(program->failed());
    test::ExpectShown(view(), {"Label2(27).caption=12:01:05 ", "Label2(20).caption=  8:01:05"});
}

// A home on its zone reckons the sun on the zone's own offset at local noon: Kathmandu's +5:45 (the table holds
// +5:30); Sydney's +11 on the last day of its summer and +10 the next.
TEST_F(Machine, TheSunOnTheZonesOwnOffset) {
    const std::tuple<const char*, sys_seconds, double> days[] = {{"Asia/Kathmandu", test::Instant(2026, 7, 15, 12), 5.75},
        {"Australia/Sydney", test::Instant(2026, 4, 4, 2), 11}, {"Australia/Sydney", test::Instant(2026, 4, 5, 2), 10}};
    startIn("Asia/Kathmandu");
    for (const auto& [zone, instant, hours] : days) {
        platform.zone = zone, at(instant), program->tick();
        const SiteSettings& site = program->state().site;
        const astro::Site sky{{site.latDegrees, site.latMinutes, site.lonDegrees, site.lonMinutes}, hours};
        const CalendarDate day{platform.clock.day, platform.clock.month, platform.clock.year};
        EXPECT_EQ(view().sunSentence.caption, astro::SunSentence(astro::ComputeSunTimes(day, sky))) << zone << hours;
    }
}

// A zone whose standard offset moves with the year (Casablanca's may): each year's own tells its summer, here
// +2 in 2025 (none) and +1 in 2026 (+2 from 2 January is summer), whatever the rule says of January.
TEST_F(HomeZoneTest, EachYearsOwnStandardOffset) {
    static test::FixedZones zones;
    zones.add("Test/Zone", {{0, 7200}, {test::UtcSeconds(2026, 1, 1), 3600}, {test::UtcSeconds(2026, 1, 2), 7200}});
    dir.write(kCityZonesFile, ""), dir.write(kHomeZoneFile, "Test/Zone\n");
    dir.write(kSiteFile, "41,54,-12,-29,-1,,0,,,0,,0,,,1,1,0,1\r\n");
    platform.zone = "Test/Zone", platform.clock = {2025, 12, 31, 14, 0, 0, test::Instant(2025, 12, 31, 12)};
    ASSERT_TRUE(program->startUp());
    program->attachZoneDatabase(zones), program->tick();
    test::ExpectShown(view(), {"SSPanel5.caption=Ora Solare"});
    platform.clock = {2026, 1, 2, 14, 0, 0, test::Instant(2026, 1, 2, 12)}, program->tick();
    EXPECT_TRUE(program->home().followsZone());
    test::ExpectShown(view(), {"SSPanel5.caption=Ora Legale", "Label2(27).caption=12:00:00 "});
}

// A folder made before casa.tz is judged once, the judgement stored; every row says how far it is from the
// machine's clock, a class row its offset in force: a machine in Roma at noon UT on 15 July 2026, in summer.
TEST_F(Machine, AFolderWithoutTheFileIsJudgedOnceAndRowsSayHowFarTheyAre) {
    const std::pair<const char*, const char*> rows[] = {
        {"Roma", " Roma +2h Europe/Rome, stessa ora "},
        {"New York", " New York -4h America/New_York, 6 h indietro "},
        {"Kathmandu", " Kathmandu +5:45h Asia/Kathmandu, 3 h 45 min avanti "},
        {"Nuova Delhi", " Nuova Delhi +5:30h Asia/Kolkata, 3 h 30 min avanti "},
        {"St Johns", " St Johns -2:30h America/St_Johns, 4 h 30 min indietro "},
        {"Auckland", " Auckland +12h Pacific/Auckland, 10 h avanti "},   // past midnight there: 0:00
        {"Chatham", " Chatham +12:45h Pacific/Chatham, 10 h 45 min avanti "},
        {"Reykjavik", " Reykjavik 0h Atlantic/Reykjavik, 2 h indietro "},
        {"Atlantide", " Atlantide +2h, stessa ora "},   // on its class "1", +1 and the rule's summer
    };
    firstStartInRoma();
    ZoneTable table = ReadZoneTable(dir / kZoneFile);
    for (int k = 0; k < int(std::size(rows)); ++k) table[k] = {rows[k].first, "1", "+1"};
    WriteZoneTable(dir / kZoneFile, table), startIn("Europe/Rome", false);
    EXPECT_EQ(dir.read(kHomeZoneFile), "Europe/Rome\n");
    EXPECT_TRUE(program->home().followsZone());
    for (int k = 0; k < int(std::size(rows)); ++k) EXPECT_EQ(view().rowTimes[k].tooltip, rows[k].second);
    EXPECT_EQ(view().rowTimes[5].caption, "  0:00:00");
}

} // namespace
} // namespace vemar
