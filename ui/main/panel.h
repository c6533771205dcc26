#pragma once
// A raised (or sunken) three-dimensional panel with a centred caption, the
// kind the window's status fields are made of; clickable ones emit clicked().

#include <QLabel>

namespace vemar::ui {

class Panel : public QLabel {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr, bool raised = true);
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vemar::ui
