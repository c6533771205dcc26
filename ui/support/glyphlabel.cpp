#include "ui/support/glyphlabel.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QPaintEvent>
#include <QTextLayout>
#include <algorithm>

namespace vemar::ui {

namespace {

// The glyphs Qt's own layout gives a short text in font, and the line they
// sit on, as QLabel's text drawing lays a single line out.
struct Shaped {
    QList<QGlyphRun> runs;
    qreal advance = 0;
    qreal ascent = 0;
    qreal height = 0;
};

Shaped shape(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    // The line's height unrounded, as QLabel centres it (QTextLine::height() rounds up).
    return {layout.glyphRuns(), line.horizontalAdvance(), line.ascent(), line.ascent() + line.descent()};
}

// Repainting a glyph also repaints the pixels its edges blend into.
constexpr qreal kBlend = 1;

} // namespace

GlyphLabel::GlyphLabel(QWidget* parent) : QLabel(parent) {}

std::optional<GlyphLabel::Glyph> GlyphLabel::Glyphs::glyph(QChar c) {
    const auto known = byChar.constFind(c.unicode());
    if (known != byChar.cend()) return *known;
    std::optional<Glyph> found;
    // A line break or half of a surrogate pair is not one glyph of its own.
    if (c.unicode() >= u' ' && !c.isSurrogate()) {
        const Shaped shaped = shape(QString(c), font);
        if (shaped.runs.size() == 1 && shaped.runs[0].glyphIndexes().size() == 1) {
            const QGlyphRun& run = shaped.runs[0];
            if (!rawFont.isValid()) {
                rawFont = run.rawFont();
                ascent = shaped.ascent;
                lineHeight = shaped.height;
            }
            if (run.rawFont() == rawFont) {
                const quint32 index = run.glyphIndexes()[0];
                found = Glyph{index, shaped.advance, rawFont.boundingRect(index)};
            }
        }
    }
    byChar.insert(c.unicode(), found);
    return found;
}

std::optional<qreal> GlyphLabel::Glyphs::kerning(QChar a, QChar b) {
    const quint32 key = quint32(a.unicode()) << 16 | b.unicode();
    const auto known = byPair.constFind(key);
    if (known != byPair.cend()) return *known;
    std::optional<qreal> found;
    const std::optional<Glyph> first = glyph(a);
    const Shaped shaped = shape(QString(a) + b, font);
    if (first && shaped.runs.size() == 1 && shaped.runs[0].glyphIndexes().size() == 2 &&
        shaped.runs[0].rawFont() == rawFont) {
        const QList<QPointF> at = shaped.runs[0].positions();
        found = at[1].x() - at[0].x() - first->advance;
    }
    byPair.insert(key, found);
    return found;
}

std::shared_ptr<GlyphLabel::Glyphs> GlyphLabel::glyphsOf(const QFont& font) {
    // Each font's glyphs, gone with the last label of that font.
    static QHash<QString, std::weak_ptr<Glyphs>> fonts;
    const QString key = font.key();
    if (std::shared_ptr<Glyphs> known = fonts.value(key).lock()) return known;
    auto made = std::make_shared<Glyphs>();
    made->font = font;
    fonts.insert(key, made);
    return made;
}

void GlyphLabel::Glyphs::learnPairs(const QString& text) {
    const Shaped shaped = shape(text, font);
    if (shaped.runs.size() != 1 || shaped.runs[0].glyphIndexes().size() != text.size() ||
        shaped.runs[0].rawFont() != rawFont)
        return;   // not one glyph a character: each pair is learnt alone
    const QList<QPointF> at = shaped.runs[0].positions();
    for (qsizetype k = 0; k + 1 < text.size(); ++k) {
        const std::optional<Glyph> first = glyph(text[k]);
        if (!first) return;
        byPair.insert(quint32(text[k].unicode()) << 16 | text[k + 1].unicode(),
                      at[k + 1].x() - at[k].x() - first->advance);
    }
}

GlyphLabel::Layout GlyphLabel::layOut(const QString& text) {
    Layout layout;
    layout.text = text;
    // What QLabel's drawing does beyond one plain line in its contents rectangle.
    if (Qt::mightBeRichText(text) || wordWrap() || margin() != 0 || indent() > 0 || frameWidth() != 0 ||
        layoutDirection() != Qt::LeftToRight)
        return layout;
    if (!glyphs_) glyphs_ = glyphsOf(font());
    Glyphs& shared = *glyphs_;
    for (qsizetype k = 0; k + 1 < text.size(); ++k) {
        if (!shared.byPair.contains(quint32(text[k].unicode()) << 16 | text[k + 1].unicode())) {
            // The first seconds of a run meet a new pair or two every second.
            shared.learnPairs(text);
            break;
        }
    }
    qreal x = 0;
    std::vector<QRectF> inks;
    std::vector<qreal> advances;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const std::optional<Glyph> g = shared.glyph(text[k]);
        if (!g) return layout;
        qreal advance = g->advance;
        if (k + 1 < text.size()) {
            const std::optional<qreal> kern = shared.kerning(text[k], text[k + 1]);
            if (!kern) return layout;
            advance += *kern;
        }
        layout.glyphs.append(g->index);
        layout.positions.append(QPointF(x, 0));
        inks.push_back(g->ink);
        advances.push_back(advance);
        x += advance;
    }
    // Placed in the contents rectangle as QStyle::drawItemText places one line.
    const QRectF r = contentsRect();
    const Qt::Alignment align = alignment();
    const qreal width = x;
    const qreal left = align & Qt::AlignHCenter ? (r.width() - width) / 2
                       : align & Qt::AlignRight ? r.width() - width : 0;
    const qreal top = align & Qt::AlignVCenter ? (r.height() - shared.lineHeight) / 2
                      : align & Qt::AlignBottom ? r.height() - shared.lineHeight : 0;
    layout.origin = QPointF(r.x() + left, r.y() + top + shared.ascent);
    for (size_t k = 0; k < advances.size(); ++k) {
        const qreal from = layout.origin.x() + layout.positions[qsizetype(k)].x();
        const qreal start = from + std::min<qreal>(0, inks[k].left()) - kBlend;
        const qreal end = from + std::max(advances[k], inks[k].right()) + kBlend;
        layout.cells.push_back(QRectF(start, 0, end - start, height()));
    }
    layout.placed = true;
    return layout;
}

