#include "colourscheme.h"

namespace vemar {

namespace {

constexpr int kGrey = 7;

struct ColourItem { int colour; MenuItemView MainView::Menu::*item; };

constexpr ColourItem kWindowItems[] = {
    {1, &MainView::Menu::bscuro}, {2, &MainView::Menu::vscuro}, {4, &MainView::Menu::rscuro},
    {7, &MainView::Menu::grigio}, {8, &MainView::Menu::gscuro}};
constexpr ColourItem kTimesItems[] = {
    {1, &MainView::Menu::blu}, {2, &MainView::Menu::vscuro2}, {4, &MainView::Menu::rscuro2},
    {7, &MainView::Menu::gchiaro}};
constexpr ColourItem kCitiesItems[] = {{7, &MainView::Menu::gric}, {0, &MainView::Menu::nero}};

// In each group the item of the colour in force is disabled, the others enabled.
template <std::size_t N>
void markCurrent(MainView::Menu& menu, const ColourItem (&items)[N], int colour) {
    for (const auto& entry : items) (menu.*entry.item).enabled = entry.colour != colour;
}

} // namespace

void ColourScheme::setWindowMenu(int colour) { markCurrent(v_.menu, kWindowItems, colour); }
void ColourScheme::setTimesMenu(int colour) { markCurrent(v_.menu, kTimesItems, colour); }
void ColourScheme::setCitiesMenu(int colour) { markCurrent(v_.menu, kCitiesItems, colour); }

void ColourScheme::applyAtStartUp() {
    disableCurrentItems();
    applyScreenColour(s_.display.screenColour);
    applyCitiesColour(s_.display.citiesColour);
    applyTimesColour(s_.display.timesColour);
    v_.menu.annulla.enabled = false;
    if (s_.display.coloursChanged == 0) v_.menu.colorig.enabled = false;
}

StoredColours ColourScheme::toStore() const {
    StoredColours c{s_.display.screenColour, s_.display.timesColour, s_.display.citiesColour, s_.display.coloursChanged};
    if (c.screen == kGrey && c.times == kGrey && c.cities == kGrey) c.changed = 0;
    if (c.changed == 0) {
        c.screen = kGrey;
        c.times = kGrey;
    }
    return c;
}

// Start-up: only the items of the colours in force are disabled.
void ColourScheme::disableCurrentItems() {
    auto disable = [&](const auto& items, int colour) {
        for (const auto& entry : items)
            if (entry.colour == colour) (v_.menu.*entry.item).enabled = false;
    };
    disable(kWindowItems, s_.display.screenColour);
    disable(kTimesItems, s_.display.timesColour);
    disable(kCitiesItems, s_.display.citiesColour);
}

// The window group's backgrounds. The date markers have no background of
// their own: they stand on the window's.
void ColourScheme::paintSurround(Rgb back) {
    for (ControlView* c : {&v_.form, &v_.zoneFrame, &v_.hemisphereFrame, &v_.northLegend, &v_.halfHourLegend, &v_.southLegend,
                           &v_.northOption, &v_.southOption})
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
    if (s_.display.screenColour == kGrey && s_.display.timesColour == kGrey && s_.display.citiesColour == kGrey) {
        s_.display.coloursChanged = 0;
        v_.menu.colorig.enabled = false;
    }
}

void ColourScheme::screenColourClick(int colour) {
    applyScreenColour(colour);
    setWindowMenu(colour);
    s_.display.screenColour = colour;
    if (colour != kGrey) {
        v_.menu.colorig.enabled = true;
        s_.display.coloursChanged = 1;
    }
    origOff();
}

void ColourScheme::timesColourClick(int colour) {
    s_.display.timesColour = colour;
    setTimesMenu(colour);
    applyTimesColour(colour);
    if (colour != kGrey) {
        v_.menu.colorig.enabled = true;
        s_.display.coloursChanged = 1;
    }
    origOff();
}

void ColourScheme::citiesLightGreyClick() {
    s_.savedCitiesColour = s_.display.citiesColour;
    s_.display.citiesColour = kGrey;
    setCitiesMenu(kGrey);
    applyCitiesColour(kGrey);
    origOff();
}

void ColourScheme::citiesBlackClick() {
    s_.display.citiesColour = 0;
    setCitiesMenu(0);
    v_.menu.annulla.enabled = false;
    v_.menu.colorig.enabled = true;
    applyCitiesColour(0);
    s_.display.coloursChanged = 1;
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
    s_.display.coloursChanged = 0;
    s_.savedScreenColour = s_.display.screenColour;
    s_.savedTimesColour = s_.display.timesColour;
    s_.savedCitiesColour = s_.display.citiesColour;
    s_.display.citiesColour = kGrey;
}

void ColourScheme::undoColoursClick() {
    const int screen = s_.savedScreenColour;
    paintSurround(palette(screen));
    // On a saved grey the text colours stay as they are.
    if (screen != kGrey) applyScreenColour(screen);
    applyCitiesColour(s_.savedCitiesColour);
    applyTimesColour(s_.savedTimesColour);
    setWindowMenu(screen);
    setTimesMenu(s_.savedTimesColour);
    setCitiesMenu(s_.savedCitiesColour);
    v_.menu.annulla.enabled = false;
    v_.menu.colorig.enabled = true;
    s_.display.screenColour = screen;
    s_.display.timesColour = s_.savedTimesColour;
    s_.display.citiesColour = s_.savedCitiesColour;
    s_.display.coloursChanged = 1;
}

} // namespace vemar
