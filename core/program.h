#pragma once
// The main window's logic: start-up, the tick, the commands, the colour
// schemes and shut-down, on the shared state and the main view. The Qt
// window forwards its events here and renders view() afterwards.

#include "astro.h"
#include "calendar.h"
#include "files.h"
#include "platform.h"
#include "state.h"
#include "view.h"

#include <filesystem>
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

    // A fatal file error was reported: the program must end with status 1.
    bool failed() const { return failed_; }
    // The start-up picture window (Form4) is to be shown; the tick's count
    // or a click closes it.
    bool startupPictureOpen() const { return startupPictureOpen_; }
    void closeStartupPicture() { startupPictureOpen_ = false; }

    // Lifecycle. Each returns false after a fatal file error.
    bool startUp();
    void tick();
    bool shutDown();
    // The next tick is due within a few milliseconds, not at the next whole
    // second: the start-up count runs on ticks, a date-marker refresh is
    // spread over nine ticks, and a tick that moved the day on leaves panels
    // that read the previous tick's day.
    bool needsFastTicks() const;

    // Main window commands.
    void signalClick();                  // SSCommand1 and the Segnale item
    void hemisphereClick(int hemisphere);  // Option1 (1), Option2 (2)
    void upDownClick(int step);          // +1 up, -1 down
    void text1Changed(const std::string& text);  // any change of Text1
    void saveZoneClick();                // Command1
    void dstSwitchClick();               // SSPanel5
    void pageSwitchClick();              // SSPanel7
    void tableMenuClick(int index);      // tabel(2), tabel(3)
    void infoClick();                    // starts Infor.snm; the window then opens Form3

    // Colour schemes.
    void screenColourClick(int colour);  // Bscuro 1, vscuro 2, Rscuro 4, grigio 7, GScuro 8
    void timesColourClick(int colour);   // blu 1, vscuro2 2, Rscuro2 4, Gchiaro 7
    void citiesLightGreyClick();         // Gric
    void citiesBlackClick();             // Nero
    void originalColoursClick();         // colorig
    void undoColoursClick();             // Annulla

    // Services for the dialogs.
    ClockReading now() { return platform_.now(); }
    void legaleSinoToday();              // LegaleSino with today's date
    void showDstLabel();                 // ShowDstLabel
    void showDateSymbols();              // the two date-panel symbols
    void refreshDateMarkers();           // font sizes from car.tip
    void requestReload();                // the tick re-reads fusi.dat
    void writeSiteSettings();            // lxp2.par, storedZoneOffset set first
    // Runs fn; a FileError is reported as fatal. Returns false after one.
    template <class Fn> bool guarded(Fn&& fn);

private:
    void readDisplaySettings();
    void applySignalView();
    void disableCurrentColourItems();
    void paintSurround(Rgb back);
    void applyScreenColourView(int colour);
    void applyTimesColourView(int colour);
    void applyCitiesColourView(int colour);
    void setWindowColourMenu(int colour);
    void setTimesColourMenu(int colour);
    void setCitiesColourMenu(int colour);
    void origOff();
    void setCommand1();
    void pageSwitched();
    void setupStaticView();
    void writeDisplaySettings();
    void reportFatal(const FileError& e);

    // The tick's steps (clock.cpp).
    void tickBody(const ClockReading& now);
    void reinitialise();
    void loadZoneTable();
    void namesPass();
    void southernSync();
    void startupCount(int second);
    void rowsPass(const ClockReading& now, bool rowMorningWindow);
    void timeSignal(int second);
    void panelsUpdate(const ClockReading& now);
    void yearEnd(const ClockReading& now);
    void datePair(const ClockReading& now, bool firstIsYesterday);
    void astronomy(const ClockReading& now);

    Platform& platform_;
    std::filesystem::path dir_;
    SharedState s_;
    MainView v_;
    bool failed_ = false;
    bool startupPictureOpen_ = false;
    // The last tick changed the day shift or a date line. The day panels and
    // the markers' tooltips are computed before the date pair and so read the
    // previous tick's values: one more tick at once brings them level.
    bool dayChangedLastTick_ = false;

    // Remembers the inputs of a computation so that a tick whose inputs did
    // not change skips it: most ticks fall within a second already shown.
    template <class Key> struct Memo {
        Key key{};
        bool valid = false;
        bool changed(const Key& k) {
            if (valid && k == key) return false;
            key = k;
            valid = true;
            return true;
        }
    };
    struct PanelKey {
        ClockReading now;
        double utHour = 0, clockMinutes = 0, lonDegrees = 0, lonMinutes = 0;
        int dayOfYear = 0, daysLeft = 0, inDstWindow = 0, zoneOffset = 0;
        friend bool operator==(const PanelKey&, const PanelKey&) = default;
    };
    struct DayKey {
        int day = 0, month = 0, year = 0, dayShift = 0;
        friend bool operator==(const DayKey&, const DayKey&) = default;
    };
    Memo<PanelKey> panels_;
    Memo<DayKey> yearEnd_, datePair_;
    Memo<double> julianDayLabel_;
    YearEnd yearEndResult_;

    // Sun and moon change only with the date, the place and the zone hours.
    struct SkyKey {
        int year = 0, month = 0, day = 0, zoneHours = 0;
        astro::Place place;
        bool valid = false;
        friend bool operator==(const SkyKey&, const SkyKey&) = default;
    } skyKey_;
    std::string scratch_;
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
