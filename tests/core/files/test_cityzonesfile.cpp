// fusi.tz: which names follow a zone and what a damaged line says.

#include "../testsupport.h"

namespace vemar {
namespace {

TEST(CityZonesFile, ReadsEntriesAndNamesEveryDamagedLine) {
    const std::string content =
        "# comment\n\n"
        "Roma\tEurope/Rome\r\n"                    // a line end of Windows
        "  Lord Howe \t Australia/Lord_Howe \n"
        "Roma\tAsia/Tokyo\n"                        // the first entry wins
        "Pippo\t-\n"                                // follows its class
        "no tab here\n\tEurope/Paris\nParigi\t\n"  // lines 7 to 9
        "Citt\xC3\xA0\tEurope/Rome\n"               // UTF-8 is fine
        "bad \xE0 byte\tEurope/Rome\nNul\tEurope/R" + std::string(1, '\0') + "ome\n"
        "   # indented comment\nLast\tAsia/Kathmandu";   // no line end
    const CityZones zones = ParseCityZones(content);
    const std::pair<const char*, std::optional<std::string_view>> names[] = {
        {"Roma", "Europe/Rome"}, {"Lord Howe", "Australia/Lord_Howe"}, {" Roma ", "Europe/Rome"},
        {"Pippo", std::nullopt}, {"Città", "Europe/Rome"}, {"Last", "Asia/Kathmandu"}, {"Parigi", std::nullopt},
    };
    for (const auto& [name, zone] : names) EXPECT_EQ(zones.zoneOf(name), zone) << name;
    EXPECT_EQ(zones.problems, (std::vector<std::string>{", riga 7: manca la tabulazione fra nome e fuso",
                                                        ", riga 8: nome mancante", ", riga 9: fuso mancante",
                                                        ", riga 11: testo non UTF-8", ", riga 12: carattere nullo"}));
}

} // namespace
} // namespace vemar
