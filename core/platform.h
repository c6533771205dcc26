#pragma once
// Everything the core needs from the world: the clock and the effects.
// The Qt layer implements it for the real program; tests use a recording fake.

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace vemar {

// A local clock reading, as the system gives it, and the instant it was
// read at, when the platform knows it (taken from the same reading of the
// system clock, so the two never disagree by a second).
struct ClockReading {
    int year = 2000;   // e.g. 2026
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;      // 0..23
    int minute = 0;    // 0..59
    int second = 0;    // 0..59
    std::optional<std::chrono::sys_seconds> instant{};
    friend bool operator==(const ClockReading&, const ClockReading&) = default;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual ClockReading now() = 0;
    // The name of the zone the system's clock is set to ("Europe/Rome"), as
    // the time-zone database names it; empty when it cannot be told.
    virtual std::string systemZone() { return {}; }
    // The toolkit's standard warning sound.
    virtual void beep() = 0;
    // Starts playing a sound file and returns at once; never reports failure.
    virtual void playSound(const std::string& file) = 0;
    // A modal Yes/No question; true means Yes. When no one can answer (the
    // program ends on a signal) the platform answers No without asking.
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
    // A required file is missing or damaged, or a write failed: the program ends.
    virtual void fatalFileError(const std::string& file, const std::string& message) = 0;
    // A dialog could not save (the text says which file and why); the dialog
    // stays open with its edits and the program runs on. Shown, and waited
    // for, like a question; only printed when no one can answer.
    virtual void saveFailed(const std::string& text) { warning(text); }
    // A settings file was replaced; for the record of what happened.
    virtual void fileWritten(const std::string& /*file*/) {}
    // Something the user may want to know that stops nothing (a damaged
    // line of fusi.tz): one line for the standard error.
    virtual void warning(const std::string& line) { std::fprintf(stderr, "vemar: %s\n", line.c_str()); }
};

} // namespace vemar
