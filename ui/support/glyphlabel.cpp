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

std::optional<GlyphLabel::Glyph> GlyphLabel::glyph(QChar c) {
    const auto known = glyphs_.constFind(c.unicode());
    if (known != glyphs_.cend()) return *known;
    std::optional<Glyph> found;
    // A line break or half of a surrogate pair is not one glyph of its own.
    if (c.unicode() < u' ' || c.isSurrogate()) return found;
    const Shaped shaped = shape(QString(c), font());
    if (shaped.runs.size() == 1 && shaped.runs[0].glyphIndexes().size() == 1) {
        const QGlyphRun& run = shaped.runs[0];
        if (!rawFont_.isValid()) {
            rawFont_ = run.rawFont();
            ascent_ = shaped.ascent;
            lineHeight_ = shaped.height;
        }
        if (run.rawFont() == rawFont_) {
            const quint32 index = run.glyphIndexes()[0];
            found = Glyph{index, shaped.advance, rawFont_.boundingRect(index)};
        }
    }
    glyphs_.insert(c.unicode(), found);
    return found;
}

std::optional<qreal> GlyphLabel::kerning(QChar a, QChar b) {
    const quint32 key = quint32(a.unicode()) << 16 | b.unicode();
    auto known = kerning_.constFind(key);
    if (known != kerning_.cend()) return *known;
    std::optional<qreal> found;
    const std::optional<Glyph> first = glyph(a);
    const Shaped shaped = shape(QString(a) + b, font());
    if (first && shaped.runs.size() == 1 && shaped.runs[0].glyphIndexes().size() == 2 &&
        shaped.runs[0].rawFont() == rawFont_) {
        const QList<QPointF> at = shaped.runs[0].positions();
        found = at[1].x() - at[0].x() - first->advance;
    }
    kerning_.insert(key, found);
    return found;
}

GlyphLabel::Layout GlyphLabel::layOut(const QString& text) {
    Layout layout;
    layout.text = text;
    // What QLabel's drawing does beyond one plain line in its contents rectangle.
    if (Qt::mightBeRichText(text) || wordWrap() || margin() != 0 || indent() > 0 || frameWidth() != 0 ||
        layoutDirection() != Qt::LeftToRight)
        return layout;
    qreal x = 0;
    std::vector<QRectF> inks;
    std::vector<qreal> advances;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const std::optional<Glyph> g = glyph(text[k]);
        if (!g) return layout;
        qreal advance = g->advance;
        if (k + 1 < text.size()) {
            const std::optional<qreal> kern = kerning(text[k], text[k + 1]);
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
    const qreal top = align & Qt::AlignVCenter ? (r.height() - lineHeight_) / 2
                      : align & Qt::AlignBottom ? r.height() - lineHeight_ : 0;
    layout.origin = QPointF(r.x() + left, r.y() + top + ascent_);
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
    run.setRawFont(rawFont_);
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
    rawFont_ = QRawFont();
    glyphs_.clear();
    kerning_.clear();
    layout_ = Layout();
}

} // namespace vemar::ui
