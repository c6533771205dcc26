#pragma once
// The home's clock by the system's time-zone database. The home follows the
// machine's zone when its settings say what the first start would have
// stored for that zone (its standard offset, whole hours and half hour) and
// summer time is automatic, or the zone has none and no summer hour was set
// by hand. Then the database alone decides the summer hour, and universal
// time is the instant itself; otherwise the home follows the one rule.

#include "core/firststart.h"
#include "core/time/zonedatabase.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vemar {

// The home settings the decision reads (lxp2.par's values as now in force).
struct HomeSettings {
    int zoneHours = 0;         // ZoneOffset
    int halfHourMinutes = 0;   // SiteHalfHour
    int autoDst = 0;
    int summerHour = 0;        // InDstWindow
};

// firstStart: what the first start stores for the zone's standard offset.
bool FollowsSystemZone(const StoredOffset& firstStart, const HomeSettings& settings, bool zoneHasSummer);

class HomeZone {
public:
    struct State {
        bool followsZone = false;
        int offsetSeconds = 0;   // the zone's offset now, summer hour included
        bool summer = false;     // the offset is above the year's standard offset
    };

    // The home at an instant of the reading's year; the zone's facts for the
    // year and its offset span are kept, so a tick asks the database only
    // when the year or the offset changes.
    State at(const ZoneDatabase& zones, const std::string& zone, const HomeSettings& settings, int year,
             std::int64_t utcSeconds);
    // The zone's offset at local noon of the day that starts at
    // dayStartUtc (its 0h read as universal time), in minutes: what the sun
    // and moon of that day are computed for.
    std::optional<int> noonOffsetMinutes(const ZoneDatabase& zones, const std::string& zone,
                                         std::int64_t dayStartUtc) const;

private:
    std::string zone_;
    int year_ = 0;
    std::optional<int> standardSeconds_;
    bool hasSummer_ = false;
    std::optional<ZoneOffset> span_;
};

} // namespace vemar
