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
    void caretStaysWhereTyped_data();
    void caretStaysWhereTyped();
    void tabOrderRunsDownTheValuesFirst();
};

void EditorsTest::scripts_data() {
    QTest::addColumn<QStringList>("symbols");   // the date pair in seg.dat; none: no seg.dat
    QTest::addColumn<QStringList>("steps");
    // Salva then Esci commits: the main window shows the name from the next tick.
    const QStringList limaShown{"ticks:1", "Form1.Label1(3).caption=Lima", "Form1.Label2(3).tooltip= Lima +1h "};
    QTest::newRow("Form5 Salva, Esci") << QStringList{} << QStringList{
        "click:Form1.Tabfu", "type:Form5.Text2(3)=Lima", "click:Form5.SSCommand1", "click:Form5.SSCommand3",
        "closed:Form5", "count:question=0"} + limaShown;
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
        "Form5.Text2(0).caption=Citt ", "Form5.SSCommand1.enabled=true", "type:Form5.Text1(0)=-20",
        "Form5.Text1(0).caption=-12"};
    QTest::newRow("Form6 layout and look") << QStringList{} << QStringList{
        "click:Form1.Tabtip", "Form6.caption=Tabella Tipi",
        "Form6.Text2(0).left=75", "Form6.Text2(0).top=120", "Form6.Text2(0).width=1575", "Form6.Text2(0).height=300",
        "Form6.Text1(0).left=1800", "Form6.Text1(0).width=540", "Form6.Text2(13).top=6165",
        "Form6.Text2(14).left=2625", "Form6.Text1(53).left=9360", "Form6.Text1(53).top=5235",
        "Form6.SSCommand1.left=7560", "Form6.SSCommand1.top=5640", "Form6.SSCommand1.width=1095",
        "Form6.SSCommand1.height=375", "Form6.SSCommand2.left=8805", "Form6.SSCommand3.top=6120",
        "Form6.Text1(0).backColour=#404040", "Form6.Text1(0).textColour=#ffe0c0",
        "Form6.Text2(0).backColour=#000000", "type:Form6.Text1(0)=71", "Form6.Text1(0).caption=3"};
    QTest::newRow("date characters: the look, a refused character, then Ok") << QStringList{"*", "°"} << QStringList{
        "click:Form1.CarDat", "Form8.caption=Caratteri Per le Date", "Form8.Label1.textColour=#c00000",
        "Form8.Label2.textColour=#008000", "Form8.Text1.textColour=#c00000", "Form8.Text1.backColour=#ffffc0",
        "Form8.Text1.fontSize=13.5", "Form8.Text2.textColour=#808080", "Form8.Text2.backColour=#ffffc0",
        "type:Form8.Text1=ā", "Form8.Text1.caption=", "Form1.SSPanel1(0).caption=",   // seg.dat could not store it
        "type:Form8.Text1=$", "click:Form8.SSCommand2", "closed:Form8", "Form1.SSPanel1(0).caption=$"};
    QTest::newRow("date characters: Default, then Annulla") << QStringList{"#", "%"} << QStringList{
        "click:Form1.CarDat", "click:Form8.SSCommand3", "Form8.Text1.caption=*", "Form1.SSPanel1(3).caption=°",
        "click:Form8.SSCommand1", "closed:Form8", "Form1.SSPanel1(0).caption=#", "Form1.SSPanel1(3).caption=%"};
}

void EditorsTest::scripts() {
    QFETCH(QStringList, symbols);
    QFETCH(QStringList, steps);
    RunningProgram p;
    if (!symbols.isEmpty()) writeSymbols(p, symbols[0].toStdString(), symbols[1].toStdString());
    QVERIFY(p.start(50));
    p.run(steps);
}

// The caret after a filter, in every kind of filtered box: a refused
// character leaves it where it was typed, not at the end (where
// QLineEdit::setText would put it); a kept one moves it on.
void EditorsTest::caretStaysWhereTyped_data() {
    QTest::addColumn<QString>("open");   // the step that shows the box; none for the main window
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("caret");      // placed before typing
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("city name, digit refused") << "click:Form1.Tabfu" << "Form5.Text2(1)" << 2 << "9" << "Londra" << 2;
    QTest::newRow("city name, letter kept") << "click:Form1.Tabfu" << "Form5.Text2(1)" << 2 << "x" << "Loxndra" << 3;
    QTest::newRow("home zone, letter refused") << "" << "Form1.Text1" << 0 << "x" << "1" << 0;
    QTest::newRow("latitude, letter refused") << "click:Form1.Param" << "Form9.Text1" << 1 << "x" << "41" << 1;
}

void EditorsTest::caretStaysWhereTyped() {
    QFETCH(QString, open);
    QFETCH(QString, box);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    RunningProgram p;
    QVERIFY(p.start(50));
    if (!open.isEmpty()) p.do_(open);
    auto* edit = qobject_cast<QLineEdit*>(p.driver->control(box));
    QVERIFY(edit);
    edit->setFocus();
    edit->setCursorPosition(caret);
    QTest::keyClicks(edit, keys);
    QTEST(edit->text(), "text");
    QTEST(edit->cursorPosition(), "caretAfter");
}

// The value boxes first, then the names, as the user fills a column of offsets.
void EditorsTest::tabOrderRunsDownTheValuesFirst() {
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1.Tabtip");
    QStringList order;
    QWidget* w = p.driver->control("Form6.Text1(0)");
    for (int i = 0; i < 108; ++i, w = w->nextInFocusChain()) order << w->objectName();
    QCOMPARE(order[53], QString("Text1(53)"));
    QCOMPARE(order[54], QString("Text2(0)"));
    QCOMPARE(order[107], QString("Text2(53)"));
}

QTEST_MAIN(EditorsTest)
#include "test_editors.moc"
