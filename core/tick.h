#pragma once
// The clock tick: everything on the main window that changes from second to
// second, redone at every timer event in a fixed order. Universal time and
// the summer hour come from the home (time/home.h), every row's time from
// the city table (time/citytable.h).

#include "core/astro.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/time/calendar.h"
#include "core/time/citytable.h"
#include "core/time/home.h"
#include "core/time/timesignal.h"
#include "core/view.h"

#include <optional>
#include <string>

namespace vemar {

// "  9:05:07" (two blanks before a one-digit hour) or "14:30:59".
void RowTimeText(std::string& out, int hour, int minutes, int seconds);

// A row to a screen reader, its time to the minute and its date line:
// "9:05, Domenica  5 Aprile 2026".
void RowDescriptionText(std::string& out, int hour, int minutes, std::string_view date);

// A date symbol to a screen reader: "Simbolo della prima data: *", or the
// name alone while no symbol is chosen (an empty panel says nothing).
void DateSymbolName(std::string& out, bool secondDate, std::string_view symbol);

// "Domenica  5 Aprile 2026"
void DateLineText(std::string& out, const CalendarDate& date, int weekday);

// The first date of the pair, in days after the home's date, chosen from the
// dates of the rows shown (days after the home's date, each): the pair that
// holds most of them; on a tie the one that holds the home's date, then
// `usual`. The cities span at most three dates, and three only when both
// ends of the world are shown at once.
int DatePairFor(const std::array<int, kPageRows>& rowDays, int usual);

// What the tick makes the rest of the program do, and nothing more.
class TickHost {
public:
    // The summer-time button's command, as a click runs it (it saves lxp2.par).
    virtual void summerSwitchCommand() = 0;
    virtual void closeStartupPicture() = 0;
    // The date markers' sizes from car.tip.
    virtual void refreshDateMarkers() = 0;

protected:
    ~TickHost() = default;
};

class Tick {
public:
    Tick(SharedState& s, MainView& v, Home& home, CityTable& cities, TickHost& host, Platform& platform);

    // One complete update of the main view from one clock reading.
    void run(const ClockReading& now);
    // The day of the year and the days left, on their panels.
    void yearEnd(const ClockReading& now);

private:
    // The home's clock at this tick: universal time and the date pair's window.
    struct HomeNow {
        TableMoment moment;
        bool firstIsYesterday = false;
    };

    void reinitialise();
    void namesPass(int year);
    void southernSync();
    HomeNow readHome(const ClockReading& now);
    bool firstIsYesterdayByRule(const ClockReading& now);
    void startupCount(int second);
    void rowTimes(const HomeNow& home);
    int pairStart(const HomeNow& home) const;
    void rowsPass();
    void panelsUpdate(const ClockReading& now, const UniversalTime& ut);
    void datePair(const ClockReading& now, int firstDelta, bool panelsOnHomeDate);
    // The date line of a day `delta` days after the home's date.
    const std::string& dateText(int delta, std::string& scratch) const;
    void astronomy(const ClockReading& now);

    SharedState& s_;
    MainView& v_;
    Home& home_;
    CityTable& cities_;
    TickHost& host_;
    Platform& platform_;
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
        UniversalTime ut;
        double lonDegrees = 0, lonMinutes = 0;
        int dayOfYear = 0, daysLeft = 0;
        friend bool operator==(const PanelKey&, const PanelKey&) = default;
    };
    struct DayKey {
        int day = 0, month = 0, year = 0, shift = 0;   // the date, and where the pair or the count starts
        friend bool operator==(const DayKey&, const DayKey&) = default;
    };
    // The shown rows' times this tick, and the dates a row may be on as the
    // date lines write them, from the day before the home's to two after.
    std::array<CityTime, kPageRows> rows_{};
    static constexpr int kFirstDateText = -1;
    std::array<std::string, 4> dateTexts_;
    std::int64_t homeDay_ = 0;   // the home's date, days since 1970
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
    std::string scratch_;
    std::string rowScratch_;
};

} // namespace vemar
