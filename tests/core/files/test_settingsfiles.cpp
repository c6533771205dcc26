// The settings files: each reader's result or its error naming file and place, the writers' bytes, failures.

#include "core/files.h"
#include "../testsupport.h"

#include <set>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>

namespace vemar {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = VEMAR_DATA_DIR;
constexpr const char* kSettingsFiles[] = {kZoneFile, kSiteFile, kRuleFile, kDisplayFile, kMarkerFile, kCityZonesFile};

// A settings file as the program reads it, as one text ("41,54,-12,..."), or its error ("fusi.dat: record 1 mancante").
std::string ReadSettings(const fs::path& file) {
    const std::string name = file.filename().string();
    std::ostringstream out;
    auto put = [&](const auto&... values) { ((out << values << ","), ...); };
    try {
        if (name == kZoneFile) for (const ZoneRow& r : ReadZoneTable(file)) put(r.name, r.zoneClass, r.offset);
        if (name == kSiteFile) {
            const SiteSettings s = ReadSiteSettings(file);
            put(s.latDegrees, s.latMinutes, s.lonDegrees, s.lonMinutes, s.zoneOffset.count(), s.inDstWindow, int(s.hemisphere),
                s.outsideDstWindow, s.halfHour.count(), s.autoDst);
        }
        if (name == kRuleFile) { const DstRule r = ReadParleg(file); put(r.monthA, r.weekA, r.weekdayA, r.monthB, r.weekB, r.weekdayB); }
        if (name == kDisplayFile) if (const auto d = ReadDisplaySettings(file)) put(d->signalOn, d->signalToggle, d->screenColour,
            d->timesColour, d->citiesColour, d->coloursChanged, d->spareValue, d->dateSymbol1, d->dateSymbol2);
        if (name == kMarkerFile) for (const auto& marker : ReadLargeMarkers(file)) put(marker);
        if (name == kCityZonesFile)
            if (const auto zones = ReadCityZones(file)) for (const auto& [city, entry] : zones->entries) put(city, entry.zone);
    } catch (const FileError& e) {
        return e.file + ": " + e.what();
    }
    return out.str();
}

ZoneTable SampleTable() {
    ZoneTable table;
    for (int i = 0; i < kZoneRows; ++i) table[i] = {"Zona " + std::to_string(i), std::to_string(i % 4), std::to_string(i % 25 - 12)};
    table[0] = {"Roma", "1", "+1"};
    table[1] = {"", "0", ""};                    // both empty forms
    table[2] = {"@[\\]^_`az Z", "", "0"};        // edges of the admitted codes
    table[3] = {"Abcdefghijklm", "9", "-12"};    // 13 letters, a class outside 0..3
    return table;
}

class FilesTest : public ::testing::Test {
protected:
    void TearDown() override { SetWriteFaultForTesting(nullptr); }
    std::set<std::string> Entries() const {   // the names in the directory
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename().string());
        return names;
    }
    // The error of a write that must fail.
    template <typename F> std::string Failure(F&& write) {
        try { write(); } catch (const FileError& e) { return e.file + ": " + e.what(); }
        return "no FileError";
    }
    test::WorkDir dir{false};
};

