// The time labels paint from glyphs laid out once: every text must land on
// the pixels a QLabel paints, a change must repaint no more than the
// characters that changed, and the text must read as a QLabel's.

#include "ui/main/application.h"
#include "ui/support/glyphlabel.h"

#include <QAccessible>
#include <QApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

using vemar::ui::GlyphLabel;

namespace {

// A label of the main window's time grid: 81 by 20 pixels, centred.
void dress(QLabel& label, int width, bool bold) {
    label.setAlignment(Qt::AlignCenter);
    label.setFixedSize(width, 20);
    QFont font = QApplication::font();
    font.setBold(bold);
    label.setFont(font);
    label.setAutoFillBackground(true);
    QPalette p = label.palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(p);
}

QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    widget.render(&image);
    return image;
}

// What QLabel paints for the text.
QImage reference(const QString& text, int width, bool bold, int pointSize = 0) {
    QLabel label(text);
    dress(label, width, bold);
    if (pointSize) {
        QFont font = label.font();
        font.setPointSize(pointSize);
        label.setFont(font);
    }
    return rendered(label);
}

// The columns where two images differ, as [first, last]; empty when none do.
std::pair<int, int> differingColumns(const QImage& a, const QImage& b) {
    int first = a.width(), last = -1;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

struct PaintRecorder : QObject {
    QRegion painted;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
            ++paints;
        }
        return false;
    }
};

} // namespace

class GlyphLabelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vemar::ui::setUpLook(*qApp); }
    void paintsAsQLabel_data();
    void paintsAsQLabel();
    void repaintsTheChangedCharacters_data();
    void repaintsTheChangedCharacters();
    void readsAsAQLabel();
};

void GlyphLabelTest::paintsAsQLabel_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("pointSize");    // set after the text, when not 0
    QTest::addColumn<bool>("throughQLabel");   // the text set by QLabel::setText
    QTest::newRow("row time") << "22:00:00" << 81 << true << 0 << false;
    QTest::newRow("one-digit hour after two blanks") << "  9:05:07" << 81 << true << 0 << false;
    QTest::newRow("a kerned pair") << "11:11:11" << 81 << true << 0 << false;
    QTest::newRow("trailing blank") << "20:49:56 " << 70 << false << 0 << false;
    QTest::newRow("words and quotes") << "Inizio anno da: 4148 h  00'  00''" << 214 << false << 0 << false;
    QTest::newRow("Julian day") << "JD = 2460482,5" << 166 << false << 0 << false;
    QTest::newRow("empty") << "" << 81 << true << 0 << false;
    QTest::newRow("larger font after the text") << "17:47:19" << 81 << true << 12 << false;
    QTest::newRow("set through QLabel") << "14:30:59" << 81 << true << 0 << true;
    // Left to QLabel whole: rich text, a character of another font.
    QTest::newRow("rich text") << "<b>22</b>:00" << 81 << false << 0 << false;
    QTest::newRow("a character of another font") << QString::fromUtf8("\u2654 12:00") << 81 << false << 0 << false;
    QTest::newRow("that character alone") << QString::fromUtf8("\u2654") << 81 << false << 0 << false;
}

void GlyphLabelTest::paintsAsQLabel() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, bold);
    QFETCH(int, pointSize);
    QFETCH(bool, throughQLabel);
    GlyphLabel label;
    dress(label, width, bold);
    label.showText("00:00:00");
    rendered(label);   // a layout of another text first, to be replaced
    if (throughQLabel) label.QLabel::setText(text);
    else label.showText(text);
    if (pointSize) {
        QFont font = label.font();
        font.setPointSize(pointSize);
        label.setFont(font);
    }
    QCOMPARE(rendered(label), reference(text, width, bold, pointSize));
}

// A label on the screen goes through texts; after the last one the screen
// must show what QLabel paints for it, and the last change must have
// repainted only the columns where the two texts' pictures differ.
void GlyphLabelTest::repaintsTheChangedCharacters_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("the second") << QStringList{"22:00:00", "22:00:01"};
    QTest::newRow("the minute") << QStringList{"22:00:59", "22:01:00"};
    QTest::newRow("to a two-digit hour") << QStringList{"  9:59:59", "10:00:00"};
    QTest::newRow("back to one digit") << QStringList{"23:59:59", "  0:00:00"};
    QTest::newRow("a kerned pair moves the text") << QStringList{"11:11:10", "11:11:11", "11:11:12"};
    QTest::newRow("a day of seconds in a row")
        << QStringList{"22:00:00", "22:00:01", "22:00:02", "22:00:03", "22:00:04", "22:00:05"};
    QTest::newRow("year progress") << QStringList{"Inizio anno da: 4148 h  00'  00''",
                                                  "Inizio anno da: 4148 h  00'  01''"};
    // One digit fewer: the centred text moves right, off the old one's left end.
    QTest::newRow("year's end, a digit fewer") << QStringList{"Fine anno tra: 1000 h  00'  00''",
                                                              "Fine anno tra: 999 h  59'  59''"};
}

void GlyphLabelTest::repaintsTheChangedCharacters() {
    QFETCH(QStringList, texts);
    const int width = texts[0].size() > 9 ? 214 : 81;
    QWidget window;
    window.resize(width + 20, 40);
    auto* label = new GlyphLabel(&window);
    dress(*label, width, true);
    label->move(10, 10);
    label->showText(texts[0]);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintRecorder recorder;
    label->installEventFilter(&recorder);
    for (const QString& text : texts.mid(1)) {
        recorder.painted = QRegion();
        label->showText(text);
        QTRY_VERIFY(!recorder.painted.isEmpty());
    }
    const QImage onScreen = window.screen()->grabWindow(window.winId(), 10, 10, width, 20)
                                .toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(onScreen, reference(texts.last(), width, true));

    const auto [first, last] = differingColumns(reference(texts[texts.size() - 2], width, true),
                                                reference(texts.last(), width, true));
    const QRect repainted = recorder.painted.boundingRect();
    QVERIFY2(repainted.left() >= first - 3 && repainted.right() <= last + 3,
             qPrintable(QStringLiteral("repainted columns %1..%2, changed %3..%4")
                            .arg(repainted.left()).arg(repainted.right()).arg(first).arg(last)));

    // The same text again repaints nothing.
    const int paints = recorder.paints;
    label->showText(texts.last());
    QTest::qWait(20);
    QCOMPARE(recorder.paints, paints);
}

// The end-to-end tests read the times through the accessibility tree and
// the driver through QLabel::text.
void GlyphLabelTest::readsAsAQLabel() {
    GlyphLabel label;
    label.showText("  9:05:07");
    QCOMPARE(label.text(), QString("  9:05:07"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::StaticText);
    QCOMPARE(accessible->text(QAccessible::Name), QString("  9:05:07"));
}

QTEST_MAIN(GlyphLabelTest)
#include "test_glyphlabel.moc"
