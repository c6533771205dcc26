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
ClockReading QtPlatform::now() {
    const std::time_t t = std::time(nullptr);
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

int QtPlatform::showBox(QMessageBox& box) {
    openBox_ = &box;
    const int result = box.exec();
    openBox_ = nullptr;
    return result;
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    if (unattended_) return false;
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return showBox(box) == QMessageBox::Yes;
}

void QtPlatform::fatalFileError(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "vemar: %s: %s\n", file.c_str(), message.c_str());
    if (unattended_) return;
    const QString text = qs(texts::kFileErrorHeading).arg(qs(file), qs(message));
    QMessageBox box(QMessageBox::Critical, qs(texts::kCaption), text, QMessageBox::Ok, parent_);
    showBox(box);
}

void QtPlatform::setUnattended() {
    unattended_ = true;
    // The box's own exec returns No (or Ok) once the event loop gets back to it.
    if (openBox_) openBox_->done(openBox_->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
}

} // namespace vemar::ui
