// The clock against the real world: homes in both hemispheres, one program
// left running through a whole year, every city of the installed table
// compared with the C library's time-zone database at every hour of every
// day.
//
// The table has one summer-time rule for the whole world, so some cities
// (Sydney, New York, Santiago...) change their clocks on other days than the
// rule says. A difference is explained when, at that instant, the rule's
// summer state of the city (or of the home, for every value) differs from
// the real one, and then it must be exactly that hour. Anything else fails,
// and so does a count of explained differences that grows.

#include "testsupport.h"

#include "core/firststart.h"
#include "core/systemzones.h"

#include <cstdlib>
#include <algorithm>
#include <ctime>
#include <map>
#include <set>

namespace vemar {
namespace {

// Each row of the installed fusi.dat, in file order, with its zone.
constexpr const char* kCityZones[kZoneRows] = {
    "Europe/Rome", "Europe/London", "Europe/Paris", "Europe/Berlin", "Europe/Madrid",
    "Europe/Moscow", "Europe/Istanbul", "Africa/Cairo", "Asia/Dubai", "Asia/Kolkata",
    "Asia/Shanghai", "Asia/Tokyo", "Asia/Seoul", "Asia/Hong_Kong", "Asia/Singapore",
    "Asia/Bangkok", "Australia/Sydney", "Pacific/Auckland", "America/Los_Angeles",
    "America/Chicago", "America/New_York", "America/Toronto", "America/Mexico_City",
    "America/Sao_Paulo", "America/Argentina/Buenos_Aires", "Africa/Johannesburg",
    "Asia/Jakarta",
    "Europe/Lisbon", "Europe/Dublin", "Europe/Amsterdam", "Europe/Brussels", "Europe/Vienna",
    "Europe/Zurich", "Europe/Stockholm", "Europe/Athens", "Europe/Helsinki", "Europe/Kyiv",
    "Asia/Jerusalem", "Asia/Riyadh", "Asia/Tehran", "Asia/Kabul", "Asia/Karachi",
    "Asia/Dhaka", "Asia/Yangon", "Asia/Manila", "Australia/Darwin", "Australia/Melbourne",
    "America/Santiago", "Pacific/Honolulu", "America/Anchorage", "America/Denver",
    "America/Phoenix", "America/Lima", "Atlantic/Reykjavik",
};

// Explained differences of one year, per home: samples where a row differs
// from the real time by the rule's summer hour, and universal-time lines
// that differ by the home's.
struct Counts { int rows = 0, utLines = 0; };

// A home as its user would set it: automatic summer time where the place has
// it, otherwise "Ora Solare" by hand; the place's own half hour.
struct Home {
    const char* name;
    const char* zone;
    const char* lxp2;       // lxp2.par as the user's settings leave it
    Counts explained;       // the committed counts: they may only shrink
};

void PrintTo(const Home& home, std::ostream* os) { *os << home.name; }

const Home kHomes[] = {
    {"Roma", "Europe/Rome", "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1", {8484, 10}},
    {"New York", "America/New_York", "40,43,74,0,5,,0,,,0,,0,,,1,1,0,1", {36213, 1342}},
    {"Tokyo", "Asia/Tokyo", "35,41,-139,-41,-9,,0,,,0,,0,,,1,1,0,0", {8657, 0}},
    {"Nuova Delhi", "Asia/Kolkata", "28,37,-77,-13,-5,,0,,,0,,0,,,1,1,30,0", {8548, 0}},
    {"Sydney", "Australia/Sydney", "-33,-52,-151,-13,-10,,0,,,0,,0,,,2,1,0,1", {39286, 1344}},
    {"Buenos Aires", "America/Argentina/Buenos_Aires", "-34,-36,58,23,3,,0,,,0,,0,,,2,1,0,0", {8401, 0}},
    {"Johannesburg", "Africa/Johannesburg", "-26,-12,-28,-3,-2,,0,,,0,,0,,,2,1,0,0", {8433, 0}},
    {"Auckland", "Pacific/Auckland", "-36,-51,-174,-46,-12,,0,,,0,,0,,,2,1,0,1", {47724, 1680}},
    {"Santiago", "America/Santiago", "-33,-27,70,40,4,,0,,,0,,0,,,2,1,0,1", {73667, 2686}},
};

constexpr int kYear = 2026;

// What the C library says of one instant of the year in one zone: seconds
// ahead of universal time, summer hour included.
struct Local { long offsetSeconds = 0; bool summer = false; };

// Every hour of universal time, at a minute and second that walk through the
// whole hour over the year.
std::vector<std::time_t> YearInstants(int year = kYear) {
    std::vector<std::time_t> out;
    std::tm jan1{};
    jan1.tm_year = year - 1900;
    jan1.tm_mday = 1;
    const std::time_t start = timegm(&jan1);
    const int days = year % 4 == 0 ? 366 : 365;
    for (int day = 0; day < days; ++day)
        for (int h = 0; h < 24; ++h) {
            const int minute = (day * 7 + h * 11) % 60;   // every minute of the hour over the year
            out.push_back(start + day * 86400L + h * 3600L + minute * 60L + (day + h) % 60);
        }
    return out;
}

// The zone's offsets at every instant, read with TZ set to it. Summer time is
// told by the offset, not by tm_isdst: Dublin's winter is its "daylight
// saving" time with a negative hour.
std::vector<Local> ZoneAt(const char* zone, const std::vector<std::time_t>& instants) {
    test::ScopedZone scoped(zone);
    std::vector<Local> out;
    out.reserve(instants.size());
    for (const std::time_t& t : instants) {
        std::tm tm{};
        localtime_r(&t, &tm);
        out.push_back({tm.tm_gmtoff, false});
    }
    long standard = out.front().offsetSeconds;
    for (const Local& l : out) standard = std::min(standard, l.offsetSeconds);
    for (Local& l : out) l.summer = l.offsetSeconds > standard;
    return out;
}

std::tm Civil(std::time_t t) { std::tm tm{}; return *gmtime_r(&t, &tm); }
ClockReading Reading(const std::tm& tm) { return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}; }
int DayNumber(std::tm tm) { return int(timegm(&tm) / 86400); }

std::string TimeText(const std::tm& tm) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The summer state the one rule gives a city of this class: the rule's own
// summer for class 1, its complement for the southern class 3.
bool RuleSummer(const std::string& zoneClass, int ruleSummerW) {
    return (zoneClass == "1" && ruleSummerW == 1) || (zoneClass == "3" && ruleSummerW == 0);
}

struct Tally {
    Counts explained;
    int unexplainedRows = 0, unexplainedDates = 0, unexplainedUt = 0;
    int wrongRows = 0, wrongDates = 0, wrongUt = 0;   // differ from the real time at all
    std::map<std::string, int> firstFailures;   // a few examples for the report
    void fail(const std::string& what) {
        if (firstFailures.size() < 8) ++firstFailures[what];
    }
};

// The year's instants, and each zone's offsets at them, computed once for all homes.
const std::vector<std::time_t>& Instants() {
    static const std::vector<std::time_t> instants = YearInstants();
    return instants;
}
const std::vector<Local>& Zone(const std::string& zone) {
    static std::map<std::string, std::vector<Local>> zones;
    auto it = zones.find(zone);
    if (it == zones.end()) it = zones.emplace(zone, ZoneAt(zone.c_str(), Instants())).first;
    return it->second;
}

class RealWorld : public ::testing::TestWithParam<Home> {
protected:
    // One page of the table, one program left running through the year.
    void runPage(const Home& home, int page, Tally& tally) {
        test::WorkDir dir;
        dir.write("lxp2.par", std::string(home.lxp2) + "\r\n");
        test::RecordingPlatform platform;
        const std::vector<Local>& homeZone = Zone(home.zone);
        auto homeReading = [&](std::size_t i) {
            return Reading(Civil(Instants()[i] + homeZone[i].offsetSeconds));
        };
        platform.clock = homeReading(0);
        Program program(platform, dir.path());
        ASSERT_TRUE(program.startUp());
        program.state().dateSymbol1 = "*";
        program.state().dateSymbol2 = "°";
        if (page == 2) program.pageSwitchClick();
        const SharedState& s = program.state();
        const MainView& v = program.view();

        for (std::size_t i = 0; i < Instants().size(); ++i) {
            const std::time_t t = Instants()[i];
            const std::tm homeLocal = Civil(t + homeZone[i].offsetSeconds);
            platform.clock = Reading(homeLocal);
            program.tick();
            ASSERT_FALSE(program.failed());

            // The home's own summer hour as the program holds it.
            const long homeError = (homeZone[i].summer ? 1 : 0) - s.inDstWindow;
            const std::tm ut = Civil(t);
            const std::tm shownUt = Civil(t + homeError * 3600);
            if (Trimmed(v.utTime.caption) != TimeText(ut)) ++tally.wrongUt;
            if (Trimmed(v.utTime.caption) != TimeText(shownUt)) {
                ++tally.unexplainedUt;
                tally.fail("UT " + v.utTime.caption + " for " + TimeText(ut));
            } else if (homeError != 0) {
                ++tally.explained.utLines;
            }

            const int secondDate = DayNumber(homeLocal) - s.dayShift + 1;
            for (int k = 0; k < kPageRows; ++k) {
                const int n = (page - 1) * kPageRows + k;
                const Local& city = Zone(kCityZones[n])[i];
                const long cityError =
                    (RuleSummer(s.zoneTable[n].zoneClass, s.ruleSummer) ? 1 : 0) - (city.summer ? 1 : 0);
                const long error = homeError + cityError;
                const std::tm expected = Civil(t + city.offsetSeconds + error * 3600);
                const std::string shown = Trimmed(v.label2[k].caption);
                const std::tm real = Civil(t + city.offsetSeconds);
                if (shown != TimeText(real)) ++tally.wrongRows;
                const std::string& realMarker =
                    DayNumber(real) >= secondDate ? s.dateSymbol2 : s.dateSymbol1;
                if (v.label3[k].caption != realMarker) ++tally.wrongDates;
                if (shown != TimeText(expected)) {
                    ++tally.unexplainedRows;
                    tally.fail(s.zoneTable[n].name + " " + shown + " for " + TimeText(expected));
                } else if (error != 0) {
                    ++tally.explained.rows;
                }
                const bool onSecond = DayNumber(expected) >= secondDate;
                const std::string& marker = onSecond ? s.dateSymbol2 : s.dateSymbol1;
                if (v.label3[k].caption != marker) {
                    ++tally.unexplainedDates;
                    tally.fail(s.zoneTable[n].name + " date marker " + v.label3[k].caption);
                }
            }
        }
    }

};

TEST_P(RealWorld, EveryRowAndTheUniversalTimeAllYear) {
    const Home& home = GetParam();
    Tally tally;
    runPage(home, 1, tally);
    runPage(home, 2, tally);
    const int samples = int(Instants().size());
    std::printf("%-13s %d instants x 54 rows: differ from the real time: rows %5d, dates %5d, UT %4d;"
                " explained rows %5d, UT %4d; unexplained rows %d, dates %d, UT %d\n",
                home.name, samples, tally.wrongRows, tally.wrongDates, tally.wrongUt,
                tally.explained.rows, tally.explained.utLines, tally.unexplainedRows,
                tally.unexplainedDates, tally.unexplainedUt);
    for (const auto& [what, count] : tally.firstFailures) std::printf("    e.g. %s\n", what.c_str());
    EXPECT_EQ(tally.unexplainedRows, 0);
    EXPECT_EQ(tally.unexplainedDates, 0);
    EXPECT_EQ(tally.unexplainedUt, 0);
    EXPECT_LE(tally.explained.rows, home.explained.rows) << "more rows differ from the real time";
    EXPECT_LE(tally.explained.utLines, home.explained.utLines);
}

INSTANTIATE_TEST_SUITE_P(Homes, RealWorld, ::testing::ValuesIn(kHomes), [](const auto& info) {
    std::string name = info.param.name;
    std::erase(name, ' ');
    return name;
});

// A clock left running across a change of summer time, of the day or of the
// year shows at its first tick what a clock started afresh at that moment
// shows, the year panels and the markers' tooltips included.
struct Crossing { const char* why; const char* lxp2; ClockReading before, after; };
const Crossing kCrossings[] = {
    {"Roma into summer", kHomes[0].lxp2, {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 12, 0, 0}},
    {"Roma out of summer", kHomes[0].lxp2, {2026, 10, 24, 23, 59, 50}, {2026, 10, 25, 12, 0, 0}},
    {"Roma into the new year", kHomes[0].lxp2, {2026, 12, 31, 23, 59, 50}, {2027, 1, 1, 12, 0, 0}},
    {"Sydney out of summer", kHomes[4].lxp2, {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 12, 0, 0}},
    {"Sydney into summer", kHomes[4].lxp2, {2026, 10, 24, 23, 59, 50}, {2026, 10, 25, 0, 0, 5}},
    {"Sydney into the new year", kHomes[4].lxp2, {2026, 12, 31, 23, 59, 50}, {2027, 1, 1, 12, 0, 0}},
    {"New York into summer", kHomes[1].lxp2, {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 0, 0, 1}},
    {"Roma into a new day", kHomes[0].lxp2, {2026, 6, 10, 23, 59, 58}, {2026, 6, 11, 0, 0, 0}},
    // The south reads the rule in the next year, a leap year from 2027.
    {"Sydney into a new day of 2027", kHomes[4].lxp2, {2027, 3, 10, 23, 59, 58}, {2027, 3, 11, 0, 0, 0}},
    {"Sydney into a new day of 2023", kHomes[4].lxp2, {2023, 3, 10, 23, 59, 58}, {2023, 3, 11, 0, 0, 0}},
    {"Delhi's morning ends", kHomes[3].lxp2, {2026, 6, 10, 14, 59, 59}, {2026, 6, 10, 15, 0, 0}},
};

TEST(LeftRunning, ShowsWhatAFreshStartShows) {
    for (const Crossing& c : kCrossings) {
        SCOPED_TRACE(c.why);
        auto captions = [&](test::RecordingPlatform& platform, const test::WorkDir& dir,
                            std::initializer_list<ClockReading> readings) {
            dir.write("lxp2.par", std::string(c.lxp2) + "\r\n");
            platform.clock = *readings.begin();
            Program program(platform, dir.path());
            EXPECT_TRUE(program.startUp());
            for (const ClockReading& r : readings) {
                platform.clock = r;
                program.tick();
            }
            std::map<std::string, std::string> shown;
            program.view().forEachControl([&](const std::string& name, ControlView& control) {
                shown[name] = control.caption + "|" + control.tooltip;
            });
            return shown;
        };
        test::WorkDir runningDir, freshDir;
        test::RecordingPlatform running, fresh;
        const auto leftRunning = captions(running, runningDir, {c.before, c.after});
        const auto startedThen = captions(fresh, freshDir, {c.after});
        for (const auto& [name, shown] : startedThen) EXPECT_EQ(leftRunning.at(name), shown) << name;
    }
}

// ---------------------------------------------------------------- database mode
//
// With fusi.tz in the folder, a new user's program (seeded by the first
// start from the machine's zone) must show the real time everywhere: every
// row, date marker and universal-time line equals the C library's, at every
// hour of two years and on both sides of every change of any zone shown,
// left running. Three odd zones stand in for three cities of page 2: a
// quarter hour (Kathmandu, Chatham) and half an hour of summer time (Lord Howe).

constexpr int kOddRows[] = {29, 30, 31};
constexpr const char* kOddNames[] = {"Kathmandu", "Chatham", "Lord Howe"};
constexpr const char* kOddZones[] = {"Asia/Kathmandu", "Pacific/Chatham", "Australia/Lord_Howe"};

const char* DatabaseCityZone(int n) {
    for (int i = 0; i < 3; ++i)
        if (kOddRows[i] == n) return kOddZones[i];
    return kCityZones[n];
}

// The instants a zone changes its offset in [from, to), to the second.
std::vector<std::time_t> Changes(const char* zone, std::time_t from, std::time_t to) {
    test::ScopedZone scoped(zone);
    auto offset = [](std::time_t t) { std::tm tm{}; localtime_r(&t, &tm); return tm.tm_gmtoff; };
    std::vector<std::time_t> out;
    for (std::time_t t = from; t + 3600 <= to; t += 3600) {
        if (offset(t) == offset(t + 3600)) continue;
        std::time_t lo = t, hi = t + 3600;   // offset(lo) is the old one, offset(hi) the new one
        while (hi - lo > 1) {
            const std::time_t mid = lo + (hi - lo) / 2;
            (offset(mid) == offset(lo) ? lo : hi) = mid;
        }
        out.push_back(hi);
    }
    return out;
}

// Two years of hours, and the minute before and after each change of every
// zone shown or lived in, in order.
const std::vector<std::time_t>& DatabaseInstants() {
    static const std::vector<std::time_t> instants = [] {
        std::set<std::time_t> all;
        for (int year : {2026, 2027})
            for (std::time_t t : YearInstants(year)) all.insert(t);
        const std::time_t from = *all.begin(), to = *all.rbegin();
        std::set<std::string> zones;
        for (int n = 0; n < kZoneRows; ++n) zones.insert(DatabaseCityZone(n));
        for (const Home& home : kHomes) zones.insert(home.zone);
        for (const std::string& zone : zones)
            for (std::time_t change : Changes(zone.c_str(), from, to))
                for (std::time_t t : {change - 60, change - 1, change, change + 60}) all.insert(t);
        return std::vector<std::time_t>(all.begin(), all.end());
    }();
    return instants;
}

const std::vector<Local>& DatabaseZone(const std::string& zone) {
    static std::map<std::string, std::vector<Local>> zones;
    auto it = zones.find(zone);
    if (it == zones.end()) it = zones.emplace(zone, ZoneAt(zone.c_str(), DatabaseInstants())).first;
    return it->second;
}

struct Differences {
    int rows = 0, dates = 0, utLines = 0, homeNotFollowing = 0;
    std::map<std::string, int> examples;
    void note(int& counter, const std::string& what) {
        ++counter;
        if (examples.size() < 8) ++examples[what];
    }
};

class DatabaseMode : public ::testing::TestWithParam<Home> {
protected:
    void SetUp() override {
        // The folder as a new user's first start leaves it, on the home's machine.
        test::ScopedZone scoped(GetParam().zone);
        ASSERT_EQ(PrepareSettingsDir(dir.path(), VEMAR_DATA_DIR, "/usr/share/zoneinfo", test::UtcSeconds(2026, 1, 1)),
                  std::vector<std::string>{});
        ZoneTable table = ReadZoneTable(dir / kZoneFile);
        for (int i = 0; i < 3; ++i) table[kOddRows[i]].name = kOddNames[i];
        WriteZoneTable(dir / kZoneFile, table);
        ASSERT_TRUE(dir.exists(kCityZonesFile));
    }

