// The clock left running for whole years against the C library's zones. Database mode (fusi.tz): no difference;
// table mode (one summer-time rule for the world): only the hour the rule gets wrong, no more often than counted.

#include "testsupport.h"

#include "core/firststart.h"
#include "core/texts.h"
#include "core/tick.h"
#include "core/time/systemzones.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace vemar {
namespace {

// Each row of the installed fusi.dat, in file order, with its zone.
constexpr const char* kCityZones[kZoneRows] = {
    "Europe/Rome", "Europe/London", "Europe/Paris", "Europe/Berlin", "Europe/Madrid", "Europe/Moscow",
    "Europe/Istanbul", "Africa/Cairo", "Asia/Dubai", "Asia/Kolkata", "Asia/Shanghai", "Asia/Tokyo", "Asia/Seoul",
    "Asia/Hong_Kong", "Asia/Singapore", "Asia/Bangkok", "Australia/Sydney", "Pacific/Auckland", "America/Los_Angeles",
    "America/Chicago", "America/New_York", "America/Toronto", "America/Mexico_City", "America/Sao_Paulo",
    "America/Argentina/Buenos_Aires", "Africa/Johannesburg", "Asia/Jakarta", "Europe/Lisbon", "Europe/Dublin",
    "Europe/Amsterdam", "Europe/Brussels", "Europe/Vienna", "Europe/Zurich", "Europe/Stockholm", "Europe/Athens",
    "Europe/Helsinki", "Europe/Kyiv", "Asia/Jerusalem", "Asia/Riyadh", "Asia/Tehran", "Asia/Kabul", "Asia/Karachi",
    "Asia/Dhaka", "Asia/Yangon", "Asia/Manila", "Australia/Darwin", "Australia/Melbourne", "America/Santiago",
    "Pacific/Honolulu", "America/Anchorage", "America/Denver", "America/Phoenix", "America/Lima", "Atlantic/Reykjavik",
};

// Explained differences of table mode in 2026: rows off by the rule's summer hour, UT lines by the home's.
struct Counts { int rows = 0, utLines = 0; };
// A home as its user sets it in table mode; its committed counts of explained differences may only shrink.
struct Home { const char* name; const char* zone; const char* lxp2 = ""; Counts explained = {}; };
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
// The test's name: the home's, letters and digits only.
template <class H> std::string HomeName(const ::testing::TestParamInfo<H>& info) {
    std::string name = info.param.name;
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name;
}

using Instants = std::vector<std::time_t>;

// Every hour of the years, at a minute and second that walk through the whole hour over each year.
std::set<std::time_t> Hours(int firstYear, int lastYear) {
    std::set<std::time_t> out;
    for (int year = firstYear; year <= lastYear; ++year) {
        const std::time_t start = test::UtcSeconds(year, 1, 1);
        for (int day = 0; day < (IsLeapYear(year) ? 366 : 365); ++day)
            for (int h = 0; h < 24; ++h)
                out.insert(start + day * 86400L + h * 3600L + (day * 7 + h * 11) % 60 * 60L + (day + h) % 60);
    }
    return out;
}
const Instants kHoursOf2026 = [] { const auto s = Hours(2026, 2026); return Instants(s.begin(), s.end()); }();
const std::time_t kNewYear2026 = test::UtcSeconds(2026, 1, 1);

// Seconds ahead of universal time at t, in the zone TZ names.
long LocalOffset(std::time_t t) { std::tm tm{}; localtime_r(&t, &tm); return tm.tm_gmtoff; }

// Each instant's offset in a zone, summer above the year's least (Dublin's too); by the list's place, size and ends.
struct Local { long offsetSeconds = 0; bool summer = false; };
const std::vector<Local>& ZoneAt(const std::string& zone, const Instants& instants) {
    static std::map<std::tuple<std::string, const void*, std::size_t, long, long>, std::vector<Local>> memo;
    auto [it, added] = memo.try_emplace({zone, &instants, instants.size(), instants.front(), instants.back()});
    if (!added) return it->second;
    test::ScopedZone scoped(zone.c_str());
    for (std::time_t t : instants) it->second.push_back({LocalOffset(t)});
    const long standard = std::ranges::min(it->second, {}, &Local::offsetSeconds).offsetSeconds;
    for (Local& l : it->second) l.summer = l.offsetSeconds > standard;
    return it->second;
}

std::tm Civil(std::time_t t) { std::tm tm{}; return *gmtime_r(&t, &tm); }
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

// The program left running over the instants on the machine's clock (its zone may change); check(i, home's day).
using ZoneOf = std::function<const char*(std::size_t)>;
struct Run {
    const Instants& instants;
    ZoneOf machineZone;
    bool database = true;
    int page = 1;
    std::function<void(Program&)> prepare = [](Program&) {};
};
ZoneOf AlwaysIn(const char* zone) { return [zone](std::size_t) { return zone; }; }
void LeaveRunning(const test::WorkDir& dir, const Run& run,
                  const std::function<void(Program&, std::size_t, int)>& check) {
    static const SystemZoneDatabase database;
    test::RecordingPlatform platform;
    auto local = [&](std::size_t i) {
        return run.instants[i] + ZoneAt(run.machineZone(i), run.instants)[i].offsetSeconds;
    };
    auto reading = [&](std::size_t i) {
        const std::tm tm = Civil(local(i));
        platform.zone = run.database ? run.machineZone(i) : "";
        const sys_seconds instant{std::chrono::seconds{run.instants[i]}};
        return ClockReading{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                            run.database ? std::optional(instant) : std::nullopt};
    };
    platform.clock = reading(0);
    Program program(platform, dir.path());
    ASSERT_TRUE(program.startUp());
    if (run.database) program.attachZoneDatabase(database);
    EXPECT_EQ(platform.warnings, std::vector<std::string>{});
    program.state().display.dateSymbol1 = "*", program.state().display.dateSymbol2 = "°";
    if (run.page == 2) program.pageSwitchClick();
    run.prepare(program);
    for (std::size_t i = 0; i < run.instants.size(); ++i) {
        platform.clock = reading(i), program.tick();
        ASSERT_FALSE(program.failed());
        check(program, i, DayNumber(Civil(local(i))));
    }
}

// A few differences named in the report, and how many of each kind.
struct Differences {
    std::map<std::string, int> count;
    std::vector<std::string> examples;
    void note(const std::string& kind, const std::string& what) {
        ++count[kind];
        if (!what.empty() && examples.size() < 8) examples.push_back(what);
    }
    void print(const char* home) const {
        std::printf("%-13s%s", home, count.empty() ? " no difference" : "");
        for (const auto& [kind, n] : count) std::printf(" %s %d;", kind.c_str(), n);
        std::printf("\n");
        for (const std::string& e : examples) std::printf("    e.g. %s\n", e.c_str());
    }
};

// ---------------------------------------------------------------- table mode, 2026

class RealWorld : public ::testing::TestWithParam<Home> {};

TEST_P(RealWorld, EveryRowAndTheUniversalTimeAllYear) {
    const Instants& instants = kHoursOf2026;
    const Home& home = GetParam();
    Differences d;
    for (int page : {1, 2}) {
        test::WorkDir dir;
        dir.write(kSiteFile, std::string(home.lxp2) + "\r\n");
        LeaveRunning(dir, {instants, AlwaysIn(home.zone), false, page}, [&](Program& p, std::size_t i, int homeDay) {
            const SharedState& s = p.state();
            const MainView& v = p.view();
            const std::time_t t = instants[i];
            // The home's own summer hour as the program holds it.
            const long homeError = (ZoneAt(home.zone, instants)[i].summer ? 1 : 0) - s.site.inDstWindow;
            const std::string ut = Trimmed(v.utTime.caption);
            if (ut != TimeText(Civil(t + homeError * 3600))) d.note("unexplained UT", "UT " + ut);
            else if (homeError != 0) d.note("explained UT", "");
            const int secondDate = homeDay - s.tick.dayShift + 1;
            for (int k = 0; k < kPageRows; ++k) {
                const int n = (page - 1) * kPageRows + k;
                const Local& city = ZoneAt(kCityZones[n], instants)[i];
                const ZoneClass zoneClass = p.cities().zoneClass(n);
                const bool ruleSummer = (zoneClass == ZoneClass::NorthernSummer && p.home().ruleSummer()) ||
                                        (zoneClass == ZoneClass::SouthernSummer && !p.home().ruleSummer());
                const long error = homeError + (ruleSummer ? 1 : 0) - (city.summer ? 1 : 0);
                const std::tm expected = Civil(t + city.offsetSeconds + error * 3600);
                const std::string shown = Trimmed(v.rowTimes[k].caption);
                if (shown != TimeText(expected)) d.note("unexplained rows", p.cities().row(n).name + " " + shown);
                else if (error != 0) d.note("explained rows", "");
                const bool onSecond = DayNumber(expected) >= secondDate;
                if (v.dateMarkers[k].caption != (onSecond ? s.display.dateSymbol2 : s.display.dateSymbol1))
                    d.note("unexplained dates", p.cities().row(n).name + " marker " + v.dateMarkers[k].caption);
            }
        });
    }
    d.print(home.name);
    EXPECT_EQ(d.count["unexplained rows"] + d.count["unexplained dates"] + d.count["unexplained UT"], 0);
    EXPECT_LE(d.count["explained rows"], home.explained.rows) << "more rows differ from the real time";
    EXPECT_LE(d.count["explained UT"], home.explained.utLines);
}

INSTANTIATE_TEST_SUITE_P(Homes, RealWorld, ::testing::ValuesIn(kHomes), HomeName<Home>);

// A first start in the zone at that instant, then rows renamed: {row, name}.
using Renamed = std::vector<std::pair<int, std::string>>;
void FirstStartIn(const test::WorkDir& dir, const char* zone, std::time_t at, const Renamed& renamed = {}) {
    const test::ScopedZone scoped(zone);
    EXPECT_EQ(PrepareSettingsDir(dir.path(), VEMAR_DATA_DIR, "/usr/share/zoneinfo", at), std::vector<std::string>{});
    ZoneTable table = ReadZoneTable(dir / kZoneFile);
    for (const auto& [n, name] : renamed) table[n].name = name;
    WriteZoneTable(dir / kZoneFile, table);
}

// The page's rows and UT line at instant i against the C library; given the home's day, markers and tooltips too.
void NoteTimes(Differences& d, const Program& p, const Instants& instants, std::size_t i, int page,
               const std::function<const char*(int)>& zoneOfRow, std::optional<int> homeDay = std::nullopt) {
    const MainView& v = p.view();
    const std::string ut = Trimmed(v.utTime.caption), real = TimeText(Civil(instants[i]));
    if (ut != real) d.note("UT", "UT " + ut + " for " + real);
    for (int k = 0; k < kPageRows; ++k) {
        const int n = (page - 1) * kPageRows + k;
        const std::tm city = Civil(instants[i] + ZoneAt(zoneOfRow(n), instants)[i].offsetSeconds);
        const std::string shown = Trimmed(v.rowTimes[k].caption), name = p.cities().row(n).name;
        if (shown != TimeText(city)) d.note("rows", name + " " + shown + " for " + TimeText(city));
        if (!homeDay) continue;
        const int day = DayNumber(city), first = *homeDay + p.state().tick.firstDateDelta;
        const ControlView& marker = v.dateMarkers[k];
        if (day < first || day > first + 1) d.note("dates off the pair", name + " on " + std::to_string(day));
        else if (marker.caption != (day > first ? "°" : "*")) d.note("markers", name + " " + marker.caption);
        const CalendarDate date = CivilFromDays(day);
        std::string text;
        DateLineText(text, date, WeekDays(date.day, date.month, date.year)->weekday);
        if (marker.tooltip != " " + text + " ") d.note("tooltips", name + marker.tooltip);
    }
}

// ---------------------------------------------------------------- database mode, 2026 and 2027

// Each home's folder as a first start leaves it, page 2 with quarter hours and half an hour of summer time.
const Renamed kOddRows = {{29, "Kathmandu"}, {30, "Chatham"}, {31, "Lord Howe"}};
const char* DatabaseCityZone(int n) {
    const char* odd[] = {"Asia/Kathmandu", "Pacific/Chatham", "Australia/Lord_Howe"};
    return n >= 29 && n <= 31 ? odd[n - 29] : kCityZones[n];
}

// The instants a zone changes its offset in [from, to), to the second.
std::vector<std::time_t> Changes(const char* zone, std::time_t from, std::time_t to) {
    test::ScopedZone scoped(zone);
    std::vector<std::time_t> out;
    for (std::time_t t = from; t + 3600 <= to; t += 3600) {
        if (LocalOffset(t) == LocalOffset(t + 3600)) continue;
        std::time_t lo = t, hi = t + 3600;   // lo at the old offset, hi at the new one
        while (hi - lo > 1) (LocalOffset(lo + (hi - lo) / 2) == LocalOffset(lo) ? lo : hi) = lo + (hi - lo) / 2;
        out.push_back(hi);
    }
    return out;
}

// Whole years of hours and, around each change of a zone shown or lived in, -60 s, -1 s, 0 s and +60 s.
const Instants& DatabaseInstants(int firstYear, int lastYear, const char* homeZone) {
    static std::map<std::tuple<int, int, std::string>, Instants> memo;
    auto [it, added] = memo.try_emplace({firstYear, lastYear, homeZone});
    if (!added) return it->second;
    std::set<std::time_t> all = Hours(firstYear, lastYear);
    std::set<std::string> zones{homeZone};
    for (int n = 0; n < kZoneRows; ++n) zones.insert(DatabaseCityZone(n));
    const std::time_t from = *all.begin(), to = *all.rbegin();
    for (const std::string& zone : zones)
        for (std::time_t c : Changes(zone.c_str(), from, to)) all.insert({c - 60, c - 1, c, c + 60});
    return it->second = Instants(all.begin(), all.end());
}

// Table mode's homes over 2026-27, and homes the old way of telling got wrong: Casablanca (1 January in Ramadan
// 2030-32), Dublin (summer its standard), Troll (two summer hours), a Roma at +9 judged once off its zone.
struct DatabaseHome : Home {
    int firstYear = 2026, lastYear = 2027;
    int zoneBox = 0;   // not 0: the zone box set by hand, and the folder made before casa.tz
};
void PrintTo(const DatabaseHome& home, std::ostream* os) { *os << home.name; }
const std::vector<DatabaseHome> kDatabaseHomes = [] {
    std::vector<DatabaseHome> all;
    for (const Home& home : kHomes) all.push_back({home});
    all.insert(all.end(), {{{"Casablanca", "Africa/Casablanca"}, 2030, 2032}, {{"Dublino", "Europe/Dublin"}},
                           {{"Troll", "Antarctica/Troll"}}, {{"Roma a +9", "Europe/Rome"}, 2026, 2027, 9}});
    return all;
}();

class DatabaseMode : public ::testing::TestWithParam<DatabaseHome> {};

TEST_P(DatabaseMode, EveryRowAndTheUniversalTimeWholeYears) {
    const DatabaseHome& home = GetParam();
    const Instants& instants = DatabaseInstants(home.firstYear, home.lastYear, home.zone);
    const bool onItsZone = home.zoneBox == 0;
    Differences d;
    for (int page : {1, 2}) {
        test::WorkDir dir(false);
        FirstStartIn(dir, home.zone, test::UtcSeconds(home.firstYear, 1, 1), kOddRows);
        if (!onItsZone) {
            SiteSettings site = ReadSiteSettings(dir / kSiteFile);
            site.zoneOffset = std::chrono::hours{home.zoneBox};
            WriteSiteSettings(dir / kSiteFile, site), std::filesystem::remove(dir / kHomeZoneFile);
        }
        LeaveRunning(dir, {instants, AlwaysIn(home.zone), true, page}, [&](Program& p, std::size_t i, int homeDay) {
            if (p.home().followsZone() != onItsZone) d.note("home on or off its zone", "");
            NoteTimes(d, p, instants, i, page, DatabaseCityZone, homeDay);
        });
        if (!onItsZone) { EXPECT_EQ(dir.read(kHomeZoneFile), "-\n") << "judged once, off its zone"; }
    }
    std::printf("%zu instants, database mode: ", instants.size()), d.print(home.name);
    EXPECT_TRUE(d.count.empty()) << "rows, dates, universal-time lines or homes differ from the real world";
}

INSTANTIATE_TEST_SUITE_P(Homes, DatabaseMode, ::testing::ValuesIn(kDatabaseHomes), HomeName<DatabaseHome>);

// ---------------------------------------------------------------- dates, periods and colours, database mode

// Niue, Pago Pago (-11), Kiritimati (+14), Tongatapu (+13), Chatham (+13:45) among the rows: from 10:00 to 11:59 UT
// three dates on the page, the odd row on the nearer marker, every other on the pair; tooltips name the row's own.
TEST(YearLong, DatePairsFromTheRows) {
    const Renamed renamed = {{0, "Niue"}, {1, "Pago Pago"}, {2, "Kiritimati"}, {3, "Tongatapu"}, {4, "Chatham"}};
    const char* const ends[] = {"Pacific/Niue", "Pacific/Pago_Pago", "Pacific/Kiritimati", "Pacific/Tongatapu",
                                "Pacific/Chatham"};
    for (const char* home : {"Europe/Rome", "America/New_York", "Australia/Sydney"}) {
        const test::WorkDir dir(false);
        FirstStartIn(dir, home, kNewYear2026, renamed);
        Differences d;
        LeaveRunning(dir, {kHoursOf2026, AlwaysIn(home)}, [&](Program& p, std::size_t i, int homeDay) {
            NoteTimes(d, p, kHoursOf2026, i, 1, [&](int n) { return n < 5 ? ends[n] : kCityZones[n]; }, homeDay);
        });
        std::printf("%zu hours of 2026: ", kHoursOf2026.size()), d.print(home);
        EXPECT_EQ(d.count["markers"] + d.count["tooltips"] + d.count["rows"] + d.count["UT"], 0);
        // Two hours a day, one odd row at most: 10:00 to 10:59 Niue and Pago Pago (with Kiritimati), 11:00 to
        // 11:59 Niue and Pago Pago again (with Tongatapu, Kiritimati and Chatham in winter), or the +14 alone.
        EXPECT_LE(d.count["dates off the pair"], 2 * 2 * 365);
    }
}

// The summer periods of a zone from the C library, 2025 to 2028, each change dated on the clock as it stood.
std::vector<std::pair<int, int>> SummerPeriods(const char* zone) {
    std::vector<std::pair<int, int>> periods;
    test::ScopedZone scoped(zone);
    int start = -1;
    for (std::time_t change : Changes(zone, test::UtcSeconds(2025, 1, 1), test::UtcSeconds(2029, 1, 1))) {
        const int day = DayNumber(Civil(change + LocalOffset(change - 1)));   // the clock at the old offset
        if (LocalOffset(change) > LocalOffset(change - 1)) start = day;
        else if (start >= 0) periods.emplace_back(std::exchange(start, -1), day);
    }
    return periods;
}

// "Ora Legale dal 5 Ottobre 2025 al 5 Aprile 2026     (Emisfero Australe)": a period across the new year.
std::string SouthernPeriodText(int start, int end) {
    auto date = [](int day) {
        const CalendarDate d = CivilFromDays(day);
        return std::to_string(d.day) + " " + std::string(texts::kMonthNames[std::size_t(d.month - 1)]) + " " +
               std::to_string(d.year);
    };
    return "Ora Legale dal " + date(start) + " al " + date(end) + "     (Emisfero Australe)";
}

// A southern home shows the summer period it is in until it ends, then the one that starts that year.
TEST(YearLong, TheSouthernSummerInForce) {
    Instants noons;
    for (std::time_t t = test::UtcSeconds(2026, 1, 1, 12); t < test::UtcSeconds(2028, 1, 1); t += 86400)
        noons.push_back(t);
    for (const char* home : {"Australia/Sydney", "America/Santiago", "Australia/Lord_Howe", "Pacific/Chatham"}) {
        const auto periods = SummerPeriods(home);
        const test::WorkDir dir(false);
        FirstStartIn(dir, home, kNewYear2026);
        int wrong = 0;
        LeaveRunning(dir, {noons, AlwaysIn(home)}, [&](Program& p, std::size_t, int today) {
            const int year = CivilFromDays(today).year;
            auto shown = std::ranges::find_if(periods, [&](auto s) { return s.first <= today && today < s.second; });
            if (shown == periods.end())
                shown = std::ranges::find_if(periods, [&](auto s) { return CivilFromDays(s.first).year == year; });
            const std::string want = shown == periods.end() ? "" : SouthernPeriodText(shown->first, shown->second);
            if (p.view().summerPeriod.caption != want && ++wrong < 4)
                ADD_FAILURE() << home << " on " << today << ": " << p.view().summerPeriod.caption << " for " << want;
        });
        std::printf("%-20s %zu days, %d periods wrong\n", home, noons.size(), wrong);
        EXPECT_EQ(wrong, 0);
    }
}

// Every shipped name on a row, 54 at a time, in its zone's legend colour by the C library: a half or quarter hour
// red; summer (above the smaller of 1 January's and 1 July's offsets) violet if on 1 January, else blue; none green.
TEST(YearLong, EveryZoneInItsLegendColour) {
    std::vector<std::pair<std::string, std::string>> dictionary;
    const auto shipped = ReadCityZones(std::filesystem::path(VEMAR_DATA_DIR) / kCityZonesFile);
    for (const auto& [name, entry] : shipped->entries)
        if (entry.zone != "-") dictionary.emplace_back(name, entry.zone);
    auto factsColour = [&](const std::string& zone) {
        const std::vector<Local>& at = ZoneAt(zone, kHoursOf2026);
        test::ScopedZone scoped(zone.c_str());
        const long january = LocalOffset(test::UtcSeconds(2026, 1, 1, 12));
        const long standard = std::min(january, LocalOffset(test::UtcSeconds(2026, 7, 1, 12)));
        if (std::ranges::any_of(at, [](const Local& l) { return l.offsetSeconds % 3600 != 0; })) return 12;
        const bool summer = std::ranges::any_of(at, [&](const Local& l) { return l.offsetSeconds > standard; });
        return !summer ? 10 : january > standard ? 13 : 11;
    };
    std::vector<Rgb> colours;
    for (const auto& [name, zone] : dictionary) colours.push_back(palette(factsColour(zone)));
    int wrong = 0, rows = 0;
    for (std::size_t first = 0; first < dictionary.size(); first += kZoneRows) {
        Renamed renamed;
        for (std::size_t n = first; n < std::min(first + kZoneRows, dictionary.size()); ++n)
            renamed.emplace_back(int(n - first), dictionary[n].first);
        for (int page : {1, 2}) {
            const test::WorkDir dir(false);
            FirstStartIn(dir, "Europe/Rome", kNewYear2026, renamed);
            LeaveRunning(dir, {kHoursOf2026, AlwaysIn("Europe/Rome"), true, page}, [&](Program& p, std::size_t, int) {
                for (int k = 0; k < kPageRows; ++k) {
                    const std::size_t n = first + std::size_t((page - 1) * kPageRows + k);
                    if (n >= dictionary.size()) continue;
                    ++rows;
                    if (p.view().cityNames[k].textColour != colours[n] && ++wrong < 8)
                        ADD_FAILURE() << dictionary[n].first << " (" << dictionary[n].second << ")";
                }
            });
        }
    }
    std::printf("%zu zones, %d row colours, %d wrong\n", dictionary.size(), rows, wrong);
    EXPECT_EQ(wrong, 0);
}

// ---------------------------------------------------------------- a machine on a journey
// The machine's zone changes under the running program, as a laptop's does: every row and UT line stay true.
// A home on its zone moves with it, files as a first start there writes them (a typed place keeps its hemisphere).

struct Leg { const char* zone; std::time_t from, to; };   // every 20 minutes of [from, to)
const Leg kLegs[] = {
    {"Europe/Rome", test::UtcSeconds(2026, 3, 28, 12), test::UtcSeconds(2026, 3, 29, 12)},       // into summer
    {"America/New_York", test::UtcSeconds(2026, 10, 31, 18), test::UtcSeconds(2026, 11, 2)},     // out of it
    {"Asia/Kathmandu", test::UtcSeconds(2026, 11, 10), test::UtcSeconds(2026, 11, 10, 12)},
    {"Australia/Sydney", test::UtcSeconds(2027, 4, 3, 6), test::UtcSeconds(2027, 4, 4, 6)},      // out of it, south
};

// What the user does first, in Roma; whether the home then moves; a typed place (lxp2.par's fields 1-4).
struct Journey { const char* why; std::function<void(Program&)> inRoma; bool follows; const char* place = nullptr; };

// lxp2.par's place and zone, its first five fields.
std::string PlaceAndZone(const std::string& site) {
    std::string out;
    for (const FieldValue& f : ReadFields(site, 5)) out += (out.empty() ? "" : ",") + f.text;
    return out;
}

TEST(Journeys, TheHomeFollowsTheMachineAndEveryTimeStaysTrue) {
    const Journey journeys[] = {
        {"the first start's place moves", [](Program&) {}, true},
        {"a typed place stays, with its hemisphere", [](Program& p) {
             PlaceSettings s = p.place();
             std::tie(s.latDegrees, s.latMinutes, s.lonDegrees, s.lonMinutes) = std::tuple(45, 30, -9, 0);
             p.setPlace(s), p.saveSiteSettings();
         }, true, "45,30,-9,0"},
        {"summer time set by hand", [](Program& p) {
             PlaceSettings place = p.place();
             place.autoDst = 0, p.setPlace(place), p.saveSiteSettings(), p.dstSwitchClick();
         }, false},
        {"the rule edited", [](Program& p) {
             DstRule rule = p.state().dstRule;
             rule.weekB = 3, p.setDstRule(rule), p.saveDstRule();
         }, false},
    };
    Instants instants;
    std::vector<std::size_t> legOf;
    for (std::size_t leg = 0; leg < std::size(kLegs); ++leg)
        for (std::time_t t = kLegs[leg].from; t < kLegs[leg].to; t += 1200, legOf.push_back(leg)) instants.push_back(t);
    for (const Journey& journey : journeys) {
        SCOPED_TRACE(journey.why);
        test::WorkDir dir(false);
        FirstStartIn(dir, kLegs[0].zone, kNewYear2026);
        const std::string siteInRoma = dir.read(kSiteFile), ruleInRoma = dir.read(kRuleFile);
        Differences d;
        std::size_t leg = 0;
        auto filesOfLeg = [&](std::size_t i) {
            const Leg& now = kLegs[legOf[i]];
            SCOPED_TRACE(now.zone);
            if (!journey.follows) {
                EXPECT_EQ(ReadFields(dir.read(kSiteFile), 18)[4].text, "-1") << "the zone box stays";
                EXPECT_EQ(dir.read(kHomeZoneFile), "-\n");
                return;
            }
            const test::WorkDir fresh(false);   // what a first start in the zone writes at that instant
            FirstStartIn(fresh, now.zone, instants[i]);
            const std::string site = fresh.read(kSiteFile);
            EXPECT_EQ(dir.read(kHomeZoneFile), std::string(now.zone) + "\n");
            if (!journey.place) {
                EXPECT_EQ(dir.read(kSiteFile), site);
                EXPECT_EQ(dir.read(kRuleFile), fresh.read(kRuleFile));
                return;
            }
            std::vector<FieldValue> got = ReadFields(dir.read(kSiteFile), 18), first = ReadFields(site, 18);
            EXPECT_EQ(PlaceAndZone(dir.read(kSiteFile)), journey.place + ("," + first[4].text));
            EXPECT_EQ(got[14].text, "1") << "the typed place's hemisphere";
            EXPECT_EQ(got[16].text, first[16].text) << "the half hour";
        };
        auto zoneOfLeg = [&](std::size_t i) { return kLegs[legOf[i]].zone; };
        LeaveRunning(dir, {instants, zoneOfLeg, true, 1, journey.inRoma}, [&](Program& p, std::size_t i, int) {
            if (legOf[i] != leg) leg = legOf[i], filesOfLeg(i);   // the first tick in a new zone
            if (p.home().followsZone() != journey.follows) d.note("home on or off its zone", kLegs[leg].zone);
            NoteTimes(d, p, instants, i, 1, [](int n) { return kCityZones[n]; });
        });
        if (!journey.follows) {   // the place and the zone stay; the rule too, unless the user edited it
            EXPECT_EQ(std::pair(PlaceAndZone(dir.read(kSiteFile)), dir.read(kRuleFile) == ruleInRoma),
                      std::pair(PlaceAndZone(siteInRoma), !std::string(journey.why).ends_with("edited")));
        }
        std::printf("%s: ", journey.why), d.print("");
        EXPECT_TRUE(d.count.empty());
    }
}

// ---------------------------------------------------------------- left running

// Across a change of summer time, day or year, a running clock's first tick shows all that a fresh start shows.
TEST(LeftRunning, ShowsWhatAFreshStartShows) {
    struct Crossing { const char* why; const Home& home; ClockReading before, after; };
    const Crossing crossings[] = {
        {"Roma into summer", kHomes[0], {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 12, 0, 0}},
        {"Roma out of summer", kHomes[0], {2026, 10, 24, 23, 59, 50}, {2026, 10, 25, 12, 0, 0}},
        {"Roma into the new year", kHomes[0], {2026, 12, 31, 23, 59, 50}, {2027, 1, 1, 12, 0, 0}},
        {"Roma into a new day", kHomes[0], {2026, 6, 10, 23, 59, 58}, {2026, 6, 11, 0, 0, 0}},
        {"Sydney out of summer", kHomes[4], {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 12, 0, 0}},
        {"Sydney into summer", kHomes[4], {2026, 10, 24, 23, 59, 50}, {2026, 10, 25, 0, 0, 5}},
        {"Sydney into the new year", kHomes[4], {2026, 12, 31, 23, 59, 50}, {2027, 1, 1, 12, 0, 0}},
        // The south reads the rule in the next year, a leap year from 2027.
        {"Sydney into a new day of 2027", kHomes[4], {2027, 3, 10, 23, 59, 58}, {2027, 3, 11, 0, 0, 0}},
        {"Sydney into a new day of 2023", kHomes[4], {2023, 3, 10, 23, 59, 58}, {2023, 3, 11, 0, 0, 0}},
        {"New York into summer", kHomes[1], {2026, 3, 28, 23, 59, 50}, {2026, 3, 29, 0, 0, 1}},
        {"Delhi's morning ends", kHomes[3], {2026, 6, 10, 14, 59, 59}, {2026, 6, 10, 15, 0, 0}},
    };
    for (const Crossing& c : crossings) {
        SCOPED_TRACE(c.why);
        auto shown = [&](std::initializer_list<ClockReading> readings) {
            test::WorkDir dir;
            dir.write(kSiteFile, std::string(c.home.lxp2) + "\r\n");
            test::RecordingPlatform platform;
            platform.clock = *readings.begin();
            Program program(platform, dir.path());
            EXPECT_TRUE(program.startUp());
            for (const ClockReading& r : readings) platform.clock = r, program.tick();
            return test::Picture(program.view());
        };
        EXPECT_EQ(shown({c.before, c.after}), shown({c.after}));
    }
}

} // namespace
} // namespace vemar
