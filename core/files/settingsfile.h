#pragma once
// What every settings file shares. A reader, required file or optional,
// refuses with a FileError one that is not a regular file or is larger than
// 64 KiB, or that holds a zero byte; it skips a leading UTF-8 byte-order mark.
// A writer checks every field before a byte is written.

#include "core/state.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

// The content of a settings file; nullopt when an optional file is absent.
std::optional<std::string> SettingsContent(const std::filesystem::path& path, bool required);
// The content of a file the program cannot run without.
std::string RequireFile(const std::filesystem::path& path);
// "campo 3" for index 2.
std::string FieldName(std::size_t index);
// Up to `count` fields of content read from path; a zero byte is refused,
// naming the field it lies in (fieldName gives a field's name from its index).
std::vector<FieldValue> SettingsFields(const std::filesystem::path& path, std::string_view content,
                                       std::size_t count,
                                       const std::function<std::string(std::size_t)>& fieldName);
// The first `count` fields of a required file; FileError naming the first
// missing field when there are fewer.
std::vector<FieldValue> RequireFields(const std::filesystem::path& path, std::size_t count);
// One field line, replacing the file; FileError naming a field that cannot be written.
void WriteSettingsLine(const std::filesystem::path& path, const std::vector<FieldValue>& fields);

} // namespace vemar
