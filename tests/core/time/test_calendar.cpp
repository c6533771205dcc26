// Calendar arithmetic: number texts, day of the year, Julian day and weekday, days since 1970, year panels.

#include "core/astro.h"
#include "core/time/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

using namespace vemar;

namespace {

TEST(NumberTexts, StriTwoDigitsTheJulianDayAndToInteger) {
    const std::pair<double, const char*> decimals[] = {
        {5, "5"}, {-5, "-5"}, {2.5, "2.5"}, {0, "0"}, {2461135.5, "2461135.5"},
        {-0.0, "0"}, {100000, "100000"},   // no "-0", never an exponent form
        {0.1 + 0.2, "0.3"}, {2.0 / 3, "0.666666666666667"},   // fifteen significant digits, not the binary tail
    };
    for (const auto& [value, text] : decimals) EXPECT_EQ(stri(value), text) << value;
    const std::pair<long long, const char*> two[] = {{0, "00"}, {5, "05"}, {9, "09"}, {10, "10"}, {59, "59"},
                                                     {-3, "-3"}, {4000, "4000"}};
    for (const auto& [value, text] : two) EXPECT_EQ(TwoDigits(value), text) << value;
    EXPECT_EQ(JulianDayLabel(2461135.5), "JD = 2461135,5");   // the shortest form, a decimal comma
    EXPECT_EQ(JulianDayLabel(2461135), "JD = 2461135");
    // ToInteger halves to the even neighbour, keeps to the 16-bit range's ends and takes NaN as 0.
    const std::pair<double, int> integers[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4, 2}, {-2.6, -3}, {32767.5, 32767}, {-32768.5, -32768},
        {1e300, 32767}, {-1e300, -32768}, {std::nan(""), 0}, {-0.0, 0},
    };
    for (const auto& [value, integer] : integers) EXPECT_EQ(ToInteger(value), integer) << value;
}

// Colours are palette indices.
struct YearEndCase {
    int day, month, year, dayShift, dayOfYear, daysLeft;
    const char* dayCaption; int dayColour; const char* leftCaption; int leftColour;
};
const YearEndCase kYearEndCases[] = {
    {10, 1, 2026, 0, 10, 355, "10° giorno dell'anno", 4, "355 giorni alla fine dell'anno", 0},
    {11, 1, 2026, 0, 11, 354, "11° giorno dell'anno", 0, "354 giorni alla fine dell'anno", 0},
    {20, 12, 2025, 0, 354, 11, "354° giorno dell'anno", 0, "11 giorni alla fine dell'anno", 0},
    {21, 12, 2025, 0, 355, 10, "355° giorno dell'anno", 0, "10 giorni alla fine dell'anno", 4},
    {30, 12, 2025, 0, 364, 1, "364° giorno dell'anno", 0, "1 giorno alla fine dell'anno", 4},
    {31, 12, 2025, 0, 365, 0, "365° giorno dell'anno", 0, "0 giorni alla fine dell'anno", 4},
    {28, 2, 2026, 0, 59, 306, "59° giorno dell'anno", 0, "306 giorni alla fine dell'anno", 0},
    {1, 3, 2026, 0, 60, 305, "60° giorno dell'anno", 0, "305 giorni alla fine dell'anno", 0},
    {1, 3, 2024, 0, 61, 305, "61° giorno dell'anno", 0, "305 giorni alla fine dell'anno", 0},
    // Every fourth year is leap, 2100 included.
    {31, 12, 2100, 0, 366, 0, "366° giorno dell'anno", 0, "0 giorni alla fine dell'anno", 4},
    // While the date pair starts with yesterday the count is one day behind...
    {6, 1, 2026, 1, 5, 360, "5° giorno dell'anno", 4, "360 giorni alla fine dell'anno", 0},
    // ...but on 1 January it stays on day 1 rather than showing a day 0.
    {1, 1, 2026, 1, 1, 364, "1° giorno dell'anno", 4, "364 giorni alla fine dell'anno", 0},
};

TEST(InFineAnno, PanelsOfTheDayAndTheDaysLeft) {
    for (const auto& c : kYearEndCases) {
        const YearEnd e = InFineAnno(c.day, c.month, c.year, c.dayShift);
        EXPECT_EQ(std::tuple(e.dayOfYear, e.daysLeft, e.dayCaption, e.dayColour, e.leftCaption, e.leftColour),
                  std::tuple(c.dayOfYear, c.daysLeft, std::string(c.dayCaption), palette(c.dayColour),
                             std::string(c.leftCaption), palette(c.leftColour)));
    }
}

