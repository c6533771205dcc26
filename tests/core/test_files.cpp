#include "core/files.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <fstream>
#include <set>
#include <stdlib.h>

#ifndef VEMAR_DATA_DIR
#define VEMAR_DATA_DIR "data"
#endif

namespace vemar {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = VEMAR_DATA_DIR;

std::string Bytes(const fs::path& path) { return ReadFileBytes(path).value_or("<absent>"); }

void Put(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Fields as one compact text: "n:45|e|t:abc" (bare, empty, quoted).
std::string Describe(const std::vector<FieldValue>& fields) {
    std::string out;
    for (const FieldValue& f : fields) {
        if (!out.empty()) out += '|';
        switch (f.kind) {
        case FieldValue::Kind::Empty: out += 'e'; break;
        case FieldValue::Kind::Number: out += "n:" + f.text; break;
        case FieldValue::Kind::Text: out += "t:" + f.text; break;
        }
    }
    return out;
}

// Each test works in a fresh directory of its own and leaves no write fault behind.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vemar-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        SetWriteFaultForTesting(nullptr);
        fs::remove_all(dir);
    }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
        return names;
    }
    // Runs a read or write that must fail and returns its error.
    template <typename F>
    FileError Failure(F&& action) {
        try {
            action();
        } catch (const FileError& e) {
            return e;
        }
        ADD_FAILURE() << "no FileError";
        return FileError("", "");
    }
    fs::path dir;
};

// ---------------------------------------------------------------- Text

TEST(Cp1252, KnownBytesAndTheirCharacters) {
    struct Case { unsigned char byte; const char* utf8; };
    const Case cases[] = {
        {0x41, "A"}, {0x80, "€"}, {0x82, "‚"}, {0x8A, "Š"}, {0x8C, "Œ"}, {0x8E, "Ž"},
        {0x91, "‘"}, {0x93, "“"}, {0x96, "–"}, {0x97, "—"}, {0x99, "™"}, {0x9F, "Ÿ"},
        {0x81, "\u0081"}, {0x8D, "\u008D"}, {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x9D, "\u009D"},
        {0xA0, "\u00A0"}, {0xB0, "°"}, {0xE0, "à"}, {0xFF, "ÿ"},
    };
    for (const Case& c : cases) {
        const std::string byte(1, char(c.byte));
        EXPECT_EQ(Cp1252ToUtf8(byte), c.utf8) << int(c.byte);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), byte) << int(c.byte);
    }
}

TEST(Cp1252, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
    }
}

TEST(Cp1252, RefusesWhatHasNoCode) {
    const char* refused[] = {
        "\u0080",            // a C1 control whose byte is the euro sign
        "\u4E2D",            // no code in the page
        "\U0001F600",        // beyond the basic plane
        "\xC0\x80",          // overlong
        "\xE2\x82",          // cut short
        "\xED\xA0\x80",      // a surrogate
        "\xFF",              // not UTF-8 at all
        "ok\x80",            // a stray continuation byte
    };
    for (const char* text : refused) EXPECT_EQ(Utf8ToCp1252(text), std::nullopt) << text;
}

TEST(ShiftText, ShiftsEachByteOrRefuses) {
    struct Case { std::string in; int k; std::optional<std::string> out; };
    const Case cases[] = {
        {"", 7, ""},
        {"Roma", -7, "KhfZ"},
        {"KhfZ", 7, "Roma"},
        {"\xF8", 7, "\xFF"},
        {"\xF9", 7, std::nullopt},        // 249 + 7 passes 255
        {std::string(1, '\x06'), -7, std::nullopt},
        {std::string("\x00\x01", 2), 1, std::string("\x01\x02")},
    };
    for (const Case& c : cases) EXPECT_EQ(ShiftText(c.in, c.k), c.out) << c.in;
}

// Every character the editors admit is stored as a byte of 25 or more that
// no reader takes for the end of a field or line, and comes back unchanged.
TEST(ScrambleField, AdmittedCharactersRoundTrip) {
    std::string admitted = " +-0123456789";
    for (char c = 64; c <= 122; ++c) admitted += c;
    for (char c : admitted) {
        const std::string plain(1, c);
        const auto stored = ScrambleField(plain);
        ASSERT_TRUE(stored) << c;
        const auto byte = static_cast<unsigned char>((*stored)[0]);
        EXPECT_GE(byte, 25) << c;
        EXPECT_EQ(UnscrambleField(*stored), plain) << c;
    }
}