    void runPage(int page, Differences& differences) {
        const Home& home = GetParam();
        test::RecordingPlatform platform;
        platform.zone = home.zone;
        const std::vector<std::time_t>& instants = DatabaseInstants();
        const std::vector<Local>& homeZone = DatabaseZone(home.zone);
        auto reading = [&](std::size_t i) {
            ClockReading r = Reading(Civil(instants[i] + homeZone[i].offsetSeconds));
            r.utcSeconds = instants[i];
            return r;
        };
        platform.clock = reading(0);
        Program program(platform, dir.path());
        ASSERT_TRUE(program.startUp());
        program.attachZoneDatabase(zones);
        EXPECT_EQ(platform.warnings, std::vector<std::string>{});
        program.state().dateSymbol1 = "*";
        program.state().dateSymbol2 = "°";
        if (page == 2) program.pageSwitchClick();
        const SharedState& s = program.state();
        const MainView& v = program.view();

        for (std::size_t i = 0; i < instants.size(); ++i) {
            platform.clock = reading(i);
            program.tick();
            ASSERT_FALSE(program.failed());
            if (!program.homeZoneAt(platform.clock).followsZone) ++differences.homeNotFollowing;
            const std::string shownUt = Trimmed(v.utTime.caption), realUt = TimeText(Civil(instants[i]));
            if (shownUt != realUt) differences.note(differences.utLines, "UT " + shownUt + " for " + realUt);

            const int secondDate = DayNumber(Civil(instants[i] + homeZone[i].offsetSeconds)) - s.dayShift + 1;
            for (int k = 0; k < kPageRows; ++k) {
                const int n = (page - 1) * kPageRows + k;
                const std::tm real = Civil(instants[i] + DatabaseZone(DatabaseCityZone(n))[i].offsetSeconds);
                const std::string shown = Trimmed(v.label2[k].caption);
                if (shown != TimeText(real))
                    differences.note(differences.rows, s.zoneTable[n].name + " " + shown + " for " + TimeText(real));
                const std::string& marker = DayNumber(real) >= secondDate ? s.dateSymbol2 : s.dateSymbol1;
                if (v.label3[k].caption != marker)
                    differences.note(differences.dates, s.zoneTable[n].name + " marker " + v.label3[k].caption);
            }
        }
    }

    test::WorkDir dir{false};
    SystemZoneDatabase zones;
};

TEST_P(DatabaseMode, EveryRowAndTheUniversalTimeTwoYears) {
    Differences differences;
    runPage(1, differences);
    runPage(2, differences);
    std::printf("%-13s %zu instants x 54 rows in database mode: rows %d, dates %d, UT %d differ; "
                "home off its zone %d times\n",
                GetParam().name, DatabaseInstants().size(), differences.rows, differences.dates,
                differences.utLines, differences.homeNotFollowing);
    for (const auto& [what, count] : differences.examples) std::printf("    e.g. %s\n", what.c_str());
    EXPECT_EQ(differences.rows, 0);
    EXPECT_EQ(differences.dates, 0);
    EXPECT_EQ(differences.utLines, 0);
    EXPECT_EQ(differences.homeNotFollowing, 0);
}

INSTANTIATE_TEST_SUITE_P(Homes, DatabaseMode, ::testing::ValuesIn(kHomes), [](const auto& info) {
    std::string name = info.param.name;
    std::erase(name, ' ');
    return name;
});

} // namespace
} // namespace vemar
