// The clock tick over shared state a test sets directly: row times and markers, names, the date pair, the count.

#include "core/astro.h"
#include "core/tick.h"
#include "testsupport.h"

namespace vemar {
namespace {

class TickTest : public test::ProgramTest {
protected:
    SharedState& s = state();
    MainView& v = view();

    void SetUp() override {
        s.tick.tickStage = TickStage::Running;   // no start-up count, no table read
        s.table.zoneTableLoaded = 1, s.display.dateSymbol1 = "*", s.display.dateSymbol2 = "°", s.site.autoDst = 1;
        for (int n = 0; n < kZoneRows; ++n) setRow(n, "City" + std::to_string(n + 1), "0", "0");
    }
    void setRow(int n, const std::string& name, const std::string& zoneClass, const std::string& offset) {
        program->cities().setRow(n, {name, zoneClass, offset});
    }
    // The rule's summer on the clock's day: the shipped rule's (March to October), or one of November.
    void ruleSummer(bool on) {
        s.dstRule = on ? DstRule{} : DstRule{10, 4, 0, 11, 4, 0};
        program->home().decideSummer(platform.clock);
    }
    void at(int y, int mo, int d, int h, int mi, int sec) { platform.clock = {y, mo, d, h, mi, sec}; }
};

// What row 0 shows by the home (zone, hemisphere, summer and half hour), the rule, the clock and its own class.
TEST_F(TickTest, RowTimeAndDateMarker) {
    struct Case { const char* why; int zone, hemisphere, inDst, ruleSummer, halfHour, hour, minute;
                  const char* zoneClass; const char* offset; const char* time; bool secondDate; };
    const Case cases[] = {
        {"northern summer, a southern city in winter", 1, 1, 1, 1, 0, 14, 30, "3", "-3", "  9:30:05", false},
        {"site half hour borrows an hour once", 1, 1, 0, 0, 30, 10, 10, "0", "+1", "  9:40:05", true},
        {"morning: a city ahead is on the second date", 1, 1, 0, 0, 0, 3, 0, "0", "+9", "11:00:05", true},
        {"morning: Anchorage at midnight, second date", 1, 1, 1, 1, 0, 10, 0, "1", "-9", "  0:00:05", true},
        {"morning: Anchorage before midnight, first date", 1, 1, 1, 1, 0, 9, 59, "1", "-9", "23:59:05", false},
        {"southern home in summer: Roma in winter", 10, 2, 1, 0, 0, 12, 0, "1", "+1", "  2:00:05", true},
        {"southern home in winter: Roma in summer", 10, 2, 0, 1, 0, 12, 0, "1", "+1", "  4:00:05", true},
        {"half-hour home: Delhi itself", 5, 1, 0, 0, 30, 12, 10, "2", "+5", "12:10:05", true},
        {"after midnight the base hour is the day before's", 1, 1, 0, 0, 0, 0, 30, "0", "+1", "  0:30:05", true},
        {"noon of a northern summer ends the morning", 1, 1, 1, 1, 0, 12, 0, "0", "+9", "19:00:05", false},
    };
    // Equal characters (both empty before any are chosen) must not make every tooltip name the first date.
    for (const auto& [first, second] : {std::pair("*", "°"), std::pair("", "")})
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.why) + " with markers '" + first + "' and '" + second + "'");
        std::tie(s.display.dateSymbol1, s.display.dateSymbol2) = std::tuple(first, second);
        s.site.zoneOffset = std::chrono::hours{c.zone}, s.site.hemisphere = static_cast<Hemisphere>(c.hemisphere);
        at(2024, 6, 21, c.hour, c.minute, 5), ruleSummer(c.ruleSummer == 1);
        s.site.inDstWindow = c.inDst, s.site.halfHour = std::chrono::minutes{c.halfHour};
        setRow(0, "Roma", c.zoneClass, c.offset), program->tick();
        EXPECT_EQ(v.rowTimes[0].caption, c.time);
        EXPECT_EQ(v.dateMarkers[0].caption, c.secondDate ? second : first);
        EXPECT_EQ(v.dateMarkers[0].textColour, palette(c.secondDate ? 10 : 12));
        const std::string& date = (c.secondDate ? v.secondDate : v.firstDate).caption;
        EXPECT_EQ(v.dateMarkers[0].tooltip, " " + date + " ");
        // A screen reader hears the marker as its date, and the row as one, to the minute.
        EXPECT_EQ(v.dateMarkers[0].accessibleName, date);
        const std::string_view time = std::string_view(c.time).substr(std::string_view(c.time).find_first_not_of(' '));
        EXPECT_EQ(v.cityNames[0].accessibleDescription, std::string(time.substr(0, time.size() - 3)) + ", " + date);
    }
}

