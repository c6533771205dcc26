// The parameters and summer-time rule dialogs and the information windows,
// driven through their real widgets as a user would.

#include "uitestsupport.h"

#include "core/texts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

using vemar::test::RunningProgram;
using vemar::test::readBytes;

namespace {

const QByteArray kSiteLine = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";
const QString kRuleLine = "2,4,0,9,4,0\r\n";
const QString kSunrise = "Form1.Label2(33)";

// The started program with the picture clicked away.
void startClear(RunningProgram& p) {
    QVERIFY(p.start());
    p.do_("click:Form4.Image1");
}

QComboBox* combo(const RunningProgram& p, const QString& name) {
    return qobject_cast<QComboBox*>(p.driver->control(name));
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void paramsEditsShowOnTheMainWindowBeforeOk_data();
    void paramsEditsShowOnTheMainWindowBeforeOk();
    void scripts_data();
    void scripts();
    void ruleListsIgnoreTheKeyboard_data();
    void ruleListsIgnoreTheKeyboard();
    void ruleListPopupAndWheelChooseNothing();
    void startupTitleIsNotClipped();
    void informationWindowPlaysTheSound();
    void helpWindowShowsTheTenLines();
    void questionButtonsAreItalian();
};

void DialogsTest::scripts_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("parameters: OK saves, and the dialog reopens with the edits") << QStringList{
        "click:Form1.UpDown1:up", "click:Form1.Param", "type:Form9.Text1=45", "type:Form9.Text4=75",
        "click:Form9.Option1", "click:Form9.SSCommand2", "closed:Form9",
        "file:lxp2.par=45,54,-12,-59,-2,,1,,,0,,0,,,1,0,30,1\r\n", "Form1.Command1.enabled=false",
        "click:Form1.Param", "Form9.Text1.caption=45", "Form9.Text4.caption=59", "Form9.Option1.checked=true"};
    // In the south "Inizio " shows transition B, the October one.
    QTest::newRow("rule dialog seen from the south") << QStringList{
        "click:Form1.Option2", "click:Form1.Orlega", "Form10.caption= Ora legale (Emisfero Sud)",
        "Form10.Frame1.caption=Inizio ", "Form10.Combo1.caption=Ottobre", "Form10.Combo4.caption=Marzo",
        "Form10.Label6.caption=Mese:", "Form10.Label4.caption=Giorno:",
        "click:Form10.Combo1=Settembre", "Form10.SSCommand3.enabled=true", "close:Form10",
        "file:Parleg.dat=" + kRuleLine};
    QTest::newRow("rule: Applica, then Ok writes Parleg.dat") << QStringList{
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "click:Form10.SSCommand3",
        "Form10.SSCommand3.enabled=false", "file:Parleg.dat=" + kRuleLine, "click:Form10.SSCommand2",
        "closed:Form10", "file:Parleg.dat=2,4,6,9,4,0\r\n", "count:write=1"};
    // Enter confirms and Esc runs Annulla, from whichever box has the focus.
    QTest::newRow("parameters: Enter in a box is OK") << QStringList{
        "click:Form1.Param", "type:Form9.Text1=45", "key:Form9.Text1=Return", "closed:Form9",
        "file:lxp2.par=45,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", "count:write=1"};
    QTest::newRow("parameters: Enter on Annulla's neighbour still is OK") << QStringList{
        "click:Form1.Param", "type:Form9.Text2=5", "key:Form9.Option2=Return", "closed:Form9", "count:write=1"};
    QTest::newRow("rule: Enter in a list is Ok") << QStringList{
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "key:Form10.Combo3=Return", "closed:Form10",
        "file:Parleg.dat=2,4,6,9,4,0\r\n"};
    QTest::newRow("rule: Esc after Applica is Annulla") << QStringList{
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "click:Form10.SSCommand3",
        "key:Form10.Combo6=Esc", "closed:Form10", "count:write=0",
        "Form1.SSPanel6.caption=Ora Legale dal 31 Marzo  al 27 Ottobre 2024     (Emisfero Boreale)",
        "click:Form1.Orlega",
        "Form10.Combo3.caption=Domenica"};
    QTest::newRow("date characters: Enter is Ok") << QStringList{
        "click:Form1.CarDat", "type:Form8.Text1=#", "key:Form8.Text1=Return", "closed:Form8",
        "Form1.SSPanel1(0).caption=#"};
    QTest::newRow("date characters: Esc is Annulla") << QStringList{
        "click:Form1.CarDat", "type:Form8.Text2=%", "key:Form8.Text2=Esc", "closed:Form8",
        "Form1.SSPanel1(3).caption="};
    QTest::newRow("date characters: Enter with nothing to confirm closes") << QStringList{
        "click:Form1.CarDat", "Form8.SSCommand2.enabled=false", "key:Form8.Text1=Return", "closed:Form8"};
}

