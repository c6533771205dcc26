#pragma once
// Window layouts are given in twips (1/1440 inch): 15 twips to a pixel at 96
// dots per inch.

#include <QString>
#include <QWidget>
#include <cmath>

namespace vemar::ui {

constexpr int kTwipsPerPixel = 15;

inline int px(int twips) { return static_cast<int>(std::lround(twips / double(kTwipsPerPixel))); }

// The name of a control of an indexed array: name(5).
inline QString indexed(const char* name, int index) { return QStringLiteral("%1(%2)").arg(name).arg(index); }

// Names a control and places it in its parent; returns it.
template <class W> W* place(W* w, const QString& name, int left, int top, int width, int height) {
    w->setObjectName(name);
    w->setGeometry(px(left), px(top), px(width), px(height));
    return w;
}

} // namespace vemar::ui
