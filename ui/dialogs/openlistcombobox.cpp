#include "ui/dialogs/openlistcombobox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QWheelEvent>

namespace vemar::ui {

namespace {

bool opens(const QKeyEvent* event) {
    return event->key() == Qt::Key_Down && (event->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

// Keys the open list acts on; Alt+Down closes it again.
bool choosesInOpenList(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

// Name and description as the view gave them, the entry as the value, and
// the open list as the one child, as Qt's own list shows it.
class OpenListAccessible : public QAccessibleWidget {
public:
    explicit OpenListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? list()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& name) override {
        if (name != showMenuAction()) return QAccessibleWidget::doAction(name);
        list()->view()->isVisible() ? list()->hidePopup() : list()->showPopup();
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

} // namespace

OpenListComboBox::OpenListComboBox(QWidget* parent) : QComboBox(parent) {
    // view() creates the popup, whose own filter on the view chooses the
    // current entry on Enter; a filter installed later runs first.
    view()->installEventFilter(this);
}

QAccessibleInterface* OpenListComboBox::accessibleFor(const QString&, QObject* object) {
    auto* list = qobject_cast<OpenListComboBox*>(object);
    return list ? new OpenListAccessible(list) : nullptr;
}

// Ignored rather than accepted: the dialog still sees Esc and Enter.
void OpenListComboBox::keyPressEvent(QKeyEvent* event) {
    if (!opens(event)) return event->ignore();
    showPopup();
}
void OpenListComboBox::keyReleaseEvent(QKeyEvent* event) { event->ignore(); }
void OpenListComboBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

bool OpenListComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
                              event->type() == QEvent::ShortcutOverride)) {
        if (!choosesInOpenList(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace vemar::ui
