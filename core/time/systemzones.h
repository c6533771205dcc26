#pragma once
// The system's time-zone database (/usr/share/zoneinfo, Debian's tzdata),
// read through Howard Hinnant's date library: the same interface as the
// C++20 <chrono> zones, so this file moves to std::chrono unchanged once the
// compiler has them. The library reads the database on the first question,
// a few milliseconds; the program asks it only once its window is shown.

#include "core/time/zonedatabase.h"

#include <functional>
#include <mutex>
#include <set>
#include <string>

namespace vemar {

class SystemZoneDatabase final : public ZoneDatabase {
public:
    std::string failure() const override;
    std::optional<ZoneOffset> offsetAt(std::string_view zone, sys_seconds instant) const override;

private:
    // Reads the database once; false when there is none.
    bool load() const;

    mutable std::once_flag loaded_;
    mutable std::string failure_;
    // The zones and links the database defines: only these names are looked
    // up, never a path into its folder.
    mutable std::set<std::string, std::less<>> names_;
};

} // namespace vemar
