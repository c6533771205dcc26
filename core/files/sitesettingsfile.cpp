#include "core/files/sitesettingsfile.h"

#include "core/files/fieldline.h"
#include "core/files/settingsfile.h"

#include <algorithm>
#include <vector>

namespace vemar {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSiteFields = 18;
// Fields (counted from 1) kept as they were read, of whatever kind.
constexpr std::array<std::size_t, 6> kSpareAnyFields = {6, 8, 9, 11, 13, 14};
// Spare Integer fields: kept, but always written as numbers.
constexpr std::array<std::size_t, 2> kSpareIntegerFields = {10, 12};

}  // namespace

int TurnedZoneSign(int offset) { return -offset; }

SiteSettings ReadSiteSettings(const fs::path& file) {
    const std::vector<FieldValue> fields = RequireFields(file, kSiteFields);
    for (std::size_t n = 1; n <= kSiteFields; ++n) {
        const bool anyKind = std::find(kSpareAnyFields.begin(), kSpareAnyFields.end(), n) != kSpareAnyFields.end();
        if (!anyKind && !StrictNumber(fields[n - 1].text))
            throw FileError(FileNameOf(file), FieldName(n - 1) + reason::kNotANumber);
    }
    SiteSettings settings;
    std::copy(fields.begin(), fields.end(), settings.record.begin());
    // Every field read below holds a number (or nothing, which is 0).
    auto text = [&](std::size_t n) -> const std::string& { return fields[n - 1].text; };
    settings.latDegrees = LeadingNumber(text(1));
    settings.latMinutes = LeadingNumber(text(2));
    settings.lonDegrees = LeadingNumber(text(3));
    settings.lonMinutes = LeadingNumber(text(4));
    // Integer fields take the nearest whole number within a 16-bit Integer.
    settings.zoneOffset = std::chrono::hours{TurnedZoneSign(IntegerOf(text(5)))};
    settings.inDstWindow = IntegerOf(text(7));
    settings.hemisphere = static_cast<Hemisphere>(IntegerOf(text(15)));
    settings.outsideDstWindow = IntegerOf(text(16));
    settings.halfHour = std::chrono::minutes{IntegerOf(text(17))};
    settings.autoDst = IntegerOf(text(18));
    return settings;
}

void WriteSiteSettings(const fs::path& file, const SiteSettings& settings) {
    std::vector<FieldValue> fields(kSiteFields);
    auto field = [&](std::size_t n) -> FieldValue& { return fields[n - 1]; };
    field(1) = NumberField(settings.latDegrees);
    field(2) = NumberField(settings.latMinutes);
    field(3) = NumberField(settings.lonDegrees);
    field(4) = NumberField(settings.lonMinutes);
    field(5) = NumberField(TurnedZoneSign(static_cast<int>(settings.zoneOffset.count())));
    field(7) = NumberField(settings.inDstWindow);
    for (std::size_t n : kSpareAnyFields) field(n) = settings.record[n - 1];
    for (std::size_t n : kSpareIntegerFields) field(n) = NumberField(IntegerOf(settings.record[n - 1].text));
    field(15) = NumberField(static_cast<int>(settings.hemisphere));
    field(16) = NumberField(settings.outsideDstWindow);
    field(17) = NumberField(static_cast<int>(settings.halfHour.count()));
    field(18) = NumberField(settings.autoDst);
    WriteSettingsLine(file, fields);
}

}  // namespace vemar
