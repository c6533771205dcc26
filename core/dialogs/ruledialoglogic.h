#pragma once
// The summer-time rule dialog (Form10). "Inizio " always shows the start of
// summer time and "Fine " its end, whereas the rule stores the earlier
// transition of the calendar year as A: in the south the two groups swap.
// A selection changes the rule in memory at once; "Applica" puts it in force,
// "Ok" also saves it, "Annulla" drops every edit by reading the file again.

#include "core/state.h"
#include "core/view.h"

#include <array>

namespace vemar {

class Program;

constexpr int kRuleLists = 6;   // Combo1..Combo6

// The rule field that list `combo` (0 = Combo1 .. 5 = Combo6) edits:
// Combo1..3 month, week, weekday of "Inizio ", Combo4..6 those of "Fine ".
int& RuleField(DstRule& rule, Hemisphere hemisphere, int combo);
int RuleField(const DstRule& rule, Hemisphere hemisphere, int combo);
// How many entries list `combo` holds: 12 months, 5 weeks, 7 weekdays.
int RuleListSize(int combo);

struct RuleView {
    ControlView form;                           // the caption names the hemisphere
    ControlView startFrame, endFrame;                 // "Inizio ", "Fine "
    // The label before each list: Label1..3 before Combo1..3, then Label6,
    // Label5, Label4 before Combo4..6.
    std::array<ControlView, kRuleLists> label;
    std::array<ControlView, kRuleLists> combo;  // colours of Combo1..Combo6
    std::array<int, kRuleLists> selected{};     // the entry each list shows
    ControlView annullaButton, okButton, applicaButton;   // "Annulla", "Ok", "Applica"
};

class RuleDialogLogic {
public:
    explicit RuleDialogLogic(Program& program);

    const RuleView& view() const { return v_; }

    void load();                          // Form_Load; reads Parleg.dat
    // The user chose entry `index` of list `combo` (0 = Combo1).
    void select(int combo, int index);
    void applyClick();                    // "Applica"
    void okClick();                       // "Ok": saves; the window then closes
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
