// The zone table editors and the date characters dialog driven through
// their real boxes and buttons, and what the main window shows afterwards.

#include "core/files.h"
#include "uitestsupport.h"

#include <QLineEdit>
#include <QTest>

using vemar::test::RunningProgram;

namespace {

// The zone table as fusi.dat holds it now.
vemar::ZoneTable tableIn(const RunningProgram& p) {
    return vemar::ReadZoneTable(p.path("fusi.dat").toStdString());
}

// seg.dat with the date symbols given and the display settings of a first run.
void writeSymbols(const RunningProgram& p, const std::string& first, const std::string& second) {
    vemar::WriteDisplaySettings(p.path("seg.dat").toStdString(),
                                {"0", "0", "7", "7", "7", "0", "0", first, second});
}

int questions(const RunningProgram& p) { return p.platform.count("question"); }

} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    void editedNameShowsAfterCommit_data();
    void editedNameShowsAfterCommit();
    void classColourShowsAfterCommit();
    void everyWayOutClosesOnce_data();
    void everyWayOutClosesOnce();
    void boxesFilterAsTyped_data();
    void boxesFilterAsTyped();
    void caretStaysWhereTyped();
    void layoutAndTabOrder();
    void dateCharacterShowsLive();
    void defaultThenAnnullaRestores();
    void dateBoxesLook();
};

// Salva then Esci (commit), or editing then the close box and Yes (direct
// save): either way the main window shows the name from the next tick.
void EditorsTest::editedNameShowsAfterCommit_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("questionsAsked");
    QTest::newRow("Form5 Salva, Esci") << "Tabfu" << "Form5"
        << QStringList{"click:Form5.SSCommand1", "click:Form5.SSCommand3"} << 0;
    QTest::newRow("Form5 close box, Yes") << "Tabfu" << "Form5" << QStringList{"answer:yes", "close:Form5"} << 1;
    QTest::newRow("Form6 Salva, close box") << "Tabtip" << "Form6"
        << QStringList{"click:Form6.SSCommand1", "close:Form6"} << 0;
}

void EditorsTest::editedNameShowsAfterCommit() {
    QFETCH(QString, menu);
    QFETCH(QString, form);
    QFETCH(QStringList, actions);
    QFETCH(int, questionsAsked);
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1." + menu);
    QVERIFY(p.driver->window(form));
    p.do_("type:" + form + ".Text2(3)=Lima");
    for (const QString& action : actions) p.do_(action);
    QVERIFY(!p.driver->window(form));
    QCOMPARE(questions(p), questionsAsked);
    QCOMPARE(tableIn(p)[3].name, std::string("Lima"));
    QCOMPARE(tableIn(p)[3].offset, std::string("+1"));   // the other fields as they were
    p.do_("ticks:1");
    QCOMPARE(p.caption("Form1.Label1(3)"), QString("Lima"));
    QVERIFY(p.control("Form1.Label2(3)")["tooltip"].toString().startsWith(" Lima +1h"));
}

void EditorsTest::classColourShowsAfterCommit() {
    RunningProgram p;
    QVERIFY(p.start(50));
    QCOMPARE(p.control("Form1.Label1(0)")["textColour"].toString(), QString("#00ffff"));
    p.do_("click:Form1.Tabtip");
    p.do_("type:Form6.Text1(0)=2");
    // The name takes its new colour at Salva, not while the class is typed.
    QCOMPARE(p.control("Form6.Text2(0)")["textColour"].toString(), QString("#00ffff"));
    p.do_("click:Form6.SSCommand1");
    QCOMPARE(p.control("Form6.Text2(0)")["textColour"].toString(), QString("#ff0000"));
    p.do_("click:Form6.SSCommand3");
    p.do_("ticks:1");
    QCOMPARE(p.control("Form1.Label1(0)")["textColour"].toString(), QString("#ff0000"));
    QCOMPARE(tableIn(p)[0].zoneClass, std::string("2"));
}

// Esci, the close box and Esc each run the closing once: one question, and
// with No the file stays as it was.
void EditorsTest::everyWayOutClosesOnce_data() {
    QTest::addColumn<QString>("wayOut");
    QTest::newRow("Esci") << "click:Form5.SSCommand3";
    QTest::newRow("close box") << "close:Form5";
    QTest::newRow("Esc") << "key:Form5.Text2(0)=Esc";
}

void EditorsTest::everyWayOutClosesOnce() {
    QFETCH(QString, wayOut);
    RunningProgram p;
    const QByteArray before = vemar::test::readBytes(p.path("fusi.dat"));
    QVERIFY(p.start(50));
    p.do_("click:Form1.Tabfu");
    p.do_("type:Form5.Text2(0)=Rome");
    p.do_("answer:no");
    p.do_(wayOut);
    QVERIFY(!p.driver->window("Form5"));
    QCOMPARE(questions(p), 1);
    QCOMPARE(vemar::test::readBytes(p.path("fusi.dat")), before);
    QVERIFY(!QFile::exists(p.path("fusi.tmp")));
}

void EditorsTest::boxesFilterAsTyped_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("accent and digit") << "Tabfu" << "Form5.Text2(0)" << "Città 1" << "Citt ";
    QTest::newRow("13 letters") << "Tabfu" << "Form5.Text2(0)" << "Abcdefghijklmnop" << "Abcdefghijklm";
    QTest::newRow("offset 15") << "Tabfu" << "Form5.Text1(0)" << "15" << "12";
    QTest::newRow("offset -20") << "Tabfu" << "Form5.Text1(0)" << "-20" << "-12";
    QTest::newRow("offset a5") << "Tabfu" << "Form5.Text1(0)" << "a5" << "5";
    QTest::newRow("class 7") << "Tabtip" << "Form6.Text1(0)" << "7" << "3";
    QTest::newRow("class slash") << "Tabtip" << "Form6.Text1(0)" << "/" << "0";
    QTest::newRow("class one character") << "Tabtip" << "Form6.Text1(0)" << "21" << "2";
}

