#include "core/time/systemzones.h"

#include "core/texts.h"

#include <date/tz.h>

#include <chrono>

namespace vemar {

namespace {

constexpr const char* kZoneinfo = "/usr/share/zoneinfo";

} // namespace

// The library throws for a missing database; every exception stops here.
bool SystemZoneDatabase::load() const {
    std::call_once(loaded_, [this] {
        try {
            if (date::get_tzdb().zones.empty()) failure_ = std::string(texts::kNoZonesIn) + kZoneinfo;
        } catch (const std::exception& e) {
            failure_ = std::string(kZoneinfo) + ": " + e.what();
        } catch (...) {
            failure_ = std::string(texts::kNoZonesIn) + kZoneinfo;
        }
    });
    return failure_.empty();
}

std::string SystemZoneDatabase::failure() const {
    load();
    return failure_;
}

// An unknown name throws in locate_zone; a file that is not a zone (a
// damaged one) throws on its first use. Either is an unknown zone.
std::optional<ZoneOffset> SystemZoneDatabase::offsetAt(std::string_view zone, sys_seconds instant) const {
    if (zone.empty() || !load()) return std::nullopt;
    try {
        const date::time_zone* tz = date::locate_zone(zone);
        const date::sys_info info = tz->get_info(instant);
        return ZoneOffset{info.offset, info.begin, info.end};
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace vemar
