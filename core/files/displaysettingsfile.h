#pragma once
// seg.dat, the display settings: one line of nine scrambled quoted texts
// (time signal, colours, the two date symbols). Optional.

#include "core/files/fileerror.h"
#include "core/files/filenames.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vemar {

// Every number field holds its value as a number text (" 7", "-1").
struct DisplaySettings {
    int signalOn = 0;         // field 1: 1 while the hourly time signal sounds; any other value is off
    int signalToggle = 0;     // field 2: the signal button's memory, -1 while on, 0 while off
    int screenColour = 0;     // field 3: the window's palette index
    int timesColour = 0;      // field 4: the times' palette index
    int citiesColour = 0;     // field 5: the cities' palette index
    int coloursChanged = 0;   // field 6: 1 while the colours differ from the original ones
    int spareValue = 0;       // field 7: used nowhere, written back as the number read
    std::string dateSymbol1;  // field 8: the mark of the first date, UTF-8, normally one character
    std::string dateSymbol2;  // field 9: the mark of the second date
    friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};

// nullopt when the file is absent. A field that is missing or does not
// unscramble reads as empty: 0 for a number, as does a text without a leading
// number. Throws FileError only for a file that is there but is no settings file.
std::optional<DisplaySettings> ReadDisplaySettings(const std::filesystem::path& file);
void WriteDisplaySettings(const std::filesystem::path& file, const DisplaySettings& settings);

} // namespace vemar
