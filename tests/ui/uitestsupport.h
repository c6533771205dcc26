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

struct RunningProgram {
    QTemporaryDir dir;
    ui::ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    std::unique_ptr<ui::MainWindow> window;
    std::unique_ptr<ui::Driver> driver;

    // at: "2024-06-21T22:00:00". Files of data/ but fusi.tz (table mode)
    // are copied unless a test writes its own before calling start().
    explicit RunningProgram(const QString& at = "2024-06-21T22:00:00") {
        for (const QString& name : QDir(VEMAR_DATA_DIR).entryList(QDir::Files))
            if (name != QLatin1String(kCityZonesFile)) QFile::copy(QDir(VEMAR_DATA_DIR).filePath(name), path(name));
        ui::setClock(platform, at);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
    }

    // Start-up as the program runs it: the window shown, the start-up
    // picture over it, then `ticks` ticks.
    bool start(int ticks = 1) {
        program = std::make_unique<Program>(platform, dir.path().toStdString());
        const bool started = program->startUp();
        window = std::make_unique<ui::MainWindow>(*program);
        driver = std::make_unique<ui::Driver>(*window, platform);
        if (!started) return false;
        window->tickOnce();
        window->show();
        window->showStartupPicture();
        do_(QStringLiteral("ticks:%1").arg(ticks));
        return !program->failed();
    }
    // Started, with the start-up picture clicked away.
    bool startClear() {
        QString error;
        return start() && driver->perform("click:Form4.Image1", &error);
    }
    void do_(const QString& action) {
        QString error;
        if (!driver->perform(action, &error)) QTest::qFail(qPrintable(action + ": " + error), __FILE__, __LINE__);
    }
    QString caption(const QString& name) const {
        return driver->controlsJson()[name].toObject()["caption"].toString();
    }
    // Runs driver actions ("click:Form1.Param", "type:Form9.Text1=45", "ticks:1",
    // "answer:yes", ...) and checks in turn:
    //   "Form9.Text1.caption=45"   a control's property as the driver reports
    //                              it, truth values and numbers as text
    //   "closed:Form9"             the window is not open
    //   "file:lxp2.par=41,..."     the file's exact bytes
    //   "count:write=1"            how many effects of that kind so far
    //   "sound:Infor.snm"          the last effect played that file
    void run(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString verb = step.section(':', 0, 0), rest = step.section(':', 1);
            const QString name = rest.section('=', 0, 0), value = rest.mid(rest.indexOf('=') + 1);
            QString got = value;
            if (step.startsWith("Form")) {
                const qsizetype eq = step.indexOf('='), dot = step.lastIndexOf('.', eq);
                const QJsonValue shown = driver->controlsJson().value(step.left(dot)).toObject().value(
                    step.mid(dot + 1, eq - dot - 1));
                got = shown.isUndefined() ? "<none>" : shown.toVariant().toString();
                QVERIFY2(got == step.mid(eq + 1), qPrintable(step + ", but it is " + got));
                continue;
            }
            if (verb == "closed") QVERIFY2(!driver->window(rest), qPrintable(step));
            else if (verb == "file") {
                QFile f(path(name));
                got = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "<none>";
            } else if (verb == "count") got = QString::number(platform.count(name.toStdString()));
            else if (verb == "sound" && !platform.effects.empty())
                got = QString::fromStdString(platform.effects.back().file).section('/', -1);
            else do_(step);
            QVERIFY2(got == value, qPrintable(step + ", but it is " + got));
        }
    }
};

} // namespace vemar::test
