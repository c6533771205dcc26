// The zone table editors: the filters of the boxes, the Clean / Edited /
// Staged states, and what every sequence of Salva, Annulla and closing
// leaves in fusi.dat and fusi.tmp, byte for byte, faults included.

#include "core/dialogs/zoneeditorlogic.h"
#include "core/systemzones.h"
#include "../testsupport.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <random>
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

// ---------------------------------------------------------------- Every sequence, against a model

// What the files, the buttons and the beeps must be after any sequence of
// edits, Salva, Annulla and closing, written without the editor: fusi.tmp
// holds what Salva staged until a close commits it; closing with edits not
// staged asks, and Yes writes them straight to fusi.dat; a row that follows
// a zone and is saved with another offset or class leaves its zone in
// fusi.tz, which is written first.
struct EditorModel {
    Variant variant = Variant::Zones;
    ZoneTable dat, read, table;   // fusi.dat; what the editor read; its copy, staged by Salva
    std::optional<ZoneTable> tmp;
    std::map<std::string, std::string> tz;   // fusi.tz: name -> zone or "-"
    std::array<std::string, kZoneRows> names, values;
    bool salva = false, annulla = false, pending = false;
    int beeps = 0, questions = 0;
    std::vector<std::string> writes;

    void open() {
        read = table = dat;
        for (int i = 0; i < kZoneRows; ++i) {
            names[i] = dat[i].name;
            values[i] = variant == Variant::Zones ? dat[i].offset : dat[i].zoneClass;
        }
        salva = annulla = false;
    }
    ZoneRow inBoxes(int i) const {
        ZoneRow row = table[i];
        row.name = names[i];
        (variant == Variant::Zones ? row.offset : row.zoneClass) =
            variant == Variant::Classes && values[i].empty() ? "0" : values[i];
        return row;
    }
    void edit(int i, bool name, const std::string& text) {
        (name ? names : values)[i] = text;
        salva = annulla = true;
    }
    void doSalva() {
        if (!salva) return;
        for (int i = 0; i < kZoneRows; ++i) table[i] = inBoxes(i);
        tmp = table;
        pending = true;
        salva = false;
        ++beeps;
        writes.push_back(kStagedZoneFile);
    }
    void doAnnulla() {
        if (!annulla) return;
        pending = false;
        open();
    }
    void save(const ZoneTable& saved) {
        bool tzChanged = false;
        for (int i = 0; i < kZoneRows; ++i) {
            auto entry = tz.find(saved[i].name);
            const bool changed = std::atoi(saved[i].offset.c_str()) != std::atoi(read[i].offset.c_str()) ||
                                 saved[i].zoneClass != read[i].zoneClass;
            if (entry != tz.end() && entry->second != "-" && changed) entry->second = "-", tzChanged = true;
        }
        if (tzChanged) writes.push_back(kCityZonesFile);
        writes.push_back(kZoneFile);
        dat = saved;
    }
    void close(bool yes) {
        if (pending) {
            save(*tmp);
            tmp.reset();
            pending = false;
        }
        if (!salva) return;
        ++questions;
        if (!yes) return;
        for (int i = 0; i < kZoneRows; ++i) table[i] = inBoxes(i);
        save(table);
        ++beeps;
    }
};

TEST_F(ZoneEditorTest, EverySequenceLeavesWhatTheModelSays) {
    const std::string zones = "Roma\tEurope/Rome\nBerlino\tEurope/Berlin\nKathmandu\tAsia/Kathmandu\n"
                              "Lima\tAmerica/Lima\nLondra\t-\n";
    const int rows[] = {0, 1, 3, 16, 52};
    const char* names[] = {"Roma", "Lima", "Kathmandu", "Rome", "Nowhere", ""};
    const char* offsets[] = {"+1", "+2", "-5", "0", ""};
    const char* classes[] = {"0", "1", "2", "3", ""};
    SystemZoneDatabase database;
    program->attachZoneDatabase(database);
    for (unsigned seed = 1; seed <= 6; ++seed) {
        dir.write(kZoneFile, original);
        dir.write(kCityZonesFile, zones);
        std::filesystem::remove(dir / kStagedZoneFile);
        program->requestReload();
        program->tick();
        platform = test::RecordingPlatform();
        EditorModel model;
        model.dat = ReadZoneTable(dir / kZoneFile);
        for (const auto& [name, entry] : ParseCityZones(zones).entries) model.tz[name] = entry.zone;

        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        std::unique_ptr<ZoneEditorLogic> editor;
        std::string history;
        for (int step = 0; step < 60; ++step) {
            if (!editor) {
                model.variant = pick(2) ? Variant::Zones : Variant::Classes;
                editor = std::make_unique<ZoneEditorLogic>(*program, model.variant);
                editor->open();
                model.open();
                history += model.variant == Variant::Zones ? " | Fusi:" : " | Tipi:";
            }
            const int action = pick(10), row = rows[pick(5)];
            if (action < 4) {
                const std::string text = names[pick(6)];
                editor->nameChanged(row, text);
                model.edit(row, true, text);
                history += " name " + std::to_string(row) + "=" + text;
            } else if (action < 7) {
                const std::string text = model.variant == Variant::Zones ? offsets[pick(5)] : classes[pick(5)];
                editor->valueChanged(row, text);
                model.edit(row, false, text);
                history += " value " + std::to_string(row) + "=" + text;
            } else if (action == 7) {
                editor->salva();
                model.doSalva();
                history += " Salva";
            } else if (action == 8) {
                editor->annulla();
                model.doAnnulla();
                history += " Annulla";
            } else {
                const bool yes = pick(2);
                platform.answers = {yes};
                editor->close();
                model.close(yes);
                editor.reset();
                program->tick();
                history += yes ? " close(Yes)" : " close(No)";
            }
            SCOPED_TRACE("seed " + std::to_string(seed) + ":" + history);
            if (editor) {
                ASSERT_EQ(editor->view().ssCommand1.enabled, model.salva);
                ASSERT_EQ(editor->view().ssCommand2.enabled, model.annulla);
                ASSERT_EQ(editor->savePending(), model.pending);
            }
            ASSERT_EQ(ReadZoneTable(dir / kZoneFile), model.dat);
            ASSERT_EQ(dir.exists(kStagedZoneFile), model.tmp.has_value());
            if (model.tmp) { ASSERT_EQ(ReadZoneTable(dir / kStagedZoneFile), *model.tmp); }
            std::map<std::string, std::string> tz;
            for (const auto& [name, entry] : ParseCityZones(dir.read(kCityZonesFile)).entries) tz[name] = entry.zone;
            ASSERT_EQ(tz, model.tz);
            ASSERT_EQ(platform.writes, model.writes);
            ASSERT_EQ((std::array{platform.beeps, int(platform.questions.size())}), (std::array{model.beeps, model.questions}));
            ASSERT_TRUE(platform.fatalFiles.empty());
            if (!editor)   // the main window follows the saved table from its next tick
                for (int n : rows) {
                    const auto entry = model.tz.find(model.dat[n].name);
                    ASSERT_EQ(state().rowZones[n], entry == model.tz.end() || entry->second == "-" ? "" : entry->second)
                        << "row " << n;
                }
        }
    }
}

// ---------------------------------------------------------------- Rows that follow a zone

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
