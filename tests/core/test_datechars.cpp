// The date characters dialog (the pair live on the main window, Default and
// Annulla), the characters it refuses, and the marker sizes read from car.tip.

#include "core/datechars.h"
#include "core/files.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vemar {
namespace {

using test::RecordingPlatform;
using test::WorkDir;

// ---------------------------------------------------------------- The dialog

struct Action {
    enum Op { Type1, Type2, Default, Annulla, Ok } op;
    const char* text = "";
};
Action type1(const char* text) { return {Action::Type1, text}; }
Action type2(const char* text) { return {Action::Type2, text}; }
constexpr Action kDefault{Action::Default}, kAnnulla{Action::Annulla}, kOk{Action::Ok};

struct DialogCase {
    const char* what;
    const char* open1;
    const char* open2;
    std::vector<Action> actions;
    const char* symbol1;   // in force afterwards, and shown on the date panels
    const char* symbol2;
    bool ok, byDefault;    // enabled
    bool closed;
};

class DateCharsTest : public ::testing::Test {
protected:
    WorkDir dir;
    RecordingPlatform platform;
    Program program{platform, dir.path()};

    void run(DateChars& dialog, const std::vector<Action>& actions) {
        for (const Action& a : actions) {
            switch (a.op) {
            case Action::Type1: dialog.text1Changed(a.text); break;
            case Action::Type2: dialog.text2Changed(a.text); break;
            case Action::Default: dialog.defaultClick(); break;
            case Action::Annulla: dialog.annullaClick(); break;
            case Action::Ok: dialog.okClick(); break;
            }
        }
    }
};

TEST_F(DateCharsTest, EveryActionOnTheLivePair) {
    const DialogCase cases[] = {
        {"opened on the standard pair", "*", "°", {}, "*", "°", false, false, false},
        {"opened on another pair", "#", "%", {}, "#", "%", false, true, false},
        {"opened without symbols", "", "", {}, "", "", false, true, false},
        {"hash typed", "*", "°", {type1("#")}, "#", "°", true, true, false},
        {"second typed", "*", "°", {type2("+")}, "*", "+", true, true, false},
        {"hash typed, then cleared", "*", "°", {type1("#"), type1("")}, "", "°", false, true, false},
        {"typed back to the saved one: Ok stays", "*", "°", {type1("#"), type1("*")}, "*", "°", true, false, false},
        {"hash typed, Annulla", "*", "°", {type1("#"), kAnnulla}, "*", "°", true, true, true},
        {"Default", "#", "%", {kDefault}, "*", "°", true, false, false},
        {"Default, Annulla", "#", "%", {kDefault, kAnnulla}, "#", "%", true, false, true},
        {"typed, Default, Annulla: the pair before Default",
         "*", "°", {type1("#"), type2("%"), kDefault, kAnnulla}, "#", "%", true, false, true},
        {"empty first, Default, Annulla: the empty one keeps the older saved",
         "#", "%", {type1(""), kDefault, kAnnulla}, "#", "%", true, false, true},
        {"Default while disabled does nothing", "*", "°", {kDefault}, "*", "°", false, false, false},
        {"Ok keeps the pair", "*", "°", {type1("#"), kOk}, "#", "°", true, true, true},
        {"Ok while disabled does nothing", "*", "°", {kOk}, "*", "°", false, false, false},
        {"refused character clears the box", "#", "%", {type1("ā")}, "", "%", false, true, false},
        {"two characters keep the first", "*", "°", {type2("%&")}, "*", "%", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SharedState& s = program.state();
        s.dateSymbol1 = c.open1;
        s.dateSymbol2 = c.open2;
        s.symbolRefresh = 0;
        DateChars dialog(program);
        dialog.open();
        EXPECT_EQ(s.symbolRefresh, 1);   // opening runs the change handling
        run(dialog, c.actions);

        EXPECT_EQ(s.dateSymbol1, c.symbol1);
        EXPECT_EQ(s.dateSymbol2, c.symbol2);
        EXPECT_EQ(program.view().ssPanel1[0].caption, c.symbol1);
        EXPECT_EQ(program.view().ssPanel1[3].caption, c.symbol2);
        if (!c.closed) {   // Annulla leaves the boxes as they were; the window is gone
            EXPECT_EQ(dialog.view().text1.caption, c.symbol1);
            EXPECT_EQ(dialog.view().text2.caption, c.symbol2);
        }
        EXPECT_EQ(dialog.view().ssCommand2.enabled, c.ok);
        EXPECT_EQ(dialog.view().ssCommand3.enabled, c.byDefault);
        EXPECT_EQ(dialog.closeRequested(), c.closed);
    }
}

// ---------------------------------------------------------------- Refused characters

TEST(DateCharFilter, KeepsOneStorableCharacter) {
    struct Case { const char* typed; const char* kept; };
    const Case cases[] = {
        {"#", "#"},   {"*", "*"},   {"°", "°"},      {"€", "€"},   {"—", "—"},  {"ÿ", "ÿ"},
        {"(", "("},   {"\t", "\t"},    {"", ""},     {"ab", "a"}, {"°x", "°"},
        {")", ""},                  // would be stored as a double quote
        {"\x07", ""}, {"\x11", ""}, {"\x14", ""},    // would fall to 0, or become LF or CR
        {"ā", ""},    {"Ω", ""},    {"😀", ""},      // no Windows-1252 code
        {"\xB0", ""},               // not UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(DateCharFilter(c.typed), c.kept) << c.typed;
}

// Over every Windows-1252 character: exactly codes 0..7, 17, 20 and 41 are
// refused, and all the others survive a real seg.dat written and read back.
TEST(DateCharFilter, EveryKeptCharacterSurvivesSegDat) {
    const std::vector<int> refused = {0, 1, 2, 3, 4, 5, 6, 7, 17, 20, 41};
    std::string kept;
    for (int code = 0; code < 256; ++code) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(code)));
        const bool isRefused = std::find(refused.begin(), refused.end(), code) != refused.end();
        EXPECT_EQ(DateCharFilter(utf8).empty(), isRefused) << code;
        kept += DateCharFilter(utf8);
    }
    WorkDir dir(false);
    WriteDisplaySettings(dir / "seg.dat", {"0", "0", "0", "0", "0", "0", "0", kept, "°"});
    const auto back = ReadDisplaySettings(dir / "seg.dat");
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[7], kept);
    EXPECT_EQ((*back)[8], "°");
}

