#include "core/time/systemzones.h"

#include "core/files/atomicfile.h"
#include "core/texts.h"

#include <date/tz.h>

#include <chrono>
#include <sstream>

namespace vemar {

namespace {

constexpr const char* kZoneinfo = "/usr/share/zoneinfo";

constexpr const char* kZoneNamesFile = "/usr/share/zoneinfo/tzdata.zi";
constexpr std::size_t kZoneNamesLimit = 4 << 20;   // 2025's file is 114 KiB

// The names of the database's own source: "Z Europe/Rome ..." names a zone,
// "L Europe/Rome Europe/Vatican" a link. The folder holds other files that a
// name would reach as well: localtime leads to /etc/localtime (the machine's
// own time, whatever the row), posixrules, right/ and posix/ are copies under
// other rules. Factory is a zone that stands for "no zone set yet".
std::set<std::string, std::less<>> ZoneNames(const std::string& source) {
    std::set<std::string, std::less<>> names;
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string kind, first, second;
        fields >> kind >> first >> second;
        if (kind == "Z" && first != "Factory") names.insert(first);
        if (kind == "L" && !second.empty()) names.insert(second);
    }
    return names;
}

} // namespace

// The library throws for a missing database; every exception stops here.
bool SystemZoneDatabase::load() const {
    std::call_once(loaded_, [this] {
        try {
            if (date::get_tzdb().zones.empty()) failure_ = std::string(texts::kNoZonesIn) + kZoneinfo;
            std::string source;
            int error = 0;
            if (ReadRegular(kZoneNamesFile, kZoneNamesLimit, source, error) == ReadOutcome::Read)
                names_ = ZoneNames(source);
            if (names_.empty() && failure_.empty()) failure_ = std::string(texts::kNoZonesIn) + kZoneNamesFile;
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

// A name the database does not define is unknown before the library sees
// it; a file that is not a zone (a damaged one) throws on its first use.
std::optional<ZoneOffset> SystemZoneDatabase::offsetAt(std::string_view zone, sys_seconds instant) const {
    if (!load() || !names_.contains(zone)) return std::nullopt;
    try {
        const date::time_zone* tz = date::locate_zone(zone);
        const date::sys_info info = tz->get_info(instant);
        return ZoneOffset{info.offset, info.begin, info.end};
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace vemar
