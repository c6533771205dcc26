#pragma once
// fusi.tz: the cities that follow the system's time-zone database. UTF-8
// text, one entry a line, "name<TAB>zone": the name as fusi.dat holds it
// (trimmed), the zone as the database names it ("America/New_York"), or "-"
// for a name that follows its summer-time class. Blank lines and lines that
// start with "#" are ignored; the first entry for a name wins. The file is
// optional and never fatal: a damaged line is reported and skipped.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

inline constexpr std::string_view kFollowsClass = "-";

struct CityZoneEntry {
    std::string zone;   // a zone name, or "-"
    int line = 0;       // 1-based, for the warnings
};

struct CityZones {
    std::map<std::string, CityZoneEntry, std::less<>> entries;   // the first entry of each name
    // One text per damaged line, ", riga 7: fuso mancante": what a warning
    // says after the file's name.
    std::vector<std::string> problems;

    // The zone a name follows; nullopt for a name without an entry or with "-".
    std::optional<std::string_view> zoneOf(std::string_view name) const;
};

// Leading and trailing blanks and tabs removed: how names are compared.
std::string_view TrimmedName(std::string_view name);

CityZones ParseCityZones(std::string_view content);
// nullopt when the file is absent; throws FileError when it is there but the
// settings checks refuse it (not a regular file, more than 64 KiB).
std::optional<CityZones> ReadCityZones(const std::filesystem::path& file);

// The content with each name of `names` turned to follow its class: its
// first entry's zone becomes "-", or, for a name without an entry, a line is
// added. Every other byte stays as it was.
std::string WithNamesOnClasses(std::string_view content, const std::vector<std::string>& names);
// Replaces the file atomically; throws FileError.
void WriteCityZones(const std::filesystem::path& file, std::string_view content);

} // namespace vemar
