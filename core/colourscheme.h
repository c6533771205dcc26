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
    ColourScheme(DisplaySettings& display, MainView& view) : d_(display), v_(view) {}

    // Start-up: the scheme read from seg.dat, its items disabled.
    void applyAtStartUp();
    // The standard scheme, or colours never changed, are stored as a light
    // grey window and times; the city names keep theirs.
    StoredColours toStore() const;

    void screenColourClick(int colour);  // the colours of menu.h's items
    void timesColourClick(int colour);
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

    DisplaySettings& d_;   // the colours live in seg.dat's record
    MainView& v_;
    // The scheme "colorig" replaced, for Annulla to put back.
    struct { int screen = 0, times = 0, cities = 0; } undo_;
};

} // namespace vemar
