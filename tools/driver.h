#pragma once
// Drives the real windows as a user would, without a display: the snapshot
// tool and the UI tests perform actions through it and read back what every
// open window shows.

#include <QJsonObject>
#include <QList>
#include <QString>

class QWidget;

namespace vemar::ui {

class MainWindow;
class ScriptedPlatform;

class Driver {
public:
    Driver(MainWindow& window, ScriptedPlatform& platform);

    // ticks:N, zone:Europe/Rome (the system's zone from here on), at:YYYY-MM-DDTHH:MM:SS (the home clock),
    // utc:YYYY-MM-DDTHH:MM:SS, click:Form1.SSCommand1, click:Form1.UpDown1:up,
    // click:Form10.Combo1=Marzo, type:Form1.Text1=1a3, key:Form10.Combo1=Down,
    // answer:yes|no, close:Form1. Returns false with a reason for a malformed
    // action or a control that does not exist.
    bool perform(const QString& action, QString* error);

    QWidget* window(const QString& name) const;
    QWidget* control(const QString& qualifiedName) const;   // "Form1.Label2(5)"
    QList<QWidget*> openWindows() const;

    QJsonObject controlsJson() const;
    QJsonObject json() const;   // {"controls": ..., "effects": ...}
    bool savePng(const QString& path) const;          // the topmost window
    bool savePngAll(const QString& directory) const;  // one per open window

private:
    bool performOne(const QString& action, QString* error);
    bool click(const QString& target, QString* error);
    bool type(const QString& target, QString* error);
    bool key(const QString& target, QString* error);

    MainWindow& window_;
    ScriptedPlatform& platform_;
};

// Sets the platform's clock to the home clock's reading "2024-06-21T22:00:00".
// The instant follows from the process's TZ: the earlier one in a repeated
// hour; a reading in a skipped hour is refused. False with a reason.
bool setClock(ScriptedPlatform& platform, const QString& iso, QString* error = nullptr);
// Sets the platform's clock to the instant "2026-03-29T01:30:00" of universal
// time, read on the clock of the process's TZ.
bool setInstant(ScriptedPlatform& platform, const QString& iso, QString* error = nullptr);

} // namespace vemar::ui
