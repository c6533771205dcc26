#include "core/files/displaysettingsfile.h"

#include "core/files/fieldline.h"
#include "core/files/settingsfile.h"
#include "core/files/textcodec.h"

#include <vector>

namespace vemar {

namespace fs = std::filesystem;

std::optional<std::array<std::string, 9>> ReadDisplaySettings(const fs::path& file) {
    const auto bytes = SettingsContent(file, false);
    if (!bytes) return std::nullopt;
    std::array<std::string, 9> plain;
    const std::vector<FieldValue> fields = SettingsFields(file, *bytes, plain.size(), FieldName);
    for (std::size_t i = 0; i < fields.size(); ++i)
        plain[i] = UnscrambleField(fields[i].text).value_or("");
    return plain;
}

void WriteDisplaySettings(const fs::path& file, const std::array<std::string, 9>& plain) {
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
