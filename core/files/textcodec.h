#pragma once
// Text at the file boundary: files hold Windows-1252 bytes, the rest of the
// core works in UTF-8; the scrambled fields of fusi.dat and seg.dat also
// shift every byte.

#include <optional>
#include <string>
#include <string_view>

namespace vemar {

// K: the shift of every scrambled field (fusi.dat, seg.dat). 7 keeps every
// character the editors admit at a code of 25 or more and maps none of them
// onto a double quote or a line end.
constexpr int kShift = 7;

std::string Cp1252ToUtf8(std::string_view bytes);
// Strict UTF-8: no overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view text);
// nullopt when a character has no Windows-1252 code (or the text is not UTF-8).
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
// Every byte c becomes c + k; nullopt when one would leave 0..255.
std::optional<std::string> ShiftText(std::string_view bytes, int k);
// A plain UTF-8 text as it is stored in a scrambled field, or nullopt when it
// cannot be stored: no Windows-1252 code, or a shifted byte that would fall
// below 1 or be a double quote, CR or LF.
std::optional<std::string> ScrambleField(std::string_view utf8);
// The plain UTF-8 text of a scrambled field; nullopt when a byte would pass 255.
std::optional<std::string> UnscrambleField(std::string_view bytes);

} // namespace vemar
