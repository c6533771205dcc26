#include "core/dialogs/ruledialoglogic.h"

#include "../testsupport.h"

namespace vemar {
namespace {

const std::string kRuleLine = "2,4,0,9,4,0\r\n";   // last Sunday of March to last Sunday of October

std::string Describe(const DstRule& r) {
    return std::to_string(r.monthA) + "," + std::to_string(r.weekA) + "," + std::to_string(r.weekdayA) + "," +
           std::to_string(r.monthB) + "," + std::to_string(r.weekB) + "," + std::to_string(r.weekdayB);
}

class RuleDialogTest : public test::ProgramTest {
protected:
    void startIn(int hemisphere, ClockReading today = {2024, 4, 15, 12, 0, 0}) {
        dir.write(kSiteFile, hemisphere == 1 ? "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n"
                                       : "-33,-52,151,12,-10,,0,,,0,,0,,,2,1,0,1\r\n");
        platform.clock = today;
        restart();
    }
    void open() {
        dialog = std::make_unique<RuleDialogLogic>(*program);
        dialog->load();
    }
    std::string rule() { return Describe(state().dstRule); }
    std::unique_ptr<RuleDialogLogic> dialog;
};

// Marzo, "5", Domenica chosen in one group from the rule 0,0,1,11,0,1.
struct MappingCase { int hemisphere; int firstCombo; const char* rule; };
const MappingCase kMappingCases[] = {
    {1, 0, "2,4,0,11,0,1"},   // north: "Inizio " is A
    {2, 0, "0,0,1,2,4,0"},    // south: "Inizio " is B
    {1, 3, "0,0,1,2,4,0"},    // north: "Fine " is B
    {2, 3, "2,4,0,11,0,1"},   // south: "Fine " is A
};

TEST_F(RuleDialogTest, GroupsMapOntoTheRuleByHemisphere) {
    for (const MappingCase& c : kMappingCases) {
        SCOPED_TRACE("hemisphere " + std::to_string(c.hemisphere) + ", Combo" + std::to_string(c.firstCombo + 1));
        dir.write(kRuleFile, "0,0,1,11,0,1\r\n");
        startIn(c.hemisphere);
        open();
        dialog->select(c.firstCombo, 2);       // Marzo
        dialog->select(c.firstCombo + 1, 4);   // 5
        dialog->select(c.firstCombo + 2, 0);   // Domenica
        EXPECT_EQ(rule(), c.rule);
    }
}

// The lists show the rule from the hemisphere's point of view.
struct ShownCase { int hemisphere; std::array<int, 6> selected; const char* caption; };
const ShownCase kShownCases[] = {
    {1, {2, 4, 0, 9, 4, 0}, " Ora legale (Emisfero Nord)"},
    {2, {9, 4, 0, 2, 4, 0}, " Ora legale (Emisfero Sud)"},
};

TEST_F(RuleDialogTest, OpeningShowsTheSavedRuleForTheHemisphere) {
    for (const ShownCase& c : kShownCases) {
        SCOPED_TRACE(c.caption);
        startIn(c.hemisphere);
        state().dstRule.monthA = 5;            // an edit left behind by a close box
        open();
        EXPECT_EQ(dialog->view().selected, c.selected);
        EXPECT_EQ(dialog->view().form.caption, c.caption);
        EXPECT_FALSE(dialog->view().ssCommand3.enabled);
        EXPECT_EQ(rule(), "2,4,0,9,4,0");
    }
}

// One selection after another (combo -1: "Applica") on 15 April, inside the
// saved rule's window: whether "Applica" is enabled, and summer time in force.
struct ApplyStep { int combo, index; bool enabled; int inDstWindow; };
const ApplyStep kApplySteps[] = {
    {2, 3, true, 1},    // a weekday changed
    {2, 0, false, 1},   // and changed back
    {0, 2, false, 1},   // the same month chosen again
    {4, 1, true, 1},
    {3, 10, true, 1},
    {4, 4, true, 1},    // one value still differs
    {3, 9, false, 1},
    {0, 4, true, 1},    // starts in May: nothing in force before Applica
    {-1, 0, false, 0},
    {0, 2, true, 0},    // back to March: differs from what was applied
};

TEST_F(RuleDialogTest, ApplyIsEnabledWhileTheRuleDiffersAndPutsItInForce) {
    startIn(1);
    open();
    for (const ApplyStep& step : kApplySteps) {
        SCOPED_TRACE("Combo" + std::to_string(step.combo + 1) + " = " + std::to_string(step.index));
        if (step.combo < 0) dialog->applyClick();
        else dialog->select(step.combo, step.index);
        EXPECT_EQ(dialog->view().ssCommand3.enabled, step.enabled);
        EXPECT_EQ(state().inDstWindow, step.inDstWindow);
    }
}

// The rule's A moved to May, then applied and closed, or saved by Ok: what
// stays in force, what Parleg.dat holds. The home's summer hour follows the
// rule in the north and its complement in the south.
enum class Exit { AppliedThenAnnulla, AppliedThenCloseBox, Ok };
struct ExitCase {
    const char* how;
    int hemisphere;
    ClockReading today;
    Exit exit;
    const char* rule;
    int inDstBefore, inDstWindow;
    const char* file;
};
const ExitCase kExitCases[] = {
    {"Annulla drops even applied edits", 1, {2024, 4, 15, 12, 0, 0}, Exit::AppliedThenAnnulla,
     "2,4,0,9,4,0", 1, 1, "2,4,0,9,4,0\r\n"},
    {"the close box keeps an applied rule for this run only", 1, {2024, 4, 15, 12, 0, 0},
     Exit::AppliedThenCloseBox, "4,4,0,9,4,0", 1, 0, "2,4,0,9,4,0\r\n"},
    {"Ok, north: May is A; 15 April now lies before it", 1, {2024, 4, 15, 12, 0, 0}, Exit::Ok,
     "4,4,0,9,4,0", 1, 0, "4,4,0,9,4,0\r\n"},
    {"Ok, south: May is B; 15 June, winter before, now lies after it", 2, {2024, 6, 15, 12, 0, 0}, Exit::Ok,
     "2,4,0,4,4,0", 0, 1, "2,4,0,4,4,0\r\n"},
};

TEST_F(RuleDialogTest, WhatEachWayOutLeaves) {
    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(c.how);
        dir.write(kRuleFile, kRuleLine);
        startIn(c.hemisphere, c.today);
        ASSERT_EQ(state().inDstWindow, c.inDstBefore);
        const std::string periodBefore = view().ssPanel6.caption;
        open();
        dialog->select(0, 4);
        if (c.exit != Exit::Ok) dialog->applyClick();
        switch (c.exit) {
        case Exit::AppliedThenAnnulla: dialog->cancelClick(); break;
        case Exit::AppliedThenCloseBox: dialog.reset(); break;   // no button ran
        case Exit::Ok: dialog->okClick(); break;
        }
        EXPECT_EQ(rule(), c.rule);
        EXPECT_EQ(state().inDstWindow, c.inDstWindow);
        EXPECT_EQ(view().ssPanel6.caption == periodBefore, c.exit == Exit::AppliedThenAnnulla);
        EXPECT_EQ(dir.read(kRuleFile), c.file);
        EXPECT_EQ(platform.effects, c.exit == Exit::Ok ? std::vector<std::string>{"write Parleg.dat"}
                                                       : std::vector<std::string>{});
    }
}

} // namespace
} // namespace vemar
