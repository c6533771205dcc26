#include "driver.h"

#include "core/program.h"
#include "scriptedplatform.h"
#include "ui/main/mainwindow.h"
#include "ui/main/panel.h"
#include "ui/main/updown.h"
#include "ui/widgets/twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace vemar::ui {

namespace {


QString colourName(const QColor& c) { return c.name(QColor::HexRgb); }

QString captionOf(const QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
    if (auto* t = qobject_cast<const QTextEdit*>(w)) return t->toPlainText();
    return {};
}

bool isBox(const QWidget* w) { return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) || qobject_cast<const QTextEdit*>(w); }
bool isPushButton(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) && !w->inherits("QRadioButton") && !w->inherits("QCheckBox");
}

QJsonObject describe(const QWidget* w, const QWidget* window) {
    // The main window's colours are those of its client area.
    const auto* main = qobject_cast<const QMainWindow*>(w);
    const QPalette& p = main && main->centralWidget() ? main->centralWidget()->palette() : w->palette();
    const QColor text = isBox(w) ? p.color(QPalette::Text)
                        : isPushButton(w) ? p.color(QPalette::ButtonText) : p.color(QPalette::WindowText);
    const QColor back = isBox(w) ? p.color(QPalette::Base)
                        : isPushButton(w) ? p.color(QPalette::Button) : p.color(QPalette::Window);
    QRect g = w->geometry();
    if (w->isWindow()) {
        g = QRect(w->pos(), main && main->centralWidget() ? main->centralWidget()->size() : w->size());
    }
    auto* button = qobject_cast<const QAbstractButton*>(w);
    return QJsonObject{
        {"caption", captionOf(w)},
        {"tooltip", w->toolTip()},
        {"textColour", colourName(text)},
        {"backColour", colourName(back)},
        {"fontSize", w->font().pointSizeF()},
        {"enabled", w->isEnabled()},
        {"visible", w->isWindow() ? w->isVisible() : w->isVisibleTo(window)},
        {"checked", button ? button->isChecked() : false},
        {"left", g.x() * kTwipsPerPixel},
        {"top", g.y() * kTwipsPerPixel},
        {"width", g.width() * kTwipsPerPixel},
        {"height", g.height() * kTwipsPerPixel},
    };
}

// Parts of a composite control (the halves of UpDown1) are not controls of their own.
bool isNamedControl(const QWidget* w) {
    const QString name = w->objectName();
    if (name.isEmpty() || name.startsWith("qt_") || name == "client") return false;
    return !qobject_cast<const UpDown*>(w->parentWidget());
}

} // namespace

Driver::Driver(MainWindow& window, ScriptedPlatform& platform) : window_(window), platform_(platform) {}

