#pragma once
// An up-down control: two arrow buttons stacked, which Qt offers only as part
// of a spin box, while the zone's box beside it is a plain text box.

#include <QWidget>

class QToolButton;

namespace vemar::ui {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
signals:
    void upClicked();
    void downClicked();
protected:
    void resizeEvent(QResizeEvent* event) override;
private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace vemar::ui
