#include "testsupport.h"

#include <algorithm>
#include <cfloat>
#include <set>

#include <sys/stat.h>

namespace vemar {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = VEMAR_DATA_DIR;

std::string Bytes(const fs::path& path) { return ReadFileBytes(path).value_or("<absent>"); }
void Put(const fs::path& path, std::string_view bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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

// Each test works in an empty directory of its own and leaves no write fault behind.
class FilesTest : public ::testing::Test {
protected:
    void TearDown() override { SetWriteFaultForTesting(nullptr); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
        return names;
    }
    // Runs a read or write that must fail and returns its error.
    template <typename F> FileError Failure(F&& action) {
        try { action(); } catch (const FileError& e) { return e; }
        ADD_FAILURE() << "no FileError";
        return FileError("", "");
    }
    test::WorkDir dir{false};
};

// ---------------------------------------------------------------- Text

TEST(Cp1252, KnownBytesAndTheirCharacters) {
    struct Case { unsigned char byte; const char* utf8; };
    const Case cases[] = {
        {0x41, "A"}, {0x80, "€"}, {0x82, "‚"}, {0x8A, "Š"}, {0x8C, "Œ"}, {0x8E, "Ž"}, {0x91, "‘"},
        {0x93, "“"}, {0x96, "–"}, {0x97, "—"}, {0x99, "™"}, {0x9F, "Ÿ"}, {0xA0, "\u00A0"}, {0xB0, "°"},
        {0xE0, "à"}, {0xFF, "ÿ"},
        {0x81, "\u0081"}, {0x8D, "\u008D"}, {0x8F, "\u008F"}, {0x90, "\u0090"}, {0x9D, "\u009D"},   // unassigned
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
        "\u0080",                  // a C1 control whose byte is the euro sign
        "\u4E2D", "\U0001F600",    // no code in the page
        "\xC0\x80", "\xE2\x82", "\xED\xA0\x80", "\xFF", "ok\x80",   // overlong, cut short, surrogate, not UTF-8
    };
    for (const char* text : refused) EXPECT_EQ(Utf8ToCp1252(text), std::nullopt) << text;
}

// Over every byte and shift: the shifted byte shifts back, or the shift is
// refused exactly when the byte would leave 0..255.
TEST(ShiftText, RoundTripsOrRefusesOverEveryByte) {
    for (int k : {-7, 1, 7})
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, char(b));
            const auto shifted = ShiftText(byte, k);
            ASSERT_EQ(shifted.has_value(), b + k >= 0 && b + k <= 255) << b << " shifted by " << k;
            if (shifted) {
                EXPECT_EQ(ShiftText(*shifted, -k), byte) << b << " shifted by " << k;
            }
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

// ---------------------------------------------------------------- Numbers

TEST(NumberText, LeadingBlankUnlessNegative) {
    struct Case { double value; const char* text; };
    const Case cases[] = {{7, " 7"}, {-1, "-1"}, {0, " 0"}, {-0.0, " 0"}, {-0.25, "-0.25"}, {0.1, " 0.1"},
                          {1e20, " 100000000000000000000"}, {1e-5, " 0.00001"}};
    for (const Case& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(NumberText, ReadsBackAsTheSameNumber) {
    for (int i = -2000; i <= 2000; ++i) {
        const double value = i / 8.0;
        EXPECT_EQ(LeadingNumber(NumberText(value)), value) << value;
        EXPECT_EQ(LeadingNumber(NumberField(value).text), value) << value;
    }
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
        {"empty fields", ",,1,", 5, "e|e|n:1|e"},
        {"empty last field before CR LF", "1,\r\n", 5, "n:1|e"},
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

TEST(WriteFieldLine, RefusesFieldsThatWouldBreakTheLine) {
    using K = FieldValue::Kind;
    const FieldValue bad[] = {{K::Text, "a\"b"}, {K::Number, "1,2"}, {K::Number, "1\r\n"}, {K::Number, "\"1"}};
    for (const FieldValue& f : bad) EXPECT_THROW(WriteFieldLine({f}), std::invalid_argument) << f.text;
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
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), kZoneRows);
}

TEST_F(FilesTest, InstalledZoneTableReadsAndWritesBackUnchanged) {
    const ZoneTable table = ReadZoneTable(kDataDir / kZoneFile);
    EXPECT_EQ(table[0], (ZoneRow{"Roma", "1", "+1"}));
    EXPECT_EQ(table[53], (ZoneRow{"Reykjavik", "0", "0"}));
    WriteZoneTable(dir / kZoneFile, table);
    EXPECT_EQ(Bytes(dir / kZoneFile), Bytes(kDataDir / kZoneFile));
}

TEST_F(FilesTest, CommitReplacesTheTableWithTheStagedOne) {
    Put(dir / kZoneFile, "old");
    WriteZoneTable(dir / kStagedZoneFile, SampleTable());
    const std::string staged = Bytes(dir / kStagedZoneFile);
    CommitStagedTable(dir.path());
    EXPECT_EQ(Bytes(dir / kZoneFile), staged);
    EXPECT_EQ(Entries(), std::set<std::string>{"fusi.dat"});

    const FileError e = Failure([&] { CommitStagedTable(dir.path()); });   // nothing staged now
    EXPECT_EQ(e.file, "fusi.dat");
    EXPECT_STREQ(e.what(), "copia provvisoria fusi.tmp mancante");
    EXPECT_EQ(Bytes(dir / kZoneFile), staged);
}

// ---------------------------------------------------------------- lxp2.par

// The settings lxp2.par holds, in the order of its fields.
std::vector<double> SiteFields(const SharedState& s) {
    return {s.latDegrees, s.latMinutes, s.lonDegrees, s.lonMinutes, double(s.zoneOffset), double(s.inDstWindow),
            double(s.hemisphere), double(s.outsideDstWindow), double(s.siteHalfHour), double(s.autoDst)};
}

// Each line as read into the settings (the zone offset as it stands: start-up
// negates it) and as written back; nullptr: byte for byte the same.
TEST_F(FilesTest, SiteSettingsReadAndWrittenBack) {
    struct Case { const char* line; std::vector<double> settings; const char* written; };
    const Case cases[] = {
        {"41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", {41, 54, -12, -29, -1, 1, 1, 0, 0, 1}, nullptr},
        {"-41.5,-54,12,29,3,\"spare\",0,abc,7.25,2,\"\",-4,x y,,2,1,30,0\r\n",   // every spare kind
         {-41.5, -54, 12, 29, 3, 0, 2, 1, 30, 0}, nullptr},
        // A bare spare field runs to the next comma, quotes and all: it must
        // save again, or every later save would end the program.
        {"1,2,3,4,-1,a\"b,1,,,0,,0,,,1,0,0,1\r\n", {1, 2, 3, 4, -1, 1, 1, 0, 0, 1}, nullptr},
        // Integer fields take the nearest whole number, 2.5 the even one; an
        // empty one is 0; a spare Integer goes back as its number.
        {"1,2,3,4,,, +1 ,,,\"7\",,,,,,2.5,30,1.0\r\n", {1, 2, 3, 4, 0, 1, 0, 2, 30, 1},
         "1,2,3,4,0,,1,,,7,,0,,,0,2,30,1\r\n"},
        // An editor's byte-order mark is no part of the latitude.
        {"\xEF\xBB\xBF" "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", {41, 54, -12, -29, -1, 1, 1, 0, 0, 1},
         "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n"},
    };
    for (const Case& c : cases) {
        Put(dir / kSiteFile, c.line);
        SharedState state;
        ReadSiteSettings(dir / kSiteFile, state);
        EXPECT_EQ(SiteFields(state), c.settings) << c.line;
        state.storedZoneOffset = state.zoneOffset;
        WriteSiteSettings(dir / kSiteFile, state);
        EXPECT_EQ(Bytes(dir / kSiteFile), c.written ? c.written : c.line);
    }
}

// ---------------------------------------------------------------- seg.dat

// Each text shifted down by 7 and quoted; blanks become control codes.
TEST_F(FilesTest, DisplaySettingsRoundTrip) {
    struct Case { std::array<std::string, 9> plain; const char* bytes; };
    const Case cases[] = {
        {{" 1", "-1", " 7", " 7", " 0", " 1", " 0", "*", "°"},
         "\"\x19*\",\"&*\",\"\x19" "0\",\"\x19" "0\",\"\x19)\",\"\x19*\",\"\x19)\",\"#\",\"\xA9\"\r\n"},
        {{" 0", " 0", " 0", " 0", " 0", " 0", " 0", "", ""}, nullptr},
        {{"", "x y", "€", "\x08", "\t", "  ", "~", "ÿ", "Œ"}, nullptr},
    };
    for (const Case& c : cases) {
        WriteDisplaySettings(dir / kDisplayFile, c.plain);
        if (c.bytes) {
            EXPECT_EQ(Bytes(dir / kDisplayFile), c.bytes);
        }
        EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile), c.plain);
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
    const Case cases[] = {{{2, 4, 0, 9, 4, 0}, "2,4,0,9,4,0\r\n"}, {{0, 0, 0, 0, 0, 0}, "0,0,0,0,0,0\r\n"},
                          {{11, 4, 6, 11, 4, 6}, "11,4,6,11,4,6\r\n"}};
    for (const Case& c : cases) {
        WriteParleg(dir / kRuleFile, c.rule);
        EXPECT_EQ(Bytes(dir / kRuleFile), c.bytes);
        EXPECT_EQ(ReadParleg(dir / kRuleFile), c.rule);
    }
    EXPECT_EQ(ReadParleg(kDataDir / kRuleFile), (DstRule{2, 4, 0, 9, 4, 0}));
    // What reads as a rule besides the rule's own writing: an empty field is
    // 0, a whole number may have decimals, and an editor's byte-order mark is skipped.
    struct Read { const char* bytes; DstRule rule; };
    const Read reads[] = {{"2,,0,9,4,0\r\n", {2, 0, 0, 9, 4, 0}},
                          {" +2 ,4.0,0,9,4,0", {2, 4, 0, 9, 4, 0}},
                          {"\xEF\xBB\xBF" "2,4,0,9,4,0\r\n", {2, 4, 0, 9, 4, 0}}};
    for (const Read& r : reads) {
        Put(dir / kRuleFile, r.bytes);
        EXPECT_EQ(ReadParleg(dir / kRuleFile), r.rule) << r.bytes;
    }
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

// ---------------------------------------------------------------- Damaged files

// Reads a required file by its name, as start-up does.
void ReadRequired(const fs::path& file) {
    SharedState state;
    if (file.filename() == kZoneFile) ReadZoneTable(file);
    else if (file.filename() == kSiteFile) ReadSiteSettings(file, state);
    else ReadParleg(file);
}

TEST_F(FilesTest, DamagedRequiredFilesNameTheFileAndThePlace) {
    WriteZoneTable(dir / kZoneFile, SampleTable());
    const std::string table = Bytes(dir / kZoneFile);
    auto firstLines = [&](int n) {
        std::size_t p = 0;
        for (int i = 0; i < n; ++i) p = table.find("\r\n", p) + 2;
        return table.substr(0, p);
    };
    // Byte 250 in the offset of record 12: it cannot be unscrambled.
    const ZoneRow row12 = SampleTable()[11];
    std::string badByte = table;
    badByte.insert(firstLines(11).size() + 7 + row12.name.size() + row12.zoneClass.size(), "\xFA");
    struct Case { const char* file; std::optional<std::string> content; const char* message; };
    const Case cases[] = {
        {kZoneFile, std::nullopt, "file mancante"},
        {kZoneFile, "", "record 1 mancante"},
        {kZoneFile, firstLines(53), "record 54 mancante"},
        {kZoneFile, firstLines(10) + "\"x\",", "record 11 incompleto"},
        {kZoneFile, badByte, "record 12, campo 3"},
        {kSiteFile, std::nullopt, "file mancante"},
        {kSiteFile, "", "campo 1 mancante"},
        {kSiteFile, "45,30,9,10,-1,,1,,,0,,0,,,1,0,0\r\n", "campo 18 mancante"},
        {kRuleFile, std::nullopt, "file mancante"},
        {kRuleFile, "2,4,0,9,4\r\n", "campo 6 mancante"},
        {kRuleFile, "2,x,0,9,4,0\r\n", "campo 2: non è un numero"},
        {kRuleFile, "2,4x,0,9,4,0\r\n", "campo 2: non è un numero"},
        {kRuleFile, "2.5,4,0,9,4,0\r\n", "campo 1: numero intero non valido"},
        {kRuleFile, "-1,4,0,9,4,0\r\n", "campo 1 fuori intervallo"},
        {kRuleFile, "2,5,0,9,4,0\r\n", "campo 2 fuori intervallo"},
        {kRuleFile, "2,4,7,9,4,0\r\n", "campo 3 fuori intervallo"},
        {kRuleFile, "2,4,0,12,4,0\r\n", "campo 4 fuori intervallo"},
        {kRuleFile, "2,4,0,9,4," + kHugeDigits + "\r\n", "campo 6 fuori intervallo"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / c.file);
        if (c.content) Put(dir / c.file, *c.content);
        const FileError e = Failure([&] { ReadRequired(dir / c.file); });
        EXPECT_EQ(e.file, c.file);
        EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.file << ": " << e.what();
    }
}

// ---------------------------------------------------------------- Odd files

// Reads any settings file by its name as the program does; a short account
// of what was read, for comparing two reads.
std::string ReadSettings(const fs::path& file) {
    const std::string name = file.filename().string();
    std::string out;
    if (name == kZoneFile) {
        for (const ZoneRow& row : ReadZoneTable(file)) out += row.name + "," + row.zoneClass + "," + row.offset + ";";
    } else if (name == kSiteFile) {
        SharedState state;
        ReadSiteSettings(file, state);
        for (double v : SiteFields(state)) out += std::to_string(v) + ",";
    } else if (name == kRuleFile) {
        const DstRule r = ReadParleg(file);
        for (int v : {r.monthA, r.weekA, r.weekdayA, r.monthB, r.weekB, r.weekdayB}) out += std::to_string(v) + ",";
    } else if (name == kDisplayFile) {
        const auto plain = ReadDisplaySettings(file);
        if (!plain) return "<absent>";
        for (const std::string& f : *plain) out += f + ",";
    } else {
        for (const std::string& m : ReadLargeMarkers(file)) out += m + ",";
    }
    return out;
}

constexpr const char* kSettingsFiles[] = {kZoneFile, kSiteFile, kRuleFile, kDisplayFile, kMarkerFile};

// Required or optional, a file that is there but is no settings file is
// refused at once, naming it: nothing blocks on a FIFO, nothing reads a
// device or a file of megabytes.
TEST_F(FilesTest, EveryReaderRefusesWhatIsNoSettingsFile) {
    struct Kind { const char* what; std::function<void(const fs::path&)> make; const char* message; };
    const Kind kinds[] = {
        {"directory", [](const fs::path& p) { fs::create_directory(p); }, "non è un file regolare"},
        {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "non è un file regolare"},
        {"device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "non è un file regolare"},
        {"64 KiB and a byte", [](const fs::path& p) { Put(p, std::string(64 * 1024 + 1, ' ')); }, "file troppo grande"},
    };
    for (const char* file : kSettingsFiles) {
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(std::string(file) + " as a " + kind.what);
            kind.make(dir / file);
            const FileError e = Failure([&] { ReadSettings(dir / file); });
            EXPECT_EQ(e.file, file);
            EXPECT_STREQ(e.what(), kind.message);
            fs::remove_all(dir / file);
        }
    }
    // 64 KiB itself is still read: blanks only, so every field is empty.
    Put(dir / kMarkerFile, std::string(64 * 1024, ' '));
    EXPECT_EQ(ReadSettings(dir / kMarkerFile), ",,,,,");
}

// A byte-order mark that an editor put before the first field changes nothing.
TEST_F(FilesTest, ALeadingByteOrderMarkIsSkippedInEveryFile) {
    WriteZoneTable(dir / kZoneFile, SampleTable());
    WriteDisplaySettings(dir / kDisplayFile, {" 1", "-1", " 7", " 7", " 0", " 1", " 0", "*", "°"});
    fs::copy_file(kDataDir / kSiteFile, dir / kSiteFile);
    fs::copy_file(kDataDir / kRuleFile, dir / kRuleFile);
    fs::copy_file(kDataDir / kMarkerFile, dir / kMarkerFile);
    for (const char* file : kSettingsFiles) {
        const std::string plain = ReadSettings(dir / file);
        Put(dir / file, "\xEF\xBB\xBF" + Bytes(dir / file));
        EXPECT_EQ(ReadSettings(dir / file), plain) << file;
    }
}

// A zero byte would end the text of a field early in many readers ("4\0" "1"
// read as 4): every file refuses it, naming the field it lies in.
TEST_F(FilesTest, AZeroByteIsRefusedNamingItsField) {
    WriteZoneTable(dir / "table", SampleTable());
    std::string table = Bytes(dir / "table");
    table.insert(table.find("\r\n", table.find("\r\n") + 2) + 3, std::string(1, '\0'));   // in record 3's name
    const std::string nul(1, '\0');
    struct Case { const char* file; std::string content; const char* message; };
    const Case cases[] = {
        {kSiteFile, "4" + nul + "1,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n", "campo 1: carattere nullo"},
        {kSiteFile, "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n" + nul, "campo 18: carattere nullo"},
        {kRuleFile, "2,4,0,9,4" + nul + ",0\r\n", "campo 5: carattere nullo"},
        {kDisplayFile, "\"\x19*\",\"" + nul + "\"\r\n", "campo 2: carattere nullo"},
        {kMarkerFile, "\"*\"," + nul + "\r\n", "campo 2: carattere nullo"},
        {kZoneFile, table, "record 3, campo 1: carattere nullo"},
    };
    for (const Case& c : cases) {
        Put(dir / c.file, c.content);
        const FileError e = Failure([&] { ReadSettings(dir / c.file); });
        EXPECT_EQ(e.file, c.file);
        EXPECT_STREQ(e.what(), c.message);
        fs::remove(dir / c.file);
    }
}

// Every field of lxp2.par that holds a number, with each text in its place:
// a number is read, anything else is refused naming the field. The spare
// fields of any kind keep whatever they hold.
TEST_F(FilesTest, SiteSettingsRefuseATextWhereANumberBelongs) {
    struct Text { const char* text; bool number; };
    const Text texts[] = {
        {"41", true}, {" 41", true}, {"+41", true}, {"-0.5", true}, {".5", true}, {"41.", true}, {"", true},
        {"\"41\"", true},   // quotes around a number leave it the same number
        {"\" \"", true}, {"\" -4 \"", true},   // blanks alone are an empty field
        {"4x", false}, {"x41", false}, {"1e3", false}, {"- 1", false}, {"+", false}, {".", false},
        {"1.2.3", false}, {"4 1", false}, {"\"\"x", true},   // after a quoted field the rest is dropped
        {"30 min", false}, {"\"4 1\"", false},
    };
    constexpr std::size_t kSpareAny[] = {6, 8, 9, 11, 13, 14};
    const std::vector<std::string> good = {"41", "54", "-12", "-29", "-1", "", "1", "", "", "0",
                                           "", "0", "", "", "1", "0", "0", "1"};
    for (std::size_t n = 1; n <= good.size(); ++n) {
        const bool spare = std::find(std::begin(kSpareAny), std::end(kSpareAny), n) != std::end(kSpareAny);
        for (const Text& t : texts) {
            std::vector<std::string> fields = good;
            fields[n - 1] = t.text;
            std::string line = fields[0];
            for (std::size_t i = 1; i < fields.size(); ++i) line += "," + fields[i];
            Put(dir / kSiteFile, line + "\r\n");
            SharedState state;
            if (spare || t.number) {
                EXPECT_NO_THROW(ReadSiteSettings(dir / kSiteFile, state)) << "field " << n << ": " << t.text;
                continue;
            }
            const FileError e = Failure([&] { ReadSiteSettings(dir / kSiteFile, state); });
            EXPECT_EQ(std::string(e.what()), "campo " + std::to_string(n) + ": non è un numero") << t.text;
        }
    }
}

// seg.dat keeps its own rule: a field that is not a number text reads as
// 0 at start-up, so the files layer hands such texts on as they are.
TEST_F(FilesTest, DisplaySettingsKeepTextsThatAreNoNumbers) {
    const std::array<std::string, 9> plain{"x", " 4x", "", "--1", " 7", " 1", "1e3", "*", "°"};
    WriteDisplaySettings(dir / kDisplayFile, plain);
    EXPECT_EQ(ReadDisplaySettings(dir / kDisplayFile), plain);
}

// What the next start would refuse is never written: the old file stays.
TEST_F(FilesTest, UnstorableValuesWriteNothing) {
    ZoneTable table = SampleTable();
    table[4].offset = "+1)";   // ')' would be stored as a quote
    struct Case { const char* file; std::function<void(const fs::path&)> write; const char* message; };
    const Case cases[] = {
        {kZoneFile, [&](const fs::path& p) { WriteZoneTable(p, table); }, "record 5, campo 3"},
        {kRuleFile, [](const fs::path& p) { WriteParleg(p, {2, 4, 0, 9, 4, 7}); }, "campo 6 fuori intervallo"},
    };
    for (const Case& c : cases) {
        Put(dir / c.file, "old");
        const FileError e = Failure([&] { c.write(dir / c.file); });
        EXPECT_EQ(e.file, c.file);
        EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        EXPECT_EQ(Bytes(dir / c.file), "old");
        EXPECT_EQ(Entries(), std::set<std::string>{c.file});
        fs::remove(dir / c.file);
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
