#include "core/firststart.h"

#include "core/time/dst.h"
#include "core/files.h"
#include "core/texts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

namespace vemar {

namespace fs = std::filesystem;

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kHalfHourSeconds = 30 * kSecondsPerMinute;
constexpr int kMaxStoredHours = 12;

// The shipped place, should the installed lxp2.par be missing or damaged:
// Roma. Only its place is ever used: a first start takes the rest from the zone.
const SiteSettings kFallbackSite{.latDegrees = 41, .latMinutes = 54, .lonDegrees = -12, .lonMinutes = -29};

// Local noon of a calendar day.
std::tm LocalNoon(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    return text.substr(start);
}

// "zoneinfo/Europe/Rome" anywhere in a path: what follows.
std::string AfterZoneinfo(std::string_view path) {
    constexpr std::string_view kMarker = "zoneinfo/";
    const auto at = path.rfind(kMarker);
    return at == std::string_view::npos ? std::string(path) : std::string(path.substr(at + kMarker.size()));
}

// Signed whole minutes of an ISO 6709 part: sign, then degreeDigits digits of
// degrees, two of minutes and optionally two of seconds.
std::optional<int> ArcMinutes(std::string_view part, std::size_t degreeDigits) {
    if (part.size() != degreeDigits + 3 && part.size() != degreeDigits + 5) return std::nullopt;
    if (part[0] != '+' && part[0] != '-') return std::nullopt;
    for (char c : part.substr(1))
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    auto number = [&](std::size_t from, std::size_t count) { return std::stoi(std::string(part.substr(from, count))); };
    const int degrees = number(1, degreeDigits);
    const int minutes = number(1 + degreeDigits, 2);
    const int seconds = part.size() == degreeDigits + 5 ? number(3 + degreeDigits, 2) : 0;
    if (minutes > 59 || seconds > 59) return std::nullopt;
    const int total = degrees * 60 + minutes + (seconds >= 30 ? 1 : 0);
    return part[0] == '-' ? -total : total;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// One transition of a rule (month, week, weekday) that fits the zone's
// transition in every year; the week is the last occurrence where that fits,
// else the earliest week that does.
struct TransitionRule { int monthIndex, week, weekday; };
std::optional<TransitionRule> FitTransition(const std::vector<ZoneTransition>& sameKind) {
    const ZoneTransition& first = sameKind.front();
    std::set<int> weeks = {0, 1, 2, 3, 4};
    for (const ZoneTransition& t : sameKind) {
        if (t.month != first.month || t.weekday != first.weekday) return std::nullopt;
        std::erase_if(weeks, [&](int w) { return TransitionDay(t.month - 1, w, t.weekday, t.year) != t.day; });
    }
    if (weeks.empty()) return std::nullopt;
    const int week = weeks.count(4) ? 4 : *weeks.begin();
    return TransitionRule{first.month - 1, week, first.weekday};
}

void CopyIfAbsent(const fs::path& from, const fs::path& to, std::vector<std::string>& log) {
    std::error_code ec;
    if (fs::exists(to, ec) || !fs::exists(from, ec)) return;
    try {
        if (auto bytes = ReadFileBytes(from)) WriteFileAtomic(to, *bytes);
        else log.push_back("cannot read " + from.string());
    } catch (const std::exception& e) {
        log.push_back("cannot copy " + from.string() + ": " + e.what());
    }
}

} // namespace

// ------------------------------------------------------------------ measuring

namespace {

// The facts of a zone from its offset at each day's local noon: transitions
// fall in the small hours, so the offset at noon changes on the day the new
// offset takes effect.
template <class NoonOffset>
ZoneFacts MeasureFromNoons(int firstYear, int years, std::chrono::seconds nowOffset, NoonOffset noonOffset) {
    ZoneFacts facts;
    facts.firstYear = firstYear;
    facts.years = years;
    facts.nowOffsetSeconds = int(nowOffset.count());
    facts.januaryOffsetSeconds = int(noonOffset(CalendarDate{1, 1, firstYear}).count());
    facts.julyOffsetSeconds = int(noonOffset(CalendarDate{1, 7, firstYear}).count());
    int previous = facts.januaryOffsetSeconds;
    const std::int64_t end = DaysFromCivil({1, 1, firstYear + years});
    for (std::int64_t day = DaysFromCivil({2, 1, firstYear}); day < end; ++day) {
        const CalendarDate date = CivilFromDays(day);
        const int offset = int(noonOffset(date).count());
        if (offset == previous) continue;
        // 1 January 1970 was a Thursday.
        const int weekday = static_cast<int>(FloorMod(day + 4, std::int64_t{7}));
        facts.transitions.push_back({date.year, date.month, date.day, weekday, offset > previous});
        previous = offset;
    }
    return facts;
}

} // namespace

ZoneFacts MeasureLocalZone(std::time_t now, int years) {
    tzset();
    std::tm today{};
    localtime_r(&now, &today);
    return MeasureFromNoons(today.tm_year + 1900, years, std::chrono::seconds{today.tm_gmtoff},
                            [](const CalendarDate& d) {
                                return std::chrono::seconds{LocalNoon(d.year, d.month, d.day).tm_gmtoff};
                            });
}

ZoneFacts MeasureZone(const ZoneDatabase& zones, std::string_view zone, sys_seconds now, int years) {
    const auto offsetAt = [&](sys_seconds t) {
        const auto offset = zones.offsetAt(zone, t);
        return offset ? offset->ahead : std::chrono::seconds{0};
    };
    const std::chrono::seconds nowOffset = offsetAt(now);
    const auto local = std::chrono::floor<std::chrono::days>(now + nowOffset);
    const int year = CivilFromDays(local.time_since_epoch().count()).year;
    return MeasureFromNoons(year, years, nowOffset, [&](const CalendarDate& d) {
        // Noon on the clock lies the offset before noon of universal time; no
        // zone moves its clocks near noon, so one correction finds it.
        const sys_seconds noonUt = StartOfDay(d) + std::chrono::hours{12};
        return offsetAt(noonUt - offsetAt(noonUt));
    });
}

std::string SystemZoneName() {
    if (const char* tz = std::getenv("TZ")) {
        std::string_view name = tz;
        if (!name.empty() && name[0] == ':') name.remove_prefix(1);
        return name.empty() ? "UTC" : AfterZoneinfo(name);
    }
    std::error_code ec;
    const fs::path target = fs::read_symlink("/etc/localtime", ec);
    if (!ec) return AfterZoneinfo(target.string());
    if (auto bytes = ReadFileBytes("/etc/timezone")) return Trimmed(*bytes);
    return {};
}

// ------------------------------------------------------------------ coordinates

std::optional<Coordinates> ParseIsoCoordinates(std::string_view text) {
    const auto split = text.find_first_of("+-", 1);
    if (split == std::string_view::npos) return std::nullopt;
    const std::string_view latPart = text.substr(0, split), lonPart = text.substr(split);
    if (latPart.size() != lonPart.size() - 1) return std::nullopt;   // ±DDMM[SS] with ±DDDMM[SS]
    const auto lat = ArcMinutes(latPart, 2);
    const auto lon = ArcMinutes(lonPart, 3);
    if (!lat || !lon) return std::nullopt;
    // lxp2.par counts longitude positive to the west.
    const int west = -*lon;
    return Coordinates{*lat / 60, *lat % 60, west / 60, west % 60};
}

std::optional<Coordinates> ZoneCoordinates(const fs::path& zoneinfoDir, std::string_view zoneName) {
    if (zoneName.empty()) return std::nullopt;
    const auto table = ReadFileBytes(zoneinfoDir / "zone1970.tab");
    if (!table) return std::nullopt;

    struct Entry { std::string zone, coordinates; };
    std::vector<Entry> entries;
    std::istringstream lines(*table);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::array<std::string, 3> fields;
        std::istringstream columns(line);
        for (auto& f : fields) std::getline(columns, f, '\t');
        entries.push_back({Trimmed(fields[2]), fields[1]});
    }
    for (const Entry& e : entries)
        if (e.zone == zoneName) return ParseIsoCoordinates(e.coordinates);
    // A link (US/Eastern, Asia/Calcutta) is the same file as its zone,
    // whether the database made it a symbolic or a hard link.
    const fs::path named = zoneinfoDir / zoneName;
    for (const Entry& e : entries)
        if (SameFile(named, zoneinfoDir / e.zone)) return ParseIsoCoordinates(e.coordinates);
    return std::nullopt;
}

