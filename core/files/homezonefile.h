#pragma once
// casa.tz: the zone of the system's time-zone database that the home
// follows, by its name ("Europe/Rome"), or "-" for a home its user took off
// its zone. UTF-8 text, one line. A folder without it is judged once.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vemar {

// What casa.tz says: nullopt when there is no file (or one the settings
// checks refuse), "" for "-", else the zone's name.
std::optional<std::string> ReadHomeZone(const std::filesystem::path& file);
// Replaces the file atomically; an empty zone is written "-". Throws FileError.
void WriteHomeZone(const std::filesystem::path& file, std::string_view zone);

} // namespace vemar
