#include "core/dst.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace vemar;

namespace {

// Last Sunday of March to last Sunday of October.
constexpr DstRule kEuropeanRule{2, 4, 0, 9, 4, 0};

constexpr int kNorth = 1;
constexpr int kSouth = 2;

// ---------------------------------------------------------------- period text

struct PeriodCase { DstRule rule; int hemisphere, year; const char* caption; };
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
        const DstPeriod p = LegaleSino(c.rule, c.hemisphere, 0, 15, 6, c.year, 0);
        EXPECT_EQ(p.caption, c.caption);
        EXPECT_EQ(p.tooltip, c.hemisphere == kNorth ? " Ora Legale Applicata nell'emisfero Boreale "
                                                    : " Ora Legale Applicata nell'emisfero Australe ");
    }
}

// ---------------------------------------------------------------- automatic decision

struct WindowCase { int hemisphere, day, month, year, inDstWindow; };
const WindowCase kWindowCases[] = {
    // From the last Sunday of March, summer time from its start, to the last
    // Sunday of October, standard time again.
    {kNorth, 29, 3, 2025, 0}, {kNorth, 30, 3, 2025, 1}, {kNorth, 25, 10, 2025, 1}, {kNorth, 26, 10, 2025, 0},
    {kNorth, 30, 3, 2024, 0}, {kNorth, 31, 3, 2024, 1}, {kNorth, 26, 10, 2024, 1}, {kNorth, 27, 10, 2024, 0},
    {kNorth, 1, 1, 2025, 0}, {kNorth, 31, 12, 2025, 0},
    // In the south the window is the winter.
    {kSouth, 15, 7, 2025, 1}, {kSouth, 25, 10, 2025, 1}, {kSouth, 26, 10, 2025, 0}, {kSouth, 15, 1, 2025, 0},
};

TEST(LegaleSino, AutomaticWindowFromLastSundayToLastSunday) {
    for (const auto& c : kWindowCases)
        for (int dayShift = 0; dayShift <= 1; ++dayShift) {
            const DstPeriod p = LegaleSino(kEuropeanRule, c.hemisphere, 1, c.day, c.month, c.year, dayShift);
            EXPECT_EQ(p.inDstWindow, c.inDstWindow)
                << c.day << "/" << c.month << "/" << c.year << " hemisphere " << c.hemisphere << " shift " << dayShift;
        }
}

// The week and weekday shape only the text: the window keeps the last Sundays.
TEST(LegaleSino, WindowIgnoresWeekAndWeekday) {
    const DstRule firstMondays{2, 0, 1, 9, 0, 1};
    EXPECT_EQ(LegaleSino(firstMondays, kNorth, 1, 29, 3, 2025, 0).inDstWindow, 0);
    EXPECT_EQ(LegaleSino(firstMondays, kNorth, 1, 30, 3, 2025, 0).inDstWindow, 1);
}

TEST(LegaleSino, ManualModeLeavesTheWindowAlone) {
    for (int autoDst : {0, 2, -1}) {
        const DstPeriod p = LegaleSino(kEuropeanRule, kNorth, autoDst, 15, 7, 2025, 0);
        EXPECT_FALSE(p.inDstWindow) << "autoDst " << autoDst;
        EXPECT_EQ(p.caption, "Ora Legale dal 30 Marzo  al 26 Ottobre 2025     (Emisfero Boreale)");
    }
}

// ---------------------------------------------------------------- leap flag

struct LeapCase { int hemisphere, year, leapYear; };
const LeapCase kLeapCases[] = {
    {kNorth, 2024, 1}, {kNorth, 2025, 0}, {kSouth, 2024, 1}, {kSouth, 2025, 0},
    {kNorth, 2100, 1},   // every fourth year, no century rule
    {kSouth, 2023, 1},   // raised by the March end evaluated in 2024, never cleared
};

TEST(LegaleSino, LeavesTheLeapFlag) {
    for (const auto& c : kLeapCases)
        EXPECT_EQ(LegaleSino(kEuropeanRule, c.hemisphere, 1, 1, 6, c.year, 0).leapYear, c.leapYear)
            << c.year << " hemisphere " << c.hemisphere;
}

// ---------------------------------------------------------------- damaged rules

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
        for (int hemisphere : {kNorth, kSouth}) {
            const DstPeriod p = LegaleSino(rule, hemisphere, 1, 15, 6, 2025, 1);
            const std::string suffix = hemisphere == kNorth ? "     (Emisfero Boreale)" : "     (Emisfero Australe)";
            EXPECT_EQ(p.caption.rfind("Ora Legale dal ", 0), 0u) << p.caption;
            ASSERT_GE(p.caption.size(), suffix.size());
            EXPECT_EQ(p.caption.substr(p.caption.size() - suffix.size()), suffix);
            ASSERT_TRUE(p.inDstWindow);
        }
}

// ---------------------------------------------------------------- captions of SSPanel5

struct LabelCase { int inDstWindow, hemisphere; const char* caption; int outsideDstWindow; };
const LabelCase kShowDstLabelCases[] = {
    {0, 1, "Ora Solare", 1}, {1, 1, "Ora Legale", 0}, {1, 2, "Ora Solare", 0},
    {0, 2, "Ora Legale", 1},   // outside the window is the southern summer
    {1, 3, "Ora Solare", 0},   // any hemisphere but 1 reads as the south
};

TEST(ShowDstLabel, CaptionNamesTheRegimeInForce) {
    for (const auto& c : kShowDstLabelCases) {
        const auto label = ShowDstLabel(c.inDstWindow, c.hemisphere);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->caption, c.caption) << c.inDstWindow << " " << c.hemisphere;
        EXPECT_EQ(label->outsideDstWindow, c.outsideDstWindow);
    }
    // Other window values change nothing.
    for (int window : {-1, 2, 5})
        for (int hemisphere : {1, 2}) EXPECT_FALSE(ShowDstLabel(window, hemisphere)) << window;
}

const LabelCase kEmisferoCases[] = {
    {1, 1, "Ora Legale", 0}, {0, 1, "Ora Solare", 1}, {0, 2, "Ora Legale", 1}, {1, 2, "Ora Solare", 0},
    {0, 0, "Ora Legale", 1},
    {5, 1, "Ora Solare", 1},   // north: anything but 1 is standard time
    {5, 2, "Ora Solare", 0},   // south: anything but 0 is standard time
};

TEST(Emisfero, CaptionAndOutsideFlagByHemisphere) {
    for (const auto& c : kEmisferoCases) {
        const DstLabel label = Emisfero(c.hemisphere, c.inDstWindow);
        EXPECT_EQ(label.caption, c.caption) << c.hemisphere << " " << c.inDstWindow;
        EXPECT_EQ(label.outsideDstWindow, c.outsideDstWindow) << c.hemisphere << " " << c.inDstWindow;
    }
}

} // namespace
