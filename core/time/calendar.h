#pragma once
// Calendar and time-scale arithmetic of the main window: day of the year,
// days left, Julian day and weekday, universal time and the year's progress.
// Pure functions of plain values; the program stores the results.

#include "core/palette.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace vemar {

// Division that rounds toward minus infinity: minute -1 lies in hour -1, not 0.
constexpr int FloorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr int FloorMod(int a, int b) { return a - FloorDiv(a, b) * b; }

struct CalendarDate {
    int day = 1, month = 1, year = 2000;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};
// The program's leap rule: every year divisible by 4, 2100 included.
bool IsLeapYear(int year);
// Days of a month 1..12; a month outside that range (a damaged rule file)
// counts 31 days.
int MonthLength(int month, bool leapYear);
CalendarDate DayBefore(const CalendarDate& date);
CalendarDate DayAfter(const CalendarDate& date);

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back: the bridge between a clock reading and an instant. Exact for every
// year a 32-bit int holds (the intermediates stay far inside 64 bits).
std::int64_t DaysFromCivil(const CalendarDate& date);
CalendarDate CivilFromDays(std::int64_t days);
// Floor division and remainder on seconds: an instant before 1970 lies in a
// day before the epoch's, not in it.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// Universal time of a clock reading, counted from 0h of the reading's own
// date: hour may be -13..37 (the day before or after), minute 0..59.
struct UniversalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::chrono::seconds sinceLocalMidnight() const {
        return std::chrono::seconds{(hour * 60 + minute) * 60 + second};
    }
    friend bool operator==(const UniversalTime&, const UniversalTime&) = default;
};

// Decimal text of a number without the leading blank of non-negative numbers:
// 5 -> "5", -5 -> "-5", 2.5 -> "2.5".
std::string stri(double value);

// Minutes and seconds: "05" below 10, else the number as it is ("59", "-3").
// The tick appends its 27 rows' times in place; TwoDigits is the same text
// as a value.
void AppendTwoDigits(std::string& out, long long value);
std::string TwoDigits(long long value);

// A number as a 16-bit Integer: NaN gives 0, values beyond -32768..32767 stop
// at the nearer end, halves go to the even neighbour. A caller that wants
// halves away from zero rounds first. Every Integer the program keeps is 16
// bits wide: a value read from a damaged file must stop at the range's end,
// never wrap or overflow. Inline, so the file readers need no other source.
inline int ToInteger(double value) {
    if (!(value == value)) return 0;   // NaN
    return static_cast<int>(std::nearbyint(std::clamp(value, -32768.0, 32767.0)));
}

// Day of the year (1 = 1 January) less dayShift. leap: 1 in a leap year.
// Uses 30.6, not 30.6001: the constant that makes 1 March day 60 (61 in a leap year).
int InAnno(int day, int month, int leap, int dayShift);

struct YearEnd {
    int dayOfYear = 0;
    int daysLeft = 0;        // days after today to the end of the year
    std::string dayCaption;  // "5° giorno dell'anno"
    Rgb dayColour = 0;       // palette 4 below day 11, else palette 0
    std::string leftCaption; // "1 giorno alla fine dell'anno"
    Rgb leftColour = 0;
};
YearEnd InFineAnno(int day, int month, int year, int dayShift);

struct WeekDay {
    double julianDay = 0;    // Julian day at 0 h UT of the date
    int weekday = 0;         // 0 = Sunday .. 6 = Saturday
};
// nullopt for year < 0, year > 2500, month outside 1..12 or day < 1.
std::optional<WeekDay> WeekDays(int day, int month, int year);

// The universal-time line: "h:mm:ss " with h = utHour mod 24.
std::string UtLine(double utHour, int clockMinutes, int seconds);

struct YearProgress {
    std::string since;   // "Inizio anno da: 3960 h  05'  07''"
    std::string toEnd;   // "Fine anno tra: 258 h  49'  30''"
};
YearProgress YearProgressTexts(int dayOfYear, int daysLeft, double utHour,
                               int clockMinutes, int seconds);

// The Julian day: "JD = 2461135,5" (decimal comma: the program speaks Italian).
std::string JulianDayLabel(double julianDay);

} // namespace vemar
