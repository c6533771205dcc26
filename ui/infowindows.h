#pragma once
// The information windows: the picture at start-up (Form4), the same picture
// with an OK button (Form3) and the short description (Form2).

#include <QDialog>

namespace vemar::ui {

class PictureWindow : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Startup, Information };   // Form4, Form3
    PictureWindow(Kind kind, QWidget* parent = nullptr);
signals:
    void pictureClicked();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class HelpWindow : public QDialog {   // Form2
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

} // namespace vemar::ui
