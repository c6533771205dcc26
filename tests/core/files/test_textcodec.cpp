#include "core/files/textcodec.h"

#include <gtest/gtest.h>

namespace vemar {
namespace {

// Every byte to UTF-8 and back; 249..255 do not unscramble, the rest round-trip but zero, LF, CR and the quote.
TEST(Cp1252, EveryByteRoundTripsAndTextsWithoutOne) {
    struct Case { unsigned char byte; const char* utf8; };
    const Case cases[] = {
        {0x41, "A"}, {0x80, "€"}, {0x82, "‚"}, {0x8A, "Š"}, {0x8C, "Œ"}, {0x8E, "Ž"}, {0x91, "‘"}, {0x93, "“"}, {0x96, "–"},
        {0x97, "—"}, {0x99, "™"}, {0x9F, "Ÿ"}, {0xA0, "\u00A0"}, {0xB0, "°"}, {0xE0, "à"}, {0xFF, "ÿ"},
        {0x81, "\u0081"}, {0x8D, "\u008D"}, {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x9D, "\u009D"},   // unassigned
    };
    for (const Case& c : cases) {
        const std::string byte(1, char(c.byte));
        EXPECT_EQ(std::pair(Cp1252ToUtf8(byte), Utf8ToCp1252(c.utf8)), std::pair(std::string(c.utf8), std::optional(byte))) << c.utf8;
    }
    // A C1 control whose byte is the euro sign; no code in the page; overlong, cut short, surrogate, not UTF-8.
    for (const char* text : {"\u0080", "\u4E2D", "\U0001F600", "\xC0\x80", "\xE2\x82", "\xED\xA0\x80", "\xFF", "ok\x80"})
        EXPECT_EQ(Utf8ToCp1252(text), std::nullopt) << text;
    EXPECT_EQ(ScrambleField("\x06"), std::nullopt);   // would fall below zero
    for (int b = 0; b < 256; ++b) {
        const std::string stored(1, char(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(stored)), stored) << b;
        const auto plain = UnscrambleField(stored);
        ASSERT_EQ(plain.has_value(), b + kShift <= 255) << b;
        const bool writable = b != 0 && b != '\n' && b != '\r' && b != '"';
        if (plain) { EXPECT_EQ(ScrambleField(*plain), writable ? std::optional(stored) : std::nullopt) << b; }
    }
}

// Strict UTF-8 from the first byte on: no stray byte, cut sequence, overlong form or surrogate.
TEST(Utf8, StrictFromTheFirstByte) {
    const std::pair<const char*, bool> texts[] = {{"Zürich 😀", true}, {"\xFF" "abc", false}, {"ab\xC3", false},
                                                  {"\xC0\xAF", false}, {"\xED\xA0\x80", false}};
    for (const auto& [text, utf8] : texts) EXPECT_EQ(IsUtf8(text), utf8) << text;
}

}  // namespace
}  // namespace vemar
