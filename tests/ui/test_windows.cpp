// Real widgets over a running program, driven by clicks, typing and keys: each window renders the core's view
// and forwards each event once; what only widgets decide (layout, keys, caret, focus, timer, painting) is here.

#include "core/program.h"
#include "core/time/systemzones.h"
#include "tools/driver.h"
#include "tools/scriptedplatform.h"
#include "ui/main/application.h"
#include "ui/main/mainwindow.h"
#include "ui/system/singleinstance.h"

#include <QTest>
#include <QtWidgets>

#include <thread>

using namespace vemar;

namespace {

// The program started as it starts itself (the window shown, the start-up picture over it, one tick) at
// 22:00 on 21 June 2024, in a fresh directory holding data/ but fusi.tz (table mode); or, on a machine in
// Rome (TZ), with fusi.tz and the system's time-zone database (database mode).
struct Running {
    QTemporaryDir dir;
    ui::ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    std::unique_ptr<ui::MainWindow> window;
    std::unique_ptr<ui::Driver> driver;
    bool databaseMode;

    explicit Running(bool databaseMode = false) : databaseMode(databaseMode) {
        const QDir data(VEMAR_DATA_DIR);
        for (const QString& name : data.entryList(QDir::Files))
            if (databaseMode || name != QLatin1String(kCityZonesFile)) QFile::copy(data.filePath(name), dir.filePath(name));
        if (databaseMode) ui::setSystemZone("Europe/Rome");
        ui::setClock(platform, "2024-06-21T22:00:00");
        program = std::make_unique<Program>(platform, dir.path().toStdString());
        if (!program->startUp()) qFatal("the program did not start");
        static const SystemZoneDatabase zones;
        if (databaseMode) program->attachZoneDatabase(zones);
        window = std::make_unique<ui::MainWindow>(*program), driver = std::make_unique<ui::Driver>(*window, platform);
        window->tickOnce(), window->show(), window->showStartupPicture(), run({"ticks:1"});
    }
    ~Running() { if (databaseMode) qunsetenv("TZ"); }
    // Performs the driver's actions ("click:Form1.Param", "key:Form9.Text1=Return", "answer:yes"...), checks:
    //   "Form9.Text1.caption=45"   a property as the driver reports it, else as Qt's (readOnly)
    //   "closed:Form9"             the window is not open
    //   "file:lxp2.par=41,..."     the file's exact bytes
    //   "count:write=1"            how many effects of that kind so far
    //   "question:Sì,No"           the buttons of the last question asked
    void run(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString verb = step.section(':', 0, 0), rest = step.section(':', 1), name = rest.section('=', 0, 0);
            QString got = "<none>", want = rest.section('=', 1);
            if (step.startsWith("Form")) {
                const qsizetype eq = step.indexOf('='), dot = step.lastIndexOf('.', eq);
                const QString control = step.left(dot), property = step.mid(dot + 1, eq - dot - 1);
                const QJsonValue shown = driver->controlsJson()[control].toObject().value(property);
                if (!shown.isUndefined()) got = shown.toVariant().toString();
                else if (const QWidget* w = driver->control(control))
                    got = w->property(qPrintable(property)).toString();
                want = step.mid(eq + 1);
            } else if (verb == "closed") {
                got = driver->window(rest) ? "open" : "closed", want = "closed";
            } else if (QFile f(dir.filePath(name)); verb == "file") {
                if (f.open(QIODevice::ReadOnly)) got = QString::fromUtf8(f.readAll());
            } else if (verb == "count") {
                got = QString::number(platform.count(name.toStdString()));
            } else if (verb == "question") {
                for (const QJsonValue e : driver->json()["effects"].toArray())
                    if (e["kind"] == "question") got = e["buttons"].toVariant().toStringList().join(',');
                want = rest;
            } else {
                QString error;
                QVERIFY2(driver->perform(step, &error), qPrintable(step + ": " + error));
                continue;
            }
            QVERIFY2(got == want, qPrintable(step + ", but it is " + got));
        }
    }
};

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpLook(*qApp); }
    void scripts_data();
    void scripts() {
        QFETCH(QStringList, steps);
        QFETCH(bool, databaseMode);
        Running(databaseMode).run(steps);
    }

    // A rule's list changes only while open: closed, it ignores keys and the wheel; Alt+Down opens it, the
    // arrows and Enter choose there (a letter does nothing), and a screen reader hears what it holds.
    void ruleListsChangeOnlyWhileOpen() {
        Running p;
        p.run({"click:Form1.Orlega", "key:Form10.Combo1=Down", "key:Form10.Combo5=1", "key:Form10.Combo6=S"});
        QWidget* month = p.driver->control("Form10.Combo1");
        QWheelEvent wheel({5, 5}, month->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(month, &wheel);
        p.run({"Form10.Combo1.caption=Marzo", "Form10.Combo5.caption=5", "Form10.Combo6.caption=Domenica",
               "Form10.SSCommand3.enabled=false", "key:Form10.Combo3=Alt+Down"});
        auto* weekday = qobject_cast<QComboBox*>(p.driver->control("Form10.Combo3"));
        QVERIFY(weekday->view()->isVisible());
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_S, Qt::Key_Return}) QTest::keyClick(weekday->view(), key);
        p.run({"Form10.Combo3.caption=Martedì", "Form10.SSCommand3.enabled=true",
               "Form10.Combo3.accessibleName=Giorno di inizio", "Form10.Combo3.accessibleDescription=Martedì"});
    }

    // "Tabella Fusi" finds a city by its first letters, from the keyboard alone, in an older folder whose
    // fusi.tz lacks the name: it is added when the table is saved, with no "-" line, and the main window
    // shows the city at its real time; Annulla after Salva drops both files' changes.
    void findCityByItsFirstLetters() {
        for (const bool saved : {true, false}) {
            Running p(true);
            p.program->setDataDir(VEMAR_DATA_DIR);
            const std::string kathmandu = "Kathmandu\tAsia/Kathmandu\n";
            const std::string tz = p.dir.filePath(kCityZonesFile).toStdString();
            std::string older = *ReadFileBytes(tz);
            WriteFileAtomic(tz, older.erase(older.find(kathmandu), kathmandu.size()));
            p.run({"click:Form1.Tabfu", "type:Form5.Text2(3)=kat"});
            auto* completer = p.driver->window("Form5")->findChild<QCompleter*>();
            QVERIFY(completer && completer->popup()->isVisible());
            QCOMPARE(completer->popup()->model()->index(0, 0).data().toString(), "Kathmandu  Asia/Kathmandu +5:45");
            QTest::keyClick(completer->popup(), Qt::Key_Down), QTest::keyClick(completer->popup(), Qt::Key_Return);
            p.run({"Form5.Text2(3).caption=Kathmandu", "Form5.Text1(3).caption=+5", "Form5.Text2(3).textColour=#ff0000",
                   "Form5.Text2(3).tooltip= Kathmandu +5:45h Asia/Kathmandu ", "click:Form5.SSCommand1"});
            if (!saved) p.run({"click:Form5.SSCommand2", "Form5.Text2(3).caption=Berlino"});
            p.run({"click:Form5.SSCommand3", "closed:Form5", "ticks:1"});
            QCOMPARE(ReadFileBytes(tz).value_or("<absent>"), saved ? older + kathmandu : older);
            p.run({saved ? "Form1.Label2(3).caption=  1:45:00" : "Form1.Label1(3).caption=Berlino"});
        }
    }

    // The title keeps its large letters and fits whole, whatever face stands in for the designed one.
    void startupTitleFits() {
        Running p;
        auto* title = qobject_cast<QLabel*>(p.driver->control("Form4.Label1"));
        const QSize text = QFontMetrics(title->font()).size(0, title->text());
        QVERIFY(text.width() <= title->width() && text.height() <= title->height() && title->font().pointSizeF() >= 20);
    }

    // A later start brings the window back from the task bar (on X11; Wayland keeps it where it is).
    void laterStartRestoresTheWindow() {
        Running p;
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        ui::SingleInstance running(p.dir.path().toStdString());
        QVERIFY(!running.claim());
        running.serve(p.window.get()), p.window->setWindowState(Qt::WindowMinimized);
        std::atomic<bool> ended = false;
        std::thread later([&] { ended = ui::SingleInstance(p.dir.path().toStdString()).claim() == 0; });
        QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
        later.join();
        QVERIFY(!(p.window->windowState() & Qt::WindowMinimized));
    }

    // Timer1 runs fast through the start-up count, then just after each second; a command or key ticks at once.
    void clockTimer() {
        using namespace std::chrono;
        // Microseconds past a whole second, fast ticks asked for, and the delay in milliseconds.
        const std::tuple<int, bool, int> delays[] = {
            {0, false, 1003}, {1, false, 1003}, {500200, false, 503}, {999999, false, 4}, {500200, true, 16}};
        for (const auto& [us, fast, ms] : delays)
            QCOMPARE(ui::NextTickDelayMs(system_clock::time_point(seconds(1718999999) + microseconds(us)), fast), ms);
        Running p;
        p.window->startClock();
        auto* timer = p.window->findChild<QTimer*>("Timer1");
        QVERIFY(timer && timer->isSingleShot() && timer->timerType() == Qt::PreciseTimer);
        QCOMPARE(timer->interval(), 16);
        const auto slow = [timer] { return timer->isActive() && timer->interval() > 16 && timer->interval() <= 1003; };
        p.run({"ticks:50", "closed:Form4"});   // the start-up count ends, in an even second
        QTRY_VERIFY(slow());
        p.run({"at:2024-06-21T22:00:07"}), p.window->findChild<QPushButton*>("SSCommand1")->click();
        QCOMPARE(timer->interval(), 0);
        QTRY_VERIFY(p.window->findChild<QLabel*>("Label2(0)")->text() == "22:00:07" && slow());
        p.run({"click:Form1.CarDat"});   // a key there may change what the main window shows
        QTRY_VERIFY(slow());
        QTest::keyClick(p.driver->control("Form8.Text1"), Qt::Key_A);
        QCOMPARE(timer->interval(), 0);
    }

    // New texts every second repaint their labels but never lay the window out again.
    void ticksRelayoutNothing() {
        struct LayoutRequests : QObject {
            int seen = 0;
            bool eventFilter(QObject*, QEvent* e) override { return seen += e->type() == QEvent::LayoutRequest, false; }
        } requests;
        Running p;
        p.run({"ticks:50"}), p.window->findChild<QWidget*>("client")->installEventFilter(&requests);
        // Noon in summer ends the morning: the rows, both date lines and the panels change.
        for (const char* at : {"11:59:58", "11:59:59", "12:00:00", "12:00:01"})
            p.run({QStringLiteral("at:2024-06-21T") + at, "ticks:2"});
        p.run({"Form1.SSPanel3.caption=Sabato  22 Giugno 2024"}), QCoreApplication::processEvents();
        QCOMPARE(requests.seen, 0);
    }

    // The chosen hemisphere stands out from the other option at its indicator's centre on any colours: a
    // white caption once made the mark white on its white indicator.
    void chosenOptionShowsOnEveryScheme() {
        for (const char* scheme : {"ticks:1", "click:Form1.grigio"}) {   // dark at the first start, light grey
            Running p;
            p.run({scheme, "ticks:50", "Form1.Option1.checked=true"});
            auto markAt = [&](const char* name) {
                auto* option = qobject_cast<QRadioButton*>(p.driver->control(QString("Form1.") + name));
                QStyleOptionButton style;
                style.initFrom(option);
                const QRect mark = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
                return option->grab().toImage().pixelColor(mark.center()).lightness();
            };
            QVERIFY2(std::abs(markAt("Option1") - markAt("Option2")) > 60, scheme);
        }
    }
};

