#pragma once
// A running program over a fresh working directory seeded from data/, with a
// fixed clock and recorded effects, driven through the real windows.

#include "core/program.h"
#include "tools/driver.h"
#include "tools/scriptedplatform.h"
#include "ui/main/application.h"
#include "ui/main/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vemar::test {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

struct RunningProgram {
    QTemporaryDir dir;
    ui::ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    std::unique_ptr<ui::MainWindow> window;
    std::unique_ptr<ui::Driver> driver;
    bool started = false;

    // at: "2024-06-21T22:00:00". Files of data/ are copied unless a test
    // prepares its own before calling start().
    explicit RunningProgram(const QString& at = "2024-06-21T22:00:00") {
        for (const QString& name : QDir(VEMAR_DATA_DIR).entryList(QDir::Files))
            QFile::copy(QDir(VEMAR_DATA_DIR).filePath(name), path(name));
        ui::setClock(platform, at);
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    // Start-up as the program runs it: the window shown, the start-up
    // picture over it, then `ticks` ticks.
    bool start(int ticks = 1) {
        program = std::make_unique<Program>(platform, dir.path().toStdString());
        started = program->startUp();
        window = std::make_unique<ui::MainWindow>(*program);
        driver = std::make_unique<ui::Driver>(*window, platform);
        if (!started) return false;
        window->tickOnce();
        window->show();
        window->showStartupPicture();
        do_(QStringLiteral("ticks:%1").arg(ticks));
        return !program->failed();
    }
    void do_(const QString& action) {
        QString error;
        if (!driver->perform(action, &error)) QTest::qFail(qPrintable(action + ": " + error), __FILE__, __LINE__);
    }
    QJsonObject control(const QString& name) const { return driver->controlsJson()[name].toObject(); }
    QString caption(const QString& name) const { return control(name)["caption"].toString(); }
    // Each "Form1.Text1.caption=1" holds: a control's property as the driver
    // reports it, truth values and numbers as text ("true", "3045").
    void expect(const QStringList& shown) const {
        const QJsonObject controls = driver->controlsJson();
        for (const QString& e : shown) {
            const qsizetype eq = e.indexOf('='), dot = e.lastIndexOf('.', eq);
            const QJsonValue got = controls.value(e.left(dot)).toObject().value(e.mid(dot + 1, eq - dot - 1));
            const QString value = got.isUndefined() ? "<none>" : got.toVariant().toString();
            QVERIFY2(value == e.mid(eq + 1), qPrintable(e + ", but it is " + value));
        }
    }
    // Runs driver actions ("click:Form1.Param", "type:Form9.Text1=45", "ticks:1",
    // "answer:yes", ...) and checks in turn:
    //   "Form9.Text1.caption=45"   a control's property, as expect() reads it
    //   "closed:Form9"             the window is not open
    //   "file:lxp2.par=41,..."     the file's exact bytes
    //   "count:write=1"            how many effects of that kind so far
    void run(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString verb = step.section(':', 0, 0), rest = step.section(':', 1);
            const QString name = rest.section('=', 0, 0), value = rest.mid(rest.indexOf('=') + 1);
            if (step.startsWith("Form")) expect({step});
            else if (verb == "closed") QVERIFY2(!driver->window(rest), qPrintable(step));
            else if (verb == "file") {
                const QByteArray got = readBytes(path(name));
                QVERIFY2(got == value.toUtf8(), qPrintable(step + ", but it is " + QString::fromUtf8(got)));
            }
            else if (verb == "count") QVERIFY2(platform.count(name.toStdString()) == value.toInt(), qPrintable(step));
            else do_(step);
        }
    }
};

} // namespace vemar::test
