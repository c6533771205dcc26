#pragma once
// The summer-time rule: the two transition days of a year, the period text
// of SSPanel6, the automatic decision and the caption of SSPanel5.

#include "state.h"

#include <optional>
#include <string>

namespace vemar {

struct DstPeriod {
    std::string caption;              // SSPanel6
    std::string tooltip;
    int leapYear = 0;                 // as LegaleSino leaves the shared LeapYear
    int ruleSummer = 0;               // W: 1 from A's day of this year up to the day before B's
    std::optional<int> inDstWindow;   // set only when autoDst == 1: W in the north, 1 - W in the south
};

// day, month (1..12), year: today.
DstPeriod LegaleSino(const DstRule& rule, Hemisphere hemisphere, int autoDst, int day, int month, int year);

// Day of the month of a transition: the rule's weekday in its week, weeks
// counted back from the month's last such weekday (week 4 is the last one).
// monthIndex 0..11; 0 for a month outside that range.
int TransitionDay(int monthIndex, int week, int weekday, int year);

// InDstWindow means the same in both hemispheres: the home's clock holds a
// summer hour. The caption of SSPanel5 names the regime in force.
struct DstLabel {
    std::string caption;       // "Ora Legale" or "Ora Solare"
    int outsideDstWindow = 0;
};
// nullopt when inDstWindow is neither 0 nor 1.
std::optional<DstLabel> ShowDstLabel(int inDstWindow);

// Emisfero: the caption of SSPanel5 and OutsideDstWindow for a hemisphere
// option; any value other than 1 reads as standard time.
DstLabel Emisfero(int inDstWindow);

} // namespace vemar
