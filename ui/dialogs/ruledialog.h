#pragma once
// The summer-time rule seen from the user's hemisphere. The lists
// change only while open (a click, or Alt+Down); the core maps each choice
// onto the rule.

#include "core/dialogs/ruledialoglogic.h"
#include "ui/widgets/viewbinder.h"

#include <QComboBox>
#include <QDialog>
#include <array>

namespace vemar {
class Program;
}

namespace vemar::ui {

class RuleDialog : public QDialog {
    Q_OBJECT
public:
    RuleDialog(Program& program, QWidget* parent = nullptr);

private:
    void buildControls();
    void render();

    RuleDialogLogic logic_;
    ViewBinder binder_;
    std::array<QComboBox*, kRuleLists> combos_{};
};

} // namespace vemar::ui