Coordinates PlaceOf(const SiteSettings& site) {
    return {ToInteger(site.latDegrees), ToInteger(site.latMinutes), ToInteger(site.lonDegrees),
            ToInteger(site.lonMinutes)};
}

// ------------------------------------------------------------------ deciding

ShippedSettings ReadShippedSettings(const fs::path& dataDir) {
    ShippedSettings shipped{kFallbackSite, DstRule{}};
    try {
        shipped.site = ReadSiteSettings(dataDir / kSiteFile);
    } catch (const FileError&) {
        // Copied as it is, a damaged record would stop every start; Roma stands in, as for none.
    }
    try {
        shipped.rule = ReadParleg(dataDir / kRuleFile);
    } catch (const FileError&) {
        // The rule every European zone uses stands in for a damaged file.
    }
    return shipped;
}

Coordinates FirstStartPlace(const fs::path& zoneinfoDir, std::string_view zone, const SiteSettings& shippedSite) {
    return ZoneCoordinates(zoneinfoDir, zone).value_or(PlaceOf(shippedSite));
}

StoredOffset StorableOffset(std::chrono::seconds offset) {
    const long halfHours = std::lround(double(offset.count()) / kHalfHourSeconds);
    const long clamped = std::clamp<long>(halfHours, -2L * kMaxStoredHours, 2L * kMaxStoredHours);
    const long minutes = clamped * 30;
    const long hours = minutes >= 0 ? minutes / 60 : -((-minutes + 59) / 60);   // rounded down
    return {std::chrono::hours{hours}, std::chrono::minutes{minutes - hours * 60}};
}

