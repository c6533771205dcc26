// One tick of the core at steady state: 27 rows, the date pair, the pips and
// the panels, with the sun and moon already cached for the day; in table
// mode, and in database mode (every row and the home by the system's
// tzdata, their offsets kept until they change).

#include "core/program.h"
#include "core/time/systemzones.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

namespace {

struct NullPlatform : vemar::Platform {
    vemar::ClockReading clock{2024, 6, 21, 22, 0, 0};
    std::string zone;
    vemar::ClockReading now() override { return clock; }
    std::string systemZone() override { return zone; }
    void beep() override {}
    void playSound(const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void fatalFileError(const std::string&, const std::string&) override {}
};

#ifndef VEMAR_DATA_DIR
#define VEMAR_DATA_DIR "data"
#endif

// A copy of the installed data to run in: the program writes its folder
// (casa.tz, seg.dat), and the source tree's data must stay as they are.
std::filesystem::path DataCopy() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vemar-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::copy(VEMAR_DATA_DIR, dir);
    return dir;
}

// Starts the program and ticks it once a second past the start-up count;
// attaching zones puts it in database mode.
void RunTicks(benchmark::State& state, NullPlatform& platform, const vemar::ZoneDatabase* zones) {
    const std::filesystem::path dir = DataCopy();
    vemar::Program program(platform, dir);
    if (!program.startUp()) {
        state.SkipWithError("start-up failed");
        return;
    }
    if (zones) program.attachZoneDatabase(*zones);
    if (zones && program.cities().zone(0).empty()) {
        state.SkipWithError("the rows follow no zone");
        return;
    }
    program.state().tick.tickStage = vemar::TickStage::Running;   // past the start-up count
    program.tick();
    const vemar::ClockReading start = platform.clock;
    int second = 0;
    for (auto _ : state) {
        platform.clock.second = second;
        if (start.instant) platform.clock.instant = *start.instant + std::chrono::seconds{second};
        second = (second + 1) % 60;
        program.tick();
        benchmark::DoNotOptimize(program.view().rowTimes[0].caption.data());
    }
    std::filesystem::remove_all(dir);
}

void BM_Tick(benchmark::State& state) {
    NullPlatform platform;
    RunTicks(state, platform, nullptr);
}
BENCHMARK(BM_Tick);

void BM_TickDatabaseMode(benchmark::State& state) {
    NullPlatform platform;
    platform.zone = "Europe/Rome";
    platform.clock.instant = std::chrono::sys_seconds{std::chrono::seconds{1719000000}};   // 21 June 2024, 20:00 UTC: 22:00 in Rome
    const vemar::SystemZoneDatabase zones;
    RunTicks(state, platform, &zones);
}
BENCHMARK(BM_TickDatabaseMode);

} // namespace
