// crash_safety DIR [KILLS] [SEED]: kills a writer of the settings files in DIR (emptied first) at random; after
// every kill each file holds its old or its new content, never a part, never none.

#include "core/files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vemar;

namespace {

const char* const kCheckedFiles[] = {kSiteFile, kDisplayFile, kRuleFile, "zone-direct.dat", kCityZonesFile, kZoneFile};
const DisplaySettings kDisplay[2] = {{0, 0, 7, 7, 0, 0, 0, "", ""}, {1, -1, 1, 4, 7, 1, 12, "*", "°"}};

// Saves every file in version 0 or 1. The versions differ in every file and in every file's length, so that
// a file cut short or mixed from both cannot pass for either.
void WriteAll(const fs::path& dir, int version) {
    static const fs::path data = VEMAR_DATA_DIR;
    static const std::string cityZones = *ReadFileBytes(data / kCityZonesFile);
    static const SiteSettings site0 = ReadSiteSettings(data / kSiteFile);
    static const ZoneTable zones0 = ReadZoneTable(data / kZoneFile);
    SiteSettings site = site0;
    ZoneTable zones = zones0;
    if (version == 1) {
        site.latDegrees = -33.5, site.zoneOffset = std::chrono::hours{10}, site.hemisphere = Hemisphere::South;
        for (ZoneRow& row : zones) row.name = "Nuova " + row.name.substr(0, 7);
    }
    WriteSiteSettings(dir / kSiteFile, site), WriteDisplaySettings(dir / kDisplayFile, kDisplay[version]);
    WriteParleg(dir / kRuleFile, version ? DstRule{9, 0, 0, 3, 0, 0} : DstRule{});
    WriteZoneTable(dir / "zone-direct.dat", zones), StageZoneTable(dir, zones);
    WriteCityZones(dir / kCityZonesFile,
                   version ? WithNamesOnClasses(cityZones, {"Roma", "Londra", "Kathmandu"}) : cityZones);
    CommitStagedTable(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return std::fprintf(stderr, "usage: crash_safety DIR [KILLS] [SEED]\n"), 2;
    const fs::path dir = argv[1];
    const int kills = argc > 2 ? std::atoi(argv[2]) : 300;
    const unsigned seed = argc > 3 ? unsigned(std::atoi(argv[3])) : std::random_device{}();
    fs::remove_all(dir), fs::create_directories(dir);
    // Each file as each version leaves it; the two rounds of saves, timed, set the span the kills fall in.
    std::map<std::string, std::string> version[2], before;
    const auto start = std::chrono::steady_clock::now();
    for (int v : {1, 0}) {
        WriteAll(dir, v);
        for (const char* name : kCheckedFiles) before[name] = version[v][name] = *ReadFileBytes(dir / name);
    }
    const auto round = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::uniform_int_distribution<long> delay_us(0, std::max<long>(200, 3 * round.count() / 2));
    std::mt19937 random(seed);
    int insideWrite = 0, changed = 0;
    const auto fail = [&](int k, const std::string& what) {
        return std::fprintf(stderr, "kill %d (seed %u): %s\n", k, seed, what.c_str()), 1;
    };
    for (int k = 1; k <= kills; ++k) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0) return fail(k, "fork failed");
        if (child == 0) for (int i = 1;; ++i) WriteAll(dir, i % 2);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
        int status = 0;
        ::kill(child, SIGKILL), ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) return fail(k, "the writer ended by itself, status " + std::to_string(status));
        for (const char* name : kCheckedFiles) {
            const auto now = ReadFileBytes(dir / name);
            if (!now || (*now != version[0].at(name) && *now != version[1].at(name)))
                return fail(k, std::string(name) + (now ? " is neither version" : " is missing"));
            changed += *now != before[name], before[name] = *now;
        }
        // The staged table is either gone (renamed) or complete.
        if (const auto staged = ReadFileBytes(dir / kStagedZoneFile);
            staged && *staged != version[0].at(kZoneFile) && *staged != version[1].at(kZoneFile))
            return fail(k, "fusi.tmp is neither version");
        // Temporary files of interrupted writes (".seg.dat.Ab12Cd"), removed so that every round starts clean.
        bool leftover = false;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string().front() == '.') leftover |= fs::remove(entry.path());
        insideWrite += leftover;
    }
    std::printf("%d kills survived (seed %u): %d landed inside a write, %d file replacements seen; "
                "every file was always whole\n", kills, seed, insideWrite, changed);
    return 0;
}
