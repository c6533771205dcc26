#pragma once
// What a window shows, decided by the core on plain values. The Qt layer
// renders a control only when its view differs from what it rendered last.

#include "palette.h"

#include <array>
#include <string>
#include <string_view>

namespace vemar {

struct ControlView {
    std::string caption;     // or the text of a box
    std::string tooltip;
    Rgb textColour = palette(0);
    Rgb backColour = palette(7);
    int fontSize = 0;        // points; 0 keeps the window's font size
    bool enabled = true;
    bool visible = true;
    bool checked = false;    // option buttons, check boxes
    // What a screen reader says of the control: its name (empty: the
    // caption) and its description (empty: the tooltip).
    std::string accessibleName;
    std::string accessibleDescription;
    friend bool operator==(const ControlView&, const ControlView&) = default;
};

struct MenuItemView {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const MenuItemView&, const MenuItemView&) = default;
};

// Assigns only when the value differs, so a tick that changes nothing
// allocates nothing.
inline void assignIfChanged(std::string& target, std::string_view value) {
    if (target != value) target.assign(value);
}

struct MainView {
    ControlView form;                            // the main window's caption and background
    std::array<ControlView, 27> cityNames;          // city names
    std::array<ControlView, 27> rowTimes;          // row times
    std::array<ControlView, 27> dateMarkers;          // date markers
    std::array<ControlView, 4> dateSymbols;         // 0 and 3: date symbols
    ControlView firstDate, secondDate, summerTimeButton, summerPeriod, tableButton, dayOfYear, daysToYearEnd;
    ControlView signalButton, saveZoneButton, zoneBox, zoneUpDown;
    std::array<std::string, 2> zoneArrowNames;    // the up-down's arrows, up then down, to a screen reader
    ControlView zoneFrame, hemisphereFrame, northOption, southOption;
    ControlView northLegend, halfHourLegend, southLegend, utHeading, meanTimeHeading, siderealHeading;
    // The panels under the grid, numbered on after the row times.
    ControlView utTime;          // universal time
    ControlView meanTime;        // local mean time
    ControlView siderealTime;    // local sidereal time
    ControlView yearStart;       // time since the year began
    ControlView yearEnd;         // time to the year's end
    ControlView julianDay;       // the Julian day
    ControlView sunSentence;     // sunrise and sunset
    ControlView moonSentence;    // moonrise and moonset

    // The panels in the order of their control numbers, 27 to 34.
    std::array<ControlView*, 8> panels() {
        return {&utTime, &meanTime, &siderealTime, &yearStart, &yearEnd, &julianDay, &sunSentence,
                &moonSentence};
    }

    struct Menu {
        MenuItemView param, orlega, tabel2, tabel3, tabfu, tabtip, carDat, segnale, esci4;
        MenuItemView colorig, annulla;
        MenuItemView bscuro, vscuro, rscuro, grigio, gscuro;   // window background
        MenuItemView gric, nero;                               // city names
        MenuItemView blu, vscuro2, rscuro2, gchiaro;           // time labels
        MenuItemView info5, help6;
    } menu;

    // Calls fn(name, ControlView&) for every control, by the names of
    // controlnames.h.
    template <class Fn> void forEachControl(Fn&& fn);
    // Calls fn(name, MenuItemView&) for every menu item, by the names of menu.h.
    template <class Fn> void forEachMenuItem(Fn&& fn);
};

} // namespace vemar

// The two loops above walk these tables.
#include "controlnames.h"
#include "menu.h"
