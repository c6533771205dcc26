// The clock tick: everything on the main window that changes from second to
// second, redone at every timer event in a fixed order.

#include "core/tick.h"

#include "core/astro.h"
#include "core/time/citytime.h"
#include "core/files.h"
#include "core/program.h"
#include "core/texts.h"

#include <algorithm>
#include <charconv>

namespace vemar {

namespace {

void appendInt(std::string& out, int value) {
    char buf[12];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, end);
}

// Writes " " + middle + " " into target unless it already holds exactly that.
void assignPadded(std::string& target, std::string_view middle) {
    if (target.size() == middle.size() + 2 && target.front() == ' ' && target.back() == ' ' &&
        std::string_view(target).substr(1, middle.size()) == middle)
        return;
    // Not assign(" "): GCC 12 at -O3 warns falsely (-Wrestrict) on a one-letter literal.
    target.assign(1, ' ').append(middle).append(1, ' ');
}

int classColour(ZoneClass zoneClass, int citiesColour) {
    // Dark colours on light grey, bright ones on black; -1: leave unchanged.
    static constexpr int onGrey[] = {2, 1, 4, 5};
    static constexpr int onBlack[] = {10, 11, 12, 13};
    if (zoneClass == ZoneClass::Unlisted) return -1;
    const auto index = static_cast<std::size_t>(zoneClass);
    if (citiesColour == 7) return onGrey[index];
    if (citiesColour == 0) return onBlack[index];
    return -1;
}

HomeClock homeClockOf(const SharedState& s) {
    return {s.site.zoneOffset, s.site.inDstWindow, s.site.halfHourMinutes};
}

} // namespace

void RowTimeText(std::string& out, int hour, int minutes, int seconds) {
    out.clear();
    if (hour >= 0 && hour < 10) out += "  ";
    appendInt(out, hour);
    out += ':';
    AppendTwoDigits(out, minutes);
    out += ':';
    AppendTwoDigits(out, seconds);
}

void DateLineText(std::string& out, const CalendarDate& date, int weekday) {
    out.clear();
    out += texts::kDayNames[static_cast<std::size_t>(weekday) % 7];
    out += "  ";
    appendInt(out, date.day);
    out += ' ';
    out += texts::kMonthNames[static_cast<std::size_t>(date.month - 1) % 12];
    out += ' ';
    appendInt(out, date.year);
}

Tick::Tick(Program& program) : program_(program), s_(program.state()), v_(program.view()) {}

void Tick::run(const ClockReading& now) {
    if (s_.tick.tickStage == TickStage::Reinitialise) reinitialise();
    namesPass();
    southernSync();
    followSummerTime(now);
    const Home home = readHome(now);
    lastInstant_ = home.utc;
    if (s_.tick.tickStage == TickStage::StartupCount) startupCount(now.second);
    // This tick's day first: the markers' tooltips and the year panels read
    // it, so the first tick of a new day is right on its own.
    datePair(now, home.firstIsYesterday);
    yearEnd(now);
    rowsPass(home);
    if (signal_.pipDue(now.minute, now.second, s_.display.signalOn == 1)) program_.platform().beep();
    panelsUpdate(now, home.ut);
    astronomy(now, home);
}

// A home that follows the system's zone takes its summer hour from the
// database and universal time from the instant; any other home turns its
// clock reading into universal time by its settings and the rule.
Tick::Home Tick::readHome(const ClockReading& now) {
    const HomeZone::State zone = program_.homeZoneAt(now);
    if (!zone.followsZone) return homeByRule(now);
    const int summerHour = zone.summer ? 1 : 0;
    if (s_.site.inDstWindow != summerHour) {
        s_.site.inDstWindow = summerHour;
        program_.showDstLabel();
    }
    const bool north = IsNorthern(s_.site.hemisphere);
    s_.tick.hourCorrection = (!north && s_.site.inDstWindow == 1) ? -1 : 0;

    Home home;
    home.followsZone = true;
    home.utc = *now.utcSeconds;
    home.day = DaysFromCivil({now.day, now.month, now.year});
    const std::int64_t sinceMidnight = home.utc - home.day * 86400;
    home.ut = {static_cast<int>(FloorDiv(sinceMidnight, std::int64_t{3600})),
               static_cast<int>(FloorMod(sinceMidnight, std::int64_t{3600}) / 60),
               static_cast<int>(FloorMod(sinceMidnight, std::int64_t{60}))};
    // The date pair's window keeps the rule's form: universal time from the
    // reading's midnight, with the summer hour in it in the north.
    const int rawHour = home.ut.hour + (north ? s_.site.inDstWindow : 0);
    s_.tick.tickHour = rawHour < 0 ? rawHour + 24 : rawHour;
    s_.tick.clockMinutes = home.ut.minute;
    const bool morningWindow = rawHour > -2 && rawHour < 10 + (north ? s_.site.inDstWindow : 0);
    home.firstIsYesterday = morningWindow || rawHour < 0;
    return home;
}

