// The parameters and summer-time rule dialogs and the information windows,
// driven through their real widgets as a user would.

#include "uitestsupport.h"

#include "core/texts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

using vemar::test::RunningProgram;
using vemar::test::readBytes;

namespace {

const QByteArray kSiteLine = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";
const QByteArray kRuleLine = "2,4,0,9,4,0\r\n";
const QString kSunrise = "Form1.Label2(33)";

// The started program with the picture clicked away.
void startClear(RunningProgram& p) {
    QVERIFY(p.start());
    p.do_("click:Form4.Image1");
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void paramsEditsShowOnTheMainWindowBeforeOk_data();
    void paramsEditsShowOnTheMainWindowBeforeOk();
    void paramsOkSavesAndKeepsTheEdits();
    void paramsEscapePutsEverythingBack();
    void ruleListsIgnoreTheKeyboard_data();
    void ruleListsIgnoreTheKeyboard();
    void ruleListPopupIgnoresTheKeyboard();
    void ruleListIgnoresTheWheel();
    void ruleDialogSeenFromTheSouth();
    void ruleOkWritesParleg();
    void startupPictureClosesByTheCount_data();
    void startupPictureClosesByTheCount();
    void startupTitleIsNotClipped();
    void informationWindowPlaysTheSound();
    void helpWindowShowsTheTenLines();
};

void DialogsTest::paramsEditsShowOnTheMainWindowBeforeOk_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("latitude further north") << "Text1" << "60" << "60";
    QTest::newRow("latitude clamped") << "Text1" << "95" << "89";
    QTest::newRow("longitude far west") << "Text3" << "1a0b0" << "100";
    QTest::newRow("longitude clamped") << "Text3" << "-200" << "-180";
}

// The main window computes the sun from the live settings; closing without
// OK brings the first sentence back and leaves lxp2.par alone.
void DialogsTest::paramsEditsShowOnTheMainWindowBeforeOk() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    RunningProgram p;
    startClear(p);
    const QString before = p.caption(kSunrise);
    p.do_("click:Form1.Param");
    QCOMPARE(p.caption("Form9"), QString("Parametri"));
    p.do_("type:Form9." + box + "=" + typed);
    QCOMPARE(p.caption("Form9." + box), shown);
    p.do_("ticks:1");
    QVERIFY2(p.caption(kSunrise) != before, qPrintable(before));
    p.do_("click:Form9.SSCommand1");
    QVERIFY(!p.driver->window("Form9"));
    p.do_("ticks:1");
    QCOMPARE(p.caption(kSunrise), before);
    QCOMPARE(readBytes(p.path("lxp2.par")), kSiteLine);
    QCOMPARE(p.platform.count("write"), 0);
}

void DialogsTest::paramsOkSavesAndKeepsTheEdits() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.UpDown1:up");
    QCOMPARE(p.control("Form1.Command1")["enabled"].toBool(), true);
    p.do_("click:Form1.Param");
    p.do_("type:Form9.Text1=45");
    p.do_("type:Form9.Text4=75");
    p.do_("click:Form9.Option1");
    p.do_("click:Form9.SSCommand2");
    QVERIFY(!p.driver->window("Form9"));
    QCOMPARE(readBytes(p.path("lxp2.par")), QByteArray("45,54,-12,-59,-2,,1,,,0,,0,,,1,0,30,1\r\n"));
    QCOMPARE(p.control("Form1.Command1")["enabled"].toBool(), false);
    // Reopened, the dialog shows what OK kept.
    p.do_("click:Form1.Param");
    QCOMPARE(p.caption("Form9.Text1"), QString("45"));
    QCOMPARE(p.caption("Form9.Text4"), QString("59"));
    QCOMPARE(p.control("Form9.Option1")["checked"].toBool(), true);
}

