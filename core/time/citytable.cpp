#include "core/time/citytable.h"

#include "core/files.h"
#include "core/texts.h"

#include <algorithm>
#include <set>

namespace vemar {

using namespace std::chrono_literals;
using std::chrono::seconds;

CityTime TimeAhead(const UniversalTime& ut, seconds ahead) {
    constexpr std::int64_t kDay = 24 * 3600;
    const std::int64_t total = (ut.sinceLocalMidnight() + ahead).count();
    const auto inDay = static_cast<int>(FloorMod(total, kDay));
    return {inDay / 3600, inDay / 60 % 60, inDay % 60, static_cast<int>(FloorDiv(total, kDay))};
}

std::chrono::minutes ClassAdds(ZoneClass zoneClass, bool ruleSummer) {
    switch (zoneClass) {
    case ZoneClass::NorthernSummer: return ruleSummer ? 60min : 0min;
    case ZoneClass::SouthernSummer: return ruleSummer ? 0min : 60min;
    case ZoneClass::HalfHour: return 30min;
    default: return 0min;
    }
}

CityTable::CityTable(Platform& platform, std::filesystem::path dir)
    : platform_(platform), dir_(std::move(dir)) {}

void CityTable::setRow(int n, const ZoneRow& record) {
    Row& row = rows_[n];
    row = Row{};
    row.record = record;
    row.zoneClass = ZoneClassOf(record.zoneClass);
    // A damaged file may hold any number of digits: keep the arithmetic far from overflow.
    row.offset = std::chrono::hours{static_cast<int>(std::clamp(OffsetNumber(record.offset), -1000.0, 1000.0))};
}

void CityTable::load() {
    const ZoneTable table = ReadZoneTable(dir_ / kZoneFile);
    for (int n = 0; n < kZoneRows; ++n) setRow(n, table[n]);
    // The names may have changed: each row learns again which zone it follows.
    followZones();
}

void CityTable::attach(const ZoneDatabase& zones) {
    zones_ = &zones;
    followZones();
}

bool CityTable::knows(std::string_view zone) const { return zones_ && zones_->offsetAt(zone, sys_seconds{}); }

// fusi.tz is read at every load of the table; a damaged line, an unknown
// zone or a missing database is one warning, and the rows concerned follow
// their classes.
void CityTable::followZones() {
    cityZones_.reset();
    for (Row& row : rows_) {
        row.zone.clear();
        row.zoneOffset.reset();
        row.factsYear = 0;
    }
    if (!zones_) return;
    const std::string fileName = kCityZonesFile;
    std::optional<CityZones> read;
    try {
        read = ReadCityZones(dir_ / kCityZonesFile);
    } catch (const FileError& e) {
        platform_.warning(fileName + ": " + e.what() + std::string(texts::kEveryRowKeepsClass));
        return;
    }
    if (!read) return;
    if (const std::string why = zones_->failure(); !why.empty()) {
        // Once a run: the database will not appear while the program runs.
        if (!reportedNoDatabase_)
            platform_.warning(fileName + ": " + std::string(texts::kNoZoneDatabase) + why +
                              std::string(texts::kEveryRowKeepsClass));
        reportedNoDatabase_ = true;
        return;
    }
    for (const std::string& problem : read->problems)
        platform_.warning(fileName + problem + std::string(texts::kRowKeepsClass));
    cityZones_ = std::move(read);

    // Only the zones of the table's rows are looked up: an unknown zone among
    // the dictionary's hundreds of names harms no one until a row uses it.
    std::set<int> reported;
    for (Row& row : rows_) {
        const std::string_view name = TrimmedName(row.record.name);
        const auto zone = cityZones_->zoneOf(name);
        if (!zone) continue;
        if (knows(*zone)) {
            row.zone = std::string(*zone);
        } else if (const int line = cityZones_->entries.find(name)->second.line; reported.insert(line).second) {
            platform_.warning(fileName + std::string(texts::kLine) + std::to_string(line) +
                              std::string(texts::kUnknownZone) + std::string(*zone) +
                              std::string(texts::kRowKeepsClass));
        }
    }
}

ZoneClass CityTable::nameClass(int n, int year) {
    Row& row = rows_[n];
    if (row.zone.empty()) return row.zoneClass;
    if (row.factsYear != year) {
        row.factsYear = year;
        row.factsClass = ZoneFactsClass(*zones_, row.zone, year).value_or(row.zoneClass);
    }
    return row.factsClass;
}

// A row asks the database again only when the instant leaves the span its
// zone's offset holds for.
CityTime CityTable::timeAt(int n, const TableMoment& moment) {
    Row& row = rows_[n];
    lastInstant_ = moment.instant;
    localAhead_ = moment.localAhead;
    if (!row.zone.empty()) {
        if (!row.zoneOffset || !row.zoneOffset->holdsAt(moment.instant))
            row.zoneOffset = zones_->offsetAt(row.zone, moment.instant);
        if (row.zoneOffset) {
            row.shownAhead = row.zoneOffset->ahead;
            return TimeAhead(moment.ut, row.shownAhead);
        }
    }
    row.shownAhead = row.offset + ClassAdds(row.zoneClass, moment.ruleSummer);
    return TimeAhead(moment.ut, row.shownAhead);
}

void RowFollowsText(std::string& out, std::string_view name, seconds ahead, std::string_view zone) {
    // Not assign(" "): GCC 12 at -O3 warns falsely (-Wrestrict) on a one-letter literal.
    out.assign(1, ' ').append(name).append(1, ' ');
    AppendOffsetText(out, ahead);
    out += 'h';
    if (!zone.empty()) out.append(" ").append(zone);
    out += ' ';
}

void AppendHowFar(std::string& out, seconds difference) {
    if (difference == 0s) {
        out += texts::kSameTime;
        return;
    }
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(difference < 0s ? -difference : difference);
    const auto hours = std::chrono::floor<std::chrono::hours>(minutes);
    if (hours > 0h) out.append(std::to_string(hours.count())).append(" h");
    if (minutes > hours) {
        if (hours > 0h) out += ' ';
        out.append(std::to_string((minutes - hours).count())).append(" min");
    }
    out += difference > 0s ? texts::kAhead : texts::kBehind;
}

// In table mode a row on its class says its standard offset, as it always
// has; in database mode every row says what it shows now and how far that is.
void CityTable::tooltip(int n, std::string& out) const {
    const Row& row = rows_[n];
    const bool onZone = !row.zone.empty() && row.zoneOffset;
    if (onZone) RowFollowsText(out, TrimmedName(row.record.name), row.shownAhead, row.zone);
    else RowFollowsText(out, row.record.name, databaseMode() ? row.shownAhead : seconds{row.offset}, {});
    if (!databaseMode()) return;
    out.back() = ',';
    out += ' ';
    AppendHowFar(out, row.shownAhead - localAhead_);
    out += ' ';
}

std::string CityTable::zoneOfName(std::string_view name) const {
    if (!cityZones_) return {};
    const auto zone = cityZones_->zoneOf(name);
    if (!zone || !knows(*zone)) return {};
    return std::string(*zone);
}

std::optional<seconds> CityTable::offsetNow(std::string_view zone) const {
    if (!zones_) return std::nullopt;
    const auto offset = zones_->offsetAt(zone, lastInstant_);
    if (!offset) return std::nullopt;
    return offset->ahead;
}

} // namespace vemar
