// The date characters dialog (the pair live on the window, Default, Annulla), what it refuses, car.tip's sizes.

#include "core/dialogs/datecharslogic.h"
#include "../testsupport.h"

#include <functional>
#include <set>

namespace vemar {
namespace {

using Action = std::function<void(DateCharsLogic&)>;
Action type1(const char* text) { return [text](DateCharsLogic& d) { d.firstBoxChanged(text); }; }
Action type2(const char* text) { return [text](DateCharsLogic& d) { d.secondBoxChanged(text); }; }
const Action kDefault = &DateCharsLogic::defaultClick, kAnnulla = &DateCharsLogic::annullaClick, kOk = &DateCharsLogic::okClick;

class DateCharsTest : public test::ProgramTest {};

// The pair in force on opening, the actions, the pair in force after (on the date panels too), Ok, Default, closed.
TEST_F(DateCharsTest, EveryActionOnTheLivePair) {
    struct Case { const char* what; std::array<std::string, 2> open; std::vector<Action> actions;
                  std::array<std::string, 2> pair; bool ok, byDefault, closed; };
    const Case cases[] = {
        {"opened on the standard pair", {"*", "°"}, {}, {"*", "°"}, false, false, false},
        {"opened on another pair", {"#", "%"}, {}, {"#", "%"}, false, true, false},
        {"hash typed", {"*", "°"}, {type1("#")}, {"#", "°"}, true, true, false},
        {"second typed", {"*", "°"}, {type2("+")}, {"*", "+"}, true, true, false},
        {"hash typed, then cleared", {"*", "°"}, {type1("#"), type1("")}, {"", "°"}, false, true, false},
        {"typed back to the saved one: Ok stays", {"*", "°"}, {type1("#"), type1("*")}, {"*", "°"}, true, false, false},
        {"hash typed, Annulla", {"*", "°"}, {type1("#"), kAnnulla}, {"*", "°"}, true, true, true},
        {"Default", {"#", "%"}, {kDefault}, {"*", "°"}, true, false, false},
        {"typed, Default, Annulla", {"*", "°"}, {type1("#"), type2("%"), kDefault, kAnnulla}, {"#", "%"}, true, false, true},
        {"empty first, Default, Annulla", {"#", "%"}, {type1(""), kDefault, kAnnulla}, {"#", "%"}, true, false, true},   // the older one
        {"Default while disabled does nothing", {"*", "°"}, {kDefault}, {"*", "°"}, false, false, false},
        {"Ok keeps the pair", {"*", "°"}, {type1("#"), kOk}, {"#", "°"}, true, true, true},
        {"Ok while disabled does nothing", {"*", "°"}, {kOk}, {"*", "°"}, false, false, false},
        {"refused character clears the box", {"#", "%"}, {type1("ā")}, {"", "%"}, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SharedState& s = state();
        s.display.dateSymbol1 = c.open[0], s.display.dateSymbol2 = c.open[1], s.tick.symbolRefresh = 0;
        DateCharsLogic dialog(*program);
        dialog.open();
        EXPECT_EQ(s.tick.symbolRefresh, 1);   // opening runs the change handling: the row markers are redrawn
        for (const Action& action : c.actions) action(dialog);
        EXPECT_EQ((std::array{s.display.dateSymbol1, s.display.dateSymbol2, view().dateSymbols[0].caption, view().dateSymbols[3].caption}),
                  (std::array{c.pair[0], c.pair[1], c.pair[0], c.pair[1]}));
        const DateCharsView& d = dialog.view();
        // Annulla leaves the boxes as they were; the window is gone.
        if (!c.closed) { EXPECT_EQ((std::array{d.firstBox.caption, d.secondBox.caption}), c.pair); }
        EXPECT_EQ((std::array{d.okButton.enabled, d.defaultButton.enabled, dialog.closeRequested()}),
                  (std::array{c.ok, c.byDefault, c.closed}));
        // The first date in red, the second in green (grey in its box), both boxes on light yellow.
        EXPECT_EQ((std::array{d.firstLabel.textColour, d.secondLabel.textColour, d.firstBox.textColour, d.secondBox.textColour,
                              d.firstBox.backColour, d.secondBox.backColour}),
                  (std::array{rgb(192, 0, 0), rgb(0, 128, 0), rgb(192, 0, 0), rgb(128, 128, 128), rgb(255, 255, 192),
                              rgb(255, 255, 192)}));
    }
}

// One storable character kept: none outside Windows-1252, nor 0..7, 17, 20, 41 (shifted by 7: 0, LF, CR, the quote).
TEST(DateCharFilter, KeepsOneStorableCharacter) {
    struct Case { const char* typed; const char* kept; };
    const Case cases[] = {{"", ""}, {"ab", "a"}, {"°x", "°"}, {"ā", ""}, {"😀", ""}, {"\xB0", ""}};
    for (const auto& c : cases) EXPECT_EQ(DateCharFilter(c.typed), c.kept) << c.typed;
    const std::set<int> refused = {0, 1, 2, 3, 4, 5, 6, 7, 17, 20, 41};
    for (int code = 0; code < 256; ++code) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(code)));
        EXPECT_EQ(DateCharFilter(utf8), refused.count(code) ? "" : utf8) << code;
    }
}

// car.tip (nullptr: none), the captions of row markers 0 and 1 and both date panels, their sizes: large when listed.
TEST_F(DateCharsTest, MarkersAreLargeWhenListedInCarTip) {
    struct Case { const char* what; const char* carTip; std::array<const char*, 4> shown; std::array<int, 4> sizes; };
    const Case cases[] = {
        {"installed pair", "\"*\",\"\xB0\",\"\",\"\",\"\"\r\n", {"*", "\xC2\xB0", "*", "\xC2\xB0"}, {18, 18, 18, 18}},
        {"others small", "\"*\",\"\xB0\",\"\",\"\",\"\"\r\n", {"#", "%", "#", "*"}, {10, 10, 10, 18}},
        {"case counts", "\"a\",\"B\",\"c\",\"d\",\"e\"\r\n", {"A", "a", "b", "B"}, {10, 18, 10, 18}},
        {"no file: empty matches empty", nullptr, {"", "*", "", "#"}, {18, 10, 18, 10}},
        {"short file: missing entries empty", "\"#\"\r\n", {"#", "", "*", ""}, {18, 18, 10, 18}},
        {"five full entries: empty is small", "\"a\",\"b\",\"c\",\"d\",\"e\"\r\n", {"", "e", "", "e"}, {10, 18, 10, 18}},
        {"whole caption compared", "\"##\"\r\n", {"#", "##", "", "#"}, {10, 18, 18, 10}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / kMarkerFile);
        if (c.carTip) dir.write(kMarkerFile, c.carTip);
        MainView& v = view();
        ControlView* const markers[] = {&v.dateMarkers[0], &v.dateMarkers[1], &v.dateSymbols[0], &v.dateSymbols[3]};
        for (int k = 0; k < 4; ++k) markers[k]->caption = c.shown[k];
        program->refreshDateMarkers();
        EXPECT_EQ((std::array{markers[0]->fontSize, markers[1]->fontSize, markers[2]->fontSize, markers[3]->fontSize}), c.sizes) << c.what;
    }
}

} // namespace
} // namespace vemar