// A southern home, summer time by hand: the once-per-run switch pair settles the state from the caption.
TEST_F(TickTest, SouthernSynchronisationSettlesTheState) {
    s.site.hemisphere = Hemisphere::South, s.site.autoDst = 0, s.site.outsideDstWindow = 1;
    s.site.zoneOffset = std::chrono::hours{10};
    v.summerTimeButton.caption = "Ora Legale";
    setRow(0, "Tokyo", "0", "+9"), setRow(1, "Londra", "1", "0"), setRow(2, "Sydney", "3", "+10");
    at(2024, 1, 15, 12, 0, 0), program->tick(), program->tick();
    EXPECT_EQ((std::array{s.site.inDstWindow, s.site.outsideDstWindow, s.tick.hourCorrection}), (std::array{1, 0, -1}));
    test::ExpectShown(v, {"SSPanel5.caption=Ora Legale", "Label2(0).caption=10:00:00", "Label2(1).caption=  1:00:00",
                          "Label2(2).caption=12:00:00"});
    EXPECT_EQ(platform.writes, (std::vector<std::string>{"lxp2.par", "lxp2.par"})) << "once per run";
}

// Name colours by class on light grey (dark) and black (bright), else left; the tooltip's offset.
TEST_F(TickTest, NamesColoursAndTooltips) {
    struct Case { const char* zoneClass; const char* offset; int citiesColour, colour; const char* tip; };
    const Case cases[] = {
        {"0", "+3", 7, 2, " X +3h "}, {"1", "0", 7, 1, " X 0h "},    {"2", "-4", 7, 4, " X -4h "},
        {"3", "+12", 7, 5, " X +12h "}, {"0", "", 0, 10, " X 0h "},  {"1", "05", 0, 11, " X +5h "},
        {"2", "+5", 0, 12, " X +5h "}, {"3", "-11", 0, 13, " X -11h "}, {"1", "0", 4, 6, " X 0h "},
        {"9", "0", 7, 6, " X 0h "},
    };
    for (const Case& c : cases) {
        v.cityNames[0].textColour = palette(6), s.display.citiesColour = c.citiesColour;
        setRow(0, "X", c.zoneClass, c.offset), program->tick();
        EXPECT_EQ(std::tuple(v.cityNames[0].caption, v.cityNames[0].textColour, v.rowTimes[0].tooltip),
                  std::tuple("X", palette(c.colour), c.tip)) << c.zoneClass << " on " << c.citiesColour;
    }
}

// The pair, and the day of the year counted from its first date.
TEST_F(TickTest, DatePairAcrossMonthAndYearEnds) {
    struct Case { ClockReading clock; int zone; const char* first; const char* second; int dayOfYear; };
    const Case cases[] = {
        {{2026, 4, 5, 12, 0, 0}, 1, "Domenica  5 Aprile 2026", "Lunedì  6 Aprile 2026", 95},
        {{2024, 3, 1, 8, 0, 0}, 1, "Giovedì  29 Febbraio 2024", "Venerdì  1 Marzo 2024", 60},
        {{2025, 1, 1, 5, 0, 0}, 1, "Martedì  31 Dicembre 2024", "Mercoledì  1 Gennaio 2025", 1},   // never day 0
        {{2024, 12, 31, 20, 0, 0}, 1, "Martedì  31 Dicembre 2024", "Mercoledì  1 Gennaio 2025", 366},
        // West of Greenwich in the evening UT is already tomorrow: no morning window.
        {{2024, 6, 30, 21, 0, 0}, -5, "Domenica  30 Giugno 2024", "Lunedì  1 Luglio 2024", 182},
    };
    for (const Case& c : cases) {
        s.site.zoneOffset = std::chrono::hours{c.zone}, platform.clock = c.clock, program->tick();
        EXPECT_EQ((std::array{v.firstDate.caption, v.secondDate.caption, v.dayOfYear.caption}),
                  (std::array<std::string, 3>{c.first, c.second, std::to_string(c.dayOfYear) + "° giorno dell'anno"}));
    }
}

