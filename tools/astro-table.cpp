// Prints, for every day of a year at one place, the sun and moon event times
// the main window would show, with the zone hours each day was computed for,
// so that tools/astro-accuracy.py can compare them with an ephemeris.
//
//   astro-table YEAR LATDEG LATMIN LONDEG LONMIN ZONEHOURS none|eu|us|au|nz
//
// Place as stored: the minutes carry their own sign, LONDEG > 0 is west.
// Summer time: eu = last Sunday of March to last Sunday of October,
// us = second Sunday of March to first Sunday of November, au = first
// Sunday of October to first Sunday of April (southern), nz = last Sunday of
// September to first Sunday of April (southern: New Zealand and the
// Antarctic stations that keep its time); ZONEHOURS may carry a half hour
// (5.5); the whole switching day counts as summer time (the comparer uses
// the same hours).
//
// One line a day:  YYYY-MM-DD ZONEHOURS SUNRISE SUNSET [R|S|N@HOURS ...]
// where the sun's times are the shown "h:mm" texts ("-" when empty) and each
// moon event gives its kind and exact time in hours from 0h zone time, half
// minute included, as EventTimeText receives it.

#include "core/astro.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace std::chrono;
using vemar::astro::EventKind;

bool InSummerTime(const year_month_day& date, const std::string& rule) {
    const year y = date.year();
    const sys_days d{date};
    if (rule == "eu")
        return d >= sys_days{y / March / Sunday[last]} && d < sys_days{y / October / Sunday[last]};
    if (rule == "us")
        return d >= sys_days{y / March / Sunday[2]} && d < sys_days{y / November / Sunday[1]};
    if (rule == "au")
        return d < sys_days{y / April / Sunday[1]} || d >= sys_days{y / October / Sunday[1]};
    if (rule == "nz")
        return d < sys_days{y / April / Sunday[1]} || d >= sys_days{y / September / Sunday[last]};
    return false;
}

char KindLetter(EventKind k) {
    switch (k) {
    case EventKind::Rise: return 'R';
    case EventKind::Set: return 'S';
    default: return 'N';
    }
}

const char* OrDash(const std::string& s) { return s.empty() ? "-" : s.c_str(); }

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr, "usage: %s YEAR LATDEG LATMIN LONDEG LONMIN ZONEHOURS none|eu|us|au|nz\n", argv[0]);
        return 2;
    }
    const int y = std::atoi(argv[1]);
    const vemar::astro::Place place{std::atof(argv[2]), std::atof(argv[3]), std::atof(argv[4]), std::atof(argv[5])};
    const double zoneOffset = std::atof(argv[6]);
    const std::string rule = argv[7];

    for (sys_days d{year{y} / January / 1}; d < sys_days{year{y + 1} / January / 1}; d += days{1}) {
        const year_month_day date{d};
        const int month = static_cast<int>(static_cast<unsigned>(date.month()));
        const int day = static_cast<int>(static_cast<unsigned>(date.day()));
        const double zoneHours = zoneOffset + (InSummerTime(date, rule) ? 1 : 0);
        const vemar::astro::Site site{place, zoneHours};
        const auto sun = vemar::astro::ComputeSunTimes({day, month, y}, site);
        const auto moon = vemar::astro::ComputeMoonDay({day, month, y}, site);
        std::printf("%04d-%02d-%02d %g %s %s", y, month, day, zoneHours, OrDash(sun.rise), OrDash(sun.set));
        for (int k = 0; k < moon.count; ++k)
            std::printf(" %c@%.6f", KindLetter(moon.events[k].kind), moon.events[k].timeHours);
        std::printf("\n");
    }
    return 0;
}
