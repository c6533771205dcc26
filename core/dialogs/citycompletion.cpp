#include "core/dialogs/citycompletion.h"

#include "core/time/calendar.h"

#include <algorithm>
#include <set>

namespace vemar {

namespace {

constexpr int kTableEnd = 12;   // hours the offset box holds either way

// The accented letters of the Latin-1 range as UTF-8 (the second byte after
// 0xC3) and the plain letter each is matched as.
char PlainLetter(unsigned char second) {
    static constexpr std::string_view kFrom = "\x80\x81\x82\x83\x84\x85\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f\x91\x92\x93"
                                              "\x94\x95\x96\x99\x9a\x9b\x9c\x9d";
    static constexpr std::string_view kTo = "aaaaaaceeeeiiiinooooouuuuy";
    const auto at = kFrom.find(static_cast<char>(second & ~0x20));   // lower case has bit 0x20 set
    return at == std::string_view::npos ? '\0' : kTo[at];
}

} // namespace

TableHold HoldInTable(std::chrono::seconds standardOffset, ZoneClass facts) {
    const auto minutes = static_cast<int>(standardOffset.count() / 60);
    int hours = FloorDiv(minutes, 60);
    const int remaining = minutes - hours * 60;
    TableHold hold;
    if (hours > kTableEnd) {
        hold.beyondTable = true;
        hours = kTableEnd;
    }
    // Built by appending characters: GCC 12 at -O3 warns falsely (-Wrestrict)
    // on a short literal put before or assigned to a string.
    if (hours > 0) hold.offset.assign(1, '+');
    hold.offset.append(std::to_string(hours));
    char zoneClass = '0';
    if (remaining >= 30) zoneClass = '2';
    else if (facts == ZoneClass::NorthernSummer) zoneClass = '1';
    else if (facts == ZoneClass::SouthernSummer) zoneClass = '3';
    hold.zoneClass.assign(1, zoneClass);
    return hold;
}

std::string FoldedForMatching(std::string_view text) {
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xC3 && i + 1 < text.size()) {
            if (const char plain = PlainLetter(static_cast<unsigned char>(text[i + 1]))) {
                folded += plain;
                ++i;
                continue;
            }
        }
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    }
    return folded;
}

bool BeginsAWord(std::string_view foldedName, std::string_view foldedTyped) {
    for (std::size_t start = 0; start < foldedName.size(); ++start) {
        const bool wordStart = start == 0 || foldedName[start - 1] == ' ' || foldedName[start - 1] == '-';
        if (wordStart && foldedName.substr(start).starts_with(foldedTyped)) return true;
    }
    return false;
}

void CityCompletion::load(const std::optional<CityZones>& folder, const std::optional<CityZones>& installed,
                          const ZoneDatabase& zones, std::size_t nameLength) {
    zones_ = &zones;
    entries_.clear();
    std::set<std::string, std::less<>> seen;
    for (const auto* dictionary : {&folder, &installed}) {
        if (!*dictionary) continue;
        for (const auto& [name, entry] : (*dictionary)->entries) {
            if (!seen.insert(name).second || entry.zone == kFollowsClass || name.size() > nameLength) continue;
            const bool typable = std::all_of(name.begin(), name.end(), [](char c) {
                return c == ' ' || (static_cast<unsigned char>(c) >= 64 && static_cast<unsigned char>(c) <= 122);
            });
            if (typable && zones.offsetAt(entry.zone, sys_seconds{})) entries_.push_back({name, FoldedForMatching(name), entry.zone});
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.folded < b.folded; });
}

std::vector<Suggestion> CityCompletion::suggestionsFor(std::string_view typed, sys_seconds now) const {
    std::vector<Suggestion> out;
    const std::string folded = FoldedForMatching(TrimmedName(typed));
    if (!zones_ || folded.size() < kFewestLetters) return out;
    const int year = CivilFromDays(std::chrono::floor<std::chrono::days>(now).time_since_epoch().count()).year;
    // Whole names that begin so first: "san" offers San Juan before Puerto San Carlos.
    for (const bool wholeName : {true, false}) {
        for (const Entry& e : entries_) {
            if (out.size() == kMostSuggestions) return out;
            if (e.folded.starts_with(folded) != wholeName || !BeginsAWord(e.folded, folded)) continue;
            const auto offset = zones_->offsetAt(e.zone, now);
            const auto standard = StandardOffset(*zones_, e.zone, year);
            if (!offset || !standard) continue;
            Suggestion s{e.name, e.zone, e.name + "  " + e.zone + " ", {}};
            AppendOffsetText(s.text, offset->ahead);
            s.hold = HoldInTable(*standard, ZoneFactsClass(*zones_, e.zone, year).value_or(ZoneClass::Standard));
            out.push_back(std::move(s));
        }
    }
    return out;
}

} // namespace vemar