Tick::Home Tick::homeByRule(const ClockReading& now) {
    // The base hour and the date windows keep their traditional form: in the
    // south the summer hour is taken out of the base hour, in the north the
    // morning window is an hour longer in summer.
    s_.tick.hourCorrection = (!IsNorthern(s_.site.hemisphere) && s_.site.inDstWindow == 1) ? -1 : 0;
    s_.tick.tickHour = now.hour - s_.site.zoneOffset + s_.tick.hourCorrection;
    const double rawHour = s_.tick.tickHour;
    bool previousDay = false;
    if (s_.tick.tickHour < 0) {
        s_.tick.tickHour += 24;
        previousDay = true;
    }
    const int morningEnd = 10 + (IsNorthern(s_.site.hemisphere) ? s_.site.inDstWindow : 0);
    const bool morningWindow = rawHour > -2 && rawHour < morningEnd;
    s_.tick.clockMinutes = now.minute - s_.site.halfHourMinutes;
    if (s_.tick.clockMinutes < 0) {
        s_.tick.clockMinutes += 60;
        s_.tick.tickHour -= 1;
    }

    Home home;
    home.ut = ToUniversal(now, homeClockOf(s_));
    home.day = DaysFromCivil({now.day, now.month, now.year});
    home.utc = home.day * 86400 + home.ut.minutesFromLocalMidnight() * 60LL + home.ut.second;
    home.firstIsYesterday = morningWindow || previousDay;
    return home;
}

// Runs on the first tick and after a reload request from a table editor.
void Tick::reinitialise() {
    s_.tick.tickStage = TickStage::StartupCount;
    if (s_.table.zoneTableLoaded == 0) loadZoneTable();
    v_.form.textColour = palette(15);
    for (int k = 0; k < kPageRows; ++k) v_.rowTimes[k].backColour = palette(s_.display.timesColour);
}

void Tick::loadZoneTable() {
    s_.table.zoneTable = ReadZoneTable(program_.file(kZoneFile));
    // A damaged file may hold any number of digits: keep the hours
    // arithmetic far from overflow.
    for (int n = 0; n < kZoneRows; ++n) {
        s_.table.zoneOffsets[n] = std::clamp(OffsetNumber(s_.table.zoneTable[n].offset), -1000.0, 1000.0);
        s_.table.zoneClasses[n] = ZoneClassOf(s_.table.zoneTable[n].zoneClass);
    }
    s_.table.zoneTableLoaded = 1;
    // The names may have changed: each row learns again which zone it follows.
    program_.loadCityZones();
}

void Tick::namesPass() {
    for (int column = 0; column < 3; ++column) {
        for (int place = 0; place < kColumnRows; ++place) {
            const int k = column * kColumnRows + place;
            const int n = s_.table.tableBase + k;
            const ZoneRow& row = s_.table.zoneTable[n];
            const int colour = classColour(s_.table.zoneClasses[n], s_.display.citiesColour);
            if (colour >= 0) v_.cityNames[k].textColour = palette(colour);
            assignIfChanged(v_.cityNames[k].caption, row.name);
            if (!s_.table.rowZones[n].empty() && rowOffsets_[n]) continue;   // the rows pass names its zone

            RowFollowsText(scratch_, row.name, static_cast<int>(s_.table.zoneOffsets[n]) * 3600, {});
            assignPadded(v_.rowTimes[k].tooltip, scratch_);
        }
        if (s_.tick.symbolRefresh == 1) {
            program_.refreshDateMarkers();
            if (++s_.tick.symbolRefreshCount >= 27) {
                s_.tick.symbolRefreshCount = 0;
                s_.tick.symbolRefresh = 0;
            }
        }
    }
}

