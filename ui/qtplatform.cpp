#include "qtplatform.h"

#include "core/texts.h"
#include "viewbinder.h"

#include <QApplication>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vemar::ui {

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    delete player_;
    delete output_;
}

// localtime_r, unlike QDateTime::currentDateTime(), does not look at the
// time-zone file on every call: at 64 readings a second that stat was the
// largest single cost of the running program. The zone is read again once a
// minute, so a change of the system's zone still shows.
//
// The seconds come from clock_gettime, not time(): time() reads a copy the
// kernel refreshes only at its timer interrupt, up to a few milliseconds
// after the whole second, and the tick armed just past the second must read
// the new one.
ClockReading QtPlatform::now() {
    timespec precise{};
    clock_gettime(CLOCK_REALTIME, &precise);
    const std::time_t t = precise.tv_sec;
    if (t / 60 != lastZoneCheckMinute_) {
        lastZoneCheckMinute_ = t / 60;
        tzset();
    }
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour, local.tm_min, std::min(local.tm_sec, 59)};   // a leap second shows as 59
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
