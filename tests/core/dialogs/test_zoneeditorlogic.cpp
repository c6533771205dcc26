// The zone table editors: boxes, opening, what any run of edits, Salva, Annulla and closing leaves; failed saves.

#include "core/dialogs/paramsdialoglogic.h"
#include "core/dialogs/ruledialoglogic.h"
#include "core/dialogs/zoneeditorlogic.h"
#include "core/time/systemzones.h"
#include "core/texts.h"
#include "../testsupport.h"

#include <cstdlib>
#include <functional>
#include <random>

namespace vemar {
namespace {

using Variant = ZoneEditorLogic::Variant;
using Step = std::function<void(ZoneEditorLogic&)>;
Step name(int row, const char* text) { return [=](ZoneEditorLogic& e) { e.nameChanged(row, text); }; }
Step value(int row, const char* text) { return [=](ZoneEditorLogic& e) { e.valueChanged(row, text); }; }
const Step kSalva = &ZoneEditorLogic::salva, kClose = &ZoneEditorLogic::close;

// fusi.tz as the dictionary reads it: name -> zone, or "-" for its class.
std::map<std::string, std::string> Zones(const std::string& content) {
    std::map<std::string, std::string> zones;
    for (const auto& [name, entry] : ParseCityZones(content).entries) zones[name] = entry.zone;
    return zones;
}

class ZoneEditorTest : public test::ProgramTest {
protected:
    void SetUp() override { ASSERT_TRUE(program->startUp()); original = ReadZoneTable(dir / kZoneFile); }
    // The installed fusi.dat, this fusi.tz, no fusi.tmp; restarted on the system's zones.
    void startOver(const std::string& zones) {
        WriteZoneTable(dir / kZoneFile, original), dir.write(kCityZonesFile, zones);
        std::filesystem::remove_all(dir / kStagedZoneFile);
        restart(), program->attachZoneDatabase(database);
        program->tick();   // loads the table: no reload pending from here on
        platform = test::RecordingPlatform();
    }
    ZoneTable original;
    SystemZoneDatabase database;
};

// Name: first 13 characters, then only spaces and codes 64..122; offset: signs, digits, within 12 h; class: 0..3.
TEST_F(ZoneEditorTest, WhatEachBoxKeeps) {
    const ZoneEditorLogic zones(*program, Variant::Zones), classes(*program, Variant::Classes);
    enum Box { Name, Offset, Class };
    struct Case { Box box; const char* typed; const char* kept; };
    const Case cases[] = {
        {Name, "Città 1", "Citt "},             // the accented letter goes whole, the digit too
        {Name, "@[\\]^_`az", "@[\\]^_`az"},     // the edges of the range stay
        {Name, "?{|}~", ""}, {Name, "Sa'o-Paulo!", "SaoPaulo"},   // 63, 123..126 and other signs go
        {Name, "Abcdefghijklmnop", "Abcdefghijklm"}, {Name, "àbcdefghijklmnop", "bcdefghijklm"},   // the accent counts
        {Offset, "13", "12"}, {Offset, "-13", "-12"}, {Offset, "012", "012"}, {Offset, "-012", "-012"},
        {Offset, "1a3", "12"}, {Offset, "+5", "+5"}, {Offset, "-", "-"}, {Offset, "+-", "+-"}, {Offset, "h", ""},
        {Offset, "-5+9", "-5+9"}, {Offset, "99999999999999999999999", "12"},   // the value ends at the second sign; no overflow
        {Class, "/", "0"}, {Class, "4", "3"}, {Class, "29", "2"}, {Class, "é", "3"}, {Class, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.box == Name ? zones.filterName(c.typed) : (c.box == Offset ? zones : classes).filterValue(c.typed), c.kept) << c.typed;
    EXPECT_EQ(std::pair(zones.valueLength(), classes.valueLength()), std::pair(0, 1)) << "the window's limit: none on an offset";
}

// Filled as if typed, offsets with a plus; known classes colour names; a tooltip: the zone until its time is edited.
TEST_F(ZoneEditorTest, OpeningFillsTheBoxesAsIfTyped) {
    struct Case { ZoneRow stored; const char* name; const char* offset; const char* zoneClass; Rgb colour; };
    const Case cases[] = {
        {{"Ab1c", "7", "05"}, "Abc", "+5", "3", kNameDefaultText}, {{"Oslo", "", "30"}, "Oslo", "12", "", kNameDefaultText},
        {{"Reykjavik", "0", ""}, "Reykjavik", "0", "0", rgb(0, 255, 0)}, {{"Lima", "1", "-5"}, "Lima", "-5", "1", rgb(0, 255, 255)},
        {{"Delhi", "2", "+5"}, "Delhi", "+5", "2", rgb(255, 0, 0)}, {{"Sydney", "3", "+10"}, "Sydney", "+10", "3", rgb(255, 0, 255)},
        {{"Tokyo", "01", "-0"}, "Tokyo", "0", "0", kNameDefaultText},   // one character or no colour
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) original[row] = cases[row].stored;
    startOver("Lima\tAmerica/Lima\nKathmandu\tAsia/Kathmandu\n");
    ZoneEditorLogic zones(*program, Variant::Zones), classes(*program, Variant::Classes);
    zones.open(), classes.open();
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        for (const ZoneEditorView& v : {zones.view(), classes.view()})
            EXPECT_EQ(std::pair(v.nameBoxes[row].caption, v.nameBoxes[row].textColour), std::pair(std::string(c.name), c.colour));
        EXPECT_EQ(std::pair(zones.view().valueBoxes[row].caption, classes.view().valueBoxes[row].caption),
                  std::pair(std::string(c.offset), std::string(c.zoneClass))) << c.name;
    }
    EXPECT_FALSE(zones.view().salvaButton.enabled);
    const auto tooltips = [&] { return std::pair(zones.view().nameBoxes[0].tooltip, zones.view().nameBoxes[3].tooltip); };
    EXPECT_EQ(tooltips(), std::pair(std::string(" Abc +5h "), std::string(" Lima -5h America/Lima ")));
    zones.nameChanged(0, "Kathmandu"), zones.valueChanged(3, "-4");
    EXPECT_EQ(tooltips(), std::pair(std::string(" Kathmandu +5:45h Asia/Kathmandu "), std::string(" Lima -4h ")));
    // A name box is named by its row, a value box by the city it sets, and by its row while the name is blank.
    classes.nameChanged(2, "  ");
    EXPECT_EQ((std::array{zones.view().valueBoxes[0].accessibleName, classes.view().valueBoxes[2].accessibleName,
                          classes.view().nameBoxes[2].accessibleName}),
              (std::array<std::string, 3>{"Fuso orario di Kathmandu", "Tipo della riga 3", "Città della riga 3"}));
    classes.valueChanged(0, "2");   // a class typed colours its name once saved
    EXPECT_EQ(classes.view().nameBoxes[0].textColour, kNameDefaultText);
    classes.salva();
    EXPECT_EQ(classes.view().nameBoxes[0].textColour, rgb(255, 0, 0));
}

// The editor's rules apart from it: Salva stages fusi.tmp, a close commits it or asks; a moved zone row leaves fusi.tz.
struct EditorModel {
    Variant variant = Variant::Zones;
    ZoneTable dat{}, read{}, boxes{};          // fusi.dat; what the editor read; what its boxes show
    std::optional<ZoneTable> tmp{};            // fusi.tmp
    std::map<std::string, std::string> tz{};   // fusi.tz
    bool salva = false, annulla = false, pending = false;   // the buttons; a staged table to commit
    std::vector<std::string> effects{};

