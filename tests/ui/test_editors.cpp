// The zone table editors and the date characters dialog driven through
// their real boxes and buttons, and what the main window shows afterwards.

#include "core/files.h"
#include "uitestsupport.h"

#include <QLineEdit>
#include <QTest>

using vemar::test::RunningProgram;

namespace {

// seg.dat with the date symbols given and the display settings of a first run.
void writeSymbols(const RunningProgram& p, const std::string& first, const std::string& second) {
    vemar::WriteDisplaySettings(p.path("seg.dat").toStdString(),
                                {"0", "0", "7", "7", "7", "0", "0", first, second});
}

} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    void scripts_data();
    void scripts();
    void caretStaysWhereTyped();
    void layoutAndTabOrder();
    void dateCharacterShowsLive();
};

void EditorsTest::scripts_data() {
    QTest::addColumn<QStringList>("symbols");   // the date pair in seg.dat; none: no seg.dat
    QTest::addColumn<QStringList>("steps");
    // Salva then Esci (commit), or editing then the close box and Yes (direct
    // save): either way the main window shows the name from the next tick.
    const QStringList limaShown{"ticks:1", "Form1.Label1(3).caption=Lima", "Form1.Label2(3).tooltip= Lima +1h "};
    QTest::newRow("Form5 Salva, Esci") << QStringList{} << QStringList{
        "click:Form1.Tabfu", "type:Form5.Text2(3)=Lima", "click:Form5.SSCommand1", "click:Form5.SSCommand3",
        "closed:Form5", "count:question=0"} + limaShown;
    QTest::newRow("Form5 close box, Yes") << QStringList{} << QStringList{
        "click:Form1.Tabfu", "type:Form5.Text2(3)=Lima", "answer:yes", "close:Form5", "closed:Form5",
        "count:question=1"} + limaShown;
    QTest::newRow("Form6 Salva, close box") << QStringList{} << QStringList{
        "click:Form1.Tabtip", "type:Form6.Text2(3)=Lima", "click:Form6.SSCommand1", "close:Form6", "closed:Form6",
        "count:question=0"} + limaShown;
    // The name takes its new colour at Salva, not while the class is typed.
    QTest::newRow("class colour") << QStringList{} << QStringList{
        "Form1.Label1(0).textColour=#00ffff", "click:Form1.Tabtip", "type:Form6.Text1(0)=2",
        "Form6.Text2(0).textColour=#00ffff", "click:Form6.SSCommand1", "Form6.Text2(0).textColour=#ff0000",
        "click:Form6.SSCommand3", "ticks:1", "Form1.Label1(0).textColour=#ff0000"};
    // Esci, the close box and Esc each run the closing once: one question,
    // and with No nothing is written.
    for (const char* wayOut : {"click:Form5.SSCommand3", "close:Form5", "key:Form5.Text2(0)=Esc"})
        QTest::addRow("%s, No", wayOut) << QStringList{} << QStringList{
            "click:Form1.Tabfu", "type:Form5.Text2(0)=Rome", "answer:no", wayOut, "closed:Form5",
            "count:question=1", "count:write=0"};
    QTest::newRow("Form5 boxes filter as typed") << QStringList{} << QStringList{
        "click:Form1.Tabfu", "Form5.SSCommand1.enabled=false", "type:Form5.Text2(0)=Città 1",
        "Form5.Text2(0).caption=Citt ", "Form5.SSCommand1.enabled=true", "Form5.SSCommand2.enabled=true",
        "type:Form5.Text2(0)=Abcdefghijklmnop", "Form5.Text2(0).caption=Abcdefghijklm",
        "type:Form5.Text1(0)=a5", "Form5.Text1(0).caption=5", "type:Form5.Text1(0)=-20", "Form5.Text1(0).caption=-12"};
    QTest::newRow("Form6 class box holds one character") << QStringList{} << QStringList{
        "click:Form1.Tabtip", "type:Form6.Text1(0)=71", "Form6.Text1(0).caption=3", "Form6.SSCommand1.enabled=true"};
    QTest::newRow("date characters: Default, then Annulla") << QStringList{"#", "%"} << QStringList{
        "click:Form1.CarDat", "click:Form8.SSCommand3", "Form8.Text1.caption=*", "Form8.Text2.caption=°",
        "Form1.SSPanel1(0).caption=*", "Form1.SSPanel1(3).caption=°", "click:Form8.SSCommand1", "closed:Form8",
        "Form1.SSPanel1(0).caption=#", "Form1.SSPanel1(3).caption=%"};
}

void EditorsTest::scripts() {
    QFETCH(QStringList, symbols);
    QFETCH(QStringList, steps);
    RunningProgram p;
    if (!symbols.isEmpty()) writeSymbols(p, symbols[0].toStdString(), symbols[1].toStdString());
    QVERIFY(p.start(50));
    p.run(steps);
}