// Once per run in the southern hemisphere outside the window: the manual
// switch twice, which settles InDstWindow from the caption shown.
void Tick::southernSync() {
    if (s_.site.hemisphere == Hemisphere::South && s_.site.inDstWindow == 0 && s_.tick.southSyncDone == 0) {
        s_.tick.southSyncDone = 1;
        program_.dstSwitchClick();
        program_.dstSwitchClick();
    }
}

// A clock left running for weeks changes to and from summer time on the
// rule's days, and names the new year on 1 January, as a fresh start would.
void Tick::followSummerTime(const ClockReading& now) {
    const auto decided = program_.summerTimeDecidedFor();
    const CalendarDate today{now.day, now.month, now.year};
    if (!decided || *decided == today) return;
    program_.legaleSino(now);
    if (s_.site.autoDst == 1) program_.showDstLabel();
}

// The count runs on ticks whose second ends in an even digit, not on
// seconds: the start-up picture stays as long as 44 such ticks take. It is
// held at 44, so after a reload request the stage ends at once.
void Tick::startupCount(int second) {
    if (second % 2 == 0 && s_.tick.startCounter < 44) ++s_.tick.startCounter;
    if (s_.tick.startCounter < 6) program_.refreshDateMarkers();
    if (s_.tick.startCounter >= 44) {
        program_.closeStartupPicture();
        s_.tick.tickStage = TickStage::Running;
    }
}

void Tick::zonesChanged() {
    rowOffsets_.fill(std::nullopt);
    noonOffset_ = {};
}

// A row that follows a zone is universal time plus the zone's offset now;
// any other row is universal time plus its standard offset and its summer
// hour by the rule.
CityTime Tick::cityTime(const Home& home, int n) {
    const std::string& zone = s_.table.rowZones[n];
    const ZoneDatabase* zones = program_.zoneDatabase();
    if (!zone.empty() && zones) {
        std::optional<ZoneOffset>& offset = rowOffsets_[n];
        if (!offset || !offset->holdsAt(home.utc)) offset = zones->offsetAt(zone, home.utc);
        if (offset) return CityTimeInZone(home.utc, offset->seconds, home.day);
    }
    return CityTimeOf(home.ut, static_cast<int>(s_.table.zoneOffsets[n]), s_.table.zoneClasses[n], s_.ruleSummer);
}

// " Kathmandu +5:45h Asia/Kathmandu ": the offset in force and the zone.
void Tick::zoneTooltip(int k, int n, int offsetSeconds) {
    RowFollowsText(scratch_, TrimmedName(s_.table.zoneTable[n].name), offsetSeconds, s_.table.rowZones[n]);
    assignPadded(v_.rowTimes[k].tooltip, scratch_);
}

// Each row's marker tells whether the city's own date is the second date of
// the pair (or later) or not.
void Tick::rowsPass(const Home& home) {
    const int secondDateDelta = home.firstIsYesterday ? 0 : 1;
    for (int k = 0; k < kPageRows; ++k) {
        const int n = s_.table.tableBase + k;
        const CityTime city = cityTime(home, n);
        if (!s_.table.rowZones[n].empty() && rowOffsets_[n]) zoneTooltip(k, n, rowOffsets_[n]->seconds);
        const bool secondDate = city.dayDelta >= secondDateDelta;

        ControlView& marker = v_.dateMarkers[k];
        const std::string& symbol = secondDate ? s_.display.dateSymbol2 : s_.display.dateSymbol1;
        marker.textColour = palette(secondDate ? 10 : 12);
        assignIfChanged(marker.caption, symbol);
        // The tooltip names the date of the symbol shown, as the panels show it.
        const bool firstPanel = symbol == s_.display.dateSymbol1;
        assignPadded(marker.tooltip, firstPanel ? v_.firstDate.caption : v_.secondDate.caption);

        RowTimeText(scratch_, city.hour, city.minute, home.ut.second);
        assignIfChanged(v_.rowTimes[k].caption, scratch_);
    }
}