void DialogsTest::scripts() {
    QFETCH(QStringList, steps);
    RunningProgram p;
    startClear(p);
    p.run(steps);
}

void DialogsTest::paramsEditsShowOnTheMainWindowBeforeOk_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("wayOut");
    QTest::newRow("latitude clamped, Annulla") << "Text1" << "95" << "89" << "click:Form9.SSCommand1";
    // The last key is refused: the box must not keep showing it.
    QTest::newRow("latitude, a refused last key, Annulla") << "Text1" << "60x" << "60" << "click:Form9.SSCommand1";
    QTest::newRow("longitude far west, letters dropped, Esc") << "Text3" << "1a0b0" << "100" << "key:Form9.Text3=Esc";
}

// The main window computes the sun from the live settings; closing without
// OK (Annulla or Esc) brings the first sentence back and leaves lxp2.par alone.
void DialogsTest::paramsEditsShowOnTheMainWindowBeforeOk() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, wayOut);
    RunningProgram p;
    startClear(p);
    const QString before = p.caption(kSunrise);
    p.do_("click:Form1.Param");
    p.do_("type:Form9." + box + "=" + typed);
    p.expect({"Form9.caption=Parametri", "Form9." + box + ".caption=" + shown});
    p.do_("ticks:1");
    QVERIFY2(p.caption(kSunrise) != before, qPrintable(before));
    p.do_(wayOut);
    QVERIFY(!p.driver->window("Form9"));
    p.do_("ticks:1");
    QCOMPARE(p.caption(kSunrise), before);
    QCOMPARE(readBytes(p.path("lxp2.par")), kSiteLine);
    QCOMPARE(p.platform.count("write"), 0);
}

void DialogsTest::ruleListsIgnoreTheKeyboard_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("entry");   // then chosen by mouse
    QTest::newRow("month down") << "Combo1" << "Down" << "Aprile";
    QTest::newRow("end week digit") << "Combo5" << "1" << "2";
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
    if (QComboBox* c = combo(p, target)) c->hidePopup();
    p.expect({target + ".caption=" + before, "Form10.SSCommand3.enabled=false"});
    p.do_("click:" + target + "=" + entry);
    p.expect({target + ".caption=" + entry, "Form10.SSCommand3.enabled=true"});
}

// Opened by mouse, the list still chooses nothing by keyboard, nor by the wheel.
void DialogsTest::ruleListPopupAndWheelChooseNothing() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.Orlega");
    QComboBox* weekday = combo(p, "Form10.Combo3");
    QVERIFY(weekday);
    weekday->showPopup();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(weekday->view(), key);
    weekday->hidePopup();
    QCOMPARE(weekday->currentText(), QString("Domenica"));
    QCOMPARE(p.program->state().dstRule.weekdayA, 0);

    QComboBox* month = combo(p, "Form10.Combo1");
    const QPointF at = month->rect().center();
    QWheelEvent wheel(at, month->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(month, &wheel);
    QCOMPARE(month->currentText(), QString("Marzo"));
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
    p.expect({"Form4.width=6480", "Form4.height=4470"});   // 432 x 298 pixels
}

void DialogsTest::informationWindowPlaysTheSound() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.info(5)");
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
    QStringList lines;
    for (std::string_view line : vemar::texts::kHelpLines) lines << QString::fromUtf8(line.data(), line.size());
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], QString(" ") + QString(25, '-') + " Vemar 2.4 " + QString(26, '-'));
    QCOMPARE(lines[9], QString(14, ' ') + "Grazie per aver utilizzato \"Vemar\"");
    p.expect({"Form2.caption=?", "Form2.RichTextBox1.caption=" + lines.join('\n'), "Form2.RichTextBox1.width=6015"});
    auto* text = qobject_cast<QTextEdit*>(p.driver->control("Form2.RichTextBox1"));
    QVERIFY(text && text->isReadOnly());
    p.do_("click:Form2.SSCommand1");
    QVERIFY(!p.driver->window("Form2"));
}

// The shut-down question, as the program builds its box: Qt's own Italian
// texts, which the standard button texts would otherwise leave English.
void DialogsTest::questionButtonsAreItalian() {
    RunningProgram p;
    startClear(p);
    p.do_("click:Form1.UpDown1:up");
    p.do_("close:Form1");
    const QJsonArray effects = p.driver->json()["effects"].toArray();
    QJsonArray buttons;
    for (const QJsonValue& e : effects)
        if (e["kind"] == "question") buttons = e["buttons"].toArray();
    QCOMPARE(buttons, (QJsonArray{QStringLiteral("Sì"), QStringLiteral("No")}));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
