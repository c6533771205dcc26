#include "ui/widgets/viewbinder.h"

#include "ui/widgets/glyphlabel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace vemar::ui {

void ViewBinder::bind(QWidget* widget, const ControlView* view) {
    controls_.push_back({widget, view, *view, true, false});
}

void ViewBinder::bind(QAction* action, const MenuItemView* view) {
    items_.push_back({action, view, *view, true});
}

void ViewBinder::retypeCaption(QWidget* widget) {
    for (auto& c : controls_)
        if (c.widget == widget) c.captionStale = true;
}

namespace {
void setCaption(QWidget* w, const std::string& caption);
}

void ViewBinder::render() {
    for (auto& c : controls_) {
        if (c.captionStale) {
            setCaption(c.widget, c.view->caption);
            c.captionStale = false;
        }
        if (!c.fresh && *c.view == c.last) continue;
        apply(c.widget, *c.view, c.last, c.fresh);
        c.last = *c.view;
        c.fresh = false;
    }
    for (auto& i : items_) {
        if (!i.fresh && *i.view == i.last) continue;
        i.action->setEnabled(i.view->enabled);
        if (i.action->isCheckable()) i.action->setChecked(i.view->checked);
        i.last = *i.view;
        i.fresh = false;
    }
}

namespace {

void setCaption(QWidget* w, const std::string& caption) {
    const QString text = qs(caption);
    if (w->isWindow()) {
        w->setWindowTitle(text);
    } else if (auto* glyphs = qobject_cast<GlyphLabel*>(w)) {
        glyphs->showText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // The box may already show it (the user just typed it): setting it
        // again would move the caret.
        if (edit->text() != text) edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(text);
    }
}

// Text colours are set for the active and inactive states only, so that a
// disabled control keeps the style's greyed text and looks disabled.
void setColours(QWidget* w, Rgb text, Rgb back) {
    QPalette p = w->palette();
    const QColor fg = toQColor(text), bg = toQColor(back);
    auto setText = [&](QPalette::ColorRole role) {
        p.setColor(QPalette::Active, role, fg);
        p.setColor(QPalette::Inactive, role, fg);
    };
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
        p.setColor(QPalette::Base, bg);
        setText(QPalette::Text);
        setText(QPalette::ButtonText);
    } else if (qobject_cast<QAbstractButton*>(w) && !w->inherits("QRadioButton") &&
               !w->inherits("QCheckBox")) {
        p.setColor(QPalette::Button, bg);
        setText(QPalette::ButtonText);
    } else if (w->inherits("QRadioButton") || w->inherits("QCheckBox")) {
        // The mark sits on the style's light indicator: it takes the caption's
        // colour when that shows there, and the application's text colour
        // when the caption is light (white captions on a dark scheme), or the
        // chosen option could not be told from the others. It is set here
        // rather than inherited, since the frame around passes on its own.
        for (auto role : {QPalette::Window, QPalette::Button}) p.setColor(role, bg);
        setText(QPalette::WindowText);
        const QColor mark = fg.lightness() < 160 ? fg : QApplication::palette().color(QPalette::Text);
        for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::Text, mark);
        p.setColor(QPalette::Disabled, QPalette::Text, QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        w->setAutoFillBackground(true);
    } else {
        for (auto role : {QPalette::Window, QPalette::Button}) p.setColor(role, bg);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) setText(role);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

// Tab stops at the chosen option of a group, as on any desktop, and the
// arrows move among the options; Qt would stop at the first one.
void tabStopsAt(QAbstractButton* chosen) {
    for (auto* option : chosen->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (!option->autoExclusive() || !option->isCheckable()) continue;
        const Qt::FocusPolicy policy = option->focusPolicy();
        option->setFocusPolicy(option == chosen ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

void setFontSize(QWidget* w, int points) {
    QFont f = w->font();
    const qreal size = points > 0 ? points : QApplication::font().pointSizeF();
    if (f.pointSizeF() != size) {
        f.setPointSizeF(size);
        w->setFont(f);
    }
}

} // namespace

void ViewBinder::apply(QWidget* w, const ControlView& now, const ControlView& last, bool all) {
    if (all || now.caption != last.caption) setCaption(w, now.caption);
    if (all || now.tooltip != last.tooltip) w->setToolTip(qs(now.tooltip));
    // Each is sent to a screen reader as it changes. An empty one is never
    // set at the first render: the widget's own stands (a time label's).
    if (now.accessibleName != last.accessibleName || (all && !now.accessibleName.empty()))
        w->setAccessibleName(qs(now.accessibleName));
    if (now.accessibleDescription != last.accessibleDescription || (all && !now.accessibleDescription.empty()))
        w->setAccessibleDescription(qs(now.accessibleDescription));
    if (all || now.textColour != last.textColour || now.backColour != last.backColour)
        setColours(w, now.textColour, now.backColour);
    if (all || now.fontSize != last.fontSize) setFontSize(w, now.fontSize);
    if (all || now.enabled != last.enabled) w->setEnabled(now.enabled);
    if (!w->isWindow() && (all || now.visible != last.visible)) w->setVisible(now.visible);
    if (all || now.checked != last.checked) {
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
            const QSignalBlocker block(button);
            // An option of a group is unchecked by checking another: the core
            // may also leave none checked.
            const bool exclusive = button->autoExclusive();
            button->setAutoExclusive(exclusive && now.checked);
            button->setChecked(now.checked);
            button->setAutoExclusive(exclusive);
            if (exclusive && now.checked) tabStopsAt(button);
        }
    }
}

} // namespace vemar::ui
