// The summer-time rule dialog: lists by hemisphere, "Applica" while the rule differs, what each way out leaves.

#include "core/dialogs/ruledialoglogic.h"
#include "../testsupport.h"

namespace vemar {
namespace {

const std::string kRuleLine = "2,4,0,9,4,0\r\n";   // last Sunday of March to last Sunday of October

class RuleDialogTest : public test::ProgramTest {
protected:
    // Started in the given hemisphere on the given day, over this Parleg.dat, the dialog opened.
    void openIn(int hemisphere, ClockReading today = {2024, 4, 15, 12, 0, 0}, const std::string& rule = kRuleLine) {
        dir.write(kSiteFile, hemisphere == 1 ? "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n" : "-33,-52,151,12,-10,,0,,,0,,0,,,2,1,0,1\r\n");
        dir.write(kRuleFile, rule), platform.clock = today, restart();
        (dialog = std::make_unique<RuleDialogLogic>(*program))->load();
    }
    std::string rule() {   // the rule in force as Parleg.dat would hold it
        const DstRule& r = state().dstRule;
        return std::to_string(r.monthA) + "," + std::to_string(r.weekA) + "," + std::to_string(r.weekdayA) + "," +
               std::to_string(r.monthB) + "," + std::to_string(r.weekB) + "," + std::to_string(r.weekdayB);
    }
    std::unique_ptr<RuleDialogLogic> dialog;
};

// "Inizio " edits transition A in the north and B in the south, "Fine " the other.
TEST_F(RuleDialogTest, GroupsMapOntoTheRuleByHemisphere) {
    struct Case { int hemisphere, firstList; const char* rule; };
    const Case cases[] = {{1, 0, "2,4,0,11,0,1"}, {2, 0, "0,0,1,2,4,0"}, {1, 3, "0,0,1,2,4,0"}, {2, 3, "2,4,0,11,0,1"}};
    for (const Case& c : cases) {
        openIn(c.hemisphere, {2024, 4, 15, 12, 0, 0}, "0,0,1,11,0,1\r\n");
        for (int k : {0, 1, 2}) dialog->select(c.firstList + k, std::array{2, 4, 0}[k]);
        EXPECT_EQ(rule(), c.rule) << "hemisphere " << c.hemisphere << ", list " << c.firstList;
        // A list emptied (its index -1) or an index past its entries changes nothing.
        for (auto [list, index] : {std::pair(-1, 0), {6, 0}, {0, -1}, {0, 12}, {1, 5}, {5, 7}}) dialog->select(list, index);
        EXPECT_EQ(rule(), c.rule);
    }
}

// Selections (combo -1: "Applica") on 15 April, in the saved rule's window: "Applica" enabled, summer time in force.
TEST_F(RuleDialogTest, ApplyIsEnabledWhileTheRuleDiffersAndPutsItInForce) {
    struct Step { int combo, index; bool enabled; int inDstWindow; };
    const Step steps[] = {
        {2, 3, true, 1}, {2, 0, false, 1},                  // a weekday changed, and changed back
        {0, 2, false, 1},                                   // the same month chosen again
        {4, 1, true, 1}, {3, 10, true, 1}, {4, 4, true, 1}, {3, 9, false, 1},   // one value still differs, then none
        {0, 4, true, 1}, {-1, 0, false, 0},                 // starts in May: nothing in force before Applica
        {0, 2, true, 0},                                    // back to March: differs from what was applied
    };
    openIn(1);
    for (const Step& step : steps) {
        SCOPED_TRACE("Combo" + std::to_string(step.combo + 1) + " = " + std::to_string(step.index));
        step.combo < 0 ? dialog->applyClick() : dialog->select(step.combo, step.index);
        EXPECT_EQ(dialog->view().applicaButton.enabled, step.enabled);
        EXPECT_EQ(state().site.inDstWindow, step.inDstWindow);
    }
}

// Lists as the hemisphere sees the rule; A to May, applied and closed or Ok: in force, in Parleg.dat, opened again.
TEST_F(RuleDialogTest, WhatEachWayOutLeaves) {
    enum Exit { AppliedThenAnnulla, AppliedThenCloseBox, Ok };
    struct Case { const char* how; int hemisphere; ClockReading today; Exit exit; const char* rule; int inDstBefore, inDstAfter; };
    const ClockReading april{2024, 4, 15, 12, 0, 0};
    const Case cases[] = {
        {"Annulla drops even applied edits", 1, april, AppliedThenAnnulla, "2,4,0,9,4,0", 1, 1},
        {"the close box keeps an applied rule for this run only", 1, april, AppliedThenCloseBox, "4,4,0,9,4,0", 1, 0},
        {"Ok, north: May is A; 15 April now lies before it", 1, april, Ok, "4,4,0,9,4,0", 1, 0},
        {"Ok, south: May is B; 15 June, winter before, now lies after it", 2, {2024, 6, 15, 12, 0, 0}, Ok, "2,4,0,4,4,0", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        openIn(c.hemisphere, c.today);
        ASSERT_EQ(state().site.inDstWindow, c.inDstBefore);
        const std::string periodBefore = view().summerPeriod.caption;
        const RuleView& v = dialog->view();
        EXPECT_EQ(std::tuple(v.selected, v.form.caption, v.applicaButton.enabled),
                  c.hemisphere == 1 ? std::tuple(std::array{2, 4, 0, 9, 4, 0}, std::string(" Ora legale (Emisfero Nord)"), false)
                                    : std::tuple(std::array{9, 4, 0, 2, 4, 0}, std::string(" Ora legale (Emisfero Sud)"), false));
        for (int i = 0; i < 6; ++i)   // each list under its label; light yellow the start's, light cyan the end's
            EXPECT_EQ(std::pair(v.label[i].caption, v.combo[i].textColour),
                      std::pair(std::string(std::array{"Mese:", "Settimana:", "Giorno:"}[i % 3]),
                                i < 3 ? rgb(255, 255, 192) : rgb(192, 255, 255))) << i;
        dialog->select(0, 4);
        if (c.exit != Ok) dialog->applyClick();
        if (c.exit == AppliedThenAnnulla) dialog->cancelClick();
        if (c.exit == AppliedThenCloseBox) dialog.reset();   // no button ran
        if (c.exit == Ok) dialog->okClick();
        EXPECT_EQ(std::tuple(rule(), state().site.inDstWindow, view().summerPeriod.caption == periodBefore),
                  std::tuple(std::string(c.rule), c.inDstAfter, c.exit == AppliedThenAnnulla));
        EXPECT_EQ(std::pair(dir.read(kRuleFile), platform.effects),
                  c.exit == Ok ? std::pair(c.rule + std::string("\r\n"), std::vector<std::string>{"write Parleg.dat"})
                               : std::pair(kRuleLine, std::vector<std::string>{}));
        // Opening again reads the file: an edit a close box left in memory goes.
        RuleDialogLogic(*program).load();
        EXPECT_EQ(rule(), c.exit == Ok ? c.rule : "2,4,0,9,4,0");
    }
}

} // namespace
} // namespace vemar