void DialogsTest::paramsEscapePutsEverythingBack() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Param");
    p.do_("type:Form9.Text2=7");
    p.do_("click:Form9.Check1");
    QCOMPARE(p.program->state().autoDst, 0);
    p.do_("key:Form9.Text2=Esc");
    QVERIFY(!p.driver->window("Form9"));
    QCOMPARE(p.program->state().latMinutes, 54.0);
    QCOMPARE(p.program->state().autoDst, 1);
}

void DialogsTest::ruleListsIgnoreTheKeyboard_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("entry");   // then chosen by mouse
    QTest::newRow("month down") << "Combo1" << "Down" << "Aprile";
    QTest::newRow("week up") << "Combo2" << "Up" << "1";
    QTest::newRow("start weekday down") << "Combo3" << "Down" << "Lunedì";
    QTest::newRow("start weekday end") << "Combo3" << "End" << "Sabato";
    QTest::newRow("end month page down") << "Combo4" << "PgDown" << "Novembre";
    QTest::newRow("end week letter") << "Combo5" << "1" << "2";
    QTest::newRow("end weekday first letter") << "Combo6" << "S" << "Sabato";
    QTest::newRow("end weekday popup key") << "Combo6" << "Alt+Down" << "Martedì";
}

void DialogsTest::ruleListsIgnoreTheKeyboard() {
    QFETCH(QString, list);
    QFETCH(QString, key);
    QFETCH(QString, entry);
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Orlega");
    const QString target = "Form10." + list;
    const QString before = p.caption(target);
    p.do_("key:" + target + "=" + key);
    QApplication::processEvents();
    if (auto* combo = qobject_cast<QComboBox*>(p.driver->control(target))) combo->hidePopup();
    QCOMPARE(p.caption(target), before);
    QCOMPARE(p.control("Form10.SSCommand3")["enabled"].toBool(), false);
    p.do_("click:" + target + "=" + entry);
    QCOMPARE(p.caption(target), entry);
    QCOMPARE(p.control("Form10.SSCommand3")["enabled"].toBool(), true);
}

// Opened by mouse, the list still chooses nothing by keyboard.
void DialogsTest::ruleListPopupIgnoresTheKeyboard() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Orlega");
    auto* combo = qobject_cast<QComboBox*>(p.driver->control("Form10.Combo3"));
    QVERIFY(combo);
    combo->showPopup();
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    combo->hidePopup();
    QCOMPARE(combo->currentText(), QString("Domenica"));
    QCOMPARE(p.program->state().dstRule.weekdayA, 0);
}

void DialogsTest::ruleListIgnoresTheWheel() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Orlega");
    auto* combo = qobject_cast<QComboBox*>(p.driver->control("Form10.Combo1"));
    QVERIFY(combo);
    const QPointF at = combo->rect().center();
    QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    QCOMPARE(combo->currentText(), QString("Marzo"));
}

// In the south "Inizio " shows transition B, the October one.
void DialogsTest::ruleDialogSeenFromTheSouth() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Option2");
    p.do_("click:Form1.Orlega");
    QCOMPARE(p.caption("Form10"), QString(" Ora legale (Emisfero Sud)"));
    QCOMPARE(p.caption("Form10.Frame1"), QString("Inizio "));
    QCOMPARE(p.caption("Form10.Combo1"), QString("Ottobre"));
    QCOMPARE(p.caption("Form10.Combo4"), QString("Marzo"));
    QCOMPARE(p.caption("Form10.Label6"), QString("Mese:"));
    QCOMPARE(p.caption("Form10.Label4"), QString("Giorno:"));
    p.do_("click:Form10.Combo1=Settembre");
    QCOMPARE(p.program->state().dstRule.monthB, 8);
    p.do_("close:Form10");
    QCOMPARE(readBytes(p.path("Parleg.dat")), kRuleLine);
}

