// Sun, moon, sidereal and mean time: worked days checked against PyEphem and
// published tables, and properties over whole years near and far from the poles.

#include "core/astro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

using namespace vemar::astro;
using vemar::CalendarDate;

namespace {

const Place k45N12E{45, 0, -12, 0}, kNorthCape{70, 0, -20, 0}, kSvalbard{75, 0, -20, 0}, kArcticCircle{66, 0, -20, 0},
    kLapland{68, 0, -20, 0}, kTromso{69, 39, -18, -57};

template <typename F> void ForEachDayOf2024(F f) {
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= vemar::MonthLength(m, true); ++d) f(m, d);
}

// "h:mm" -> minutes of the day.
int Minutes(const std::string& text) {
    int h = -1, m = -1;
    std::sscanf(text.c_str(), "%d:%d", &h, &m);
    return h * 60 + m;
}

// "h:mm:ss " -> seconds of the day, or -1 unless the text has exactly that
// form with minutes and seconds below 60.
int ClockSeconds(const std::string& text) {
    static const std::regex form(R"(^(\d{1,2}):([0-5]\d):([0-5]\d) $)");
    std::smatch g;
    if (!std::regex_match(text, g, form)) return -1;
    return (std::stoi(g[1]) * 60 + std::stoi(g[2])) * 60 + std::stoi(g[3]);
}

struct SunCase { Place place; int month, day, zone; const char* sentence; };
const SunCase kSunCases[] = {
    {k45N12E, 6, 21, 2, "Il Sole Sorge alle 5:25 e tramonta alle 21:02"},
    {k45N12E, 12, 21, 1, "Il Sole Sorge alle 7:47 e tramonta alle 16:33"},
    {kNorthCape, 6, 21, 2, "Il Sole Sorge alle  e tramonta alle "},    // midnight sun
    {kNorthCape, 12, 21, 2, "Il Sole Sorge alle  e tramonta alle "},   // polar night
    // A lone crossing stands under its own kind; the other place stays empty.
    {kArcticCircle, 6, 10, 1, "Il Sole Sorge alle 0:06 e tramonta alle "},
    {kArcticCircle, 6, 30, 1, "Il Sole Sorge alle  e tramonta alle 23:24"},
    // Tromsø on summer time as the midnight sun begins and ends, each
    // crossing checked against PyEphem: a lone rising, then days that set
    // just after midnight and rise an hour later.
    {kTromso, 5, 16, 2, "Il Sole Sorge alle 1:25 e tramonta alle "},
    {kTromso, 5, 17, 2, "Il Sole Sorge alle 1:08 e tramonta alle 0:13"},
    {kTromso, 7, 26, 2, "Il Sole Sorge alle 1:19 e tramonta alle 0:23"},
    {kTromso, 7, 27, 2, "Il Sole Sorge alle 1:37 e tramonta alle 23:53"},   // and sets again at night
};

TEST(SunSentence, WorkedDays2024) {
    for (const auto& c : kSunCases)
        EXPECT_EQ(SunSentence(ComputeSunTimes({c.day, c.month, 2024}, {c.place, double(c.zone)})), c.sentence)
            << c.day << "/" << c.month;
}

// New York's published times for 21 June 2024, 5:25 and 20:31: west of
// Greenwich keeps its own zone.
TEST(SunTimes, WestOfGreenwichKeepsItsZone) {
    const SunTimes t = ComputeSunTimes({21, 6, 2024}, {{40, 43, 74, 0}, -4});
    EXPECT_NEAR(Minutes(t.rise), 5 * 60 + 25, 3) << t.rise;
    EXPECT_NEAR(Minutes(t.set), 20 * 60 + 31, 3) << t.set;
}

// The sun's altitude in degrees at a zone time of a date, from the series'
// position and the Earth's rotation angle: a clock of its own, not the scan's.
double SunAltitudeDeg(const CalendarDate& date, const Site& site, double zoneHoursOfDay) {
    const DayNumber dn = CalendarDayNumber(date.month, date.day, date.year);
    const double days = (dn.j - 2451545) + dn.f + (zoneHoursOfDay - site.zoneHours) / 24;
    const Equatorial sun = SunPosition(days, days / 36525 + 1);
    const double eastLonDeg = -(site.place.lonDegrees + site.place.lonMinutes / 60);
    constexpr double kRadPerDeg = std::numbers::pi / 180;
    const double latRad = (site.place.latDegrees + site.place.latMinutes / 60) * kRadPerDeg;
    const double rotationTurns = 0.7790572732640 + 1.00273781191135448 * days;
    const double hourAngleRad = 2 * std::numbers::pi * rotationTurns + eastLonDeg * kRadPerDeg - sun.raRad;
    return std::asin(std::sin(latRad) * std::sin(sun.decRad) +
                     std::cos(latRad) * std::cos(sun.decRad) * std::cos(hourAngleRad)) / kRadPerDeg;
}

