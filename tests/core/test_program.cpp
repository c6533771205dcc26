// Start-up and shut-down over real files, the window's commands, colour schemes and fusi.tz: shown and written.

#include "testsupport.h"

#include "core/time/systemzones.h"

#include <sys/stat.h>

namespace vemar {
namespace {

using test::ExpectShown;
using test::RecordingPlatform;
using test::WorkDir;
using Strings = std::vector<std::string>;

using ProgramTest = test::ProgramTest;

// Start-up removes killed writes' temporaries (".seg.dat.a1B2c3") of its own files alone; garbage seg.dat: defaults;
// page 1 shown, the title and the File menu switch pages, each page's own item off.
TEST_F(ProgramTest, StartUpRemovesStaleTemporariesSurvivesGarbageAndShowsPage1) {
    const Strings stale = {".seg.dat.a1B2c3", ".fusi.tmp.zzzzzz", ".fusi.dat.Q9w8E7", ".lxp2.par.000000",
                           ".Parleg.dat.aaaaaa", ".fusi.tz.Xy12Zt", ".car.tip.k3j4h5", ".casa.tz.AbCdEf"};
    const Strings kept = {".lxp2.par.short", "notes.txt", ".notes.txt.a1B2c3"};
    for (const Strings& names : {stale, kept}) for (const auto& name : names) dir.write(name, "x");
    dir.write("seg.dat", "\"abc\",\"\x01\x02\",,zz\r\n");
    ASSERT_TRUE(program->startUp());
    for (const auto& name : stale) EXPECT_FALSE(dir.exists(name)) << name;
    for (const auto& name : kept) EXPECT_TRUE(dir.exists(name)) << name;
    EXPECT_EQ((std::array{state().display.signalOn, state().display.screenColour}), (std::array{0, 0}));
    for (int turn = 0; int page : {1, 2, 1, 2, 1}) {   // the title turns the page twice, then menu items 3 and 2
        program->tick();
        ExpectShown(view(), {"SSPanel7.caption=- Tabella " + std::to_string(page) + " -   Fusi Orari",
                             page == 1 ? "Label1(0).caption=Roma" : "Label1(0).caption=Lisbona", "Text1.backColour=15",
                             "Form1.textColour=15", "tabel(2).enabled=" + std::to_string(page != 1),
                             "tabel(3).enabled=" + std::to_string(page == 1)});
        turn++ < 2 ? program->pageSwitchClick() : program->tableMenuClick(turn == 3 ? 3 : 2);
    }
}

// A required file damaged or missing, or an optional one no file, ends the program naming it (car.tip: first tick).
TEST(ProgramFaults, ABadFileEndsTheProgramNamingIt) {
    const std::string kAbsent = "<absent>", kDirectory = "<directory>";
    struct Case { const char* file; std::string bytes; };
    const Case cases[] = {
        {"lxp2.par", "41,54,-12\r\n"}, {"lxp2.par", kAbsent},
        {"Parleg.dat", "2,4,0,12,4,0\r\n"}, {"Parleg.dat", kAbsent},
        {"fusi.dat", "\"Kh\",\"*\",\"$*\"\r\n"}, {"fusi.dat", std::string(54, '\xFA')}, {"fusi.dat", kAbsent},
        {"seg.dat", kDirectory}, {"car.tip", kDirectory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.bytes);
        WorkDir dir;
        std::filesystem::remove(dir / c.file);
        if (c.bytes == kDirectory) std::filesystem::create_directory(dir / c.file);
        else if (c.bytes != kAbsent) dir.write(c.file, c.bytes);
        RecordingPlatform platform;
        Program program(platform, dir.path());
        if (program.startUp()) program.tick();
        EXPECT_EQ(std::pair(program.failed(), platform.fatalFiles), std::pair(true, Strings{c.file}));
        if (c.bytes == kDirectory) { EXPECT_EQ(platform.fatalMessages, Strings{"non è un file regolare"}); }
    }
}

// At a session's end seg.dat (signal, its memory, three colours) is written as shut-down would; nothing else changes.
TEST(ProgramSessionEnd, SavesWhatShutDownWouldAndChangesNothing) {
    struct Case { const char* why; std::function<void(Program&)> edit; std::array<int, 5> stored; };
    const Case cases[] = {
        {"first start, nothing changed", [](Program&) {}, {0, 0, 7, 7, 0}},
        {"all three grey", [](Program& p) {
             p.colours().screenColourClick(7); p.colours().timesColourClick(7); p.colours().citiesLightGreyClick();
         }, {0, 0, 7, 7, 7}},
        {"signal, times red", [](Program& p) { p.signalClick(), p.colours().timesColourClick(4); }, {1, -1, 0, 4, 0}},
        {"signal twice, blue", [](Program& p) { p.signalClick(); p.signalClick(); p.colours().screenColourClick(1); },
         {0, 0, 1, 0, 0}},
        // The scheme is kept although the window shows grey; it is saved grey.
        {"original over blue", [](Program& p) { p.colours().screenColourClick(1); p.colours().originalColoursClick(); },
         {0, 0, 7, 7, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::Started started;
        Program& program = started.program;
        c.edit(program);
        const SharedState& s = program.state();
        const std::array before{s.display.screenColour, s.display.timesColour, s.display.coloursChanged};
        ASSERT_TRUE(program.saveDisplaySettings());
        const auto saved = *ReadDisplaySettings(started.dir / kDisplayFile);
        EXPECT_EQ((std::array{saved.signalOn, saved.signalToggle, saved.screenColour, saved.timesColour, saved.citiesColour}), c.stored);
        EXPECT_EQ((std::array{s.display.screenColour, s.display.timesColour, s.display.coloursChanged}), before);
        EXPECT_FALSE(program.shutDownStarted());
        const std::string sessionBytes = started.dir.read("seg.dat");
        ASSERT_TRUE(program.shutDown());
        EXPECT_TRUE(program.shutDownStarted());
        EXPECT_EQ(started.dir.read("seg.dat"), sessionBytes);
    }
}

// seg.dat is rewritten whenever what a close would write differs; a failed write warns once a change, ends nothing.
TEST(ProgramKeepsDisplaySettings, WritesOnlyWhatChangedAndSurvivesAFailedWrite) {
    struct Case { const char* why; bool closedBefore; std::function<void(Program&)> edit; Strings writes; };
    const Case cases[] = {
        {"first start: the close's grey scheme at once", false, [](Program&) {}, {"seg.dat"}},
        {"after a close, nothing changed", true, [](Program&) {}, {}},
        {"a blue window", true, [](Program& p) { p.colours().screenColourClick(1); }, {"seg.dat"}},
        {"signal on", true, [](Program& p) { p.signalClick(); }, {"seg.dat"}},
        {"date markers", true, [](Program& p) { p.setDateSymbols("#", "@"); }, {"seg.dat"}},
        {"page 2 is not stored", true, [](Program& p) { p.pageSwitchClick(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::Started first;
        if (c.closedBefore) { ASSERT_TRUE(first.program.shutDown()); }
        RecordingPlatform platform;
        Program program(platform, first.dir.path());
        ASSERT_TRUE(program.startUp());
        c.edit(program);
        program.keepDisplaySettingsCurrent(), program.keepDisplaySettingsCurrent();   // the second finds nothing new
        EXPECT_EQ(platform.writes, c.writes);
        const std::string kept = first.dir.read("seg.dat");
        ASSERT_TRUE(program.shutDown());
        EXPECT_EQ(kept, first.dir.read("seg.dat"));
    }
    test::Started run;
    SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
    for (int colour : {1, 1, 2})
        run.program.colours().screenColourClick(colour), run.program.keepDisplaySettingsCurrent();
    SetWriteFaultForTesting(nullptr);
    EXPECT_FALSE(run.program.failed());
    EXPECT_EQ(run.platform.warnings,
              Strings(2, "seg.dat: scrittura non riuscita: spazio esaurito sul disco; si riproverà alla chiusura"));
}

// Whatever memory seg.dat holds for the signal button, one click turns the stored signal over; only 1 sounds.
TEST_F(ProgramTest, OneClickTurnsTheStoredSignalOver) {
    struct Case { int signalOn, toggle; bool onAfterClick; };
    const Case cases[] = {
        {1, -1, false}, {0, 0, true},    // as the program saves them
        {0, 5, true},   {1, 7, false},   // above 0: every click was lost
        {1, -3, false}, {0, -2, true},   // below -1: the first clicks were
        {0, -1, true},  {1, 0, false},   // disagreeing: the first click was lost
        {2, -1, true},                   // a signal that does not sound is off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.signalOn) + "," + std::to_string(c.toggle));
        WriteDisplaySettings(dir / kDisplayFile, {c.signalOn, c.toggle, 2, 4, 7, 1, 12, "*", "°"}), restart();
        program->signalClick();
        EXPECT_EQ(state().display.signalOn == 1, c.onAfterClick);
        EXPECT_EQ(std::pair(view().menu.segnale.checked, view().signalButton.textColour),
                  std::pair(c.onAfterClick, palette(c.onAfterClick ? 4 : 0)));   // red while on
        ASSERT_TRUE(program->shutDown());
        const int on = c.onAfterClick;
        EXPECT_EQ(*ReadDisplaySettings(dir / kDisplayFile), (DisplaySettings{on, -on, 2, 4, 7, 1, 12, "*", "°"}));
    }
}

// Command1 after the edit, the question at shut-down, the files written, lxp2.par's zone (field 5, negated).
TEST(ProgramShutDown, AsksOnlyWhenZoneOrHemisphereChanged) {
    struct Case { const char* why; std::function<void(Program&)> edit; bool saveEnabled, asked, answer; int zoneInFile; };
    const Case cases[] = {
        {"nothing changed", [](Program&) {}, false, false, false, -1},
        {"zone up and back", [](Program& p) { p.upDownClick(+1); p.upDownClick(-1); }, false, false, false, -1},
        {"south and back north", [](Program& p) { p.hemisphereClick(Hemisphere::South); p.hemisphereClick(Hemisphere::North); },
         false, false, false, -1},
        {"zone changed, Yes", [](Program& p) { p.upDownClick(+1); }, true, true, true, -2},
        {"zone changed, No", [](Program& p) { p.upDownClick(+1); }, true, true, false, -1},
        {"zone changed then saved", [](Program& p) { p.upDownClick(+1); p.saveZoneClick(); }, false, false, false, -2},
        // The hemisphere option sets Command1 by its own test alone.
        {"zone changed, north clicked again", [](Program& p) { p.upDownClick(+1); p.hemisphereClick(Hemisphere::North); },
         false, true, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::Started started({}, {c.answer});
        c.edit(started.program);
        EXPECT_EQ(started.program.view().saveZoneButton.enabled, c.saveEnabled);
        started.platform.writes.clear();
        ASSERT_TRUE(started.program.shutDown());
        EXPECT_EQ(started.platform.questions, c.asked ? Strings{"Salvare i Cambiamenti sul fuso orario?"} : Strings{});
        EXPECT_EQ(started.platform.writes, (c.answer ? Strings{"seg.dat", "lxp2.par"} : Strings{"seg.dat"}));
        EXPECT_EQ(ReadFields(started.dir.read("lxp2.par"), 18)[4].text, std::to_string(c.zoneInFile));
    }
}

// Summer time switched by hand alone; the zone box or UpDown1 (typed nullptr) from zone +1; the south saved negative.
TEST_F(ProgramTest, ZoneBoxFiltersClampsAndWrapsSouthIsSavedAndSummerTimeByHand) {
    struct Step { const char* typed; int click; const char* shown; int zone; };
    const Step steps[] = {
        {"1a3", 0, "12", 12}, {"-15", 0, "-12", -12},   // letters dropped, then clamped
        {"-", 0, "-", 0},       // a lone minus sign reads as 0 and stays on screen
        {" 5", 0, "5", 5}, {"-7x", 0, "-7", -7}, {"99999999999999999999", 0, "12", 12},
        {"", 0, "", 12},        // an empty box leaves the zone as it is
        {nullptr, +1, "-12", -12}, {nullptr, -1, "12", 12}, {"0", 0, "0", 0}, {nullptr, -1, "-1", -1},   // wraps at 12
    };
    ASSERT_TRUE(program->startUp());
    program->dstSwitchClick();   // automatic summer time: the click does nothing
    EXPECT_EQ(std::tuple(view().summerTimeButton.caption, platform.writes), std::tuple("Ora Legale", Strings{}));
    for (const Step& c : steps) {
        SCOPED_TRACE(c.typed ? c.typed : "UpDown1");
        c.click ? program->upDownClick(c.click) : program->zoneBoxChanged("");
        for (const char* key = c.typed; key && *key; ++key) program->zoneBoxChanged(view().zoneBox.caption + *key);
        EXPECT_EQ(std::tuple(view().zoneBox.caption, state().site.zoneOffset.count(), view().saveZoneButton.enabled),
                  std::tuple(std::string(c.shown), c.zone, c.zone != 1));
    }
    program->zoneBoxChanged("-5"), program->hemisphereClick(Hemisphere::South);
    EXPECT_EQ((std::array{state().site.latDegrees, state().site.latMinutes}), (std::array{-41.0, -54.0}));
    ExpectShown(view(), {"Option2.checked=1", "Option1.checked=0",
                    "SSPanel6.caption=Ora Legale dal 27 Ottobre 2024 al 30 Marzo 2025     (Emisfero Australe)"});
    program->saveZoneClick();
    EXPECT_EQ(std::pair(platform.beeps, view().saveZoneButton.enabled), std::pair(1, false));
    EXPECT_EQ(dir.read("lxp2.par"), "-41,-54,-12,-29,5,,0,,,0,,0,,,2,1,0,1\r\n");   // 21 June: southern winter
    program->hemisphereClick(Hemisphere::North);
    EXPECT_EQ((std::array{state().site.latDegrees, state().site.latMinutes}), (std::array{41.0, 54.0}));
    // By hand it starts as lxp2.par's caption field says (an unknown hemisphere ignores the window); clicks save.
    dir.write("lxp2.par", "41,54,-12,-29,-1,,1,,,0,,0,,,0,1,0,0\r\n"), restart();
    EXPECT_EQ(view().summerTimeButton.caption, "Ora Solare");
    program->dstSwitchClick();
    EXPECT_EQ(std::pair(view().summerTimeButton.caption, dir.read("lxp2.par")),
              std::pair(std::string("Ora Legale"), std::string("41,54,-12,-29,-1,,1,,,0,,0,,,0,0,0,0\r\n")));
    program->dstSwitchClick();
    EXPECT_EQ(dir.read("lxp2.par"), "41,54,-12,-29,-1,,0,,,0,,0,,,0,1,0,0\r\n");
}

// From seg.dat's scheme (window, times, cities, changed), colour commands: what is shown, and the scheme after.
TEST_F(ProgramTest, ColourSchemes) {
    using Clicks = std::function<void(ColourScheme&)>;
    struct Case { const char* why; std::array<int, 4> seg; Clicks clicks; Strings shown; std::array<int, 4> inForce; };
    const Case cases[] = {
        {"grey window after a dark one: the legend's design colours", {0, 0, 0, 0},
         [](ColourScheme& c) { c.screenColourClick(4); c.screenColourClick(7); },
         {"Label4.textColour=1", "Label5.textColour=4", "Label6.textColour=5", "Option1.textColour=0",
          "grigio.enabled=0", "Rscuro.enabled=1", "colorig.enabled=1"}, {7, 0, 0, 1}},
        {"a dark window: the legend, the place's options and the sky's sentences in light colours", {0, 0, 0, 0},
         [](ColourScheme& c) { c.screenColourClick(4); }, {"Label4.textColour=11", "Label5.textColour=12",
          "Label6.textColour=13", "Option1.textColour=15", "Label2(33).textColour=14"}, {4, 0, 0, 1}},
        {"all three grey ends the changed scheme", {1, 1, 0, 1},
         [](ColourScheme& c) { c.screenColourClick(7); c.timesColourClick(7); c.citiesLightGreyClick(); },
         {"colorig.enabled=0"}, {7, 7, 7, 0}},
        {"original colours: scheme kept behind grey", {1, 4, 0, 1}, [](ColourScheme& c) { c.originalColoursClick(); },
         {"Form1.backColour=7", "Label2(0).backColour=7", "Label2(0).textColour=0", "colorig.enabled=0",
          "Annulla.enabled=1", "SSPanel1(0).caption=*", "SSPanel1(3).caption=°"}, {1, 4, 7, 0}},
        {"undo brings back the scheme and its menus", {7, 4, 0, 1},
         [](ColourScheme& c) { c.originalColoursClick(); c.undoColoursClick(); },
         {"grigio.enabled=0", "Rscuro2.enabled=0", "Nero.enabled=0", "Gric.enabled=1", "Annulla.enabled=0",
          "colorig.enabled=1", "Label2(3).backColour=4", "Label1(3).backColour=0"}, {7, 4, 0, 1}},
        {"black cities after original colours disable undo", {0, 0, 0, 0},
         [](ColourScheme& c) { c.screenColourClick(2); c.originalColoursClick(); c.citiesBlackClick(); },
         {"Annulla.enabled=0", "Label1(0).backColour=0", "Form1.backColour=7", "Label2(0).backColour=7"}, {2, 0, 0, 1}},
        {"light grey cities in between replace the saved city colour", {2, 2, 0, 1},
         [](ColourScheme& c) { c.originalColoursClick(); c.citiesLightGreyClick(); c.undoColoursClick(); },
         {"Label1(0).backColour=7"}, {2, 2, 7, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        WriteDisplaySettings(dir / kDisplayFile, {0, 0, c.seg[0], c.seg[1], c.seg[2], c.seg[3], 0, "*", "°"});
        restart(), c.clicks(program->colours());
        for (const std::string& row : c.shown) ExpectShown(program->view(), {row});
        const SharedState& now = state();
        EXPECT_EQ((std::array{now.display.screenColour, now.display.timesColour, now.display.citiesColour, now.display.coloursChanged}), c.inForce);
    }
}

// A damaged fusi.tz or no database stops nothing: a warning per bad line a load, that row on its class, the file kept.
TEST_F(ProgramTest, DamagedCityZonesWarnAndKeepRowsOnTheirClasses) {
    struct Case { const char* why; std::string content, warning; bool londonFollows; int warnings = 2; };
    const std::string keeps = "; la città segue la sua classe", all = "; ogni città segue la sua classe";
    const std::string london = "Londra\tEurope/London\n";
    std::vector<Case> cases = {
        {"unknown zone", "Roma\tEurope/Roma\n" + london, "fusi.tz, riga 1: fuso sconosciuto Europe/Roma" + keeps, true},
        {"no tab", "Roma Europe/Rome\n" + london, "fusi.tz, riga 1: manca la tabulazione fra nome e fuso" + keeps, true},
        {"zero byte", std::string("Roma\tEurope/Rome\0\n", 18) + london, "fusi.tz, riga 1: carattere nullo" + keeps, true},
        {"not UTF-8", "Roma\tEurope/R\xF6me\n" + london, "fusi.tz, riga 1: testo non UTF-8" + keeps, true},
        {"200 KiB", london + std::string(200 * 1024, '#'), "fusi.tz: file troppo grande" + all, false},
        {"a FIFO", "", "fusi.tz: non è un file regolare" + all, false},
        {"no database", london, "fusi.tz: nessun database dei fusi orari (pacchetto tzdata): none here" + all, false, 1},
    };
    // Files of the database's folder that are no zone of it: the machine's own time, other rules, paths.
    for (const char* zone : {"localtime", "posixrules", "Factory", "right/Europe/Rome", "posix/Europe/Rome",
                             "Europe/../Europe/Rome", "../zoneinfo/Europe/Rome", "/usr/share/zoneinfo/Europe/Rome"})
        cases.push_back({zone, "Roma\t" + std::string(zone) + "\n" + london,
                         "fusi.tz, riga 1: fuso sconosciuto " + std::string(zone) + keeps, true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (!c.content.empty()) dir.write(kCityZonesFile, c.content);
        else { ASSERT_EQ(mkfifo((dir / kCityZonesFile).c_str(), 0600), 0); }   // each row removes its file at the end
        restart();
        test::FixedZones none;
        none.failureText = "none here";
        SystemZoneDatabase system;
        program->attachZoneDatabase(c.warnings == 1 ? static_cast<const ZoneDatabase&>(none) : system);
        program->tick(), program->requestReload(), program->tick();
        EXPECT_EQ(platform.warnings, Strings(c.warnings, c.warning));
        EXPECT_EQ(std::tuple(program->cities().zone(0), program->cities().zone(1), program->failed()),
                  std::tuple("", c.londonFollows ? "Europe/London" : "", false));
        if (!c.content.empty()) { EXPECT_EQ(dir.read(kCityZonesFile), c.content); }
        std::filesystem::remove(dir / kCityZonesFile);
    }
}

} // namespace
} // namespace vemar
