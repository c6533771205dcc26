#include "core/files/cityzonesfile.h"

#include "core/files/atomicfile.h"
#include "core/files/settingsfile.h"
#include "core/files/textcodec.h"
#include "core/texts.h"

#include <algorithm>
#include <set>

namespace vemar {

namespace {

struct Line {
    std::string_view text;   // without its line end
    std::string_view end;    // "\n", "\r\n" or nothing (the last line)
};

std::vector<Line> Lines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const auto newline = content.find('\n');
        std::string_view text = content.substr(0, newline);
        content.remove_prefix(newline == std::string_view::npos ? content.size() : newline + 1);
        std::size_t endLength = newline == std::string_view::npos ? 0 : 1;
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            ++endLength;
        }
        lines.push_back({text, std::string_view(text.data() + text.size(), endLength)});
    }
    return lines;
}

bool Ignored(std::string_view line) {
    const std::string_view trimmed = TrimmedName(line);
    return trimmed.empty() || trimmed.front() == '#';
}

struct Parsed {
    std::string_view name, zone;
    std::string_view problem;   // empty for a good entry
};

Parsed ParseLine(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) return {{}, {}, texts::kNullCharacter};
    if (!IsUtf8(line)) return {{}, {}, texts::kNotUtf8};
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return {{}, {}, texts::kNoTab};
    const std::string_view name = TrimmedName(line.substr(0, tab));
    const std::string_view zone = TrimmedName(line.substr(tab + 1));
    if (name.empty()) return {{}, {}, texts::kNoName};
    if (zone.empty()) return {{}, {}, texts::kNoZone};
    return {name, zone, {}};
}

} // namespace

std::string_view TrimmedName(std::string_view name) {
    const auto first = name.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

std::optional<std::string_view> CityZones::zoneOf(std::string_view name) const {
    const auto it = entries.find(TrimmedName(name));
    if (it == entries.end() || it->second.zone == kFollowsClass) return std::nullopt;
    return it->second.zone;
}

CityZones ParseCityZones(std::string_view content) {
    CityZones zones;
    int number = 0;
    for (const Line& line : Lines(content)) {
        ++number;
        if (Ignored(line.text)) continue;
        const Parsed parsed = ParseLine(line.text);
        if (!parsed.problem.empty()) {
            zones.problems.push_back(std::string(texts::kLine) + std::to_string(number) + std::string(parsed.problem));
            continue;
        }
        zones.entries.try_emplace(std::string(parsed.name), CityZoneEntry{std::string(parsed.zone), number});
    }
    return zones;
}

std::optional<CityZones> ReadCityZones(const std::filesystem::path& file) {
    const auto content = SettingsContent(file, false);
    if (!content) return std::nullopt;
    return ParseCityZones(*content);
}

std::string WithNamesOnClasses(std::string_view content, const std::vector<std::string>& names) {
    std::set<std::string, std::less<>> pending(names.begin(), names.end());
    std::set<std::string, std::less<>> seen;   // names whose first entry is behind us
    std::string out;
    out.reserve(content.size() + 32 * names.size());
    for (const Line& line : Lines(content)) {
        const Parsed parsed = Ignored(line.text) ? Parsed{} : ParseLine(line.text);
        const bool first = !parsed.name.empty() && seen.insert(std::string(parsed.name)).second;
        const auto it = first ? pending.find(parsed.name) : pending.end();
        if (it != pending.end()) {
            out.append(*it).append("\t").append(kFollowsClass);
            pending.erase(it);
        } else {
            out.append(line.text);
        }
        out.append(line.end);
    }
    if (!out.empty() && out.back() != '\n' && !pending.empty()) out += '\n';
    for (const std::string& name : pending) out.append(name).append("\t").append(kFollowsClass).append("\n");
    return out;
}

void WriteCityZones(const std::filesystem::path& file, std::string_view content) {
    WriteFileAtomic(file, content);
}

} // namespace vemar
