// The first start: the settings folder and what cannot be one, a zone's place, what it seeds in lxp2.par, Parleg.dat.

#include "core/firststart.h"
#include "core/settingsfolder.h"
#include "core/texts.h"
#include "testsupport.h"

namespace vemar {
namespace {

namespace fs = std::filesystem;
using test::ScopedZone;
using test::WorkDir;

const fs::path kZoneinfo = "/usr/share/zoneinfo";
const DstRule kShippedRule{2, 4, 0, 9, 4, 0};

std::time_t Noon(int year, int month, int day) { return test::UtcSeconds(year, month, day, 12); }

// A folder's entries by name, with a file's bytes ("" for a folder).
std::map<std::string, std::string> Contents(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = ReadFileBytes(e.path()).value_or("");
    return files;
}

// An ISO 6709 text of zone1970.tab; a zone's place by its name, a link found as its zone's file.
TEST(FirstStart, ZoneCoordinates) {
    struct Case { const char* text; std::optional<Coordinates> expected = std::nullopt; };
    const Case texts[] = {
        {"+4154+01229", Coordinates{41, 54, -12, -29}},       // Rome: east is negative
        {"+404251-0740023", Coordinates{40, 43, 74, 0}},     // New York: seconds rounded
        {"-3352+15113", Coordinates{-33, -52, -151, -13}},   // Sydney: south is negative
        {"-0013-07830", Coordinates{0, -13, 78, 30}},        // Quito: minutes carry the side
        {"+4154+0122"}, {"4154+01229"}, {"+4199+01229"}, {"+a154+01229"}, {""},
    };
    for (const Case& c : texts) EXPECT_EQ(ParseIsoCoordinates(c.text), c.expected) << c.text;
    for (const Case& c : {Case{"Asia/Calcutta", Coordinates{22, 32, -88, -22}}, {"Etc/UTC"}, {"Nowhere/Town"}, {""}})
        EXPECT_EQ(ZoneCoordinates(kZoneinfo, c.text), c.expected) << c.text;
    WorkDir tab(false);
    tab.write("zone1970.tab", "IT\t+4154+01229\t Europe/Rome \r\n");   // blanks around a name edited by hand
    EXPECT_EQ(ZoneCoordinates(tab.path(), "Europe/Rome"), (Coordinates{41, 54, -12, -29}));
}

// Seeded on 15 Jan 2026: place; hours behind UT, half hour (quarter to the nearer, 12 at most); south summer; own rule.
TEST(FirstStart, SeedsFromTheSystemZone) {
    struct Case { const char* zone; std::string site; std::optional<DstRule> ownRule; };
    const Case cases[] = {
        {"Europe/Rome", "41,54,-12,-29,-1,\"x\",0,,,7,,0,,,1,1,0,1", DstRule{2, 4, 0, 9, 4, 0}},
        {"Australia/Sydney", "-33,-52,-151,-13,-10,\"x\",1,,,7,,0,,,2,0,0,1", DstRule{3, 0, 0, 9, 0, 0}},   // first Sundays
        {"America/St_Johns", "47,34,52,43,4,\"x\",0,,,7,,0,,,1,1,30,1", std::nullopt},   // -3:30; second Sunday of March: no week fits
        {"Europe/London", "51,31,0,8,0,\"x\",0,,,7,,0,,,1,1,0,1", DstRule{2, 4, 0, 9, 4, 0}},
        {"Pacific/Auckland", "-36,-52,-174,-46,-12,\"x\",1,,,7,,0,,,2,0,0,1", DstRule{3, 0, 0, 8, 4, 0}},   // last Sunday of September
        {"Pacific/Marquesas", "-9,0,139,30,10,\"x\",0,,,7,,0,,,2,1,30,0", std::nullopt},   // -9:30
        {"Asia/Kathmandu", "27,43,-85,-19,-6,\"x\",0,,,7,,0,,,1,1,0,0", std::nullopt},     // +5:45
        {"Pacific/Kiritimati", "1,52,157,20,-12,\"x\",0,,,7,,0,,,1,1,0,0", std::nullopt},  // +14
        {"Etc/GMT+12", "41,54,-12,-29,12,\"x\",0,,,7,,0,,,1,1,0,0", std::nullopt},         // no place: the shipped one stays
        // A zone the C library reads from TZ itself has no place: summer in January makes it southern.
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", "41,54,-12,-29,-10,\"x\",1,,,7,,0,,,2,0,0,1", DstRule{3, 0, 0, 9, 0, 0}},
    };
    WorkDir dir(false);
    dir.write(kSiteFile, "41,54,-12,-29,-1,\"x\",1,,,7,,0,,,1,0,0,1\r\n");   // spare fields kept
    for (const Case& c : cases) {
        ScopedZone zone(c.zone);
        const SeededSettings s = SeedSettings(MeasureLocalZone(Noon(2026, 1, 15)), ZoneCoordinates(kZoneinfo, c.zone),
                                              ReadSiteSettings(dir / kSiteFile), kShippedRule);
        WriteSiteSettings(dir / "seeded", s.site);
        EXPECT_EQ(dir.read("seeded"), c.site + "\r\n") << c.zone;
        EXPECT_EQ(std::pair(s.ownRule, s.rule), std::pair(c.ownRule.has_value(), c.ownRule.value_or(kShippedRule))) << c.zone;
    }
    // 1 January and 1 July are measured: Casablanca's summer hour of 2013 paused from 7 July to 10 August.
    ScopedZone zone("Africa/Casablanca");
    const ZoneFacts facts = MeasureLocalZone(Noon(2013, 3, 1), 1);
    EXPECT_EQ(std::pair(facts.januaryOffsetSeconds, facts.julyOffsetSeconds), std::pair(0, 3600));
}

// --dir (bytes as given), else an absolute XDG_CONFIG_HOME, HOME, the password database's; never the current folder.
TEST(SettingsFolder, ChosenFromArgumentsOrEnvironment) {
    struct Case { std::vector<std::string> args; const char *xdg, *home, *passwd; std::string folder, error = ""; };
    const std::string noHome(texts::kNoHome), usage = " (uso: vemar [--dir CARTELLA])";
    const Case cases[] = {
        {{}, "/x/conf", "/home/u", "/p", "/x/conf/vemar"}, {{}, nullptr, "/home/u", "/p", "/home/u/.config/vemar"},
        {{}, "", "/home/u", "/p", "/home/u/.config/vemar"}, {{}, nullptr, "", "", "", noHome},
        {{}, "relative/conf", "/home/u", "/p", "/home/u/.config/vemar"},   // the base-directory rules ignore it
        {{}, nullptr, nullptr, "/p", "/p/.config/vemar"}, {{}, nullptr, "relative", "/p", "/p/.config/vemar"},
        {{"--dir", "/d/caf\xE9"}, "/x", "/home/u", "/p", "/d/caf\xE9"},
        {{"--dir", "rel"}, nullptr, nullptr, "", (fs::current_path() / "rel").string()},
        {{"--dir"}, "/x", "/h", "/p", "", "argomento sconosciuto: --dir" + usage},
        {{"--help"}, "/x", "/h", "/p", "", "argomento sconosciuto: --help" + usage},
    };
    for (const Case& c : cases) {
        const FolderChoice choice = ChooseSettingsFolder(c.args, c.xdg, c.home, c.passwd);
        EXPECT_EQ(std::pair(choice.error, choice.error.empty() ? choice.folder.string() : ""), std::pair(c.error, c.folder))
            << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-") << " " << c.passwd;
    }
}

// A folder that cannot be one is refused, saying why, nothing made on the way; a name not UTF-8 made under its bytes.
TEST(SettingsFolder, AFolderThatCannotBeUsedIsRefused) {
    WorkDir base(false);
    base.write("file", "x");
    std::string deep;
    for (int i = 0; i < 20; ++i) deep += "/" + std::string(250, 'd');
    const std::pair<fs::path, std::string> cases[] = {
        {base / "file", "non è una cartella"}, {base / "file/vemar", "non è una cartella"},   // --dir, XDG_CONFIG_HOME
        {base / "above" / std::string(256, 'n'), "nome troppo lungo"}, {base.path().string() + deep, "nome troppo lungo"},
        {base / "caf\xE9/vemar", ""},
    };
    for (const auto& [folder, why] : cases) {
        EXPECT_EQ(MakeSettingsFolder(folder), why) << folder.string().substr(0, 80);
        std::error_code ec;
        EXPECT_EQ(fs::is_directory(folder, ec), why.empty());
    }
    EXPECT_EQ(Contents(base.path()), (std::map<std::string, std::string>{{"caf\xE9", ""}, {"file", "x"}}));
    // Started with its standard input closed, the program may be given descriptor 0 for the folder.
    const int input = ::dup(0); ::close(0);
    EXPECT_EQ(MakeSettingsFolder(base / "closed input"), "");
    ::dup2(input, 0), ::close(input);
}

// Data copied, lxp2.par seeded once; a user's settings survive, no fusi.tz stays table mode; the data never written.
TEST(FirstStart, PrepareSeedsOnceAndNeverWritesTheData) {
    ScopedZone zone("Asia/Kolkata");
    WorkDir home(false);
    const fs::path settings = home / "conf/vemar";
    const auto data = Contents(VEMAR_DATA_DIR);
    EXPECT_TRUE(PrepareSettingsDir(settings, VEMAR_DATA_DIR, kZoneinfo, Noon(2026, 7, 15)).empty());
    std::map<std::string, std::string> expected;   // the sound is played from the data folder
    for (const char* name : {"fusi.dat", "fusi.tz", "car.tip", "Parleg.dat"}) expected[name] = data.at(name);
    expected["lxp2.par"] = "22,32,-88,-22,-5,,0,,,0,,0,,,1,1,30,0\r\n";
    expected["casa.tz"] = "Asia/Kolkata\n";   // the home follows the machine's zone by its name
    expected["seg.dat"] = "\"\x19)\",\"\x19)\",\"\x19)\",\"\x19)\",\"\x19)\",\"\x19)\",\"\x19)\",\"#\",\"\xA9\"\r\n";   // markers "*" and "°"
    EXPECT_EQ(Contents(settings), expected);
    home.write("conf/vemar/lxp2.par", expected["lxp2.par"] = "1,2,3,4,5,,0,,,0,,0,,,1,1,0,0\r\n");
    fs::remove(settings / "Parleg.dat"), fs::remove(settings / "fusi.tz"), expected.erase("fusi.tz");
    EXPECT_TRUE(PrepareSettingsDir(settings, VEMAR_DATA_DIR, kZoneinfo, Noon(2026, 7, 15)).empty());
    EXPECT_EQ(Contents(settings), expected);
    EXPECT_EQ(Contents(VEMAR_DATA_DIR), data);
}

// A folder not made is reported, not thrown; without data lxp2.par and a rule still come, placeless zones at Roma.
TEST(FirstStart, PrepareNeverThrows) {
    WorkDir home(false);
    home.write("file", "not a folder");
    EXPECT_FALSE(PrepareSettingsDir(home / "file/vemar", VEMAR_DATA_DIR, kZoneinfo, Noon(2026, 1, 1)).empty());
    ScopedZone zone("Etc/GMT-1");
    EXPECT_EQ(PrepareSettingsDir(home / "v", home / "no-data", kZoneinfo, Noon(2026, 1, 1)),
              std::vector<std::string>{"no coordinates for the zone 'Etc/GMT-1': the shipped place is kept"});
    EXPECT_EQ(Contents(home / "v"), (std::map<std::string, std::string>{{"lxp2.par", "41,54,-12,-29,-1,,0,,,0,,0,,,1,1,0,0\r\n"},
                                                                       {"Parleg.dat", "2,4,0,9,4,0\r\n"},
                                                                       {"seg.dat", Contents(home / "v").at("seg.dat")}}));
}

} // namespace
} // namespace vemar