// Each content (nullopt: no file) as read, or its error; lxp2.par as written back (nullptr: the same).
TEST_F(FilesTest, EachFileAsReadOrItsError) {
    ZoneTable marked = SampleTable();
    marked[2].name = "}}}", marked[11].offset = "~~";   // stored as "vvv" and "ww"
    WriteZoneTable(dir / kZoneFile, marked);
    const std::string table = dir.read(kZoneFile), nul(1, '\0'), site = "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,1\r\n";
    auto firstLines = [&](int n) { std::size_t p = 0; while (n--) p = table.find("\r\n", p) + 2; return table.substr(0, p); };
    auto replaced = [&](const std::string& a, const std::string& b) { return std::string(table).replace(table.find(a), a.size(), b); };
    struct Case { const char* file; std::optional<std::string> content; std::string read; const char* rewritten = nullptr; };
    const Case cases[] = {
        {kSiteFile, "-41.5,-54,12,29,3,\"spare\",0,abc,7.25,2,\"\",-4,x y,,2,1,30,0\r\n", "-41.5,-54,12,29,-3,0,2,1,30,0,"},
        // A bare spare field runs to the next comma, quotes and all, and must save again.
        {kSiteFile, "1,2,3,4,-1,a\"b,1,,,0,,0,,,1,0,0,1\r\n", "1,2,3,4,1,1,1,0,0,1,"},
        // Integers: the nearest, 2.5 the even one, 16 bits; empty is 0, quoted is the number; a spare one goes back so.
        {kSiteFile, "\" 1 \",2,3,4,,, +1 ,,,\"7\",,,,,,2.5,30,1.0\r\n", "1,2,3,4,0,1,0,2,30,1,", "1,2,3,4,0,,1,,,7,,0,,,0,2,30,1\r\n"},
        {kSiteFile, "1,2,3,4,-99999,,1,,,0,,0,,,1,0,0,1\r\n", "1,2,3,4,32768,1,1,0,0,1,", "1,2,3,4,-32768,,1,,,0,,0,,,1,0,0,1\r\n"},
        {kRuleFile, " +2 ,,0,9.0,4,0", "2,0,0,9,4,0,"},   // an empty field is 0, a whole number may have decimals
        // Missing fields and a byte that cannot be unscrambled read as empty, 0 as numbers; 2.5 is 3; no seg.dat is none.
        {kDisplayFile, "\"\x19*\",\"\xFA\",\"+'.\",,,,\"\x19+\"\r\n", "1,0,3,0,0,0,2,,,"}, {kDisplayFile, std::nullopt, ""},
        {kMarkerFile, "\"\xB0\"\n#\n\"\x80\",+,\"a\",\"b\"", "°,#,€,+,a,"},   // bare entries, one a line
        {kZoneFile, std::nullopt, "fusi.dat: file mancante"}, {kSiteFile, std::nullopt, "lxp2.par: file mancante"},
        {kRuleFile, std::nullopt, "Parleg.dat: file mancante"}, {kZoneFile, "", "fusi.dat: record 1 mancante"},
        {kZoneFile, firstLines(53), "fusi.dat: record 54 mancante"},
        {kZoneFile, firstLines(10) + "\"x\",", "fusi.dat: record 11 incompleto"},
        {kZoneFile, replaced("ww", "w\xFA"), "fusi.dat: record 12, campo 3: carattere non valido"},
        {kSiteFile, "", "lxp2.par: campo 1 mancante"}, {kSiteFile, "45,30,9,10,-1,,1,,,0,,0,,,1,0,0\r\n", "lxp2.par: campo 18 mancante"},
        // A number field holds nothing but a number: read leniently, "4x" would be 4.
        {kSiteFile, "41,54,-12,4x,-1,,1,,,0,,0,,,1,0,0,1\r\n", "lxp2.par: campo 4: non è un numero"},
        {kSiteFile, "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,\"4 1\",1\r\n", "lxp2.par: campo 17: non è un numero"},
        {kRuleFile, "2,4,0,9,4\r\n", "Parleg.dat: campo 6 mancante"},
        {kRuleFile, "2,4x,0,9,4,0\r\n", "Parleg.dat: campo 2: non è un numero"},
        {kRuleFile, "2.5,4,0,9,4,0\r\n", "Parleg.dat: campo 1: numero intero non valido"},
        {kRuleFile, "2,4,0,12,4,0\r\n", "Parleg.dat: campo 4 fuori intervallo"},   // every range: the fuzzer
        {kRuleFile, "2,4,0,9,5,0\r\n", "Parleg.dat: campo 5 fuori intervallo"},
        {kRuleFile, "2,4,0,9,4," + std::string(400, '9') + "\r\n", "Parleg.dat: campo 6 fuori intervallo"},
        // A zero byte would end a field early in many readers ("4\0" "1" read as 4): every file refuses it.
        {kSiteFile, "4" + nul + site.substr(1), "lxp2.par: campo 1: carattere nullo"},
        {kSiteFile, site + nul, "lxp2.par: campo 18: carattere nullo"},
        {kRuleFile, "2,4,0,9,4" + nul + ",0\r\n", "Parleg.dat: campo 5: carattere nullo"},
        {kDisplayFile, "\"\x19*\",\"" + nul + "\"\r\n", "seg.dat: campo 2: carattere nullo"},
        {kMarkerFile, "\"*\"," + nul + "\r\n", "car.tip: campo 2: carattere nullo"},
        {kZoneFile, replaced("vvv", "v" + nul + "v"), "fusi.dat: record 3, campo 1: carattere nullo"},
    };
    for (const Case& c : cases) {
        fs::remove(dir / c.file);
        if (c.content) dir.write(c.file, *c.content);
        EXPECT_EQ(ReadSettings(dir / c.file), c.read) << c.content.value_or("no file");
        if (c.file == std::string(kSiteFile) && c.read.find(':') == std::string::npos) {
            WriteSiteSettings(dir / kSiteFile, ReadSiteSettings(dir / kSiteFile));
            EXPECT_EQ(dir.read(kSiteFile), c.rewritten ? c.rewritten : *c.content);
        }
    }
}

