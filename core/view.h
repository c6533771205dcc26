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
    ControlView form;                            // caption and background of Form1
    std::array<ControlView, 27> cityNames;          // city names
    std::array<ControlView, 27> rowTimes;          // row times
    std::array<ControlView, 27> dateMarkers;          // date markers
    std::array<ControlView, 4> dateSymbols;         // 0 and 3: date symbols
    ControlView firstDate, secondDate, summerTimeButton, summerPeriod, tableButton, dayOfYear, daysToYearEnd;
    ControlView signalButton, saveZoneButton, zoneBox, zoneUpDown;
    ControlView zoneFrame, hemisphereFrame, northOption, southOption;
    ControlView northLegend, halfHourLegend, southLegend, utHeading, meanTimeHeading, siderealHeading;
    // The panels under the grid, numbered on after the row times.
    ControlView utTime;          // Label2(27)
    ControlView meanTime;        // Label2(28), local mean time
    ControlView siderealTime;    // Label2(29)
    ControlView yearStart;       // Label2(30), time since the year began
    ControlView yearEnd;         // Label2(31), time to the year's end
    ControlView julianDay;       // Label2(32)
    ControlView sunSentence;     // Label2(33)
    ControlView moonSentence;    // Label2(34)

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

    // Calls fn(name, ControlView&) for every control, by the names of the
    // program ("Label2(5)", "SSPanel6", "Form1" for the window).
    template <class Fn> void forEachControl(Fn&& fn);
    // Calls fn(name, MenuItemView&) for every menu item ("tabel(2)", "colorig").
    template <class Fn> void forEachMenuItem(Fn&& fn);
};

template <class Fn> void MainView::forEachControl(Fn&& fn) {
    fn(std::string("Form1"), form);
    for (int k = 0; k < 27; ++k) fn("Label1(" + std::to_string(k) + ")", cityNames[k]);
    for (int k = 0; k < 27; ++k) fn("Label2(" + std::to_string(k) + ")", rowTimes[k]);
    for (int k = 0; k < 8; ++k) fn("Label2(" + std::to_string(27 + k) + ")", *panels()[k]);
    for (int k = 0; k < 27; ++k) fn("Label3(" + std::to_string(k) + ")", dateMarkers[k]);
    for (int k = 0; k < 4; ++k) fn("SSPanel1(" + std::to_string(k) + ")", dateSymbols[k]);
    fn(std::string("SSPanel2"), firstDate);  fn(std::string("SSPanel3"), secondDate);
    fn(std::string("SSPanel5"), summerTimeButton);  fn(std::string("SSPanel6"), summerPeriod);
    fn(std::string("SSPanel7"), tableButton);  fn(std::string("SSPanel8"), dayOfYear);
    fn(std::string("SSPanel9"), daysToYearEnd);
    fn(std::string("SSCommand1"), signalButton); fn(std::string("Command1"), saveZoneButton);
    fn(std::string("Text1"), zoneBox);        fn(std::string("UpDown1"), zoneUpDown);
    fn(std::string("Frame1"), zoneFrame);      fn(std::string("Frame2"), hemisphereFrame);
    fn(std::string("Option1"), northOption);    fn(std::string("Option2"), southOption);
    fn(std::string("Label4"), northLegend);      fn(std::string("Label5"), halfHourLegend);
    fn(std::string("Label6"), southLegend);      fn(std::string("Label7"), utHeading);
    fn(std::string("Label8"), meanTimeHeading);      fn(std::string("Label9"), siderealHeading);
}

template <class Fn> void MainView::forEachMenuItem(Fn&& fn) {
    fn("Param", menu.param);     fn("Orlega", menu.orlega);
    fn("tabel(2)", menu.tabel2); fn("tabel(3)", menu.tabel3);
    fn("Tabfu", menu.tabfu);     fn("Tabtip", menu.tabtip);
    fn("CarDat", menu.carDat);   fn("Segnale", menu.segnale);
    fn("esci(4)", menu.esci4);
    fn("colorig", menu.colorig); fn("Annulla", menu.annulla);
    fn("Bscuro", menu.bscuro);   fn("vscuro", menu.vscuro);   fn("Rscuro", menu.rscuro);
    fn("grigio", menu.grigio);   fn("GScuro", menu.gscuro);
    fn("Gric", menu.gric);       fn("Nero", menu.nero);
    fn("blu", menu.blu);         fn("vscuro2", menu.vscuro2); fn("Rscuro2", menu.rscuro2);
    fn("Gchiaro", menu.gchiaro);
    fn("info(5)", menu.info5);   fn("help(6)", menu.help6);
}

} // namespace vemar
