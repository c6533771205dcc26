#pragma once
// seg.dat, the display settings: one line of nine scrambled quoted texts
// (time signal, colours, the two date symbols). Optional.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/state.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vemar {

// Every number field holds its value as a number text (" 7", "-1").
// nullopt when the file is absent. A field that is missing or does not
// unscramble reads as empty: 0 for a number, as does a text without a leading
// number. Throws FileError only for a file that is there but is no settings file.
std::optional<DisplaySettings> ReadDisplaySettings(const std::filesystem::path& file);
void WriteDisplaySettings(const std::filesystem::path& file, const DisplaySettings& settings);

} // namespace vemar
