#pragma once
// A platform with a fixed clock, scripted answers and a record of every
// effect: the snapshot tool and the UI tests drive the real windows with it.

#include "core/platform.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vemar::ui {

// The instant of a home clock reading on the clock of the process's TZ: the
// earlier one of a repeated hour; skipped for a reading the clock jumps
// over. Without TZ there is none, so nothing made without it depends on the
// machine's own zone.
struct ReadingInstant {
    std::optional<std::chrono::sys_seconds> instant;
    bool skipped = false;
};
ReadingInstant InstantOfReading(const ClockReading& reading);
// The reading of the clock of TZ (universal time without TZ) at an instant.
ClockReading ReadingAt(std::chrono::sys_seconds instant);

// Sets the system's zone, as the scripted platform reports it and as the
// C library reads the clock: TZ of the process. A machine on a journey.
void setSystemZone(const std::string& zone);

struct Effect {
    std::string kind;      // beep, sound, question, fatal, saveFailed, write
    std::string file;
    std::string text, title, message;
    bool answer = false;
    std::vector<std::string> buttons;   // a question's buttons as the box shows them
};

class ScriptedPlatform : public Platform {
public:
    ClockReading clock;
    std::vector<Effect> effects;
    std::deque<bool> answers;   // the next Yes/No answers; No when none is left

    ClockReading now() override { return clock; }
    // TZ alone, never /etc/localtime.
    std::string systemZone() override;
    void beep() override { effects.push_back({"beep", {}, {}, {}, {}, false, {}}); }
    void playSound(const std::string& file) override { effects.push_back({"sound", file, {}, {}, {}, false, {}}); }
    bool askYesNo(const std::string& text, const std::string& title) override;
    void fatalFileError(const std::string& file, const std::string& message) override;
    void saveFailed(const std::string& text) override;
    void fileWritten(const std::string& file) override { effects.push_back({"write", file, {}, {}, {}, false, {}}); }
    int count(const std::string& kind) const;
};

} // namespace vemar::ui
