#include "core/astro.h"

#include <benchmark/benchmark.h>

using namespace vemar::astro;

// What a change of date, place or zone costs the tick: the sun's and the
// moon's scans afresh, and the sidereal time that every tick pays.
static void BM_AstroPanels(benchmark::State& state) {
    const Place place{45, 0, -12, 0};
    for (auto _ : state) {
        SunTimes sun = ComputeSunTimes(2024, 6, 21, place, 2);
        MoonDay moon = ComputeMoonDay(2024, 6, 21, place, 2);
        std::string sidereal = SiderealText(2024, 6, 21, {20, 0, 0}, -12, 0);
        benchmark::DoNotOptimize(sun);
        benchmark::DoNotOptimize(moon);
        benchmark::DoNotOptimize(sidereal);
    }
}
BENCHMARK(BM_AstroPanels);
