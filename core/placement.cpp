#include "core/placement.h"

#include <algorithm>

namespace vemar {

namespace {

// One axis: centred, then pulled back so that the far edge stays inside,
// and finally so that the near edge does, which wins for a window too large.
int Place(int start, int length, int size) {
    const int centred = start + (length - size) / 2;
    return std::max(start, std::min(centred, start + length - size));
}

} // namespace

WindowPosition CentredPosition(const ScreenArea& area, int width, int height) {
    return {Place(area.left, area.width, width), Place(area.top, area.height, height)};
}

} // namespace vemar
