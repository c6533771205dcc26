// The summer-time rule's period text in either hemisphere and its summer at the switch days.

#include "core/time/dst.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace vemar;

namespace {

constexpr DstRule kEuropeanRule{2, 4, 0, 9, 4, 0};   // last Sunday of March to last Sunday of October
constexpr Hemisphere kNorth = Hemisphere::North, kSouth = Hemisphere::South;

struct PeriodCase { DstRule rule; Hemisphere hemisphere; int year; const char* caption; };
const PeriodCase kPeriodCases[] = {
    {kEuropeanRule, kNorth, 2025, "Ora Legale dal 30 Marzo  al 26 Ottobre 2025     (Emisfero Boreale)"},
    {kEuropeanRule, kNorth, 2024, "Ora Legale dal 31 Marzo  al 27 Ottobre 2024     (Emisfero Boreale)"},
    // In the south the March end falls in the following year.
    {kEuropeanRule, kSouth, 2025, "Ora Legale dal 26 Ottobre 2025 al 29 Marzo 2026     (Emisfero Australe)"},
    {kEuropeanRule, kSouth, 2024, "Ora Legale dal 27 Ottobre 2024 al 30 Marzo 2025     (Emisfero Australe)"},
    // Week 0 of months ending on a Sunday: four weeks before it, the 3rd of 31 days (August), the 2nd of 30 (November).
    {{7, 0, 0, 10, 0, 0}, kNorth, 2025, "Ora Legale dal 3 Agosto  al 2 Novembre 2025     (Emisfero Boreale)"},
    // Week 1 counts back from the last: February 2026 has four Sundays, so the first; March five, so the second.
    {{1, 1, 0, 2, 1, 0}, kNorth, 2026, "Ora Legale dal 1 Febbraio  al 8 Marzo 2026     (Emisfero Boreale)"},
    // Week 0 before the 1st moves a week on (January 2026 ends on a Saturday); past the last Sunday's week back (May).
    {{0, 0, 0, 4, 4, 6}, kNorth, 2026, "Ora Legale dal 4 Gennaio  al 30 Maggio 2026     (Emisfero Boreale)"},
    // February of a leap year has 29 days: in 2032 its last Sunday is the 29th.
    {{1, 4, 0, 9, 4, 0}, kNorth, 2032, "Ora Legale dal 29 Febbraio  al 31 Ottobre 2032     (Emisfero Boreale)"},
    // November has 30 days: in 2024 its last Sunday is the 24th, whereas a 31st would be a Sunday.
    {{3, 4, 0, 10, 4, 0}, kNorth, 2024, "Ora Legale dal 28 Aprile  al 24 Novembre 2024     (Emisfero Boreale)"},
    // A month index without a name leaves a blank and still counts 31 days.
    {{12, 4, 0, 9, 4, 0}, kNorth, 2025, "Ora Legale dal 31   al 26 Ottobre 2025     (Emisfero Boreale)"},
    {{2, 4, 0, -1, 4, 0}, kNorth, 2025, "Ora Legale dal 30 Marzo  al 31  2025     (Emisfero Boreale)"},
};

TEST(LegaleSino, PeriodTextOfTheYearAndTooltip) {
    for (const auto& c : kPeriodCases) {
        const DstPeriod p = LegaleSino(c.rule, c.hemisphere, 0, 15, 6, c.year);
        const std::string side = c.hemisphere == kNorth ? "emisfero Boreale " : "emisfero Australe ";
        EXPECT_EQ(std::tuple(p.caption, p.tooltip), std::tuple(c.caption, " Ora Legale Applicata nell'" + side));
    }
}

// The rule's summer, in either hemisphere: from the day of its start up to the day before its end.
TEST(LegaleSino, RuleSummerFromTheStartDayToTheDayBeforeTheEnd) {
    const std::tuple<int, int, int> days[] = {{28, 3, 0}, {29, 3, 1}, {15, 6, 1}, {24, 10, 1}, {25, 10, 0}, {1, 1, 0}};
    for (const auto& [day, month, summer] : days) for (Hemisphere h : {kNorth, kSouth})
        EXPECT_EQ(LegaleSino(kEuropeanRule, h, 0, day, month, 2026).ruleSummer, summer) << day << "/" << month;
    EXPECT_EQ(LegaleSino({2, 0, 0, 9, 4, 0}, kNorth, 0, 1, 3, 2026).ruleSummer, 1) << "from the 1st of March";
}

} // namespace
