#include "colourscheme.h"

namespace vemar {

namespace {

constexpr int kGrey = 7;

// In each group the item of the colour in force is disabled, the others enabled.
void markCurrent(MainView::Menu& menu, MenuId group, int colour) {
    for (const MenuItem& item : kMenuItems)
        if (item.menu == group) (menu.*item.view).enabled = item.value != colour;
}

} // namespace

void ColourScheme::setWindowMenu(int colour) { markCurrent(v_.menu, MenuId::Screen, colour); }
void ColourScheme::setTimesMenu(int colour) { markCurrent(v_.menu, MenuId::Times, colour); }
void ColourScheme::setCitiesMenu(int colour) { markCurrent(v_.menu, MenuId::Cities, colour); }

void ColourScheme::applyAtStartUp() {
    disableCurrentItems();
    applyScreenColour(d_.screenColour);
    applyCitiesColour(d_.citiesColour);
    applyTimesColour(d_.timesColour);
    v_.menu.annulla.enabled = false;
    if (d_.coloursChanged == 0) v_.menu.colorig.enabled = false;
}

StoredColours ColourScheme::toStore() const {
    StoredColours c{d_.screenColour, d_.timesColour, d_.citiesColour, d_.coloursChanged};
    if (c.screen == kGrey && c.times == kGrey && c.cities == kGrey) c.changed = 0;
    if (c.changed == 0) {
        c.screen = kGrey;
        c.times = kGrey;
    }
    return c;
}

// Start-up: in each group the item of the colour in force is disabled.
void ColourScheme::disableCurrentItems() {
    setWindowMenu(d_.screenColour);
    setTimesMenu(d_.timesColour);
    setCitiesMenu(d_.citiesColour);
}

// The window group's backgrounds. The date markers have no background of
// their own: they stand on the window's.
void ColourScheme::paintSurround(Rgb back) {
    for (ControlView* c : {&v_.form, &v_.zoneFrame, &v_.hemisphereFrame, &v_.northLegend, &v_.halfHourLegend,
                           &v_.southLegend, &v_.northOption, &v_.southOption})
        c->backColour = back;
    for (auto& marker : v_.dateMarkers) marker.backColour = back;
    v_.sunSentence.backColour = back;
    v_.moonSentence.backColour = back;
}

// The window and its surround; the legend keeps its design colours (blue,
// red, magenta, matching its wording) only on light grey.
void ColourScheme::applyScreenColour(int colour) {
    const Rgb back = palette(colour);
    paintSurround(back);
    const bool design = colour == kGrey;
    v_.northLegend.textColour = palette(design ? 1 : 11);
    v_.halfHourLegend.textColour = palette(design ? 4 : 12);
    v_.southLegend.textColour = palette(design ? 5 : 13);
    for (ControlView* c : {&v_.zoneFrame, &v_.hemisphereFrame, &v_.northOption, &v_.southOption})
        c->textColour = palette(design ? 0 : 15);
    // The sun and moon sentences stand on the window like the legend.
    for (ControlView* c : {&v_.sunSentence, &v_.moonSentence}) c->textColour = palette(design ? 0 : 14);
}

void ColourScheme::applyTimesColour(int colour) {
    for (int i = 0; i < kPageRows; ++i) {
        v_.rowTimes[i].backColour = palette(colour);
        v_.rowTimes[i].textColour = palette(colour == kGrey ? 0 : 15);
    }
}

void ColourScheme::applyCitiesColour(int colour) {
    for (auto& name : v_.cityNames) name.backColour = palette(colour);
}

void ColourScheme::origOff() {
    if (d_.screenColour == kGrey && d_.timesColour == kGrey && d_.citiesColour == kGrey) {
        d_.coloursChanged = 0;
        v_.menu.colorig.enabled = false;
    }
}

void ColourScheme::screenColourClick(int colour) {
    applyScreenColour(colour);
    setWindowMenu(colour);
    d_.screenColour = colour;
    if (colour != kGrey) {
        v_.menu.colorig.enabled = true;
        d_.coloursChanged = 1;
    }
    origOff();
}

void ColourScheme::timesColourClick(int colour) {
    d_.timesColour = colour;
    setTimesMenu(colour);
    applyTimesColour(colour);
    if (colour != kGrey) {
        v_.menu.colorig.enabled = true;
        d_.coloursChanged = 1;
    }
    origOff();
}

void ColourScheme::citiesLightGreyClick() {
    undo_.cities = d_.citiesColour;
    d_.citiesColour = kGrey;
    setCitiesMenu(kGrey);
    applyCitiesColour(kGrey);
    origOff();
}

void ColourScheme::citiesBlackClick() {
    d_.citiesColour = 0;
    setCitiesMenu(0);
    v_.menu.annulla.enabled = false;
    v_.menu.colorig.enabled = true;
    applyCitiesColour(0);
    d_.coloursChanged = 1;
    origOff();
}

// ScreenColour and TimesColour keep their values although the window shows
// grey: shut-down turns them grey while ColoursChanged is still 0.
void ColourScheme::originalColoursClick() {
    applyScreenColour(kGrey);
    setWindowMenu(kGrey);
    setTimesMenu(kGrey);
    setCitiesMenu(kGrey);
    applyCitiesColour(kGrey);
    applyTimesColour(kGrey);
    v_.menu.colorig.enabled = false;
    v_.menu.annulla.enabled = true;
    d_.coloursChanged = 0;
    undo_.screen = d_.screenColour;
    undo_.times = d_.timesColour;
    undo_.cities = d_.citiesColour;
    d_.citiesColour = kGrey;
}

void ColourScheme::undoColoursClick() {
    const int screen = undo_.screen;
    paintSurround(palette(screen));
    // On a saved grey the text colours stay as they are.
    if (screen != kGrey) applyScreenColour(screen);
    applyCitiesColour(undo_.cities);
    applyTimesColour(undo_.times);
    setWindowMenu(screen);
    setTimesMenu(undo_.times);
    setCitiesMenu(undo_.cities);
    v_.menu.annulla.enabled = false;
    v_.menu.colorig.enabled = true;
    d_.screenColour = screen;
    d_.timesColour = undo_.times;
    d_.citiesColour = undo_.cities;
    d_.coloursChanged = 1;
}

} // namespace vemar
