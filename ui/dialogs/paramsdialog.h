#pragma once
// "Parametri": the place, the half-hour zone and automatic summer
// time. The boxes forward every keystroke to the core, which edits the shared
// settings at once; the window shows what the core decided.

#include "core/dialogs/paramsdialoglogic.h"
#include "ui/widgets/viewbinder.h"

#include <QDialog>
#include <array>

class QAbstractButton;
class QLineEdit;

namespace vemar {
class Program;
}

namespace vemar::ui {

class ParamsDialog : public QDialog {
    Q_OBJECT
public:
    ParamsDialog(Program& program, QWidget* parent = nullptr);

    // Esc and the buttons end here, the close box in closeEvent: both put the
    // settings back unless OK saved them, exactly once.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void edited(QLineEdit* box, void (ParamsDialogLogic::*changed)(std::string_view), const QString& typed);
    void render();
    void unloadOnce();

    ParamsDialogLogic logic_;
    ViewBinder binder_;
    std::array<QAbstractButton*, 3> framedButtons_{};   // "Si", "No" and the check box
    bool unloaded_ = false;
};

} // namespace vemar::ui
