#include "core/dst.h"

#include "core/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>

using namespace vemar;

namespace {

// Last Sunday of March to last Sunday of October.
constexpr DstRule kEuropeanRule{2, 4, 0, 9, 4, 0};

constexpr Hemisphere kNorth = Hemisphere::North;
constexpr Hemisphere kSouth = Hemisphere::South;

struct PeriodCase { DstRule rule; Hemisphere hemisphere; int year; const char* caption; };
const PeriodCase kPeriodCases[] = {
    {kEuropeanRule, kNorth, 2025, "Ora Legale dal 30 Marzo  al 26 Ottobre 2025     (Emisfero Boreale)"},
    {kEuropeanRule, kNorth, 2024, "Ora Legale dal 31 Marzo  al 27 Ottobre 2024     (Emisfero Boreale)"},
    // In the south the March end falls in the following year.
    {kEuropeanRule, kSouth, 2025, "Ora Legale dal 26 Ottobre 2025 al 29 Marzo 2026     (Emisfero Australe)"},
    {kEuropeanRule, kSouth, 2024, "Ora Legale dal 27 Ottobre 2024 al 30 Marzo 2025     (Emisfero Australe)"},
    // Week 0, Sunday, months ending on a Sunday: four weeks before the last
    // Sunday is the 3rd of a 31-day month (August 2025), the 2nd of a 30-day
    // month (November 2025).
    {{7, 0, 0, 10, 0, 0}, kNorth, 2025, "Ora Legale dal 3 Agosto  al 2 Novembre 2025     (Emisfero Boreale)"},
    // Week 1 counts back from the last occurrence: February 2026 has four
    // Sundays, so it is the first; March 2026 has five, so it is the second.
    {{1, 1, 0, 2, 1, 0}, kNorth, 2026, "Ora Legale dal 1 Febbraio  al 8 Marzo 2026     (Emisfero Boreale)"},
    // Week 0 before the 1st moves a week forward (January 2026 ends on a
    // Saturday); a weekday after the last Sunday's week moves a week back
    // (May 2026 ends on a Sunday, its last Saturday is the 30th).
    {{0, 0, 0, 4, 4, 6}, kNorth, 2026, "Ora Legale dal 4 Gennaio  al 30 Maggio 2026     (Emisfero Boreale)"},
    // November has 30 days: in 2024 its last Sunday is the 24th, whereas a
    // 31st would be a Sunday.
    {{3, 4, 0, 10, 4, 0}, kNorth, 2024, "Ora Legale dal 28 Aprile  al 24 Novembre 2024     (Emisfero Boreale)"},
    // A month index without a name leaves a blank and still counts 31 days.
    {{12, 4, 0, 9, 4, 0}, kNorth, 2025, "Ora Legale dal 31   al 26 Ottobre 2025     (Emisfero Boreale)"},
    {{2, 4, 0, -1, 4, 0}, kNorth, 2025, "Ora Legale dal 30 Marzo  al 31  2025     (Emisfero Boreale)"},
};

TEST(LegaleSino, PeriodTextOfTheYearAndTooltip) {
    for (const auto& c : kPeriodCases) {
        const DstPeriod p = LegaleSino(c.rule, c.hemisphere, 0, 15, 6, c.year);
        EXPECT_EQ(p.caption, c.caption);
        EXPECT_EQ(p.tooltip, c.hemisphere == kNorth ? " Ora Legale Applicata nell'emisfero Boreale "
                                                    : " Ora Legale Applicata nell'emisfero Australe ");
    }
}

// The panel's days and the switch agree, whatever the rule: every day of
// 2026 is summer exactly from the day the text names to the day before the
// other one. The rules: European; second-to-last Sunday of March to the first
// Monday of October; the US rule (week 1 of March's five Sundays); odd weekdays.
TEST(LegaleSino, SwitchHappensOnTheDaysThePanelNames) {
    const DstRule rules[] = {kEuropeanRule, {2, 3, 0, 9, 0, 1}, {2, 1, 0, 10, 0, 0}, {3, 0, 6, 8, 2, 3}};
    for (const DstRule& rule : rules) {
        const int startDay = TransitionDay(rule.monthA, rule.weekA, rule.weekdayA, 2026);
        const int endDay = TransitionDay(rule.monthB, rule.weekB, rule.weekdayB, 2026);
        const std::string text = LegaleSino(rule, kNorth, 1, 1, 1, 2026).caption;
        ASSERT_NE(text.find("dal " + std::to_string(startDay) + " "), std::string::npos) << text;
        ASSERT_NE(text.find("al " + std::to_string(endDay) + " "), std::string::npos) << text;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= MonthLength(month, false); ++day) {
                const bool afterStart = month > rule.monthA + 1 || (month == rule.monthA + 1 && day >= startDay);
                const bool beforeEnd = month < rule.monthB + 1 || (month == rule.monthB + 1 && day < endDay);
                ASSERT_EQ(LegaleSino(rule, kNorth, 1, day, month, 2026).ruleSummer, afterStart && beforeEnd ? 1 : 0)
                    << day << "/" << month << " " << text;
            }
    }
}

