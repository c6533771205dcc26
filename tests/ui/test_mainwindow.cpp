// The main window as a user sees it: the real widgets after start-up, clicks
// and typing through the driver, and the files the window leaves behind.

#include "uitestsupport.h"

#include <QApplication>
#include <QTest>

using vemar::test::RunningProgram;
using vemar::test::readBytes;
using vemar::test::writeBytes;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void firstStartWithoutSegDat();
    void startWithSavedScheme();
    void signalButtonAndMenuItem();
    void zoneBox_data();
    void zoneBox();
    void pageSwitchShowsRecords28To54();
    void originalColoursThenUndo();
    void shutDownQuestion_data();
    void shutDownQuestion();
    void saveZoneAndSummerTimeSwitchWriteSettings();
    void startupPictureClosesOnClick();
    void damagedFileEndsBeforeAnyWindow();
};

void MainWindowTest::firstStartWithoutSegDat() {
    RunningProgram p;
    QVERIFY(p.start());
    QCOMPARE(p.caption("Form1"), QString("Vemar 2.4"));
    QCOMPARE(p.control("Form1")["backColour"].toString(), QString("#000000"));
    QCOMPARE(p.control("Form1.Label2(0)")["textColour"].toString(), QString("#ffffff"));
    QCOMPARE(p.control("Form1.Label2(0)")["backColour"].toString(), QString("#000000"));
    QCOMPARE(p.caption("Form1.Label1(0)"), QString("Roma"));
    QCOMPARE(p.caption("Form1.Label2(0)"), QString("22:00:00"));
    QCOMPARE(p.caption("Form1.SSCommand1"), QString("Segnale Orario Disattivato"));
    QCOMPARE(p.control("Form1.SSCommand1")["textColour"].toString(), QString("#000000"));
    QCOMPARE(p.control("Form1.Nero")["enabled"].toBool(), false);
    QCOMPARE(p.control("Form1.colorig")["enabled"].toBool(), false);
    QCOMPARE(p.control("Form1.tabel(2)")["enabled"].toBool(), false);
    QCOMPARE(p.control("Form1.Command1")["enabled"].toBool(), false);
    QCOMPARE(p.caption("Form1.Text1"), QString("1"));
    QCOMPARE(p.control("Form1.Option1")["checked"].toBool(), true);
    QCOMPARE(p.control("Form1.SSPanel7")["tooltip"].toString(), QString(" Seleziona Tabella "));
    QCOMPARE(p.control("Form1.Label2(3)")["tooltip"].toString(), QString(" Berlino +1h "));
    QCOMPARE(p.caption("Form1.SSPanel2"), QString("Venerdì  21 Giugno 2024"));
    QCOMPARE(p.control("Form1.SSPanel6")["left"].toInt(), 3045);
    QCOMPARE(p.control("Form1.SSPanel6")["width"].toInt(), 7215);
    QCOMPARE(p.control("Form1")["width"].toInt(), 10365);
    QVERIFY(p.driver->window("Form4"));
}

void MainWindowTest::startWithSavedScheme() {
    RunningProgram p;
    // Colours 1, 4, 7, signal on, symbols '#' and '%': shifted down by 7.
    writeBytes(p.path("seg.dat"),
               "\"\x19*\",\"&*\",\"\x19*\",\"\x19-\",\"\x19" "0\",\"\x19*\",\"\x19)\",\"\x1c\",\"\x1e\"\r\n");
    QVERIFY(p.start());
    QCOMPARE(p.control("Form1")["backColour"].toString(), QString("#000080"));
    QCOMPARE(p.control("Form1.Label2(0)")["backColour"].toString(), QString("#800000"));
    QCOMPARE(p.control("Form1.Label1(0)")["backColour"].toString(), QString("#c0c0c0"));
    QCOMPARE(p.control("Form1.Label4")["textColour"].toString(), QString("#00ffff"));
    QCOMPARE(p.caption("Form1.SSCommand1"), QString("Segnale Orario attivato"));
    QCOMPARE(p.control("Form1.Segnale")["checked"].toBool(), true);
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString("#"));
    QCOMPARE(p.caption("Form1.Label3(0)"), QString("#"));
}

void MainWindowTest::signalButtonAndMenuItem() {
    RunningProgram p;
    QVERIFY(p.start());
    p.do_("click:Form1.SSCommand1");
    QCOMPARE(p.caption("Form1.SSCommand1"), QString("Segnale Orario attivato"));
    QCOMPARE(p.control("Form1.SSCommand1")["textColour"].toString(), QString("#800000"));
    QCOMPARE(p.control("Form1.Segnale")["checked"].toBool(), true);
    p.do_("click:Form1.Segnale");
    QCOMPARE(p.caption("Form1.SSCommand1"), QString("Segnale Orario Disattivato"));
    QCOMPARE(p.control("Form1.Segnale")["checked"].toBool(), false);
}

void MainWindowTest::zoneBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("saveEnabled");
    QTest::newRow("letters dropped, then clamped") << "1a3" << "12" << true;
    QTest::newRow("below -12") << "-15" << "-12" << true;
    QTest::newRow("a lone minus sign") << "-" << "-" << true;
    QTest::newRow("back to the saved zone") << "1" << "1" << false;
    QTest::newRow("a refused letter leaves the box as it was") << "1a" << "1" << false;
}

