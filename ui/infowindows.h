#pragma once
// The information windows: the picture at start-up (Form4), the same picture
// with an OK button (Form3) and the short description (Form2). None of them
// reads or changes any setting.

#include <QDialog>

namespace vemar::ui {

class PictureWindow : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Startup, Information };   // Form4, Form3
    PictureWindow(Kind kind, QWidget* parent = nullptr);
signals:
    // Form4 only: a click anywhere on the picture, which then closes it.
    void pictureClicked();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
private:
    bool centred_ = false;
};

class HelpWindow : public QDialog {   // Form2
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
protected:
    void showEvent(QShowEvent* event) override;
private:
    bool centred_ = false;
};

} // namespace vemar::ui
