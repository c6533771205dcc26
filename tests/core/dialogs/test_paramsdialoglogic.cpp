#include "core/dialogs/paramsdialoglogic.h"

#include "../testsupport.h"

#include <cmath>
#include <cstring>

namespace vemar {
namespace {

// lxp2.par as seeded: 41°54' north, 12°29' east (east is negative), zone +1,
// inside the summer-time window, automatic summer time on.
const std::string kSiteLine = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";

class ParamsDialogTest : public test::ProgramTest {
protected:
    void open() {
        dialog = std::make_unique<ParamsDialogLogic>(*program);
        dialog->load();
    }
    // Types text key by key at the end of the box, as a user would, each key
    // being one change of the box; returns what the box shows afterwards.
    std::string type(int box, const std::string& text) {
        change(box, "");
        for (char c : text) change(box, boxes()[box - 1] + c);
        return boxes()[box - 1];
    }
    void change(int box, std::string_view text) {
        using Handler = void (ParamsDialogLogic::*)(std::string_view);
        constexpr Handler handlers[] = {&ParamsDialogLogic::text1Changed, &ParamsDialogLogic::text2Changed,
                                        &ParamsDialogLogic::text3Changed, &ParamsDialogLogic::text4Changed};
        ((*dialog).*handlers[box - 1])(text);
    }
    std::array<std::string, 4> boxes() const {
        const ParamsView& v = dialog->view();
        return {v.text1.caption, v.text2.caption, v.text3.caption, v.text4.caption};
    }
    std::array<double, 4> place() {
        return {state().latDegrees, state().latMinutes, state().lonDegrees, state().lonMinutes};
    }
    // The six settings the dialog edits.
    std::array<double, 6> settings() {
        const auto [a, b, c, d] = place();
        return {a, b, c, d, double(state().siteHalfHour), double(state().autoDst)};
    }
    std::unique_ptr<ParamsDialogLogic> dialog;
};

// box 1..4: Text1..Text4; stored: the setting the box edits.
struct TypingCase { int hemisphere, box; const char* typed; const char* shown; double stored; };
const TypingCase kTypingCases[] = {
    {1, 1, "95", "89", 89},        // latitude degrees clamped
    {1, 2, "75", "59", 59},        // latitude minutes clamped
    {1, 4, "75", "59", -59},       // longitude minutes clamped, sign of the (eastern) degrees
    {1, 3, "-200", "-180", -180},
    {1, 3, "1a8b0", "180", 180},   // letters dropped as they come
    {1, 1, "-5", "5", 5},          // no minus sign in a latitude box
    {1, 4, "-3", "3", -3},         // nor in the longitude minutes
    {1, 1, "", "", 0},             // an empty box reads as 0
    {2, 1, "95", "89", -89},       // the south stores the latitude negative
    {2, 2, "30", "30", -30},
    {2, 1, "0", "0", 0},           // never a negative zero
};

TEST_F(ParamsDialogTest, BoxesFilterAndClampWhatIsTyped) {
    for (const TypingCase& c : kTypingCases) {
        SCOPED_TRACE(std::string("Text") + std::to_string(c.box) + " typed " + c.typed);
        dir.write(kSiteFile, c.hemisphere == 1 ? kSiteLine : "-41,-54,-12,-29,-1,,1,,,0,,0,,,2,0,0,1\r\n");
        restart();
        open();
        EXPECT_EQ(type(c.box, c.typed), c.shown);
        EXPECT_EQ(place()[c.box - 1], c.stored);
        EXPECT_FALSE(std::signbit(place()[c.box - 1]) && c.stored == 0) << "negative zero";
    }
}

// One edit after another on the longitude, starting from 10°30' east.
struct LongitudeStep { int box; const char* typed; const char* shown; double degrees, minutes; };
const LongitudeStep kLongitudeSteps[] = {
    {3, "10", "10", 10, 30},     // west of Greenwich: the minutes turn positive
    {3, "-10", "-10", -10, -30}, // and back east
    {4, "75", "59", -10, -59},   // clamped, and negative like the degrees
    {3, "0", "0", 0, 59},        // 0 degrees count as west
    {3, "-", "-", 0, 59},        // a lone minus sign reads as 0 and stays
    {3, "-1", "-1", -1, -59},
};

TEST_F(ParamsDialogTest, LongitudeMinutesFollowTheSignOfTheDegrees) {
    dir.write(kSiteFile, "41,54,-10,-30,-1,,1,,,0,,0,,,1,0,0,1\r\n");
    restart();
    open();
    for (const LongitudeStep& step : kLongitudeSteps) {
        SCOPED_TRACE(std::string("Text") + std::to_string(step.box) + " typed " + step.typed);
        EXPECT_EQ(type(step.box, step.typed), step.shown);
        EXPECT_EQ(state().lonDegrees, step.degrees);
        EXPECT_EQ(state().lonMinutes, step.minutes);
    }
}

// Opening fills the boxes from the settings and changes none of them; OK
// without an edit writes the same line back, a southern latitude still negative.
struct OpeningCase { const char* line; std::array<std::string, 4> boxes; bool halfHour, autoDst; };
const OpeningCase kOpeningCases[] = {
    {"41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", {"41", "54", "-12", "29"}, false, true},
    {"-33,-52,151,12,-10,,0,,,0,,0,,,2,1,30,0\r\n", {"33", "52", "151", "12"}, true, false},
    {"0,0,0,0,0,,0,,,0,,0,,,1,1,0,0\r\n", {"0", "0", "0", "0"}, false, false},
};

TEST_F(ParamsDialogTest, OpeningShowsTheSettingsAndOkWritesThemBack) {
    for (const OpeningCase& c : kOpeningCases) {
        SCOPED_TRACE(c.line);
        dir.write(kSiteFile, c.line);
        restart();
        const auto before = settings();
        open();
        const ParamsView& v = dialog->view();
        EXPECT_EQ(boxes(), c.boxes);
        EXPECT_EQ(v.option1.checked, c.halfHour);
        EXPECT_EQ(v.option2.checked, !c.halfHour);
        EXPECT_EQ(v.check1.checked, c.autoDst);
        EXPECT_EQ(settings(), before);
        dialog->okClick();
        dialog->unload();
        EXPECT_EQ(dir.read(kSiteFile), c.line);
        EXPECT_EQ(platform.effects, std::vector<std::string>{"write lxp2.par"});
    }
}

// Closing without OK puts every one of the six settings back and writes nothing.
TEST_F(ParamsDialogTest, ClosingWithoutOkRestoresAllSixAndWritesNothing) {
    dir.write(kSiteFile, kSiteLine);
    restart();
    const auto before = settings();
    open();
    for (int box = 1; box <= 4; ++box) type(box, std::array{"12", "7", "100", "1"}[box - 1]);
    dialog->option1Click();
    dialog->check1Click(false);
    ASSERT_NE(settings(), before);
    dialog->unload();
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(platform.effects, std::vector<std::string>{});
    EXPECT_EQ(dir.read(kSiteFile), kSiteLine);
}

// lxp2.par and SSPanel5 after OK on 45°30' north, 9°10' west, a half hour.
struct OkCase { const char* name; ClockReading today; bool autoDst; const char* written; const char* dstCaption; };
const OkCase kOkCases[] = {
    // Automatic: a winter day takes summer time off.
    {"winter, automatic", {2024, 1, 15, 10, 0, 0}, true, "45,30,9,10,-2,,0,,,0,,0,,,1,1,30,1\r\n", "Ora Solare"},
    {"summer, automatic", {2024, 6, 21, 10, 0, 0}, true, "45,30,9,10,-2,,1,,,0,,0,,,1,0,30,1\r\n", "Ora Legale"},
    // By hand the state as stored stays, whatever the date.
    {"winter, by hand", {2024, 1, 15, 10, 0, 0}, false, "45,30,9,10,-2,,1,,,0,,0,,,1,0,30,0\r\n", "Ora Legale"},
};

TEST_F(ParamsDialogTest, OkSavesTheSettingsAndTheSummerTimeState) {
    for (const OkCase& c : kOkCases) {
        SCOPED_TRACE(c.name);
        dir.write(kSiteFile, kSiteLine);
        restart();
        platform.clock = c.today;
        program->upDownClick(+1);               // an unsaved zone change: Command1 enabled
        ASSERT_TRUE(program->view().command1.enabled);
        open();
        for (int box = 1; box <= 4; ++box) type(box, std::array{"45", "30", "9", "10"}[box - 1]);
        dialog->option1Click();
        dialog->check1Click(c.autoDst);
        dialog->okClick();
        dialog->unload();
        EXPECT_EQ(dir.read(kSiteFile), c.written);
        EXPECT_EQ(platform.effects, std::vector<std::string>{"write lxp2.par"});
        EXPECT_EQ(program->view().ssPanel5.caption, c.dstCaption);
        EXPECT_FALSE(program->view().command1.enabled);
        EXPECT_EQ(state().zoneOffsetAtLoad, 2);
        EXPECT_EQ(state().latDegrees, 45);      // kept after closing
        EXPECT_EQ(state().siteHalfHour, 30);
    }
}

// The caret after a filter, from the typed text, the caret in it and the text shown.
TEST(ParamsDialogCaret, StaysWhereTheUserWasTyping) {
    struct Case { const char* typed; int caret; const char* shown; int expected; };
    const Case cases[] = {
        {"1a", 2, "1", 1},        // a refused letter at the end
        {"1a8", 2, "18", 1},      // a refused letter in the middle: the caret stays before the 8
        {"95", 2, "89", 2},       // clamped to a text of the same length: at the end
        {"1000", 4, "89", 2},     // clamped to a shorter text: at its end
        {"-5", 1, "5", 0},        // the minus sign typed in front goes
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaretAfterFilter(int(std::strlen(c.typed)), c.caret, int(std::strlen(c.shown))), c.expected)
            << c.typed;
}

} // namespace
} // namespace vemar