// Over every byte a file can hold: bytes 249..255 cannot be unscrambled; every
// other byte unscrambles and scrambles back to itself, except the bytes that
// no writer produces (zero, LF, CR and the quote).
TEST(ScrambleField, EveryStoredByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string stored(1, char(b));
        const auto plain = UnscrambleField(stored);
        ASSERT_EQ(plain.has_value(), b + kShift <= 255) << b;
        if (!plain) continue;
        const bool writable = b != 0 && b != '\n' && b != '\r' && b != '"';
        EXPECT_EQ(ScrambleField(*plain), writable ? std::optional(stored) : std::nullopt) << b;
    }
}

// With K = 7 exactly these plain bytes cannot be stored: the codes 0..7 would
// fall below 1, and 17, 20 and ')' would become LF, CR and the quote.
TEST(ScrambleField, RefusedCharactersForTheChosenShift) {
    ASSERT_EQ(kShift, 7);
    std::set<int> refused;
    for (int b = 0; b < 256; ++b)
        if (!ScrambleField(Cp1252ToUtf8(std::string(1, char(b))))) refused.insert(b);
    EXPECT_EQ(refused, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 17, 20, ')'}));
    EXPECT_EQ(ScrambleField("中"), std::nullopt);
}

// ---------------------------------------------------------------- Numbers

