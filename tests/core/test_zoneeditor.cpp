// The zone table editors: the filters of the boxes, the Clean / Edited /
// Staged states, and what every sequence of Salva, Annulla and closing
// leaves in fusi.dat and fusi.tmp, byte for byte, faults included.

#include "core/files.h"
#include "core/zoneeditor.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace vemar {
namespace {

using test::RecordingPlatform;
using test::WorkDir;
using Variant = ZoneEditor::Variant;

// ---------------------------------------------------------------- Filters

struct FilterCase { const char* typed; const char* kept; };

TEST(ZoneEditorFilters, ControlCarKeepsSpacesAndCodes64To122) {
    const FilterCase cases[] = {
        {"Città 1", "Citt "},          // the accented letter goes whole, the digit too
        {"New York", "New York"},
        {"@[\\]^_`az", "@[\\]^_`az"},  // the edges of the range stay
        {"?{|}~", ""},                 // 63 and 123..126 go
        {"Sa'o-Paulo!", "SaoPaulo"},
        {"Ærø", "r"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ControlCar(c.typed), c.kept) << c.typed;
}

TEST(ZoneEditorFilters, ControlNumOffsetKeepsSignsAndDigitsWithin12Hours) {
    const FilterCase cases[] = {
        {"15", "12"},   {"-20", "-12"},  {"a5", "5"},      {"13", "12"},   {"-13", "-12"},
        {"12", "12"},   {"-12", "-12"},  {"+5", "+5"},     {"1a3", "12"},  {"05", "05"},
        {"-", "-"},     {"+-", "+-"},    {"", ""},         {"h", ""},
        {"99999999999999999999999", "12"},   // far beyond any integer still clamps
        {"-5+9", "-5+9"},                    // the value ends at the second sign
    };
    for (const auto& c : cases) EXPECT_EQ(ControlNumOffset(c.typed), c.kept) << c.typed;
}

TEST(ZoneEditorFilters, ControlNumClassClampsTheFirstCharacterTo0To3) {
    const FilterCase cases[] = {
        {"7", "3"}, {"/", "0"}, {" ", "0"}, {"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"},
        {"4", "3"}, {"a", "3"}, {"é", "3"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ControlNumClass(c.typed), c.kept) << c.typed;
}

TEST(ZoneEditorFilters, BoxesHoldTheirLengthBeforeFiltering) {
    WorkDir dir;
    RecordingPlatform platform;
    Program program(platform, dir.path());
    const ZoneEditor zones(program, Variant::Zones), classes(program, Variant::Classes);
    struct Case { const ZoneEditor* editor; bool name; const char* typed; const char* kept; };
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

TEST(ZoneEditorFilters, OffsetShownAsItsValueWithAPlusWhenPositive) {
    const FilterCase cases[] = {
        {"+5", "+5"}, {"5", "+5"}, {"05", "+5"}, {"0", "0"}, {"-0", "0"},
        {"-3", "-3"}, {"", "0"},   {"+-", "0"},  {"+12", "+12"},
    };
    for (const auto& c : cases) EXPECT_EQ(OffsetBoxText(c.typed), c.kept) << c.typed;
}

TEST(ZoneEditorFilters, NameColourByClass) {
    struct Case { const char* zoneClass; std::optional<Rgb> colour; };
    const Case cases[] = {
        {"0", rgb(0, 255, 0)},   {"1", rgb(0, 255, 255)}, {"2", rgb(255, 0, 0)},
        {"3", rgb(255, 0, 255)}, {"4", std::nullopt},     {"", std::nullopt},
        {"01", std::nullopt},    {"x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassNameColour(c.zoneClass), c.colour) << c.zoneClass;
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

// A record as the file holds it, written here without the files module: each
// character shifted down by 7, an empty offset as nothing after the comma.
struct Record { int row; const char* name; const char* zoneClass; const char* offset; };

std::string Shifted(std::string_view plain) {
    std::string out(plain);
    for (char& c : out) c = static_cast<char>(c - 7);
    return out;
}

// Empty when the two files are equal, else their first differing line: a
// whole table in a failure message would hide the one record that matters.
std::string FirstDifference(const std::string& got, const std::string& want) {
    if (got == want) return {};
    std::size_t pos = 0;
    int line = 0;
    for (;;) {
        const std::size_t gotEnd = got.find("\r\n", pos), wantEnd = want.find("\r\n", pos);
        const std::string g = got.substr(pos, gotEnd == std::string::npos ? gotEnd : gotEnd - pos);
        const std::string w = want.substr(pos, wantEnd == std::string::npos ? wantEnd : wantEnd - pos);
        if (g != w || gotEnd == std::string::npos || wantEnd == std::string::npos)
            return "record " + std::to_string(line) + ": got " + g + ", want " + w;
        pos = gotEnd + 2;
        ++line;
    }
}

std::string Line(const Record& r) {
    const std::string offset = *r.offset ? "\"" + Shifted(r.offset) + "\"" : "";
    return "\"" + Shifted(r.name) + "\",\"" + Shifted(r.zoneClass) + "\"," + offset + "\r\n";
}

class ZoneEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program.startUp());
        program.tick();   // loads the table: no reload pending from here on
        original = dir.read(kZoneFile);
        platform.writes.clear();
        platform.beeps = 0;
    }
    void TearDown() override { SetWriteFaultForTesting(nullptr); }

    void run(ZoneEditor& editor, const std::vector<Step>& steps) {
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
        std::vector<std::string> lines;
        for (std::size_t pos = 0; pos < original.size();) {
            const std::size_t end = original.find("\r\n", pos) + 2;
            lines.push_back(original.substr(pos, end - pos));
            pos = end;
        }
        for (const Record& r : records) lines.at(r.row) = Line(r);
        std::string out;
        for (const auto& l : lines) out += l;
        return out;
    }
    bool reloadRequested() const {
        return program.state().zoneTableLoaded == 0 && program.state().tickStage == 0;
    }

    WorkDir dir;
    RecordingPlatform platform;
    Program program{platform, dir.path()};
    std::string original;
};

TEST_F(ZoneEditorTest, OpeningFillsEveryBoxFromTheFile) {
    ZoneEditor zones(program, Variant::Zones), classes(program, Variant::Classes);
    zones.open();
    classes.open();
    const auto& z = zones.view();
    const auto& c = classes.view();
    EXPECT_EQ(z.form.caption, "Tabella Fusi");
    EXPECT_EQ(c.form.caption, "Tabella Tipi");
    struct Case { int row; const char* name; const char* offset; const char* zoneClass; Rgb colour; };
    const Case cases[] = {
        {0, "Roma", "+1", "1", rgb(0, 255, 255)},
        {1, "Londra", "0", "1", rgb(0, 255, 255)},
        {9, "Nuova Delhi", "+5", "2", rgb(255, 0, 0)},
        {16, "Sydney", "+10", "3", rgb(255, 0, 255)},
        {18, "Los Angeles", "-8", "1", rgb(0, 255, 255)},
        {53, "Reykjavik", "0", "0", rgb(0, 255, 0)},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(z.text2[k.row].caption, k.name);
        EXPECT_EQ(c.text2[k.row].caption, k.name);
        EXPECT_EQ(z.text1[k.row].caption, k.offset);
        EXPECT_EQ(c.text1[k.row].caption, k.zoneClass);
        EXPECT_EQ(z.text2[k.row].textColour, k.colour) << k.name;
        EXPECT_EQ(c.text2[k.row].textColour, k.colour) << k.name;
    }
    for (const auto* v : {&z, &c}) {
        EXPECT_EQ(v->text2[5].backColour, rgb(0, 0, 0));
        EXPECT_EQ(v->text1[5].backColour, kValueBoxBack);
        EXPECT_EQ(v->text1[5].textColour, rgb(255, 224, 192));
        EXPECT_EQ(v->ssCommand1.caption, "Salva");
        EXPECT_EQ(v->ssCommand2.caption, "Annulla");
        EXPECT_EQ(v->ssCommand3.caption, "Esci");
    }
}

// What the file holds is shown filtered, as if typed: a damaged offset is
// clamped, a name loses what a box would refuse, an unknown class keeps the
// box's own colour.
TEST_F(ZoneEditorTest, OpeningFiltersWhatTheFileHolds) {
    std::string bytes;
    bytes += Line({0, "Ab1c", "7", "05"});
    bytes += Line({1, "Roma", "x", "30"});
    bytes += Line({2, "Oslo", "", ""});
    for (int row = 3; row < kZoneRows; ++row) bytes += Line({row, "X", "0", "0"});
    dir.write(kZoneFile, bytes);
    ZoneEditor zones(program, Variant::Zones), classes(program, Variant::Classes);
    zones.open();
    classes.open();
    struct Case { int row; const char* name; const char* offset; const char* zoneClass; Rgb colour; };
    const Case cases[] = {
        {0, "Abc", "+5", "3", kNameDefaultText},
        {1, "Roma", "12", "3", kNameDefaultText},
        {2, "Oslo", "0", "", kNameDefaultText},
        {3, "X", "0", "0", rgb(0, 255, 0)},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(zones.view().text2[k.row].caption, k.name);
        EXPECT_EQ(zones.view().text1[k.row].caption, k.offset);
        EXPECT_EQ(classes.view().text1[k.row].caption, k.zoneClass);
        EXPECT_EQ(zones.view().text2[k.row].textColour, k.colour);
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
        {"edited value", {value(0, "+2")}, true, true, false},
        {"staged", {name(0, "Rome"), kSalva}, false, true, true},
        {"staged, edited", {name(0, "Rome"), kSalva, name(1, "London")}, true, true, true},
        {"staged twice", {name(0, "Rome"), kSalva, name(1, "London"), kSalva}, false, true, true},
        {"edited, cancelled", {name(0, "Rome"), kAnnulla}, false, false, false},
        {"staged, cancelled", {name(0, "Rome"), kSalva, kAnnulla}, false, false, false},
        {"staged, edited, cancelled", {name(0, "Rome"), kSalva, value(0, "3"), kAnnulla}, false, false, false},
        {"Salva while clean does nothing", {kSalva}, false, false, false},
        {"Annulla while clean does nothing", {kAnnulla}, false, false, false},
    };
    for (Variant variant : {Variant::Zones, Variant::Classes}) {
        for (const auto& c : cases) {
            ZoneEditor editor(program, variant);
            editor.open();
            run(editor, c.steps);
            EXPECT_EQ(editor.view().ssCommand1.enabled, c.salva) << c.path;
            EXPECT_EQ(editor.view().ssCommand2.enabled, c.annulla) << c.path;
            EXPECT_EQ(editor.savePending(), c.pending) << c.path;
        }
    }
}

TEST_F(ZoneEditorTest, AnnullaShowsFusiDatAgain) {
    ZoneEditor editor(program, Variant::Zones);
    editor.open();
    run(editor, {name(0, "Rome"), value(0, "+3"), kSalva, name(1, "London"), kAnnulla});
    EXPECT_EQ(editor.view().text2[0].caption, "Roma");
    EXPECT_EQ(editor.view().text1[0].caption, "+1");
    EXPECT_EQ(editor.view().text2[1].caption, "Londra");
}

// The files every sequence leaves, the questions asked and the reload request.
struct FileCase {
    const char* sequence;
    Variant variant;
    std::vector<Step> steps;
    std::vector<bool> answers;
    std::optional<std::vector<Record>> dat;   // the installed file with these records; nullopt: unchanged
    std::optional<std::vector<Record>> tmp;   // nullopt: no fusi.tmp
    int questions;
    bool reload;
    std::vector<std::string> writes;
};

TEST_F(ZoneEditorTest, FilesLeftByEverySequence) {
    const Record lima{3, "Lima", "1", "+1"};
    const Record limaAndLondon[] = {lima, {1, "London", "1", "0"}};
    const FileCase cases[] = {
        {"open, close", Variant::Zones, {kClose}, {}, std::nullopt, std::nullopt, 0, false, {}},
        {"edit, Annulla, close", Variant::Zones, {name(3, "Lima"), kAnnulla, kClose}, {},
         std::nullopt, std::nullopt, 0, false, {}},
        {"Salva, close", Variant::Zones, {name(3, "Lima"), kSalva, kClose}, {},
         std::vector{lima}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"Salva, edit, close, Yes", Variant::Zones,
         {name(3, "Lima"), kSalva, name(1, "London"), kClose}, {true},
         std::vector(std::begin(limaAndLondon), std::end(limaAndLondon)), std::nullopt, 1, true,
         {"fusi.tmp", "fusi.dat", "fusi.dat"}},
        {"Salva, edit, close, No", Variant::Zones,
         {name(3, "Lima"), kSalva, name(1, "London"), kClose}, {false},
         std::vector{lima}, std::nullopt, 1, true, {"fusi.tmp", "fusi.dat"}},
        {"Salva, edit, Salva, close", Variant::Zones,
         {name(3, "Lima"), kSalva, name(1, "London"), kSalva, kClose}, {},
         std::vector(std::begin(limaAndLondon), std::end(limaAndLondon)), std::nullopt, 0, true,
         {"fusi.tmp", "fusi.tmp", "fusi.dat"}},
        {"Salva, Annulla, close", Variant::Zones, {name(3, "Lima"), kSalva, kAnnulla, kClose}, {},
         std::nullopt, std::vector{lima}, 0, false, {"fusi.tmp"}},
        {"edit, close, Yes", Variant::Zones, {name(3, "Lima"), kClose}, {true},
         std::vector{lima}, std::nullopt, 1, true, {"fusi.dat"}},
        {"edit, close, No", Variant::Zones, {name(3, "Lima"), kClose}, {false},
         std::nullopt, std::nullopt, 1, false, {}},
        {"offset typed, clamped", Variant::Zones, {value(0, "15"), kSalva, kClose}, {},
         std::vector<Record>{{0, "Roma", "1", "12"}}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"offset cleared", Variant::Zones, {value(53, ""), kSalva, kClose}, {},
         std::vector<Record>{{53, "Reykjavik", "0", ""}}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"same text typed again", Variant::Zones, {name(0, "Roma"), kSalva, kClose}, {},
         std::vector<Record>{}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"class typed", Variant::Classes, {value(52, "3"), kSalva, kClose}, {},
         std::vector<Record>{{52, "Lima", "3", "-5"}}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"class emptied", Variant::Classes, {value(0, ""), kSalva, kClose}, {},
         std::vector<Record>{{0, "Roma", "0", "+1"}}, std::nullopt, 0, true, {"fusi.tmp", "fusi.dat"}},
        {"class emptied, close, Yes", Variant::Classes, {value(0, ""), kClose}, {true},
         std::vector<Record>{{0, "Roma", "0", "+1"}}, std::nullopt, 1, true, {"fusi.dat"}},
        {"class editor, two saves", Variant::Classes,
         {name(16, "Sidney"), kSalva, value(16, "1"), kSalva, kClose}, {},
         std::vector<Record>{{16, "Sidney", "1", "+10"}}, std::nullopt, 0, true,
         {"fusi.tmp", "fusi.tmp", "fusi.dat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sequence);
        dir.write(kZoneFile, original);
        std::filesystem::remove(dir / kStagedZoneFile);
        program.tick();
        ASSERT_FALSE(reloadRequested());
        platform.writes.clear();
        platform.questions.clear();
        platform.answers.assign(c.answers.begin(), c.answers.end());

        ZoneEditor editor(program, c.variant);
        editor.open();
        run(editor, c.steps);

        EXPECT_EQ(FirstDifference(dir.read(kZoneFile), c.dat ? originalWith(*c.dat) : original), "");
        EXPECT_EQ(dir.exists(kStagedZoneFile), c.tmp.has_value());
        if (c.tmp) {
            EXPECT_EQ(FirstDifference(dir.read(kStagedZoneFile), originalWith(*c.tmp)), "");
        }
        EXPECT_EQ(platform.questions.size(), std::size_t(c.questions));
        EXPECT_EQ(reloadRequested(), c.reload);
        EXPECT_EQ(platform.writes, c.writes);
        EXPECT_TRUE(platform.fatalFiles.empty());
    }
}

TEST_F(ZoneEditorTest, SaveQuestionTextAndTitle) {
    struct TitleRecorder : RecordingPlatform {
        std::string title;
        bool askYesNo(const std::string& text, const std::string& t) override {
            title = t;
            return RecordingPlatform::askYesNo(text, t);
        }
    } recorder;
    Program other(recorder, dir.path());
    ZoneEditor editor(other, Variant::Zones);
    editor.open();
    run(editor, {name(0, "Rome"), kClose});
    ASSERT_EQ(recorder.questions.size(), 1u);
    EXPECT_EQ(recorder.questions[0], "Salvare i cambiamenti effettuati?");
    EXPECT_EQ(recorder.title, " Avviso!");
}

TEST_F(ZoneEditorTest, EverySaveBeeps) {
    ZoneEditor editor(program, Variant::Zones);
    editor.open();
    platform.answers = {true};
    run(editor, {name(0, "Rome"), kSalva, name(0, "Roma"), kSalva, name(0, "Rom"), kClose});
    EXPECT_EQ(platform.beeps, 3);   // two Salva and the direct save
}

// Form6 recolours a name when its class is saved, not while it is typed;
// the box of an emptied class stays empty although "0" is saved.
TEST_F(ZoneEditorTest, ClassEditorRecoloursAtSalva) {
    ZoneEditor editor(program, Variant::Classes);
    editor.open();
    const auto& v = editor.view();
    editor.valueChanged(0, "2");
    EXPECT_EQ(v.text2[0].textColour, rgb(0, 255, 255));
    editor.valueChanged(1, "");
    editor.salva();
    EXPECT_EQ(v.text2[0].textColour, rgb(255, 0, 0));
    EXPECT_EQ(v.text2[1].textColour, rgb(0, 255, 0));
    EXPECT_EQ(v.text1[1].caption, "");
    EXPECT_EQ(editor.table()[1].zoneClass, "0");
}

// ---------------------------------------------------------------- Faults

// A write or the commit failing ends the program with the file named, and
// fusi.dat keeps a complete table: the one before, or the staged one once
// it was committed.
TEST_F(ZoneEditorTest, AFailedWriteOrCommitLosesNothing) {
    enum class Fault { WriteTmp, WriteDat, Rename };
    struct Case {
        const char* when;
        Fault fault;
        std::vector<Step> steps;
        std::vector<Step> faulted;   // steps run with the fault in place
        const char* fatalFile;
        bool datIsStaged;            // else the installed file
        int questions;
    };
    const Case cases[] = {
        {"first Salva", Fault::WriteTmp, {name(3, "Lima")}, {kSalva}, "fusi.tmp", false, 0},
        {"second Salva", Fault::WriteTmp, {name(3, "Lima"), kSalva, name(1, "London")}, {kSalva, kClose},
         "fusi.tmp", false, 0},
        {"commit", Fault::Rename, {name(3, "Lima"), kSalva, name(1, "London")}, {kClose}, "fusi.dat", false, 0},
        {"direct save after commit", Fault::WriteDat, {name(3, "Lima"), kSalva, name(1, "London")}, {kClose},
         "fusi.dat", true, 1},
        {"direct save", Fault::WriteDat, {name(3, "Lima")}, {kClose}, "fusi.dat", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        WorkDir work;
        RecordingPlatform fresh;
        fresh.answers = {true};
        Program running(fresh, work.path());
        ASSERT_TRUE(running.startUp());
        ZoneEditor editor(running, Variant::Zones);
        editor.open();
        run(editor, c.steps);
        const bool staged = work.exists(kStagedZoneFile);
        const std::string stagedBytes = work.read(kStagedZoneFile);

        switch (c.fault) {
        case Fault::WriteTmp:
        case Fault::WriteDat: {
            const std::string target = c.fault == Fault::WriteTmp ? kStagedZoneFile : kZoneFile;
            SetWriteFaultForTesting([target](const std::filesystem::path& p) { return p.filename() == target; });
            break;
        }
        case Fault::Rename:
            // A directory in the place of the staged file: the rename is refused.
            std::filesystem::remove(work / kStagedZoneFile);
            std::filesystem::create_directory(work / kStagedZoneFile);
            break;
        }
        run(editor, c.faulted);
        SetWriteFaultForTesting(nullptr);

        EXPECT_TRUE(running.failed());
        EXPECT_EQ(fresh.fatalFiles, std::vector<std::string>{c.fatalFile});
        EXPECT_EQ(FirstDifference(work.read(kZoneFile), c.datIsStaged ? stagedBytes : original), "");
        if (c.fault == Fault::WriteTmp && staged) {
            EXPECT_EQ(FirstDifference(work.read(kStagedZoneFile), stagedBytes), "");   // the earlier staged table survives
        }
        EXPECT_EQ(fresh.questions.size(), std::size_t(c.questions));
        EXPECT_TRUE(ReadZoneTable(work / kZoneFile)[0].name == "Roma");   // still a whole table
    }
}

TEST_F(ZoneEditorTest, AMissingTableEndsTheProgramAtOpening) {
    std::filesystem::remove(dir / kZoneFile);
    ZoneEditor editor(program, Variant::Classes);
    editor.open();
    EXPECT_TRUE(program.failed());
    EXPECT_EQ(platform.fatalFiles, std::vector<std::string>{"fusi.dat"});
}

} // namespace
} // namespace vemar