// Not a settings file: refused, nothing blocks on a FIFO, reads a device or megabytes; a byte-order mark skipped.
TEST_F(FilesTest, EveryReaderRefusesWhatIsNoSettingsFileAndSkipsAByteOrderMark) {
    struct Kind { const char* what; std::function<void(const fs::path&)> make; const char* message; };
    const Kind kinds[] = {
        {"directory", [](const fs::path& p) { fs::create_directory(p); }, "non è un file regolare"},
        {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "non è un file regolare"},
        {"device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "non è un file regolare"},
        {"64 KiB and a byte", [](const fs::path& p) { std::ofstream(p) << std::string(64 * 1024 + 1, ' '); }, "file troppo grande"},
    };
    for (const char* file : kSettingsFiles) for (const Kind& kind : kinds) {
        kind.make(dir / file);
        EXPECT_EQ(ReadSettings(dir / file), file + std::string(": ") + kind.message) << kind.what;
        fs::remove_all(dir / file);
    }
    dir.write(kMarkerFile, std::string(64 * 1024, ' '));   // 64 KiB itself is still read
    EXPECT_EQ(ReadSettings(dir / kMarkerFile), ",,,,,");
    for (const char* file : kSettingsFiles) {
        if (fs::exists(kDataDir / file)) fs::copy_file(kDataDir / file, dir / file, fs::copy_options::overwrite_existing);
        else WriteDisplaySettings(dir / file, {1, -1, 7, 7, 0, 1, 0, "*", "°"});   // not shipped
        const std::string plain = ReadSettings(dir / file);
        dir.write(file, "\xEF\xBB\xBF" + dir.read(file));
        EXPECT_EQ(ReadSettings(dir / file), plain) << file;
    }
}

// Exact bytes (fusi.dat via fusi.tmp, seg.dat shifted by 7); nothing unreadable written; failures keep the old file.
TEST_F(FilesTest, WritersLeaveTheExactBytesOrTheOldFile) {
    dir.write(kZoneFile, "old"), StageZoneTable(dir.path(), SampleTable()), CommitStagedTable(dir.path());
    EXPECT_EQ(std::pair(Entries(), ReadZoneTable(dir / kZoneFile)), std::pair(std::set<std::string>{kZoneFile}, SampleTable()));
    EXPECT_EQ(Failure([&] { CommitStagedTable(dir.path()); }), "fusi.dat: copia provvisoria fusi.tmp mancante");
    WriteZoneTable(dir / kZoneFile, ReadZoneTable(kDataDir / kZoneFile));
    EXPECT_EQ(dir.read(kZoneFile), ReadFileBytes(kDataDir / kZoneFile));
    WriteDisplaySettings(dir / kDisplayFile, {1, -1, 7, 7, 0, 1, 5, "*", "°"});
    EXPECT_EQ(dir.read(kDisplayFile), "\"\x19*\",\"&*\",\"\x19" "0\",\"\x19" "0\",\"\x19)\",\"\x19*\",\"\x19.\",\"#\",\"\xA9\"\r\n");
    ZoneTable unstorable = SampleTable(); unstorable[4].offset = "+1)";   // ')' would be stored as a quote
    struct Case { const char* file; std::function<void(const fs::path&)> write; const char* error; };
    const Case cases[] = {
        {kZoneFile, [&](const fs::path& p) { WriteZoneTable(p, unstorable); }, "fusi.dat: record 5, campo 3"},
        {kRuleFile, [](const fs::path& p) { WriteParleg(p, {2, 4, 0, 9, 4, 7}); }, "Parleg.dat: campo 6 fuori intervallo"},
        {kSiteFile, [](const fs::path& p) { WriteSiteSettings(p, {}); }, "lxp2.par: scrittura non riuscita: spazio esaurito sul disco"},
        {kSiteFile, [](const fs::path& p) { SiteSettings s; s.record[5] = TextField("\""); WriteSiteSettings(p, s); },
         "lxp2.par: campo 6 non scrivibile"},
    };
    fs::remove(dir / kDisplayFile);
    SetWriteFaultForTesting([](const fs::path& p) { return p.filename() == kSiteFile; });
    const auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto open = descriptors();
    for (const Case& c : cases) {
        dir.write(c.file, "old");
        EXPECT_EQ(Failure([&] { c.write(dir / c.file); }).rfind(c.error, 0), 0u) << c.error;
        EXPECT_EQ(std::pair(dir.read(c.file), Entries()), std::pair(std::string("old"), std::set<std::string>{c.file}));
        fs::remove(dir / c.file);
    }
    EXPECT_EQ(descriptors(), open) << "a failed write leaves its temporary file open";
    SetWriteFaultForTesting(nullptr);
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    dir.write(kSiteFile, "old"), fs::permissions(dir / kSiteFile, mode);
    if (::fcntl(0, F_GETFD) == -1) { ASSERT_EQ(::open("/dev/null", O_RDONLY), 0); }   // run without one
    WriteFileAtomic(dir / kSiteFile, "new");
    EXPECT_EQ(std::pair(dir.read(kSiteFile), fs::status(dir / kSiteFile).permissions()), std::pair(std::string("new"), mode));
    EXPECT_NE(::fcntl(0, F_GETFD), -1) << "the standard input closed with the file";
    EXPECT_EQ(Entries(), std::set<std::string>{kSiteFile});
}

}  // namespace
}  // namespace vemar
