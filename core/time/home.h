#pragma once
// The home: the clock on the user's desk. Its zone (the zone box and the
// half hour), its hemisphere and the one summer-time rule are the settings'
// (lxp2.par, Parleg.dat). Its summer hour, InDstWindow, is written here and
// nowhere else: by the rule while summer time is automatic, by the system's
// zone while the home follows it (homezone.h), or by hand. Here too:
// universal time of a clock reading, the summer-time button's caption and
// the summer period's text.

#include "core/platform.h"
#include "core/state.h"
#include "core/time/calendar.h"
#include "core/time/homezone.h"
#include "core/view.h"

#include <chrono>
#include <optional>

namespace vemar {

// Universal time of a clock reading by the home's settings: the reading less
// the zone, the summer hour and the half hour.
UniversalTime ToUniversal(const ClockReading& local, std::chrono::seconds ahead);

class Home {
public:
    Home(SharedState& s, MainView& v, HomeZone& zone);

    // --- The summer hour and its texts ---

    // 1 while the home's clock holds a summer hour, in either hemisphere.
    int summerHour() const { return site_.inDstWindow; }
    // The rule's own summer today, from A's day to the day before B's: the
    // rows on classes "1" and "3" read it.
    bool ruleSummer() const { return ruleSummer_; }
    // LegaleSino for a day: the period text and the rule's summer; the
    // summer hour by the rule while summer time is automatic, unless the home
    // follows its zone, whose own period the text then shows.
    void decideSummer(const ClockReading& today);
    // A clock left running decides again on a new day, as a fresh start
    // would, and when the home starts or stops following its zone.
    void followDays(const ClockReading& now);
    std::optional<CalendarDate> decidedFor() const { return decidedFor_; }
    void showSummerCaption();   // ShowDstLabel
    void hemisphereCaption();   // Emisfero: for the hemisphere options
    void captionAtStart();      // AutoDst off: the caption the stored OutsideDstWindow says
    // The summer-time button: with AutoDst off, summer time on or off. By the
    // user it takes the home off its zone. False with AutoDst on: nothing changed.
    bool switchSummer(bool byUser);

    // --- The home's clock ---

    // Database mode: universal time is the instant of each reading, whatever
    // the settings say, and the home may follow the system's zone.
    void attach(bool databaseMode) { databaseMode_ = databaseMode; }
    bool followsZone() const { return zone_.follows(site_, rule_); }
    struct Now {
        UniversalTime ut;       // from 0h of the reading's date
        sys_seconds instant;    // the same moment
    };
    // A home on its zone takes its summer hour from the zone here.
    Now at(const ClockReading& now);
    // Ahead of universal time by the settings: zone, summer hour, half hour.
    std::chrono::seconds aheadBySettings() const;
    // What the sun and moon of a day are computed for: the zone's offset at
    // local noon while the home follows it, else the settings'.
    std::chrono::seconds skyOffset(const CalendarDate& day);

private:
    void summerFromZone(bool summer);

    SiteSettings& site_;
    const DstRule& rule_;
    ControlView& summerButton_;
    ControlView& summerPeriod_;
    HomeZone& zone_;
    bool databaseMode_ = false;
    bool ruleSummer_ = false;
    bool decidedFollowing_ = false;
    std::optional<CalendarDate> decidedFor_;
};

} // namespace vemar
