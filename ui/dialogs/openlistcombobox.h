#pragma once

#include <QComboBox>

class QAccessibleInterface;

namespace vemar::ui {

// A list that changes only while it is open: closed, it ignores every key
// but Alt+Down, which opens it, and the wheel, so that a key meant for the
// dialog or a scroll past it never changes the rule. Open, the arrows move
// through the entries, Enter chooses one and Esc closes it without choosing;
// a click on an entry chooses as always.
class OpenListComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit OpenListComboBox(QWidget* parent = nullptr);

    // The list as a screen reader sees it, named by what it chooses (Qt names
    // a list by its entry on Linux); for QAccessible::installFactory.
    static QAccessibleInterface* accessibleFor(const QString& className, QObject* object);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vemar::ui