namespace {

// "2024-06-21T22:00:00" as the fields of a clock reading; false when malformed.
bool parseReading(const QString& iso, ClockReading& reading) {
    // Date and time apart: a QDateTime of the local zone is invalid in an
    // hour the clock skips, which is for the caller to refuse with its reason.
    const QDate date = QDate::fromString(iso.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(iso.mid(11), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid() || iso.size() != 19 || iso[10] != QLatin1Char('T')) return false;
    reading = {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
    return true;
}

} // namespace

bool setClock(ScriptedPlatform& platform, const QString& iso, QString* error) {
    ClockReading reading;
    if (!parseReading(iso, reading)) return error && (*error = "YYYY-MM-DDTHH:MM:SS expected", false);
    const ReadingInstant instant = InstantOfReading(reading);
    if (instant.skipped) return error && (*error = iso + " falls in the hour the clock of TZ skips", false);
    reading.instant = instant.instant;
    platform.clock = reading;
    return true;
}

bool setInstant(ScriptedPlatform& platform, const QString& iso, QString* error) {
    ClockReading utc;
    if (!parseReading(iso, utc)) return error && (*error = "YYYY-MM-DDTHH:MM:SS (universal time) expected", false);
    platform.clock = ReadingAt(StartOfDay({utc.day, utc.month, utc.year}) +
                               std::chrono::seconds{utc.hour * 3600 + utc.minute * 60 + utc.second});
    return true;
}

QList<QWidget*> Driver::openWindows() const { return window_.openWindows(); }

QWidget* Driver::window(const QString& name) const {
    for (QWidget* w : openWindows())
        if (w->objectName() == name) return w;
    return nullptr;
}

QWidget* Driver::control(const QString& qualifiedName) const {
    const QString windowName = qualifiedName.section('.', 0, 0);
    const QString name = qualifiedName.section('.', 1);
    QWidget* w = window(windowName);
    if (!w || name.isEmpty()) return w;
    return w->findChild<QWidget*>(name);
}

bool Driver::perform(const QString& action, QString* error) {
    // Without a running timer the main window renders after each action, as
    // the running window's immediate tick after a user action would.
    const bool ok = performOne(action, error);
    window_.render();
    return ok;
}

bool Driver::performOne(const QString& action, QString* error) {
    const QString verb = action.section(':', 0, 0);
    const QString rest = action.section(':', 1);
    if (verb == "ticks") {
        bool ok = false;
        const int n = rest.toInt(&ok);
        if (!ok || n < 0) return *error = "ticks: a whole number expected", false;
        for (int i = 0; i < n && !window_.program().failed(); ++i) window_.tickOnce();
        return true;
    }
    if (verb == "zone") {
        if (rest.isEmpty()) return *error = "zone: a zone's name expected", false;
        setSystemZone(rest.toStdString());
        return true;
    }
    if (verb == "at") return setClock(platform_, rest, error);
    if (verb == "utc") return setInstant(platform_, rest, error);
    if (verb == "answer") {
        if (rest != "yes" && rest != "no") return *error = "answer: yes or no", false;
        platform_.answers.push_back(rest == "yes");
        return true;
    }
    if (verb == "close") {
        QWidget* w = window(rest);
        if (!w) return *error = "close: no open window " + rest, false;
        w->close();
        QApplication::processEvents();
        return true;
    }
    if (verb == "click") return click(rest, error);
    if (verb == "type") return type(rest, error);
    if (verb == "key") return key(rest, error);
    *error = "unknown action " + verb;
    return false;
}

bool Driver::click(const QString& target, QString* error) {
    const QString path = target.section('=', 0, 0);
    const QString entry = target.section('=', 1);
    const QString windowName = path.section('.', 0, 0);
    QString name = path.section('.', 1);
    QString part;
    if (name.contains(':')) {
        part = name.section(':', 1);
        name = name.section(':', 0, 0);
    }
    QWidget* w = window(windowName);
    if (!w) return *error = "no open window " + windowName, false;
    if (auto* action = w->findChild<QAction*>(name)) {
        // A disabled menu item cannot be chosen.
        if (action->isEnabled()) action->trigger();
        QApplication::processEvents();
        return true;
    }
    QWidget* c = w->findChild<QWidget*>(name);
    if (!c) return *error = "no control " + path, false;
    if (auto* upDown = qobject_cast<UpDown*>(c)) {
        if (part != "up" && part != "down") return *error = "UpDown: :up or :down", false;
        c = part == "up" ? static_cast<QWidget*>(upDown->upButton()) : upDown->downButton();
    }
    if (auto* combo = qobject_cast<QComboBox*>(c)) {
        const int index = combo->findText(entry);
        if (index < 0) return *error = "no entry " + entry + " in " + path, false;
        if (combo->isEnabled()) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        }
        return true;
    }
    QTest::mouseClick(c, Qt::LeftButton, Qt::NoModifier, c->rect().center());
    QApplication::processEvents();
    return true;
}

bool Driver::type(const QString& target, QString* error) {
    const QString path = target.section('=', 0, 0);
    const QString text = target.section('=', 1);
    QWidget* c = control(path);
    auto* edit = qobject_cast<QLineEdit*>(c);
    if (!edit) return *error = "no text box " + path, false;
    edit->setFocus();
    edit->selectAll();
    if (!edit->text().isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar ch : text) {
        // QTest knows key codes for ASCII only; any other character arrives
        // as a key without a code that carries its text, as an input method sends it.
        if (ch.unicode() < 128) QTest::keyClicks(edit, QString(ch));
        else QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QApplication::processEvents();
    return true;
}

bool Driver::key(const QString& target, QString* error) {
    const QString path = target.section('=', 0, 0);
    const QString keyName = target.section('=', 1);
    QWidget* c = control(path);
    if (!c) return *error = "no control " + path, false;
    const QKeySequence sequence(keyName);
    if (sequence.isEmpty()) return *error = "unknown key " + keyName, false;
    const QKeyCombination combo = sequence[0];
    QTest::keyClick(c, combo.key(), combo.keyboardModifiers());
    QApplication::processEvents();
    return true;
}

QJsonObject Driver::controlsJson() const {
    QJsonObject controls;
    for (QWidget* w : openWindows()) {
        const QString prefix = w->objectName();
        controls[prefix] = describe(w, w);
        for (QWidget* c : w->findChildren<QWidget*>())
            if (isNamedControl(c) && c->window() == w) controls[prefix + "." + c->objectName()] = describe(c, w);
        for (QAction* a : w->findChildren<QAction*>()) {
            if (a->objectName().isEmpty() || a->objectName().startsWith("qt_")) continue;
            controls[prefix + "." + a->objectName()] = QJsonObject{
                {"caption", a->text()}, {"enabled", a->isEnabled()}, {"checked", a->isChecked()},
                {"visible", a->isVisible()}};
        }
    }
    return controls;
}

QJsonObject Driver::json() const {
    QJsonArray effects;
    for (const Effect& e : platform_.effects) {
        QJsonObject o{{"kind", QString::fromStdString(e.kind)}};
        if (e.kind == "sound" || e.kind == "write" || e.kind == "fatal") o["file"] = QString::fromStdString(e.file);
        if (e.kind == "fatal") o["message"] = QString::fromStdString(e.message);
        if (e.kind == "saveFailed") o["text"] = QString::fromStdString(e.text);
        if (e.kind == "question") {
            o["text"] = QString::fromStdString(e.text);
            o["title"] = QString::fromStdString(e.title);
            o["answer"] = e.answer ? "yes" : "no";
            QJsonArray buttons;
            for (const std::string& b : e.buttons) buttons.append(QString::fromStdString(b));
            o["buttons"] = buttons;
        }
        effects.append(o);
    }
    return QJsonObject{{"controls", controlsJson()}, {"effects", effects}};
}

// The topmost window, with the pop-up lists open over it (a completion's
// suggestions), which are windows of their own.
bool Driver::savePng(const QString& path) const {
    const auto windows = openWindows();
    if (windows.isEmpty()) return false;
    QWidget* top = windows.last();
    QPixmap picture = top->grab();
    QPainter painter(&picture);
    for (QWidget* popup : QApplication::topLevelWidgets())
        if (popup->isVisible() && popup->windowType() == Qt::Popup)
            painter.drawPixmap(popup->mapToGlobal(QPoint()) - top->mapToGlobal(QPoint()), popup->grab());
    painter.end();
    return picture.save(path);
}

bool Driver::savePngAll(const QString& directory) const {
    QDir().mkpath(directory);
    bool ok = true;
    for (QWidget* w : openWindows()) ok = w->grab().save(QDir(directory).filePath(w->objectName() + ".png")) && ok;
    return ok;
}

} // namespace vemar::ui
