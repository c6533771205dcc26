#include "qtplatform.h"

#include "core/texts.h"
#include "viewbinder.h"

#include <QApplication>
#include <QAudioOutput>
#include <QDateTime>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>

namespace vemar::ui {

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    delete player_;
    delete output_;
}

ClockReading QtPlatform::now() {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime h = t.time();
    return {d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second()};
}

void QtPlatform::beep() { QApplication::beep(); }

// Fire and forget: a missing file, one that cannot be decoded or a machine
// without audio output only means silence.
void QtPlatform::playSound(const std::string& file) {
    const QFileInfo info(qs(file));
    if (!info.isFile()) return;
    if (!player_) {
        player_ = new QMediaPlayer;
        output_ = new QAudioOutput;
        player_->setAudioOutput(output_);
    }
    player_->stop();
    player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    player_->play();
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::fatalFileError(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "vemar: %s: %s\n", file.c_str(), message.c_str());
    const QString text = QStringLiteral("Errore nel file %1:\n%2").arg(qs(file), qs(message));
    QMessageBox::critical(parent_, qs(texts::kCaption), text);
}

} // namespace vemar::ui
