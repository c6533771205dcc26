#pragma once
// The main window's logic: start-up, the commands and shut-down, on the
// shared state and the main view; the tick and the colour schemes are its
// parts. The Qt window forwards its events here and renders view() afterwards.

#include "astro.h"
#include "core/time/calendar.h"
#include "colourscheme.h"
#include "files.h"
#include "core/time/homezone.h"
#include "platform.h"
#include "state.h"
#include "tick.h"
#include "view.h"
#include "core/time/zonedatabase.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vemar {


class Program {
public:
    Program(Platform& platform, std::filesystem::path workDir);

    SharedState& state() { return s_; }
    const SharedState& state() const { return s_; }
    MainView& view() { return v_; }
    const MainView& view() const { return v_; }
    Platform& platform() { return platform_; }
    std::filesystem::path file(const char* name) const { return dir_ / name; }
    // The installed data folder, never written: the information sound is
    // played from there. Until it is set, the working directory serves.
    void setDataDir(std::filesystem::path dir) { dataDir_ = std::move(dir); }

    // A fatal file error was reported: the program must end with status 1.
    bool failed() const { return failed_; }
    // The start-up picture window is to be shown; the tick's count
    // or a click closes it.
    bool startupPictureOpen() const { return startupPictureOpen_; }
    void closeStartupPicture() { startupPictureOpen_ = false; }

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
    const ZoneDatabase* zoneDatabase() const { return zones_; }
    // Reads fusi.tz again and tells each row of the table which zone it
    // follows; every damaged line is one warning. Without the file, or
    // without a database, every row follows its class.
    void loadCityZones();
    // fusi.tz as last read; nullopt in table mode (no file, no database).
    const std::optional<CityZones>& cityZones() const { return cityZones_; }
    // The zone a city of that name follows; empty when it follows its class.
    std::string zoneOfCity(std::string_view name) const;
    // A zone's offset at the instant of the last tick, in seconds.
    std::optional<int> zoneOffsetNow(std::string_view zone) const;
    // The home's clock at a reading: whether it follows the system's zone,
    // and that zone's offset and summer hour now.
    HomeZone::State homeZoneAt(const ClockReading& now);
    // The day of a reading as universal time counts it: the zone's offset at
    // that day's local noon, in minutes, for the sun and moon.
    std::optional<int> homeNoonOffsetMinutes(const ClockReading& now) const;

    // Services for the dialogs and the tick.
    ClockReading now() { return platform_.now(); }
    void legaleSinoToday();              // LegaleSino with today's date
    // LegaleSino: the period text; the summer hour by the rule, unless the
    // home follows its zone, whose period the text then shows.
    void legaleSino(const ClockReading& today);
    // The date of the last summer-time decision; none before start-up.
    std::optional<CalendarDate> summerTimeDecidedFor() const { return summerTimeDecidedFor_; }
    void showDstLabel();                 // ShowDstLabel
    // The dialogs' edits, each through its own door.
    PlaceSettings place() const;
    void setPlace(const PlaceSettings& place);
    // The date-marker pair: the date panels show it at once, the row
    // markers and their sizes follow over the next ticks.
    void setDateSymbols(std::string first, std::string second);
    void setDstRule(const DstRule& rule);   // in memory; the rule dialog saves it
    void refreshDateMarkers();           // font sizes from car.tip
    void requestReload();                // the tick re-reads fusi.dat
    // Writes lxp2.par with the settings in force; the home zone and
    // hemisphere in it count as saved: the zone's save button goes off and shut-down has
    // nothing left to ask about.
    void saveSiteSettings();
    // Runs fn; a FileError is reported as fatal. Returns false after one.
    template <class Fn> bool guarded(Fn&& fn);

private:
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

    std::optional<CalendarDate> summerTimeDecidedFor_;
    const ZoneDatabase* zones_ = nullptr;
    std::optional<CityZones> cityZones_;
    bool reportedNoDatabase_ = false;
    HomeZone homeZone_;
    ColourScheme colours_{s_.display, v_};
    Tick tick_{*this};
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
