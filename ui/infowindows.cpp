#include "infowindows.h"

#include "core/placement.h"
#include "twips.h"

#include "core/texts.h"
#include "picture.h"
#include "viewbinder.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <cmath>

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
    title->setObjectName("Label1");
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

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const WindowPosition at = CentredPosition({area.x(), area.y(), area.width(), area.height()},
                                              frame.width(), frame.height());
    window->move(window->pos() + QPoint(at.left, at.top) - frame.topLeft());
}

} // namespace

PictureWindow::PictureWindow(Kind kind, QWidget* parent) : QDialog(parent) {
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setPixmap(vemarPicture());
    image->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    QLabel* title = titleLabel(this);
    if (kind == Kind::Startup) {
        setObjectName("Form4");
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        setFixedSize(kPictureWidth, kPictureHeight);
        image->installEventFilter(this);
        // The title lies on the picture: a click on it is a click on the picture.
        title->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else {
        setObjectName("Form3");
        setWindowTitle(qs(texts::kInfoCaption));
        setFixedSize(kPictureWidth, kPictureHeight + px(900));
        auto* ok = new QPushButton(qs(texts::kOk), this);
        ok->setObjectName("SSCommand1");
        const int w = px(1095), h = px(375);
        ok->setGeometry((kPictureWidth - w) / 2, kPictureHeight + px(80), w, h);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}

void PictureWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
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

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("Form2");
    setWindowTitle(qs(texts::kHelpCaption));
    setFixedSize(px(6030), px(3810));

    auto* text = new QTextEdit(this);
    text->setObjectName("RichTextBox1");
    text->setReadOnly(true);
    text->setGeometry(0, 0, px(6015), px(3255));
    // The lines are laid out by their leading blanks: they must never wrap.
    text->setLineWrapMode(QTextEdit::NoWrap);
    QFont font(QStringList{"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(12);
    font.setBold(true);
    text->setFont(font);
    QPalette p = text->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    text->setPalette(p);
    QString lines;
    for (std::string_view line : texts::kHelpLines) lines += qs(line) + '\n';
    lines.chop(1);
    text->setPlainText(lines);

    auto* ok = new QPushButton(qs(texts::kOk), this);
    ok->setObjectName("SSCommand1");
    ok->setGeometry(px(2520), px(3360), px(1095), px(375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void HelpWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
    }
}

} // namespace vemar::ui