// Where the sun crosses the horizon once a day or sets before it rises (the
// weeks at either end of the midnight sun and the polar night), each shown
// time must still be a rising under "Sorge" and a setting under "tramonta":
// the sun climbs through a shown rising and sinks through a shown setting.
TEST(SunTimes, EachTimeUnderItsOwnKindNearThePoles) {
    const Site sites[] = {
        {kTromso, 2},                    // summer time, solar midnight after 0h
        {{78, 13, -15, -38}, 1},         // Longyearbyen
        {{-77, -51, -166, -41}, 13},     // McMurdo on New Zealand summer time
        {kArcticCircle, 1}, {{-66, -30, 60, 0}, -4}, {{85, 0, 0, 0}, 0},
    };
    for (const Site& site : sites) {
        int shown = 0;
        ForEachDayOf2024([&](int m, int d) {
            const CalendarDate date{d, m, 2024};
            const SunTimes t = ComputeSunTimes(date, site);
            for (const auto& [text, climbs] : {std::pair{t.rise, true}, std::pair{t.set, false}}) {
                if (text.empty()) continue;
                ++shown;
                const double at = Minutes(text) / 60.0, tenMinutes = 1 / 6.0;
                const double change = SunAltitudeDeg(date, site, at + tenMinutes) - SunAltitudeDeg(date, site, at - tenMinutes);
                EXPECT_EQ(change > 0, climbs) << site.place.latDegrees << " " << d << "/" << m << " " << SunSentence(t);
            }
        });
        EXPECT_GT(shown, 100) << site.place.latDegrees;   // the walk met days with crossings
    }
}

struct MoonCase { Place place; int month, day, zone; const char* sentence; };
const MoonCase kMoonCases[] = {
    {k45N12E, 6, 1, 2, "La Luna si leva alle 2:36 e cala alle 14:56"},
    {k45N12E, 6, 9, 2, "La Luna si leva alle 7:43 e cala dopo le 24"},
    {k45N12E, 6, 10, 2, "La Luna cala alle 0:04 e si leva alle 8:54"},
    {k45N12E, 6, 26, 2, "La Luna cala alle 10:11 e si leva dopo le 24"},
    {k45N12E, 3, 1, 1, "La Luna cala alle 8:59 e si leva dopo le 24"},
    {k45N12E, 3, 2, 1, "La Luna si leva alle 0:20 e cala alle 9:24"},
    {kSvalbard, 1, 6, 1, "Luna Sotto l'Orizzonte tutto il Giorno e "},
    {kSvalbard, 1, 19, 1, " e Luna Sopra l'Orizzonte tutto il Giorno"},
    // Three crossings under the midsummer moon of the far north.
    {kLapland, 6, 15, 1, "La Luna cala alle 0:13 e si cala alle 23:55"},
    {kLapland, 6, 4, 1, "La Luna si leva alle 0:02 e cala alle 22:46"},
};

TEST(MoonSentence, WorkedDays2024) {
    for (const auto& c : kMoonCases)
        EXPECT_EQ(MoonSentence(ComputeMoonDay({c.day, c.month, 2024}, {c.place, double(c.zone)})), c.sentence)
            << c.day << "/" << c.month;
}

constexpr auto R = EventKind::Rise;
constexpr auto S = EventKind::Set;
struct SentenceCase { std::vector<MoonEvent> events; double endValue; const char* sentence; };
// Shapes no worked day above reaches.
const SentenceCase kSentenceCases[] = {
    {{{R, 0.5}, {S, 12.0}, {R, 23.5}}, 1, "La Luna si leva alle 0:30 e cala alle 23:30"},
    {{{S, 24.0}}, -1, "La Luna cala alle 24:00 e si leva dopo le 24"},
};

TEST(MoonSentence, ComposedFromTheEvents) {
    for (const auto& c : kSentenceCases) {
        MoonDay day;
        for (const MoonEvent& e : c.events) day.events[day.count++] = e;
        day.endValue = c.endValue;
        EXPECT_EQ(MoonSentence(day), c.sentence);
    }
}

