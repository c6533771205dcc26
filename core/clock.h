#pragma once
// Pure pieces of the clock tick: a row's time text, the summer-time
// adjustment of a row, and the pair of dates the window shows.

#include <string>

namespace vemar {

// Hours added to a row by its zone class, for the hemisphere, the tick's copy
// of InDstWindow and OutsideDstWindow. An unknown class gets none.
int SummerAdjustment(std::string_view zoneClass, int hemisphere, int inDstWindow,
                     int outsideDstWindow);

// "  9:05:07" (two blanks before a one-digit hour) or "14:30:59".
void RowTimeText(std::string& out, int hour, int minutes, int seconds);

struct CalendarDate {
    int day = 1, month = 1, year = 2000;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};
// Month lengths with the leap rule of the year given (year % 4 == 0).
int MonthLength(int month, int leapYearOf);
CalendarDate DayBefore(const CalendarDate& date);
CalendarDate DayAfter(const CalendarDate& date);

// "Domenica  5 Aprile 2026"
void DateLineText(std::string& out, const CalendarDate& date, int weekday);

} // namespace vemar
