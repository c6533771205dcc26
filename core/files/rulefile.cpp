#include "core/files/rulefile.h"

#include "core/files/fieldline.h"
#include "core/files/settingsfile.h"

#include <array>
#include <cmath>
#include <vector>

namespace vemar {

namespace fs = std::filesystem;

namespace {

struct RuleField { int DstRule::*value; int last; };   // range 0..last
constexpr std::array<RuleField, 6> kRuleFields = {{
    {&DstRule::monthA, 11}, {&DstRule::weekA, 4}, {&DstRule::weekdayA, 6},
    {&DstRule::monthB, 11}, {&DstRule::weekB, 4}, {&DstRule::weekdayB, 6},
}};

}  // namespace

DstRule ReadParleg(const fs::path& file) {
    const std::vector<FieldValue> fields = RequireFields(file, kRuleFields.size());
    DstRule rule;
    for (std::size_t i = 0; i < kRuleFields.size(); ++i) {
        const auto value = StrictNumber(fields[i].text);
        if (!value) throw FileError(FileNameOf(file), FieldName(i) + reason::kNotANumber);
        if (*value != std::floor(*value)) throw FileError(FileNameOf(file), FieldName(i) + reason::kNotWholeNumber);
        if (*value < 0 || *value > kRuleFields[i].last)
            throw FileError(FileNameOf(file), FieldName(i) + reason::kOutOfRange);
        rule.*kRuleFields[i].value = static_cast<int>(*value);
    }
    return rule;
}

void WriteParleg(const fs::path& file, const DstRule& rule) {
    std::vector<FieldValue> fields;
    for (std::size_t i = 0; i < kRuleFields.size(); ++i) {
        const int value = rule.*kRuleFields[i].value;
        // Never write a rule that the next start would refuse to read.
        if (value < 0 || value > kRuleFields[i].last)
            throw FileError(FileNameOf(file), FieldName(i) + reason::kOutOfRange);
        fields.push_back(NumberField(value));
    }
    WriteSettingsLine(file, fields);
}

}  // namespace vemar
