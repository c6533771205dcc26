#pragma once
// The summer-time rule: the two transition days of a year, the period text
// of the summer period, the automatic decision and the summer-time button's caption.

#include "core/state.h"
#include "core/time/zonedatabase.h"

#include <optional>
#include <string>

namespace vemar {

struct DstPeriod {
    std::string caption;              // the summer period
    std::string tooltip;
    int ruleSummer = 0;               // W: 1 from A's day of this year up to the day before B's
    std::optional<int> inDstWindow;   // set only when autoDst == 1: W in the north, 1 - W in the south
};

// One end of a period as the text shows it: the day as a number text (a
// damaged rule may give any number), the month's name, the year.
struct PeriodDay { std::string day; std::string_view month; long long year; };
// The summer period's text, laid out as the north's (the year once, at
// the end) or the south's (each date with its year).
std::string PeriodCaption(bool north, const PeriodDay& start, const PeriodDay& end);

// day, month (1..12), year: today.
DstPeriod LegaleSino(const DstRule& rule, Hemisphere hemisphere, int autoDst, int day, int month, int year);

// The summer period for a home that follows its zone: the zone's own summer period,
// laid out as the north's when it ends in the year it starts and as the
// south's when it ends in the next, so the text is true of the zone whatever
// the hemisphere option; without a period, "Nessuna Ora Legale nel 2026".
// The option gives the tooltip.
struct ZonePeriod { std::string caption, tooltip; };
ZonePeriod ZonePeriodTexts(const std::optional<SummerPeriod>& period, Hemisphere hemisphere, int year);

// Day of the month of a transition: the rule's weekday in its week, weeks
// counted back from the month's last such weekday (week 4 is the last one).
// monthIndex 0..11; 0 for a month outside that range.
int TransitionDay(int monthIndex, int week, int weekday, int year);

// InDstWindow means the same in both hemispheres: the home's clock holds a
// summer hour. The summer-time button's caption names the regime in force.
struct DstLabel {
    std::string caption;       // "Ora Legale" or "Ora Solare"
    int outsideDstWindow = 0;
};
// nullopt when inDstWindow is neither 0 nor 1.
std::optional<DstLabel> ShowDstLabel(int inDstWindow);

// Emisfero: the summer-time button's caption and OutsideDstWindow for a hemisphere
// option; any value other than 1 reads as standard time.
DstLabel Emisfero(int inDstWindow);

} // namespace vemar
