#pragma once
// When the home follows the system's zone, and how it moves with it.
//
// The settings folder remembers the zone the home follows by its name
// (casa.tz): the first start writes it, and a folder made before is judged
// once, by whether its settings are what a first start would store for the
// machine's zone. The home then follows that zone while its settings are
// still those that following set (the zone box, the half hour, automatic
// summer time and the rule) and no summer hour was set by hand: the database
// alone decides its summer hour. A name, not a yearly comparison of offsets,
// so that Casablanca's Ramadan and Dublin's winter hour never take a home
// off its zone.
//
// When the machine's zone changes (a laptop on a journey, noticed within a
// minute, or found at the next start), a home that follows moves with it:
// its settings become what a first start would store for the new zone, and
// lxp2.par, Parleg.dat and casa.tz are written at once. A place the user
// typed stays, and with it its hemisphere; the place a first start stored
// moves to the new zone's. A write that fails is one warning and is tried
// again a minute later; nothing here is ever fatal.

#include "core/platform.h"
#include "core/state.h"
#include "core/time/zonedatabase.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace vemar {

// Where the home's facts come from.
struct HomeFolders {
    std::filesystem::path settings;   // lxp2.par, Parleg.dat, casa.tz
    std::filesystem::path data;       // the installed data: the shipped place and rule
    std::filesystem::path zoneinfo = "/usr/share/zoneinfo";   // zone1970.tab, the zones' places
};

// The old way of telling, for a folder without casa.tz: the home is on the
// zone when its settings hold what a first start would store for it.
bool FollowsByOffsets(std::chrono::seconds standardOffset, bool zoneHasSummer, const SiteSettings& site);

class HomeZone {
public:
    HomeZone(Platform& platform, HomeFolders folders);
    void setDataDir(std::filesystem::path dir) { folders_.data = std::move(dir); }

    // Database mode begins: casa.tz is read, or the folder judged once and
    // the judgement stored; the settings in force are what following set.
    void attach(const ZoneDatabase& zones, const SiteSettings& site, const DstRule& rule, const ClockReading& now);
    // The home follows its zone now (read at every tick).
    bool follows(const SiteSettings& site, const DstRule& rule) const;
    // The zone followed, while the home follows it; empty otherwise.
    const std::string& zone() const { return followed_ ? followed_->zone : kNone; }

    // The user switched summer time by hand: the home leaves its zone.
    void leaveByHand() { byHand_ = true; }
    // lxp2.par or Parleg.dat was saved by the user: casa.tz says from now on
    // whether the home still follows its zone.
    void settingsSaved(const SiteSettings& site, const DstRule& rule);

    // The machine's zone at this reading: when a home that follows it finds
    // another one, its settings move there and are written. True when they moved.
    bool travel(SiteSettings& site, DstRule& rule, const ClockReading& now);
    // At every tick: a write that failed is tried again once a minute.
    void retryWrites(const ClockReading& now);

    // The zone's offset at an instant, and whether it holds a summer hour
    // (more than the year's standard offset). nullopt when the database cannot say.
    struct Offset {
        std::chrono::seconds ahead{0};
        bool summer = false;
    };
    std::optional<Offset> offsetAt(sys_seconds instant, int year);
    // The zone's offset at local noon of a date: what the sun and moon of that day are computed for.
    std::optional<std::chrono::seconds> noonOffset(const CalendarDate& date);
    // The summer period of the zone for the period text: the one in force, else this year's.
    std::optional<SummerPeriod> summerPeriod(const CalendarDate& today) const;

private:
    // What following set, so a change by the user shows as a difference.
    struct Followed {
        std::string zone;
        std::chrono::hours zoneOffset{0};
        std::chrono::minutes halfHour{0};
        int autoDst = 0;
        DstRule rule;
    };
    static Followed Snapshot(std::string zone, const SiteSettings& site, const DstRule& rule);
    void judgeOnce(const SiteSettings& site, const DstRule& rule, const ClockReading& now);
    void moveTo(const std::string& zone, SiteSettings& site, DstRule& rule, sys_seconds now);
    // Writes what is due; a failure is a warning, and the write stays due.
    void write();

    static inline const std::string kNone;

    Platform& platform_;
    HomeFolders folders_;
    const ZoneDatabase* zones_ = nullptr;
    std::optional<Followed> followed_;
    bool byHand_ = false;
    std::string stored_;                  // what casa.tz holds ("" for "-")
    // Due writes: the settings a move set (lxp2.par, Parleg.dat), casa.tz.
    bool pendingSettings_ = false;
    SiteSettings pendingSite_;
    DstRule pendingRule_;
    bool pendingZone_ = false;
    std::int64_t minute_ = 0;             // of the reading last ticked
    std::int64_t lastTryMinute_ = -1;
    std::string lastWarning_;
    // The facts of the year, and the span of the offset last read.
    int year_ = 0;
    std::optional<std::chrono::seconds> standard_;
    std::optional<ZoneOffset> span_;
    struct Noon {
        CalendarDate date;
        std::string zone;
        std::optional<std::chrono::seconds> ahead;
    };
    std::optional<Noon> noon_;
};

} // namespace vemar
