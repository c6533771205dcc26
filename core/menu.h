#pragma once
// The main window's menus, item by item in the order they are shown: each
// item's name (the driver's and the tests'), caption, menu, view and
// command. The colour scheme reads the colour items from here, the window
// builds its menus from here.

#include "texts.h"
#include "view.h"

namespace vemar {

enum class MenuId { Bar, File, EditTables, Colours, Screen, Cities, Times };

// A separator before a submenu stands in its parent menu.
struct Submenu { MenuId id, parent; const char* name; std::string_view caption; bool separatorBefore; };

inline constexpr Submenu kSubmenus[] = {
    {MenuId::File, MenuId::Bar, "file", texts::kMenuFile, false},
    {MenuId::EditTables, MenuId::File, "MOdTab", texts::kMenuEditTables, true},
    {MenuId::Colours, MenuId::Bar, "colori", texts::kMenuColours, false},
    {MenuId::Screen, MenuId::Colours, "fondo", texts::kMenuScreen, true},
    {MenuId::Cities, MenuId::Colours, "fcit", texts::kMenuCities, false},
    {MenuId::Times, MenuId::Colours, "fondora", texts::kMenuTimes, false},
};

enum class MenuCommand {
    Params, Rule, Table, ZoneTable, ClassTable, DateChars, Signal, Exit,
    Original, Undo, ScreenColour, CitiesLightGrey, CitiesBlack, TimesColour, Info, Help
};

struct MenuItem {
    const char* name;
    std::string_view caption;
    MenuId menu;
    MenuItemView MainView::Menu::*view;
    MenuCommand command;
    int value;               // a colour item's palette colour, a table item's page
    bool separatorBefore;
};

inline constexpr MenuItem kMenuItems[] = {
    {"Param", texts::kMenuParam, MenuId::File, &MainView::Menu::param, MenuCommand::Params, 0, false},
    {"Orlega", texts::kMenuOrlega, MenuId::File, &MainView::Menu::orlega, MenuCommand::Rule, 0, false},
    {"tabel(2)", texts::kMenuTable1, MenuId::File, &MainView::Menu::tabel2, MenuCommand::Table, 2, true},
    {"tabel(3)", texts::kMenuTable2, MenuId::File, &MainView::Menu::tabel3, MenuCommand::Table, 3, false},
    {"Tabfu", texts::kMenuZoneTable, MenuId::EditTables, &MainView::Menu::tabfu, MenuCommand::ZoneTable, 0, false},
    {"Tabtip", texts::kMenuClassTable, MenuId::EditTables, &MainView::Menu::tabtip, MenuCommand::ClassTable, 0, false},
    {"CarDat", texts::kMenuDateChars, MenuId::File, &MainView::Menu::carDat, MenuCommand::DateChars, 0, false},
    {"Segnale", texts::kMenuSignal, MenuId::File, &MainView::Menu::segnale, MenuCommand::Signal, 0, true},
    {"esci(4)", texts::kMenuExit, MenuId::File, &MainView::Menu::esci4, MenuCommand::Exit, 0, true},
    {"colorig", texts::kMenuOriginal, MenuId::Colours, &MainView::Menu::colorig, MenuCommand::Original, 0, false},
    {"Annulla", texts::kMenuUndo, MenuId::Colours, &MainView::Menu::annulla, MenuCommand::Undo, 0, false},
    {"Bscuro", texts::kBlue, MenuId::Screen, &MainView::Menu::bscuro, MenuCommand::ScreenColour, 1, false},
    {"vscuro", texts::kDarkGreen, MenuId::Screen, &MainView::Menu::vscuro, MenuCommand::ScreenColour, 2, false},
    {"Rscuro", texts::kDarkRed, MenuId::Screen, &MainView::Menu::rscuro, MenuCommand::ScreenColour, 4, false},
    {"grigio", texts::kLightGrey, MenuId::Screen, &MainView::Menu::grigio, MenuCommand::ScreenColour, 7, false},
    {"GScuro", texts::kDarkGrey, MenuId::Screen, &MainView::Menu::gscuro, MenuCommand::ScreenColour, 8, false},
    {"Gric", texts::kLightGreyCap, MenuId::Cities, &MainView::Menu::gric, MenuCommand::CitiesLightGrey, 7, false},
    {"Nero", texts::kBlack, MenuId::Cities, &MainView::Menu::nero, MenuCommand::CitiesBlack, 0, false},
    {"blu", texts::kBlue, MenuId::Times, &MainView::Menu::blu, MenuCommand::TimesColour, 1, false},
    {"vscuro2", texts::kDarkGreenTimes, MenuId::Times, &MainView::Menu::vscuro2, MenuCommand::TimesColour, 2, false},
    {"Rscuro2", texts::kDarkRed, MenuId::Times, &MainView::Menu::rscuro2, MenuCommand::TimesColour, 4, false},
    {"Gchiaro", texts::kLightGreyCap, MenuId::Times, &MainView::Menu::gchiaro, MenuCommand::TimesColour, 7, false},
    {"info(5)", texts::kMenuInfo, MenuId::Bar, &MainView::Menu::info5, MenuCommand::Info, 0, false},
    {"help(6)", texts::kMenuHelp, MenuId::Bar, &MainView::Menu::help6, MenuCommand::Help, 0, false},
};

template <class Fn> void MainView::forEachMenuItem(Fn&& fn) {
    for (const MenuItem& item : kMenuItems) fn(std::string(item.name), menu.*item.view);
}

} // namespace vemar