void DialogsTest::ruleOkWritesParleg() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Orlega");
    p.do_("click:Form10.Combo3=Sabato");
    p.do_("click:Form10.SSCommand3");
    QCOMPARE(p.control("Form10.SSCommand3")["enabled"].toBool(), false);
    QCOMPARE(readBytes(p.path("Parleg.dat")), kRuleLine);
    p.do_("click:Form10.SSCommand2");
    QVERIFY(!p.driver->window("Form10"));
    QCOMPARE(readBytes(p.path("Parleg.dat")), QByteArray("2,4,6,9,4,0\r\n"));
    QCOMPARE(p.platform.count("write"), 1);
}

void DialogsTest::startupPictureClosesByTheCount_data() {
    QTest::addColumn<QString>("at");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("open");
    QTest::newRow("even second, a few ticks") << "2024-06-21T22:00:00" << 10 << true;
    QTest::newRow("even second, enough ticks") << "2024-06-21T22:00:00" << 50 << false;
    QTest::newRow("odd second: the count waits") << "2024-06-21T22:00:01" << 50 << true;
}

void DialogsTest::startupPictureClosesByTheCount() {
    QFETCH(QString, at);
    QFETCH(int, ticks);
    QFETCH(bool, open);
    RunningProgram p(at);
    QVERIFY(p.start());
    QVERIFY(p.driver->window("Form4"));
    p.do_(QStringLiteral("ticks:%1").arg(ticks));
    QCOMPARE(p.driver->window("Form4") != nullptr, open);
}

void DialogsTest::startupTitleIsNotClipped() {
    RunningProgram p;
    QVERIFY(p.start());
    auto* title = qobject_cast<QLabel*>(p.driver->control("Form4.Label1"));
    QVERIFY(title);
    QCOMPARE(title->text(), QString("Vemar 2.4"));
    const QSize text = QFontMetrics(title->font()).size(0, title->text());
    QVERIFY(text.width() <= title->width() && text.height() <= title->height());
    QVERIFY(title->font().pointSizeF() >= 20);   // still large letters
    QCOMPARE(p.control("Form4")["width"].toInt(), 432 * 15);
    QCOMPARE(p.control("Form4")["height"].toInt(), 298 * 15);
}

void DialogsTest::informationWindowPlaysTheSound() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.info(5)");
    QVERIFY(p.driver->window("Form3"));
    QCOMPARE(p.caption("Form3"), QString("Informazioni"));
    QCOMPARE(p.platform.count("sound"), 1);
    QVERIFY(QString::fromStdString(p.platform.effects.back().file).endsWith("Infor.snm"));
    // 900 twips taller than the picture, OK centred just below it.
    QCOMPARE(p.control("Form3")["height"].toInt(), 298 * 15 + 900);
    const QJsonObject ok = p.control("Form3.SSCommand1");
    QVERIFY(qAbs(ok["top"].toInt() - (298 * 15 + 80)) <= 15);
    QVERIFY(qAbs(ok["left"].toInt() * 2 + ok["width"].toInt() - 432 * 15) <= 30);
    p.do_("click:Form3.SSCommand1");
    QVERIFY(!p.driver->window("Form3"));
}

void DialogsTest::helpWindowShowsTheTenLines() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.help(6)");
    QCOMPARE(p.caption("Form2"), QString("?"));
    QStringList lines;
    for (std::string_view line : vemar::texts::kHelpLines) lines << QString::fromUtf8(line.data(), line.size());
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], QString(" ") + QString(25, '-') + " Vemar 2.4 " + QString(26, '-'));
    QCOMPARE(lines[9], QString(14, ' ') + "Grazie per aver utilizzato \"Vemar\"");
    QCOMPARE(p.caption("Form2.RichTextBox1"), lines.join('\n'));
    QCOMPARE(p.control("Form2.RichTextBox1")["width"].toInt(), 6015);
    auto* text = qobject_cast<QTextEdit*>(p.driver->control("Form2.RichTextBox1"));
    QVERIFY(text && text->isReadOnly());
    p.do_("click:Form2.SSCommand1");
    QVERIFY(!p.driver->window("Form2"));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
