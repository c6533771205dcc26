// The zone table editors: the filters of the boxes, the Clean / Edited /
// Staged states, and what every sequence of Salva, Annulla and closing
// leaves in fusi.dat and fusi.tmp, byte for byte, faults included.

#include "core/dialogs/zoneeditorlogic.h"
#include "core/systemzones.h"
#include "../testsupport.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vemar {
namespace {

using Variant = ZoneEditorLogic::Variant;

// ---------------------------------------------------------------- Filters

// Name boxes keep spaces and codes 64..122; offset boxes signs and digits
// within 12 hours; class boxes clamp their first character to 0..3; an offset
// is shown as its value with a plus when positive.
TEST(ZoneEditorFilters, WhatEachBoxKeeps) {
    using Filter = std::string (*)(std::string_view);
    const Filter name = ControlCar, offset = ControlNumOffset, zoneClass = ControlNumClass, shown = OffsetBoxText;
    struct Case { Filter filter; const char* typed; const char* kept; };
    const Case cases[] = {
        {name, "Città 1", "Citt "},          // the accented letter goes whole, the digit too
        {name, "@[\\]^_`az", "@[\\]^_`az"},  // the edges of the range stay
        {name, "?{|}~", ""},                 // 63 and 123..126 go
        {name, "Sa'o-Paulo!", "SaoPaulo"},
        {offset, "13", "12"}, {offset, "-13", "-12"}, {offset, "12", "12"}, {offset, "-12", "-12"},
        {offset, "1a3", "12"}, {offset, "+5", "+5"}, {offset, "05", "05"},
        {offset, "-", "-"}, {offset, "+-", "+-"}, {offset, "h", ""},
        {offset, "99999999999999999999999", "12"},   // far beyond any integer still clamps
        {offset, "-5+9", "-5+9"},                    // the value ends at the second sign
        {zoneClass, "/", "0"}, {zoneClass, "0", "0"}, {zoneClass, "3", "3"}, {zoneClass, "4", "3"},
        {zoneClass, "é", "3"}, {zoneClass, "", ""},
        {shown, "5", "+5"}, {shown, "05", "+5"}, {shown, "-0", "0"}, {shown, "-3", "-3"}, {shown, "", "0"},
        {shown, "+-", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.filter(c.typed), c.kept) << c.typed;
}

// ---------------------------------------------------------------- The editor on real files

// One user action in an editor.
struct Step {
    enum Op { Name, Value, Salva, Annulla, Close } op;
    int row = 0;
    const char* text = "";
};
Step name(int row, const char* text) { return {Step::Name, row, text}; }
Step value(int row, const char* text) { return {Step::Value, row, text}; }
constexpr Step kSalva{Step::Salva}, kAnnulla{Step::Annulla}, kClose{Step::Close};

// A record's line as the file holds it (without its CR LF), written here
// without the files module: each character shifted down by 7, an empty
// offset as nothing after the comma.
struct Record { int row; const char* name; const char* zoneClass; const char* offset; };

std::string Line(const Record& r) {
    auto shifted = [](std::string plain) {
        for (char& c : plain) c = static_cast<char>(c - 7);
        return plain;
    };
    const std::string offset = *r.offset ? "\"" + shifted(r.offset) + "\"" : "";
    return "\"" + shifted(r.name) + "\",\"" + shifted(r.zoneClass) + "\"," + offset;
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0, end; pos < file.size(); pos = end + 2) {
        end = std::min(file.find("\r\n", pos), file.size());
        lines.push_back(file.substr(pos, end - pos));
    }
    return lines;
}

// Record by record: a whole table in a failure message would hide the one
// record that matters.
void ExpectSameRecords(const std::string& got, const std::string& want) {
    const auto g = Lines(got), w = Lines(want);
    ASSERT_EQ(g.size(), w.size());
    for (std::size_t i = 0; i < g.size(); ++i) EXPECT_EQ(g[i], w[i]) << "record " << i;
    EXPECT_EQ(got.size(), want.size());   // and the same line ends
}

class ZoneEditorTest : public test::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(program->startUp());
        program->tick();   // loads the table: no reload pending from here on
        original = dir.read(kZoneFile);
        platform.writes.clear();
        platform.beeps = 0;
    }
    void run(ZoneEditorLogic& editor, const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            switch (s.op) {
            case Step::Name: editor.nameChanged(s.row, s.text); break;
            case Step::Value: editor.valueChanged(s.row, s.text); break;
            case Step::Salva: editor.salva(); break;
            case Step::Annulla: editor.annulla(); break;
            case Step::Close: editor.close(); break;
            }
        }
    }
    // The installed fusi.dat with the records given replaced.
    std::string originalWith(const std::vector<Record>& records) const {
        std::vector<std::string> lines = Lines(original);
        for (const Record& r : records) lines.at(r.row) = Line(r);
        std::string out;
        for (const auto& l : lines) out += l + "\r\n";
        return out;
    }
    bool reloadRequested() { return state().zoneTableLoaded == 0 && state().tickStage == TickStage::Reinitialise; }

    std::string original;
};

