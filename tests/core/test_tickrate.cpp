// Once a second is enough at steady state, the program saying when it needs the fast rate: a clock so ticked
// shows, second by second, exactly what a clock ticked 64 times a second shows.

#include "testsupport.h"

namespace vemar {
namespace {

constexpr int kFastTicksPerSecond = 64;

// The ticks the window gives one second: one at its start, then fast ones while the program asks; or all.
void TickSecond(Program& program, bool allFast) {
    for (int ticks = 0; ticks < kFastTicksPerSecond && (allFast || ticks == 0 || program.needsFastTicks()); ++ticks)
        program.tick();
}

ClockReading plusSeconds(const ClockReading& c, int seconds) {
    const std::int64_t t = test::UtcSeconds(c.year, c.month, c.day, c.hour, c.minute, c.second) + seconds;
    const CalendarDate d = CivilFromDays(t / 86400);
    return {d.year, d.month, d.day, int(t % 86400 / 3600), int(t % 3600 / 60), int(t % 60)};
}

struct RunCase {
    const char* why; ClockReading start; int seconds, zoneOffset, hemisphere, inDstWindow, halfHour;
    int pageSwitchAtSecond;   // -1: none
    int pips;                 // the beeps the run sounds; -1: the signal off
};

const RunCase kRunCases[] = {
    {"start-up count, then steady running", {2024, 6, 21, 22, 0, 1}, 8, 1, 1, 1, 0, -1, -1},
    {"midnight and the year's end move the date lines", {2024, 12, 31, 23, 59, 50}, 20, 1, 1, 0, 0, -1, -1},
    {"the morning window closes at noon in summer", {2024, 6, 21, 11, 59, 55}, 10, 1, 1, 1, 0, -1, -1},
    {"the morning window closes at 11 in winter", {2024, 1, 15, 10, 59, 57}, 5, 1, 1, 0, 0, -1, -1},
    {"west of Greenwich the date turns in the evening", {2024, 2, 28, 18, 59, 57}, 6, -5, 1, 0, 0, -1, -1},
    {"southern hemisphere, its summer", {2024, 3, 31, 10, 59, 58}, 4, -3, 2, 1, 0, -1, -1},
    {"a page switch refreshes the markers", {2024, 6, 21, 22, 0, 0}, 4, 1, 1, 1, 0, 2, -1},
    // Five pips at 59:54..58 and one at 00:00 of the clock on the desk, whatever the home's offset.
    {"the hour's pips", {2024, 6, 21, 22, 59, 50}, 15, 1, 1, 1, 0, -1, 6},
    {"a half-hour home's pips at its clock's hour", {2024, 6, 21, 22, 59, 50}, 15, 5, 1, 0, 30, -1, 6},
    {"none at its clock's half hour, a full hour of UT", {2024, 6, 21, 22, 29, 50}, 15, 5, 1, 0, 30, -1, 0},
};

// Second by second, the scheduled clock shows what the fast one shows and sounds the same pips.
TEST(TickRate, OnceASecondShowsWhatSixtyFourTicksShow) {
    for (const RunCase& c : kRunCases) {
        SCOPED_TRACE(c.why);
        test::Started fast, scheduled;
        for (test::Started* clock : {&fast, &scheduled}) {
            ASSERT_TRUE(clock->ok);
            SharedState& s = clock->program.state();
            s.site.zoneOffset = std::chrono::hours{c.zoneOffset}, s.site.hemisphere = Hemisphere(c.hemisphere);
            s.site.inDstWindow = c.inDstWindow, s.site.halfHour = std::chrono::minutes{c.halfHour};
            s.tick.southSyncDone = 1;   // the cases set the summer hour themselves
            // car.tip draws "*" large, "+" small: a refresh missing a changed marker shows in its size.
            s.display.dateSymbol1 = "*", s.display.dateSymbol2 = "+";
            if (c.pips >= 0) clock->program.signalClick();
        }
        for (int second = 0; second < c.seconds; ++second) {
            const ClockReading reading = plusSeconds(c.start, second);
            for (test::Started* clock : {&fast, &scheduled}) {
                if (second == c.pageSwitchAtSecond) clock->program.pageSwitchClick();
                clock->platform.clock = reading, TickSecond(clock->program, clock == &fast);
            }
            ASSERT_EQ(test::Picture(scheduled.program.view()), test::Picture(fast.program.view()))
                << "at second " << second << " of the run";
            ASSERT_EQ(scheduled.platform.beeps, fast.platform.beeps) << "at second " << second;
            if (reading.second == 0 && c.pips > 0) { ASSERT_EQ(scheduled.platform.beeps, c.pips) << "the hour's pip"; }
        }
        EXPECT_EQ(scheduled.platform.beeps, std::max(c.pips, 0));
    }
}

// What each event asks of the timer: the fast ticks it needs after the event, then the steady rate.
TEST(TickRate, FastTicksOnlyWhileNeeded) {
    struct Case {
        const char* why;
        ClockReading before, after;   // the clock of the ticks before the event, and of those after it
        void (*event)(Program&);
        int fastTicks;                // ticks after the event that still leave needsFastTicks()
    };
    const auto none = [](Program&) {};
    const Case cases[] = {
        {"a second goes by", {2024, 6, 21, 22, 0, 0}, {2024, 6, 21, 22, 0, 1}, none, 0},
        {"a page switch: 27 refreshes over nine ticks", {2024, 6, 21, 22, 0, 0}, {2024, 6, 21, 22, 0, 0},
         [](Program& p) { p.pageSwitchClick(); }, 8},
        {"a reload request ends its stage at once", {2024, 6, 21, 22, 0, 0}, {2024, 6, 21, 22, 0, 0},
         [](Program& p) { p.requestReload(); }, 0},
        // The first tick of a day is right on its own: no follow-up.
        {"midnight", {2024, 6, 21, 23, 59, 59}, {2024, 6, 22, 0, 0, 0}, none, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::Started clock;
        Program& program = clock.program;
        EXPECT_TRUE(clock.ok && program.needsFastTicks()) << "before the first tick";
        program.state().tick.startCounter = 44;   // past the start-up count
        clock.platform.clock = c.before, program.tick();
        ASSERT_FALSE(program.needsFastTicks()) << "steady before the event";
        c.event(program), clock.platform.clock = c.after;
        int fastTicks = 0;
        for (program.tick(); program.needsFastTicks() && fastTicks < 100; program.tick()) ++fastTicks;
        EXPECT_EQ(fastTicks, c.fastTicks);
    }
}

} // namespace
} // namespace vemar
