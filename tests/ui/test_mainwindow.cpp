// The main window as a user sees it: the real widgets after start-up, clicks
// and typing through the driver, and the files the window leaves behind.

#include "uitestsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

using vemar::test::RunningProgram;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void scripts_data();
    void scripts();
    void damagedFileEndsBeforeAnyWindow();
    void nextTickDelay();
    void runningClockWakesOnceASecond();
    void ticksRelayoutNothing();
    void chosenOptionShowsOnEveryScheme_data();
    void chosenOptionShowsOnEveryScheme();
    void clockReadingsOfTheDriver_data();
    void clockReadingsOfTheDriver();
};

void MainWindowTest::scripts_data() {
    QTest::addColumn<QStringList>("files");   // "seg.dat=...": written before start-up
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("first start without seg.dat") << QStringList{} << QStringList{
        "Form1.backColour=#000000", "Form1.width=10365",
        "Form1.Label2(0).textColour=#ffffff", "Form1.Label2(0).backColour=#000000",
        "Form1.Label1(0).caption=Roma", "Form1.Label2(0).caption=22:00:00",
        "Form1.Label2(3).tooltip= Berlino +1h ", "Form1.SSPanel7.tooltip= Seleziona Tabella ",
        "Form1.SSCommand1.textColour=#000000", "Form1.Nero.enabled=false", "Form1.tabel(2).enabled=false",
        "Form1.Text1.caption=1", "Form1.Option1.checked=true",
        "Form1.SSPanel2.caption=Venerdì  21 Giugno 2024", "Form1.SSPanel6.left=3045", "Form1.SSPanel6.width=7215",
        "Form4.visible=true", "click:Form4.Image1", "closed:Form4"};
    QTest::newRow("start-up picture closed by the count") << QStringList{} << QStringList{
        "ticks:10", "Form4.visible=true", "ticks:40", "closed:Form4"};
    // Colours 1, 4, 7, signal on, symbols '#' and '%': shifted down by 7.
    QTest::newRow("start with a saved scheme")
        << QStringList{"seg.dat=\"\x19*\",\"&*\",\"\x19*\",\"\x19-\",\"\x19" "0\",\"\x19*\",\"\x19)\","
                       "\"\x1c\",\"\x1e\"\r\n"}
        << QStringList{
        "Form1.backColour=#000080", "Form1.Label2(0).backColour=#800000", "Form1.Label1(0).backColour=#c0c0c0",
        "Form1.Label4.textColour=#00ffff", "Form1.SSCommand1.caption=Segnale Orario attivato",
        "Form1.Segnale.checked=true", "Form1.SSPanel1(0).caption=#", "Form1.Label3(0).caption=#"};
    QTest::newRow("signal by its button, then by its menu item") << QStringList{} << QStringList{
        "click:Form1.SSCommand1", "Form1.SSCommand1.caption=Segnale Orario attivato",
        "Form1.SSCommand1.textColour=#800000", "Form1.Segnale.checked=true",
        "click:Form1.Segnale", "Form1.SSCommand1.caption=Segnale Orario Disattivato", "Form1.Segnale.checked=false"};
    QTest::newRow("zone box filters as typed") << QStringList{} << QStringList{
        "type:Form1.Text1=1a3", "Form1.Text1.caption=12", "Form1.Command1.enabled=true"};
    QTest::newRow("page 2 shows records 28 to 54, the menu page 1") << QStringList{} << QStringList{
        "click:Form1.SSPanel7", "ticks:1", "Form1.SSPanel7.caption=- Tabella 2 -   Fusi Orari",
        "Form1.Label1(0).caption=Lisbona", "Form1.Label1(26).caption=Reykjavik", "Form1.tabel(3).enabled=false",
        "click:Form1.tabel(2)", "ticks:1", "Form1.Label1(0).caption=Roma"};
    QTest::newRow("original colours, then undone") << QStringList{} << QStringList{
        "click:Form1.Rscuro", "click:Form1.blu", "click:Form1.colorig",
        "Form1.backColour=#c0c0c0", "Form1.Label4.textColour=#000080", "Form1.Annulla.enabled=true",
        "click:Form1.Annulla", "Form1.backColour=#800000", "Form1.Label2(0).backColour=#000080",
        "Form1.Rscuro.enabled=false"};
    // Shut-down asks about the zone only when it changed.
    QTest::newRow("closed with the zone changed, Yes") << QStringList{} << QStringList{
        "click:Form1.UpDown1:up", "answer:yes", "close:Form1", "count:question=1",
        "file:lxp2.par=41,54,-12,-29,-2,,1,,,0,,0,,,1,0,0,1\r\n"};
    QTest::newRow("zone saved, then summer time switched by hand")
        << QStringList{"lxp2.par=41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,0\r\n"} << QStringList{
        "click:Form1.UpDown1:down", "click:Form1.Command1", "count:beep=1", "Form1.Command1.enabled=false",
        "click:Form1.SSPanel5", "Form1.SSPanel5.caption=Ora Solare",
        "file:lxp2.par=41,54,-12,-29,0,,0,,,0,,0,,,1,1,0,0\r\n"};
}

