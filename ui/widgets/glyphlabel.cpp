#include "ui/widgets/glyphlabel.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QPaintEvent>
#include <QTextLayout>
#include <QVarLengthArray>
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

quint32 pairKey(QChar a, QChar b) { return quint32(a.unicode()) << 16 | b.unicode(); }

// Repainting a glyph also repaints the pixels its edges blend into.
constexpr qreal kBlend = 1;

// QLabel::setText sends the screen reader a change of name unless the
// widget has an accessible name of its own: the label has one, which its
// accessible interface does not report.
const QString kQuietName = QStringLiteral("GlyphLabel");

// The label's name is its text, as for any label, read when it is asked for.
class GlyphLabelAccessible : public QAccessibleWidget {
public:
    explicit GlyphLabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

GlyphLabel::GlyphLabel(QWidget* parent) : QLabel(parent) {
    // The background is filled here, with the glyphs' painter, rather than
    // by a painter of its own for each repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(kQuietName);
}

QAccessibleInterface* GlyphLabel::accessibleFor(const QString&, QObject* object) {
    auto* label = qobject_cast<GlyphLabel*>(object);
    return label ? new GlyphLabelAccessible(label) : nullptr;
}

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

std::optional<qreal> GlyphLabel::Glyphs::kerning(const QString& text, qsizetype k) {
    const quint32 key = pairKey(text[k], text[k + 1]);
    auto known = byPair.constFind(key);
    if (known != byPair.cend()) return *known;
    std::optional<qreal> found;
    const std::optional<Glyph> first = glyph(text[k]);   // which also settles rawFont
    if (!first) return found;

    // Every pair of the text from one layout of it, when that gives a glyph a character.
    const Shaped whole = shape(text, font);
    if (whole.runs.size() == 1 && whole.runs[0].glyphIndexes().size() == text.size() &&
        whole.runs[0].rawFont() == rawFont) {
        const QList<QPointF> at = whole.runs[0].positions();
        for (qsizetype i = 0; i + 1 < text.size(); ++i)
            if (const std::optional<Glyph> g = glyph(text[i]))
                byPair.insert(pairKey(text[i], text[i + 1]), at[i + 1].x() - at[i].x() - g->advance);
        known = byPair.constFind(key);
        if (known != byPair.cend()) return *known;
    }

    // Else this pair alone.
    const Shaped pair = shape(text.mid(k, 2), font);
    if (pair.runs.size() == 1 && pair.runs[0].glyphIndexes().size() == 2 && pair.runs[0].rawFont() == rawFont) {
        const QList<QPointF> at = pair.runs[0].positions();
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
    // Every pair of the characters of times, learnt from one layout of a
    // text that holds them all, rather than a few each second as the times
    // first show them.
    static const QString kTimeCharacters = QStringLiteral("0123456789:' ,");
    QString pairs;
    for (QChar a : kTimeCharacters)
        for (QChar b : kTimeCharacters) pairs.append(a).append(b);
    made->kerning(pairs, 0);
    return made;
}

std::optional<GlyphLabel::Step> GlyphLabel::step(const QString& text, qsizetype k) {
    const std::optional<Glyph> g = glyphs_->glyph(text[k]);
    if (!g) return std::nullopt;
    qreal advance = g->advance;
    if (k + 1 < text.size()) {
        const std::optional<qreal> kern = glyphs_->kerning(text, k);
        if (!kern) return std::nullopt;
        advance += *kern;
    }
    return Step{g->index, advance, std::min<qreal>(0, g->ink.left()) - kBlend,
                std::max(advance, g->ink.right()) + kBlend};
}

QRect GlyphLabel::cell(const Step& step, qreal x, const QPointF& origin) const {
    return QRectF(origin.x() + x + step.from, 0, step.to - step.from, height()).toAlignedRect();
}

GlyphLabel::Layout GlyphLabel::layOut(const QString& text) {
    Layout layout;
    layout.text = text;
    // What QLabel's drawing does beyond one plain line in its contents rectangle.
    if (Qt::mightBeRichText(text) || wordWrap() || margin() != 0 || indent() > 0 || frameWidth() != 0 ||
        layoutDirection() != Qt::LeftToRight)
        return layout;
    if (!glyphs_) glyphs_ = glyphsOf(font());
    const qsizetype n = text.size();
    QVarLengthArray<Step, 40> steps;
    qreal x = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const std::optional<Step> next = step(text, k);
        if (!next) return layout;
        steps.append(*next);
        x += next->advance;
    }
    // Placed in the contents rectangle as QStyle::drawItemText places one line.
    const QRectF r = contentsRect();
    const Qt::Alignment align = alignment();
    const qreal left = align & Qt::AlignHCenter ? (r.width() - x) / 2 : align & Qt::AlignRight ? r.width() - x : 0;
    const qreal top = align & Qt::AlignVCenter ? (r.height() - glyphs_->lineHeight) / 2
                      : align & Qt::AlignBottom ? r.height() - glyphs_->lineHeight : 0;
    layout.origin = QPointF(r.x() + left, r.y() + top + glyphs_->ascent);
    layout.width = x;
    layout.glyphs.reserve(n);
    layout.positions.reserve(n);
    layout.cells.reserve(n);
    x = 0;
    for (const Step& s : steps) {
        layout.glyphs.append(s.index);
        layout.positions.append(QPointF(x, 0));
        layout.cells.append(cell(s, x, layout.origin));
        x += s.advance;
    }
    layout.placed = true;
    return layout;
}

// A second's new text differs from the last one in its end, and its digits
// are as wide as the ones they replace: the characters before the first
// difference keep their glyphs and places, and only the end is placed again,
// in the layout itself.
std::optional<QRect> GlyphLabel::relayEnd(const QString& text) {
    Layout& l = layout_;
    const qsizetype n = text.size();
    if (!l.placed || n != l.text.size() || n == 0 || Qt::mightBeRichText(text)) return std::nullopt;
    qsizetype first = 0;
    while (first < n && text[first] == l.text[first]) ++first;
    // The character before the first difference: its pair, so its advance, may change.
    const qsizetype from = std::max<qsizetype>(0, first - 1);
    QVarLengthArray<Step, 40> steps;
    qreal width = l.positions[from].x();
    for (qsizetype k = from; k < n; ++k) {
        const std::optional<Step> next = step(text, k);
        if (!next) return std::nullopt;
        steps.append(*next);
        width += next->advance;
    }
    if (width != l.width) return std::nullopt;   // a new width moves the whole centred text
    QRect region;
    qreal x = l.positions[from].x();
    for (qsizetype k = from; k < n; ++k) {
        const Step& s = steps[k - from];
        const QRect moved = cell(s, x, l.origin);
        if (s.index != l.glyphs[k] || x != l.positions[k].x()) region |= l.cells[k] | moved;
        l.glyphs[k] = s.index;
        l.positions[k].setX(x);
        l.cells[k] = moved;
        x += s.advance;
    }
    l.text = text;
    return region;
}

QRect GlyphLabel::changed(const Layout& before, const Layout& after) const {
    if (!before.placed || !after.placed) return rect();
    QRect region;
    const qsizetype most = std::max(before.glyphs.size(), after.glyphs.size());
    for (qsizetype k = 0; k < most; ++k) {
        const bool inBefore = k < before.glyphs.size(), inAfter = k < after.glyphs.size();
        if (inBefore && inAfter && before.glyphs[k] == after.glyphs[k] &&
            before.origin + before.positions[k] == after.origin + after.positions[k])
            continue;
        if (inBefore) region |= before.cells[k];
        if (inAfter) region |= after.cells[k];
    }
    return region;
}

void GlyphLabel::showText(const QString& text) {
    if (text == this->text()) return;
    // Hidden, nothing is repainted: the text is laid out when it is first
    // painted, after the window has been shown, not while the start waits.
    if (!isVisible()) {
        QLabel::setText(text);
        return;
    }
    if (layout_.text != this->text()) layout_ = layOut(this->text());
    QRect region;
    if (const std::optional<QRect> end = relayEnd(text)) {
        region = *end;
    } else {
        Layout next = layOut(text);
        region = changed(layout_, next);
        layout_ = std::move(next);
    }
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
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().brush(backgroundRole()));
        if (layout_.placed && isEnabled()) {
            // Only the glyphs with pixels in the repainted area.
            const QRect area = event->rect();
            qsizetype first = 0, last = layout_.cells.size();
            while (first < last && !layout_.cells[first].intersects(area)) ++first;
            while (last > first && !layout_.cells[last - 1].intersects(area)) --last;
            if (first == last) return;
            QGlyphRun run;
            run.setRawFont(glyphs_->rawFont);
            run.setGlyphIndexes(layout_.glyphs.mid(first, last - first));
            run.setPositions(layout_.positions.mid(first, last - first));
            painter.setPen(QPen(palette().brush(foregroundRole()), 1));
            painter.drawGlyphRun(layout_.origin, run);
            return;
        }
    }
    QLabel::paintEvent(event);
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
