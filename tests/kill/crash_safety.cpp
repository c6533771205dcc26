// Kills a writer of the settings files at random moments and checks, after
// every kill, that each file holds its old or its new content: never a
// partial file, never none. The child saves every file in a loop, two
// versions in turn, through the program's own calls (fusi.dat both directly
// and the editors' way: fusi.tz replaced, then the table staged in fusi.tmp
// and renamed).
//   crash_safety DIR [KILLS] [SEED]      DIR is emptied and used.

#include "core/files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vemar;

namespace {

struct Version {
    SiteSettings site;
    std::array<std::string, 9> display;
    DstRule rule;
    ZoneTable zones;
    std::string cityZones;
};
using Bytes = std::map<std::string, std::string>;

// The versions differ in every file and in every file's length, so that a
// file cut short or mixed from both cannot pass for either.
std::array<Version, 2> MakeVersions() {
    const fs::path data = VEMAR_DATA_DIR;
    std::array<Version, 2> v;
    const std::string cityZones = ReadFileBytes(data / kCityZonesFile).value_or("Roma\tEurope/Rome\n");
    v[0] = {ReadSiteSettings(data / kSiteFile), {" 0", " 0", " 7", " 7", " 0", " 0", " 0", "", ""}, DstRule{},
            ReadZoneTable(data / kZoneFile), cityZones};
    v[1] = {v[0].site, {" 1", "-1", " 1", " 4", " 7", " 1", " 12", "*", "°"}, DstRule{9, 0, 0, 3, 0, 0}, v[0].zones,
            WithNamesOnClasses(cityZones, {"Roma", "Londra", "Kathmandu"})};
    v[1].site.latDegrees = -33.5;
    v[1].site.zoneOffset = 10;
    v[1].site.hemisphere = Hemisphere::South;
    for (ZoneRow& row : v[1].zones) row.name = "Nuova " + row.name.substr(0, 7);
    return v;
}

const char* const kCheckedFiles[] = {kSiteFile, kDisplayFile, kRuleFile, "zone-direct.dat", kCityZonesFile, kZoneFile};

void WriteAll(const fs::path& dir, const Version& v) {
    WriteSiteSettings(dir / kSiteFile, v.site);
    WriteDisplaySettings(dir / kDisplayFile, v.display);
    WriteParleg(dir / kRuleFile, v.rule);
    WriteZoneTable(dir / "zone-direct.dat", v.zones);
    StageZoneTable(dir, v.zones);
    WriteCityZones(dir / kCityZonesFile, v.cityZones);
    CommitStagedTable(dir);
}

Bytes Snapshot(const fs::path& dir) {
    Bytes bytes;
    for (const char* name : kCheckedFiles) bytes[name] = ReadFileBytes(dir / name).value_or("");
    return bytes;
}

// Temporary files of interrupted writes (".seg.dat.Ab12Cd"): counted, then
// removed so that every round starts clean.
int RemoveLeftovers(const fs::path& dir) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().front() == '.') count += fs::remove(entry.path());
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: crash_safety DIR [KILLS] [SEED]\n");
        return 2;
    }
    const fs::path dir = argv[1];
    const int kills = argc > 2 ? std::atoi(argv[2]) : 300;
    const unsigned seed = argc > 3 ? unsigned(std::atoi(argv[3])) : std::random_device{}();

    const auto versions = MakeVersions();
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::array<Bytes, 2> expected;
    WriteAll(dir, versions[1]);
    expected[1] = Snapshot(dir);
    // One round of saves, timed, sets the span over which the kills fall.
    const auto start = std::chrono::steady_clock::now();
    WriteAll(dir, versions[0]);
    const auto round = std::chrono::steady_clock::now() - start;
    Bytes before = expected[0] = Snapshot(dir);
    const auto span_us = std::max<long>(200, 3 * std::chrono::duration_cast<std::chrono::microseconds>(round).count());

    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay_us(0, span_us);
    int insideWrite = 0, changed = 0;
    for (int k = 1; k <= kills; ++k) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0) { std::perror("fork"); return 2; }
        if (child == 0)
            for (std::size_t i = 1;; ++i) WriteAll(dir, versions[i % 2]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) {
            std::fprintf(stderr, "kill %d: the writer ended by itself (status %d)\n", k, status);
            return 1;
        }
        for (const char* name : kCheckedFiles) {
            const auto now = ReadFileBytes(dir / name);
            if (!now || (*now != expected[0].at(name) && *now != expected[1].at(name))) {
                std::fprintf(stderr, "kill %d (seed %u): %s is %s\n", k, seed, name, now ? "neither version" : "missing");
                return 1;
            }
            changed += *now != before[name];
            before[name] = *now;
        }
        // The staged table is either gone (renamed) or complete.
        if (const auto staged = ReadFileBytes(dir / kStagedZoneFile);
            staged && *staged != expected[0].at(kZoneFile) && *staged != expected[1].at(kZoneFile)) {
            std::fprintf(stderr, "kill %d (seed %u): fusi.tmp is neither version\n", k, seed);
            return 1;
        }
        if (RemoveLeftovers(dir) > 0) ++insideWrite;
    }
    std::printf("%d kills survived (seed %u): %d landed inside a write, %d file replacements seen; "
                "every file was always whole\n", kills, seed, insideWrite, changed);
    return 0;
}
