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
    std::optional<int> inDstWindow;   // set only when autoDst == 1
};

// day, month (1..12), year: today. dayShift: the tick's DayShift (it offsets
// every day number of one call equally, so it changes no decision).
DstPeriod LegaleSino(const DstRule& rule, int hemisphere, int autoDst,
                     int day, int month, int year, int dayShift);

struct DstLabel {
    std::string caption;       // "Ora Legale" or "Ora Solare"
    int outsideDstWindow = 0;
};
// nullopt when inDstWindow is neither 0 nor 1.
std::optional<DstLabel> ShowDstLabel(int inDstWindow, int hemisphere);

// Emisfero: the caption of SSPanel5 and OutsideDstWindow for a hemisphere option.
DstLabel Emisfero(int hemisphere, int inDstWindow);

} // namespace vemar
