// The parameters dialog: what its boxes show, keep and store as typed, and what OK or closing leaves.

#include "core/dialogs/paramsdialoglogic.h"
#include "../testsupport.h"

#include <cmath>

namespace vemar {
namespace {

// 41°54' N, 12°29' E (east is negative), zone +1, in the summer-time window, automatic summer time.
const std::string kSiteLine = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";

class ParamsDialogTest : public test::ProgramTest {
protected:
    // The program restarted over this lxp2.par and the dialog opened.
    void openOn(const std::string& line) {
        dir.write(kSiteFile, line), restart(), atStart = settings();
        (dialog = std::make_unique<ParamsDialogLogic>(*program))->load();
    }
    std::array<std::string, 4> boxes() const {
        const ParamsView& v = dialog->view();
        return {v.latitudeDegrees.caption, v.latitudeMinutes.caption, v.longitudeDegrees.caption, v.longitudeMinutes.caption};
    }
    // Types key by key into box 1..4 (Text1..Text4), each key one change of the box; returns what it shows.
    std::string type(int box, const std::string& text) {
        const auto change = std::array{&ParamsDialogLogic::latitudeDegreesChanged, &ParamsDialogLogic::latitudeMinutesChanged,
                                       &ParamsDialogLogic::longitudeDegreesChanged, &ParamsDialogLogic::longitudeMinutesChanged}[box - 1];
        ((*dialog).*change)("");
        for (char c : text) ((*dialog).*change)(boxes()[box - 1] + c);
        return boxes()[box - 1];
    }
    // The six settings the dialog edits: the place, the half hour, automatic summer time.
    std::array<double, 6> settings() {
        const SharedState& s = state();
        return {s.site.latDegrees, s.site.latMinutes, s.site.lonDegrees, s.site.lonMinutes, double(s.site.halfHour.count()), double(s.site.autoDst)};
    }
    std::unique_ptr<ParamsDialogLogic> dialog;
    std::array<double, 6> atStart{};   // the settings before the dialog opened
};

// Opening changes nothing; each edit: box and place (minutes signed as degrees, no -0); OK writes it, south negative.
TEST_F(ParamsDialogTest, BoxesShowFilterAndStoreThePlace) {
    struct Step { int box; const char* typed; const char* shown; std::array<double, 4> place; };
    struct Sequence { const char* line; std::array<std::string, 4> opened; std::array<bool, 3> options; std::vector<Step> steps;
                      const char* written; };   // options: Option1 (half hour), Option2, Check1 (automatic summer time)
    const Sequence sequences[] = {
        {kSiteLine.c_str(), {"41", "54", "-12", "29"}, {false, true, true}, {
            {1, "95", "89", {89, 54, -12, -29}}, {2, "75", "59", {89, 59, -12, -29}},   // clamped
            {4, "75", "59", {89, 59, -12, -59}}, {3, "-200", "-180", {89, 59, -180, -59}},   // minutes negative like the degrees
            {3, "1a8b0", "180", {89, 59, 180, 59}},      // letters dropped as they come; west: minutes positive
            {1, "-5", "5", {5, 59, 180, 59}}, {4, "-3", "3", {5, 59, 180, 3}},   // no minus sign but in Text3
            {1, "", "", {0, 59, 180, 3}},                // an empty box reads as 0
            {3, "-10", "-10", {0, 59, -10, -3}}, {3, "0", "0", {0, 59, 0, 3}},   // back east; 0 degrees count as west
            {3, "-", "-", {0, 59, 0, 3}},                // a lone minus sign reads as 0 and stays
            {3, "-1", "-1", {0, 59, -1, -3}}}, "0,59,-1,-3,-1,,1,,,0,,0,,,1,0,0,1\r\n"},
        {"-33,-52,151,12,-10,,0,,,0,,0,,,2,1,30,0\r\n", {"33", "52", "151", "12"}, {true, false, false}, {
            {1, "95", "89", {-89, -52, 151, 12}},        // the south stores the latitude negative
            {2, "30", "30", {-89, -30, 151, 12}}, {1, "0", "0", {0, -30, 151, 12}}}, "0,-30,151,12,-10,,0,,,0,,0,,,2,1,30,0\r\n"},
        {"0,0,0,0,0,,0,,,0,,0,,,1,1,0,0\r\n", {"0", "0", "0", "0"}, {false, true, false}, {}, "0,0,0,0,0,,0,,,0,,0,,,1,1,0,0\r\n"},
    };
    for (const Sequence& q : sequences) {
        SCOPED_TRACE(q.line);
        openOn(q.line);
        const ParamsView& v = dialog->view();
        EXPECT_EQ(std::tuple(boxes(), std::array{v.halfHourYes.checked, v.halfHourNo.checked, v.autoDstBox.checked}, settings()),
                  std::tuple(q.opened, q.options, atStart));
        for (const ControlView* box : {&v.latitudeDegrees, &v.latitudeMinutes, &v.longitudeDegrees, &v.longitudeMinutes})
            EXPECT_EQ(std::pair(box->backColour, box->textColour), std::pair(rgb(0, 0, 64), rgb(255, 255, 192)));   // yellow on navy
        for (const Step& step : q.steps) {
            const std::string shown = type(step.box, step.typed);
            const auto s = settings();
            EXPECT_EQ(std::pair(shown, std::array{s[0], s[1], s[2], s[3]}), std::pair(std::string(step.shown), step.place))
                << "Text" << step.box << " typed " << step.typed;
            for (double value : s) EXPECT_FALSE(value == 0 && std::signbit(value)) << "negative zero";
        }
        dialog->okClick(), dialog->unload();
        EXPECT_EQ(std::pair(dir.read(kSiteFile), platform.effects),
                  std::pair(std::string(q.written), std::vector<std::string>{"write lxp2.par"}));
    }
}

// From the other season, 45°30' N 9°10' W, half hour, zone changed: what OK saves and shows; closing puts all back.
TEST_F(ParamsDialogTest, OkSavesAndAnyOtherWayOutPutsBack) {
    struct Case { const char* what; ClockReading today; bool autoDst, ok; const char* written; const char* dstCaption; };
    const ClockReading winter{2024, 1, 15, 10, 0, 0}, summer{2024, 6, 21, 10, 0, 0};
    const Case cases[] = {
        {"OK in winter, automatic", winter, true, true, "45,30,9,10,-2,,0,,,0,,0,,,1,1,30,1\r\n", "Ora Solare"},
        {"OK in summer, automatic", summer, true, true, "45,30,9,10,-2,,1,,,0,,0,,,1,0,30,1\r\n", "Ora Legale"},
        // By hand the state as stored stays, whatever the date.
        {"OK in winter, by hand", winter, false, true, "45,30,9,10,-2,,1,,,0,,0,,,1,0,30,0\r\n", "Ora Legale"},
        {"closed without OK", winter, false, false, kSiteLine.c_str(), "Ora Legale"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clock = c.today.month == summer.month ? winter : summer, openOn(kSiteLine);
        platform.clock = c.today, program->upDownClick(+1);   // the day the dialog runs; Command1 enabled
        for (int box = 1; box <= 4; ++box) type(box, std::array{"45", "30", "9", "10"}[box - 1]);
        dialog->halfHourYesClick(), dialog->autoDstClick(c.autoDst);
        if (c.ok) dialog->okClick();
        dialog->unload();
        EXPECT_EQ(std::pair(dir.read(kSiteFile), platform.effects),
                  std::pair(std::string(c.written), c.ok ? std::vector<std::string>{"write lxp2.par"} : std::vector<std::string>{}));
        EXPECT_EQ(std::pair(view().summerTimeButton.caption, view().saveZoneButton.enabled), std::pair(std::string(c.dstCaption), !c.ok));
        EXPECT_EQ(settings(), (c.ok ? std::array<double, 6>{45, 30, 9, 10, 30, double(c.autoDst)} : atStart));
    }
}

} // namespace
} // namespace vemar
