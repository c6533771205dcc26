#pragma once
// Connects widgets to the core's views and renders a control only when its
// view changed since the last render, so a tick that changes nothing
// repaints nothing.

#include "core/view.h"

#include <QColor>
#include <QString>
#include <vector>

class QAction;
class QWidget;

namespace vemar::ui {

inline QColor toQColor(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }
inline QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class ViewBinder {
public:
    void bind(QWidget* widget, const ControlView* view);
    void bind(QAction* action, const MenuItemView* view);
    // Applies every view that differs from what was rendered last.
    void render();
    // A box the user typed into may show more than its filtered view, which
    // need not have changed: the next render sets its text again.
    void retypeCaption(QWidget* widget);

private:
    struct Control { QWidget* widget; const ControlView* view; ControlView last; bool fresh; bool captionStale; };
    struct Item { QAction* action; const MenuItemView* view; MenuItemView last; bool fresh; };
    static void apply(QWidget* w, const ControlView& now, const ControlView& last, bool all);
    std::vector<Control> controls_;
    std::vector<Item> items_;
};

} // namespace vemar::ui