TEST(NumberText, LeadingBlankUnlessNegative) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {7, " 7"}, {-1, "-1"}, {0, " 0"}, {-0.0, " 0"}, {2.5, " 2.5"}, {-0.25, "-0.25"},
        {0.1, " 0.1"}, {45, " 45"}, {1e20, " 100000000000000000000"}, {1e-5, " 0.00001"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(NumberText, ReadsBackAsTheSameNumber) {
    for (int i = -2000; i <= 2000; ++i) {
        const double value = i / 8.0;
        EXPECT_EQ(LeadingNumber(NumberText(value)), value) << value;
        EXPECT_EQ(LeadingNumber(NumberField(value).text), value) << value;
    }
}

TEST(NumberField, ShortestBareForm) {
    struct Case { double value; const char* text; };
    const Case cases[] = {{45, "45"}, {-1, "-1"}, {0, "0"}, {0.5, "0.5"}, {-12, "-12"}, {-0.0, "0"}};
    for (const Case& c : cases) EXPECT_EQ(NumberField(c.value), (FieldValue{FieldValue::Kind::Number, c.text}));
}

const std::string kHugeDigits(400, '9');
const std::string kTinyFraction = "0." + std::string(400, '0') + "1";

TEST(LeadingNumber, TakesTheLeadingNumberOrZero) {
    struct Case { std::string text; double value; };
    const Case cases[] = {
        {" 7", 7}, {"-1", -1}, {"+5", 5}, {"  2.5xyz", 2.5}, {"3abc", 3}, {"5.", 5}, {".5", 0.5},
        {"-.5", -0.5}, {"\t4", 4}, {"", 0}, {"   ", 0}, {"abc", 0}, {"-", 0}, {"+-3", 0},
        {".", 0}, {"- 3", 0}, {"1e5", 1}, {"1,5", 1}, {"007", 7}, {"-0", 0},
        {kHugeDigits, DBL_MAX}, {"-" + kHugeDigits, -DBL_MAX}, {kHugeDigits + ".5", DBL_MAX},
        {kTinyFraction, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(OffsetNumber, SignAndDigitsOnly) {
    struct Case { std::string text; double value; };
    const Case cases[] = {
        {"+5", 5}, {"05", 5}, {"", 0}, {"+-", 0}, {"-3", -3}, {"0", 0}, {"12", 12}, {"-12", -12},
        {"+", 0}, {"-", 0}, {"5.5", 5}, {"1a", 1}, {" 5", 0}, {"x", 0},
        {kHugeDigits, DBL_MAX}, {"-" + kHugeDigits, -DBL_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(OffsetNumber(c.text), c.value) << c.text;
}

// ---------------------------------------------------------------- Field lines

TEST(ReadFields, FieldsAsRead) {
    struct Case { const char* why; std::string content; std::size_t count; const char* fields; };
    const Case cases[] = {
        {"bare numbers", "45,30,-9", 3, "n:45|n:30|n:-9"},
        {"quoted texts", "\"a b\",\"\"", 2, "t:a b|t:"},
        {"blanks around", "  7 ,  \"x\"  ,8\t", 3, "n:7|t:x|n:8"},
        {"garbage after a quote", "\"ab\"zz,1", 2, "t:ab|n:1"},
        {"CR LF, LF and CR end lines", "1\r\n2\n3\r4", 4, "n:1|n:2|n:3|n:4"},
        {"fields over lines", "\"*\"\r\n\"x\",\"y\"\r\n", 3, "t:*|t:x|t:y"},
        {"empty fields", ",,1,", 5, "e|e|n:1|e"},
        {"empty last field before CR LF", "1,\r\n", 5, "n:1|e"},
        {"content ends first", "1,2", 5, "n:1|n:2"},
        {"rest ignored", "1,2,3,4\r\n5", 2, "n:1|n:2"},
        {"quote never closed", "\"abc", 2, "t:abc"},
        {"separators inside quotes", "\"a,\r\nb\",2", 2, "t:a,\r\nb|n:2"},
        {"bare non-number kept bare", "abc, 1 x ,", 2, "n:abc|n:1 x"},
        {"nothing", "", 3, ""},
        {"a blank line is one empty field", "\r\n", 3, "e"},
        {"trailing blanks after the line", "1\r\n  ", 3, "n:1"},
        {"control codes in quotes", "\"\x19\x01\t\"", 1, "t:\x19\x01\t"},
        {"empty offset then next record", "\"a\",\"b\",\r\n\"c\"", 4, "t:a|t:b|e|t:c"},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(ReadFields(c.content, c.count)), c.fields) << c.why;
}

TEST(WriteFieldLine, NumbersBareTextsQuotedEmptyAsNothing) {
    using K = FieldValue::Kind;
    struct Case { std::vector<FieldValue> fields; const char* line; };
    const Case cases[] = {
        {{{K::Number, "2"}, {K::Number, "-1"}}, "2,-1\r\n"},
        {{{K::Text, "a b"}, {K::Empty, ""}, {K::Text, ""}}, "\"a b\",,\"\"\r\n"},
        {{{K::Empty, ""}, {K::Empty, ""}}, ",\r\n"},
        {{{K::Text, "\x19\x01"}}, "\"\x19\x01\"\r\n"},
        {{}, "\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(WriteFieldLine(c.fields), c.line);
}

TEST(WriteFieldLine, RefusesFieldsThatWouldBreakTheLine) {
    using K = FieldValue::Kind;
    const FieldValue bad[] = {{K::Text, "a\"b"}, {K::Number, "1,2"}, {K::Number, "1\r\n"}, {K::Number, "\"1"}};
    for (const FieldValue& f : bad) EXPECT_THROW(WriteFieldLine({f}), std::invalid_argument) << f.text;
}

TEST(FieldLine, RoundTripsByteForByte) {
    const std::string lines[] = {
        "45,30,9,10,-1,,1,,,0,,0,,,1,0,0,1\r\n",
        "\"x\",abc,2.50,,\"\",007\r\n",
    };
    for (const std::string& line : lines) EXPECT_EQ(WriteFieldLine(ReadFields(line, 100)), line);
}

// ---------------------------------------------------------------- fusi.dat

ZoneTable SampleTable() {
    ZoneTable table;
    for (int i = 0; i < kZoneRows; ++i) table[i] = {"Zona " + std::to_string(i), std::to_string(i % 4), std::to_string(i % 25 - 12)};
    table[0] = {"Roma", "1", "+1"};
    table[1] = {"", "0", ""};                          // both empty forms
    table[2] = {"@[\\]^_`az Z", "", "0"};                // edges of the admitted codes
    table[3] = {"Abcdefghijklm", "9", "-12"};           // 13 letters, a class outside 0..3
    return table;
}

TEST_F(FilesTest, ZoneTableRoundTripsWithItsExactBytes) {
    const ZoneTable table = SampleTable();
    WriteZoneTable(dir / kZoneFile, table);
    EXPECT_EQ(ReadZoneTable(dir / kZoneFile), table);
    const std::string bytes = Bytes(dir / kZoneFile);
    const std::string start = "\"KhfZ\",\"*\",\"$*\"\r\n\"\",\")\",\r\n\"9TUV";
    EXPECT_EQ(bytes.substr(0, start.size()), start);
    std::size_t lines = 0;
    for (std::size_t p = 0; (p = bytes.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
    EXPECT_EQ(lines, std::size_t(kZoneRows));
}

TEST_F(FilesTest, InstalledZoneTableReadsAndWritesBackUnchanged) {
    const ZoneTable table = ReadZoneTable(kDataDir / kZoneFile);
    EXPECT_EQ(table[0], (ZoneRow{"Roma", "1", "+1"}));
    std::set<std::string> names;
    for (const ZoneRow& row : table) {
        names.insert(row.name);
        EXPECT_LE(row.name.size(), 13u) << row.name;
        EXPECT_TRUE(row.zoneClass.size() == 1 && row.zoneClass[0] >= '0' && row.zoneClass[0] <= '3') << row.name;
        const double offset = OffsetNumber(row.offset);
        EXPECT_TRUE(offset >= -12 && offset <= 12) << row.name;
    }
    EXPECT_EQ(names.size(), std::size_t(kZoneRows));
    WriteZoneTable(dir / kZoneFile, table);
    EXPECT_EQ(Bytes(dir / kZoneFile), Bytes(kDataDir / kZoneFile));
}

TEST_F(FilesTest, DamagedZoneTablesNameTheRecord) {
    WriteZoneTable(dir / kZoneFile, SampleTable());
    const std::string good = Bytes(dir / kZoneFile);
    auto firstLines = [&](int n) {
        std::size_t p = 0;
        for (int i = 0; i < n; ++i) p = good.find("\r\n", p) + 2;
        return good.substr(0, p);
    };
    std::string badByte = good;
    const ZoneRow row12 = SampleTable()[11];
    const std::string beforeOffset =
        "\"" + *ScrambleField(row12.name) + "\",\"" + *ScrambleField(row12.zoneClass) + "\",\"";
    badByte.insert(firstLines(11).size() + beforeOffset.size(), "\xFA");
    struct Case { const char* why; std::optional<std::string> content; const char* message; };
    const Case cases[] = {
        {"absent", std::nullopt, "file mancante"},
        {"empty", "", "record 1 mancante"},
        {"53 records", firstLines(53), "record 54 mancante"},
        {"10 records and a half", firstLines(10) + "\"x\",", "record 11 incompleto"},
        {"byte 250 in record 12", badByte, "record 12, campo 3"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / kZoneFile);
        if (c.content) Put(dir / kZoneFile, *c.content);
        const FileError e = Failure([&] { ReadZoneTable(dir / kZoneFile); });
        EXPECT_EQ(e.file, "fusi.dat") << c.why;
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.why << ": " << e.what();
    }
}

TEST_F(FilesTest, UnstorableZoneFieldWritesNothing) {
    Put(dir / kZoneFile, "old");
    ZoneTable table = SampleTable();
    table[4].offset = "+1)";   // ')' would be stored as a quote
    const FileError e = Failure([&] { WriteZoneTable(dir / kZoneFile, table); });
    EXPECT_EQ(e.file, "fusi.dat");
    EXPECT_NE(std::string(e.what()).find("record 5, campo 3"), std::string::npos) << e.what();
    EXPECT_EQ(Bytes(dir / kZoneFile), "old");
    EXPECT_EQ(Entries(), std::set<std::string>{"fusi.dat"});
}

TEST_F(FilesTest, CommitReplacesTheTableWithTheStagedOne) {
    Put(dir / kZoneFile, "old");
    WriteZoneTable(dir / kStagedZoneFile, SampleTable());
    const std::string staged = Bytes(dir / kStagedZoneFile);
    CommitStagedTable(dir);
    EXPECT_EQ(Bytes(dir / kZoneFile), staged);
    EXPECT_EQ(Entries(), std::set<std::string>{"fusi.dat"});

    const FileError e = Failure([&] { CommitStagedTable(dir); });   // nothing staged now
    EXPECT_EQ(e.file, "fusi.tmp");
    EXPECT_EQ(Bytes(dir / kZoneFile), staged);
}

// ---------------------------------------------------------------- lxp2.par

TEST_F(FilesTest, SiteSettingsRoundTripByteForByte) {
    const std::string lines[] = {
        "45,30,9,10,-1,,1,,,0,,0,,,1,0,0,1\r\n",
        Bytes(kDataDir / kSiteFile),
        "-41.5,-54,12,29,3,\"spare\",0,abc,7.25,2,\"\",-4,x y,,2,1,30,0\r\n",   // every spare kind
    };
    for (const std::string& line : lines) {
        Put(dir / kSiteFile, line);
        SharedState state;
        ReadSiteSettings(dir / kSiteFile, state);
        state.storedZoneOffset = state.zoneOffset;   // as read: the caller negates twice
        WriteSiteSettings(dir / kSiteFile, state);
        EXPECT_EQ(Bytes(dir / kSiteFile), line);
    }
}

TEST_F(FilesTest, SiteSettingsFieldsReachTheState) {
    Put(dir / kSiteFile, "-41.5,-54,12,29,3,,1,,,0,,0,,,2,0,30,1\r\n");
    SharedState state;
    ReadSiteSettings(dir / kSiteFile, state);
    EXPECT_EQ(state.latDegrees, -41.5);
    EXPECT_EQ(state.latMinutes, -54);
    EXPECT_EQ(state.lonDegrees, 12);
    EXPECT_EQ(state.lonMinutes, 29);
    EXPECT_EQ(state.zoneOffset, 3);   // as it stands; start-up negates it
    EXPECT_EQ(state.inDstWindow, 1);
    EXPECT_EQ(state.hemisphere, 2);
    EXPECT_EQ(state.outsideDstWindow, 0);
    EXPECT_EQ(state.siteHalfHour, 30);
    EXPECT_EQ(state.autoDst, 1);
}

TEST_F(FilesTest, ZoneOffsetIsStoredNegated) {
    struct Case { int zoneOffset; const char* field5; };
    const Case cases[] = {{5, "-5"}, {-3, "3"}, {0, "0"}, {12, "-12"}};
    for (const Case& c : cases) {
        SharedState state;
        state.zoneOffset = c.zoneOffset;
        state.storedZoneOffset = -state.zoneOffset;
        WriteSiteSettings(dir / kSiteFile, state);
        const auto fields = ReadFields(Bytes(dir / kSiteFile), 18);
        ASSERT_EQ(fields.size(), 18u);
        EXPECT_EQ(fields[4].text, c.field5) << c.zoneOffset;
    }
}

TEST_F(FilesTest, SiteIntegerFieldsThatAreNotNumbers) {
    // Integer fields read their leading number; a spare Integer goes back as that number.
    Put(dir / kSiteFile, "1,2,3,4,abc,,x1,,,\"7\",,,,,,2.5,30 min,1e3\r\n");
    SharedState state;
    ReadSiteSettings(dir / kSiteFile, state);
    EXPECT_EQ(state.zoneOffset, 0);
    EXPECT_EQ(state.inDstWindow, 0);
    EXPECT_EQ(state.hemisphere, 0);
    EXPECT_EQ(state.outsideDstWindow, 2);   // 2.5 to the nearest even
    EXPECT_EQ(state.siteHalfHour, 30);
    EXPECT_EQ(state.autoDst, 1);
    WriteSiteSettings(dir / kSiteFile, state);
    EXPECT_EQ(Bytes(dir / kSiteFile), "1,2,3,4,0,,0,,,7,,0,,,0,2,30,1\r\n");
}

TEST_F(FilesTest, MissingOrShortSiteSettings) {
    struct Case { std::optional<std::string> content; const char* message; };
    const Case cases[] = {
        {std::nullopt, "file mancante"},
        {"", "campo 1 mancante"},
        {"45,30,9,10,-1,,1,,,0,,0,,,1,0,0\r\n", "campo 18 mancante"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / kSiteFile);
        if (c.content) Put(dir / kSiteFile, *c.content);
        SharedState state;
        const FileError e = Failure([&] { ReadSiteSettings(dir / kSiteFile, state); });
        EXPECT_EQ(e.file, "lxp2.par");
        EXPECT_STREQ(e.what(), c.message);
    }
}

// ---------------------------------------------------------------- seg.dat

TEST_F(FilesTest, DisplaySettingsRoundTrip) {
    const std::array<std::string, 9> samples[] = {
        {" 1", "-1", " 7", " 7", " 0", " 1", " 0", "*", "°"},
        {" 0", " 0", " 0", " 0", " 0", " 0", " 0", "", ""},
        {"", "x y", "€", "\x08", "\t", "  ", "~", "ÿ", "Œ"},   // blanks become control codes
    };
    for (const auto& plain : samples) {
        WriteDisplaySettings(dir / kDisplayFile, plain);
        EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile), plain);
    }
}

TEST_F(FilesTest, DisplaySettingsStoredBytes) {
    struct Case { const char* signalToggle; const char* field2; };
    const Case cases[] = {{"-1", "\"&*\""}, {" 0", "\"\x19)\""}};
    for (const Case& c : cases) {
        WriteDisplaySettings(dir / kDisplayFile, {" 1", c.signalToggle, " 0", " 0", " 0", " 0", " 0", "*", "*"});
        const std::string bytes = Bytes(dir / kDisplayFile);
        EXPECT_EQ(bytes.substr(0, 5), "\"\x19*\",") << c.signalToggle;
        EXPECT_EQ(bytes.substr(5, std::string(c.field2).size()), c.field2) << c.signalToggle;
        const std::string end = ",\"#\",\"#\"\r\n";
        EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
    }
}

TEST_F(FilesTest, DisplaySettingsDamagedOrAbsent) {
    EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile), std::nullopt);

    // A symbol that would be stored as a quote is stored empty.
    WriteDisplaySettings(dir / kDisplayFile, {" 1", "-1", " 7", " 7", " 0", " 1", " 0", ")", "*"});
    EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile),
              (std::array<std::string, 9>{" 1", "-1", " 7", " 7", " 0", " 1", " 0", "", "*"}));

    // Missing fields and a byte that cannot be unscrambled read as empty.
    Put(dir / kDisplayFile, "\"\x19*\",\"\xFA\",\"\x19\x30\"\r\n");
    EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile),
              (std::array<std::string, 9>{" 1", "", " 7", "", "", "", "", "", ""}));
}

// ---------------------------------------------------------------- Parleg.dat

TEST_F(FilesTest, RuleRoundTrips) {
    struct Case { DstRule rule; const char* bytes; };
    const Case cases[] = {
        {{2, 4, 0, 9, 4, 0}, "2,4,0,9,4,0\r\n"},
        {{0, 0, 0, 0, 0, 0}, "0,0,0,0,0,0\r\n"},
        {{11, 4, 6, 11, 4, 6}, "11,4,6,11,4,6\r\n"},
    };
    for (const Case& c : cases) {
        WriteParleg(dir / kRuleFile, c.rule);
        EXPECT_EQ(Bytes(dir / kRuleFile), c.bytes);
        EXPECT_EQ(ReadParleg(dir / kRuleFile), c.rule);
    }
    EXPECT_EQ(ReadParleg(kDataDir / kRuleFile), (DstRule{2, 4, 0, 9, 4, 0}));
}

TEST_F(FilesTest, DamagedRulesNameTheField) {
    struct Case { std::optional<std::string> content; const char* message; };
    const Case cases[] = {
        {std::nullopt, "file mancante"},
        {"2,4,0,9,4\r\n", "campo 6 mancante"},
        {"2,x,0,9,4,0\r\n", "campo 2: numero intero non valido"},
        {"2,,0,9,4,0\r\n", "campo 2: numero intero non valido"},
        {"2.5,4,0,9,4,0\r\n", "campo 1: numero intero non valido"},
        {"-1,4,0,9,4,0\r\n", "campo 1 fuori intervallo"},
        {"2,5,0,9,4,0\r\n", "campo 2 fuori intervallo"},
        {"2,4,7,9,4,0\r\n", "campo 3 fuori intervallo"},
        {"2,4,0,12,4,0\r\n", "campo 4 fuori intervallo"},
        {"2,4,0,9,4," + kHugeDigits + "\r\n", "campo 6 fuori intervallo"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / kRuleFile);
        if (c.content) Put(dir / kRuleFile, *c.content);
        const FileError e = Failure([&] { ReadParleg(dir / kRuleFile); });
        EXPECT_EQ(e.file, "Parleg.dat");
        EXPECT_STREQ(e.what(), c.message);
    }
    // A rule the next start would refuse is never written.
    Put(dir / kRuleFile, "old");
    const FileError e = Failure([&] { WriteParleg(dir / kRuleFile, {2, 4, 0, 9, 4, 7}); });
    EXPECT_STREQ(e.what(), "campo 6 fuori intervallo");
    EXPECT_EQ(Bytes(dir / kRuleFile), "old");
}

// ---------------------------------------------------------------- car.tip

TEST_F(FilesTest, LargeMarkers) {
    using M = std::array<std::string, 5>;
    EXPECT_EQ(ReadLargeMarkers(kDataDir / kMarkerFile), (M{"*", "°", "", "", ""}));
    EXPECT_EQ(ReadLargeMarkers(dir / kMarkerFile), M{});
    struct Case { const char* content; M markers; };
    const Case cases[] = {
        {"\"*\"", {"*", "", "", "", ""}},
        {"\"\xB0\"\n#\n\"\x80\",+,\"a\",\"b\"", {"°", "#", "€", "+", "a"}},
    };
    for (const Case& c : cases) {
        Put(dir / kMarkerFile, c.content);
        EXPECT_EQ(ReadLargeMarkers(dir / kMarkerFile), c.markers) << c.content;
    }
}

// ---------------------------------------------------------------- Atomic writes

TEST_F(FilesTest, FailedWritesKeepTheOldFileAndLeaveNoTemporary) {
    SharedState state;
    struct Case { const char* file; std::function<void(const fs::path&)> write; };
    const Case cases[] = {
        {kZoneFile, [](const fs::path& p) { WriteZoneTable(p, SampleTable()); }},
        {kSiteFile, [&](const fs::path& p) { WriteSiteSettings(p, state); }},
        {kDisplayFile, [](const fs::path& p) { WriteDisplaySettings(p, {}); }},
        {kRuleFile, [](const fs::path& p) { WriteParleg(p, DstRule{}); }},
        {"any", [](const fs::path& p) { WriteFileAtomic(p, std::string(10000, 'x')); }},
    };
    for (const Case& c : cases) {
        const fs::path target = dir / c.file;
        const std::string old = "old content\r\n";
        Put(target, old);
        SetWriteFaultForTesting([&](const fs::path& p) { return p == target; });
        const FileError e = Failure([&] { c.write(target); });
        EXPECT_EQ(e.file, c.file);
        EXPECT_NE(std::string(e.what()).find("scrittura non riuscita: "), std::string::npos) << e.what();
        EXPECT_EQ(Bytes(target), old) << c.file;
        EXPECT_EQ(Entries(), std::set<std::string>{c.file});

        SetWriteFaultForTesting(nullptr);
        c.write(target);   // the same write succeeds without the fault
        EXPECT_NE(Bytes(target), old) << c.file;
        EXPECT_EQ(Entries(), std::set<std::string>{c.file});
        fs::remove(target);
    }
}

TEST_F(FilesTest, FaultHitsOnlyItsTarget) {
    SetWriteFaultForTesting([](const fs::path& p) { return p.filename() == "seg.dat"; });
    WriteFileAtomic(dir / "other", "new");
    EXPECT_EQ(Bytes(dir / "other"), "new");
}

TEST_F(FilesTest, TargetInAMissingDirectory) {
    const FileError e = Failure([&] { WriteFileAtomic(dir / "nowhere" / kDisplayFile, "x"); });
    EXPECT_EQ(e.file, "seg.dat");
    EXPECT_NE(std::string(e.what()).find("scrittura non riuscita: "), std::string::npos) << e.what();
}

TEST_F(FilesTest, ReplacementKeepsThePermissionsOfTheOldFile) {
    Put(dir / kSiteFile, "old");
    fs::permissions(dir / kSiteFile, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomic(dir / kSiteFile, "new");
    EXPECT_EQ(fs::status(dir / kSiteFile).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace vemar
