// Kills a writer of the settings files at random moments and checks, after
// every kill, that each file holds either its old or its new content: never
// a partial file, never none. The writer is a child process that saves every
// file in a loop, alternating two versions, through the same calls the
// program makes (lxp2.par, seg.dat, Parleg.dat, fusi.dat directly, and
// fusi.dat through the editors' fusi.tmp and rename).
//
//   crash_safety DIR [KILLS] [SEED]
// DIR is emptied and used as the working directory. Prints the number of
// kills survived and how many of them landed inside a write.

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

// One complete set of the files as the program saves them.
struct Version {
    SiteSettings site;
    std::array<std::string, 9> display;
    DstRule rule;
    ZoneTable zones;
};

// Two versions that differ in every file and in the length of every file, so
// that a file cut short or mixed from both cannot pass for either.
std::array<Version, 2> MakeVersions() {
    std::array<Version, 2> v;
    const ZoneTable installed = ReadZoneTable(fs::path(VEMAR_DATA_DIR) / kZoneFile);
    v[0].site = ReadSiteSettings(fs::path(VEMAR_DATA_DIR) / kSiteFile);
    v[1].site = v[0].site;
    v[1].site.latDegrees = -33.5;
    v[1].site.zoneOffset = 10;
    v[1].site.hemisphere = Hemisphere::South;
    v[0].display = {" 0", " 0", " 7", " 7", " 0", " 0", " 0", "", ""};
    v[1].display = {" 1", "-1", " 1", " 4", " 7", " 1", " 12", "*", "°"};
    v[0].rule = DstRule{};
    v[1].rule = DstRule{9, 0, 0, 3, 0, 0};
    v[0].zones = installed;
    v[1].zones = installed;
    for (ZoneRow& row : v[1].zones) row.name = "Nuova " + row.name.substr(0, 7);
    return v;
}

void WriteAll(const fs::path& dir, const Version& v) {
    WriteSiteSettings(dir / kSiteFile, v.site);
    WriteDisplaySettings(dir / kDisplayFile, v.display);
    WriteParleg(dir / kRuleFile, v.rule);
    WriteZoneTable(dir / "zone-direct.dat", v.zones);
    StageZoneTable(dir, v.zones);   // the editors' way: stage, then rename
    CommitStagedTable(dir);
}

const char* const kCheckedFiles[] = {kSiteFile, kDisplayFile, kRuleFile, "zone-direct.dat", kZoneFile};

// The bytes of every file of a version, as written.
std::map<std::string, std::string> Expected(const fs::path& dir, const Version& v) {
    fs::create_directories(dir);
    WriteAll(dir, v);
    std::map<std::string, std::string> bytes;
    for (const char* name : kCheckedFiles) bytes[name] = ReadFileBytes(dir / name).value();
    fs::remove_all(dir);
    return bytes;
}

[[noreturn]] void WriteForever(const fs::path& dir, const std::array<Version, 2>& versions) {
    for (std::size_t i = 1;; ++i) WriteAll(dir, versions[i % 2]);
}

// Temporary files of interrupted writes (".seg.dat.Ab12Cd"): counted, then
// removed so that every round starts clean.
int RemoveLeftovers(const fs::path& dir) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().front() == '.') {
            fs::remove(entry.path());
            ++count;
        }
    }
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
    const std::array<std::map<std::string, std::string>, 2> expected = {
        Expected(dir / "expected-a", versions[0]), Expected(dir / "expected-b", versions[1])};
    fs::remove_all(dir);
    fs::create_directories(dir);

    // One round of saves, timed, sets the span over which the kills fall.
    const auto start = std::chrono::steady_clock::now();
    WriteAll(dir, versions[0]);
    const auto round = std::chrono::steady_clock::now() - start;
    const auto span_us = std::max<long>(200, 3 * std::chrono::duration_cast<std::chrono::microseconds>(round).count());

    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay_us(0, span_us);
    int insideWrite = 0, changed = 0;
    std::map<std::string, std::string> before;
    for (const char* name : kCheckedFiles) before[name] = ReadFileBytes(dir / name).value();

    for (int k = 1; k <= kills; ++k) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0) { std::perror("fork"); return 2; }
        if (child == 0) WriteForever(dir, versions);
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
                std::fprintf(stderr, "kill %d (seed %u): %s is %s\n", k, seed, name,
                             now ? "neither version" : "missing");
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
