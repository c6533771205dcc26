#pragma once
// Calendar and time-scale arithmetic of the main window: day of the year,
// days left, Julian day and weekday, universal time and the year's progress.
// Pure functions of plain values; the program stores the results.

#include "palette.h"

#include <optional>
#include <string>

namespace vemar {

struct CalendarDate {
    int day = 1, month = 1, year = 2000;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};
// Month lengths with the program's leap rule: every year divisible by 4.
int MonthLength(int month, int year);
CalendarDate DayBefore(const CalendarDate& date);
CalendarDate DayAfter(const CalendarDate& date);

// Decimal text of a number without the leading blank of non-negative numbers:
// 5 -> "5", -5 -> "-5", 2.5 -> "2.5".
std::string stri(double value);

// Day of the year (1 = 1 January) less dayShift. leap: 1 in a leap year.
// Uses 30.6, not 30.6001: the constant that makes 1 March day 60 (61 in a leap year).
int InAnno(int day, int month, int leap, int dayShift);

struct YearEnd {
    int leapYear = 0;        // 1 when year % 4 == 0 (no century rule)
    int dayOfYear = 0;
    int daysLeft = 0;        // days after today to the end of the year
    std::string dayCaption;  // SSPanel8: "5° giorno dell'anno"
    Rgb dayColour = 0;       // palette 4 below day 11, else palette 0
    std::string leftCaption; // SSPanel9: "1 giorno alla fine dell'anno"
    Rgb leftColour = 0;
};
YearEnd InFineAnno(int day, int month, int year, int dayShift);

struct WeekDay {
    double julianDay = 0;    // Julian day at 0 h UT of the date
    int weekday = 0;         // 0 = Sunday .. 6 = Saturday
    std::string dateText;    // "5/4/2026"
};
// nullopt for year < 0, year > 2500, month outside 1..12 or day < 1.
std::optional<WeekDay> WeekDays(int day, int month, int year);

// Label2(27): "h:mm:ss " with h = utHour mod 24.
std::string UtLine(double utHour, double clockMinutes, int seconds);

struct YearProgress {
    std::string since;   // Label2(30): "Inizio anno da: 3960 h  05'  07''"
    std::string toEnd;   // Label2(31): "Fine anno tra: 258 h  49'  30''"
};
YearProgress YearProgressTexts(int dayOfYear, int daysLeft, double utHour,
                               double clockMinutes, int seconds);

// Label2(32): "JD = 2461135,5" (decimal comma: the program speaks Italian).
std::string JulianDayLabel(double julianDay);

} // namespace vemar
