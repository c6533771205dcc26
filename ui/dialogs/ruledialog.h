#pragma once
// Form10: the summer-time rule seen from the user's hemisphere. The lists
// change only by mouse; the core maps each choice onto the rule.

#include "core/dialogs/ruledialoglogic.h"
#include "ui/support/viewbinder.h"

#include <QComboBox>
#include <QDialog>
#include <array>

namespace vemar {
class Program;
}

namespace vemar::ui {

// A list that no key and no wheel can change: key presses on the list and
// in its open popup are eaten (Tab moves on and Esc closes the popup as
// usual), so a selection is made only by a mouse click on an entry.
class MouseOnlyComboBox : public QComboBox {
public:
    explicit MouseOnlyComboBox(QWidget* parent = nullptr);
protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

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