void MainWindowTest::zoneBox() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, saveEnabled);
    RunningProgram p;
    QVERIFY(p.start());
    p.do_("type:Form1.Text1=" + typed);
    QCOMPARE(p.caption("Form1.Text1"), shown);
    QCOMPARE(p.control("Form1.Command1")["enabled"].toBool(), saveEnabled);
}

void MainWindowTest::pageSwitchShowsRecords28To54() {
    RunningProgram p;
    QVERIFY(p.start());
    p.do_("click:Form1.SSPanel7");
    p.do_("ticks:1");
    QCOMPARE(p.caption("Form1.SSPanel7"), QString("- Tabella 2 -   Fusi Orari"));
    QCOMPARE(p.caption("Form1.Label1(0)"), QString("Lisbona"));
    QCOMPARE(p.caption("Form1.Label1(26)"), QString("Reykjavik"));
    QCOMPARE(p.control("Form1.tabel(3)")["enabled"].toBool(), false);
    p.do_("click:Form1.tabel(2)");
    p.do_("ticks:1");
    QCOMPARE(p.caption("Form1.Label1(0)"), QString("Roma"));
}

void MainWindowTest::originalColoursThenUndo() {
    RunningProgram p;
    QVERIFY(p.start());
    p.do_("click:Form1.Rscuro");
    p.do_("click:Form1.blu");
    QCOMPARE(p.control("Form1")["backColour"].toString(), QString("#800000"));
    p.do_("click:Form1.colorig");
    QCOMPARE(p.control("Form1")["backColour"].toString(), QString("#c0c0c0"));
    QCOMPARE(p.control("Form1.Label2(0)")["backColour"].toString(), QString("#c0c0c0"));
    QCOMPARE(p.control("Form1.Label2(0)")["textColour"].toString(), QString("#000000"));
    QCOMPARE(p.control("Form1.Label4")["textColour"].toString(), QString("#000080"));
    QCOMPARE(p.control("Form1.Annulla")["enabled"].toBool(), true);
    p.do_("click:Form1.Annulla");
    QCOMPARE(p.control("Form1")["backColour"].toString(), QString("#800000"));
    QCOMPARE(p.control("Form1.Label2(0)")["backColour"].toString(), QString("#000080"));
    QCOMPARE(p.control("Form1.Rscuro")["enabled"].toBool(), false);
    QCOMPARE(p.control("Form1.blu")["enabled"].toBool(), false);
    QCOMPARE(p.control("Form1.Annulla")["enabled"].toBool(), false);
}

void MainWindowTest::shutDownQuestion_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QByteArray>("lxp2");
    const QByteArray installed = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";
    QTest::newRow("nothing changed") << QStringList{} << false << installed;
    QTest::newRow("up and down again") << QStringList{"click:Form1.UpDown1:up", "click:Form1.UpDown1:down"}
                                       << false << installed;
    QTest::newRow("zone changed, Yes") << QStringList{"click:Form1.UpDown1:up", "answer:yes"} << true
                                       << QByteArray("41,54,-12,-29,-2,,1,,,0,,0,,,1,0,0,1\r\n");
    QTest::newRow("zone changed, No") << QStringList{"click:Form1.UpDown1:up", "answer:no"} << true << installed;
}

void MainWindowTest::shutDownQuestion() {
    QFETCH(QStringList, actions);
    QFETCH(bool, asked);
    QFETCH(QByteArray, lxp2);
    RunningProgram p;
    QVERIFY(p.start());
    for (const QString& a : actions) p.do_(a);
    p.do_("close:Form1");
    QCOMPARE(p.platform.count("question"), asked ? 1 : 0);
    QVERIFY(QFile::exists(p.path("seg.dat")));
    QCOMPARE(readBytes(p.path("lxp2.par")), lxp2);
}

void MainWindowTest::saveZoneAndSummerTimeSwitchWriteSettings() {
    RunningProgram p;
    writeBytes(p.path("lxp2.par"), "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,0\r\n");   // manual summer time
    QVERIFY(p.start());
    p.do_("click:Form1.UpDown1:down");
    p.do_("click:Form1.Command1");
    QCOMPARE(p.platform.count("beep"), 1);
    QCOMPARE(readBytes(p.path("lxp2.par")), QByteArray("41,54,-12,-29,0,,1,,,0,,0,,,1,0,0,0\r\n"));
    QCOMPARE(p.control("Form1.Command1")["enabled"].toBool(), false);
    p.do_("click:Form1.SSPanel5");
    QCOMPARE(p.caption("Form1.SSPanel5"), QString("Ora Solare"));
    QCOMPARE(readBytes(p.path("lxp2.par")), QByteArray("41,54,-12,-29,0,,0,,,0,,0,,,1,1,0,0\r\n"));
}

void MainWindowTest::startupPictureClosesOnClick() {
    RunningProgram p;
    QVERIFY(p.start());
    QVERIFY(p.driver->window("Form4"));
    p.do_("click:Form4.Image1");
    QVERIFY(!p.driver->window("Form4"));
}

void MainWindowTest::damagedFileEndsBeforeAnyWindow() {
    RunningProgram p;
    writeBytes(p.path("Parleg.dat"), "2,4,0\r\n");
    QVERIFY(!p.start());
    QCOMPARE(p.platform.count("fatal"), 1);
    QCOMPARE(QString::fromStdString(p.platform.effects.back().file), QString("Parleg.dat"));
    QVERIFY(!p.window->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
