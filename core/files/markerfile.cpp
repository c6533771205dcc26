#include "core/files/markerfile.h"

#include "core/files/settingsfile.h"
#include "core/files/textcodec.h"

#include <vector>

namespace vemar {

namespace fs = std::filesystem;

std::array<std::string, 5> ReadLargeMarkers(const fs::path& file) {
    std::array<std::string, 5> markers;
    const auto bytes = SettingsContent(file, false);
    if (!bytes) return markers;
    const std::vector<FieldValue> fields = SettingsFields(file, *bytes, markers.size(), FieldName);
    for (std::size_t i = 0; i < fields.size(); ++i) markers[i] = Cp1252ToUtf8(fields[i].text);
    return markers;
}

}  // namespace vemar
