#pragma once
// The main window's logic: start-up, the commands and shut-down, on the
// shared state and the main view; the tick and the colour schemes are its
// parts. The Qt window forwards its events here and renders view() afterwards.

#include "core/colourscheme.h"
#include "core/files.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/tick.h"
#include "core/time/calendar.h"
#include "core/time/citytable.h"
#include "core/time/home.h"
#include "core/time/homezone.h"
#include "core/time/zonedatabase.h"
#include "core/view.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vemar {

class Program : private TickHost {
public:
    Program(Platform& platform, std::filesystem::path workDir);

    SharedState& state() { return s_; }
    const SharedState& state() const { return s_; }
    MainView& view() { return v_; }
    const MainView& view() const { return v_; }
    Platform& platform() { return platform_; }
    std::filesystem::path file(const char* name) const { return dir_ / name; }
    // The installed data folder, never written: the information sound is
    // played from there, and a home that follows the machine's zone takes
    // the shipped place and rule from there. Until it is set, the working
    // directory serves.
    void setDataDir(std::filesystem::path dir);
    std::filesystem::path dataFile(const char* name) const;
    // The home (its zone, summer hour and clock) and the city table.
    Home& home() { return home_; }
    const Home& home() const { return home_; }
    const HomeZone& homeZone() const { return homeZone_; }
    CityTable& cities() { return cities_; }
    const CityTable& cities() const { return cities_; }

    // A fatal file error was reported: the program must end with status 1.
    bool failed() const { return failed_; }
    // The start-up picture window is to be shown; the tick's count
    // or a click closes it.
    bool startupPictureOpen() const { return startupPictureOpen_; }
    void startupPictureClicked() { startupPictureOpen_ = false; }

    // Lifecycle. Each returns false after a fatal file error.
    bool startUp();
    void tick();
    bool shutDown();
    // Shut-down has begun: what the program had to save is saved or failed.
    bool shutDownStarted() const { return shutDownStarted_; }
    // seg.dat as shut-down would write it now; the state is left as it is,
    // so the program can go on running.
    DisplaySettings displaySettingsToSave() const;
    // Writes seg.dat as shut-down would, without ending anything: for a
    // desktop session that is about to end. False after a fatal file error.
    bool saveDisplaySettings();
    // Keeps seg.dat as shut-down would write it now, for the endings that
    // run none of the program's code (Qt's Wayland platform ends the process
    // with _exit when the compositor goes away): writes it when that record
    // differs from what the file held at start-up or was last kept with.
    // A failed write is one warning and stops nothing; it is tried again
    // when the record changes, and shut-down's own write still decides.
    void keepDisplaySettingsCurrent();
    // The next tick is due within a few milliseconds, not at the next whole
    // second: the start-up count runs on ticks, and a date-marker refresh is
    // spread over nine ticks.
    bool needsFastTicks() const;

    // Main window commands.
    void signalClick();                  // the signal button and the Segnale item
    void hemisphereClick(Hemisphere hemisphere);  // the hemisphere's options
    void upDownClick(int step);          // +1 up, -1 down
    void zoneBoxChanged(const std::string& text);  // any change of the zone box
    void saveZoneClick();                // "Salva" beside the zone box
    void dstSwitchClick();               // the summer-time button
    void pageSwitchClick();              // the table button
    void tableMenuClick(int index);      // tabel(2), tabel(3)
    void infoClick();                    // starts Infor.snm; the window then opens the information window

    // The colour menus act on the scheme directly.
    ColourScheme& colours() { return colours_; }

    // The system's time-zone database, attached once the window is shown
    // (reading it takes a few milliseconds). From then on the rows whose
    // names fusi.tz gives a zone follow it, and so may the home.
    void attachZoneDatabase(const ZoneDatabase& zones);

    // Services for the dialogs.
    ClockReading now() { return platform_.now(); }
    void legaleSinoToday() { home_.decideSummer(now()); }   // LegaleSino with today's date
    void showDstLabel() { home_.showSummerCaption(); }      // ShowDstLabel
    // The dialogs' edits, each through its own door.
    PlaceSettings place() const;
    void setPlace(const PlaceSettings& place);
    // The date-marker pair: the date panels show it at once, the row
    // markers and their sizes follow over the next ticks.
    void setDateSymbols(std::string first, std::string second);
    void setDstRule(const DstRule& rule);   // in memory; saveDstRule() writes it
    void saveDstRule();                  // Parleg.dat; throws FileError
    void refreshDateMarkers() override;  // font sizes from car.tip
    void requestReload();                // the tick re-reads fusi.dat
    // Writes lxp2.par with the settings in force; the home zone and
    // hemisphere in it count as saved: the zone's save button goes off and shut-down has
    // nothing left to ask about.
    void saveSiteSettings();
    // Runs fn; a FileError is reported as fatal. Returns false after one.
    template <class Fn> bool guarded(Fn&& fn);

private:
    // What the tick makes the program do.
    void summerSwitchCommand() override;
    void closeStartupPicture() override { startupPictureOpen_ = false; }

    // The machine's zone changed under a home that follows it: the zone
    // box, the hemisphere and their save button show the home's new settings.
    void followMachine(const ClockReading& now);
    void readDisplaySettings();
    void showDateSymbols();
    void applySignalView();
    void updateSaveZoneButton();
    void pageSwitched();
    void setupStaticView();
    void writeDisplaySettings();
    void writeSiteSettings();            // lxp2.par alone, nothing counts as saved
    void reportFatal(const FileError& e);

    Platform& platform_;
    std::filesystem::path dir_;
    std::filesystem::path dataDir_;
    SharedState s_;
    MainView v_;
    bool failed_ = false;
    bool shutDownStarted_ = false;
    bool startupPictureOpen_ = false;
    // seg.dat as read at start-up (none: no file), or as last kept or tried.
    std::optional<DisplaySettings> displaySettingsKept_;

    HomeZone homeZone_;
    Home home_{s_, v_, homeZone_};
    CityTable cities_;
    ColourScheme colours_{s_.display, v_};
    Tick tick_{s_, v_, home_, cities_, *this, platform_};
};

template <class Fn> bool Program::guarded(Fn&& fn) {
    if (failed_) return false;
    try {
        fn();
    } catch (const FileError& e) {
        reportFatal(e);
    }
    return !failed_;
}

} // namespace vemar
