#include "core/files/textcodec.h"

#include <algorithm>
#include <array>

namespace vemar {

namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F. The five bytes the
// code page leaves undefined map to the C1 control of the same number, so that
// every byte survives a trip to UTF-8 and back.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOfByte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kCp1252High[byte - 0x80] : char32_t(byte);
}

std::optional<unsigned char> ByteOfCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    auto it = std::find(kCp1252High.begin(), kCp1252High.end(), cp);
    if (it == kCp1252High.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (it - kCp1252High.begin()));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {  // every code point of Windows-1252 lies below 0x10000
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The next code point of strict UTF-8 at pos (advanced past it); nullopt on a
// malformed, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    int length = 0;
    char32_t cp = 0;
    char32_t smallest = 0;
    if (lead < 0x80) { ++pos; return lead; }
    if ((lead & 0xE0) == 0xC0) { length = 2; cp = lead & 0x1F; smallest = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; cp = lead & 0x0F; smallest = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; cp = lead & 0x07; smallest = 0x10000; }
    else return std::nullopt;
    if (pos + length > s.size()) return std::nullopt;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += length;
    return cp;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(c)));
    return out;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();)
        if (!NextCodePoint(text, pos)) return false;
    return true;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto cp = NextCodePoint(utf8, pos);
        if (!cp) return std::nullopt;
        const auto byte = ByteOfCodePoint(*cp);
        if (!byte) return std::nullopt;
        out += char(*byte);
    }
    return out;
}

std::optional<std::string> ShiftText(std::string_view bytes, int k) {
    std::string out(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int code = static_cast<unsigned char>(bytes[i]) + k;
        if (code < 0 || code > 255) return std::nullopt;
        out[i] = static_cast<char>(code);
    }
    return out;
}

std::optional<std::string> ScrambleField(std::string_view utf8) {
    const auto bytes = Utf8ToCp1252(utf8);
    if (!bytes) return std::nullopt;
    auto shifted = ShiftText(*bytes, -kShift);
    if (!shifted) return std::nullopt;
    // Between the quotes of a field line no byte may end the text or the line,
    // and a zero byte would not survive every reader.
    for (char c : *shifted)
        if (c == '\0' || c == '"' || c == '\r' || c == '\n') return std::nullopt;
    return shifted;
}

std::optional<std::string> UnscrambleField(std::string_view bytes) {
    const auto plain = ShiftText(bytes, kShift);
    if (!plain) return std::nullopt;
    return Cp1252ToUtf8(*plain);
}

}  // namespace vemar
