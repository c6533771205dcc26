#pragma once
// The two zone table editors, "Tabella Fusi" (names and offsets) and
// "Tabella Tipi" (names and classes): one design in two variants. The
// editor keeps its own plain copy of the table, filters every box as it
// changes, stages a save in fusi.tmp and commits it when it closes.

#include "core/dialogs/citycompletion.h"
#include "core/palette.h"
#include "core/state.h"
#include "core/view.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vemar {

class Program;

// --- Filters of the boxes, on UTF-8 text ---

// Name boxes: keeps spaces and the characters of codes 64..122 ("@", "A".."Z",
// "[", "\", "]", "^", "_", "`", "a".."z"); an accented letter goes whole.
std::string ControlCar(std::string_view typed);
// Offset boxes of "Tabella Fusi": keeps "+", "-" and digits, then clamps the value to
// -12..12 ("15" gives "12", "-20" gives "-12"); a text without digits stays.
std::string ControlNumOffset(std::string_view typed);
// Class boxes of "Tabella Tipi": a first character below "0" gives "0", above "3"
// gives "3"; "0".."3" and the empty text stay.
std::string ControlNumClass(std::string_view typed);
// An offset as its box shows it: the value with "+" when positive ("+5", "0", "-3").
std::string OffsetBoxText(std::string_view offset);
// The text colour of a name box for a class; nullopt for any other class,
// which leaves the colour as it was.
std::optional<Rgb> ClassNameColour(std::string_view zoneClass);

// Colours of the boxes. The value boxes take the dark-shadow colour of the
// classic 3-D scheme; a name of no known class keeps white, the box's
// colour on its black background.
inline constexpr Rgb kNameBoxBack = rgb(0, 0, 0);
inline constexpr Rgb kNameDefaultText = rgb(255, 255, 255);
inline constexpr Rgb kValueBoxBack = rgb(64, 64, 64);
inline constexpr Rgb kValueBoxText = rgb(255, 224, 192);

struct ZoneEditorView {
    ControlView form;                         // the window's caption
    std::array<ControlView, kZoneRows> nameBoxes; // name boxes
    std::array<ControlView, kZoneRows> valueBoxes; // offset or class boxes
    ControlView salvaButton;                   // "Salva"
    ControlView annullaButton;                   // "Annulla"
    ControlView esciButton;                   // "Esci"
};

class ZoneEditorLogic {
public:
    enum class Variant { Zones, Classes };   // "Tabella Fusi", "Tabella Tipi"

    static constexpr int kNameLength = 13;   // characters a name box holds

    ZoneEditorLogic(Program& program, Variant variant);

    Variant variant() const { return variant_; }
    const ZoneEditorView& view() const { return view_; }
    const ZoneTable& table() const { return table_; }
    bool savePending() const { return savePending_; }
    // Characters a value box holds; 0 for no limit.
    int valueLength() const;
    // What a box keeps of a text typed into it: its length limit, then its filter.
    std::string filterName(std::string_view typed) const;
    std::string filterValue(std::string_view typed) const;

    // Events. A file error while reading is reported through the program as
    // fatal; a save that fails is told and leaves the boxes as they are.
    void open();                                       // reads fusi.dat and fills the boxes
    void nameChanged(int row, std::string_view text);  // any change of name box row
    void valueChanged(int row, std::string_view text); // any change of value box row
    void salva();                                      // "Salva": stages fusi.tmp
    void annulla();                                    // "Annulla": back to fusi.dat
    // The window closes (Esci or its close box): commits a staged table and
    // offers to save edits made since. False when a save failed: the window
    // stays open with the edits, although closing is otherwise never refused.
    bool close();

    // "Tabella Fusi" finds a city by its first letters: the names the box
    // last typed into offers, and the choice of one. A choice fills the name,
    // the offset and, in the editor's copy, the class with what the table can
    // hold of its zone; what it fills is no change of the user's, so the row
    // stays on its zone, and a name the folder's fusi.tz lacks is added there
    // when the table is saved.
    const std::vector<Suggestion>& suggestions() const { return suggestions_; }
    int suggestionsRow() const { return suggestionsRow_; }
    void chooseSuggestion(int row, std::size_t index);

private:
    void fill();
    void takeBoxes();
    void colourName(int row);
    void nameValueBox(int row);
    void markEdited();
    bool salvafile();
    // The box's row as it would be saved now.
    ZoneRow rowInBoxes(int row) const;
    // " Kathmandu +5:45h Asia/Kathmandu " for a row that follows a zone,
    // " Roma +1h " for one that follows its class.
    void showWhatRowFollows(int row);
    // Before the table is written, fusi.tz: the rows that follow a zone but
    // whose offset or class the user changed leave their zone, and names a
    // completion chose that the file lacks are added. It is replaced first, so
    // a crash between the two leaves at worst a row on its class.
    void updateCityZones(const ZoneTable& saved);
    // The zone a completion put on the row, while the row still has its name.
    std::string chosenZone(int row) const;

    Program& program_;
    Variant variant_;
    ZoneTable table_{};
    ZoneTable read_{};   // fusi.dat as the editor read it
    ZoneEditorView view_;
    bool savePending_ = false;
    CityCompletion completion_;
    std::vector<Suggestion> suggestions_;
    int suggestionsRow_ = -1;
    bool filling_ = false;
    std::array<Suggestion, kZoneRows> chosen_{};
};

} // namespace vemar