TEST_F(ZoneEditorTest, BoxesHoldTheirLengthBeforeFiltering) {
    const ZoneEditorLogic zones(*program, Variant::Zones), classes(*program, Variant::Classes);
    struct Case { const ZoneEditorLogic* editor; bool name; const char* typed; const char* kept; };
    const Case cases[] = {
        {&zones, true, "Abcdefghijklmnop", "Abcdefghijklm"},   // 13 characters
        {&zones, true, "àbcdefghijklmnop", "bcdefghijklm"},    // the accent counts, then goes
        {&zones, false, "-1234", "-12"},                       // offsets have no length limit
        {&classes, false, "29", "2"},                          // one character
        {&classes, false, "é", "3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.name ? c.editor->filterName(c.typed) : c.editor->filterValue(c.typed), c.kept) << c.typed;
}

// What the file holds is shown filtered, as if typed: a damaged offset is
// clamped, a name loses what a box would refuse; only the four known classes
// colour a name, an unknown one keeps the box's own colour.
TEST_F(ZoneEditorTest, OpeningFillsTheBoxesAsIfTyped) {
    struct Case { Record stored; const char* name; const char* offset; const char* zoneClass; Rgb colour; };
    const Case cases[] = {
        {{0, "Ab1c", "7", "05"}, "Abc", "+5", "3", kNameDefaultText},
        {{1, "Roma", "x", "30"}, "Roma", "12", "3", kNameDefaultText},
        {{2, "Oslo", "", ""}, "Oslo", "0", "", kNameDefaultText},
        {{3, "Reykjavik", "0", "0"}, "Reykjavik", "0", "0", rgb(0, 255, 0)},
        {{4, "Lima", "1", "-5"}, "Lima", "-5", "1", rgb(0, 255, 255)},
        {{5, "Nuova Delhi", "2", "+5"}, "Nuova Delhi", "+5", "2", rgb(255, 0, 0)},
        {{6, "Sydney", "3", "+10"}, "Sydney", "+10", "3", rgb(255, 0, 255)},
        {{7, "Tokyo", "01", "+9"}, "Tokyo", "+9", "0", kNameDefaultText},   // one character or no colour
    };
    std::string bytes;
    for (int row = 0; row < kZoneRows; ++row)
        bytes += (row < int(std::size(cases)) ? Line(cases[row].stored) : Line({row, "X", "0", "0"})) + "\r\n";
    dir.write(kZoneFile, bytes);
    ZoneEditorLogic zones(*program, Variant::Zones), classes(*program, Variant::Classes);
    zones.open();
    classes.open();
    for (const auto& k : cases) {
        for (const ZoneEditorLogic* e : {&zones, &classes}) {
            EXPECT_EQ(e->view().text2[k.stored.row].caption, k.name);
            EXPECT_EQ(e->view().text2[k.stored.row].textColour, k.colour) << k.name;
        }
        EXPECT_EQ(zones.view().text1[k.stored.row].caption, k.offset);
        EXPECT_EQ(classes.view().text1[k.stored.row].caption, k.zoneClass);
    }
    EXPECT_FALSE(zones.view().ssCommand1.enabled);
}

// Salva and Annulla enabled, and SavePending, after every path through the
// states (Clean: both off; Edited: both on; Staged: only Annulla, pending).
TEST_F(ZoneEditorTest, StatesAfterEveryPath) {
    struct Case { const char* path; std::vector<Step> steps; bool salva, annulla, pending; };
    const Case cases[] = {
        {"opened", {}, false, false, false},
        {"edited", {name(0, "Rome")}, true, true, false},
        {"edited, refused character only", {name(0, "Roma1")}, true, true, false},
        {"staged", {name(0, "Rome"), kSalva}, false, true, true},
        {"staged, edited", {name(0, "Rome"), kSalva, value(1, "2")}, true, true, true},
        {"edited, cancelled", {name(0, "Rome"), kAnnulla}, false, false, false},
        {"staged, edited, cancelled", {name(0, "Rome"), kSalva, value(0, "3"), kAnnulla}, false, false, false},
        {"Salva while clean does nothing", {kSalva}, false, false, false},
        {"Annulla while clean does nothing", {kAnnulla}, false, false, false},
    };
    for (Variant variant : {Variant::Zones, Variant::Classes}) {
        for (const auto& c : cases) {
            ZoneEditorLogic editor(*program, variant);
            editor.open();
            run(editor, c.steps);
            EXPECT_EQ(editor.view().ssCommand1.enabled, c.salva) << c.path;
            EXPECT_EQ(editor.view().ssCommand2.enabled, c.annulla) << c.path;
            EXPECT_EQ(editor.savePending(), c.pending) << c.path;
        }
    }
}

// Annulla shows fusi.dat again, even over a staged table; an emptied class
// box stays empty at Salva although "0" is saved.
TEST_F(ZoneEditorTest, BoxesAfterAnnullaAndSalva) {
    ZoneEditorLogic zones(*program, Variant::Zones), classes(*program, Variant::Classes);
    zones.open();
    run(zones, {name(0, "Rome"), value(0, "+3"), kSalva, name(1, "London"), kAnnulla});
    EXPECT_EQ(zones.view().text2[0].caption, "Roma");
    EXPECT_EQ(zones.view().text1[0].caption, "+1");
    EXPECT_EQ(zones.view().text2[1].caption, "Londra");
    classes.open();
    run(classes, {value(1, ""), kSalva});
    EXPECT_EQ(classes.view().text1[1].caption, "");
    EXPECT_EQ(classes.table()[1].zoneClass, "0");
    EXPECT_EQ(classes.view().text2[1].textColour, rgb(0, 255, 0));
}

// The files every sequence leaves, the question asked and answered (nullopt:
// none), the reload request and the writes.
struct FileCase {
    const char* sequence;
    Variant variant;
    std::vector<Step> steps;
    std::optional<bool> answer;
    std::vector<Record> dat;                  // the installed file with these records
    std::optional<std::vector<Record>> tmp;   // nullopt: no fusi.tmp
    bool reload;
    std::vector<std::string> writes;
};

TEST_F(ZoneEditorTest, FilesLeftByEverySequence) {
    const Record lima{3, "Lima", "1", "+1"}, london{1, "London", "1", "0"};
    const std::vector<std::string> tmpDat{"fusi.tmp", "fusi.dat"};
    const FileCase cases[] = {
        {"open, close", Variant::Zones, {kClose}, {}, {}, {}, false, {}},
        {"edit, Annulla, close", Variant::Zones, {name(3, "Lima"), kAnnulla, kClose}, {}, {}, {}, false, {}},
        {"Salva, close", Variant::Zones, {name(3, "Lima"), kSalva, kClose}, {}, {lima}, {}, true, tmpDat},
        {"Salva, edit, close, Yes", Variant::Zones, {name(3, "Lima"), kSalva, name(1, "London"), kClose}, true,
         {lima, london}, {}, true, {"fusi.tmp", "fusi.dat", "fusi.dat"}},
        {"Salva, edit, close, No", Variant::Zones, {name(3, "Lima"), kSalva, name(1, "London"), kClose}, false,
         {lima}, {}, true, tmpDat},
        {"Salva, edit, Salva, close", Variant::Zones, {name(3, "Lima"), kSalva, name(1, "London"), kSalva, kClose},
         {}, {lima, london}, {}, true, {"fusi.tmp", "fusi.tmp", "fusi.dat"}},
        {"Salva, Annulla, close", Variant::Zones, {name(3, "Lima"), kSalva, kAnnulla, kClose}, {}, {},
         std::vector{lima}, false, {"fusi.tmp"}},
        {"edit, close, Yes", Variant::Zones, {name(3, "Lima"), kClose}, true, {lima}, {}, true, {"fusi.dat"}},
        {"edit, close, No", Variant::Zones, {name(3, "Lima"), kClose}, false, {}, {}, false, {}},
        {"offset typed, clamped", Variant::Zones, {value(0, "15"), kSalva, kClose}, {}, {{0, "Roma", "1", "12"}},
         {}, true, tmpDat},
        {"offset cleared", Variant::Zones, {value(53, ""), kSalva, kClose}, {}, {{53, "Reykjavik", "0", ""}},
         {}, true, tmpDat},
        {"same text typed again", Variant::Zones, {name(0, "Roma"), kSalva, kClose}, {}, {}, {}, true, tmpDat},
        {"class typed", Variant::Classes, {value(52, "3"), kSalva, kClose}, {}, {{52, "Lima", "3", "-5"}}, {},
         true, tmpDat},
        {"class emptied", Variant::Classes, {value(0, ""), kSalva, kClose}, {}, {{0, "Roma", "0", "+1"}}, {},
         true, tmpDat},
        {"class emptied, close, Yes", Variant::Classes, {value(0, ""), kClose}, true, {{0, "Roma", "0", "+1"}},
         {}, true, {"fusi.dat"}},
        {"class editor, two saves", Variant::Classes, {name(16, "Sidney"), kSalva, value(16, "1"), kSalva, kClose},
         {}, {{16, "Sidney", "1", "+10"}}, {}, true, {"fusi.tmp", "fusi.tmp", "fusi.dat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sequence);
        dir.write(kZoneFile, original);
        std::filesystem::remove(dir / kStagedZoneFile);
        program->tick();
        ASSERT_FALSE(reloadRequested());
        platform.writes.clear();
        platform.questions.clear();
        platform.answers = {c.answer.value_or(false)};

        ZoneEditorLogic editor(*program, c.variant);
        editor.open();
        run(editor, c.steps);

        ExpectSameRecords(dir.read(kZoneFile), originalWith(c.dat));
        EXPECT_EQ(dir.exists(kStagedZoneFile), c.tmp.has_value());
        if (c.tmp) ExpectSameRecords(dir.read(kStagedZoneFile), originalWith(*c.tmp));
        EXPECT_EQ(platform.questions, std::vector<std::string>(c.answer ? 1 : 0, "Salvare i cambiamenti effettuati?"));
        if (c.answer) { EXPECT_EQ(platform.lastTitle, " Avviso!"); }
        EXPECT_EQ(reloadRequested(), c.reload);
        EXPECT_EQ(platform.writes, c.writes);
        EXPECT_TRUE(platform.fatalFiles.empty());
    }
}

// ---------------------------------------------------------------- Rows that follow a zone

// An edit of a row that follows a zone must show: its offset or class saved
// takes it off its zone in fusi.tz (written before fusi.dat); a rename onto
// a known name puts it on one; Annulla leaves both files as they were.
TEST_F(ZoneEditorTest, SavedEditsMoveRowsOnAndOffTheirZones) {
    const std::string zones = "Roma\tEurope/Rome\r\nBerlino\tEurope/Berlin\n# mine\nKathmandu\tAsia/Kathmandu\n";
    auto withRomaOff = [&] { return "Roma\t-\r\nBerlino\tEurope/Berlin\n# mine\nKathmandu\tAsia/Kathmandu\n"; };
    struct Case {
        const char* sequence;
        Variant variant;
        std::vector<Step> steps;
        std::string tz;                       // fusi.tz afterwards
        std::vector<std::string> writes;
        std::array<const char*, 4> rowZones;  // rows 0..3 after the reload
    };
    const Case cases[] = {
        {"offset saved", Variant::Zones, {value(0, "+2"), kSalva, kClose}, withRomaOff(),
         {"fusi.tmp", "fusi.tz", "fusi.dat"}, {"", "", "", "Europe/Berlin"}},
        {"class saved", Variant::Classes, {value(3, "0"), kSalva, kClose},
         "Roma\tEurope/Rome\r\nBerlino\t-\n# mine\nKathmandu\tAsia/Kathmandu\n", {"fusi.tmp", "fusi.tz", "fusi.dat"},
         {"Europe/Rome", "", "", ""}},
        {"renamed onto a known name", Variant::Zones, {name(1, "Kathmandu"), kSalva, kClose}, zones,
         {"fusi.tmp", "fusi.dat"}, {"Europe/Rome", "Asia/Kathmandu", "", "Europe/Berlin"}},
        {"renamed, offset changed", Variant::Zones, {name(1, "Kathmandu"), value(1, "+6"), kSalva, kClose},
         "Roma\tEurope/Rome\r\nBerlino\tEurope/Berlin\n# mine\nKathmandu\t-\n", {"fusi.tmp", "fusi.tz", "fusi.dat"},
         {"Europe/Rome", "", "", "Europe/Berlin"}},
        {"offset changed and back", Variant::Zones, {value(0, "+2"), value(0, "+1"), kSalva, kClose}, zones,
         {"fusi.tmp", "fusi.dat"}, {"Europe/Rome", "", "", "Europe/Berlin"}},
        {"Salva, Annulla", Variant::Zones, {value(0, "+2"), kSalva, kAnnulla, kClose}, zones, {"fusi.tmp"},
         {"Europe/Rome", "", "", "Europe/Berlin"}},
        {"edited, closed, Yes", Variant::Zones, {value(0, "+2"), kClose}, withRomaOff(), {"fusi.tz", "fusi.dat"},
         {"", "", "", "Europe/Berlin"}},
    };
    SystemZoneDatabase database;
    program->attachZoneDatabase(database);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        dir.write(kZoneFile, original);
        dir.write(kCityZonesFile, zones);
        program->requestReload();
        program->tick();
        platform.writes.clear();
        platform.answers = {true};
        ZoneEditorLogic editor(*program, c.variant);
        editor.open();
        run(editor, c.steps);
        program->tick();
        EXPECT_EQ(dir.read(kCityZonesFile), c.tz);
        EXPECT_EQ(platform.writes, c.writes);
        for (int n = 0; n < 4; ++n) EXPECT_EQ(state().rowZones[n], c.rowZones[n]) << "row " << n;
    }
}

// Each name box tells what its row will follow once saved.
TEST_F(ZoneEditorTest, NameTooltipsTellZoneOrClass) {
    dir.write(kCityZonesFile, "Roma\tEurope/Rome\nKathmandu\tAsia/Kathmandu\n");
    SystemZoneDatabase database;
    program->attachZoneDatabase(database);
    program->tick();   // 21 June 2024, 22:00 in Rome: summer time
    ZoneEditorLogic editor(*program, Variant::Zones);
    editor.open();
    EXPECT_EQ(editor.view().text2[0].tooltip, " Roma +2h Europe/Rome ");
    EXPECT_EQ(editor.view().text2[1].tooltip, " Londra 0h ");
    run(editor, {value(0, "+3"), name(1, "Kathmandu")});
    EXPECT_EQ(editor.view().text2[0].tooltip, " Roma +3h ");
    EXPECT_EQ(editor.view().text2[1].tooltip, " Kathmandu +5:45h Asia/Kathmandu ");
}

TEST_F(ZoneEditorTest, EverySaveBeeps) {
    ZoneEditorLogic editor(*program, Variant::Zones);
    editor.open();
    platform.answers = {true};
    run(editor, {name(0, "Rome"), kSalva, name(0, "Roma"), kSalva, name(0, "Rom"), kClose});
    EXPECT_EQ(platform.beeps, 3);   // two Salva and the direct save
}

// ---------------------------------------------------------------- Faults

// A write or the commit failing ends the program with the file named, and
// fusi.dat keeps a complete table: the one before, or the staged one once
// it was committed.
TEST_F(ZoneEditorTest, AFailedWriteOrCommitLosesNothing) {
    // failing: the file whose write fails, nullptr for the commit's rename;
    // faulted: the steps run with the fault in place; datIsStaged: else the
    // installed file. The user chose to save the table, so every failure names
    // fusi.dat; a staged one then names the staged copy it was writing.
    struct Case {
        const char* when; const char* failing; std::vector<Step> steps, faulted;
        const char* message; bool datIsStaged; int questions;
    };
    const char* stagedWrite = "copia provvisoria fusi.tmp, scrittura non riuscita: spazio esaurito sul disco";
    const Case cases[] = {
        {"first Salva", kStagedZoneFile, {name(3, "Lima")}, {kSalva}, stagedWrite, false, 0},
        {"second Salva", kStagedZoneFile, {name(3, "Lima"), kSalva, name(1, "London")}, {kSalva, kClose},
         stagedWrite, false, 0},
        {"commit", nullptr, {name(3, "Lima"), kSalva, name(1, "London")}, {kClose},
         "sostituzione non riuscita: ", false, 0},
        {"direct save after commit", kZoneFile, {name(3, "Lima"), kSalva, name(1, "London")}, {kClose},
         "scrittura non riuscita: ", true, 1},
        {"direct save", kZoneFile, {name(3, "Lima")}, {kClose}, "scrittura non riuscita: ", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        dir.write(kZoneFile, original);
        std::filesystem::remove_all(dir / kStagedZoneFile);
        restart();
        platform = test::RecordingPlatform();
        platform.answers = {true};
        ZoneEditorLogic editor(*program, Variant::Zones);
        editor.open();
        run(editor, c.steps);
        const bool staged = dir.exists(kStagedZoneFile);
        const std::string stagedBytes = dir.read(kStagedZoneFile);

        const std::string failing = c.failing ? c.failing : "";
        if (c.failing) {
            SetWriteFaultForTesting([failing](const std::filesystem::path& p) { return p.filename() == failing; });
        } else {   // a directory in the place of the staged file: the rename is refused
            std::filesystem::remove(dir / kStagedZoneFile);
            std::filesystem::create_directory(dir / kStagedZoneFile);
        }
        run(editor, c.faulted);
        SetWriteFaultForTesting(nullptr);

        EXPECT_TRUE(program->failed());
        EXPECT_EQ(platform.fatalFiles, std::vector<std::string>{"fusi.dat"});
        ASSERT_EQ(platform.fatalMessages.size(), 1u);
        EXPECT_EQ(platform.fatalMessages[0].rfind(c.message, 0), 0u) << platform.fatalMessages[0];
        ExpectSameRecords(dir.read(kZoneFile), c.datIsStaged ? stagedBytes : original);
        // The earlier staged table survives.
        if (failing == kStagedZoneFile && staged) ExpectSameRecords(dir.read(kStagedZoneFile), stagedBytes);
        EXPECT_EQ(platform.questions.size(), std::size_t(c.questions));
        EXPECT_EQ(ReadZoneTable(dir / kZoneFile)[0].name, "Roma");   // still a whole table
    }
}

// fusi.tz is written before fusi.dat: when the second write fails, a row is
// at worst on its class with its old offset; when the first fails, neither
// file changes and the staged table waits in fusi.tmp.
TEST_F(ZoneEditorTest, AFailedWriteOfTheTwoFilesLeavesARowAtWorstOnItsClass) {
    const std::string zones = "Roma\tEurope/Rome\n";
    struct Case { const char* failing; std::vector<Step> steps; const char* tzAfter; };
    const Case cases[] = {
        {kCityZonesFile, {value(0, "+2"), kSalva, kClose}, "Roma\tEurope/Rome\n"},
        {kZoneFile, {value(0, "+2"), kClose}, "Roma\t-\n"},
    };
    SystemZoneDatabase database;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        dir.write(kZoneFile, original);
        dir.write(kCityZonesFile, zones);
        restart();
        program->attachZoneDatabase(database);
        platform = test::RecordingPlatform();
        platform.answers = {true};
        ZoneEditorLogic editor(*program, Variant::Zones);
        editor.open();
        const std::string failing = c.failing;
        SetWriteFaultForTesting([failing](const std::filesystem::path& p) { return p.filename() == failing; });
        run(editor, c.steps);
        SetWriteFaultForTesting(nullptr);
        EXPECT_EQ(platform.fatalFiles, std::vector<std::string>{c.failing});
        ExpectSameRecords(dir.read(kZoneFile), original);
        EXPECT_EQ(dir.read(kCityZonesFile), c.tzAfter);
    }
}

TEST_F(ZoneEditorTest, AMissingTableEndsTheProgramAtOpening) {
    std::filesystem::remove(dir / kZoneFile);
    ZoneEditorLogic editor(*program, Variant::Classes);
    editor.open();
    EXPECT_TRUE(program->failed());
    EXPECT_EQ(platform.fatalFiles, std::vector<std::string>{"fusi.dat"});
}

} // namespace
} // namespace vemar
