#pragma once
// The real world of the program: the system clock, the desktop's event
// sounds and message boxes.

#include "core/platform.h"
#include "sound.h"

class QWidget;

namespace vemar::ui {

class QtPlatform : public Platform {
public:
    ClockReading now() override;
    void beep() override;
    void playSound(const std::string& file) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void fatalFileError(const std::string& file, const std::string& message) override;
    void setDialogParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_ = nullptr;
    EventSound sound_;
    long long lastZoneCheckMinute_ = -1;
};

} // namespace vemar::ui
