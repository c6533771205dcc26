#pragma once
// What the core tests share: a platform that records every effect, and a
// fresh working directory seeded with the installed data files.

#include "core/platform.h"
#include "core/program.h"

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef VEMAR_DATA_DIR
#define VEMAR_DATA_DIR "data"
#endif

namespace vemar::test {

namespace fs = std::filesystem;

struct RecordingPlatform : Platform {
    ClockReading clock{2024, 6, 21, 22, 0, 0};
    std::deque<bool> answers;                 // next Yes/No answers; No when empty
    int beeps = 0;
    std::vector<std::string> sounds, questions, writes, fatalFiles, fatalMessages;

    ClockReading now() override { return clock; }
    void beep() override { ++beeps; }
    void playSound(const std::string& file) override { sounds.push_back(file); }
    bool askYesNo(const std::string& text, const std::string&) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void fatalFileError(const std::string& file, const std::string& message) override {
        fatalFiles.push_back(file);
        fatalMessages.push_back(message);
    }
    void fileWritten(const std::string& file) override { writes.push_back(file); }
};

// A temporary working directory, removed at the end of the test.
class WorkDir {
public:
    explicit WorkDir(bool seeded = true) {
        static int serial = 0;
        path_ = fs::temp_directory_path() /
                ("vemar-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::remove_all(path_);
        fs::create_directories(path_);
        if (seeded)
            for (const auto& entry : fs::directory_iterator(VEMAR_DATA_DIR))
                fs::copy_file(entry.path(), path_ / entry.path().filename());
    }
    ~WorkDir() { std::error_code ec; fs::remove_all(path_, ec); }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary | std::ios::trunc) << bytes;
    }
    bool exists(const std::string& name) const { return fs::exists(path_ / name); }

private:
    fs::path path_;
};

} // namespace vemar::test
