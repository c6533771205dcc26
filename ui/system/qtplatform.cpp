#include "ui/system/qtplatform.h"

#include "core/firststart.h"
#include "core/texts.h"
#include "ui/dialogs/questionbox.h"
#include "ui/widgets/viewbinder.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vemar::ui {

QtPlatform::QtPlatform() {
    QTimer::singleShot(0, &lifetime_, [this] { sound_.open(); });
}

// localtime_r, unlike QDateTime::currentDateTime(), does not look at the
// time-zone file on every call: during the fast ticks of start-up that stat
// was the largest single cost of the program. The zone and its name are read
// again once a minute, so a change of the system's zone still shows.
//
// The seconds come from clock_gettime, not time(): time() reads a copy the
// kernel refreshes only at its timer interrupt, up to a few milliseconds
// after the whole second, and the tick armed just past the second must read
// the new one. The local reading and the instant come from the same call.
ClockReading QtPlatform::now() {
    timespec precise{};
    clock_gettime(CLOCK_REALTIME, &precise);
    const std::time_t t = precise.tv_sec;
    checkZone(t);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),   // a leap second shows as 59
            std::chrono::sys_seconds{std::chrono::seconds{t}}};
}

void QtPlatform::checkZone(std::time_t t) {
    if (t / 60 == lastZoneCheckMinute_) return;
    lastZoneCheckMinute_ = t / 60;
    tzset();
    zoneName_ = SystemZoneName();
}

// The database's own current_zone() ignores TZ; this is the zone the C
// library, and so the clock reading, follows.
std::string QtPlatform::systemZone() {
    timespec precise{};
    clock_gettime(CLOCK_REALTIME_COARSE, &precise);
    checkZone(precise.tv_sec);
    return zoneName_;
}

// The theme's bell through the sound server: an X11 bell is not heard on a
// desktop whose sound goes through a server.
void QtPlatform::beep() {
    if (!sound_.playBell()) QApplication::beep();
}

// Fire and forget: a missing file, one that cannot be decoded or a machine
// without a sound server only means silence. The path is the data folder's,
// absolute, and stays bytes: a folder's name need not be UTF-8.
void QtPlatform::playSound(const std::string& file) { sound_.playFile(file); }

int QtPlatform::showBox(QMessageBox& box) {
    openBox_ = &box;
    const int result = box.exec();
    openBox_ = nullptr;
    return result;
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
    if (unattended_) return false;
    return showBox(*makeQuestionBox(qs(text), qs(title), parent_)) == QMessageBox::Yes;
}

// Names the folder too: a user who never chose one must learn where to look.
void QtPlatform::fatalFileError(const std::string& file, const std::string& message) {
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    std::fprintf(stderr, "vemar: %s: %s (%s)\n", file.c_str(), message.c_str(), qPrintable(folder));
    if (unattended_) return;
    const QString text = qs(texts::kFileErrorPrefix) + qs(file) + QStringLiteral(":\n") + qs(message) +
                         QStringLiteral("\n\n") + qs(texts::kFolderPrefix) + folder;
    QMessageBox box(QMessageBox::Critical, qs(texts::kCaption), text, QMessageBox::Ok, parent_);
    showBox(box);
}

// Over the dialog whose save failed, which stays open under it.
void QtPlatform::saveFailed(const std::string& text) {
    std::fprintf(stderr, "vemar: %s\n", text.substr(0, text.find('\n')).c_str());
    if (unattended_) return;
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent_;
    QMessageBox box(QMessageBox::Warning, qs(texts::kCaption), qs(text), QMessageBox::Ok, over);
    showBox(box);
}

void QtPlatform::showStartError(const std::string& text) {
    std::fprintf(stderr, "vemar: %s\n", text.c_str());
    if (unattended_) return;
    QMessageBox box(QMessageBox::Critical, qs(texts::kCaption), qs(text), QMessageBox::Ok, parent_);
    showBox(box);
}

void QtPlatform::setUnattended() {
    unattended_ = true;
    // The box's own exec returns No (or Ok) once the event loop gets back to it.
    if (openBox_) openBox_->done(openBox_->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
}

} // namespace vemar::ui
