#include "core/files/fieldline.h"

#include "core/time/calendar.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace vemar {

namespace {

// The number of an unsigned "digits[.digits]" text. A value too large for a
// double saturates at the largest one; one too small to represent is 0.
double UnsignedValue(std::string_view digits) {
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(),
                                        value, std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const std::string_view whole = digits.substr(0, digits.find('.'));
        const bool huge = whole.find_first_not_of('0') != std::string_view::npos;
        return huge ? std::numeric_limits<double>::max() : 0.0;
    }
    return error == std::errc() ? value : 0.0;
}

std::size_t DigitsEnd(std::string_view s, std::size_t pos) {
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    return pos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A sign at pos: -1 or +1, and pos moved past it when there is one.
double TakeSign(std::string_view s, std::size_t& pos) {
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) return s[pos++] == '-' ? -1.0 : 1.0;
    return 1.0;
}

// Adds 0.0 so that a negative zero never reaches a number text as "-0".
double Signed(double sign, double magnitude) { return sign * magnitude + 0.0; }

// The number that starts text after its blanks: an optional sign, digits and
// a decimal part; nullopt when no digit is there. end receives where it stops.
std::optional<double> NumberAtStart(std::string_view text, std::size_t& end) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    const double sign = TakeSign(text, pos);
    end = DigitsEnd(text, pos);
    if (end < text.size() && text[end] == '.') end = DigitsEnd(text, end + 1);
    const std::string_view number = text.substr(pos, end - pos);
    if (number.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    return Signed(sign, UnsignedValue(number));
}

// The shortest decimal text that reads back as value, without exponent.
std::string BareNumber(double value) {
    if (!std::isfinite(value)) value = 0;   // a file must always read back as a number
    value += 0.0;
    char buffer[400];   // room for every finite double in fixed notation
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// An Integer field of a file: its leading number rounded to the nearest whole
// number (ties to even) and held within a 16-bit Integer's range, so no text

std::string_view TrimTrailingBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::size_t FindSeparator(std::string_view s, std::size_t pos) {
    while (pos < s.size() && s[pos] != ',' && !IsLineEnd(s[pos])) ++pos;
    return pos;
}

// Consumes the separator at pos (a comma, or CR, LF or CR LF as one line end);
// true for a comma, which promises a further field even at the end of the content.
bool ConsumeSeparator(std::string_view s, std::size_t& pos) {
    if (pos >= s.size()) return false;
    const char c = s[pos++];
    if (c == ',') return true;
    if (c == '\r' && pos < s.size() && s[pos] == '\n') ++pos;
    return false;
}

FieldValue ReadOneField(std::string_view content, std::size_t& pos) {
    if (pos < content.size() && content[pos] == '"') {
        // A quoted text runs to the next quote whatever lies between, line ends
        // and control codes included; anything up to the separator is dropped.
        const std::size_t close = content.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? content.size() : close;
        FieldValue field{FieldValue::Kind::Text, std::string(content.substr(pos + 1, end - pos - 1))};
        pos = end == content.size() ? end : FindSeparator(content, end + 1);
        return field;
    }
    const std::size_t end = FindSeparator(content, pos);
    const std::string_view raw = TrimTrailingBlanks(content.substr(pos, end - pos));
    pos = end;
    // Any bare text is kept as written, number or not, so that it goes back bare.
    if (raw.empty()) return {};
    return {FieldValue::Kind::Number, std::string(raw)};
}

// Reads up to `count` fields; when starts is given, it receives where each
// field begins in content (after its leading blanks).
std::vector<FieldValue> ReadFieldList(std::string_view content, std::size_t count,
                                      std::vector<std::size_t>* starts) {
    std::vector<FieldValue> fields;
    std::size_t pos = 0;
    bool fieldDue = false;   // a comma was read: a field follows, if only an empty one
    while (fields.size() < count) {
        while (pos < content.size() && IsBlank(content[pos])) ++pos;
        if (pos >= content.size() && !fieldDue) break;
        if (starts) starts->push_back(pos);
        fields.push_back(ReadOneField(content, pos));
        fieldDue = ConsumeSeparator(content, pos);
    }
    return fields;
}

}  // namespace

std::string NumberText(double value) {
    std::string bare = BareNumber(value);
    return bare.front() == '-' ? bare : " " + bare;
}

double LeadingNumber(std::string_view text) {
    std::size_t end = 0;
    return NumberAtStart(text, end).value_or(0);
}

double OffsetNumber(std::string_view text) {
    std::size_t pos = 0;
    const double sign = TakeSign(text, pos);
    const std::size_t end = DigitsEnd(text, pos);
    if (end == pos) return 0;
    return Signed(sign, UnsignedValue(text.substr(pos, end - pos)));
}

std::vector<FieldValue> ReadFields(std::string_view content, std::size_t count) {
    return ReadFieldList(content, count, nullptr);
}

std::vector<FieldValue> ReadFieldsAt(std::string_view content, std::size_t count,
                                     std::vector<std::size_t>& starts) {
    return ReadFieldList(content, count, &starts);
}

std::string WriteFieldLine(const std::vector<FieldValue>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const FieldValue& field = fields[i];
        if (!FieldWritable(field))
            throw std::invalid_argument("field " + std::to_string(i + 1) + " cannot be written");
        if (field.kind == FieldValue::Kind::Text) line += '"' + field.text + '"';
        else if (field.kind == FieldValue::Kind::Number) line += field.text;
    }
    return line + "\r\n";
}

FieldValue NumberField(double value) { return {FieldValue::Kind::Number, BareNumber(value)}; }

FieldValue TextField(std::string text) { return {FieldValue::Kind::Text, std::move(text)}; }

int IntegerOf(std::string_view text) { return ToInteger(LeadingNumber(text)); }

std::optional<double> StrictNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (std::all_of(text.begin(), text.end(), IsBlank)) return 0.0;   // an empty field
    std::size_t end = 0;
    const auto number = NumberAtStart(text, end);
    if (end != text.size()) return std::nullopt;
    return number;
}

// A bare field runs to the next separator whatever it holds, so a quote
// further on reads back as it was (a spare field of lxp2.par read as a"b must
// be saved again).
bool FieldWritable(const FieldValue& field) {
    switch (field.kind) {
    case FieldValue::Kind::Empty: return true;
    case FieldValue::Kind::Text: return field.text.find('"') == std::string::npos;
    case FieldValue::Kind::Number:
        return field.text.find_first_of(",\r\n") == std::string::npos &&
               (field.text.empty() || field.text.front() != '"');
    }
    return false;
}

}  // namespace vemar
