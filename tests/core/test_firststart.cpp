#include "core/firststart.h"

#include "core/dst.h"
#include "testsupport.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace vemar {
namespace {

namespace fs = std::filesystem;
using test::WorkDir;

const fs::path kZoneinfo = "/usr/share/zoneinfo";

using test::ScopedZone;

std::time_t Utc(int year, int month, int day) {
    using namespace std::chrono;
    return system_clock::to_time_t(sys_days{std::chrono::year{year} / month / day} + hours{12});
}

struct OffsetCase { const char* zone; int seconds; StoredOffset expected; };
const OffsetCase kOffsetCases[] = {
    {"Europe/Rome", 3600, {1, 0}},
    {"UTC", 0, {0, 0}},
    {"America/New_York", -5 * 3600, {-5, 0}},
    {"America/St_Johns", -(3 * 3600 + 1800), {-4, 30}},   // whole hours rounded down
    {"Asia/Kolkata", 5 * 3600 + 1800, {5, 30}},
    {"Pacific/Marquesas", -(9 * 3600 + 1800), {-10, 30}},
    {"Asia/Kathmandu", 5 * 3600 + 2700, {6, 0}},           // a quarter hour: the nearer half hour
    {"Australia/Eucla", 8 * 3600 + 2700, {9, 0}},
    {"Pacific/Chatham", 12 * 3600 + 2700, {12, 0}},         // beyond 12 hours: 12
    {"Pacific/Kiritimati", 14 * 3600, {12, 0}},
    {"Etc/GMT+12", -12 * 3600, {-12, 0}},
};

TEST(FirstStart, StorableOffset) {
    for (const OffsetCase& c : kOffsetCases) EXPECT_EQ(StorableOffset(c.seconds), c.expected) << c.zone;
}

struct CoordinatesCase { const char* text; std::optional<Coordinates> expected; };
const CoordinatesCase kCoordinatesCases[] = {
    {"+4154+01229", Coordinates{41, 54, -12, -29}},          // Rome: east is negative
    {"+404251-0740023", Coordinates{40, 43, 74, 0}},        // New York: seconds rounded
    {"-3352+15113", Coordinates{-33, -52, -151, -13}},      // Sydney: south is negative
    {"+4734-05243", Coordinates{47, 34, 52, 43}},           // St John's
    {"-0013-07830", Coordinates{0, -13, 78, 30}},           // Quito: minutes carry the side
    {"+4154+0122", std::nullopt},
    {"4154+01229", std::nullopt},
    {"+4199+01229", std::nullopt},
    {"", std::nullopt},
};

TEST(FirstStart, ParseIsoCoordinates) {
    for (const CoordinatesCase& c : kCoordinatesCases) EXPECT_EQ(ParseIsoCoordinates(c.text), c.expected) << c.text;
}

// Links are found through the database's own files, as installed.
struct ZoneNameCase { const char* zone; std::optional<Coordinates> expected; };
const ZoneNameCase kZoneNameCases[] = {
    {"Asia/Calcutta", Coordinates{22, 32, -88, -22}},
    {"Etc/UTC", std::nullopt},
    {"Nowhere/Town", std::nullopt},
    {"", std::nullopt},
};

TEST(FirstStart, ZoneCoordinatesFromTheSystemDatabase) {
    for (const ZoneNameCase& c : kZoneNameCases) EXPECT_EQ(ZoneCoordinates(kZoneinfo, c.zone), c.expected) << c.zone;
}

TEST(FirstStart, ZoneCoordinatesThroughAHardLink) {
    WorkDir db(false);
    db.write("zone1970.tab", "# comment\nXX\t+1000+02000\tTest/Zone\tthe one\n");
    fs::create_directories(db / "Test");
    fs::create_directories(db / "Old");
    db.write("Test/Zone", "TZif");
    fs::create_hard_link(db / "Test/Zone", db / "Old/Name");
    EXPECT_EQ(ZoneCoordinates(db.path(), "Old/Name"), (Coordinates{10, 0, -20, 0}));
    EXPECT_EQ(ZoneCoordinates(db.path(), "Test/Zone"), (Coordinates{10, 0, -20, 0}));
}

// What the first start decides for a zone, measured by the C library on
// 15 January 2026; the place and rule come from the system's database.
// (More zones, started as a new user starts them: the end-to-end runs.)
struct ZoneCase {
    const char* zone;
    int storedZone, halfHour, hemisphere, autoDst;
    std::optional<DstRule> ownRule;   // nullopt: the shipped rule stays
};
const ZoneCase kZoneCases[] = {
    {"Europe/Rome", -1, 0, 1, 1, DstRule{2, 4, 0, 9, 4, 0}},
    {"America/New_York", 5, 0, 1, 1, std::nullopt},     // second Sunday of March: no week says it every year
    {"Australia/Sydney", -10, 0, 2, 1, DstRule{3, 0, 0, 9, 0, 0}},   // first Sundays of April and October
    {"America/St_Johns", 4, 30, 1, 1, std::nullopt},
    {"Europe/London", 0, 0, 1, 1, DstRule{2, 4, 0, 9, 4, 0}},
};

TEST(FirstStart, SeedsFromTheSystemZone) {
    const DstRule shipped{2, 4, 0, 9, 4, 0};
    const std::vector<FieldValue> shippedSite = ReadFields("41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", 18);
    for (const ZoneCase& c : kZoneCases) {
        ScopedZone zone(c.zone);
        const ZoneFacts facts = MeasureLocalZone(Utc(2026, 1, 15));
        const SeededSettings s = SeedSettings(facts, ZoneCoordinates(kZoneinfo, c.zone), shippedSite, shipped);
        auto n = [&](int field) { return s.site[std::size_t(field - 1)].text; };
        EXPECT_EQ(n(5), std::to_string(c.storedZone)) << c.zone;
        EXPECT_EQ(n(15), std::to_string(c.hemisphere)) << c.zone;
        EXPECT_EQ(n(17), std::to_string(c.halfHour)) << c.zone;
        EXPECT_EQ(n(18), std::to_string(c.autoDst)) << c.zone;
        // In January only the south holds its summer hour.
        EXPECT_EQ(n(7), c.autoDst && c.hemisphere == 2 ? "1" : "0") << c.zone;
        EXPECT_EQ(std::stoi(n(7)) + std::stoi(n(16)), 1) << c.zone;
        EXPECT_EQ(s.ownRule, c.ownRule.has_value()) << c.zone;
        EXPECT_EQ(s.rule, c.ownRule.value_or(shipped)) << c.zone;
        for (int spare : {6, 8, 9, 11, 13, 14}) EXPECT_EQ(s.site[std::size_t(spare - 1)].kind, FieldValue::Kind::Empty);
        EXPECT_EQ(n(10), "0");
        EXPECT_EQ(n(12), "0");
    }
}

// The rule found for a zone puts its shown days on the zone's own
// transitions in every year measured.
TEST(FirstStart, OwnRuleMatchesEveryTransition) {
    for (const char* name : {"Europe/Rome", "Australia/Sydney", "Europe/London", "Pacific/Auckland"}) {
        ScopedZone zone(name);
        const ZoneFacts facts = MeasureLocalZone(Utc(2026, 7, 1));
        ASSERT_EQ(facts.transitions.size(), 22u) << name;
        const bool south = facts.januaryOffsetSeconds > facts.julyOffsetSeconds;
        const Hemisphere hemisphere = south ? Hemisphere::South : Hemisphere::North;
        const auto rule = RuleFor(facts, hemisphere);
        ASSERT_TRUE(rule) << name;
        for (std::size_t i = 0; i < facts.transitions.size(); i += 2) {
            const ZoneTransition& a = facts.transitions[i];
            const ZoneTransition& b = facts.transitions[i + 1];
            EXPECT_EQ(TransitionDay(rule->monthA, rule->weekA, rule->weekdayA, a.year), a.day) << name << " " << a.year;
            EXPECT_EQ(TransitionDay(rule->monthB, rule->weekB, rule->weekdayB, b.year), b.day) << name << " " << b.year;
        }
        // Asked for the wrong hemisphere, no rule fits.
        EXPECT_FALSE(RuleFor(facts, south ? Hemisphere::North : Hemisphere::South)) << name;
    }
}

TEST(FirstStart, WithoutAPlaceTheSeasonGivesTheHemisphere) {
    ZoneFacts south;
    south.januaryOffsetSeconds = 11 * 3600;
    south.julyOffsetSeconds = 10 * 3600;
    south.nowOffsetSeconds = 10 * 3600;
    const std::vector<FieldValue> shippedSite = ReadFields("41,54,-12,-29,-1,\"x\",1,,,7,,0,,,1,0,0,1\r\n", 18);
    const SeededSettings s = SeedSettings(south, std::nullopt, shippedSite, DstRule{});
    EXPECT_EQ(WriteFieldLine(s.site), "41,54,-12,-29,-10,\"x\",0,,,7,,0,,,2,1,0,1\r\n");
    EXPECT_FALSE(s.ownRule);
}

struct DirCase { const char* xdg; const char* home; const char* expected; };
const DirCase kDirCases[] = {
    {"/x/conf", "/home/u", "/x/conf/vemar"},
    {nullptr, "/home/u", "/home/u/.config/vemar"},
    {"", "/home/u", "/home/u/.config/vemar"},
    {"relative/conf", "/home/u", "/home/u/.config/vemar"},   // the base-directory rules ignore it
    {nullptr, nullptr, ""},
    {nullptr, "", ""},
};

TEST(FirstStart, SettingsDirFor) {
    for (const DirCase& c : kDirCases)
        EXPECT_EQ(SettingsDirFor(c.xdg, c.home), fs::path(c.expected)) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
}

std::map<std::string, std::string> Contents(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = ReadFileBytes(e.path()).value_or("");
    return files;
}

TEST(FirstStart, PrepareSeedsOnceAndNeverWritesTheData) {
    ScopedZone zone("Asia/Kolkata");
    WorkDir home(false);
    const fs::path settings = home / "conf/vemar";
    const auto dataBefore = Contents(VEMAR_DATA_DIR);

    EXPECT_TRUE(PrepareSettingsDir(settings, VEMAR_DATA_DIR, kZoneinfo, Utc(2026, 7, 15)).empty());
    std::map<std::string, std::string> expected;   // the sound is played from the data folder
    for (const char* name : {"fusi.dat", "fusi.tz", "car.tip", "Parleg.dat"}) expected[name] = dataBefore.at(name);
    expected["lxp2.par"] = "22,32,-88,-22,-5,,0,,,0,,0,,,1,1,30,0\r\n";
    EXPECT_EQ(Contents(settings), expected);

    // A user's own settings survive the next start, and a folder without
    // fusi.tz stays in table mode.
    home.write("conf/vemar/lxp2.par", "1,2,3,4,5,,0,,,0,,0,,,1,1,0,0\r\n");
    fs::remove(settings / "Parleg.dat");
    fs::remove(settings / "fusi.tz");
    EXPECT_TRUE(PrepareSettingsDir(settings, VEMAR_DATA_DIR, kZoneinfo, Utc(2026, 7, 15)).empty());
    EXPECT_EQ(home.read("conf/vemar/lxp2.par"), "1,2,3,4,5,,0,,,0,,0,,,1,1,0,0\r\n");
    EXPECT_EQ(home.read("conf/vemar/Parleg.dat"), dataBefore.at("Parleg.dat"));
    EXPECT_FALSE(fs::exists(settings / "fusi.tz"));
    EXPECT_EQ(Contents(VEMAR_DATA_DIR), dataBefore);
}

TEST(FirstStart, PrepareNeverThrows) {
    WorkDir home(false);
    home.write("file", "not a folder");
    EXPECT_FALSE(PrepareSettingsDir(home / "file/vemar", VEMAR_DATA_DIR, kZoneinfo, Utc(2026, 1, 1)).empty());

    // Without any installed data the zone still gives lxp2.par and a rule.
    ScopedZone zone("Europe/Rome");
    EXPECT_TRUE(PrepareSettingsDir(home / "v", home / "no-data", kZoneinfo, Utc(2026, 1, 1)).empty());
    EXPECT_EQ(home.read("v/lxp2.par"), "41,54,-12,-29,-1,,0,,,0,,0,,,1,1,0,1\r\n");
    EXPECT_EQ(home.read("v/Parleg.dat"), "2,4,0,9,4,0\r\n");
}

} // namespace
} // namespace vemar