void WindowsTest::scripts_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("databaseMode");
    // --- The main window. Every kind of control renders its view; a click ends the start-up picture.
    QTest::newRow("first start") << QStringList{
        "Form1.width=10365", "Form1.SSPanel6.left=3045", "Form1.SSPanel6.width=7215", "Form4.width=6480",
        "Form4.height=4470", "Form1.backColour=#000000", "Form1.Label2(0).textColour=#ffffff",
        "Form1.SSCommand1.textColour=#000000", "Form1.Label1(0).caption=Roma", "Form1.Label2(0).caption=22:00:00",
        "Form1.Label2(3).tooltip= Berlino +1h ", "Form1.Nero.enabled=false", "Form1.Option1.checked=true",
        "Form1.Text1.caption=1", "Form4.visible=true", "click:Form4.Image1", "closed:Form4"} << false;
    QTest::newRow("signal: the button, then the menu item") << QStringList{
        "click:Form1.SSCommand1", "Form1.Segnale.checked=true", "click:Form1.Segnale",
        "Form1.SSCommand1.caption=Segnale Orario Disattivato"} << false;
    QTest::newRow("pages: the title, then each menu item, then Space and Enter") << QStringList{
        "click:Form1.SSPanel7", "ticks:1", "Form1.SSPanel7.caption=- Tabella 2 -   Fusi Orari",
        "Form1.Label1(26).caption=Reykjavik", "click:Form1.tabel(2)", "ticks:1", "Form1.Label1(0).caption=Roma",
        "click:Form1.tabel(3)", "ticks:1", "Form1.Label1(0).caption=Lisbona", "key:Form1.SSPanel7=Space",
        "Form1.SSPanel7.caption=- Tabella 1 -   Fusi Orari", "key:Form1.SSPanel7=Enter",
        "Form1.SSPanel7.caption=- Tabella 2 -   Fusi Orari"} << false;
    QTest::newRow("colours: each menu, original colours, undo") << QStringList{
        "click:Form1.Rscuro", "click:Form1.blu", "click:Form1.Gric", "Form1.Label1(0).backColour=#c0c0c0",
        "click:Form1.colorig", "Form1.backColour=#c0c0c0", "click:Form1.Annulla", "Form1.backColour=#800000",
        "Form1.Label2(0).backColour=#000080", "click:Form1.Nero", "Form1.Label1(0).backColour=#000000"} << false;
    // The options are checked by the core alone: a click checks nothing by itself. Esci asks about a
    // changed zone, the buttons in Qt's own Italian texts, which would otherwise stay English.
    QTest::newRow("zone, hemisphere, Esci") << QStringList{
        "type:Form1.Text1=1a3", "Form1.Text1.caption=12", "click:Form1.UpDown1:up", "Form1.Text1.caption=-12",
        "click:Form1.UpDown1:down", "Form1.Text1.caption=12", "click:Form1.Command1", "count:beep=1",
        "click:Form1.Option2", "Form1.Option1.checked=false", "click:Form1.Option1", "Form1.Option2.checked=false",
        "click:Form1.UpDown1:up", "click:Form1.esci(4)", "question:Sì,No"} << false;

    // --- A machine on a journey: its zone changes (the driver's zone: step), the home follows it, and the
    // window shows the new zone box, hemisphere and summer period at once, its files written without a question.
    QTest::newRow("journey: Rome to New York to Sydney") << QStringList{
        "file:casa.tz=Europe/Rome\n", "Form1.Label2(27).caption=20:00:00 ", "zone:America/New_York",
        "utc:2024-06-21T20:00:05", "ticks:1", "Form1.Text1.caption=-5", "Form1.Label2(27).caption=20:00:05 ",
        "Form1.Label2(0).caption=22:00:05", "Form1.Label2(20).caption=16:00:05", "Form1.Command1.enabled=false",
        "Form1.SSPanel6.caption=Ora Legale dal 10 Marzo  al 3 Novembre 2024     (Emisfero Boreale)",
        "file:casa.tz=America/New_York\n", "zone:Australia/Sydney", "utc:2024-06-21T20:01:00", "ticks:1",
        "Form1.Text1.caption=10", "Form1.Option2.checked=true", "Form1.SSPanel5.caption=Ora Solare",
        "Form1.Label2(16).caption=  6:01:00", "file:casa.tz=Australia/Sydney\n", "count:question=0",
        "close:Form1", "count:question=0"} << true;

    // --- The dialogs: Enter confirms and Esc runs Annulla from any box; each opens again on what it saved.
    QTest::newRow("parameters: OK, summer time by hand (by its key), then Enter") << QStringList{
        "click:Form1.Param", "type:Form9.Text4=75", "click:Form9.Option1", "click:Form9.Check1",
        "click:Form9.SSCommand2", "closed:Form9", "file:lxp2.par=41,54,-12,-59,-1,,1,,,0,,0,,,1,0,30,0\r\n",
        "key:Form1.SSPanel5=Space", "Form1.SSPanel5.caption=Ora Solare", "click:Form1.Param", "type:Form9.Text2=5",
        "click:Form9.Option2", "key:Form9.Text2=Return", "closed:Form9",
        "file:lxp2.par=41,5,-12,-59,-1,,0,,,0,,0,,,1,1,0,0\r\n"} << false;
    QTest::newRow("parameters: Annulla, then Esc") << QStringList{
        "click:Form1.Param", "type:Form9.Text1=60", "click:Form9.SSCommand1", "closed:Form9", "click:Form1.Param",
        "Form9.Text1.caption=41", "type:Form9.Text3=100", "key:Form9.Text3=Esc", "closed:Form9", "click:Form1.Param",
        "Form9.Text3.caption=-12", "count:write=0"} << false;
    QTest::newRow("rule: Applica, Esc puts the rule back, Ok, Enter in a list") << QStringList{
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "Form10.SSCommand3.enabled=true", "click:Form10.SSCommand3",
        "Form10.SSCommand3.enabled=false", "key:Form10.Combo6=Esc", "closed:Form10", "count:write=0",
        "Form1.SSPanel6.caption=Ora Legale dal 31 Marzo  al 27 Ottobre 2024     (Emisfero Boreale)",
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "click:Form10.SSCommand2", "closed:Form10",
        "file:Parleg.dat=2,4,6,9,4,0\r\n", "click:Form1.Orlega", "click:Form10.Combo3=Lunedì",
        "key:Form10.Combo3=Return", "closed:Form10", "file:Parleg.dat=2,4,1,9,4,0\r\n"} << false;
    QTest::newRow("date characters: Ok, Default and Annulla, Enter with nothing to confirm, Esc, Enter") << QStringList{
        "click:Form1.CarDat", "Form8.Text1.fontSize=13.5", "type:Form8.Text1=#", "click:Form8.SSCommand2",
        "closed:Form8", "Form1.SSPanel1(0).caption=#", "click:Form1.CarDat", "click:Form8.SSCommand3",
        "Form8.Text1.caption=*", "Form1.SSPanel1(3).caption=°", "click:Form8.SSCommand1", "closed:Form8",
        "Form1.SSPanel1(0).caption=#", "Form1.SSPanel1(3).caption=", "click:Form1.CarDat",
        "Form8.SSCommand2.enabled=false", "key:Form8.Text1=Return", "closed:Form8", "click:Form1.CarDat",
        "type:Form8.Text1=$", "key:Form8.Text1=Esc", "closed:Form8", "Form1.SSPanel1(0).caption=#",
        "click:Form1.CarDat", "type:Form8.Text2=%", "key:Form8.Text2=Return", "closed:Form8",
        "Form1.SSPanel1(3).caption=%"} << false;
    // Information: 900 twips taller than the picture, OK centred below it. Help: lines laid out by leading blanks.
    QTest::newRow("information plays its sound, help never wraps") << QStringList{
        "click:Form1.info(5)", "count:sound=1", "Form3.height=5370", "Form3.SSCommand1.top=4545",
        "Form3.SSCommand1.left=2685", "click:Form3.SSCommand1", "closed:Form3", "click:Form1.help(6)",
        "Form2.RichTextBox1.width=6015", "Form2.RichTextBox1.readOnly=true", "Form2.RichTextBox1.lineWrapMode=NoWrap",
        "click:Form2.SSCommand1", "closed:Form2"} << false;

    // --- The zone table editors: Salva then Esci commits, and the main window shows it from the next tick.
    QTest::newRow("Tabella Fusi: Salva, Esci") << QStringList{
        "click:Form1.Tabfu", "type:Form5.Text2(3)=Lima", "type:Form5.Text1(3)=-20", "Form5.Text1(3).caption=-12",
        "click:Form5.SSCommand1", "click:Form5.SSCommand3", "closed:Form5", "count:question=0", "ticks:1",
        "Form1.Label1(3).caption=Lima", "Form1.Label2(3).tooltip= Lima -12h "} << false;
    QTest::newRow("Tabella Tipi: Annulla, then a class saved") << QStringList{
        "click:Form1.Tabtip", "type:Form6.Text1(0)=71", "Form6.Text1(0).caption=3", "click:Form6.SSCommand2",
        "Form6.Text1(0).caption=1", "type:Form6.Text1(0)=2", "click:Form6.SSCommand1",
        "Form6.Text2(0).textColour=#ff0000", "click:Form6.SSCommand3", "ticks:1", "Form1.Label1(0).textColour=#ff0000"} << false;
    // Esci, the close box and Esc each run the closing once: one question, and with No nothing is written.
    for (const char* wayOut : {"click:Form5.SSCommand3", "close:Form5", "key:Form5.Text2(0)=Esc"})
        QTest::addRow("%s, No", wayOut) << QStringList{"click:Form1.Tabfu", "type:Form5.Text2(0)=Rome", "answer:no",
                                                       wayOut, "closed:Form5", "count:question=1", "count:write=0"} << false;
    QTest::newRow("Tabella Tipi: layout and look") << QStringList{
        "click:Form1.Tabtip", "Form6.caption=Tabella Tipi", "Form6.Text2(0).left=75", "Form6.Text2(0).top=120",
        "Form6.Text2(0).width=1575", "Form6.Text2(0).height=300", "Form6.Text1(0).left=1800",
        "Form6.Text1(0).width=540", "Form6.Text2(13).top=6165", "Form6.Text2(14).left=2625",
        "Form6.Text1(53).left=9360", "Form6.Text1(53).top=5235", "Form6.SSCommand1.left=7560",
        "Form6.SSCommand1.top=5640", "Form6.SSCommand1.width=1095", "Form6.SSCommand2.left=8805",
        "Form6.SSCommand3.top=6120", "Form6.Text1(0).backColour=#404040", "Form6.Text1(0).textColour=#ffe0c0"} << false;

    // --- The caret after a filter, in every kind of filtered box: a refused character leaves it where it was
    // typed, not at the end (where QLineEdit::setText would put it); a kept one moves it on.
    QTest::newRow("caret: the zone, the latitude and a city name") << QStringList{
        "key:Form1.Text1=Home", "key:Form1.Text1=x", "Form1.Text1.cursorPosition=0", "click:Form1.Param",
        "key:Form9.Text1=Home", "key:Form9.Text1=x", "Form9.Text1.cursorPosition=0", "click:Form1.Tabfu",
        "key:Form5.Text2(1)=Home", "key:Form5.Text2(1)=9", "Form5.Text2(1).cursorPosition=0", "key:Form5.Text2(1)=x",
        "Form5.Text2(1).caption=xLondra", "Form5.Text2(1).cursorPosition=1"} << false;
}

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
