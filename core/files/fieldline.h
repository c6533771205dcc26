#pragma once
// The field line, the one text convention of the settings files: fields
// separated by commas on a line ended by CR LF, numbers bare, texts between
// double quotes without escapes, an empty value as nothing. Also the number
// texts the program keeps inside its fields.

#include "core/state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

// --- Number texts ---
// " 7", "-1", " 0": a leading blank when not negative.
std::string NumberText(double value);
// Blanks skipped, then an optional sign and digits (and a decimal part):
// the leading number, 0 when there is none.
double LeadingNumber(std::string_view text);
// Offset of fusi.dat: optional sign and decimal digits; "+5" 5, "" 0, "+-" 0.
double OffsetNumber(std::string_view text);
// A number as lxp2.par and Parleg.dat hold one: blanks, an optional sign,
// digits with an optional decimal part, and nothing else; an empty field is
// 0. nullopt for anything else, which a reader taking the leading number
// would turn silently into another value ("4x" into 4, "x41" into 0).
std::optional<double> StrictNumber(std::string_view text);
// An Integer field of a file: its leading number rounded to the nearest whole
// number (ties to even) and held within a 16-bit Integer's range, so no text
// can overflow it. A text that is not a number gives 0.
int IntegerOf(std::string_view text);

// --- Field lines ---
// Reads up to `count` fields; fewer when the content ends first.
// A number's text is kept trimmed; a quoted text without its quotes.
std::vector<FieldValue> ReadFields(std::string_view content, std::size_t count);
// As ReadFields; starts receives where each field begins in content (after
// its leading blanks), so that a damaged byte can be placed in its field.
std::vector<FieldValue> ReadFieldsAt(std::string_view content, std::size_t count,
                                     std::vector<std::size_t>& starts);
// False for a field whose text would break the line: a quote inside a text,
// or a separator or a leading quote in a bare field.
bool FieldWritable(const FieldValue& field);
// Fields separated by commas, texts quoted, ended by CR LF.
std::string WriteFieldLine(const std::vector<FieldValue>& fields);
FieldValue NumberField(double value);   // shortest decimal form: 45, -1, 0.5
FieldValue TextField(std::string text);

} // namespace vemar
