// vemar-snapshot: builds the real main window offscreen over a working
// directory at a fixed local date and time, runs ticks, performs actions as a
// user would, and writes a PNG of the window and a JSON file of every open
// window's controls and of the effects so far.
//
//   vemar-snapshot --dir DIR [--zone NAME] --at 2024-06-21T22:00:00 --ticks 60 [--do ACTION]...
//                  [--png out.png] [--png-all DIR] [--json out.json]
//
// --zone sets the system's zone (TZ) the program sees; --at is the home
// clock's reading, its instant following from that zone. --utc gives the
// instant instead, in universal time. The system's time-zone database is
// attached as the program attaches it, so rows that fusi.tz names follow it.

#include "core/firststart.h"
#include "core/program.h"
#include "core/time/systemzones.h"
#include "tools/driver.h"
#include "tools/scriptedplatform.h"
#include "ui/main/application.h"
#include "ui/main/mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <cstdio>

namespace {

struct Options {
    QString dir = ".", zone, firstStart, at, utc, png, pngAll, json;
    int ticks = 0;
    QStringList actions;
    bool help = false;
};

constexpr const char* kUsage =
    "usage: vemar-snapshot --dir DIR [--zone NAME] [--first-start DATA] (--at|--utc) YYYY-MM-DDTHH:MM:SS\n"
    "                      [--ticks N] [--do ACTION]... [--png FILE] [--png-all DIR] [--json FILE]\n"
    "Builds the main window offscreen over DIR (made by a first start from the installed data DATA,\n"
    "when given), the system's zone NAME (TZ), with its clock at --at\n"
    "(the home clock's reading, its instant from that zone) or --utc, runs N ticks, performs each\n"
    "ACTION as a user would (click:, type:, key:, answer:, close:, ticks:, zone:, at:, utc:), then\n"
    "writes a PNG of the window, one PNG per open window, and a JSON file of every control and of\n"
    "the effects.\n";

int usage(const char* why) {
    std::fprintf(stderr, "vemar-snapshot: %s\n%s", why, kUsage);
    return 64;
}

bool parse(const QStringList& args, Options& o) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            return true;
        }
        if (i + 1 >= args.size()) return false;
        const QString value = args[++i];
        if (a == "--dir") o.dir = value;
        else if (a == "--zone") o.zone = value;
        else if (a == "--first-start") o.firstStart = value;
        else if (a == "--at") o.at = value;
        else if (a == "--utc") o.utc = value;
        else if (a == "--ticks") o.ticks = value.toInt();
        else if (a == "--do") o.actions << value;
        else if (a == "--png") o.png = value;
        else if (a == "--png-all") o.pngAll = value;
        else if (a == "--json") o.json = value;
        else return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vemar::ui::setUpLook(app);

    Options o;
    if (!parse(app.arguments(), o)) return usage("bad arguments");
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    vemar::ui::ScriptedPlatform platform;
    if (!o.zone.isEmpty()) vemar::ui::setSystemZone(o.zone.toStdString());
    QString clockError;
    if (!o.at.isEmpty() && !vemar::ui::setClock(platform, o.at, &clockError))
        return usage(qPrintable("--at: " + clockError));
    if (!o.utc.isEmpty() && !vemar::ui::setInstant(platform, o.utc, &clockError))
        return usage(qPrintable("--utc: " + clockError));

    if (!o.firstStart.isEmpty()) {
        const auto now = platform.clock.instant.value_or(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
        for (const std::string& line : vemar::PrepareSettingsDir(o.dir.toStdString(), o.firstStart.toStdString(),
                                                                   "/usr/share/zoneinfo", now.time_since_epoch().count()))
            std::fprintf(stderr, "vemar-snapshot: %s\n", line.c_str());
    }
    const vemar::SystemZoneDatabase zones;
    vemar::Program program(platform, o.dir.toStdString());
    if (!o.firstStart.isEmpty()) program.setDataDir(o.firstStart.toStdString());
    vemar::ui::MainWindow window(program);
    vemar::ui::Driver driver(window, platform);
    auto finish = [&](int status) {
        if (!o.json.isEmpty()) {
            QFile out(o.json);
            if (!out.open(QIODevice::WriteOnly)) return usage("cannot write the JSON file");
            out.write(QJsonDocument(driver.json()).toJson());
        }
        if (!o.png.isEmpty() && !driver.savePng(o.png)) return usage("cannot write the PNG file");
        if (!o.pngAll.isEmpty() && !driver.savePngAll(o.pngAll)) return usage("cannot write the PNGs");
        return status;
    };

    if (program.startUp()) {
        program.attachZoneDatabase(zones);
        window.tickOnce();
        window.show();
        window.showStartupPicture();
        QString error;
        if (!driver.perform(QStringLiteral("ticks:%1").arg(o.ticks), &error)) return usage(qPrintable(error));
        for (const QString& action : o.actions) {
            if (program.failed()) break;
            if (!driver.perform(action, &error)) return usage(qPrintable(action + ": " + error));
        }
    }
    return finish(program.failed() ? 2 : 0);
}
