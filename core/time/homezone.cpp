#include "core/time/homezone.h"

#include "core/files.h"
#include "core/firststart.h"
#include "core/texts.h"

namespace vemar {

using std::chrono::seconds;

bool FollowsByOffsets(seconds standardOffset, bool zoneHasSummer, const SiteSettings& site) {
    const StoredOffset stored = StorableOffset(standardOffset);
    if (stored.zoneOffset != site.zoneOffset || stored.halfHour != site.halfHour) return false;
    // With summer time switched by hand the user has said what the clock
    // holds; a zone without summer time has nothing to switch, until the
    // user sets a summer hour anyway.
    return site.autoDst == 1 || (!zoneHasSummer && site.inDstWindow == 0);
}

HomeZone::HomeZone(Platform& platform, HomeFolders folders) : platform_(platform), folders_(std::move(folders)) {}

HomeZone::Followed HomeZone::Snapshot(std::string zone, const SiteSettings& site, const DstRule& rule) {
    return {std::move(zone), site.zoneOffset, site.halfHour, site.autoDst, rule};
}

void HomeZone::attach(const ZoneDatabase& zones, const SiteSettings& site, const DstRule& rule,
                      const ClockReading& now) {
    zones_ = &zones;
    const auto stored = ReadHomeZone(folders_.settings / kHomeZoneFile);
    if (!stored) return judgeOnce(site, rule, now);
    stored_ = *stored;
    // A name the database does not know (a damaged file) follows nothing.
    if (!stored_.empty() && zones.offsetAt(stored_, sys_seconds{})) followed_ = Snapshot(stored_, site, rule);
}

// A folder made before the home followed by name: today's settings are
// compared once with what a first start would store for the machine's zone.
void HomeZone::judgeOnce(const SiteSettings& site, const DstRule& rule, const ClockReading& now) {
    const std::string zone = platform_.systemZone();
    const auto standard = zone.empty() ? std::nullopt : StandardOffset(*zones_, zone, now.year);
    if (!standard) return;   // the machine's zone cannot be told: nothing to follow, nothing stored
    if (FollowsByOffsets(*standard, HasSummerTime(*zones_, zone, now.year), site))
        followed_ = Snapshot(zone, site, rule);
    stored_ = followed_ ? zone : std::string();
    pendingZone_ = true;
    write();
}

bool HomeZone::follows(const SiteSettings& site, const DstRule& rule) const {
    if (!followed_ || byHand_) return false;
    const Followed& f = *followed_;
    return site.zoneOffset == f.zoneOffset && site.halfHour == f.halfHour && site.autoDst == f.autoDst &&
           f.rule == rule;
}

void HomeZone::settingsSaved(const SiteSettings& site, const DstRule& rule) {
    pendingSettings_ = false;   // the user's own save replaces an automatic one still due
    if (!zones_) return;
    const std::string wanted = follows(site, rule) ? followed_->zone : std::string();
    if (wanted == stored_) return;
    stored_ = wanted;
    pendingZone_ = true;
    write();
}

bool HomeZone::travel(SiteSettings& site, DstRule& rule, const ClockReading& now) {
    if (!zones_ || !now.instant || !follows(site, rule)) return false;
    const std::string zone = platform_.systemZone();
    if (zone.empty() || zone == followed_->zone || !zones_->offsetAt(zone, *now.instant)) return false;
    moveTo(zone, site, rule, *now.instant);
    return true;
}

// What a first start would store for the new zone, but the place: the one a
// first start stored for the old zone moves on, a place the user typed stays.
void HomeZone::moveTo(const std::string& zone, SiteSettings& site, DstRule& rule, sys_seconds now) {
    const ShippedSettings shipped = ReadShippedSettings(folders_.data);
    const Coordinates held = PlaceOf(site);
    const bool placeOfFirstStart = held == FirstStartPlace(folders_.zoneinfo, followed_->zone, shipped.site);
    const Coordinates place =
        placeOfFirstStart ? ZoneCoordinates(folders_.zoneinfo, zone).value_or(held) : held;
    const SeededSettings seeded = SeedSettings(MeasureZone(*zones_, zone, now), place, site, shipped.rule);
    site = seeded.site;
    rule = seeded.rule;
    followed_ = Snapshot(zone, site, rule);
    stored_ = zone;
    pendingSite_ = site;
    pendingRule_ = rule;
    pendingSettings_ = pendingZone_ = true;
    year_ = 0;
    span_.reset();
    write();
}

void HomeZone::retryWrites(const ClockReading& now) {
    minute_ = DaysFromCivil({now.day, now.month, now.year}) * 1440 + now.hour * 60 + now.minute;
    if ((pendingSettings_ || pendingZone_) && minute_ != lastTryMinute_) write();
}

// lxp2.par and Parleg.dat before casa.tz: stopped in between, the folder
// still names the old zone, and the next start moves again to the new one.
void HomeZone::write() {
    lastTryMinute_ = minute_;
    const char* file = kSiteFile;
    try {
        if (pendingSettings_) {
            file = kRuleFile;
            WriteParleg(folders_.settings / kRuleFile, pendingRule_);
            platform_.fileWritten(kRuleFile);
            file = kSiteFile;
            WriteSiteSettings(folders_.settings / kSiteFile, pendingSite_);
            platform_.fileWritten(kSiteFile);
            pendingSettings_ = false;
        }
        if (pendingZone_) {
            file = kHomeZoneFile;
            WriteHomeZone(folders_.settings / kHomeZoneFile, stored_);
            platform_.fileWritten(kHomeZoneFile);
            pendingZone_ = false;
        }
        lastWarning_.clear();
    } catch (const FileError& e) {
        // Once for as long as the same fault lasts, not once a minute.
        const std::string warning = std::string(file) + ": " + e.what() + std::string(texts::kTriedAgainInAMinute);
        if (warning != lastWarning_) platform_.warning(warning);
        lastWarning_ = warning;
    }
}

std::optional<HomeZone::Offset> HomeZone::offsetAt(sys_seconds instant, int year) {
    if (!followed_) return std::nullopt;
    if (year != year_) {
        year_ = year;
        standard_ = StandardOffset(*zones_, followed_->zone, year);
        span_.reset();
    }
    if (!standard_) return std::nullopt;
    if (!span_ || !span_->holdsAt(instant)) span_ = zones_->offsetAt(followed_->zone, instant);
    if (!span_) return std::nullopt;
    return Offset{span_->ahead, span_->ahead > *standard_};
}

// Asked at every tick, answered from the database once a day.
std::optional<seconds> HomeZone::noonOffset(const CalendarDate& date) {
    if (!followed_) return std::nullopt;
    if (noon_ && noon_->date == date && noon_->zone == followed_->zone) return noon_->ahead;
    // Local noon is twelve hours after 0h less the offset; no zone moves its
    // clocks near noon, so the offset at noon read as universal time finds it.
    const sys_seconds noonUt = StartOfDay(date) + std::chrono::hours{12};
    const auto guess = zones_->offsetAt(followed_->zone, noonUt);
    const auto noon = guess ? zones_->offsetAt(followed_->zone, noonUt - guess->ahead) : std::nullopt;
    noon_ = Noon{date, followed_->zone, noon ? std::optional(noon->ahead) : std::nullopt};
    return noon_->ahead;
}

std::optional<SummerPeriod> HomeZone::summerPeriod(const CalendarDate& today) const {
    if (!followed_) return std::nullopt;
    return SummerPeriodOf(*zones_, followed_->zone, today);
}

} // namespace vemar
