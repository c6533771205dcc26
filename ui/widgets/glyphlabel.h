#pragma once
// A label whose text changes every second (the times of the rows and the
// panels under the grid), painted from glyphs laid out once.
//
// QLabel lays out and shapes its whole text again at every paint. Here each
// character's glyph and advance, and each pair's kerning, are taken once
// from Qt's own layout of that character or text and kept, for every label
// of the same font (the 27 row times share one font); a new text is
// placed from them, so it lands on exactly the pixels QLabel would paint,
// and only the characters whose glyph or place changed are repainted.
// The text itself stays the QLabel's: the test driver reads it as before,
// and a screen reader reads it as the label's name when it asks. The label
// does not tell the screen reader of each new text, as QLabel would: that
// is 32 messages a second on the accessibility bus while one listens.
//
// A text this cannot place as QLabel would (rich text, a character drawn
// from another font, a ligature, a disabled label, an indent or margin) is
// left to QLabel, whole.
//
// The label is opaque: it fills its rectangle with its palette's background,
// as the time labels' autoFillBackground asks, whether that is set or not.

#include <QHash>
#include <QLabel>
#include <QRawFont>
#include <memory>
#include <optional>

class QAccessibleInterface;

namespace vemar::ui {

class GlyphLabel : public QLabel {
    Q_OBJECT
public:
    explicit GlyphLabel(QWidget* parent = nullptr);

    // As QLabel::setText (which also works, repainting the whole label), but
    // repaints only the characters that changed.
    void showText(const QString& text);

    // The label as a screen reader sees it; for QAccessible::installFactory.
    static QAccessibleInterface* accessibleFor(const QString& className, QObject* object);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
        QRectF ink;   // the glyph's bounds, from its pen position on the baseline
    };
    // What the labels of one font share, filled as characters come.
    struct Glyphs {
        QFont font;
        QRawFont rawFont;   // the font as its first character was shaped
        qreal ascent = 0;
        qreal lineHeight = 0;
        QHash<char16_t, std::optional<Glyph>> byChar;    // nullopt: not one glyph of rawFont
        QHash<quint32, std::optional<qreal>> byPair;     // nullopt: not two glyphs of rawFont
        std::optional<Glyph> glyph(QChar c);
        // What follows the advance of text[k] when text[k + 1] comes next.
        // A pair not met yet is learnt with every other pair of the text,
        // from one layout of it, which costs what a layout of one pair costs.
        std::optional<qreal> kerning(const QString& text, qsizetype k);
    };
    // A character of a text placed: its glyph, the advance to the next one
    // (its pair's kerning included), and the pixels it paints or blends
    // into, from its pen position.
    struct Step {
        quint32 index = 0;
        qreal advance = 0;
        qreal from = 0, to = 0;
    };
    // A text placed in the label: glyph k is drawn at origin + positions[k].
    struct Layout {
        QString text;
        bool placed = false;   // false: QLabel paints this text
        QPointF origin;        // the first pen position, on the baseline
        qreal width = 0;       // of the whole text
        QList<quint32> glyphs;
        QList<QPointF> positions;
        QList<QRect> cells;    // the pixels glyph k paints or blends into
    };

    static std::shared_ptr<Glyphs> glyphsOf(const QFont& font);
    std::optional<Step> step(const QString& text, qsizetype k);
    QRect cell(const Step& step, qreal x, const QPointF& origin) const;
    Layout layOut(const QString& text);
    // The layout changed in place to text, and the pixels that changed;
    // nullopt when text must be laid out whole.
    std::optional<QRect> relayEnd(const QString& text);
    // The pixels that differ between the two texts: the cells of the glyphs
    // that are not the same glyph on the same spot in both.
    QRect changed(const Layout& before, const Layout& after) const;
    void forgetGlyphs();

    std::shared_ptr<Glyphs> glyphs_;   // of font(); made at the first layout
    Layout layout_;
};

} // namespace vemar::ui