void MainWindowTest::scripts() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, steps);
    RunningProgram p;
    for (const QString& f : files) p.write(f.section('=', 0, 0), f.mid(f.indexOf('=') + 1).toLatin1());
    QVERIFY(p.start());
    p.run(steps);
}

void MainWindowTest::damagedFileEndsBeforeAnyWindow() {
    RunningProgram p;
    p.write("Parleg.dat", "2,4,0\r\n");
    QVERIFY(!p.start());
    QCOMPARE(p.platform.count("fatal"), 1);
    QCOMPARE(QString::fromStdString(p.platform.effects.back().file), QString("Parleg.dat"));
    QVERIFY(!p.window->isVisible());
}

// Microseconds past a whole second, fast ticks asked for, and the delay.
void MainWindowTest::nextTickDelay() {
    struct Case { qint64 intoSecondUs; bool fast; int delayMs; };
    const Case cases[] = {
        {0, false, 1003}, {1, false, 1003},   // on the second or just after: the next one
        {500200, false, 503},                 // mid-second, rounded up
        {999999, false, 4}, {500200, true, 16},   // fast ticks ignore the second
    };
    for (const Case& c : cases) {
        const std::chrono::system_clock::time_point now{std::chrono::seconds(1718999999) +
                                                        std::chrono::microseconds(c.intoSecondUs)};
        QCOMPARE(vemar::ui::NextTickDelayMs(now, c.fast), c.delayMs);
    }
}

// Timer1 runs fast through the start-up count and a marker refresh, slow
// otherwise, and a click or a keystroke in a dialog ticks at once.
void MainWindowTest::runningClockWakesOnceASecond() {
    RunningProgram p;
    QVERIFY(p.start());
    p.window->startClock();
    auto* timer = p.window->findChild<QTimer*>("Timer1");
    QVERIFY(timer);
    QVERIFY(timer->isSingleShot());
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    const auto slow = [timer] { return timer->isActive() && timer->interval() > 16; };
    QCOMPARE(timer->interval(), 16);   // the start-up count

    p.do_("ticks:50");   // the count ends in an even second
    QTRY_VERIFY(slow());
    QVERIFY(timer->interval() <= 1003);

    // A command ticks at once: the new second shows without waiting for it.
    p.do_("at:2024-06-21T22:00:07");
    p.window->findChild<QPushButton*>("SSCommand1")->click();
    QCOMPARE(timer->interval(), 0);
    QTRY_COMPARE(p.caption("Form1.Label2(0)"), QString("22:00:07"));
    QTRY_VERIFY(slow());

    // A keystroke in a dialog may change what the main window shows.
    p.do_("click:Form1.CarDat");
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog);
    QTRY_VERIFY(slow());
    QTest::keyClick(dialog->findChild<QLineEdit*>("Text1"), Qt::Key_A);
    QCOMPARE(timer->interval(), 0);
    QTRY_VERIFY(slow());
}

