#include "ui/info/picture.h"

#include <QConicalGradient>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <array>
#include <vector>

namespace vemar::ui {

namespace {

// The clock sits a little above the middle, so the title that the windows
// lay over the bottom left corner (8..209 by 232..281 pixels) covers none of it.
constexpr QPointF kClockCentre(238, 128);
constexpr qreal kFrameApothem = 101;   // outer wooden octagon, centre to flat side
constexpr qreal kDialRadius = 78;

// The curled corner: where the fold meets the bottom and the right edge.
constexpr qreal kFoldAlongBottom = 84;
constexpr qreal kFoldAlongRight = 64;

// A regular octagon with flat top and bottom sides.
QPolygonF octagon(QPointF centre, qreal apothem) {
    const qreal radius = apothem / qCos(qDegreesToRadians(22.5));
    QPolygonF shape;
    for (int k = 0; k < 8; ++k) {
        const qreal a = qDegreesToRadians(22.5 + 45.0 * k);
        shape << centre + QPointF(radius * qCos(a), radius * qSin(a));
    }
    return shape;
}

// Three box blurs in a row approach a Gaussian; only the alpha matters for a shadow.
// It works on the image's bits directly: QImage::scanLine() checks whether
// to detach the image at every call, and a call per pixel and pass was most
// of the time a start-up took.
void blurAlpha(QImage& image, int radius) {
    const int w = image.width(), h = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    std::vector<int> line(std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h, lines = horizontal ? h : w;
        // Pixel i of line l, along a row or down a column.
        const qsizetype step = horizontal ? sizeof(QRgb) : stride;
        for (int l = 0; l < lines; ++l) {
            uchar* const first = horizontal ? bits + l * stride : bits + l * sizeof(QRgb);
            auto at = [&](int i) -> QRgb& { return *reinterpret_cast<QRgb*>(first + i * step); };
            for (int i = 0; i < n; ++i) line[i] = qAlpha(at(i));
            int sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += line[std::clamp(i, 0, n - 1)];
            for (int i = 0; i < n; ++i) {
                at(i) = qRgba(0, 0, 0, sum / (2 * radius + 1));
                sum += line[std::clamp(i + radius + 1, 0, n - 1)] - line[std::clamp(i - radius, 0, n - 1)];
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(true);
        pass(false);
    }
}

// A soft shadow of a shape, drawn offset beneath it. Only the rectangle the
// blur can reach is made and blurred: three boxes of the radius spread the
// shape that far and no farther, and where the rectangle ends at the
// picture's edge the blur repeats the same edge pixels as on the whole
// picture.
void dropShadow(QPainter& p, const QPainterPath& shape, QPointF offset, int blur, int alpha) {
    const int reach = 3 * blur + 2;   // the blur's spread, and the fill's antialiased edge
    const QRect area = shape.boundingRect().translated(offset).toAlignedRect()
                           .adjusted(-reach, -reach, reach, reach)
                           .intersected(QRect(0, 0, kPictureWidth, kPictureHeight));
    QImage shadow(area.size(), QImage::Format_ARGB32);
    shadow.fill(Qt::transparent);
    {
        QPainter s(&shadow);
        s.setRenderHint(QPainter::Antialiasing);
        s.translate(offset - area.topLeft());
        s.fillPath(shape, QColor(0, 0, 0, alpha));
    }
    blurAlpha(shadow, blur);
    p.drawImage(area.topLeft(), shadow);
}

void drawBackground(QPainter& p) {
    const QRectF all(0, 0, kPictureWidth, kPictureHeight);
    QRadialGradient shade(kClockCentre, QLineF(kClockCentre, all.bottomLeft()).length());
    shade.setColorAt(0.00, QColor(36, 78, 206));
    shade.setColorAt(0.40, QColor(44, 86, 196));
    shade.setColorAt(0.62, QColor(128, 96, 150));
    shade.setColorAt(0.80, QColor(226, 122, 70));
    shade.setColorAt(1.00, QColor(252, 160, 40));
    p.fillRect(all, shade);

    // Faint rays from the clock lend the plain shading some depth.
    QConicalGradient rays(kClockCentre, 0);
    for (int k = 0; k < 24; ++k) {
        rays.setColorAt(k / 24.0, QColor(255, 255, 255, 0));
        rays.setColorAt((k + 0.5) / 24.0, QColor(255, 255, 255, 22));
    }
    rays.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(all, rays);

    // A glow behind the clock.
    QRadialGradient glow(kClockCentre, 150);
    glow.setColorAt(0.0, QColor(140, 190, 255, 110));
    glow.setColorAt(1.0, QColor(140, 190, 255, 0));
    p.fillRect(all, glow);
}

void drawFrame(QPainter& p) {
    QPainterPath outer;
    outer.addPolygon(octagon(kClockCentre, kFrameApothem));
    outer.closeSubpath();
    dropShadow(p, outer, QPointF(7, 9), 5, 150);

    // Wood: lit from the top left.
    QLinearGradient wood(kClockCentre - QPointF(90, 90), kClockCentre + QPointF(90, 90));
    wood.setColorAt(0.0, QColor(176, 108, 56));
    wood.setColorAt(0.5, QColor(128, 70, 32));
    wood.setColorAt(1.0, QColor(74, 36, 14));
    p.setPen(QPen(QColor(48, 22, 8), 1.5));
    p.setBrush(wood);
    p.drawPolygon(octagon(kClockCentre, kFrameApothem));

    // Grain: a few darker arcs across the wood, kept inside the frame.
    p.save();
    p.setClipPath(outer);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 9; ++k) {
        p.setPen(QPen(QColor(60, 28, 10, 40 + 6 * (k % 3)), 1.0));
        const qreal r = 84 + k * 2.3;
        p.drawArc(QRectF(kClockCentre.x() - r - 14 + k, kClockCentre.y() - r + 6, 2 * r, 2 * r),
                  (20 + 37 * k) * 16, (70 + 11 * (k % 4)) * 16);
    }
    p.restore();

    // The raised moulding and the step down to the dial.
    QLinearGradient bevel(kClockCentre - QPointF(80, 80), kClockCentre + QPointF(80, 80));
    bevel.setColorAt(0.0, QColor(230, 170, 110, 200));
    bevel.setColorAt(1.0, QColor(40, 18, 6, 200));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(bevel), 2.2));
    p.drawPolygon(octagon(kClockCentre, kFrameApothem - 6));
    QLinearGradient step(kClockCentre - QPointF(80, 80), kClockCentre + QPointF(80, 80));
    step.setColorAt(0.0, QColor(40, 18, 6));
    step.setColorAt(1.0, QColor(200, 140, 90));
    p.setPen(QPen(QBrush(step), 2.5));
    p.setBrush(QColor(92, 48, 20));
    p.drawEllipse(kClockCentre, kDialRadius + 7, kDialRadius + 7);

