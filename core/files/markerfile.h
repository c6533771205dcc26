#pragma once
// car.tip, the markers drawn large: up to five texts. Optional.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"

#include <array>
#include <filesystem>
#include <string>

namespace vemar {

// Five texts; missing fields (or a missing file) are empty. Throws FileError
// only for a file that is there but is no settings file.
std::array<std::string, 5> ReadLargeMarkers(const std::filesystem::path& file);

} // namespace vemar