// A damaged table's offset of days away: the marker names the row's own date; past the calendar's end, none.
TEST_F(TickTest, ARowDaysAwayNamesItsOwnDate) {
    const std::tuple<ClockReading, const char*, const char*> cases[] = {
        {{2024, 6, 21, 22, 0, 0}, "+100", " Mercoledì  26 Giugno 2024 "},
        {{2024, 6, 21, 22, 0, 0}, "-100", " Lunedì  17 Giugno 2024 "},
        {{2500, 12, 31, 22, 0, 0}, "+1000", "  "},
    };
    for (const auto& [clock, offset, tooltip] : cases) {
        platform.clock = clock, setRow(0, "X", "0", offset), program->tick();
        EXPECT_EQ(v.dateMarkers[0].tooltip, tooltip) << offset;
    }
}

// Database mode: the pair (first date -1 yesterday, 0 today) holds the most rows, then the home's, else the usual.
TEST(DatePairFor, HoldsTheMostRowsThenTheHome) {
    struct Case { const char* why; std::vector<std::pair<int, int>> rowsOnDay; int usual, first; };
    const Case cases[] = {
        {"every row today, in the morning", {{27, 0}}, -1, -1},
        {"every row today, in the afternoon", {{27, 0}}, 0, 0},
        {"a row two days on stays off the pair", {{26, 0}, {1, 2}}, -1, -1},
        {"both ends of the world: the larger, with the home", {{13, 1}, {14, -1}}, 0, -1},
        {"every row ahead of the home", {{20, 1}, {7, 2}}, 0, 1},
    };
    for (const Case& c : cases) {
        std::array<int, kPageRows> days{};
        for (std::size_t k = 0; auto [rows, day] : c.rowsOnDay) while (rows--) days[k++] = day;
        EXPECT_EQ(DatePairFor(days, c.usual), c.first) << c.why;
    }
}

// 44 even-second ticks close the picture; after a reload request the stage ends at once, the count stays 44.
TEST_F(TickTest, StartupCountClosesThePictureAfter44EvenTicks) {
    s.tick.tickStage = TickStage::StartupCount, at(2024, 6, 21, 22, 0, 1);
    for (int i = 0; i < 100; ++i) program->tick();
    EXPECT_EQ(s.tick.startCounter, 0) << "odd seconds do not count";
    at(2024, 6, 21, 22, 0, 2);
    for (int i = 0; i < 43; ++i) program->tick();
    EXPECT_EQ(s.tick.tickStage, TickStage::StartupCount);
    program->tick();
    EXPECT_EQ(s.tick.tickStage, TickStage::Running);
    EXPECT_FALSE(program->startupPictureOpen());
    program->requestReload();
    for (int i = 0; i < 5; ++i) program->tick();
    EXPECT_EQ((std::array{int(s.tick.tickStage), s.tick.startCounter}), (std::array{int(TickStage::Running), 44}));
}

// The cached sun and moon equal a fresh computation whenever the date, the place or the zone hours change.
TEST_F(TickTest, SkyCacheMatchesAFreshComputation) {
    struct Step { ClockReading clock; double lat; int zone; Hemisphere hemisphere; int inDst, halfHour; };
    constexpr Hemisphere N = Hemisphere::North;
    const Step steps[] = {
        {{2024, 6, 21, 22, 0, 0}, 45, 1, N, 1, 0}, {{2024, 6, 22, 0, 0, 0}, 45, 1, N, 1, 0},
        {{2024, 6, 22, 0, 0, 1}, 60, 1, N, 1, 0},  {{2024, 6, 22, 0, 0, 2}, 60, 3, N, 1, 0},
        {{2024, 6, 22, 0, 0, 3}, 60, 3, N, 0, 0},  {{2024, 6, 22, 0, 0, 4}, 28, 5, N, 0, 30},
        {{2024, 1, 15, 12, 0, 0}, -34, 10, Hemisphere::South, 1, 0},
    };
    s.site.lonDegrees = -12;
    for (const Step& st : steps) {
        platform.clock = st.clock;
        std::tie(s.site.latDegrees, s.site.hemisphere, s.site.inDstWindow) = std::tie(st.lat, st.hemisphere, st.inDst);
        s.site.zoneOffset = std::chrono::hours{st.zone}, s.site.halfHour = std::chrono::minutes{st.halfHour};
        program->tick();
        const astro::Site site{{st.lat, 0, -12, 0}, st.zone + st.inDst + st.halfHour / 60.0};
        const CalendarDate date{st.clock.day, st.clock.month, st.clock.year};
        EXPECT_EQ(v.sunSentence.caption, astro::SunSentence(astro::ComputeSunTimes(date, site)));
        EXPECT_EQ(v.moonSentence.caption, astro::MoonSentence(astro::ComputeMoonDay(date, site)));
    }
}

} // namespace
} // namespace vemar
