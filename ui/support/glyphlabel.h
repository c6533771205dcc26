#pragma once
// A label whose text changes every second (the times of the rows and the
// panels under the grid), painted from glyphs laid out once.
//
// QLabel lays out and shapes its whole text again at every paint. Here each
// character's glyph and advance, and each pair's kerning, are taken once
// from Qt's own layout of that character or pair and kept; a new text is
// placed from them, so it lands on exactly the pixels QLabel would paint,
// and only the characters whose glyph or place changed are repainted.
// The text itself stays the QLabel's: the accessibility tree and the test
// driver read it as before.
//
// A text this cannot place as QLabel would (rich text, a character drawn
// from another font, a ligature, a disabled label, an indent or margin) is
// left to QLabel, whole.

#include <QHash>
#include <QLabel>
#include <QRawFont>
#include <optional>
#include <vector>

namespace vemar::ui {

class GlyphLabel : public QLabel {
    Q_OBJECT
public:
    explicit GlyphLabel(QWidget* parent = nullptr);

    // As QLabel::setText (which also works, repainting the whole label), but
    // repaints only the characters that changed.
    void showText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
        QRectF ink;   // the glyph's bounds, from its pen position on the baseline
    };
    // A text placed in the label: glyph k is drawn at origin + positions[k].
    struct Layout {
        QString text;
        bool placed = false;   // false: QLabel paints this text
        QPointF origin;        // the first pen position, on the baseline
        QList<quint32> glyphs;
        QList<QPointF> positions;
        std::vector<QRectF> cells;   // what repainting glyph k covers, in the label
    };

    Layout layOut(const QString& text);
    // nullopt when the character is not one glyph of the label's font.
    std::optional<Glyph> glyph(QChar c);
    // What follows a's advance when b comes next; nullopt when the pair is
    // not two glyphs of the label's font.
    std::optional<qreal> kerning(QChar a, QChar b);
    QRegion changed(const Layout& before, const Layout& after) const;
    void forgetGlyphs();

    // The label's font as its first character was shaped, and its line.
    QRawFont rawFont_;
    qreal ascent_ = 0;
    qreal lineHeight_ = 0;
    QHash<char16_t, std::optional<Glyph>> glyphs_;
    QHash<quint32, std::optional<qreal>> kerning_;
    Layout layout_;
};

} // namespace vemar::ui
