#pragma once
// The few controls Qt lacks in the form the window needs: a raised panel
// that can be clicked, and an up-down control of two arrow buttons.

#include <QLabel>
#include <QWidget>

class QToolButton;

namespace vemar::ui {

// A three-dimensional panel with a centred caption; clickable ones emit clicked().
class Panel : public QLabel {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr, bool raised = true);
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

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
