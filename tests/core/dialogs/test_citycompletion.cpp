// Finding a city by its first letters: the shipped dictionary against tzdata, the matching, a zone in the table.

#include "core/dialogs/citycompletion.h"
#include "core/dialogs/zoneeditorlogic.h"
#include "core/time/systemzones.h"
#include "../testsupport.h"

#include <fstream>
#include <set>

namespace vemar {
namespace {

using namespace std::chrono_literals;

const std::optional<CityZones>& Shipped() {
    static const auto shipped = ReadCityZones(std::filesystem::path(VEMAR_DATA_DIR) / kCityZonesFile);
    return shipped;
}

// Every zone of zone1970.tab has a name the name box keeps as typed; every dictionary zone is a known zone.
TEST(CityCompletion, TheDictionaryReachesEveryZone) {
    const SystemZoneDatabase zones;
    std::set<std::string> reachable;
    for (const auto& [name, entry] : Shipped()->entries) {
        EXPECT_TRUE(zones.offsetAt(entry.zone, test::Instant(2026, 1, 1))) << name << ": " << entry.zone;
        if (ControlCar(name) == name && name.size() <= ZoneEditorLogic::kNameLength) reachable.insert(entry.zone);
    }
    std::ifstream table("/usr/share/zoneinfo/zone1970.tab");
    int zonesOfTable = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t from = line.find('\t', line.find('\t') + 1) + 1;   // the third field: the zone
        const std::string zone = line.substr(from, line.find('\t', from) - from);
        ++zonesOfTable;
        EXPECT_TRUE(reachable.contains(zone)) << zone << " has no name that can be typed";
    }
    EXPECT_GT(zonesOfTable, 300);
}

// What was typed, the first suggestions offered, in order; at noon UT on 15 July 2026.
TEST(CityCompletion, SuggestsByTheStartOfAnyWord) {
    const SystemZoneDatabase zones;
    CityZones folder = ParseCityZones("Roma\tEurope/Rome\nZürich\tEurope/Zurich\nAtlantide\t-\nZeta{\tEurope/Rome\nZeta?\tEurope/Rome\n");
    CityCompletion completion;
    completion.load(folder, Shipped(), zones, ZoneEditorLogic::kNameLength);
    struct Case { const char* typed; std::vector<std::string> first; };
    const Case cases[] = {
        {"kat", {"Kathmandu  Asia/Kathmandu +5:45"}}, {"KATH", {"Kathmandu  Asia/Kathmandu +5:45"}},   // any case
        {"york", {"New York  America/New_York -4"}},      // a word's start
        {"rom", {"Roma  Europe/Rome +2", "Rome  Europe/Rome +2"}},
        {"zü", {"Zurich  Europe/Zurich +2"}},             // accents do not matter, and a name the box cannot hold is not offered
        {"port pr", {"Port Prince  America/Port-au-Prince -4"}},
        {"k", {}},                                         // one letter would offer hundreds
        {"atlan", {}}, {"xyz", {}}, {"zeta", {}},          // following its class; none; a character the box refuses
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const Suggestion& s : completion.suggestionsFor(c.typed, test::Instant(2026, 7, 15, 12)))
            if (got.size() < c.first.size() || c.first.empty()) got.push_back(s.text);
        EXPECT_EQ(got, c.first) << c.typed;
    }
    EXPECT_EQ(FoldedForMatching("ÀÉÎÕÜçñ Zürich"), "aeioucn zurich");
}

// An offset as the table holds it: hours rounded down, half-hour class from :30, else its facts'; +13, +14 at +12.
TEST(CityCompletion, WhatTheTableHolds) {
    struct Case { std::chrono::seconds standard; ZoneClass facts; TableHold hold; };
    const Case cases[] = {
        {5h + 45min, ZoneClass::HalfHour, {"+5", "2", false}}, {5h + 30min, ZoneClass::HalfHour, {"+5", "2", false}},
        {5h + 29min, ZoneClass::NorthernSummer, {"+5", "1", false}},   // short of the half hour
        {-3h - 30min, ZoneClass::HalfHour, {"-4", "2", false}}, {1h, ZoneClass::NorthernSummer, {"+1", "1", false}},
        {10h, ZoneClass::SouthernSummer, {"+10", "3", false}}, {0h, ZoneClass::Standard, {"0", "0", false}},
        {12h + 45min, ZoneClass::HalfHour, {"+12", "2", false}}, {-11h, ZoneClass::Standard, {"-11", "0", false}},
        {13h, ZoneClass::Standard, {"+12", "0", true}}, {14h, ZoneClass::Standard, {"+12", "0", true}},
    };
    for (const Case& c : cases) EXPECT_EQ(HoldInTable(c.standard, c.facts), c.hold) << c.standard.count();
}

} // namespace
} // namespace vemar
