#include "ruledialoglogic.h"

#include "core/dialogs/dialogsave.h"
#include "core/files.h"
#include "core/program.h"
#include "core/texts.h"

namespace vemar {

namespace {

constexpr Rgb kListBack = rgb(0, 0, 64);
constexpr Rgb kStartText = rgb(255, 255, 192);   // light yellow
constexpr Rgb kEndText = rgb(192, 255, 255);     // light cyan

// Which transition a group shows: the start of summer time is A in the north
// and B in the south.
bool groupIsA(Hemisphere hemisphere, int combo) {
    const bool startGroup = combo < 3;
    return hemisphere == Hemisphere::South ? !startGroup : startGroup;
}

} // namespace

int& RuleField(DstRule& rule, Hemisphere hemisphere, int combo) {
    const bool a = groupIsA(hemisphere, combo);
    switch (combo % 3) {
    case 0: return a ? rule.monthA : rule.monthB;
    case 1: return a ? rule.weekA : rule.weekB;
    default: return a ? rule.weekdayA : rule.weekdayB;
    }
}

int RuleField(const DstRule& rule, Hemisphere hemisphere, int combo) {
    DstRule copy = rule;
    return RuleField(copy, hemisphere, combo);
}

int RuleListSize(int combo) {
    switch (combo % 3) {
    case 0: return static_cast<int>(texts::kMonthNames.size());
    case 1: return static_cast<int>(texts::kWeekNames.size());
    default: return static_cast<int>(texts::kDayNames.size());
    }
}

std::string_view RuleListEntry(int combo, int index) {
    const auto at = static_cast<std::size_t>(index);
    switch (combo % 3) {
    case 0: return texts::kMonthNames[at];
    case 1: return texts::kWeekNames[at];
    default: return texts::kDayNames[at];
    }
}

RuleDialogLogic::RuleDialogLogic(Program& program) : program_(program) { setupStaticView(); }

void RuleDialogLogic::setupStaticView() {
    using namespace texts;
    v_.form.backColour = palette(7);
    v_.startFrame.caption = kStart;
    v_.endFrame.caption = kEnd;
    constexpr std::string_view captions[3] = {kMonth, kWeek, kWeekday};
    for (int i = 0; i < kRuleLists; ++i) {
        v_.label[i].caption = captions[i % 3];
        v_.combo[i].backColour = kListBack;
        v_.combo[i].textColour = i < 3 ? kStartText : kEndText;
        v_.combo[i].accessibleName = kRuleListNames[static_cast<std::size_t>(i)];
    }
    v_.annullaButton.caption = kCancel;
    v_.okButton.caption = kOkRule;
    v_.applicaButton.caption = kApply;
    v_.applicaButton.enabled = false;
}

void RuleDialogLogic::euguaglia() { snapshot_ = program_.state().dstRule; }

void RuleDialogLogic::conApl() { v_.applicaButton.enabled = !(program_.state().dstRule == snapshot_); }

void RuleDialogLogic::load() {
    const SharedState& s = program_.state();
    // Whatever a close box left in memory is dropped: the dialog always
    // starts from the saved rule.
    program_.guarded([&] { program_.setDstRule(ReadParleg(program_.file(kRuleFile))); });
    euguaglia();
    for (int combo = 0; combo < kRuleLists; ++combo)
        select(combo, RuleField(s.dstRule, s.site.hemisphere, combo));
    v_.form.caption = IsNorthern(s.site.hemisphere) ? texts::kRuleCaptionNorth : texts::kRuleCaptionSouth;
}

void RuleDialogLogic::select(int combo, int index) {
    if (combo < 0 || combo >= kRuleLists || index < 0 || index >= RuleListSize(combo)) return;
    DstRule rule = program_.state().dstRule;
    RuleField(rule, program_.state().site.hemisphere, combo) = index;
    program_.setDstRule(rule);
    v_.selected[combo] = index;
    // A screen reader hears what the list chooses as its name, the entry as its description.
    v_.combo[combo].accessibleDescription = RuleListEntry(combo, index);
    conApl();
}

void RuleDialogLogic::applyClick() {
    program_.legaleSinoToday();
    euguaglia();
    v_.applicaButton.enabled = false;
}

bool RuleDialogLogic::okClick() {
    return SaveKeepingEdits(program_.platform(), [&] {
        program_.legaleSinoToday();
        program_.saveDstRule();
    });
}

void RuleDialogLogic::cancelClick() {
    program_.guarded([&] {
        program_.setDstRule(ReadParleg(program_.file(kRuleFile)));
        program_.legaleSinoToday();
    });
}

} // namespace vemar