// ---------------------------------------------------------------- Marker sizes

class MarkerSizeTest : public ::testing::Test {
protected:
    WorkDir dir;
    RecordingPlatform platform;
    Program program{platform, dir.path()};

    // Row markers 0 and 1 and both date panels carry the captions given.
    void show(const std::string& row0, const std::string& row1, const std::string& panel0,
              const std::string& panel3) {
        MainView& v = program.view();
        v.label3[0].caption = row0;
        v.label3[1].caption = row1;
        v.ssPanel1[0].caption = panel0;
        v.ssPanel1[3].caption = panel3;
    }
    std::vector<int> sizes() const {
        const MainView& v = program.view();
        return {v.label3[0].fontSize, v.label3[1].fontSize, v.ssPanel1[0].fontSize, v.ssPanel1[3].fontSize};
    }
};

TEST_F(MarkerSizeTest, LargeWhenListedInCarTip) {
    struct Case {
        const char* what;
        const char* carTip;   // nullptr: no file
        const char* row0; const char* row1; const char* panel0; const char* panel3;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        {"installed pair", "\"*\",\"\xB0\",\"\",\"\",\"\"\r\n", "*", "\xC2\xB0", "*", "\xC2\xB0", {18, 18, 18, 18}},
        {"others small", "\"*\",\"\xB0\",\"\",\"\",\"\"\r\n", "#", "%", "#", "*", {10, 10, 10, 18}},
        {"case counts", "\"a\",\"B\",\"c\",\"d\",\"e\"\r\n", "A", "a", "b", "B", {10, 18, 10, 18}},
        {"no file: empty matches empty", nullptr, "", "*", "", "#", {18, 10, 18, 10}},
        {"short file: missing entries empty", "\"#\"\r\n", "#", "", "*", "", {18, 18, 10, 18}},
        {"five full entries: empty is small", "\"a\",\"b\",\"c\",\"d\",\"e\"\r\n", "", "e", "", "e",
         {10, 18, 10, 18}},
        {"a sixth entry is not read", "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n", "f", "a", "f", "e",
         {10, 18, 10, 18}},
        {"one entry a line", "\"#\"\r\n\"%\"\r\n", "%", "#", "&", "%", {18, 18, 10, 18}},
        {"whole caption compared", "\"##\"\r\n", "#", "##", "", "#", {10, 18, 18, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir / kMarkerFile);
        if (c.carTip) dir.write(kMarkerFile, c.carTip);
        show(c.row0, c.row1, c.panel0, c.panel3);
        program.refreshDateMarkers();
        EXPECT_EQ(sizes(), c.sizes);
    }
}

TEST_F(MarkerSizeTest, AnEditedCarTipCountsFromTheNextRefresh) {
    show("#", "#", "#", "#");
    dir.write(kMarkerFile, "\"#\"\r\n");
    program.refreshDateMarkers();
    EXPECT_EQ(sizes(), (std::vector<int>{18, 18, 18, 18}));
    dir.write(kMarkerFile, "\"%\"\r\n");
    EXPECT_EQ(sizes(), (std::vector<int>{18, 18, 18, 18}));
    program.refreshDateMarkers();
    EXPECT_EQ(sizes(), (std::vector<int>{10, 10, 10, 10}));
}

// A change in the dialog shows on the panels at once; the tick then redraws
// every row marker with its size over nine ticks and stops refreshing.
TEST_F(MarkerSizeTest, TheDialogsRequestLastsNineTicks) {
    ASSERT_TRUE(program.startUp());
    while (program.state().tickStage != 2) program.tick();   // start-up refreshes done
    dir.write(kMarkerFile, "\"#\",\"\",\"\",\"\",\"\"\r\n");

    DateChars dialog(program);
    dialog.open();
    dialog.text1Changed("#");
    dialog.text2Changed("%");
    EXPECT_EQ(program.view().ssPanel1[0].caption, "#");
    for (int tick = 1; tick <= 9; ++tick) {
        EXPECT_EQ(program.state().symbolRefresh, 1) << "before tick " << tick;
        program.tick();
    }
    EXPECT_EQ(program.state().symbolRefresh, 0);

    const MainView& v = program.view();
    EXPECT_EQ(v.ssPanel1[0].fontSize, 18);
    EXPECT_EQ(v.ssPanel1[3].fontSize, 10);
    for (const ControlView& marker : v.label3) {
        ASSERT_TRUE(marker.caption == "#" || marker.caption == "%");
        EXPECT_EQ(marker.fontSize, marker.caption == "#" ? 18 : 10);
    }

    // Without a request the tick no longer reads car.tip.
    dir.write(kMarkerFile, "\"%\"\r\n");
    program.tick();
    EXPECT_EQ(v.ssPanel1[3].fontSize, 10);
}

} // namespace
} // namespace vemar
