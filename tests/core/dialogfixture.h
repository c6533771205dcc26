#pragma once
// A started Program over a fresh copy of data/, with a fixed clock and a
// record of its effects, for the tests of the dialogs' logic.

#include "core/files.h"
#include "core/platform.h"
#include "core/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdlib.h>
#include <string>
#include <vector>

#ifndef VEMAR_DATA_DIR
#define VEMAR_DATA_DIR "data"
#endif

namespace vemar::dialogtest {

// Every effect as one line: "write lxp2.par", "sound Infor.snm", "fatal ...".
class RecordingPlatform : public Platform {
public:
    ClockReading clock{2024, 6, 21, 22, 0, 0};
    std::vector<std::string> effects;

    ClockReading now() override { return clock; }
    void beep() override { effects.push_back("beep"); }
    void playSound(const std::string& file) override { effects.push_back("sound " + file); }
    bool askYesNo(const std::string& text, const std::string&) override {
        effects.push_back("question " + text);
        return false;
    }
    void fatalFileError(const std::string& file, const std::string&) override {
        effects.push_back("fatal " + file);
    }
    void fileWritten(const std::string& file) override { effects.push_back("write " + file); }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "vemar-dialog-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        for (const auto& entry : std::filesystem::directory_iterator(VEMAR_DATA_DIR))
            std::filesystem::copy_file(entry.path(), dir / entry.path().filename());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Replaces a seeded file before start().
    void put(const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string bytes(const char* name) const {
        return ReadFileBytes(dir / name).value_or("<absent>");
    }
    void start() {
        program = std::make_unique<Program>(platform, dir);
        ASSERT_TRUE(program->startUp());
        platform.effects.clear();
    }
    SharedState& state() { return program->state(); }

    std::filesystem::path dir;
    RecordingPlatform platform;
    std::unique_ptr<Program> program;
};

} // namespace vemar::dialogtest
