#include "core/files/fieldline.h"

#include <gtest/gtest.h>
#include <array>
#include <cfloat>

namespace vemar {
namespace {

// Fields as one compact text: "n:45|e|t:abc" (bare, empty, quoted, in the order of FieldValue::Kind).
std::string Describe(const std::vector<FieldValue>& fields) {
    std::string out;
    for (const FieldValue& f : fields) out += (out.empty() ? "" : "|") + (std::array{"e", "n:", "t:"}[int(f.kind)] + f.text);
    return out;
}

// Numbers written and read back; leading (seg.dat), offset (fusi.dat), strict (lxp2.par, Parleg.dat; nullopt: none).
TEST(NumberTexts, WrittenAndReadBackLeadingOffsetAndStrict) {
    const std::pair<double, const char*> written[] = {
        {7, " 7"}, {-1, "-1"}, {0, " 0"}, {-0.0, " 0"}, {-0.25, "-0.25"}, {0.1, " 0.1"}, {1e-5, " 0.00001"},
        {1e20, " 100000000000000000000"}};
    for (const auto& [value, text] : written) EXPECT_EQ(NumberText(value), text) << value;
    for (int i = -2000; i <= 2000; ++i) EXPECT_EQ(LeadingNumber(NumberText(i / 8.0)), i / 8.0) << i;
    const std::optional<double> no;
    const std::string kHugeDigits(400, '9');
    struct Case { std::string text; double leading, offset; std::optional<double> strict; };
    const Case cases[] = {
        {" 7", 7, 0, 7}, {"-1", -1, -1, -1}, {"+5", 5, 5, 5}, {"  2.5xyz", 2.5, 0, no}, {"3abc", 3, 3, no},
        {"5.", 5, 5, 5}, {".5", 0.5, 0, 0.5}, {"-.5", -0.5, 0, -0.5}, {"\t4 ", 4, 0, 4}, {"", 0, 0, 0},
        {"  ", 0, 0, 0}, {"abc", 0, 0, no}, {"-", 0, 0, no}, {"+-3", 0, 0, no}, {".", 0, 0, no},
        {"- 3", 0, 0, no}, {"1e5", 1, 1, no}, {"1,5", 1, 1, no}, {"4 1", 4, 4, no}, {"1.2.3", 1.2, 1, no},
        {"007", 7, 7, 7}, {"-0", 0, 0, 0}, {"5.5", 5.5, 5, 5.5}, {"-12", -12, -12, -12},
        {kHugeDigits, DBL_MAX, DBL_MAX, DBL_MAX}, {"-" + kHugeDigits, -DBL_MAX, -DBL_MAX, -DBL_MAX},
        {kHugeDigits + ".5", DBL_MAX, DBL_MAX, DBL_MAX}, {"0." + std::string(400, '0') + "1", 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::tuple(LeadingNumber(c.text), OffsetNumber(c.text), StrictNumber(c.text)),
                  std::tuple(c.leading, c.offset, c.strict)) << c.text;
}

TEST(ReadFields, FieldsAsRead) {
    struct Case { const char* why; std::string content; std::size_t count; const char* fields; };
    const Case cases[] = {
        {"bare numbers", "45,30,-9", 3, "n:45|n:30|n:-9"}, {"quoted texts", "\"a b\",\"\"", 2, "t:a b|t:"},
        {"blanks around", "  7 ,  \"x\"  ,8\t", 3, "n:7|t:x|n:8"}, {"garbage after a quote", "\"ab\"zz,1", 2, "t:ab|n:1"},
        {"CR LF, LF and CR end lines", "1\r\n2\n3\r4", 4, "n:1|n:2|n:3|n:4"}, {"empty fields", ",,1,", 5, "e|e|n:1|e"},
        {"empty last field before CR LF", "1,\r\n", 5, "n:1|e"}, {"rest ignored", "1,2,3,4\r\n5", 2, "n:1|n:2"},
        {"quote never closed", "\"abc", 2, "t:abc"}, {"separators inside quotes", "\"a,\r\nb\",2", 2, "t:a,\r\nb|n:2"},
        {"bare non-number kept bare", "abc, 1 x ,", 2, "n:abc|n:1 x"}, {"nothing", "", 3, ""},
        {"a blank line is one empty field", "\r\n", 3, "e"}, {"trailing blanks after the line", "1\r\n  ", 3, "n:1"},
        {"control codes in quotes", "\"\x19\x01\t\"", 1, "t:\x19\x01\t"},
        {"empty offset then next record", "\"a\",\"b\",\r\n\"c\"", 4, "t:a|t:b|e|t:c"},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(ReadFields(c.content, c.count)), c.fields) << c.why;
}

}  // namespace
}  // namespace vemar