// A refused character leaves the caret where it was typed, not at the end.
void EditorsTest::caretStaysWhereTyped() {
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1.Tabfu");
    auto* box = qobject_cast<QLineEdit*>(p.driver->control("Form5.Text2(1)"));
    QVERIFY(box);
    box->setFocus();
    box->setCursorPosition(2);   // "Lo|ndra"
    QTest::keyClicks(box, "9");
    QCOMPARE(box->text(), QString("Londra"));
    QCOMPARE(box->cursorPosition(), 2);
    QTest::keyClicks(box, "x");
    QCOMPARE(box->text(), QString("Loxndra"));
    QCOMPARE(box->cursorPosition(), 3);
}

void EditorsTest::layoutAndTabOrder() {
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1.Tabtip");
    QCOMPARE(p.caption("Form6"), QString("Tabella Tipi"));
    struct Place { const char* name; int left, top, width, height; };
    const Place places[] = {
        {"Text2(0)", 70, 120, 1575, 300},   {"Text1(0)", 1800, 120, 540, 300},
        {"Text2(13)", 70, 6165, 1575, 300}, {"Text2(14)", 2620, 120, 1575, 300},
        {"Text1(53)", 9360, 5235, 540, 300}, {"SSCommand1", 7560, 5640, 1095, 375},
        {"SSCommand2", 8800, 5640, 1095, 375}, {"SSCommand3", 7560, 6120, 1095, 375},
    };
    for (const Place& place : places) {
        const QJsonObject c = p.control(QString("Form6.") + place.name);
        const int got[] = {c["left"].toInt(), c["top"].toInt(), c["width"].toInt(), c["height"].toInt()};
        const int want[] = {place.left, place.top, place.width, place.height};
        for (int i = 0; i < 4; ++i) QVERIFY2(std::abs(got[i] - want[i]) <= 8, place.name);   // half a pixel
    }
    p.expect({"Form6.SSCommand1.caption=Salva", "Form6.SSCommand2.caption=Annulla", "Form6.SSCommand3.caption=Esci",
              "Form6.Text1(0).backColour=#404040", "Form6.Text1(0).textColour=#ffe0c0",
              "Form6.Text2(0).backColour=#000000"});
    QCOMPARE(qobject_cast<QLineEdit*>(p.driver->control("Form6.Text1(0)"))->maxLength(), 1);
    QCOMPARE(qobject_cast<QLineEdit*>(p.driver->control("Form6.Text2(0)"))->maxLength(), 13);

    QStringList order;
    QWidget* w = p.driver->control("Form6.Text1(0)");
    for (int i = 0; i < 108; ++i, w = w->nextInFocusChain()) order << w->objectName();
    QCOMPARE(order[53], QString("Text1(53)"));
    QCOMPARE(order[54], QString("Text2(0)"));
    QCOMPARE(order[107], QString("Text2(53)"));
}

// The dialog's look, then a character shown on the main window as it is typed.
void EditorsTest::dateCharacterShowsLive() {
    RunningProgram p;
    writeSymbols(p, "*", "°");
    QVERIFY(p.start(50));
    p.do_("click:Form1.CarDat");
    p.expect({"Form8.caption=Caratteri Per le Date", "Form8.SSCommand2.enabled=false",
              "Form8.SSCommand3.enabled=false",
              "Form8.Label1.textColour=#c00000", "Form8.Label2.textColour=#008000",
              "Form8.Text1.textColour=#c00000", "Form8.Text1.backColour=#ffffc0", "Form8.Text1.fontSize=13.5",
              "Form8.Text2.textColour=#808080", "Form8.Text2.backColour=#ffffc0",
              "Form8.SSCommand3.caption=Default", "Form8.SSCommand1.caption=Annulla", "Form8.SSCommand2.caption=Ok"});
    QVERIFY(p.driver->control("Form8.Text2")->font().bold());
    p.do_("type:Form8.Text1=#");
    p.expect({"Form1.SSPanel1(0).caption=#", "Form8.SSCommand2.enabled=true", "Form8.SSCommand3.enabled=true"});
    p.do_("ticks:2");
    int firstDateRows = 0;
    for (int k = 0; k < 27; ++k) {
        const QString marker = p.caption(QString("Form1.Label3(%1)").arg(k));
        QVERIFY2(marker == "#" || marker == "°", qPrintable(marker));
        firstDateRows += marker == "#";
    }
    QVERIFY(firstDateRows > 0);
    p.do_("type:Form8.Text1=ā");   // refused: seg.dat could not store it
    p.expect({"Form8.Text1.caption=", "Form1.SSPanel1(0).caption="});
    p.do_("type:Form8.Text1=$");
    p.do_("click:Form8.SSCommand2");
    QVERIFY(!p.driver->window("Form8"));
    p.expect({"Form1.SSPanel1(0).caption=$"});
}

QTEST_MAIN(EditorsTest)
#include "test_editors.moc"
