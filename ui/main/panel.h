#pragma once
// A raised three-dimensional panel with a centred caption, the kind the
// window's status fields are made of. A panel that switches something (the
// summer hour, the table's page) is worked by a click, by Space or Enter
// once it has the focus, or by a screen reader's press, all alike.

#include <QLabel>

class QAccessibleInterface;

namespace vemar::ui {

class Panel : public QLabel {
    Q_OBJECT
public:
    // Display: shows a text. Switch: a button that shows its state.
    // Bevel: an empty frame beside the date symbols, nothing to read.
    enum class Use { Display, Switch, Bevel };

    explicit Panel(QWidget* parent = nullptr, Use use = Use::Display);
    Use use() const { return use_; }
    // What a click does.
    void click() { emit clicked(); }

    // The panel as a screen reader sees it; for QAccessible::installFactory.
    static QAccessibleInterface* accessibleFor(const QString& className, QObject* object);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Use use_;
};

} // namespace vemar::ui