// Universal time, the year's progress, local mean and sidereal time, all
// from the same universal time.
void Tick::panelsUpdate(const ClockReading& now, const UniversalTime& ut) {
    s_.tick.utHour = ut.hour < 0 ? ut.hour + 24 : ut.hour;
    const PanelKey key{now, s_.site.lonDegrees, s_.site.lonMinutes, s_.tick.dayOfYear, s_.tick.daysLeft,
                       s_.site.zoneOffset, s_.site.inDstWindow, s_.site.halfHourMinutes};
    if (!panels_.changed(key)) return;

    v_.utTime.caption = UtLine(s_.tick.utHour, ut.minute, ut.second);
    const TickMemory& t = s_.tick;
    const YearProgress progress = YearProgressTexts(t.dayOfYear, t.daysLeft, t.utHour, ut.minute, ut.second);
    assignIfChanged(v_.yearStart.caption, progress.since);
    assignIfChanged(v_.yearEnd.caption, progress.toEnd);
    const astro::Place place{s_.site.latDegrees, s_.site.latMinutes, s_.site.lonDegrees, s_.site.lonMinutes};
    assignIfChanged(v_.siderealTime.caption, astro::SiderealText({now.day, now.month, now.year}, ut, place));
    assignIfChanged(v_.meanTime.caption, astro::LocalMeanTimeText(ut, place));
}

void Tick::yearEnd(const ClockReading& now) {
    if (yearEnd_.changed({now.day, now.month, now.year, s_.tick.dayShift})) {
        yearEndResult_ = InFineAnno(now.day, now.month, now.year, s_.tick.dayShift);
        v_.dayOfYear.caption = yearEndResult_.dayCaption;
        v_.dayOfYear.textColour = yearEndResult_.dayColour;
        v_.daysToYearEnd.caption = yearEndResult_.leftCaption;
        v_.daysToYearEnd.textColour = yearEndResult_.leftColour;
    }
    s_.tick.dayOfYear = yearEndResult_.dayOfYear;
    s_.tick.daysLeft = yearEndResult_.daysLeft;
}

void Tick::datePair(const ClockReading& now, bool firstIsYesterday) {
    const CalendarDate today{now.day, now.month, now.year};
    s_.tick.dayShift = firstIsYesterday ? 1 : 0;
    v_.form.textColour = palette(15);
    if (!datePair_.changed({now.day, now.month, now.year, s_.tick.dayShift})) return;
    const CalendarDate first = firstIsYesterday ? DayBefore(today) : today;
    const CalendarDate second = firstIsYesterday ? today : DayAfter(today);

    const auto firstDay = WeekDays(first.day, first.month, first.year);
    const auto secondDay = WeekDays(second.day, second.month, second.year);
    if (firstDay) {
        DateLineText(scratch_, first, firstDay->weekday);
        assignIfChanged(v_.firstDate.caption, scratch_);
        s_.tick.julianDay = firstDay->julianDay;
    }
    if (secondDay) {
        DateLineText(scratch_, second, secondDay->weekday);
        assignIfChanged(v_.secondDate.caption, scratch_);
    }
}

// Sun and moon depend only on the date, the place and the zone hours: they
// are computed again only when one of those changes. The zone hours are the
// home's true offset, summer hour and half hour included: for a home that
// follows its zone, the zone's offset at the day's local noon.
void Tick::astronomy(const ClockReading& now, const Home& home) {
    double zoneHours = homeClockOf(s_).aheadOfUtHours();
    if (home.followsZone) {
        if (noonOffset_.changed(home.day)) noonOffsetMinutes_ = program_.homeNoonOffsetMinutes(now);
        if (noonOffsetMinutes_) zoneHours = *noonOffsetMinutes_ / 60.0;
    }
    const SiteSettings& site = s_.site;
    const SkyKey key{{now.day, now.month, now.year},
                     {{site.latDegrees, site.latMinutes, site.lonDegrees, site.lonMinutes}, zoneHours}};
    if (sky_.changed(key)) {
        v_.sunSentence.caption = astro::SunSentence(astro::ComputeSunTimes(key.date, key.site));
        v_.moonSentence.caption = astro::MoonSentence(astro::ComputeMoonDay(key.date, key.site));
    }
    if (julianDayLabel_.changed(s_.tick.julianDay)) v_.julianDay.caption = JulianDayLabel(s_.tick.julianDay);
}

} // namespace vemar
