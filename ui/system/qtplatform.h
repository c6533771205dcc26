#pragma once
// The real world of the program: the system clock, the desktop's event
// sounds and message boxes.

#include "core/platform.h"
#include "ui/system/sound.h"

#include <QObject>
#include <QPointer>
#include <ctime>
#include <string>

class QMessageBox;
class QWidget;

namespace vemar::ui {

class QtPlatform : public Platform {
public:
    // The sound server is reached once the event loop runs, after the
    // window has been shown: connecting and uploading the bell take longer
    // than the rest of the start-up, and the window need not wait for them.
    QtPlatform();
    ClockReading now() override;
    std::string systemZone() override;
    void beep() override;
    void playSound(const std::string& file) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void fatalFileError(const std::string& file, const std::string& message) override;
    void saveFailed(const std::string& text) override;
    void setDialogParent(QWidget* parent) { parent_ = parent; }
    // The start cannot go on (no settings folder, no lock): the text on the
    // standard error and in a box, until its OK or an end signal.
    void showStartError(const std::string& text);
    // No one is there to answer any more (the program ends on a signal): a
    // question open now and every later one are answered No without a box,
    // and a file error is only printed.
    void setUnattended();

private:
    int showBox(QMessageBox& box);

    QWidget* parent_ = nullptr;
    EventSound sound_;
    QPointer<QMessageBox> openBox_;
    bool unattended_ = false;
    // Reads TZ or /etc/localtime again once a minute.
    void checkZone(std::time_t t);

    long long lastZoneCheckMinute_ = -1;
    std::string zoneName_;
    QObject lifetime_;   // ends the deferred opening of the sound with the platform
};

} // namespace vemar::ui
