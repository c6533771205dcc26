#pragma once
// Where a window goes on a screen.

namespace vemar {

struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;   // the screen's available area, in pixels
};

struct WindowPosition {
    int left = 0, top = 0;
    friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};

// The top-left corner of a window of width by height pixels (its frame
// included) centred in area and moved wholly into it; a window larger than
// the area keeps its top-left corner on it, so its title bar can be reached.
WindowPosition CentredPosition(const ScreenArea& area, int width, int height);

} // namespace vemar
