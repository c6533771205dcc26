// Sun, moon, sidereal and mean time: worked days checked against PyEphem and published tables; sidereal time a year.

#include "core/astro.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <vector>

using namespace vemar::astro;
using vemar::CalendarDate;

namespace {

const Place k45N12E{45, 0, -12, 0}, k45N1W{45, 0, 1, 0}, kNorthCape{70, 0, -20, 0}, kSvalbard{75, 0, -20, 0}, kArcticCircle{66, 0, -20, 0},
    kLapland{68, 0, -20, 0}, kTromso{69, 39, -18, -57}, kNewYork{40, 43, 74, 0};

// "h:mm:ss " -> seconds of the day; -1 unless of exactly that form, minutes and seconds below 60.
int ClockSeconds(const std::string& text) {
    static const std::regex form(R"(^(\d{1,2}):([0-5]\d):([0-5]\d) $)");
    std::smatch g;
    if (!std::regex_match(text, g, form)) return -1;
    return (std::stoi(g[1]) * 60 + std::stoi(g[2])) * 60 + std::stoi(g[3]);
}

struct SunCase { Place place; int month, day, zone; const char *rise, *set; };
const SunCase kSunCases[] = {
    {k45N12E, 6, 21, 2, "5:25", "21:02"}, {k45N12E, 12, 21, 1, "7:47", "16:33"},
    {kNorthCape, 6, 21, 2, "", ""}, {kNorthCape, 12, 21, 2, "", ""},   // midnight sun, polar night
    // A lone crossing stands under its own kind; the other place stays empty.
    {kArcticCircle, 6, 10, 1, "0:06", ""}, {kArcticCircle, 6, 30, 1, "", "23:24"},
    // Tromsø on summer time as the midnight sun begins and ends (PyEphem): a lone rising, then late sets.
    {kTromso, 5, 16, 2, "1:25", ""}, {kTromso, 5, 17, 2, "1:08", "0:13"}, {kTromso, 7, 26, 2, "1:19", "0:23"},
    {kTromso, 7, 27, 2, "1:37", "23:53"},   // and sets again at night
    {kNewYork, 6, 21, -4, "5:25", "20:31"},   // published; west of 0°
    {k45N1W, 6, 21, 2, "6:17", "21:54"},      // the first degree west is west: 52 min after 12° E
};

TEST(SunSentence, WorkedDays2024) {
    for (const auto& c : kSunCases)
        EXPECT_EQ(SunSentence(ComputeSunTimes({c.day, c.month, 2024}, {c.place, double(c.zone)})),
                  std::string("Il Sole Sorge alle ") + c.rise + " e tramonta alle " + c.set) << c.day << "/" << c.month;
}

struct MoonCase { Place place; int month, day, zone; const char* sentence; };
const MoonCase kMoonCases[] = {
    {k45N12E, 6, 1, 2, "La Luna si leva alle 2:36 e cala alle 14:56"},
    {k45N12E, 6, 9, 2, "La Luna si leva alle 7:43 e cala dopo le 24"},
    {k45N12E, 6, 10, 2, "La Luna cala alle 0:04 e si leva alle 8:54"},
    {k45N12E, 6, 26, 2, "La Luna cala alle 10:11 e si leva dopo le 24"},
    {k45N12E, 3, 2, 1, "La Luna si leva alle 0:20 e cala alle 9:24"},
    {kSvalbard, 1, 6, 1, "Luna Sotto l'Orizzonte tutto il Giorno e "},
    {kSvalbard, 1, 19, 1, " e Luna Sopra l'Orizzonte tutto il Giorno"},
    // Three crossings under the midsummer moon of the far north.
    {kLapland, 6, 15, 1, "La Luna cala alle 0:13 e si cala alle 23:55"},
    {kLapland, 6, 4, 1, "La Luna si leva alle 0:02 e cala alle 22:46"},
};

// The 1st and 15th of each month, 45° N 12° E, UT+1: one series term's multiple changed moves a rise or set a minute.
const std::tuple<int, int, const char*> kMonthDays[] = {
    {1, 1, "La Luna cala alle 11:06 e si leva alle 22:10"}, {1, 15, "La Luna si leva alle 10:26 e cala alle 22:03"},
    {2, 1, "La Luna cala alle 10:15 e si leva dopo le 24"}, {2, 15, "La Luna si leva alle 9:53 e cala dopo le 24"},
    {3, 1, "La Luna cala alle 8:59 e si leva dopo le 24"}, {3, 15, "La Luna si leva alle 8:50 e cala dopo le 24"},
    {4, 1, "La Luna si leva alle 1:37 e cala alle 9:28"}, {4, 15, "La Luna cala alle 1:59 e si leva alle 10:09"},
    {5, 1, "La Luna si leva alle 1:55 e cala alle 10:53"}, {5, 15, "La Luna cala alle 1:32 e si leva alle 11:19"},
    {6, 1, "La Luna si leva alle 1:36 e cala alle 13:56"}, {6, 15, "La Luna cala alle 0:47 e si leva alle 13:21"},
    {7, 1, "La Luna si leva alle 0:44 e cala alle 15:40"}, {7, 15, "La Luna si leva alle 14:23 e cala dopo le 24"},
    {8, 1, "La Luna si leva alle 1:13 e cala alle 18:13"}, {8, 15, "La Luna si leva alle 16:41 e cala dopo le 24"},
    {9, 1, "La Luna si leva alle 3:30 e cala alle 18:29"}, {9, 15, "La Luna cala alle 1:52 e si leva alle 17:24"},
    {10, 1, "La Luna si leva alle 4:40 e cala alle 17:27"}, {10, 15, "La Luna cala alle 3:31 e si leva alle 16:32"},
    {11, 1, "La Luna si leva alle 6:46 e cala alle 16:41"}, {11, 15, "La Luna cala alle 6:35 e si leva alle 16:07"},
    {12, 1, "La Luna si leva alle 7:59 e cala alle 16:12"}, {12, 15, "La Luna cala alle 8:10 e si leva alle 16:12"},
};

TEST(MoonSentence, WorkedDays2024) {
    for (const auto& c : kMoonCases)   // no two rows share a sentence
        EXPECT_EQ(MoonSentence(ComputeMoonDay({c.day, c.month, 2024}, {c.place, double(c.zone)})), c.sentence);
    for (const auto& [month, day, sentence] : kMonthDays)
        EXPECT_EQ(MoonSentence(ComputeMoonDay({day, month, 2024}, {k45N12E, 1})), sentence) << day << "/" << month;
}

constexpr auto R = EventKind::Rise, S = EventKind::Set;
// Shapes no worked day above reaches.
TEST(MoonSentence, ComposedFromTheEvents) {
    struct Case { std::vector<MoonEvent> events; double endValue; const char* sentence; };
    const Case cases[] = {
        {{{R, 0.5}, {S, 12.0}, {R, 23.5}}, 1, "La Luna si leva alle 0:30 e cala alle 23:30"},
        {{{S, 24.0}}, -1, "La Luna cala alle 24:00 e si leva dopo le 24"},
    };
    for (const auto& c : cases) {
        MoonDay day;
        for (const MoonEvent& e : c.events) day.events[day.count++] = e;
        day.endValue = c.endValue;
        EXPECT_EQ(MoonSentence(day), c.sentence);
    }
}

// f = sin(dec) at the pole: declinations -x, 0, +x make the parabola a line, its leading coefficient 0.
TEST(TestHour, StraightLineCrossing) {
    const Horizon pole{1, 0, 0, 0};
    const HourResult up = TestHour(pole, {0, {0, -0.1}, {0, 0.1}, 0});
    const HourResult down = TestHour(pole, {5, {0, 0.1}, {0, -0.1}, std::sin(0.1)});
    const HourResult touch = TestHour(pole, {0, {0, -0.1}, {0, 0}, 0});   // ends exactly on the horizon
    EXPECT_EQ(std::tuple(up.kind, down.kind, touch.kind), std::tuple(R, S, EventKind::Neither));
    EXPECT_DOUBLE_EQ(up.timeHours, 0.5 + 1.0 / 120);
    EXPECT_DOUBLE_EQ(down.timeHours, 5.5 + 1.0 / 120);
}

struct SiderealCase { int y, mo, d; vemar::UniversalTime ut; double lonDegrees; const char* text; };
const SiderealCase kSiderealCases[] = {
    {2024, 6, 21, {20, 0, 0}, -12, "14:50:01 "}, {2000, 1, 1, {12, 0, 0}, 0, "18:41:51 "},
    {2024, 6, 21, {20, 0, 0}, 12, "13:14:01 "},   // 12° west: 1 h 36 min behind
    {2024, 1, 1, {17, 16, 33}, 0, "0:00:00 "},    // 23:59:59.5 and more: the rounded second carries into the next day
};

TEST(SiderealText, WorkedReadings) {
    for (const auto& c : kSiderealCases) EXPECT_EQ(SiderealText({c.d, c.mo, c.y}, c.ut, {0, 0, c.lonDegrees, 0}), c.text);
}

TEST(SiderealText, GainsAbout3m56sPerDay) {
    int previous = ClockSeconds(SiderealText({31, 12, 2023}, {21, 0, 0}, k45N12E));
    for (int m = 1; m <= 12; ++m) for (int d = 1; d <= vemar::MonthLength(m, true); ++d) {
        const int now = ClockSeconds(SiderealText({d, m, 2024}, {21, 0, 0}, k45N12E));
        ASSERT_NEAR((now - previous + 86400) % 86400, 236, 1) << d << "/" << m;
        previous = now;
    }
}

struct LmtCase { vemar::UniversalTime ut; double lonDegrees, lonMinutes; const char* text; };
const LmtCase kLmtCases[] = {
    {{20, 15, 0}, -15, 0, "21:15:00 "}, {{20, 15, 0}, 15, 0, "19:15:00 "}, {{20, 15, 7}, -15, 0, "21:15:07 "},
    {{23, 0, 0}, -15, 0, "24:00:00 "}, {{23, 0, 1}, -15, 0, "0:00:01 "},   // exactly 24 h is not folded
    {{0, 30, 0}, 15, 0, "23:30:00 "},     // below 0 comes up by a day
    {{-1, 30, 0}, 15, 0, "22:30:00 "},    // universal time before the home's midnight: 23:30
    {{12, 0, 0}, -12, 29, "12:46:04 "},   // minutes keep their own sign: 11°31' east
    {{11, 0, 0}, -12, -29, "11:49:56 "},  // 12°29' east
};

TEST(LocalMeanTimeText, WorkedReadings) {
    for (const auto& c : kLmtCases) EXPECT_EQ(LocalMeanTimeText(c.ut, {0, 0, c.lonDegrees, c.lonMinutes}), c.text);
}

} // namespace