// Every month of 2000..2040 and every weekday: each week lands on that
// weekday, week 4 names the last occurrence and each earlier week lies
// a week before the next one or, at the month's start, on the same day.
TEST(TransitionDay, NamesTheWeekdayOccurrences) {
    using namespace std::chrono;
    for (int y = 2000; y <= 2040; ++y)
        for (int m = 0; m < 12; ++m) {
            const int lastDay = int(unsigned(year_month_day_last{std::chrono::year{y}, month_day_last{month(m + 1)}}.day()));
            for (int wd = 0; wd < 7; ++wd) {
                for (int week = 0; week < 5; ++week) {
                    const int day = TransitionDay(m, week, wd, y);
                    ASSERT_GE(day, 1);
                    ASSERT_LE(day, lastDay);
                    const auto date = sys_days{std::chrono::year{y} / (m + 1) / day};
                    ASSERT_EQ(int(weekday{date}.c_encoding()), wd) << y << "-" << m + 1 << "-" << day;
                }
                ASSERT_GT(TransitionDay(m, 4, wd, y) + 7, lastDay);
                for (int week = 0; week < 4; ++week) {
                    const int step = TransitionDay(m, week + 1, wd, y) - TransitionDay(m, week, wd, y);
                    ASSERT_TRUE(step == 7 || step == 0) << y << "-" << m + 1 << " week " << week;
                }
            }
        }
}

// Values a damaged Parleg.dat may hold: the text keeps its frame and nothing
// indexes outside a table or overflows.
const DstRule kDamagedRules[] = {
    {INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MIN},
    {INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX},
    {-1, -1, -1, 12, 5, 7},
    {11, 4, 6, 0, 0, 0},       // in range but out of order
};

TEST(LegaleSino, DamagedRuleStillGivesAFramedText) {
    for (const auto& rule : kDamagedRules)
        for (Hemisphere hemisphere : {kNorth, kSouth}) {
            const DstPeriod p = LegaleSino(rule, hemisphere, 1, 15, 6, 2025);
            const std::string suffix = hemisphere == kNorth ? "     (Emisfero Boreale)" : "     (Emisfero Australe)";
            EXPECT_EQ(p.caption.rfind("Ora Legale dal ", 0), 0u) << p.caption;
            ASSERT_GE(p.caption.size(), suffix.size());
            EXPECT_EQ(p.caption.substr(p.caption.size() - suffix.size()), suffix);
            ASSERT_TRUE(p.inDstWindow);
        }
}

// A home on its zone: the zone's own period, laid out as the north's when it
// ends in the year it starts and as the south's when it ends in the next; the
// hemisphere option gives the tooltip, and the suffix when there is none.
TEST(ZonePeriodTexts, TheZonesOwnPeriod) {
    struct Case { std::optional<SummerPeriod> period; Hemisphere option; const char* caption; const char* tip; };
    const Case cases[] = {
        {SummerPeriod{{29, 3, 2026}, {25, 10, 2026}}, kSouth,
         "Ora Legale dal 29 Marzo  al 25 Ottobre 2026     (Emisfero Boreale)", " Ora Legale Applicata nell'emisfero Australe "},
        {SummerPeriod{{4, 10, 2026}, {4, 4, 2027}}, kNorth,
         "Ora Legale dal 4 Ottobre 2026 al 4 Aprile 2027     (Emisfero Australe)", " Ora Legale Applicata nell'emisfero Boreale "},
        {std::nullopt, kNorth, "Nessuna Ora Legale nel 2026     (Emisfero Boreale)", " Ora Legale Applicata nell'emisfero Boreale "},
    };
    for (const Case& c : cases) {
        const ZonePeriod texts = ZonePeriodTexts(c.period, c.option, 2026);
        EXPECT_EQ(texts.caption, c.caption);
        EXPECT_EQ(texts.tooltip, c.tip);
    }
}

} // namespace
