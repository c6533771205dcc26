#include "core/time/timesignal.h"

namespace vemar {

bool TimeSignal::pipDue(int minute, int second, bool signalOn) {
    // Second 50 lies between the hour's last pip and the next hour's first.
    if (second == 50) sent_.fill(false);
    if (!signalOn) return false;
    int pip = -1;
    if (minute == 59 && second >= 54 && second <= 58) pip = second - 54;
    else if (minute == 0 && second == 0) pip = 5;
    if (pip < 0 || sent_[static_cast<std::size_t>(pip)]) return false;
    sent_[static_cast<std::size_t>(pip)] = true;
    return true;
}

} // namespace vemar
