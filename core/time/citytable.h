#pragma once
// The city table as the main window shows it: fusi.dat's 54 rows, each with
// its name, class and standard offset, and the zone of the system's
// time-zone database that fusi.tz names for it. This is the one place that
// answers "what time is it in this row": a row on a zone is universal time
// plus the zone's offset at the instant; a row on its class is universal
// time plus its offset, its summer hour by the one rule and its half hour.

#include "core/files/cityzonesfile.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/time/zonedatabase.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vemar {

// The moment the rows are shown for.
struct TableMoment {
    UniversalTime ut;               // from 0h of the home's date
    sys_seconds instant{};          // the same moment as an instant (rows on zones)
    bool ruleSummer = false;        // the rule's summer: classes "1" and "3" read it
    std::chrono::seconds localAhead{0};   // the machine's own clock ahead of universal time
};

// A row's time of day and its date, as days after the home's date (-1, 0, 1...).
struct CityTime {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int second = 0;   // 0..59
    int dayDelta = 0;
    friend bool operator==(const CityTime&, const CityTime&) = default;
};

// The time `ahead` of universal time, counted from the home's date.
CityTime TimeAhead(const UniversalTime& ut, std::chrono::seconds ahead);

// What a class adds to a row's standard offset: northern summer time in the
// rule's summer, southern the rest of the year, half an hour all year.
std::chrono::minutes ClassAdds(ZoneClass zoneClass, bool ruleSummer);

// What a row follows, as tooltips say it: " Kathmandu +5:45h Asia/Kathmandu "
// for a row on a zone (the zone's offset now), " Roma +1h " for a row on its
// class (its standard offset; zone empty).
void RowFollowsText(std::string& out, std::string_view name, std::chrono::seconds ahead, std::string_view zone);
// How far a clock is from the machine's own: "6 h avanti", "5 h 30 min
// indietro", "45 min avanti", "stessa ora".
void AppendHowFar(std::string& out, std::chrono::seconds difference);

class CityTable {
public:
    CityTable(Platform& platform, std::filesystem::path dir);

    // Reads fusi.dat (throws FileError), then learns each row's zone.
    void load();
    // The system's time-zone database, once it is read: from then on the
    // rows that fusi.tz names follow their zones. Reads fusi.tz.
    void attach(const ZoneDatabase& zones);
    // fusi.tz read and the database answers: the cities follow the real world.
    bool databaseMode() const { return cityZones_.has_value(); }

    const ZoneRow& row(int n) const { return rows_[n].record; }
    ZoneClass zoneClass(int n) const { return rows_[n].zoneClass; }
    std::chrono::hours standardOffset(int n) const { return rows_[n].offset; }
    const std::string& zone(int n) const { return rows_[n].zone; }

    // The class whose colour the row's name takes: its own, or, for a row on
    // a zone, the one its zone's facts in that year call for, so that the
    // legend under the table stays true of it.
    ZoneClass nameClass(int n, int year);
    // The row's time at the moment; remembers the offset it found, for the tooltip.
    CityTime timeAt(int n, const TableMoment& moment);
    // What the row follows, as its tooltip says it: " Roma +1h " on its
    // class, " Kathmandu +5:45h Asia/Kathmandu " on a zone, the offset in
    // force at the last timeAt(). In database mode every row gives its
    // offset in force and how far it is from the machine's clock:
    // " Roma +2h, stessa ora ", " Kathmandu +5:45h Asia/Kathmandu, 3 h 45 min avanti ".
    void tooltip(int n, std::string& out) const;

    // For the editors: the zone a city of that name follows (empty when it
    // follows its class), and a zone's offset at the last moment shown.
    std::string zoneOfName(std::string_view name) const;
    std::optional<std::chrono::seconds> offsetNow(std::string_view zone) const;
    // fusi.tz as last read; nullopt in table mode.
    const std::optional<CityZones>& cityZones() const { return cityZones_; }
    // The system's time-zone database once it is read (in either mode), and
    // the instant of the last time shown.
    const ZoneDatabase* database() const { return zones_; }
    sys_seconds lastInstant() const { return lastInstant_; }

    // A row set as loading fusi.dat would set it, for tests that build a table by hand.
    void setRow(int n, const ZoneRow& row);

private:
    struct Row {
        ZoneRow record;
        ZoneClass zoneClass = ZoneClass::Unlisted;
        std::chrono::hours offset{0};              // the standard offset as a number
        std::string zone;                          // empty: the row follows its class
        std::optional<ZoneOffset> zoneOffset;      // the zone's offset and the span it holds for
        std::chrono::seconds shownAhead{0};        // the offset of the last time shown
        int factsYear = 0;                         // the year factsClass was found for
        ZoneClass factsClass = ZoneClass::Unlisted;
    };
    void followZones();
    bool knows(std::string_view zone) const;

    Platform& platform_;
    std::filesystem::path dir_;
    const ZoneDatabase* zones_ = nullptr;
    std::optional<CityZones> cityZones_;
    bool reportedNoDatabase_ = false;
    std::array<Row, kZoneRows> rows_{};
    sys_seconds lastInstant_{};
    std::chrono::seconds localAhead_{0};
};

} // namespace vemar
