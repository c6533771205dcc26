// The parameters and summer-time rule dialogs and the information windows,
// driven through their real widgets as a user would.

#include "uitestsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QJsonArray>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

using vemar::test::RunningProgram;

namespace {

const QString kSiteFile = "file:lxp2.par=41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";
const QString kRuleFile = "file:Parleg.dat=2,4,0,9,4,0\r\n";
const QString kSunrise = "Form1.Label2(33)";

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void scripts_data();
    void scripts();
    void paramsEditsShowOnTheMainWindowBeforeOk();
    void ruleListPopupAndWheelChooseNothing();
    void startupTitleIsNotClipped();
    void questionButtonsAreItalian();
    void helpWindowShowsTheTenLines();
};

void DialogsTest::scripts_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("parameters: OK saves, and the dialog reopens with the edits") << QStringList{
        "click:Form1.Param", "type:Form9.Text4=75", "click:Form9.Option1", "click:Form9.SSCommand2", "closed:Form9",
        "file:lxp2.par=41,54,-12,-59,-1,,1,,,0,,0,,,1,0,30,1\r\n", "click:Form1.Param", "Form9.Text4.caption=59",
        "Form9.Option1.checked=true"};
    // In the south "Inizio " shows transition B, the October one.
    QTest::newRow("rule dialog seen from the south") << QStringList{
        "click:Form1.Option2", "click:Form1.Orlega", "Form10.caption= Ora legale (Emisfero Sud)",
        "Form10.Combo1.caption=Ottobre", "Form10.Combo4.caption=Marzo", "click:Form10.Combo1=Settembre",
        "Form10.SSCommand3.enabled=true", "close:Form10", kRuleFile};
    QTest::newRow("rule: Applica, then Ok writes Parleg.dat") << QStringList{
        "click:Form1.Orlega", "click:Form10.Combo3=Sabato", "click:Form10.SSCommand3", kRuleFile,
        "click:Form10.SSCommand2", "closed:Form10", "file:Parleg.dat=2,4,6,9,4,0\r\n"};
    // The lists change by mouse only: a key leaves them, and Applica, as they were.
    const char* keys[][4] = {{"Combo1", "Down", "Marzo", "Aprile"}, {"Combo5", "1", "5", "2"},
                             {"Combo6", "S", "Domenica", "Sabato"}, {"Combo6", "Alt+Down", "Domenica", "Martedì"}};
    for (const auto& [list, key, before, chosen] : keys) {
        const QString target = QString("Form10.") + list;
        QTest::addRow("rule: %s ignores %s", list, key) << QStringList{
            "click:Form1.Orlega", "key:" + target + "=" + key, target + ".caption=" + before,
            "Form10.SSCommand3.enabled=false", "click:" + target + "=" + chosen,
            target + ".caption=" + chosen, "Form10.SSCommand3.enabled=true"};
    }
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
        "click:Form1.Orlega", "Form10.Combo3.caption=Domenica"};
    QTest::newRow("date characters: Enter is Ok") << QStringList{
        "click:Form1.CarDat", "type:Form8.Text1=#", "key:Form8.Text1=Return", "closed:Form8",
        "Form1.SSPanel1(0).caption=#"};
    QTest::newRow("date characters: Esc is Annulla") << QStringList{
        "click:Form1.CarDat", "type:Form8.Text2=%", "key:Form8.Text2=Esc", "closed:Form8",
        "Form1.SSPanel1(3).caption="};
    QTest::newRow("date characters: Enter with nothing to confirm closes") << QStringList{
        "click:Form1.CarDat", "Form8.SSCommand2.enabled=false", "key:Form8.Text1=Return", "closed:Form8"};
    // 900 twips taller than the picture, OK centred just below it.
    QTest::newRow("information plays its sound") << QStringList{
        "click:Form1.info(5)", "Form3.caption=Informazioni", "sound:Infor.snm",
        "Form3.height=5370", "Form3.SSCommand1.top=4545", "Form3.SSCommand1.left=2685",
        "click:Form3.SSCommand1", "closed:Form3"};
}

