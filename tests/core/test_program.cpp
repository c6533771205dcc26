// Start-up and shut-down over real files, the main window's commands and the
// colour schemes, each checked on what the window shows and what is written.

#include "core/files.h"
#include "core/palette.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace vemar {
namespace {

using test::RecordingPlatform;
using test::WorkDir;

class ProgramTest : public ::testing::Test {
protected:
    WorkDir dir;
    RecordingPlatform platform;
    Program program{platform, dir.path()};
    SharedState& s = program.state();
    MainView& v = program.view();

    // The shifted seg.dat of nine plain fields.
    void writeSeg(const std::array<std::string, 9>& plain) { WriteDisplaySettings(dir / "seg.dat", plain); }
    std::array<std::string, 9> readSeg() { return *ReadDisplaySettings(dir / "seg.dat"); }
    void type(const std::string& text) {
        // Character by character, as the box receives it.
        std::string box;
        program.text1Changed("");
        for (char c : text) {
            box = v.text1.caption + c;
            program.text1Changed(box);
        }
    }
};

TEST_F(ProgramTest, FirstStartWithoutSegDat) {
    ASSERT_TRUE(program.startUp());
    EXPECT_EQ(v.form.backColour, palette(0));
    EXPECT_EQ(v.label2[0].textColour, palette(15));
    EXPECT_EQ(v.label2[0].backColour, palette(0));
    EXPECT_EQ(v.label1[0].backColour, palette(0));
    EXPECT_EQ(v.ssCommand1.caption, "Segnale Orario Disattivato");
    EXPECT_EQ(v.ssCommand1.textColour, palette(0));
    EXPECT_FALSE(v.menu.nero.enabled);
    EXPECT_FALSE(v.menu.colorig.enabled);
    EXPECT_FALSE(v.menu.annulla.enabled);
    EXPECT_FALSE(v.menu.tabel2.enabled);
    EXPECT_TRUE(v.menu.tabel3.enabled);
    EXPECT_FALSE(v.menu.segnale.checked);
    EXPECT_EQ(v.text1.caption, "1");
    EXPECT_FALSE(v.command1.enabled);
    EXPECT_TRUE(v.option1.checked);
    EXPECT_EQ(v.ssPanel7.caption, "- Tabella 1 -   Fusi Orari");
    EXPECT_EQ(v.ssPanel6.caption, "Ora Legale dal 31 Marzo  al 27 Ottobre 2024     (Emisfero Boreale)");
    EXPECT_EQ(v.ssPanel5.caption, "Ora Legale");
    EXPECT_EQ(s.zoneOffset, 1);
    EXPECT_EQ(s.latDegrees, 41);
    EXPECT_TRUE(program.startupPictureOpen());

    ASSERT_TRUE(program.shutDown());
    EXPECT_TRUE(platform.questions.empty());
    const auto seg = readSeg();
    EXPECT_EQ(seg[2], " 7");  // window and times light grey, city names still black
    EXPECT_EQ(seg[3], " 7");
    EXPECT_EQ(seg[4], " 0");
    EXPECT_EQ(platform.writes, std::vector<std::string>{"seg.dat"});
}

TEST_F(ProgramTest, StartWithASavedScheme) {
    writeSeg({" 1", "-1", " 1", " 4", " 7", " 1", " 0", "#", "%"});
    ASSERT_TRUE(program.startUp());
    EXPECT_EQ(v.menu.segnale.checked, true);
    EXPECT_EQ(v.ssCommand1.caption, "Segnale Orario attivato");
    EXPECT_EQ(v.ssCommand1.textColour, palette(4));
    EXPECT_EQ(v.form.backColour, palette(1));
    EXPECT_EQ(v.label4.textColour, palette(11));
    EXPECT_EQ(v.frame1.textColour, palette(15));
    EXPECT_EQ(v.label2[5].backColour, palette(4));
    EXPECT_EQ(v.label2[5].textColour, palette(15));
    EXPECT_EQ(v.label1[5].backColour, palette(7));
    EXPECT_FALSE(v.menu.bscuro.enabled);
    EXPECT_FALSE(v.menu.rscuro2.enabled);
    EXPECT_FALSE(v.menu.gric.enabled);
    EXPECT_TRUE(v.menu.colorig.enabled);
    EXPECT_EQ(v.ssPanel1[0].caption, "#");
    EXPECT_EQ(v.ssPanel1[3].caption, "%");
    ASSERT_TRUE(program.shutDown());
    EXPECT_EQ(readSeg(), (std::array<std::string, 9>{" 1", "-1", " 1", " 4", " 7", " 1", " 0", "#", "%"}));
}

TEST_F(ProgramTest, SegDatWithGarbageGivesStartValues) {
    dir.write("seg.dat", "\"abc\",\"\x01\x02\",,zz\r\n");
    ASSERT_TRUE(program.startUp());
    EXPECT_EQ(s.signalOn, 0);
    EXPECT_EQ(s.screenColour, 0);
    EXPECT_TRUE(platform.fatalFiles.empty());
}

struct BadFile { const char* file; std::string bytes; };

TEST(ProgramFaults, DamagedRequiredFileEndsStartUpNamingIt) {
    const BadFile cases[] = {
        {"lxp2.par", ""},
        {"lxp2.par", "41,54,-12\r\n"},
        {"Parleg.dat", "2,4,0\r\n"},
        {"Parleg.dat", "2,4,0,12,4,0\r\n"},
        {"Parleg.dat", "2,x,0,9,4,0\r\n"},
        {"fusi.dat", "\"Kh\",\"*\",\"$*\"\r\n"},
        {"fusi.dat", std::string(54, '\xFA')},
    };
    for (const BadFile& c : cases) {
        WorkDir dir;
        dir.write(c.file, c.bytes);
        RecordingPlatform platform;
        Program program(platform, dir.path());
        EXPECT_FALSE(program.startUp()) << c.file;
        ASSERT_EQ(platform.fatalFiles.size(), 1u) << c.file;
        EXPECT_EQ(platform.fatalFiles[0], c.file);
        EXPECT_TRUE(program.failed());
    }
    for (const char* missing : {"lxp2.par", "Parleg.dat", "fusi.dat"}) {
        WorkDir dir;
        std::filesystem::remove(dir / missing);
        RecordingPlatform platform;
        Program program(platform, dir.path());
        EXPECT_FALSE(program.startUp()) << missing;
        ASSERT_EQ(platform.fatalFiles, std::vector<std::string>{missing});
    }
}

TEST_F(ProgramTest, FailingWriteKeepsTheOldFileAndIsFatal) {
    writeSeg({" 1", "-1", " 1", " 4", " 7", " 1", " 0", "#", "%"});
    const std::string before = dir.read("seg.dat");
    ASSERT_TRUE(program.startUp());
    program.signalClick();
    SetWriteFaultForTesting([](const std::filesystem::path& p) { return p.filename() == "seg.dat"; });
    EXPECT_FALSE(program.shutDown());
    SetWriteFaultForTesting(nullptr);
    EXPECT_EQ(platform.fatalFiles, std::vector<std::string>{"seg.dat"});
    EXPECT_EQ(dir.read("seg.dat"), before);
}

struct QuestionCase {
    const char* why;
    std::function<void(Program&)> edit;
    bool asked;
    std::optional<bool> answer;
    int zoneInFile;   // lxp2.par field 5 after shut-down
};

TEST(ProgramShutDown, AsksOnlyWhenZoneOrHemisphereChanged) {
    const QuestionCase cases[] = {
        {"nothing changed", [](Program&) {}, false, {}, -1},
        {"zone up and back", [](Program& p) { p.upDownClick(+1); p.upDownClick(-1); }, false, {}, -1},
        {"south and back north", [](Program& p) { p.hemisphereClick(2); p.hemisphereClick(1); }, false, {}, -1},
        {"zone changed, Yes", [](Program& p) { p.upDownClick(+1); }, true, true, -2},
        {"zone changed, No", [](Program& p) { p.upDownClick(+1); }, true, false, -1},
        {"zone changed then saved", [](Program& p) { p.upDownClick(+1); p.saveZoneClick(); }, false, {}, -2},
    };
    for (const QuestionCase& c : cases) {
        WorkDir dir;
        RecordingPlatform platform;
        if (c.answer) platform.answers.push_back(*c.answer);
        Program program(platform, dir.path());
        ASSERT_TRUE(program.startUp());
        c.edit(program);
        ASSERT_TRUE(program.shutDown());
        EXPECT_EQ(platform.questions.size(), c.asked ? 1u : 0u) << c.why;
        if (c.asked) {
            EXPECT_EQ(platform.questions[0], "Salvare i Cambiamenti sul fuso orario?");
        }
        const auto fields = ReadFields(dir.read("lxp2.par"), 18);
        EXPECT_EQ(fields[4].text, std::to_string(c.zoneInFile)) << c.why;
        EXPECT_TRUE(dir.exists("seg.dat")) << c.why;
    }
}

struct ZoneBoxCase { const char* typed; const char* shown; int zone; };

TEST_F(ProgramTest, ZoneBoxFiltersAndClamps) {
    const ZoneBoxCase cases[] = {
        {"1a3", "12", 12},   // letters dropped, then clamped
        {"-15", "-12", -12},
        {"-", "-", 0},       // a lone minus sign reads as 0 and stays on screen
        {" 5", "5", 5},
        {"-7x", "-7", -7},
        {"99999999999999999999", "12", 12},
    };
    ASSERT_TRUE(program.startUp());
    for (const ZoneBoxCase& c : cases) {
        type(c.typed);
        EXPECT_EQ(v.text1.caption, c.shown) << c.typed;
        EXPECT_EQ(s.zoneOffset, c.zone) << c.typed;
        EXPECT_EQ(v.command1.enabled, c.zone != 1) << c.typed;
    }
    program.text1Changed("");
    EXPECT_EQ(s.zoneOffset, 12) << "an empty box leaves the zone as it is";
}

TEST_F(ProgramTest, UpDownWrapsAtTwelve) {
    ASSERT_TRUE(program.startUp());
    program.text1Changed("12");
    program.upDownClick(+1);
    EXPECT_EQ(s.zoneOffset, -12);
    EXPECT_EQ(v.text1.caption, "-12");
    program.upDownClick(-1);
    EXPECT_EQ(s.zoneOffset, 12);
    EXPECT_EQ(v.text1.caption, "12");
    program.text1Changed("0");
    program.upDownClick(-1);
    EXPECT_EQ(v.text1.caption, "-1");
}

TEST_F(ProgramTest, HemisphereOptionEnablesSaveByItsOwnTestOnly) {
    ASSERT_TRUE(program.startUp());
    program.upDownClick(+1);
    EXPECT_TRUE(v.command1.enabled);
    program.hemisphereClick(1);   // equals HemisphereAtLoad
    EXPECT_FALSE(v.command1.enabled) << "although the zone change is unsaved";
    ASSERT_TRUE(program.shutDown());
    EXPECT_EQ(platform.questions.size(), 1u);
}

TEST_F(ProgramTest, HemisphereFlipsTheLatitudeSign) {
    ASSERT_TRUE(program.startUp());
    s.latDegrees = 45;
    s.latMinutes = 30;
    program.hemisphereClick(2);
    EXPECT_EQ(s.latDegrees, -45);
    EXPECT_EQ(s.latMinutes, -30);
    EXPECT_TRUE(v.option2.checked);
    EXPECT_FALSE(v.option1.checked);
    EXPECT_EQ(v.ssPanel6.caption,
              "Ora Legale dal 27 Ottobre 2024 al 30 Marzo 2025     (Emisfero Australe)");
    program.hemisphereClick(1);
    EXPECT_EQ(s.latDegrees, 45);
    EXPECT_EQ(s.latMinutes, 30);
}

TEST_F(ProgramTest, SignalTogglesAndCyclesItsMemory) {
    ASSERT_TRUE(program.startUp());
    program.signalClick();
    EXPECT_EQ(s.signalOn, 1);
    EXPECT_EQ(s.signalToggle, -1);
    EXPECT_TRUE(v.menu.segnale.checked);
    EXPECT_EQ(v.ssCommand1.caption, "Segnale Orario attivato");
    program.signalClick();
    EXPECT_EQ(s.signalOn, 0);
    EXPECT_EQ(s.signalToggle, 0);
    EXPECT_FALSE(v.menu.segnale.checked);
}

TEST_F(ProgramTest, SummerTimeSwitchOnlyByHandAndSaved) {
    ASSERT_TRUE(program.startUp());
    program.dstSwitchClick();
    EXPECT_EQ(v.ssPanel5.caption, "Ora Legale") << "automatic summer time: the click does nothing";
    EXPECT_TRUE(platform.writes.empty());

    s.autoDst = 0;
    program.dstSwitchClick();
    EXPECT_EQ(v.ssPanel5.caption, "Ora Solare");
    EXPECT_EQ(s.inDstWindow, 0);
    EXPECT_EQ(dir.read("lxp2.par"), "41,54,-12,-29,-1,,0,,,0,,0,,,1,1,0,0\r\n");
    program.dstSwitchClick();
    EXPECT_EQ(s.inDstWindow, 1);
    EXPECT_EQ(dir.read("lxp2.par"), "41,54,-12,-29,-1,,1,,,0,,0,,,1,0,0,0\r\n");
}

TEST_F(ProgramTest, SaveZoneWritesAndBeeps) {
    ASSERT_TRUE(program.startUp());
    program.text1Changed("-5");
    program.hemisphereClick(2);
    program.saveZoneClick();
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_FALSE(v.command1.enabled);
    EXPECT_EQ(dir.read("lxp2.par"), "-41,-54,-12,-29,5,,1,,,0,,0,,,2,0,0,1\r\n");
}

TEST_F(ProgramTest, PageSwitchesShowTheOtherPage) {
    ASSERT_TRUE(program.startUp());
    program.pageSwitchClick();
    EXPECT_EQ(s.tableBase, 27);
    EXPECT_EQ(v.ssPanel7.caption, "- Tabella 2 -   Fusi Orari");
    EXPECT_TRUE(v.menu.tabel2.enabled);
    EXPECT_FALSE(v.menu.tabel3.enabled);
    EXPECT_EQ(s.symbolRefresh, 1);
    program.tick();
    EXPECT_EQ(v.label1[0].caption, "Lisbona");
    program.tableMenuClick(2);
    program.tick();
    EXPECT_EQ(v.label1[0].caption, "Roma");
    EXPECT_EQ(v.ssPanel7.caption, "- Tabella 1 -   Fusi Orari");
}

TEST_F(ProgramTest, InformationPlaysTheSoundFile) {
    ASSERT_TRUE(program.startUp());
    program.infoClick();
    ASSERT_EQ(platform.sounds.size(), 1u);
    EXPECT_EQ(std::filesystem::path(platform.sounds[0]).filename(), "Infor.snm");
}

// --- Colour schemes ---

TEST_F(ProgramTest, GreyWindowAfterADarkOneRestoresTheDesignColours) {
    ASSERT_TRUE(program.startUp());
    program.screenColourClick(4);
    EXPECT_TRUE(v.menu.colorig.enabled);
    program.screenColourClick(7);
    EXPECT_EQ(v.label4.textColour, palette(1));
    EXPECT_EQ(v.label5.textColour, palette(4));
    EXPECT_EQ(v.label6.textColour, palette(5));
    EXPECT_EQ(v.option1.textColour, palette(0));
    EXPECT_FALSE(v.menu.grigio.enabled);
    EXPECT_TRUE(v.menu.rscuro.enabled);
}

TEST_F(ProgramTest, AllThreeGreyEndsTheChangedScheme) {
    writeSeg({" 0", " 0", " 1", " 1", " 0", " 1", " 0", "*", "°"});
    ASSERT_TRUE(program.startUp());
    program.screenColourClick(7);
    program.timesColourClick(7);
    EXPECT_TRUE(v.menu.colorig.enabled);
    program.citiesLightGreyClick();
    EXPECT_EQ(s.coloursChanged, 0);
    EXPECT_FALSE(v.menu.colorig.enabled);
}

TEST_F(ProgramTest, OriginalColoursThenCloseSavesGrey) {
    writeSeg({" 0", " 0", " 1", " 4", " 0", " 1", " 0", "*", "°"});
    ASSERT_TRUE(program.startUp());
    program.originalColoursClick();
    EXPECT_EQ(s.screenColour, 1) << "kept although the window shows grey";
    EXPECT_EQ(s.timesColour, 4);
    EXPECT_EQ(v.form.backColour, palette(7));
    EXPECT_EQ(v.label2[0].backColour, palette(7));
    EXPECT_EQ(v.label2[0].textColour, palette(0));
    EXPECT_FALSE(v.menu.colorig.enabled);
    EXPECT_TRUE(v.menu.annulla.enabled);
    ASSERT_TRUE(program.shutDown());
    const auto seg = readSeg();
    EXPECT_EQ(seg[2], " 7");
    EXPECT_EQ(seg[3], " 7");
    EXPECT_EQ(seg[4], " 7");
}

TEST_F(ProgramTest, UndoBringsBackTheSchemeAndItsMenus) {
    writeSeg({" 0", " 0", " 7", " 4", " 0", " 1", " 0", "*", "°"});
    ASSERT_TRUE(program.startUp());
    program.originalColoursClick();
    program.undoColoursClick();
    EXPECT_EQ(s.screenColour, 7);
    EXPECT_EQ(s.timesColour, 4);
    EXPECT_EQ(s.citiesColour, 0);
    EXPECT_EQ(s.coloursChanged, 1);
    EXPECT_FALSE(v.menu.grigio.enabled);
    EXPECT_FALSE(v.menu.rscuro2.enabled);
    EXPECT_FALSE(v.menu.nero.enabled);
    EXPECT_TRUE(v.menu.gric.enabled);
    EXPECT_FALSE(v.menu.annulla.enabled);
    EXPECT_TRUE(v.menu.colorig.enabled);
    EXPECT_EQ(v.label2[3].backColour, palette(4));
    EXPECT_EQ(v.label1[3].backColour, palette(0));
}

TEST_F(ProgramTest, BlackCitiesAfterOriginalColoursDisablesUndo) {
    ASSERT_TRUE(program.startUp());
    program.screenColourClick(2);
    program.originalColoursClick();
    program.citiesBlackClick();
    EXPECT_FALSE(v.menu.annulla.enabled);
    EXPECT_EQ(v.label1[0].backColour, palette(0));
    EXPECT_EQ(v.form.backColour, palette(7));
    EXPECT_EQ(v.label2[0].backColour, palette(7));
}

TEST_F(ProgramTest, LightGreyCitiesBetweenReplacesTheSavedCityColour) {
    writeSeg({" 0", " 0", " 2", " 2", " 0", " 1", " 0", "*", "°"});
    ASSERT_TRUE(program.startUp());
    program.originalColoursClick();   // saves cities 0, shows 7
    program.citiesLightGreyClick();   // saves the 7 it overwrote
    program.undoColoursClick();
    EXPECT_EQ(s.citiesColour, 7);
    EXPECT_EQ(s.screenColour, 2);
}

} // namespace
} // namespace vemar