// The Julian day and weekday (0: Sunday) of known dates, none for dates outside years 0..2500.
TEST(WeekDays, KnownDatesAndTheRangeEnds) {
    using Day = std::optional<std::pair<double, int>>;
    struct Case { int day, month, year; Day expected; };
    const Case cases[] = {{5, 4, 2026, std::pair(2461135.5, 0)}, {1, 1, 1900, std::pair(2415020.5, 1)},
                          {1, 1, 0, std::pair(1721059.5, 6)}, {31, 12, 2500, std::pair(2634530.5, 5)},
                          {1, 13, 2026, {}}, {1, 0, 2026, {}}, {0, 1, 2026, {}}, {1, 1, -1, {}},
                          {1, 1, 2501, {}}};
    for (const Case& c : cases) {
        const auto w = WeekDays(c.day, c.month, c.year);
        EXPECT_EQ(w ? Day(std::pair(w->julianDay, w->weekday)) : Day(), c.expected)
            << c.day << "/" << c.month << "/" << c.year;
    }
}

// Every day of 1600..2400 by std::chrono's calendar (leap centuries both ways): day counts, weekday and the sky's
// day number step by one; the neighbours too, but where the program's own rule adds a 29 February to 1700, 1800...
TEST(WeekDays, ConsecutiveDaysFrom1600To2400) {
    using namespace std::chrono;
    auto previous = WeekDays(31, 12, 1599);
    ASSERT_TRUE(previous);
    CalendarDate previousDate{31, 12, 1599};
    for (sys_days d = 1600y / 1 / 1; d <= sys_days{2400y / 12 / 31}; d += days{1}) {
        const year_month_day ymd{d};
        const int day = int(unsigned(ymd.day())), month = int(unsigned(ymd.month())), year = int(ymd.year());
        SCOPED_TRACE(std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year));
        const CalendarDate date{day, month, year};
        const auto w = WeekDays(day, month, year);
        ASSERT_TRUE(w);
        ASSERT_EQ(w->julianDay - previous->julianDay, 1.0);
        ASSERT_EQ(w->weekday, (previous->weekday + 1) % 7);
        ASSERT_EQ(DaysFromCivil(date), DaysFromCivil(previousDate) + 1);
        ASSERT_EQ(CivilFromDays(DaysFromCivil(date)), date);
        ASSERT_EQ(DaysFromCivil(date), std::int64_t(w->julianDay - 2440587.5));
        const astro::DayNumber dn = astro::CalendarDayNumber(month, day, year);
        ASSERT_EQ(dn.j + dn.f, w->julianDay);
        if (!(day == 1 && month == 3 && year % 100 == 0 && year % 400 != 0)) {
            ASSERT_EQ(DayAfter(previousDate), date);
            ASSERT_EQ(DayBefore(date), previousDate);
        }
        previous = w, previousDate = date;
    }
}

struct ProgressCase {
    int dayOfYear, daysLeft; double utHour, minutes; int seconds; const char* since; const char* toEnd;
};
const ProgressCase kProgressCases[] = {
    {355, 10, 5, 10, 30, "Inizio anno da: 8501 h  10'  30''", "Fine anno tra: 258 h  49'  30''"},
    {1, 364, 0, 0, 0, "Inizio anno da: 0 h  00'  00''", "Fine anno tra: 8760 h  00'  00''"},
    {366, 0, 23, 59, 59, "Inizio anno da: 8783 h  59'  59''", "Fine anno tra: 0 h  00'  01''"},
    // West of Greenwich the hour runs past 23 and both counts follow it.
    {365, 0, 20, 0, 0, "Inizio anno da: 8756 h  00'  00''", "Fine anno tra: 4 h  00'  00''"},
    {365, 0, 24, 0, 0, "Inizio anno da: 8760 h  00'  00''", "Fine anno tra: 0 h  00'  00''"},
    // Universal time already in the next year: the time left stays at zero.
    {365, 0, 26, 30, 5, "Inizio anno da: 8762 h  30'  05''", "Fine anno tra: 0 h  00'  00''"},
    // 1 January while the date pair starts with yesterday: day 0 (365 days left) reads as day 1 does.
    {0, 365, 3, 15, 0, "Inizio anno da: 3 h  15'  00''", "Fine anno tra: 8756 h  45'  00''"},
    {1, 364, 3, 15, 0, "Inizio anno da: 3 h  15'  00''", "Fine anno tra: 8756 h  45'  00''"},
};

TEST(YearProgress, HoursSinceTheStartAndToTheEnd) {
    for (const auto& c : kProgressCases) {
        const YearProgress p = YearProgressTexts(c.dayOfYear, c.daysLeft, c.utHour, c.minutes, c.seconds);
        EXPECT_EQ(std::pair(p.since, p.toEnd), (std::pair<std::string, std::string>(c.since, c.toEnd)))
            << "day " << c.dayOfYear << " hour " << c.utHour;
    }
}

} // namespace
