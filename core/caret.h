#pragma once
// Where the caret stands after a filter rewrote what the user typed into a
// box: one rule for every box of every window, so typing feels the same
// everywhere.

#include <algorithm>

namespace vemar {

// The caret keeps its place less the characters that went away, inside the
// new text: a refused character leaves it where it was typed, a clamped
// number ("15" shown as "12") leaves it after the number. Lengths and
// positions count characters of the same encoding.
constexpr int CaretAfterFilter(int typedLength, int caret, int shownLength) {
    const int removed = std::max(typedLength - shownLength, 0);
    return std::clamp(caret - removed, 0, shownLength);
}

} // namespace vemar
