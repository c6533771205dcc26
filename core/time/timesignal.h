#pragma once
// The hourly time signal: five pips at seconds 54..58 of minute 59 and a
// sixth at second 0 of the home's own clock, whatever its offset (a half or
// a quarter hour included), each once however many ticks fall in its second.

#include <array>

namespace vemar {

class TimeSignal {
public:
    // Whether a pip sounds at this reading of the home's clock. Called at
    // every tick, the signal on or off, so that turning it on just before a
    // pip's second still sounds that pip once.
    bool pipDue(int minute, int second, bool signalOn);

private:
    std::array<bool, 6> sent_{};   // seconds 54..58 of minute 59, then second 0
};

} // namespace vemar
