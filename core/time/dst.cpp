#include "core/time/dst.h"

#include "core/time/calendar.h"
#include "core/texts.h"

#include <algorithm>
#include <cstdlib>

namespace vemar {

namespace {

// Month indexes run 0 = January .. 11 = December. An index outside that range
// (a damaged Parleg.dat) has no name and leaves a blank in the period text.
std::string_view monthName(int monthIndex) {
    if (monthIndex < 0 || monthIndex >= int(texts::kMonthNames.size())) return {};
    return texts::kMonthNames[std::size_t(monthIndex)];
}

// Last day of a month, with the leap flag as it stands when it is asked. A
// damaged index goes through the clamped conversion, so it stays a month
// outside 1..12 (31 days) instead of overflowing.
int lastDayOfMonth(int monthIndex, int leapYear) {
    return MonthLength(ToInteger(monthIndex + 1.0), leapYear == 1);
}

// From the month's last Sunday to the weekday of its last week, then back
// whole weeks: week 4 is the last occurrence, week 0 four weeks earlier
// (moved a week on when that falls before the 1st).
long long dayCountedBack(long long lastDay, int lastWeekday, long long week, long long weekday) {
    long long day = lastDay - lastWeekday - std::llabs(28 - 7 * week) + weekday;
    if (day < 1) day += 7;
    if (day > lastDay) day -= 7;
    return day;
}

// The day of the month the period text shows for one transition. A date
// the weekday lookup cannot evaluate (the clamped values are then still
// outside its range) leaves the weekday at 0.
long long shownDay(int monthIndex, int week, int weekday, int lastDay, long long year) {
    const int month = ToInteger(monthIndex + 1.0);
    int lastWeekday = 0;
    if (auto wd = WeekDays(lastDay, month, ToInteger(double(year)))) lastWeekday = wd->weekday;
    return dayCountedBack(lastDay, lastWeekday, week, weekday);
}

// 1 when the date lies from transition A up to the day before transition B,
// both in the date's own year: the rule's summer, in either hemisphere.
int ruleSummerOn(const DstRule& rule, int day, int month, int year) {
    const int startDay = TransitionDay(rule.monthA, rule.weekA, rule.weekdayA, year);
    const int endDay = TransitionDay(rule.monthB, rule.weekB, rule.weekdayB, year);
    if (startDay == 0 || endDay == 0) return 0;
    const int today = month * 100 + day;
    return (rule.monthA + 1) * 100 + startDay <= today && today < (rule.monthB + 1) * 100 + endDay ? 1 : 0;
}

} // namespace

// North: "Ora Legale dal 29 Marzo  al 25 Ottobre 2026     (Emisfero Boreale)";
// south: "Ora Legale dal 25 Ottobre 2026 al 28 Marzo 2027     (Emisfero Australe)".
// The blanks before the years are appended, not " " + string: GCC 12 at -O3 warns falsely
// (-Wrestrict) on that.
std::string PeriodCaption(bool north, const PeriodDay& start, const PeriodDay& end) {
    std::string text(texts::kPeriodFrom);
    text += start.day + " ";
    text += start.month;
    if (!north) text.append(1, ' ').append(std::to_string(start.year));
    text += north ? texts::kNorthTo : texts::kSouthTo;
    text += end.day + " ";
    text += end.month;
    text.append(1, ' ').append(std::to_string(end.year));
    text += north ? texts::kNorthSuffix : texts::kSouthSuffix;
    return text;
}

ZonePeriod ZonePeriodTexts(const std::optional<SummerPeriod>& period, Hemisphere hemisphere, int year) {
    const bool northOption = IsNorthern(hemisphere);
    ZonePeriod out{{}, std::string(northOption ? texts::kNorthTip : texts::kSouthTip)};
    if (!period) {
        out.caption = std::string(texts::kNoSummerTime) + std::to_string(year);
        out.caption += northOption ? texts::kNorthSuffix : texts::kSouthSuffix;
        return out;
    }
    auto day = [](const CalendarDate& d) {
        return PeriodDay{std::to_string(d.day), texts::kMonthNames[std::size_t(d.month - 1) % 12], d.year};
    };
    out.caption = PeriodCaption(period->start.year == period->end.year, day(period->start), day(period->end));
    return out;
}

int TransitionDay(int monthIndex, int week, int weekday, int year) {
    if (monthIndex < 0 || monthIndex > 11) return 0;
    const int month = monthIndex + 1;
    const int lastDay = MonthLength(month, IsLeapYear(year));
    const auto last = WeekDays(lastDay, month, year);
    if (!last) return 0;
    return int(std::clamp(dayCountedBack(lastDay, last->weekday, week, weekday), -99LL, 99LL));
}

DstPeriod LegaleSino(const DstRule& rule, Hemisphere hemisphere, int autoDst,
                     int day, int month, int year) {
    DstPeriod period;
    // Month lengths take the leap year of today's year, in either hemisphere.
    const int leap = IsLeapYear(year) ? 1 : 0;
    const int lastDayA = lastDayOfMonth(rule.monthA, leap);
    const int lastDayB = lastDayOfMonth(rule.monthB, leap);

    // In the south summer time runs from B of this year to A of the next. A
    // damaged file's hemisphere moves A's year by as many years as it is above 1.
    const long long yearA = year + static_cast<long long>(hemisphere) - 1;
    const std::string dayA =
        std::to_string(shownDay(rule.monthA, rule.weekA, rule.weekdayA, lastDayA, yearA));
    const std::string dayB =
        std::to_string(shownDay(rule.monthB, rule.weekB, rule.weekdayB, lastDayB, year));
    if (IsNorthern(hemisphere))
        period.caption = PeriodCaption(true, {dayA, monthName(rule.monthA), year}, {dayB, monthName(rule.monthB), year});
    else
        period.caption =
            PeriodCaption(false, {dayB, monthName(rule.monthB), year}, {dayA, monthName(rule.monthA), year + 1LL});
    period.tooltip = IsNorthern(hemisphere) ? texts::kNorthTip : texts::kSouthTip;

    // The switch follows the days the panel shows, the rule's week and
    // weekday included, from the start of A's day to the start of B's. In
    // the south the rule's summer is the home's winter.
    period.ruleSummer = ruleSummerOn(rule, day, month, year);
    if (autoDst == 1) period.inDstWindow = IsNorthern(hemisphere) ? period.ruleSummer : 1 - period.ruleSummer;
    return period;
}

std::optional<DstLabel> ShowDstLabel(int inDstWindow) {
    if (inDstWindow != 0 && inDstWindow != 1) return std::nullopt;
    return Emisfero(inDstWindow);
}

DstLabel Emisfero(int inDstWindow) {
    if (inDstWindow == 1) return {std::string(texts::kSummerTime), 0};
    return {std::string(texts::kStandardTime), 1};
}

} // namespace vemar
