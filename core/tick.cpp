// The clock tick: everything on the main window that changes from second to
// second, redone at every timer event in a fixed order.

#include "core/tick.h"

#include "core/astro.h"
#include "core/files.h"
#include "core/texts.h"

#include <algorithm>
#include <charconv>
#include <tuple>

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

void RowDescriptionText(std::string& out, int hour, int minutes, std::string_view date) {
    out.clear();
    appendInt(out, hour);
    out += ':';
    AppendTwoDigits(out, minutes);
    out += texts::kRowTimeThenDate;
    out += date;
}

void DateSymbolName(std::string& out, bool secondDate, std::string_view symbol) {
    out.assign(secondDate ? texts::kSecondSymbolName : texts::kFirstSymbolName);
    if (!symbol.empty()) out.append(texts::kNameThenValue).append(symbol);
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

Tick::Tick(SharedState& s, MainView& v, Home& home, CityTable& cities, TickHost& host, Platform& platform)
    : s_(s), v_(v), home_(home), cities_(cities), host_(host), platform_(platform) {}

void Tick::run(const ClockReading& now) {
    if (s_.tick.tickStage == TickStage::Reinitialise) reinitialise();
    namesPass(now.year);
    southernSync();
    home_.followDays(now);
    const HomeNow home = readHome(now);
    if (s_.tick.tickStage == TickStage::StartupCount) startupCount(now.second);
    rowTimes(home);
    // This tick's day first: the markers' tooltips and the year panels read
    // it, so the first tick of a new day is right on its own.
    datePair(now, pairStart(home), cities_.databaseMode());
    yearEnd(now);
    rowsPass();
    if (signal_.pipDue(now.minute, now.second, s_.display.signalOn == 1)) platform_.beep();
    panelsUpdate(now, home.moment.ut);
    astronomy(now);
}

// The home's moment, and whether the usual date pair starts with yesterday.
// In the south the summer hour is taken out of the rule's base hour (the hour
// correction), in the north the morning window is an hour longer in summer.
Tick::HomeNow Tick::readHome(const ClockReading& now) {
    const Home::Now clock = home_.at(now);
    const bool north = IsNorthern(s_.site.hemisphere);
    const int summerHour = home_.summerHour();
    s_.tick.hourCorrection = (!north && summerHour == 1) ? -1 : 0;
    // The machine's own clock: its reading read as universal time, less the instant.
    const sys_seconds readingAsUt = StartOfDay({now.day, now.month, now.year}) +
                                    std::chrono::seconds{(now.hour * 60 + now.minute) * 60 + now.second};
    HomeNow home{{clock.ut, clock.instant, home_.ruleSummer(), readingAsUt - clock.instant}};
    if (!cities_.databaseMode() || !now.instant) {
        home.firstIsYesterday = firstIsYesterdayByRule(now);
        return home;
    }
    // Universal time is the instant's. The usual pair starts with yesterday
    // before 10:00 universal time, as the rule's morning window, an hour
    // longer in a northern summer, comes to.
    home.firstIsYesterday = clock.ut.hour < 10;
    return home;
}

// The one-rule model's date pair starts with yesterday in the morning window
// (an hour longer in a northern summer) and whenever its base hour, the
// clock's hour less the zone box, is still the day before's.
bool Tick::firstIsYesterdayByRule(const ClockReading& now) {
    const auto baseHour = now.hour - s_.site.zoneOffset.count() + s_.tick.hourCorrection;
    return baseHour < 10 + (IsNorthern(s_.site.hemisphere) ? home_.summerHour() : 0);
}

// Runs on the first tick and after a reload request from a table editor.
void Tick::reinitialise() {
    s_.tick.tickStage = TickStage::StartupCount;
    if (s_.table.zoneTableLoaded == 0) {
        cities_.load();
        s_.table.zoneTableLoaded = 1;
    }
}

void Tick::namesPass(int year) {
    for (int column = 0; column < 3; ++column) {
        for (int place = 0; place < kColumnRows; ++place) {
            const int k = column * kColumnRows + place;
            const int n = s_.table.tableBase + k;
            const int colour = classColour(cities_.nameClass(n, year), s_.display.citiesColour);
            if (colour >= 0) v_.cityNames[k].textColour = palette(colour);
            assignIfChanged(v_.cityNames[k].caption, cities_.row(n).name);
        }
        if (s_.tick.symbolRefresh == 1) {
            host_.refreshDateMarkers();
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
    if (s_.site.hemisphere == Hemisphere::South && home_.summerHour() == 0 && s_.tick.southSyncDone == 0) {
        s_.tick.southSyncDone = 1;
        host_.summerSwitchCommand();
        host_.summerSwitchCommand();
    }
}

// The count runs on ticks whose second ends in an even digit, not on
// seconds: the start-up picture stays as long as 44 such ticks take. It is
// held at 44, so after a reload request the stage ends at once.
void Tick::startupCount(int second) {
    if (second % 2 == 0 && s_.tick.startCounter < 44) ++s_.tick.startCounter;
    if (s_.tick.startCounter < 6) host_.refreshDateMarkers();
    if (s_.tick.startCounter >= 44) {
        host_.closeStartupPicture();
        s_.tick.tickStage = TickStage::Running;
    }
}

void Tick::rowTimes(const HomeNow& home) {
    for (int k = 0; k < kPageRows; ++k) rows_[k] = cities_.timeAt(s_.table.tableBase + k, home.moment);
}

int DatePairFor(const std::array<int, kPageRows>& rowDays, int usual) {
    const auto [lowest, highest] = std::minmax_element(rowDays.begin(), rowDays.end());
    int best = usual, bestHeld = -1;
    bool bestHoldsHome = false;
    for (int first = *lowest - 1; first <= *highest; ++first) {
        const int held = static_cast<int>(
            std::count_if(rowDays.begin(), rowDays.end(), [&](int d) { return d == first || d == first + 1; }));
        const bool holdsHome = first == -1 || first == 0;
        const auto rank = std::tuple(held, holdsHome, first == usual);
        if (rank > std::tuple(bestHeld, bestHoldsHome, best == usual)) {
            std::tie(best, bestHeld, bestHoldsHome) = std::tuple(first, held, holdsHome);
        }
    }
    return best;
}

// In table mode the pair is the one-rule model's: yesterday and today in the
// home's morning window, else today and tomorrow. In database mode every row
// is on its real date, so the pair is chosen to hold them.
int Tick::pairStart(const HomeNow& home) const {
    const int usual = home.firstIsYesterday ? -1 : 0;
    if (!cities_.databaseMode()) return usual;
    std::array<int, kPageRows> days;
    for (int k = 0; k < kPageRows; ++k) days[k] = rows_[k].dayDelta;
    return DatePairFor(days, usual);
}

// Each row's marker tells which date of the pair the city is on; a row off
// the pair (both ends of the world shown at once) takes the nearer one. The
// marker's tooltip names the row's own date, whatever the characters.
// A row's description for a screen reader holds its time to the minute: it
// is sent to the reader when it changes, and once a minute costs nothing,
// where the seconds would be 27 messages a second.
void Tick::rowsPass() {
    const int secondDelta = s_.tick.firstDateDelta + 1;
    for (int k = 0; k < kPageRows; ++k) {
        const int n = s_.table.tableBase + k;
        const CityTime& city = rows_[k];
        cities_.tooltip(n, scratch_);
        assignIfChanged(v_.rowTimes[k].tooltip, scratch_);
        const bool secondDate = city.dayDelta >= secondDelta;

        ControlView& marker = v_.dateMarkers[k];
        marker.textColour = palette(secondDate ? 10 : 12);
        assignIfChanged(marker.caption, secondDate ? s_.display.dateSymbol2 : s_.display.dateSymbol1);
        const std::string& date = dateText(city.dayDelta, scratch_);
        assignPadded(marker.tooltip, date);
        // To a screen reader the marker is its date, described as the symbol
        // of the first or second date, and the row's name reads as one with
        // its time and date.
        assignIfChanged(marker.accessibleName, date);
        DateSymbolName(rowScratch_, secondDate, marker.caption);
        assignIfChanged(marker.accessibleDescription, rowScratch_);
        RowDescriptionText(rowScratch_, city.hour, city.minute, date);
        assignIfChanged(v_.cityNames[k].accessibleDescription, rowScratch_);

        RowTimeText(scratch_, city.hour, city.minute, city.second);
        assignIfChanged(v_.rowTimes[k].caption, scratch_);
    }
}

// The dates a city can be on are kept written; a damaged table's offset of
// hundreds of hours is written when it is asked for.
const std::string& Tick::dateText(int delta, std::string& scratch) const {
    const int index = delta - kFirstDateText;
    if (index >= 0 && index < static_cast<int>(dateTexts_.size())) return dateTexts_[static_cast<std::size_t>(index)];
    const CalendarDate date = CivilFromDays(homeDay_ + delta);
    scratch.clear();
    if (const auto day = WeekDays(date.day, date.month, date.year)) DateLineText(scratch, date, day->weekday);
    return scratch;
}

// Universal time, the year's progress, local mean and sidereal time, all
// from the same universal time.
void Tick::panelsUpdate(const ClockReading& now, const UniversalTime& ut) {
    s_.tick.utHour = ut.hour < 0 ? ut.hour + 24 : ut.hour;
    const PanelKey key{now, ut, s_.site.lonDegrees, s_.site.lonMinutes, s_.tick.dayOfYear, s_.tick.daysLeft};
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

// The date lines show the pair; in table mode the year panels and the
// Julian day count from its first date, in database mode from the home's own.
void Tick::datePair(const ClockReading& now, int firstDelta, bool panelsOnHomeDate) {
    s_.tick.firstDateDelta = firstDelta;
    s_.tick.dayShift = !panelsOnHomeDate && firstDelta == -1 ? 1 : 0;
    v_.form.textColour = palette(15);
    if (!datePair_.changed({now.day, now.month, now.year, firstDelta})) return;
    const CalendarDate today{now.day, now.month, now.year};
    const std::int64_t home = DaysFromCivil(today);
    for (std::size_t i = 0; i < dateTexts_.size(); ++i) {
        const CalendarDate date = CivilFromDays(home + kFirstDateText + static_cast<int>(i));
        if (const auto day = WeekDays(date.day, date.month, date.year)) DateLineText(dateTexts_[i], date, day->weekday);
    }
    homeDay_ = home;
    assignIfChanged(v_.firstDate.caption, dateText(firstDelta, scratch_));
    assignIfChanged(v_.secondDate.caption, dateText(firstDelta + 1, scratch_));
    const CalendarDate counted = panelsOnHomeDate ? today : CivilFromDays(home + firstDelta);
    if (const auto day = WeekDays(counted.day, counted.month, counted.year)) s_.tick.julianDay = day->julianDay;
}

// Sun and moon depend only on the date, the place and the zone hours: they
// are computed again only when one of those changes. The zone hours are the
// home's true offset, summer hour and half hour included: for a home that
// follows its zone, the zone's offset at the day's local noon.
void Tick::astronomy(const ClockReading& now) {
    const CalendarDate today{now.day, now.month, now.year};
    const double zoneHours = static_cast<double>(home_.skyOffset(today).count()) / 3600.0;
    const SiteSettings& site = s_.site;
    const SkyKey key{today, {{site.latDegrees, site.latMinutes, site.lonDegrees, site.lonMinutes}, zoneHours}};
    if (sky_.changed(key)) {
        v_.sunSentence.caption = astro::SunSentence(astro::ComputeSunTimes(key.date, key.site));
        v_.moonSentence.caption = astro::MoonSentence(astro::ComputeMoonDay(key.date, key.site));
    }
    if (julianDayLabel_.changed(s_.tick.julianDay)) v_.julianDay.caption = JulianDayLabel(s_.tick.julianDay);
}

} // namespace vemar
