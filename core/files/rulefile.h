#pragma once
// Parleg.dat, the summer-time rule: one line of six whole numbers. Required.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/state.h"

#include <filesystem>

namespace vemar {

// Throws FileError, also on a field that is not a whole number (empty is 0) or is out of range.
DstRule ReadParleg(const std::filesystem::path& file);
void WriteParleg(const std::filesystem::path& file, const DstRule& rule);

} // namespace vemar
