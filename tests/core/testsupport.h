#pragma once
// What the core tests share: a platform that records every effect, a fresh working directory seeded with
// the installed data files, and a program over both.

#include "core/files.h"
#include "core/platform.h"
#include "core/program.h"
#include "core/time/zonedatabase.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef VEMAR_DATA_DIR
#define VEMAR_DATA_DIR "data"
#endif

namespace vemar::test {

namespace fs = std::filesystem;

struct RecordingPlatform : Platform {
    ClockReading clock{2024, 6, 21, 22, 0, 0};
    std::string zone;                         // the system's zone; none by default
    std::vector<std::string> warnings;
    std::deque<bool> answers;                 // next Yes/No answers; No when empty
    int beeps = 0;
    std::vector<std::string> questions, writes, fatalFiles, fatalMessages, saveFailures;
    std::vector<std::string> effects;         // all of them in turn: "write lxp2.par", "beep", ...

    ClockReading now() override { return clock; }
    std::string systemZone() override { return zone; }
    void warning(const std::string& line) override { warnings.push_back(line); effects.push_back("warning"); }
    void beep() override { ++beeps; effects.push_back("beep"); }
    void playSound(const std::string& file) override { effects.push_back("sound " + file); }
    bool askYesNo(const std::string& text, const std::string&) override {
        questions.push_back(text), effects.push_back("question " + text);
        const bool a = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void fatalFileError(const std::string& file, const std::string& message) override {
        fatalFiles.push_back(file), fatalMessages.push_back(message), effects.push_back("fatal " + file);
    }
    void saveFailed(const std::string& text) override { saveFailures.push_back(text); effects.push_back("save failed"); }
    void fileWritten(const std::string& file) override { writes.push_back(file); effects.push_back("write " + file); }
};

// A time-zone database of fixed tables, for what the system's cannot show: summer time ended, no database.
class FixedZones : public ZoneDatabase {
public:
    std::string failureText;   // non-empty: no database at all
    // The zone's offsets: `seconds` from each instant on; the first holds since ever.
    void add(const std::string& zone, std::vector<std::pair<std::int64_t, int>> offsets) { zones_[zone] = offsets; }
    std::string failure() const override { return failureText; }
    std::optional<ZoneOffset> offsetAt(std::string_view zone, sys_seconds instant) const override {
        const auto it = zones_.find(std::string(zone));
        if (!failureText.empty() || it == zones_.end()) return std::nullopt;
        const auto& offsets = it->second;
        const std::int64_t utc = instant.time_since_epoch().count();
        std::size_t i = 0;
        while (i + 1 < offsets.size() && offsets[i + 1].first <= utc) ++i;
        constexpr std::int64_t ever = std::numeric_limits<std::int64_t>::max() / 4;   // no overflow in sums
        auto at = [](std::int64_t s) { return sys_seconds{std::chrono::seconds{s}}; };
        return ZoneOffset{std::chrono::seconds{offsets[i].second}, at(i == 0 ? -ever : offsets[i].first),
                          at(i + 1 < offsets.size() ? offsets[i + 1].first : ever)};
    }

private:
    std::map<std::string, std::vector<std::pair<std::int64_t, int>>> zones_;
};

// Sets TZ for one scope, as a user's session would, and puts it back.
struct ScopedZone {
    std::optional<std::string> old;
    explicit ScopedZone(const char* zone) {
        if (const char* tz = std::getenv("TZ")) old = tz;
        ::setenv("TZ", zone, 1), tzset();
    }
    ~ScopedZone() { old ? ::setenv("TZ", old->c_str(), 1) : ::unsetenv("TZ"); tzset(); }
    ScopedZone(const ScopedZone&) = delete; ScopedZone& operator=(const ScopedZone&) = delete;
};

// Unix seconds of a date and time of universal time, and the same as an instant.
inline std::int64_t UtcSeconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DaysFromCivil({day, month, year}) * 86400 + hour * 3600 + minute * 60 + second;
}
inline sys_seconds Instant(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return sys_seconds{std::chrono::seconds{UtcSeconds(year, month, day, hour, minute, second)}};
}

// A temporary working directory, removed at the end of the test. Seeded, it holds the installed data files
// but fusi.tz: a folder in table mode, as every folder was before the time-zone database.
class WorkDir {
public:
    explicit WorkDir(bool seeded = true) {
        static int serial = 0;
        path_ = fs::temp_directory_path() /
                ("vemar-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::remove_all(path_), fs::create_directories(path_);
        if (seeded)
            for (const auto& entry : fs::directory_iterator(VEMAR_DATA_DIR))
                if (entry.path().filename() != kCityZonesFile)
                    fs::copy_file(entry.path(), path_ / entry.path().filename());
    }
    ~WorkDir() { std::error_code ec; fs::remove_all(path_, ec); }
    WorkDir(const WorkDir&) = delete; WorkDir& operator=(const WorkDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    // The file's bytes, or "<absent>".
    std::string read(const std::string& name) const { return ReadFileBytes(path_ / name).value_or("<absent>"); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary | std::ios::trunc) << bytes;
    }
    bool exists(const std::string& name) const { return fs::exists(path_ / name); }

private:
    fs::path path_;
};

// A program started over a fresh seeded folder; files written first, the Yes/No answers given.
struct Started {
    WorkDir dir;
    RecordingPlatform platform;
    Program program{platform, dir.path()};
    bool ok = false;
    explicit Started(std::initializer_list<std::pair<const char*, std::string>> files = {},
                     std::deque<bool> answers = {}) {
        for (const auto& [name, bytes] : files) dir.write(name, bytes);
        platform.answers = std::move(answers), ok = program.startUp();
    }
};

// A main-window control's or menu item's property as text: colours as palette indices, truth as 0 or 1.
inline std::string Shown(MainView& v, const std::string& control, const std::string& property) {
    auto colour = [](Rgb c) {
        for (int k = 0; k < 16; ++k) if (palette(k) == c) return std::to_string(k);
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%06x", unsigned(c));
        return std::string(hex);
    };
    std::string out = "<none>";
    v.forEachControl([&](const std::string& name, ControlView& c) {
        if (name != control) return;
        const std::map<std::string, std::string> properties = {
            {"caption", c.caption}, {"tooltip", c.tooltip}, {"textColour", colour(c.textColour)},
            {"backColour", colour(c.backColour)}, {"fontSize", std::to_string(c.fontSize)},
            {"enabled", std::to_string(c.enabled)}, {"checked", std::to_string(c.checked)}};
        if (const auto it = properties.find(property); it != properties.end()) out = it->second;
    });
    v.forEachMenuItem([&](const std::string& name, MenuItemView& m) {
        if (name == control) out = std::to_string(property == "enabled" ? m.enabled : m.checked);
    });
    return out;
}

// Everything the window shows, one text per control and menu item.
inline std::vector<std::string> Picture(MainView& v) {
    std::vector<std::string> out;
    v.forEachControl([&](const std::string& name, const ControlView& c) {
        out.push_back(name + " \"" + c.caption + "\" tip \"" + c.tooltip + "\" colours " +
                      std::to_string(c.textColour) + "/" + std::to_string(c.backColour) + " size " +
                      std::to_string(c.fontSize) + (c.enabled ? "" : " disabled"));
    });
    v.forEachMenuItem([&](const std::string& name, const MenuItemView& m) {
        out.push_back(name + (m.enabled ? "" : " disabled") + (m.checked ? " checked" : ""));
    });
    return out;
}

// Each "Label2(0).backColour=7" holds on the main window.
inline void ExpectShown(MainView& v, std::initializer_list<std::string> rows) {
    for (const std::string& row : rows) {
        const std::size_t eq = row.find('='), dot = row.rfind('.', eq);
        const std::string control = row.substr(0, dot), property = row.substr(dot + 1, eq - dot - 1);
        EXPECT_EQ(row.substr(0, eq + 1) + Shown(v, control, property), row);
    }
}

// A program over a fresh seeded directory; no write fault outlives a test.
class ProgramTest : public ::testing::Test {
protected:
    void TearDown() override { SetWriteFaultForTesting(nullptr); }
    // A new program over the files as they now stand, started, its start-up effects forgotten.
    void restart() {
        program = std::make_unique<Program>(platform, dir.path());
        ASSERT_TRUE(program->startUp());
        platform.effects.clear(), platform.writes.clear(), platform.warnings.clear();
    }
    SharedState& state() { return program->state(); }
    MainView& view() { return program->view(); }

    WorkDir dir;
    RecordingPlatform platform;
    std::unique_ptr<Program> program = std::make_unique<Program>(platform, dir.path());
};

} // namespace vemar::test
