#include "core/dst.h"

#include "core/calendar.h"
#include "core/texts.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace vemar {

namespace {

// Month indexes run 0 = January .. 11 = December. An index outside that range
// (a damaged Parleg.dat) has no name and leaves a blank in the period text.
std::string_view monthName(int monthIndex) {
    if (monthIndex < 0 || monthIndex >= int(texts::kMonthNames.size())) return {};
    return texts::kMonthNames[std::size_t(monthIndex)];
}

// Last day of a month, with the leap flag as it stands when it is asked.
int lastDayOfMonth(int monthIndex, int leapYear) {
    switch (monthIndex) {
    case 1: return 28 + leapYear;
    case 3: case 5: case 8: case 10: return 30;
    default: return 31;
    }
}

int clampToInt(long long value) {
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// One transition of the rule, reduced to what the panel and the decision need.
struct Transition {
    long long lastSunday = 0;   // day number of the month's last Sunday
    long long shownDay = 0;     // day of the month shown in the period text
};

// The weekday lookup raises the leap flag for a year divisible by 4 and never
// clears it; a date it cannot evaluate leaves the weekday at 0.
Transition evaluate(int monthIndex, int week, int weekday, int lastDay, long long year,
                    int dayShift, int& leapYear) {
    const int month = clampToInt(monthIndex + 1LL);
    const int yearArg = clampToInt(year);

    int lastWeekday = 0;
    if (auto wd = WeekDays(lastDay, month, yearArg)) {
        lastWeekday = wd->weekday;
        if (yearArg % 4 == 0) leapYear = 1;
    }

    Transition t;
    t.lastSunday = (long long)InAnno(lastDay, month, leapYear, dayShift) - lastWeekday;

    // From the month's last Sunday to the weekday of its last week, then back
    // whole weeks: week 4 is the last occurrence, week 0 four weeks earlier.
    long long day = lastDay - lastWeekday - std::llabs(28 - 7LL * week) + weekday;
    if (day < 1) day += 7;
    if (day > lastDay) day -= 7;
    t.shownDay = day;
    return t;
}

} // namespace

DstPeriod LegaleSino(const DstRule& rule, int hemisphere, int autoDst,
                     int day, int month, int year, int dayShift) {
    DstPeriod period;
    int leap = year % 4 == 0 ? 1 : 0;

    // Month lengths take the flag of today's year, before the weekday lookups
    // can raise it.
    const int lastDayA = lastDayOfMonth(rule.monthA, leap);
    const int lastDayB = lastDayOfMonth(rule.monthB, leap);

    // In the south summer time runs from B of this year to A of the next.
    const long long yearA = year + (long long)hemisphere - 1;
    const Transition a = evaluate(rule.monthA, rule.weekA, rule.weekdayA, lastDayA, yearA,
                                  dayShift, leap);
    const Transition b = evaluate(rule.monthB, rule.weekB, rule.weekdayB, lastDayB, year,
                                  dayShift, leap);
    // Day numbers are only compared with each other, so the tick's dayShift,
    // the same for every date of one call, changes no decision.
    const long long today = InAnno(day, month, leap, dayShift);

    const std::string dayA = std::to_string(a.shownDay);
    const std::string dayB = std::to_string(b.shownDay);
    std::string& text = period.caption;
    text = texts::kPeriodFrom;
    if (hemisphere == 1) {
        text += dayA + " ";
        text += monthName(rule.monthA);
        text += texts::kNorthTo;
        text += dayB + " ";
        text += monthName(rule.monthB);
        text += " " + std::to_string(year);
        text += texts::kNorthSuffix;
        period.tooltip = texts::kNorthTip;
    } else {
        text += dayB + " ";
        text += monthName(rule.monthB);
        text += " " + std::to_string(year);
        text += texts::kSouthTo;
        text += dayA + " ";
        text += monthName(rule.monthA);
        text += " " + std::to_string(year + 1LL);
        text += texts::kSouthSuffix;
        period.tooltip = texts::kSouthTip;
    }

    // The window always runs between the last Sundays of the two months,
    // whatever week and weekday the rule shows: from the start of A's day to
    // the start of B's.
    if (autoDst == 1)
        period.inDstWindow = a.lastSunday <= today && today < b.lastSunday ? 1 : 0;
    period.leapYear = leap;
    return period;
}

std::optional<DstLabel> ShowDstLabel(int inDstWindow, int hemisphere) {
    if (inDstWindow != 0 && inDstWindow != 1) return std::nullopt;
    // In the south the window is the winter, so the caption is reversed.
    const bool summer = (inDstWindow == 1) == (hemisphere == 1);
    return DstLabel{std::string(summer ? texts::kSummerTime : texts::kStandardTime),
                    inDstWindow == 1 ? 0 : 1};
}

DstLabel Emisfero(int hemisphere, int inDstWindow) {
    if (hemisphere == 1) {
        if (inDstWindow == 1) return {std::string(texts::kSummerTime), 0};
        return {std::string(texts::kStandardTime), 1};
    }
    if (inDstWindow == 0) return {std::string(texts::kSummerTime), 1};
    return {std::string(texts::kStandardTime), 0};
}

} // namespace vemar