QRegion GlyphLabel::changed(const Layout& before, const Layout& after) const {
    if (!before.placed || !after.placed) return QRegion(rect());
    QRegion region;
    const qsizetype most = std::max(before.glyphs.size(), after.glyphs.size());
    // Glyph k of either text: unchanged only where both draw the same glyph on the same spot.
    for (qsizetype k = 0; k < most; ++k) {
        const bool inBefore = k < before.glyphs.size(), inAfter = k < after.glyphs.size();
        if (inBefore && inAfter && before.glyphs[k] == after.glyphs[k] &&
            before.origin + before.positions[k] == after.origin + after.positions[k])
            continue;
        if (inBefore) region += before.cells[size_t(k)].toAlignedRect();
        if (inAfter) region += after.cells[size_t(k)].toAlignedRect();
    }
    return region;
}

void GlyphLabel::showText(const QString& text) {
    if (text == this->text()) return;
    if (layout_.text != this->text()) layout_ = layOut(this->text());
    Layout next = layOut(text);
    const QRegion region = changed(layout_, next);
    layout_ = std::move(next);
    {
        // QLabel::setText asks to repaint the whole label; the characters
        // that changed are asked for below instead.
        const bool wasDisabled = testAttribute(Qt::WA_UpdatesDisabled);
        setAttribute(Qt::WA_UpdatesDisabled, true);
        QLabel::setText(text);
        setAttribute(Qt::WA_UpdatesDisabled, wasDisabled);
    }
    update(region);
}

void GlyphLabel::paintEvent(QPaintEvent* event) {
    // QLabel::setText called directly leaves the layout behind.
    if (layout_.text != text()) layout_ = layOut(text());
    if (!layout_.placed || !isEnabled()) {
        QLabel::paintEvent(event);
        return;
    }
    if (layout_.glyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(glyphs_->rawFont);
    run.setGlyphIndexes(layout_.glyphs);
    run.setPositions(layout_.positions);
    QPainter painter(this);
    painter.setPen(QPen(palette().brush(foregroundRole()), 1));
    painter.drawGlyphRun(layout_.origin, run);
}

void GlyphLabel::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        forgetGlyphs();
        break;
    default:
        break;
    }
    QLabel::changeEvent(event);
}

void GlyphLabel::forgetGlyphs() {
    glyphs_.reset();
    layout_ = Layout();
}

} // namespace vemar::ui
