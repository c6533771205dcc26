#include "core/files/homezonefile.h"

#include "core/files/atomicfile.h"
#include "core/files/cityzonesfile.h"
#include "core/files/fileerror.h"
#include "core/files/settingsfile.h"

namespace vemar {

std::optional<std::string> ReadHomeZone(const std::filesystem::path& file) {
    std::optional<std::string> content;
    try {
        content = SettingsContent(file, false);
    } catch (const FileError&) {
        return std::nullopt;   // judged again, and replaced by a file that can be read
    }
    if (!content) return std::nullopt;
    const std::string_view line = TrimmedName(std::string_view(*content).substr(0, content->find_first_of("\r\n")));
    if (line == kFollowsClass) return std::string();
    return std::string(line);
}

void WriteHomeZone(const std::filesystem::path& file, std::string_view zone) {
    WriteFileAtomic(file, std::string(zone.empty() ? kFollowsClass : zone) + "\n");
}

} // namespace vemar
