#pragma once
// seg.dat, the display settings: one line of nine scrambled quoted texts
// (time signal, colours, the two date symbols). Optional.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace vemar {

// The nine plain texts; nullopt when the file is absent. A field that is
// missing or does not unscramble reads as empty. Throws FileError only for a
// file that is there but is no settings file.
std::optional<std::array<std::string, 9>> ReadDisplaySettings(const std::filesystem::path& file);
void WriteDisplaySettings(const std::filesystem::path& file, const std::array<std::string, 9>& plain);

} // namespace vemar
