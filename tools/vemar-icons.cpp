// vemar-icons: writes the program's icon, the clock of its picture, as the
// PNG sizes of the hicolor theme and a scalable SVG.
//
//   vemar-icons OUTDIR     (run offscreen: QT_QPA_PLATFORM=offscreen)

#include "ui/info/picture.h"
#include "ui/main/application.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kSvgSide = vemar::ui::kIconDrawnSide;

// The SVG carries the large drawing: the desktop scales it for the sizes
// between and above the PNG ones.
QByteArray svgOf(const QPixmap& drawing) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    drawing.save(&buffer, "PNG");
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"" + QByteArray::number(kSvgSide) + "\" height=\"" + QByteArray::number(kSvgSide) +
           "\" viewBox=\"0 0 " + QByteArray::number(kSvgSide) + " " + QByteArray::number(kSvgSide) + "\">\n"
           "  <title>Vemar</title>\n"
           "  <image width=\"" + QByteArray::number(kSvgSide) + "\" height=\"" + QByteArray::number(kSvgSide) +
           "\" xlink:href=\"data:image/png;base64," + png.toBase64() + "\"/>\n</svg>\n";
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vemar-icons OUTDIR\n");
        return 64;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString id = QString::fromLatin1(vemar::ui::kApplicationId);
    const QImage drawing = vemar::ui::vemarIconDrawing();
    bool ok = true;
    for (int side : kSizes) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(side);
        ok = out.mkpath(dir) && vemar::ui::vemarIcon(drawing, side).save(out.filePath(dir + "/" + id + ".png")) && ok;
    }
    QFile svg(out.filePath("scalable/apps/" + id + ".svg"));
    ok = out.mkpath("scalable/apps") && svg.open(QIODevice::WriteOnly) &&
         svg.write(svgOf(vemar::ui::vemarIcon(drawing, kSvgSide))) > 0 && ok;
    if (!ok) std::fprintf(stderr, "vemar-icons: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
