#pragma once
// "Caratteri Per le Date": two one-character boxes and three buttons;
// the window shows the core dialog's view and forwards every event to it.

#include "core/dialogs/datecharslogic.h"
#include "ui/widgets/viewbinder.h"

#include <QDialog>

class QLineEdit;

namespace vemar {
class Program;
}

namespace vemar::ui {

class DateCharsDialog : public QDialog {
    Q_OBJECT
public:
    DateCharsDialog(Program& program, QWidget* parent = nullptr);

private:
    QLineEdit* makeBox(const char* name, const ControlView& view, int top);
    void boxEdited(QLineEdit* box, const QString& text,
                   void (DateCharsLogic::*changed)(std::string_view));
    // Runs an event of the core, shows the result and closes when it asks to.
    template <class Fn> void handle(Fn&& fn);

    DateCharsLogic dialog_;
    ViewBinder binder_;
};

} // namespace vemar::ui