std::optional<DstRule> RuleFor(const ZoneFacts& facts, Hemisphere hemisphere) {
    std::vector<ZoneTransition> earlier, later;
    for (int year = facts.firstYear; year < facts.firstYear + facts.years; ++year) {
        std::vector<ZoneTransition> inYear;
        for (const ZoneTransition& t : facts.transitions)
            if (t.year == year) inYear.push_back(t);
        if (inYear.size() != 2 || inYear[0].toSummer == inYear[1].toSummer) return std::nullopt;
        // A is the calendar year's earlier transition: the start of summer in
        // the north, its end in the south.
        if (inYear[0].toSummer != IsNorthern(hemisphere)) return std::nullopt;
        earlier.push_back(inYear[0]);
        later.push_back(inYear[1]);
    }
    if (earlier.empty()) return std::nullopt;
    const auto a = FitTransition(earlier);
    const auto b = FitTransition(later);
    if (!a || !b) return std::nullopt;
    return DstRule{a->monthIndex, a->week, a->weekday, b->monthIndex, b->week, b->weekday};
}

SeededSettings SeedSettings(const ZoneFacts& facts, const std::optional<Coordinates>& place,
                            const SiteSettings& shippedSite, const DstRule& shippedRule) {
    SeededSettings seeded;
    seeded.site = shippedSite;

    const int standardSeconds = std::min(facts.januaryOffsetSeconds, facts.julyOffsetSeconds);
    const StoredOffset stored = StorableOffset(std::chrono::seconds{standardSeconds});
    const int autoDst = facts.januaryOffsetSeconds != facts.julyOffsetSeconds ? 1 : 0;
    // Without a place, the season of the summer hour tells the hemisphere.
    const bool south = place ? place->latDegrees < 0 || place->latMinutes < 0
                             : facts.januaryOffsetSeconds > facts.julyOffsetSeconds;
    const Hemisphere hemisphere = south ? Hemisphere::South : Hemisphere::North;
    // 1 while the home's clock holds a summer hour; recomputed at every start
    // while AutoDst is 1, and standard time where the zone has none.
    const int summerNow = autoDst == 1 && facts.nowOffsetSeconds > standardSeconds ? 1 : 0;

    if (place) {
        seeded.site.latDegrees = place->latDegrees;
        seeded.site.latMinutes = place->latMinutes;
        seeded.site.lonDegrees = place->lonDegrees;
        seeded.site.lonMinutes = place->lonMinutes;
    }
    seeded.site.zoneOffset = stored.zoneOffset;
    seeded.site.inDstWindow = summerNow;
    seeded.site.hemisphere = hemisphere;
    seeded.site.outsideDstWindow = 1 - summerNow;
    seeded.site.halfHour = stored.halfHour;
    seeded.site.autoDst = autoDst;

    const auto own = autoDst == 1 ? RuleFor(facts, hemisphere) : std::nullopt;
    seeded.rule = own.value_or(shippedRule);
    seeded.ownRule = own.has_value();
    return seeded;
}

