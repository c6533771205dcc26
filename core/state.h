#pragma once
// The program-wide shared state: settings, display state, the tick's counters
// and the calendar values. One instance lives for the whole run; every command
// and the tick read and write it on the one user-interface thread.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemar {

constexpr int kZoneRows = 54;      // records of fusi.dat
constexpr int kPageRows = 27;      // rows shown at once: three columns of nine
constexpr int kColumnRows = 9;

// One city or zone of fusi.dat, in plain (unshifted) UTF-8 text.
struct ZoneRow {
    std::string name;       // at most 13 letters and spaces as the editors admit
    std::string zoneClass;  // "0" none, "1" northern DST, "2" half hour, "3" southern DST
    std::string offset;     // standard offset in whole hours, "+5", "-3", "0" or empty
    friend bool operator==(const ZoneRow&, const ZoneRow&) = default;
};
using ZoneTable = std::array<ZoneRow, kZoneRows>;

// A row's summer-time class, read once from its text when the main window
// loads the table; the text itself stays in the row, so the file is written
// back as it was read.
enum class ZoneClass {
    Standard,         // "0": no summer time
    NorthernSummer,   // "1": an hour more in the rule's summer
    HalfHour,         // "2": half an hour more all year
    SouthernSummer,   // "3": an hour more outside the rule's summer
    Unlisted,         // any other text: no adjustment and no colour of its own
};
constexpr ZoneClass ZoneClassOf(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '3') return ZoneClass::Unlisted;
    return static_cast<ZoneClass>(text[0] - '0');
}

// The hemisphere option of lxp2.par. The number read is kept as it is (a
// damaged file may hold 0 or 7), so the file is written back unchanged; only
// 1 counts as northern wherever the two hemispheres' rules differ.
enum class Hemisphere : int { North = 1, South = 2 };
constexpr bool IsNorthern(Hemisphere h) { return h == Hemisphere::North; }

// What the next tick does first.
enum class TickStage {
    Reinitialise,   // (re)read the zone table: the first tick, or after an editor saved it
    StartupCount,   // count ticks until the start-up picture closes
    Running,
};

// The summer-time rule: transition A (earlier in the calendar year) and B.
struct DstRule {
    int monthA = 2;    // 0 = January .. 11 = December
    int weekA = 4;     // 0..4, shown as "1".."5"; 4 = the last such weekday
    int weekdayA = 0;  // 0 = Sunday .. 6 = Saturday
    int monthB = 9;
    int weekB = 4;
    int weekdayB = 0;
    friend bool operator==(const DstRule&, const DstRule&) = default;
};

// A field of a field line as read: its kind and its text exactly as in the file
// (for a number, the characters read; for a text, the characters between quotes).
// Spare fields are written back from it byte for byte.
struct FieldValue {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    std::string text;
    friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// lxp2.par, the site settings record: the place, the home zone, the
// hemisphere and the summer-time switches.
struct SiteSettings {
    double latDegrees = 0, latMinutes = 0;   // fields 1, 2: negative in the southern hemisphere
    double lonDegrees = 0, lonMinutes = 0;   // fields 3, 4: east of Greenwich is negative
    std::chrono::hours zoneOffset{0};   // field 5, ahead of universal time (the file holds minus this)
    int inDstWindow = 0;        // field 7
    Hemisphere hemisphere = Hemisphere::North;   // field 15, any number kept as read
    int outsideDstWindow = 0;   // field 16
    std::chrono::minutes halfHour{0};   // field 17: 0 or 30
    int autoDst = 0;            // field 18
    // The fields as read. The spare ones (6, 8 to 14) are used nowhere and go
    // back from here; the others are written from the members above.
    std::array<FieldValue, 18> record{};
};

// seg.dat, the display settings record: the time signal, the colours and
// the date markers.
struct DisplaySettings {
    int signalOn = 0;         // field 1: 1 while the hourly time signal sounds; any other value is off
    int signalToggle = 0;     // field 2: the signal button's memory, -1 while on, 0 while off
    int screenColour = 0;     // field 3: the window's palette index
    int timesColour = 0;      // field 4: the times' palette index
    int citiesColour = 0;     // field 5: the cities' palette index
    int coloursChanged = 0;   // field 6: 1 while the colours differ from the original ones
    int spareValue = 0;       // field 7: used nowhere, written back as the number read
    std::string dateSymbol1;  // field 8: the mark of the first date, UTF-8, normally one character
    std::string dateSymbol2;  // field 9: the mark of the second date
    friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};

// The place and its switches, the part of lxp2.par that the parameters
// dialog edits.
struct PlaceSettings {
    double latDegrees, latMinutes, lonDegrees, lonMinutes;
    std::chrono::minutes halfHour;
    int autoDst;
};

// The page of the city table in view (the table itself: time/citytable.h).
struct ShownTable {
    int tableNumber = 1;         // the page in view, 1 or 2
    int tableBase = 0;           // 0 for page 1, 27 for page 2
    int zoneTableLoaded = 0;
};

// What the tick remembers from one tick to the next. The tick writes it;
// Program only sets the start-up calendar, asks for the table to be read
// again (`tickStage`) and for the markers' sizes (`symbolRefresh`).
struct TickMemory {
    TickStage tickStage = TickStage::Reinitialise;
    int startCounter = 0;
    int symbolRefresh = 0;
    int symbolRefreshCount = 0;
    int southSyncDone = 0;
    int hourCorrection = 0;      // 0 or -1
    double utHour = 0;           // may exceed 23
    // The calendar of the tick's day.
    int dayOfYear = 0;
    int daysLeft = 0;
    int dayShift = 0;            // 1 while the first date of the pair is yesterday and the panels count so
    int firstDateDelta = 0;      // the first date of the pair, in days after the home's date
    double julianDay = 0;
};

struct SharedState {
    // seg.dat's record: Program reads and writes it, the colour scheme and
    // the signal button change it, the date-characters dialog edits the
    // markers through Program.
    DisplaySettings display;

    // The place and the home zone, lxp2.par's record: Program reads and
    // writes it, the parameters dialog edits the place through Program.
    SiteSettings site;
    // What lxp2.par held when the main window loaded it, for the zone's
    // save button.
    std::chrono::hours zoneOffsetAtLoad{0};
    Hemisphere hemisphereAtLoad = Hemisphere::North;
    DstRule dstRule;

    ShownTable table;
    TickMemory tick;
};

} // namespace vemar