void EditorsTest::boxesFilterAsTyped() {
    QFETCH(QString, menu);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1." + menu);
    const QString form = box.section('.', 0, 0);
    QVERIFY(!p.control(form + ".SSCommand1")["enabled"].toBool());
    p.do_("type:" + box + "=" + typed);
    QCOMPARE(p.caption(box), shown);
    QVERIFY(p.control(form + ".SSCommand1")["enabled"].toBool());
    QVERIFY(p.control(form + ".SSCommand2")["enabled"].toBool());
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
    QCOMPARE(p.caption("Form6.SSCommand1"), QString("Salva"));
    QCOMPARE(p.control("Form6.Text1(0)")["backColour"].toString(), QString("#404040"));
    QCOMPARE(p.control("Form6.Text1(0)")["textColour"].toString(), QString("#ffe0c0"));
    QCOMPARE(p.control("Form6.Text2(0)")["backColour"].toString(), QString("#000000"));
    QCOMPARE(qobject_cast<QLineEdit*>(p.driver->control("Form6.Text1(0)"))->maxLength(), 1);
    QCOMPARE(qobject_cast<QLineEdit*>(p.driver->control("Form6.Text2(0)"))->maxLength(), 13);

    QWidget* form = p.driver->window("Form6");
    QStringList order;
    QWidget* w = p.driver->control("Form6.Text1(0)");
    for (int i = 0; i < 108; ++i, w = w->nextInFocusChain()) order << w->objectName();
    QCOMPARE(order[53], QString("Text1(53)"));
    QCOMPARE(order[54], QString("Text2(0)"));
    QCOMPARE(order[107], QString("Text2(53)"));
    QVERIFY(form);
}

void EditorsTest::dateCharacterShowsLive() {
    RunningProgram p;
    writeSymbols(p, "*", "°");
    QVERIFY(p.start(50));
    p.do_("click:Form1.CarDat");
    QCOMPARE(p.caption("Form8"), QString("Caratteri Per le Date"));
    QVERIFY(!p.control("Form8.SSCommand2")["enabled"].toBool());
    QVERIFY(!p.control("Form8.SSCommand3")["enabled"].toBool());
    p.do_("type:Form8.Text1=#");
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString("#"));
    QVERIFY(p.control("Form8.SSCommand2")["enabled"].toBool());
    QVERIFY(p.control("Form8.SSCommand3")["enabled"].toBool());
    p.do_("ticks:2");
    int firstDateRows = 0;
    for (int k = 0; k < 27; ++k) {
        const QString marker = p.caption(QString("Form1.Label3(%1)").arg(k));
        QVERIFY2(marker == "#" || marker == "°", qPrintable(marker));
        firstDateRows += marker == "#";
    }
    QVERIFY(firstDateRows > 0);
    p.do_("type:Form8.Text1=ā");   // refused: seg.dat could not store it
    QCOMPARE(p.caption("Form8.Text1"), QString());
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString());
    p.do_("type:Form8.Text1=$");
    p.do_("click:Form8.SSCommand2");
    QVERIFY(!p.driver->window("Form8"));
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString("$"));
}

void EditorsTest::defaultThenAnnullaRestores() {
    RunningProgram p;
    writeSymbols(p, "#", "%");
    QVERIFY(p.start(50));
    p.do_("click:Form1.CarDat");
    p.do_("click:Form8.SSCommand3");
    QCOMPARE(p.caption("Form8.Text1"), QString("*"));
    QCOMPARE(p.caption("Form8.Text2"), QString("°"));
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString("*"));
    QCOMPARE(p.caption("Form1.SSPanel1(3)"), QString("°"));
    p.do_("click:Form8.SSCommand1");
    QVERIFY(!p.driver->window("Form8"));
    QCOMPARE(p.caption("Form1.SSPanel1(0)"), QString("#"));
    QCOMPARE(p.caption("Form1.SSPanel1(3)"), QString("%"));
    p.do_("ticks:2");
    QVERIFY(p.caption("Form1.Label3(0)") == "#" || p.caption("Form1.Label3(0)") == "%");
}

void EditorsTest::dateBoxesLook() {
    RunningProgram p;
    QVERIFY(p.start(50));
    p.do_("click:Form1.CarDat");
    struct Look { const char* name; const char* text; const char* back; };
    const Look looks[] = {
        {"Label1", "#c00000", nullptr}, {"Label2", "#008000", nullptr},
        {"Text1", "#c00000", "#ffffc0"}, {"Text2", "#808080", "#ffffc0"},
    };
    for (const Look& look : looks) {
        const QJsonObject c = p.control(QString("Form8.") + look.name);
        QCOMPARE(c["textColour"].toString(), QString(look.text));
        if (look.back) QCOMPARE(c["backColour"].toString(), QString(look.back));
    }
    QCOMPARE(p.control("Form8.Text1")["fontSize"].toDouble(), 13.5);
    QVERIFY(p.driver->control("Form8.Text2")->font().bold());
    QCOMPARE(p.caption("Form8.SSCommand3"), QString("Default"));
    QCOMPARE(p.caption("Form8.SSCommand1"), QString("Annulla"));
    QCOMPARE(p.caption("Form8.SSCommand2"), QString("Ok"));
}

QTEST_MAIN(EditorsTest)
#include "test_editors.moc"
