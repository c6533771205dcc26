#pragma once
// A platform with a fixed clock, scripted answers and a record of every
// effect: the snapshot tool and the UI tests drive the real windows with it.

#include "core/platform.h"

#include <deque>
#include <string>
#include <vector>

namespace vemar::ui {

struct Effect {
    std::string kind;      // beep, sound, question, fatal, write
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
    void beep() override { effects.push_back({"beep", {}, {}, {}, {}, false, {}}); }
    void playSound(const std::string& file) override { effects.push_back({"sound", file, {}, {}, {}, false, {}}); }
    bool askYesNo(const std::string& text, const std::string& title) override;
    void fatalFileError(const std::string& file, const std::string& message) override;
    void fileWritten(const std::string& file) override { effects.push_back({"write", file, {}, {}, {}, false, {}}); }
    int count(const std::string& kind) const;
};

} // namespace vemar::ui
