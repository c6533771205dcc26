#pragma once
// The main window's colour schemes: three groups of background colours (the
// window and its surround, the times, the city names), the standard
// light-grey scheme (colorig) and its undo (Annulla), with the menu items of
// each group.

#include "state.h"
#include "view.h"

namespace vemar {

// The colours shut-down stores in seg.dat.
struct StoredColours { int screen, times, cities, changed; };

class ColourScheme {
public:
    ColourScheme(SharedState& state, MainView& view) : s_(state), v_(view) {}

    // Start-up: the scheme read from seg.dat, its items disabled.
    void applyAtStartUp();
    // The standard scheme, or colours never changed, are stored as a light
    // grey window and times; the city names keep theirs.
    StoredColours toStore() const;

    void screenColourClick(int colour);  // Bscuro 1, vscuro 2, Rscuro 4, grigio 7, GScuro 8
    void timesColourClick(int colour);   // blu 1, vscuro2 2, Rscuro2 4, Gchiaro 7
    void citiesLightGreyClick();         // Gric
    void citiesBlackClick();             // Nero
    void originalColoursClick();         // colorig
    void undoColoursClick();             // Annulla

private:
    void disableCurrentItems();
    void paintSurround(Rgb back);
    void applyScreenColour(int colour);
    void applyTimesColour(int colour);
    void applyCitiesColour(int colour);
    void setWindowMenu(int colour);
    void setTimesMenu(int colour);
    void setCitiesMenu(int colour);
    void origOff();

    SharedState& s_;
    MainView& v_;
};

} // namespace vemar
