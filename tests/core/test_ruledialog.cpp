#include "core/ruledialog.h"

#include "dialogfixture.h"

#include <set>

namespace vemar {
namespace {

const std::string kRuleLine = "2,4,0,9,4,0\r\n";   // last Sunday of March to last Sunday of October

std::string Describe(const DstRule& r) {
    return std::to_string(r.monthA) + "," + std::to_string(r.weekA) + "," + std::to_string(r.weekdayA) + "," +
           std::to_string(r.monthB) + "," + std::to_string(r.weekB) + "," + std::to_string(r.weekdayB);
}

class RuleDialogTest : public dialogtest::DialogTest {
protected:
    void startIn(int hemisphere, ClockReading today = {2024, 4, 15, 12, 0, 0}) {
        put(kSiteFile, hemisphere == 1 ? "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n"
                                       : "-33,-52,151,12,-10,,0,,,0,,0,,,2,1,0,1\r\n");
        platform.clock = today;
        start();
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
        put(kRuleFile, "0,0,1,11,0,1\r\n");
        startIn(c.hemisphere);
        open();
        dialog->select(c.firstCombo, 2);       // Marzo
        dialog->select(c.firstCombo + 1, 4);   // 5
        dialog->select(c.firstCombo + 2, 0);   // Domenica
        EXPECT_EQ(rule(), c.rule);
    }
}

// Whatever the hemisphere, the six lists edit the six fields, each once.
TEST(RuleField, EveryListEditsItsOwnField) {
    for (int hemisphere : {1, 2}) {
        DstRule rule;
        std::set<const int*> fields;
        for (int combo = 0; combo < kRuleLists; ++combo) fields.insert(&RuleField(rule, hemisphere, combo));
        EXPECT_EQ(fields.size(), 6u) << "hemisphere " << hemisphere;
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

// One selection after another and whether "Applica" is enabled afterwards.
struct ApplyStep { int combo, index; bool enabled; };
const ApplyStep kApplySteps[] = {
    {2, 3, true},    // a weekday changed
    {2, 0, false},   // and changed back
    {0, 2, false},   // the same month chosen again
    {4, 1, true},
    {3, 10, true},
    {4, 4, true},    // one value still differs
    {3, 9, false},
};

TEST_F(RuleDialogTest, ApplyIsEnabledExactlyWhileTheRuleDiffers) {
    startIn(1);
    open();
    for (const ApplyStep& step : kApplySteps) {
        SCOPED_TRACE("Combo" + std::to_string(step.combo + 1) + " = " + std::to_string(step.index));
        dialog->select(step.combo, step.index);
        EXPECT_EQ(dialog->view().ssCommand3.enabled, step.enabled);
    }
}

TEST_F(RuleDialogTest, ApplyPutsTheRuleInForceWithoutSaving) {
    startIn(1);   // 15 April: summer time under the saved rule
    ASSERT_EQ(state().inDstWindow, 1);
    open();
    dialog->select(0, 4);                      // starts in May instead
    EXPECT_EQ(state().inDstWindow, 1) << "nothing in force before Applica";
    dialog->applyClick();
    EXPECT_EQ(state().inDstWindow, 0);
    EXPECT_EQ(program->view().ssPanel6.caption.rfind("Ora Legale dal 26 Maggio", 0), 0u)
        << program->view().ssPanel6.caption;
    EXPECT_FALSE(dialog->view().ssCommand3.enabled);
    dialog->select(0, 2);                      // back to March: differs from what was applied
    EXPECT_TRUE(dialog->view().ssCommand3.enabled);
    EXPECT_EQ(bytes(kRuleFile), kRuleLine);
    EXPECT_EQ(platform.effects, std::vector<std::string>{});
}

TEST_F(RuleDialogTest, CancelDropsEvenAppliedEdits) {
    startIn(1);
    const std::string periodBefore = program->view().ssPanel6.caption;
    open();
    dialog->select(0, 4);
    dialog->applyClick();
    dialog->select(5, 3);
    dialog->cancelClick();
    EXPECT_EQ(rule(), "2,4,0,9,4,0");
    EXPECT_EQ(state().inDstWindow, 1);
    EXPECT_EQ(program->view().ssPanel6.caption, periodBefore);
    EXPECT_EQ(bytes(kRuleFile), kRuleLine);
    EXPECT_EQ(platform.effects, std::vector<std::string>{});
}

TEST_F(RuleDialogTest, CloseBoxAfterApplyKeepsTheRuleForThisRunOnly) {
    startIn(1);
    open();
    dialog->select(0, 4);
    dialog->applyClick();
    dialog.reset();                            // closed by its close box: no button ran
    EXPECT_EQ(rule(), "4,4,0,9,4,0");
    EXPECT_EQ(state().inDstWindow, 0);
    EXPECT_EQ(bytes(kRuleFile), kRuleLine);
    EXPECT_EQ(platform.effects, std::vector<std::string>{});
    open();                                    // the next opening starts from the file
    EXPECT_EQ(rule(), "2,4,0,9,4,0");
}

// "Inizio " moved to May, on a day inside the window of the saved rule.
struct OkCase { int hemisphere; ClockReading today; const char* written; };
const OkCase kOkCases[] = {
    {1, {2024, 4, 15, 12, 0, 0}, "4,4,0,9,4,0\r\n"},   // north: May is A; 15 April now lies before it
    {2, {2024, 6, 15, 12, 0, 0}, "2,4,0,4,4,0\r\n"},   // south: May is B; 15 June now lies after it
};

TEST_F(RuleDialogTest, OkSavesTheRuleAndPutsItInForce) {
    for (const OkCase& c : kOkCases) {
        SCOPED_TRACE("hemisphere " + std::to_string(c.hemisphere));
        startIn(c.hemisphere, c.today);
        ASSERT_EQ(state().inDstWindow, 1);
        open();
        dialog->select(0, 4);
        dialog->okClick();
        EXPECT_EQ(bytes(kRuleFile), c.written);
        EXPECT_EQ(platform.effects, std::vector<std::string>{"write Parleg.dat"});
        EXPECT_EQ(state().inDstWindow, 0);
        put(kRuleFile, kRuleLine);
    }
}

} // namespace
} // namespace vemar