// ------------------------------------------------------------------ the directory

fs::path SettingsDirFor(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return fs::path(xdgConfigHome) / "vemar";
    if (home && home[0] == '/') return fs::path(home) / ".config" / "vemar";
    return {};
}

std::vector<std::string> PrepareSettingsDir(const fs::path& settingsDir, const fs::path& dataDir,
                                            const fs::path& zoneinfoDir, std::time_t now) {
    std::vector<std::string> log;
    std::error_code ec;
    fs::create_directories(settingsDir, ec);
    if (ec) {
        log.push_back("cannot make " + settingsDir.string() + ": " + ec.message());
        return log;
    }
    CopyIfAbsent(dataDir / kZoneFile, settingsDir / kZoneFile, log);
    CopyIfAbsent(dataDir / kMarkerFile, settingsDir / kMarkerFile, log);
    if (fs::exists(settingsDir / kSiteFile, ec)) {
        CopyIfAbsent(dataDir / kRuleFile, settingsDir / kRuleFile, log);
        return log;
    }
    try {
        const ZoneFacts facts = MeasureLocalZone(now);
        const std::string zone = SystemZoneName();
        const auto place = ZoneCoordinates(zoneinfoDir, zone);
        if (!place) log.push_back("no coordinates for the zone '" + zone + "': the shipped place is kept");
        const ShippedSettings shipped = ReadShippedSettings(dataDir);
        const SeededSettings seeded = SeedSettings(facts, place, shipped.site, shipped.rule);
        // A new user's cities and home follow the system's time-zone
        // database; a folder made before keeps its table until its user
        // copies fusi.tz in.
        CopyIfAbsent(dataDir / kCityZonesFile, settingsDir / kCityZonesFile, log);
        if (!zone.empty() && fs::exists(settingsDir / kCityZonesFile, ec) &&
            !fs::exists(settingsDir / kHomeZoneFile, ec))
            WriteHomeZone(settingsDir / kHomeZoneFile, zone);
        // The date markers show from the first tick: the pair the date
        // characters' "Default" gives, every other value at its start value.
        if (!fs::exists(settingsDir / kDisplayFile, ec)) {
            DisplaySettings display;
            display.dateSymbol1 = texts::kDefaultSymbol1;
            display.dateSymbol2 = texts::kDefaultSymbol2;
            WriteDisplaySettings(settingsDir / kDisplayFile, display);
        }
        // lxp2.par last: its presence marks a finished first start.
        if (!fs::exists(settingsDir / kRuleFile, ec)) WriteParleg(settingsDir / kRuleFile, seeded.rule);
        WriteSiteSettings(settingsDir / kSiteFile, seeded.site);
    } catch (const std::exception& e) {
        log.push_back(std::string("cannot seed the settings from the time zone: ") + e.what());
        CopyIfAbsent(dataDir / kCityZonesFile, settingsDir / kCityZonesFile, log);
        CopyIfAbsent(dataDir / kRuleFile, settingsDir / kRuleFile, log);
        CopyIfAbsent(dataDir / kSiteFile, settingsDir / kSiteFile, log);
    }
    return log;
}

} // namespace vemar
