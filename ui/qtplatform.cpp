#include "qtplatform.h"

#include "core/texts.h"
#include "viewbinder.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vemar::ui {

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

// The theme's bell through the sound server: an X11 bell is not heard on a
// desktop whose sound goes through a server.
void QtPlatform::beep() {
    if (!sound_.playBell()) QApplication::beep();
}

// Fire and forget: a missing file, one that cannot be decoded or a machine
// without a sound server only means silence.
void QtPlatform::playSound(const std::string& file) {
    sound_.playFile(QFile::encodeName(QFileInfo(qs(file)).absoluteFilePath()).toStdString());
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
