#pragma once
// Finding a city by its first letters in "Tabella Fusi": the dictionary of
// names the system's time-zone database knows (the installed fusi.tz and the
// settings folder's own), matched without regard to case or accents at the
// start of any word of a name, each suggestion with its zone and its offset
// now; and what the zone table can hold of a zone's offset.

#include "core/files/cityzonesfile.h"
#include "core/time/zonedatabase.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

// A zone's standard offset as a row of the table holds it: whole hours
// rounded down, the half-hour class when 30 minutes or more remain, a
// summer-time class where the zone has summer time; beyond +12 the table
// stops at +12.
struct TableHold {
    std::string offset;      // the offset box: "+5", "0", "-4"
    std::string zoneClass;   // "0".."3"
    bool beyondTable = false;   // +13 or +14, shown as +12
    friend bool operator==(const TableHold&, const TableHold&) = default;
};
TableHold HoldInTable(std::chrono::seconds standardOffset, ZoneClass facts);

// A text folded for matching: lower case, accented letters as their plain ones.
std::string FoldedForMatching(std::string_view text);
// typed (folded) begins a word of name (folded): "kat" in "Kathmandu", "york" in "New York".
bool BeginsAWord(std::string_view foldedName, std::string_view foldedTyped);

struct Suggestion {
    std::string name;   // as the name box will hold it
    std::string zone;
    std::string text;   // "Kathmandu  Asia/Kathmandu +5:45"
    TableHold hold;
};

class CityCompletion {
public:
    static constexpr int kFewestLetters = 2;   // fewer would offer hundreds of names
    static constexpr std::size_t kMostSuggestions = 20;

    // The dictionary: the folder's names first (its own lines win), then the
    // installed ones; only names a name box can hold, on zones the database knows.
    void load(const std::optional<CityZones>& folder, const std::optional<CityZones>& installed,
              const ZoneDatabase& zones, std::size_t nameLength);
    // The names that begin with what was typed, then those with a word that
    // does, each alphabetically; offsets at `now`.
    std::vector<Suggestion> suggestionsFor(std::string_view typed, sys_seconds now) const;

private:
    struct Entry { std::string name, folded, zone; };
    std::vector<Entry> entries_;
    const ZoneDatabase* zones_ = nullptr;
};

} // namespace vemar
