#include "core/time/calendar.h"

#include "core/texts.h"

#include <charconv>
#include <cmath>

namespace vemar {

namespace {

// Int of the calendar formulas: rounds toward minus infinity.
double Int(double x) { return std::floor(x); }

constexpr int kSecondsPerDay = 86400;

} // namespace

// Fifteen significant digits, like the system's number-to-text conversion, so
// a sum such as 0.1 + 0.2 reads "0.3"; trailing zeros and a bare point go.
std::string stri(double value) {
    if (value == 0) value = 0;   // no "-0"
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::general, 15);
    if (ec != std::errc{}) return {};
    return std::string(buffer, end);
}

void AppendTwoDigits(std::string& out, long long value) {
    if (value >= 0 && value < 10) out += '0';
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string TwoDigits(long long value) {
    std::string text;
    AppendTwoDigits(text, value);
    return text;
}

bool IsLeapYear(int year) { return year % 4 == 0; }

// Eras of 400 years (146097 days) starting on 1 March, so that the leap day
// ends a year: yearOfEra 0..399, dayOfYear 0..365 from 1 March, dayOfEra
// 0..146096.
std::int64_t DaysFromCivil(const CalendarDate& date) {
    const std::int64_t y = static_cast<std::int64_t>(date.year) - (date.month <= 2);
    const std::int64_t era = FloorDiv(y, std::int64_t{400});
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthFromMarch = (date.month + 9) % 12;   // March 0 .. February 11
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;   // 719468: days from 0000-03-01 to 1970-01-01
}

CalendarDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, std::int64_t{146097});
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    return {day, month, int(yearOfEra + era * 400 + (month <= 2))};
}

int InAnno(int day, int month, int leap, int dayShift) {
    const double k = leap == 0 ? 63 : 62;
    // 30.6 rather than 30.6001: with it 1 March is day 60 (61 in a leap year).
    const double n = month > 2 ? Int(30.6 * (double(month) + 1)) - k + day
                               : Int((double(month) - 1) * k / 2) + day;
    // Whole already: the conversion only keeps a damaged date within range.
    return ToInteger(n - dayShift);
}

// On 1 January while the date pair still starts with yesterday, the shifted
// day number is 0. The user is then on the first day of the year and the
// universal time has the new year's first hours, so the panels show day 1
// (never "0° giorno") and the true count to the end of the year; the year
// progress applies the same rule, so both panels agree.
YearEnd InFineAnno(int day, int month, int year, int dayShift) {
    YearEnd end;
    const int leap = IsLeapYear(year) ? 1 : 0;
    end.dayOfYear = InAnno(day, month, leap, dayShift);
    if (end.dayOfYear < 1) end.dayOfYear = 1;
    end.daysLeft = 365 + leap - end.dayOfYear;

    // Red marks the first and the last ten days of the year.
    end.dayColour = end.dayOfYear < 11 ? palette(4) : palette(0);
    end.leftColour = end.daysLeft < 11 ? palette(4) : palette(0);

    end.dayCaption = stri(end.dayOfYear);
    end.dayCaption += texts::kDayOfYearSuffix;
    end.leftCaption = stri(end.daysLeft);
    end.leftCaption += end.daysLeft == 1 ? texts::kOneDay : texts::kManyDays;
    end.leftCaption += texts::kToYearEnd;
    return end;
}

std::optional<WeekDay> WeekDays(int day, int month, int year) {
    if (year < 0 || month < 1 || month > 12 || day < 1 || year > 2500) return std::nullopt;

    WeekDay result;
    // Julian day of a Gregorian date: January and February count as months
    // 13 and 14 of the year before, so the leap day ends the counted year.
    double y = year, m = month;
    if (m < 3) {
        y -= 1;
        m += 12;
    }
    const double a = Int(y / 100);
    const double b = 2 - a + Int(a / 4);
    const double c = Int(365.25 * y);
    const double d = Int(30.6001 * (m + 1));
    result.julianDay = b + c + d + day + 1720994.5;

    // Day 0 of the Julian count (JD + 1.5 a multiple of 7) is a Sunday.
    const double weeks = (result.julianDay + 1.5) / 7;
    result.weekday = int(std::lround(7 * (weeks - Int(weeks)))) % 7;
    return result;
}

int MonthLength(int month, bool leapYear) {
    switch (month) {
    case 2: return leapYear ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
    }
}

CalendarDate DayBefore(const CalendarDate& d) {
    if (d.day > 1) return {d.day - 1, d.month, d.year};
    if (d.month > 1) return {MonthLength(d.month - 1, IsLeapYear(d.year)), d.month - 1, d.year};
    return {31, 12, d.year - 1};
}

CalendarDate DayAfter(const CalendarDate& d) {
    if (d.day < MonthLength(d.month, IsLeapYear(d.year))) return {d.day + 1, d.month, d.year};
    if (d.month < 12) return {1, d.month + 1, d.year};
    return {1, 1, d.year + 1};
}

std::string UtLine(double utHour, int clockMinutes, int seconds) {
    double hour = std::fmod(utHour, 24);
    if (hour < 0) hour += 24;
    return stri(hour) + ":" + TwoDigits(clockMinutes) + ":" + TwoDigits(seconds) + " ";
}

// West of Greenwich on the evening of 31 December the universal time is
// already in the next year, which would make the time left negative: the
// panel then stays at zero instead of counting below it. A day number below 1
// (1 January while the date pair starts with yesterday) counts as day 1, as in
// InFineAnno; daysLeft moves with it, whichever of the two the caller passed.
YearProgress YearProgressTexts(int dayOfYear, int daysLeft, double utHour,
                               int clockMinutes, int seconds) {
    long long day = dayOfYear;
    long long left = daysLeft;
    if (day < 1) {
        left -= 1 - day;
        day = 1;
    }

    YearProgress progress;
    double hoursSince = double(day - 1) * 24 + utHour;
    if (hoursSince < 0) hoursSince = 0;
    progress.since = std::string(texts::kSinceYearStart) + stri(hoursSince) + " h  " +
                     TwoDigits(clockMinutes) + "'  " + TwoDigits(seconds) + "''";

    const double elapsed = utHour * 3600 + clockMinutes * 60 + seconds;
    double remaining = double(left + 1) * kSecondsPerDay - elapsed;
    if (!(remaining > 0)) remaining = 0;
    const long long r = std::llround(remaining);
    progress.toEnd = std::string(texts::kToYearEndPrefix) + std::to_string(r / 3600) + " h  " +
                     TwoDigits(r % 3600 / 60) + "'  " + TwoDigits(r % 60) + "''";
    return progress;
}

// A decimal comma, not a point: the program speaks Italian.
std::string JulianDayLabel(double julianDay) {
    std::string number = stri(julianDay);
    for (char& c : number)
        if (c == '.') c = ',';
    return std::string(texts::kJulianDayPrefix) + number;
}

} // namespace vemar
