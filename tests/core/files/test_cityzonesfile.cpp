// fusi.tz: which names follow a zone, what a damaged line says, how an
// editor takes names off their zones without touching the rest.

#include "../testsupport.h"

#include "core/systemzones.h"

#include <sys/stat.h>

namespace vemar {
namespace {

TEST(CityZonesFile, ReadsEntriesAndNamesEveryDamagedLine) {
    const std::string content =
        "# comment\n"
        "\n"
        "Roma\tEurope/Rome\r\n"           // a line end of Windows
        "  Lord Howe \t Australia/Lord_Howe \n"
        "Roma\tAsia/Tokyo\n"                // the first entry wins
        "Pippo\t-\n"                        // follows its class
        "no tab here\n"
        "\tEurope/Paris\n"
        "Parigi\t\n"
        "Citt\xC3\xA0\tEurope/Rome\n"       // UTF-8 is fine
        "bad \xE0 byte\tEurope/Rome\n"
        "Nul\tEurope/R" + std::string(1, '\0') + "ome\n"
        "   # indented comment\n"
        "Last\tAsia/Kathmandu";             // no line end
    const CityZones zones = ParseCityZones(content);
    const std::pair<const char*, std::optional<std::string_view>> names[] = {
        {"Roma", "Europe/Rome"}, {"Lord Howe", "Australia/Lord_Howe"}, {" Roma ", "Europe/Rome"},
        {"Pippo", std::nullopt}, {"Città", "Europe/Rome"}, {"Last", "Asia/Kathmandu"}, {"Parigi", std::nullopt},
    };
    for (const auto& [name, zone] : names) EXPECT_EQ(zones.zoneOf(name), zone) << name;
    EXPECT_EQ(zones.problems, (std::vector<std::string>{
                                  ", riga 7: manca la tabulazione fra nome e fuso", ", riga 8: nome mancante",
                                  ", riga 9: fuso mancante", ", riga 11: testo non UTF-8",
                                  ", riga 12: carattere nullo"}));
}

TEST(CityZonesFile, NamesGoOnClassesAndNothingElseMoves) {
    const std::string content = "# keep me\r\nRoma\tEurope/Rome\r\nbroken line\nRoma\tAsia/Tokyo\nTokyo\tAsia/Tokyo";
    EXPECT_EQ(WithNamesOnClasses(content, {}), content);
    EXPECT_EQ(WithNamesOnClasses(content, {"Roma"}),
              "# keep me\r\nRoma\t-\r\nbroken line\nRoma\tAsia/Tokyo\nTokyo\tAsia/Tokyo");
    EXPECT_EQ(WithNamesOnClasses(content, {"Tokyo", "Nuova", "Tokyo"}),
              "# keep me\r\nRoma\tEurope/Rome\r\nbroken line\nRoma\tAsia/Tokyo\nTokyo\t-\nNuova\t-\n");
}

// Whatever the file is, reading it never ends the program: only a file the
// settings checks refuse throws, and the program turns that into a warning.
TEST(CityZonesFile, RefusedFiles) {
    test::WorkDir dir(false);
    EXPECT_EQ(ReadCityZones(dir / "fusi.tz"), std::nullopt);
    dir.write("fusi.tz", std::string(200 * 1024, '#'));
    EXPECT_THROW(ReadCityZones(dir / "fusi.tz"), FileError);
    std::filesystem::remove(dir / "fusi.tz");
    ASSERT_EQ(mkfifo((dir / "fusi.tz").c_str(), 0600), 0);
    EXPECT_THROW(ReadCityZones(dir / "fusi.tz"), FileError);
}

// The shipped dictionary: every zone it names is one the installed database
// knows, and every shipped city has one.
TEST(CityZonesFile, ShippedZonesResolve) {
    const SystemZoneDatabase zones;
    const auto read = ReadCityZones(std::filesystem::path(VEMAR_DATA_DIR) / kCityZonesFile);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->problems.empty());
    std::vector<std::string> unknown;
    for (const auto& [name, entry] : read->entries)
        if (!zones.offsetAt(entry.zone, 0)) unknown.push_back(name + " " + entry.zone);
    EXPECT_EQ(unknown, std::vector<std::string>{});
    const ZoneTable table = ReadZoneTable(std::filesystem::path(VEMAR_DATA_DIR) / kZoneFile);
    for (const ZoneRow& row : table) EXPECT_TRUE(read->zoneOf(row.name)) << row.name;
    EXPECT_GT(read->entries.size(), 300u);
}

} // namespace
} // namespace vemar
