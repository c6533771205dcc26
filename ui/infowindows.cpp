#include "infowindows.h"

#include "core/texts.h"
#include "picture.h"
#include "viewbinder.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <cmath>

namespace vemar::ui {

namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

QLabel* titleLabel(QWidget* parent) {
    auto* title = new QLabel(qs(texts::kCaption), parent);
    title->setObjectName("Label1");
    title->setAlignment(Qt::AlignCenter);
    QFont font("Arial Black");
    font.setPointSizeF(27.75);
    font.setWeight(QFont::Black);
    title->setFont(font);
    title->setAutoFillBackground(true);
    QPalette p = title->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 192));
    p.setColor(QPalette::WindowText, QColor(255, 255, 192));
    title->setPalette(p);
    title->setGeometry(px(120), px(3480), px(3015), px(735));
    return title;
}

} // namespace

PictureWindow::PictureWindow(Kind kind, QWidget* parent) : QDialog(parent) {
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setPixmap(vemarPicture());
    image->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    titleLabel(this);
    if (kind == Kind::Startup) {
        setObjectName("Form4");
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        setFixedSize(kPictureWidth, kPictureHeight);
        image->installEventFilter(this);
    } else {
        setObjectName("Form3");
        setWindowTitle(qs(texts::kInfoCaption));
        const int height = kPictureHeight + px(900);
        setFixedSize(kPictureWidth, height);
        auto* ok = new QPushButton(qs(texts::kOk), this);
        ok->setObjectName("SSCommand1");
        const int w = px(1095), h = px(375);
        ok->setGeometry((kPictureWidth - w) / 2, kPictureHeight + px(80), w, h);
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

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("Form2");
    setWindowTitle(qs(texts::kHelpCaption));
    setFixedSize(px(6030), px(3810));
    auto* text = new QTextEdit(this);
    text->setObjectName("RichTextBox1");
    text->setReadOnly(true);
    text->setGeometry(0, 0, px(6015), px(3255));
    QFont font("Liberation Sans");
    font.setPointSize(12);
    font.setBold(true);
    text->setFont(font);
    QString plain;
    for (auto line : texts::kHelpLines) plain += qs(line) + '\n';
    plain.chop(1);
    text->setPlainText(plain);
    auto* ok = new QPushButton(qs(texts::kOk), this);
    ok->setObjectName("SSCommand1");
    ok->setGeometry(px(2520), px(3360), px(1095), px(375));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vemar::ui
