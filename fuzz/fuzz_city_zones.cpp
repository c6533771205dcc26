// fusi.tz is optional and never fatal: any content reads (or, over 64 KiB,
// raises FileError) into entries whose names and zones are trimmed UTF-8
// text, and taking every name off its zone leaves no name on one while
// every other line stays as it was.

#include "fuzz_support.h"

#include "core/files/settingsfile.h"

#include <vector>

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content = fuzz::Bytes(data, size);
    const auto file = fuzz::WriteScratch(kCityZonesFile, content);
    std::optional<CityZones> zones;
    std::optional<std::string> read;   // what the editors rewrite: the text without its BOM
    if (!fuzz::LoadsOrFileError([&] { zones = ReadCityZones(file); read = SettingsContent(file, false); })) return 0;
    if (!zones || !read) fuzz::Finding("a file that is there reads as absent");

    std::vector<std::string> names;
    for (const auto& [name, entry] : zones->entries) {
        if (name.empty() || entry.zone.empty()) fuzz::Finding("an entry without a name or a zone");
        if (TrimmedName(name) != name || TrimmedName(entry.zone) != entry.zone) fuzz::Finding("an untrimmed entry");
        if (!IsUtf8(name) || !IsUtf8(entry.zone)) fuzz::Finding("an entry that is not UTF-8");
        names.push_back(name);
    }
    for (const std::string& problem : zones->problems)
        if (problem.rfind(", riga ", 0) != 0) fuzz::Finding("a warning that names no line");

    if (WithNamesOnClasses(*read, {}) != *read) fuzz::Finding("a rewrite without names changed the file");
    const CityZones after = ParseCityZones(WithNamesOnClasses(*read, names));
    for (const std::string& name : names)
        if (after.zoneOf(name)) fuzz::Finding("a name taken off its zone still follows one");
    if (after.entries.size() != zones->entries.size() || after.problems != zones->problems)
        fuzz::Finding("taking names off their zones changed other lines");
    return 0;
}
