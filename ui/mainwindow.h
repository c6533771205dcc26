#pragma once
// Form1, the main window: renders the program's view and forwards every
// click, keystroke and timer event to the core.

#include "viewbinder.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QDialog;
class QLineEdit;
class QTimer;

namespace vemar {
class Program;
}

namespace vemar::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Program& program, QWidget* parent = nullptr);

    // The timer of the real program: 64 ticks a second (16 ms), the rate the
    // start-up count was designed for.
    void startClock();
    // One tick of the clock, then a render of everything that changed.
    void tickOnce();
    void render();
    void centreOnScreen();
    void showStartupPicture();

    Program& program() { return program_; }
    // Form1 and every modal window open over it, the topmost last.
    QList<QWidget*> openWindows() const;

signals:
    // A fatal file error was reported: the program must end with status 1.
    void failed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(QWidget* client);
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, std::string_view caption,
                     const MenuItemView* view);
    // Runs a command of the core, then renders and checks for a fatal error.
    template <class Fn> void command(Fn&& fn);
    void showModal(QDialog* dialog);
    void openInformation();
    void openHelp();

    Program& program_;
    ViewBinder binder_;
    QTimer* timer_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPointer<QDialog> startupPicture_;
    QList<QPointer<QDialog>> dialogs_;
    bool shutDownDone_ = false;
};

} // namespace vemar::ui