    // A brass ring round the dial.
    QConicalGradient brass(kClockCentre, 45);
    brass.setColorAt(0.0, QColor(255, 236, 160));
    brass.setColorAt(0.25, QColor(170, 120, 40));
    brass.setColorAt(0.5, QColor(250, 214, 120));
    brass.setColorAt(0.75, QColor(140, 96, 30));
    brass.setColorAt(1.0, QColor(255, 236, 160));
    p.setPen(QPen(QBrush(brass), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kClockCentre, kDialRadius + 2, kDialRadius + 2);
}

void drawDial(QPainter& p) {
    QRadialGradient face(kClockCentre - QPointF(20, 25), kDialRadius * 1.4);
    face.setColorAt(0.0, QColor(255, 253, 242));
    face.setColorAt(0.7, QColor(246, 238, 214));
    face.setColorAt(1.0, QColor(214, 198, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(kClockCentre, kDialRadius, kDialRadius);

    p.save();
    p.translate(kClockCentre);
    for (int minute = 0; minute < 60; ++minute) {
        const bool hour = minute % 5 == 0;
        p.setPen(QPen(QColor(40, 30, 20), hour ? 2.2 : 0.9, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(0, -(kDialRadius - 3)), QPointF(0, -(kDialRadius - (hour ? 11 : 7))));
        p.rotate(6);
    }
    p.setPen(QPen(QColor(40, 30, 20, 120), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), kDialRadius - 3, kDialRadius - 3);

    // Roman numerals, each upright along its own radius as on a wall clock.
    static constexpr std::array<const char*, 12> kNumerals = {
        "XII", "I", "II", "III", "IIII", "V", "VI", "VII", "VIII", "IX", "X", "XI"};
    QFont numeralFont(QStringList{"DejaVu Serif", "Liberation Serif", "Times New Roman"});
    numeralFont.setStyleHint(QFont::Serif);
    numeralFont.setPixelSize(15);
    numeralFont.setWeight(QFont::DemiBold);
    numeralFont.setStretch(QFont::SemiCondensed);
    p.setFont(numeralFont);
    p.setPen(QColor(30, 24, 20));
    for (int hour = 0; hour < 12; ++hour) {
        p.save();
        p.rotate(30.0 * hour);
        p.translate(0, -(kDialRadius - 22));
        p.drawText(QRectF(-22, -9, 44, 18), Qt::AlignCenter, kNumerals[hour]);
        p.restore();
    }

    QFont maker(QStringList{"DejaVu Serif", "Liberation Serif"});
    maker.setPixelSize(7);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(maker);
    p.setPen(QColor(90, 60, 30));
    p.drawText(QRectF(-30, -34, 60, 10), Qt::AlignCenter, "VEMAR");
    p.restore();
}

// A hand pointing up from the centre, as a closed outline.
QPainterPath handShape(qreal length, qreal width, qreal tail) {
    QPainterPath hand;
    hand.moveTo(0, tail);
    hand.lineTo(-width / 2, 0);
    hand.lineTo(-width * 0.22, -length * 0.72);
    hand.lineTo(-width * 0.55, -length * 0.80);   // the spade
    hand.lineTo(0, -length);
    hand.lineTo(width * 0.55, -length * 0.80);
    hand.lineTo(width * 0.22, -length * 0.72);
    hand.lineTo(width / 2, 0);
    hand.closeSubpath();
    return hand;
}

void drawHands(QPainter& p) {
    struct Hand { qreal angle, length, width, tail; };
    const Hand hands[] = {{305, 46, 7, 10}, {60, 66, 5, 12}};   // ten past ten
    QPainterPath all;
    for (const Hand& h : hands) {
        QTransform t;
        t.translate(kClockCentre.x(), kClockCentre.y());
        t.rotate(h.angle);
        all.addPath(t.map(handShape(h.length, h.width, h.tail)));
    }
    dropShadow(p, all, QPointF(3, 4), 2, 110);
    QLinearGradient steel(kClockCentre - QPointF(40, 40), kClockCentre + QPointF(40, 40));
    steel.setColorAt(0.0, QColor(60, 64, 90));
    steel.setColorAt(1.0, QColor(10, 10, 24));
    p.setPen(QPen(QColor(0, 0, 0, 160), 0.6));
    p.setBrush(steel);
    p.drawPath(all);

    // Seconds: a thin red hand with a counterweight.
    p.save();
    p.translate(kClockCentre);
    p.rotate(200);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1.4));
    p.drawLine(QPointF(2, 20), QPointF(2, -70));
    p.setPen(QPen(QColor(190, 20, 20), 1.2));
    p.drawLine(QPointF(0, 18), QPointF(0, -72));
    p.setBrush(QColor(190, 20, 20));
    p.drawEllipse(QPointF(0, 14), 3, 3);
    p.restore();

    QRadialGradient cap(kClockCentre - QPointF(1.5, 1.5), 6);
    cap.setColorAt(0.0, QColor(255, 240, 180));
    cap.setColorAt(1.0, QColor(150, 100, 30));
    p.setPen(QPen(QColor(80, 50, 10), 0.8));
    p.setBrush(cap);
    p.drawEllipse(kClockCentre, 5, 5);
}

// The glass: a soft reflection across the upper left of the dial.
void drawGlass(QPainter& p) {
    QPainterPath dial;
    dial.addEllipse(kClockCentre, kDialRadius, kDialRadius);
    QPainterPath sheen;
    sheen.addEllipse(QRectF(kClockCentre.x() - kDialRadius * 1.25, kClockCentre.y() - kDialRadius * 1.35,
                            kDialRadius * 1.9, kDialRadius * 1.45));
    QLinearGradient light(kClockCentre - QPointF(60, 70), kClockCentre + QPointF(10, 10));
    light.setColorAt(0.0, QColor(255, 255, 255, 120));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(dial.intersected(sheen), light);
}

// The bottom right corner of the page curls up towards the middle.
void drawCurledCorner(QPainter& p) {
    const QPointF corner(kPictureWidth, kPictureHeight);
    const QPointF onBottom(kPictureWidth - kFoldAlongBottom, kPictureHeight);
    const QPointF onRight(kPictureWidth, kPictureHeight - kFoldAlongRight);

    // The tip of the flap: the corner mirrored across the fold.
    const QLineF fold(onBottom, onRight);
    const QPointF d = fold.p2() - fold.p1();
    const qreal t = QPointF::dotProduct(corner - fold.p1(), d) / QPointF::dotProduct(d, d);
    const QPointF foot = fold.p1() + t * d;
    const QPointF tip = foot + (foot - corner) * 0.92;

    // What lies under the page.
    QPainterPath under;
    under.moveTo(onBottom);
    under.lineTo(corner);
    under.lineTo(onRight);
    under.closeSubpath();
    QLinearGradient beneath(foot, corner);
    beneath.setColorAt(0.0, QColor(150, 150, 160));
    beneath.setColorAt(0.35, QColor(214, 214, 220));
    beneath.setColorAt(1.0, QColor(236, 236, 240));
    p.fillPath(under, beneath);

    // The flap bulges a little, like paper rolling back on itself.
    const QPointF bulge = (foot - corner) * 0.18;
    QPainterPath flap;
    flap.moveTo(onBottom);
    flap.quadTo((onBottom + tip) / 2 + QPointF(bulge.y(), -bulge.x()) * 0.6, tip);
    flap.quadTo((onRight + tip) / 2 - QPointF(bulge.y(), -bulge.x()) * 0.6, onRight);
    flap.closeSubpath();
    dropShadow(p, flap, (foot - corner) * 0.10, 4, 140);
    QLinearGradient paper(foot, tip);
    paper.setColorAt(0.0, QColor(160, 160, 170));
    paper.setColorAt(0.25, QColor(236, 236, 242));
    paper.setColorAt(0.6, QColor(255, 255, 255));
    paper.setColorAt(1.0, QColor(206, 206, 214));
    p.setPen(QPen(QColor(120, 120, 130), 0.8));
    p.setBrush(paper);
    p.drawPath(flap);
}

QImage drawPicture() {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        drawBackground(p);
        drawFrame(p);
        drawDial(p);
        drawHands(p);
        drawGlass(p);
        drawCurledCorner(p);
    }
    return image;
}

} // namespace

QPixmap vemarPicture() {
    // Kept as an image, which outlives the application object that a pixmap
    // would need at the program's exit; opaque, so that every pixmap made
    // from it shares its pixels instead of copying them.
    static const QImage picture = drawPicture().convertToFormat(QImage::Format_RGB32);
    return QPixmap::fromImage(picture);
}

QImage vemarIconDrawing() {
    constexpr qreal kReach = 116;   // centre to the frame's corners, its shadow included
    QImage image(kIconDrawnSide, kIconDrawnSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        p.scale(kIconDrawnSide / (2 * kReach), kIconDrawnSide / (2 * kReach));
        p.translate(QPointF(kReach, kReach) - kClockCentre);
        drawFrame(p);
        drawDial(p);
        drawHands(p);
        drawGlass(p);
    }
    return image;
}

QPixmap vemarIcon(const QImage& drawing, int side) {
    return QPixmap::fromImage(drawing.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace vemar::ui
