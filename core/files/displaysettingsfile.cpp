#include "core/files/displaysettingsfile.h"

#include "core/time/calendar.h"
#include "core/files/fieldline.h"
#include "core/files/settingsfile.h"
#include "core/files/textcodec.h"

#include <array>
#include <cmath>
#include <vector>

namespace vemar {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kDisplayFields = 9;

}  // namespace

std::optional<DisplaySettings> ReadDisplaySettings(const fs::path& file) {
    const auto bytes = SettingsContent(file, false);
    if (!bytes) return std::nullopt;
    std::array<std::string, kDisplayFields> plain;
    const std::vector<FieldValue> fields = SettingsFields(file, *bytes, plain.size(), FieldName);
    for (std::size_t i = 0; i < fields.size(); ++i)
        plain[i] = UnscrambleField(fields[i].text).value_or("");
    auto text = [&](std::size_t n) -> const std::string& { return plain[n - 1]; };
    // seg.dat's numbers have always been rounded with halves away from zero,
    // unlike lxp2.par's Integer fields.
    auto number = [&](std::size_t n) { return ToInteger(std::round(LeadingNumber(text(n)))); };
    DisplaySettings settings;
    settings.signalOn = number(1);
    settings.signalToggle = number(2);
    settings.screenColour = number(3);
    settings.timesColour = number(4);
    settings.citiesColour = number(5);
    settings.coloursChanged = number(6);
    settings.spareValue = number(7);
    settings.dateSymbol1 = text(8);
    settings.dateSymbol2 = text(9);
    return settings;
}

void WriteDisplaySettings(const fs::path& file, const DisplaySettings& settings) {
    std::array<std::string, kDisplayFields> plain;
    auto field = [&](std::size_t n) -> std::string& { return plain[n - 1]; };
    field(1) = NumberText(settings.signalOn);
    field(2) = NumberText(settings.signalToggle);
    field(3) = NumberText(settings.screenColour);
    field(4) = NumberText(settings.timesColour);
    field(5) = NumberText(settings.citiesColour);
    field(6) = NumberText(settings.coloursChanged);
    field(7) = NumberText(settings.spareValue);
    field(8) = settings.dateSymbol1;
    field(9) = settings.dateSymbol2;
    std::vector<FieldValue> fields;
    for (const std::string& text : plain) {
        // The date-characters dialog refuses symbols that cannot be stored as
        // they are typed; should one arrive anyway, the field is stored empty
        // rather than corrupting the line.
        fields.push_back(TextField(ScrambleField(text).value_or("")));
    }
    WriteSettingsLine(file, fields);
}

}  // namespace vemar
