#pragma once
// The clock tick: everything on the main window that changes from second to
// second, redone at every timer event in a fixed order. Universal time comes
// from the home clock model (homeclock.h), the cities' times from citytime.h.

#include "astro.h"
#include "core/time/calendar.h"
#include "core/time/citytime.h"
#include "core/time/homeclock.h"
#include "platform.h"
#include "state.h"
#include "core/time/timesignal.h"
#include "view.h"
#include "core/time/zonedatabase.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vemar {

class Program;

// "  9:05:07" (two blanks before a one-digit hour) or "14:30:59".
void RowTimeText(std::string& out, int hour, int minutes, int seconds);

// "Domenica  5 Aprile 2026"
void DateLineText(std::string& out, const CalendarDate& date, int weekday);

class Tick {
public:
    explicit Tick(Program& program);

    // One complete update of the main view from one clock reading.
    void run(const ClockReading& now);
    // Reads fusi.dat into the main window's table, as the first tick does.
    void loadZoneTable();
    // The rows' zones changed (fusi.tz read again): forget their offsets.
    void zonesChanged();
    // The day of the year and the days left, on their panels.
    void yearEnd(const ClockReading& now);
    // The instant of the last tick (Unix seconds), as the rows were computed for it.
    std::int64_t lastInstant() const { return lastInstant_; }

private:
    // The home's clock at this tick: universal time and the date pair's window.
    struct Home {
        UniversalTime ut;            // counted from 0h of the reading's date
        std::int64_t utc = 0;        // the instant, Unix seconds
        std::int64_t day = 0;           // the reading's date, days since 1970
        bool firstIsYesterday = false;
        bool followsZone = false;    // the home follows the system's zone
    };

    void reinitialise();
    void namesPass();
    void southernSync();
    void followSummerTime(const ClockReading& now);
    Home readHome(const ClockReading& now);
    Home homeByRule(const ClockReading& now);
    void startupCount(int second);
    void rowsPass(const Home& home);
    CityTime cityTime(const Home& home, int n);
    void zoneTooltip(int k, int n, int offsetSeconds);
    void panelsUpdate(const ClockReading& now, const UniversalTime& ut);
    void datePair(const ClockReading& now, bool firstIsYesterday);
    void astronomy(const ClockReading& now, const Home& home);

    Program& program_;
    SharedState& s_;
    MainView& v_;
    TimeSignal signal_;

    // Remembers the inputs of a computation so that a tick whose inputs did
    // not change skips it: most ticks fall within a second already shown.
    template <class Key> struct Memo {
        Key key{};
        bool valid = false;
        bool changed(const Key& k) {
            if (valid && k == key) return false;
            key = k;
            valid = true;
            return true;
        }
    };
    struct PanelKey {
        ClockReading now;
        double lonDegrees = 0, lonMinutes = 0;
        int dayOfYear = 0, daysLeft = 0, zoneOffset = 0, inDstWindow = 0, siteHalfHour = 0;
        friend bool operator==(const PanelKey&, const PanelKey&) = default;
    };
    struct DayKey {
        int day = 0, month = 0, year = 0, dayShift = 0;
        friend bool operator==(const DayKey&, const DayKey&) = default;
    };
    // Sun and moon change only with the date, the place and the zone hours.
    struct SkyKey {
        CalendarDate date;
        astro::Site site;
        friend bool operator==(const SkyKey&, const SkyKey&) = default;
    };
    Memo<PanelKey> panels_;
    Memo<DayKey> yearEnd_, datePair_;
    Memo<double> julianDayLabel_;
    Memo<SkyKey> sky_;
    // Each row's zone offset and the span it holds for: a row asks the
    // database again only when the instant leaves its span.
    std::array<std::optional<ZoneOffset>, kZoneRows> rowOffsets_{};
    // The home zone's offset at local noon of the day the sun and moon are for.
    Memo<std::int64_t> noonOffset_;
    std::optional<int> noonOffsetMinutes_;
    std::int64_t lastInstant_ = 0;
    YearEnd yearEndResult_;
    std::string scratch_;
};

} // namespace vemar
