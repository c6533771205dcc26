#include "ui/info/picturewindow.h"

#include "core/controlnames.h"
#include "core/texts.h"
#include "ui/info/picture.h"
#include "ui/widgets/twips.h"
#include "ui/widgets/viewbinder.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace vemar::ui {

namespace {

constexpr qreal kTitlePoints = 27.75;

// The heaviest sans the system has: the title was designed in a black
// weight, and a bold Arial-like face is the closest stand-in.
QFont titleFont(int fitWidth) {
    QFont font(QStringList{"Arial Black", "Liberation Sans", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    font.setPointSizeF(kTitlePoints);
    // A wider stand-in face must not clip the name: shrink until it fits.
    const QString caption = qs(texts::kCaption);
    while (font.pointSizeF() > 8 && QFontMetrics(font).horizontalAdvance(caption) > fitWidth)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}

QLabel* titleLabel(QWidget* parent) {
    auto* title = new QLabel(qs(texts::kCaption), parent);
    title->setObjectName(kPictureNames.title);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(px(120), px(3480), px(3015), px(735));
    title->setFont(titleFont(title->width() - 6));
    title->setAutoFillBackground(true);
    QPalette p = title->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 192));
    p.setColor(QPalette::WindowText, QColor(255, 255, 192));
    title->setPalette(p);
    return title;
}

} // namespace

PictureWindow::PictureWindow(Kind kind, QWidget* parent) : CentredDialog(parent) {
    auto* image = new QLabel(this);
    image->setObjectName(kPictureNames.image);
    image->setPixmap(vemarPicture());
    image->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    image->setAccessibleName(qs(texts::kPictureName));
    QLabel* title = titleLabel(this);
    if (kind == Kind::Startup) {
        setObjectName(kPictureNames.startupForm);
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        setAccessibleName(qs(texts::kCaption));   // a window without a title bar
        setFixedSize(kPictureWidth, kPictureHeight);
        image->installEventFilter(this);
        // The title lies on the picture: a click on it is a click on the picture.
        title->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else {
        setObjectName(kPictureNames.infoForm);
        setWindowTitle(qs(texts::kInfoCaption));
        setFixedSize(kPictureWidth, kPictureHeight + px(900));
        auto* ok = new QPushButton(qs(texts::kOk), this);
        ok->setObjectName(kPictureNames.ok);
        const int w = px(1095), h = px(375);
        ok->setGeometry((kPictureWidth - w) / 2, kPictureHeight + px(80), w, h);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}

bool PictureWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        emit pictureClicked();
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vemar::ui