// f = sin(dec) - 0 at the pole: declinations -x, 0, +x make the parabola a
// straight line, whose leading coefficient is exactly 0.
TEST(TestHour, StraightLineCrossing) {
    const Horizon pole{1, 0, 0, 0};
    const HourResult up = TestHour(pole, {0, {0, -0.1}, {0, 0.1}, 0});
    EXPECT_EQ(up.kind, EventKind::Rise);
    EXPECT_DOUBLE_EQ(up.timeHours, 0.5 + 1.0 / 120);
    const HourResult down = TestHour(pole, {5, {0, 0.1}, {0, -0.1}, std::sin(0.1)});
    EXPECT_EQ(down.kind, EventKind::Set);
    EXPECT_DOUBLE_EQ(down.timeHours, 5.5 + 1.0 / 120);
    const HourResult touch = TestHour(pole, {0, {0, -0.1}, {0, 0}, 0});
    EXPECT_EQ(touch.kind, EventKind::Neither);   // ends exactly on the horizon
}

struct SiderealCase { int y, mo, d, h; double lonDegrees; int zh; const char* text; };  // h: the clock, zh: zone hours
const SiderealCase kSiderealCases[] = {
    {2024, 6, 21, 22, -12, 2, "14:50:01 "},
    {2000, 1, 1, 12, 0, 0, "18:41:51 "},
    {2024, 6, 21, 22, 12, 2, "13:14:01 "},   // 12° west: 1 h 36 min behind
};

TEST(SiderealText, WorkedReadings) {
    for (const auto& c : kSiderealCases)
        EXPECT_EQ(SiderealText({c.d, c.mo, c.y}, {c.h - c.zh, 0, 0}, {0, 0, c.lonDegrees, 0}), c.text);
}

TEST(SiderealText, GainsAbout3m56sPerDay) {
    int previous = ClockSeconds(SiderealText({31, 12, 2023}, {21, 0, 0}, k45N12E));
    ForEachDayOf2024([&](int m, int d) {
        const int now = ClockSeconds(SiderealText({d, m, 2024}, {21, 0, 0}, k45N12E));
        ASSERT_NEAR((now - previous + 86400) % 86400, 236, 1) << d << "/" << m;
        previous = now;
    });
}

struct LmtCase { vemar::UniversalTime ut; double lonDegrees, lonMinutes; const char* text; };
const LmtCase kLmtCases[] = {
    {{20, 15, 0}, -15, 0, "21:15:00 "},
    {{20, 15, 0}, 15, 0, "19:15:00 "},
    {{20, 15, 7}, -15, 0, "21:15:07 "},
    {{23, 0, 0}, -15, 0, "24:00:00 "},    // exactly 24 h is not folded
    {{23, 0, 1}, -15, 0, "0:00:01 "},
    {{0, 30, 0}, 15, 0, "23:30:00 "},     // below 0 comes up by a day
    {{-1, 30, 0}, 15, 0, "22:30:00 "},    // universal time before the home's midnight: 23:30
    {{12, 0, 0}, -12, 29, "12:46:04 "},   // minutes keep their own sign: 11°31' east
    {{11, 0, 0}, -12, -29, "11:49:56 "},  // 12°29' east
};

TEST(LocalMeanTimeText, WorkedReadings) {
    for (const auto& c : kLmtCases)
        EXPECT_EQ(LocalMeanTimeText(c.ut, {0, 0, c.lonDegrees, c.lonMinutes}), c.text)
            << c.ut.hour << ":" << c.ut.minute << ":" << c.ut.second;
}

// Every second of a day, west and east: each text is well formed, mean time
// steps one second and sidereal time one or two (1.0027 sidereal a second).
TEST(ClockTexts, StepEverySecondOfADay) {
    for (const Place& place : {Place{40, 43, 74, 30}, Place{0, 0, -12, 29}, Place{0, 0, -179, 0}}) {
        int mean = ClockSeconds(LocalMeanTimeText({23, 59, 59}, place)) % 86400;
        int sidereal = ClockSeconds(SiderealText({9, 3, 2024}, {28, 59, 59}, place));
        for (int s = 0; s < 86400; ++s) {
            const std::string meanText = LocalMeanTimeText({s / 3600, s / 60 % 60, s % 60}, place);
            const std::string siderealText = SiderealText({10, 3, 2024}, {s / 3600 + 5, s / 60 % 60, s % 60}, place);
            const int m = ClockSeconds(meanText), sd = ClockSeconds(siderealText);
            ASSERT_TRUE(m >= 0 && sd >= 0 && sd < 86400) << meanText << " " << siderealText;
            ASSERT_EQ((m - mean + 86400) % 86400, 1) << meanText;
            ASSERT_TRUE((sd - sidereal + 86400) % 86400 == 1 || (sd - sidereal + 86400) % 86400 == 2) << siderealText;
            mean = m % 86400;
            sidereal = sd;
        }
    }
}

} // namespace
