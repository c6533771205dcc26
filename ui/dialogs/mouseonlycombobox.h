#pragma once

#include <QComboBox>

namespace vemar::ui {

// A list that no key and no wheel can change: key presses on the list and
// in its open popup are eaten (Tab moves on and Esc closes the popup as
// usual), so a selection is made only by a mouse click on an entry.
class MouseOnlyComboBox : public QComboBox {
public:
    explicit MouseOnlyComboBox(QWidget* parent = nullptr);
protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vemar::ui
