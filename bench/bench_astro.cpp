#include "core/astro.h"

#include <benchmark/benchmark.h>

using namespace vemar::astro;

// What a change of date, place or zone costs the tick: the sun's and the
// moon's scans afresh, and the sidereal time that every tick pays.
static void BM_AstroPanels(benchmark::State& state) {
    const Site site{{45, 0, -12, 0}, 2};
    const vemar::CalendarDate date{21, 6, 2024};
    for (auto _ : state) {
        SunTimes sun = ComputeSunTimes(date, site);
        MoonDay moon = ComputeMoonDay(date, site);
        std::string sidereal = SiderealText(date, {20, 0, 0}, site.place);
        benchmark::DoNotOptimize(sun);
        benchmark::DoNotOptimize(moon);
        benchmark::DoNotOptimize(sidereal);
    }
}
BENCHMARK(BM_AstroPanels);
