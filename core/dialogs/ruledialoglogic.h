#pragma once
// The summer-time rule dialog. "Inizio " always shows the start of
// summer time and "Fine " its end, whereas the rule stores the earlier
// transition of the calendar year as A: in the south the two groups swap.
// A selection changes the rule in memory at once; "Applica" puts it in force,
// "Ok" also saves it, "Annulla" drops every edit by reading the file again.

#include "core/state.h"
#include "core/view.h"

#include <array>
#include <string_view>

namespace vemar {

class Program;

constexpr int kRuleLists = 6;   // three lists for the start, three for the end

// The rule field that list `combo` (0 .. 5) edits: lists 0..2 month,
// week, weekday of "Inizio ", lists 3..5 those of "Fine ".
int& RuleField(DstRule& rule, Hemisphere hemisphere, int combo);
int RuleField(const DstRule& rule, Hemisphere hemisphere, int combo);
// How many entries list `combo` holds: 12 months, 5 weeks, 7 weekdays.
int RuleListSize(int combo);
// Entry `index` of list `combo`: "Marzo", "5", "Domenica".
std::string_view RuleListEntry(int combo, int index);

struct RuleView {
    ControlView form;                           // the caption names the hemisphere
    ControlView startFrame, endFrame;                 // "Inizio ", "Fine "
    // The label before each list.
    std::array<ControlView, kRuleLists> label;
    std::array<ControlView, kRuleLists> combo;  // the lists' colours and what a screen reader says of them
    std::array<int, kRuleLists> selected{};     // the entry each list shows
    ControlView annullaButton, okButton, applicaButton;   // "Annulla", "Ok", "Applica"
};

class RuleDialogLogic {
public:
    explicit RuleDialogLogic(Program& program);

    const RuleView& view() const { return v_; }

    void load();                          // Form_Load; reads Parleg.dat
    // The user chose entry `index` of list `combo` (0 = the start's month).
    void select(int combo, int index);
    void applyClick();                    // "Applica"
    // "Ok": saves; true when the window may close, false when the save
    // failed and the lists stay as chosen.
    bool okClick();
    void cancelClick();                   // "Annulla": the window then closes
    // The close box runs none of the three: the rule stays as edited.

private:
    void setupStaticView();
    void euguaglia();
    void conApl();

    Program& program_;
    RuleView v_;
    DstRule snapshot_;   // the rule as loaded or last applied
};

} // namespace vemar
