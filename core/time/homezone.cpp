#include "core/time/homezone.h"

namespace vemar {

bool FollowsSystemZone(const StoredOffset& firstStart, const HomeSettings& settings, bool zoneHasSummer) {
    if (firstStart.zoneHours != settings.zoneHours || firstStart.halfHourMinutes != settings.halfHourMinutes)
        return false;
    // With summer time switched by hand the user has said what the clock
    // holds; a zone without summer time has nothing to switch, until the
    // user sets a summer hour anyway.
    return settings.autoDst == 1 || (!zoneHasSummer && settings.summerHour == 0);
}

HomeZone::State HomeZone::at(const ZoneDatabase& zones, const std::string& zone, const HomeSettings& settings,
                             int year, std::int64_t utcSeconds) {
    if (zone != zone_ || year != year_) {
        zone_ = zone;
        year_ = year;
        standardSeconds_ = StandardOffsetSeconds(zones, zone, year);
        hasSummer_ = HasSummerTime(zones, zone, year);
        span_.reset();
    }
    if (!standardSeconds_) return {};
    if (!span_ || !span_->holdsAt(utcSeconds)) span_ = zones.offsetAt(zone, utcSeconds);
    if (!span_) return {};
    const bool follows = FollowsSystemZone(StorableOffset(*standardSeconds_), settings, hasSummer_);
    return {follows, span_->seconds, span_->seconds > *standardSeconds_};
}

std::optional<int> HomeZone::noonOffsetMinutes(const ZoneDatabase& zones, const std::string& zone,
                                               std::int64_t dayStartUtc) const {
    constexpr std::int64_t kNoon = 12 * 3600;
    // Local noon is twelve hours after 0h less the offset; no zone moves its
    // clocks near noon, so the offset at noon read as universal time finds it.
    const auto guess = zones.offsetAt(zone, dayStartUtc + kNoon);
    if (!guess) return std::nullopt;
    const auto noon = zones.offsetAt(zone, dayStartUtc + kNoon - guess->seconds);
    if (!noon) return std::nullopt;
    return noon->seconds / 60;
}

} // namespace vemar