// New texts every second repaint their labels but never lay the window out again.
void MainWindowTest::ticksRelayoutNothing() {
    struct LayoutCounter : QObject {
        int requests = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::LayoutRequest) ++requests;
            return false;
        }
    } counter;
    RunningProgram p;
    QVERIFY(p.start(50));
    QWidget* client = p.window->findChild<QWidget*>("client");
    client->installEventFilter(&counter);
    // Noon in summer ends the morning window: the rows, both date lines and the panels change.
    for (const char* at : {"2024-06-21T11:59:58", "2024-06-21T11:59:59", "2024-06-21T12:00:00", "2024-06-21T12:00:01"}) {
        p.do_(QStringLiteral("at:") + at);
        p.do_("ticks:2");
    }
    QCOMPARE(p.caption("Form1.SSPanel3"), QString("Sabato  22 Giugno 2024"));
    QCoreApplication::processEvents();
    QCOMPARE(counter.requests, 0);
}

// The chosen hemisphere must stand out from the other option whatever the
// window's colours: a white caption once made the mark white on its white
// indicator. Compared at the centre of each option's indicator.
void MainWindowTest::chosenOptionShowsOnEveryScheme_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("dark, first start") << QStringList{};
    QTest::newRow("light grey") << QStringList{"click:Form1.grigio"};
}

void MainWindowTest::chosenOptionShowsOnEveryScheme() {
    QFETCH(QStringList, steps);
    RunningProgram p;
    QVERIFY(p.start(50));
    p.run(steps);
    auto markAt = [&](const char* name) {
        auto* option = qobject_cast<QRadioButton*>(p.driver->control(QString("Form1.") + name));
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect indicator = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
        return option->grab().toImage().pixelColor(indicator.center()).lightness();
    };
    QVERIFY(qobject_cast<QRadioButton*>(p.driver->control("Form1.Option1"))->isChecked());
    QVERIFY2(std::abs(markAt("Option1") - markAt("Option2")) > 60, "the chosen option looks like the other");
}

// at: is the home clock, its instant from TZ: the earlier one of a repeated
// hour, none in a skipped one; without TZ no instant at all. utc: is read on
// the clock of TZ.
void MainWindowTest::clockReadingsOfTheDriver_data() {
    QTest::addColumn<QString>("tz");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("reading");    // the home clock afterwards
    QTest::addColumn<qint64>("utcSeconds");  // -1: none
    QTest::newRow("summer") << "Europe/Rome" << "at:2026-07-01T12:00:00" << true << "2026-07-01T12:00:00"
                            << qint64(1782900000);
    QTest::newRow("repeated hour: the first") << "Europe/Rome" << "at:2026-10-25T02:30:00" << true
                                              << "2026-10-25T02:30:00" << qint64(1792888200);
    QTest::newRow("skipped hour") << "Europe/Rome" << "at:2026-03-29T02:30:00" << false << "" << qint64(-1);
    QTest::newRow("no TZ, no instant") << "" << "at:2026-03-29T02:30:00" << true << "2026-03-29T02:30:00"
                                       << qint64(-1);
    QTest::newRow("utc, the second 2:30") << "Europe/Rome" << "utc:2026-10-25T01:30:00" << true
                                          << "2026-10-25T02:30:00" << qint64(1792891800);
    QTest::newRow("utc without TZ") << "" << "utc:2026-10-25T01:30:00" << true << "2026-10-25T01:30:00"
                                    << qint64(1792891800);
}

void MainWindowTest::clockReadingsOfTheDriver() {
    QFETCH(QString, tz);
    QFETCH(QString, action);
    QFETCH(bool, accepted);
    QFETCH(QString, reading);
    QFETCH(qint64, utcSeconds);
    const QByteArray saved = qgetenv("TZ");
    tz.isEmpty() ? qunsetenv("TZ") : qputenv("TZ", tz.toUtf8());
    vemar::ui::ScriptedPlatform platform;
    QString error;
    const bool ok = action.startsWith("at:") ? vemar::ui::setClock(platform, action.mid(3), &error)
                                             : vemar::ui::setInstant(platform, action.mid(4), &error);
    saved.isNull() ? qunsetenv("TZ") : qputenv("TZ", saved);
    QCOMPARE(ok, accepted);
    if (!accepted) {
        QVERIFY(error.contains("skips"));
        return;
    }
    const vemar::ClockReading& c = platform.clock;
    QCOMPARE(QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute, c.second),
             reading);
    QCOMPARE(c.utcSeconds ? qint64(*c.utcSeconds) : qint64(-1), utcSeconds);
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