void DialogsTest::scripts() {
    QFETCH(QStringList, steps);
    RunningProgram p;
    QVERIFY(p.startClear());
    p.run(steps);
}

// The main window computes the sun from the live settings; closing without
// OK (Annulla or Esc) brings the first sentence back and leaves lxp2.par alone.
void DialogsTest::paramsEditsShowOnTheMainWindowBeforeOk() {
    struct Case { const char* box; const char* typed; const char* shown; const char* wayOut; };
    const Case cases[] = {
        // The last key is refused: the box must not keep showing it.
        {"Text1", "60x", "60", "click:Form9.SSCommand1"},
        {"Text3", "1a0b0", "100", "key:Form9.Text3=Esc"},
    };
    for (const Case& c : cases) {
        RunningProgram p;
        QVERIFY(p.startClear());
        const QString before = p.caption(kSunrise), box = QString("Form9.") + c.box;
        p.run({"click:Form1.Param", "type:" + box + "=" + c.typed, box + ".caption=" + c.shown, "ticks:1"});
        QVERIFY2(p.caption(kSunrise) != before, qPrintable(before));
        p.run({c.wayOut, "closed:Form9", "ticks:1", kSunrise + ".caption=" + before, kSiteFile, "count:write=0"});
    }
}

// Opened by mouse, the list still chooses nothing by keyboard, nor by the wheel.
void DialogsTest::ruleListPopupAndWheelChooseNothing() {
    RunningProgram p;
    QVERIFY(p.startClear());
    p.do_("click:Form1.Orlega");
    auto* weekday = qobject_cast<QComboBox*>(p.driver->control("Form10.Combo3"));
    QVERIFY(weekday);
    weekday->showPopup();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(weekday->view(), key);
    weekday->hidePopup();
    auto* month = qobject_cast<QComboBox*>(p.driver->control("Form10.Combo1"));
    const QPointF at = month->rect().center();
    QWheelEvent wheel(at, month->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(month, &wheel);
    p.run({"Form10.Combo3.caption=Domenica", "Form10.Combo1.caption=Marzo", "Form10.SSCommand3.enabled=false"});
}

void DialogsTest::startupTitleIsNotClipped() {
    RunningProgram p;
    QVERIFY(p.start());
    p.run({"Form4.Label1.caption=Vemar 2.4", "Form4.width=6480", "Form4.height=4470"});   // 432 x 298 pixels
    auto* title = qobject_cast<QLabel*>(p.driver->control("Form4.Label1"));
    const QSize text = QFontMetrics(title->font()).size(0, title->text());
    QVERIFY(text.width() <= title->width() && text.height() <= title->height());
    QVERIFY(title->font().pointSizeF() >= 20);   // still large letters
}

// The shut-down question, as the program builds its box: Qt's own Italian
// texts, which the standard button texts would otherwise leave English.
void DialogsTest::questionButtonsAreItalian() {
    RunningProgram p;
    QVERIFY(p.startClear());
    p.run({"click:Form1.UpDown1:up", "close:Form1"});
    QJsonArray buttons;
    for (const QJsonValue& e : p.driver->json()["effects"].toArray())
        if (e["kind"] == "question") buttons = e["buttons"].toArray();
    QCOMPARE(buttons, (QJsonArray{QStringLiteral("Sì"), QStringLiteral("No")}));
}

// Laid out by leading blanks, read-only.
void DialogsTest::helpWindowShowsTheTenLines() {
    RunningProgram p;
    QVERIFY(p.startClear());
    p.run({"click:Form1.help(6)", "Form2.RichTextBox1.width=6015"});
    const QStringList lines = p.caption("Form2.RichTextBox1").split('\n');
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[9], QString(14, ' ') + "Grazie per aver utilizzato \"Vemar\"");
    auto* text = qobject_cast<QTextEdit*>(p.driver->control("Form2.RichTextBox1"));
    QVERIFY(text && text->isReadOnly());
    p.run({"click:Form2.SSCommand1", "closed:Form2"});
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
