#pragma once
// The clock tick: everything on the main window that changes from second to
// second, redone at every timer event in a fixed order. Universal time comes
// from the home clock model (homeclock.h), the cities' times from citytime.h.

#include "astro.h"
#include "calendar.h"
#include "homeclock.h"
#include "platform.h"
#include "state.h"
#include "view.h"

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
    // The last tick changed the day shift or the date pair. The day panels
    // and the markers' tooltips are computed before the date pair and so read
    // the previous tick's values: one more tick at once brings them level.
    bool movedTheDay() const { return movedTheDay_; }

private:
    void reinitialise();
    void namesPass();
    void southernSync();
    void followSummerTime(const ClockReading& now);
    void startupCount(int second);
    void rowsPass(const UniversalTime& ut, bool firstIsYesterday);
    void timeSignal(int second);
    void panelsUpdate(const ClockReading& now, const UniversalTime& ut);
    void yearEnd(const ClockReading& now);
    void datePair(const ClockReading& now, bool firstIsYesterday);
    void astronomy(const ClockReading& now);

    Program& program_;
    SharedState& s_;
    MainView& v_;

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
    YearEnd yearEndResult_;
    bool movedTheDay_ = false;
    std::string scratch_;
};

} // namespace vemar
