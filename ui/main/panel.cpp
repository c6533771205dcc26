#include "ui/main/panel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vemar::ui {

namespace {

// A switch is a push button to a screen reader, with a press; the others
// are what they show, or nothing but a frame.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(Panel* panel)
        : QAccessibleWidget(panel, panel->use() == Panel::Use::Switch  ? QAccessible::Button
                                   : panel->use() == Panel::Use::Bevel ? QAccessible::Separator
                                                                       : QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const QString own = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !own.isEmpty() || panel()->use() == Panel::Use::Bevel) return own;
        return panel()->text();
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (isSwitch() && widget()->isEnabled()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isSwitch() && widget()->isEnabled()) panel()->click();
        else QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() && isSwitch()) return {QKeySequence(Qt::Key_Space).toString()};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    Panel* panel() const { return static_cast<Panel*>(widget()); }
    bool isSwitch() const { return panel()->use() == Panel::Use::Switch; }
};

bool activates(const QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) return false;
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

Panel::Panel(QWidget* parent, Use use) : QLabel(parent), use_(use) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    if (use_ == Use::Switch) setFocusPolicy(Qt::StrongFocus);
}

QAccessibleInterface* Panel::accessibleFor(const QString&, QObject* object) {
    auto* panel = qobject_cast<Panel*>(object);
    return panel ? new PanelAccessible(panel) : nullptr;
}

// A press that slides off the panel before the release is no click, as with
// a button.
void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (use_ == Use::Switch && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    QLabel::mouseReleaseEvent(event);
}

// A key held down switches once, not back and forth at the key's repeat rate.
void Panel::keyPressEvent(QKeyEvent* event) {
    if (use_ != Use::Switch || !activates(event)) return QLabel::keyPressEvent(event);
    if (!event->isAutoRepeat()) click();
}

// The focus shows as the style shows it on a button: a frame inside the
// bevel once the keyboard has moved the focus, so a window only clicked at
// looks as it always did.
void Panel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = contentsRect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

} // namespace vemar::ui