    std::string& value(int i) { return variant == Variant::Zones ? boxes[i].offset : boxes[i].zoneClass; }
    void open() {
        read = boxes = dat, salva = annulla = false;
        if (variant == Variant::Zones) for (ZoneRow& row : boxes) row.offset = OffsetBoxText(row.offset);
    }
    void edit(int i, bool name, const std::string& text) { (name ? boxes[i].name : value(i)) = text, salva = annulla = true; }
    ZoneTable inBoxes() const {   // an emptied class box is saved as class 0
        ZoneTable table = boxes;
        for (ZoneRow& row : table) row.zoneClass = variant == Variant::Classes && row.zoneClass.empty() ? "0" : row.zoneClass;
        return table;
    }
    void doSalva() {
        if (salva) tmp = inBoxes(), pending = true, salva = false, effects.insert(effects.end(), {"write fusi.tmp", "beep"});
    }
    void doAnnulla() { if (annulla) pending = false, open(); }
    void save(const ZoneTable& saved) {
        bool leaves = false;
        for (int i = 0; i < kZoneRows; ++i) {
            const auto entry = tz.find(saved[i].name);
            if (entry != tz.end() && entry->second != "-" &&
                (std::atoi(saved[i].offset.c_str()) != std::atoi(read[i].offset.c_str()) || saved[i].zoneClass != read[i].zoneClass))
                entry->second = "-", leaves = true;
        }
        if (leaves) effects.push_back("write fusi.tz");
        effects.push_back("write fusi.dat"), dat = saved;
    }
    void close(bool yes) {
        if (pending) save(*tmp), tmp.reset(), pending = false;
        if (salva) effects.push_back("question " + std::string(texts::kSaveEditsQuestion));
        if (salva && yes) save(inBoxes()), effects.push_back("beep");
    }
    std::string zoneOf(int row) const { const auto z = tz.find(dat[row].name); return z == tz.end() || z->second == "-" ? "" : z->second; }
};

TEST_F(ZoneEditorTest, EverySequenceLeavesWhatTheModelSays) {
    const std::string zones = "Roma\tEurope/Rome\nBerlino\tEurope/Berlin\nKathmandu\tAsia/Kathmandu\n"
                              "Lima\tAmerica/Lima\nLondra\t-\n";
    const int rows[] = {0, 1, 3, 16, 52};
    const char* names[] = {"Roma", "Lima", "Kathmandu", "Rome", "Nowhere", ""};
    const char *offsets[] = {"+1", "+2", "-5", "0", ""}, *classes[] = {"0", "1", "2", "3", ""};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        startOver(zones);
        EditorModel model{.dat = original, .tz = Zones(zones)};
        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        std::unique_ptr<ZoneEditorLogic> editor;
        std::string history;
        for (int step = 0; step < 60; ++step) {
            if (!editor) {
                model.variant = pick(2) ? Variant::Zones : Variant::Classes;
                editor = std::make_unique<ZoneEditorLogic>(*program, model.variant), editor->open(), model.open();
                history += model.variant == Variant::Zones ? " | Fusi:" : " | Tipi:";
            }
            const int action = pick(10), row = rows[pick(5)];   // a name 4 times in 10, a value 3, Salva, Annulla, close
            const bool isName = action < 4, yes = pick(2);
            const std::string text = isName ? names[pick(6)] : model.variant == Variant::Zones ? offsets[pick(5)] : classes[pick(5)];
            if (action < 7) {
                isName ? editor->nameChanged(row, text) : editor->valueChanged(row, text);
                model.edit(row, isName, text);
                history += (isName ? " name " : " value ") + std::to_string(row) + "=" + text;
            } else if (action < 9) {
                action == 7 ? (editor->salva(), model.doSalva()) : (editor->annulla(), model.doAnnulla());
                history += action == 7 ? " Salva" : " Annulla";
            } else {
                platform.answers = {yes};
                editor->close(), model.close(yes), editor.reset(), program->tick(), history += yes ? " close(Yes)" : " close(No)";
            }
            SCOPED_TRACE("seed " + std::to_string(seed) + ":" + history);
            if (editor) {
                const ZoneEditorView& v = editor->view();
                ASSERT_EQ((std::array{v.salvaButton.enabled, v.annullaButton.enabled, editor->savePending()}),
                          (std::array{model.salva, model.annulla, model.pending}));
                for (int n : rows)
                    ASSERT_EQ(std::pair(v.nameBoxes[n].caption, v.valueBoxes[n].caption), std::pair(model.boxes[n].name, model.value(n)));
            } else {   // the main window follows the saved table from its next tick
                for (int n : rows) ASSERT_EQ(program->cities().zone(n), model.zoneOf(n)) << n;
            }
            ASSERT_EQ(ReadZoneTable(dir / kZoneFile), model.dat);
            ASSERT_EQ(dir.exists(kStagedZoneFile) ? std::optional(ReadZoneTable(dir / kStagedZoneFile)) : std::nullopt, model.tmp);
            ASSERT_EQ(Zones(dir.read(kCityZonesFile)), model.tz);
            ASSERT_EQ(platform.effects, model.effects);   // no fatal error, no warning
        }
    }
}

// A save failing on a full disk keeps any dialog open with its edits, says file and why; with room the button saves.
TEST_F(ZoneEditorTest, AFailedSaveKeepsTheDialogOpenWithItsEdits) {
    using Save = std::function<bool()>;   // the dialog's button: true once the save went through
    struct Case { const char* what; const char* failing; std::function<Save()> open; const char* reason; };
    const auto inEditor = [this](std::vector<Step> edits, bool closing) {
        return [=, this] {
            auto e = std::make_shared<ZoneEditorLogic>(*program, Variant::Zones);
            e->open();
            for (const Step& s : edits) s(*e);
            return Save([e, closing] { return closing ? e->close() : (e->salva(), !e->view().salvaButton.enabled); });
        };
    };
    const Case cases[] = {
        {"Salva, a second time", kStagedZoneFile, inEditor({name(3, "Lima"), kSalva, name(1, "London")}, false),
         "fusi.dat: copia provvisoria fusi.tmp, scrittura non riuscita"},
        {"closing commits the staged table", kCityZonesFile, inEditor({value(0, "+2"), kSalva}, true),
         "fusi.tz: scrittura non riuscita"},   // Roma leaves its zone first
        {"closing saves the edits, Yes", kZoneFile, inEditor({value(0, "+2")}, true), "fusi.dat: scrittura non riuscita"},
        {"Parametri: OK", kSiteFile, [this] {
             auto d = std::make_shared<ParamsDialogLogic>(*program);
             return d->load(), d->latitudeDegreesChanged("45"), Save([d] { return d->okClick(); });
         }, "lxp2.par: scrittura non riuscita"},
        {"Ora Legale: Ok", kRuleFile, [this] {
             auto d = std::make_shared<RuleDialogLogic>(*program);
             return d->load(), d->select(0, 4), Save([d] { return d->okClick(); });
         }, "Parleg.dat: scrittura non riuscita"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startOver("Roma\tEurope/Rome\n");
        platform.answers = {true, true};
        const Save save = c.open();
        const std::string before = dir.read(c.failing);
        SetWriteFaultForTesting([f = std::string(c.failing)](const std::filesystem::path& p) { return p.filename() == f; });
        EXPECT_FALSE(save());
        SetWriteFaultForTesting(nullptr);
        EXPECT_EQ(std::tuple(program->failed(), platform.fatalFiles.size(), dir.read(c.failing)), std::tuple(false, 0u, before));
        EXPECT_EQ(platform.saveFailures, std::vector<std::string>{std::string("Impossibile salvare ") + c.reason +
                                                                  ": spazio esaurito sul disco\n\n" + std::string(texts::kEditsKept)});
        EXPECT_TRUE(save());
        EXPECT_NE(dir.read(c.failing), before);
    }
}

} // namespace
} // namespace vemar
