#include "program.h"

#include "core/files.h"
#include "core/texts.h"
#include "core/time/calendar.h"
#include "core/time/dst.h"

#include <cmath>
#include <tuple>

namespace vemar {

namespace {

// "- Tabella 2 -   Fusi Orari"
std::string TableCaption(int page) {
    return std::string(texts::kTablePrefix) + std::to_string(page) + std::string(texts::kTableSuffix);
}

} // namespace

Program::Program(Platform& platform, std::filesystem::path workDir)
    : platform_(platform), dir_(std::move(workDir)), homeZone_(platform, {dir_, dir_}), cities_(platform, dir_) {
    setupStaticView();
}

std::filesystem::path Program::dataFile(const char* name) const { return (dataDir_.empty() ? dir_ : dataDir_) / name; }

void Program::setDataDir(std::filesystem::path dir) {
    dataDir_ = std::move(dir);
    homeZone_.setDataDir(dataDir_);
}

void Program::reportFatal(const FileError& e) {
    failed_ = true;
    platform_.fatalFileError(e.file, e.what());
}

// Captions and tooltips that never change after start.
void Program::setupStaticView() {
    using namespace texts;
    v_.form.caption = kCaption;
    v_.utHeading.caption = kUtHeading;
    v_.meanTimeHeading.caption = kLmtHeading;
    v_.siderealHeading.caption = kSiderealHeading;
    v_.utHeading.tooltip = kTipUt;
    v_.meanTimeHeading.tooltip = kTipLmt;
    v_.siderealHeading.tooltip = kTipSidereal;
    v_.northLegend.caption = kLegendNorth;
    v_.halfHourLegend.caption = kLegendHalfHour;
    v_.southLegend.caption = kLegendSouth;
    constexpr std::string_view panelTips[] = {kTipUt, kTipLmt, kTipSidereal,
                                              kTipSinceYearStart, kTipToYearEnd, kTipJulianDay};
    for (int i = 0; i < 6; ++i) v_.panels()[i]->tooltip = panelTips[i];
    v_.dateSymbols[0].tooltip = kTipDateSymbol;
    v_.dateSymbols[3].tooltip = kTipDateSymbol;
    v_.summerTimeButton.tooltip = kTipDstSwitch;
    v_.tableButton.tooltip = kTipSelectTable;
    v_.signalButton.tooltip = kTipSignal;
    v_.zoneFrame.caption = kZoneFrame;
    v_.zoneUpDown.tooltip = kTipZoneBox;
    v_.zoneBox.accessibleName = kZoneBoxName;
    v_.zoneUpDown.accessibleName = kZoneArrowsName;
    v_.zoneArrowNames = {std::string(kZoneUpName), std::string(kZoneDownName)};
    v_.saveZoneButton.caption = kSaveZone;
    v_.saveZoneButton.tooltip = kTipSaveZone;
    v_.saveZoneButton.enabled = false;
    v_.hemisphereFrame.caption = kHemisphereFrame;
    v_.northOption.caption = kNorth;
    v_.northOption.tooltip = kTipNorth;
    v_.southOption.caption = kSouth;
    v_.southOption.tooltip = kTipSouth;

    // The time-scale values read like a display: yellow on black on every scheme.
    for (ControlView* panel : v_.panels()) {
        panel->backColour = palette(0);
        panel->textColour = palette(14);
    }
    for (auto* heading : {&v_.utHeading, &v_.meanTimeHeading, &v_.siderealHeading}) {
        heading->backColour = palette(0);
        heading->textColour = palette(15);
    }
    for (auto& marker : v_.dateMarkers) marker.textColour = palette(12);
    v_.zoneBox.backColour = palette(15);
}

bool Program::startUp() {
    return guarded([&] {
        v_.menu.tabel2.enabled = false;
        v_.menu.segnale.checked = false;
        s_.table.tableNumber = 1;
        s_.site.zoneOffset = std::chrono::hours{1};
        s_.display.signalOn = 0;

        RemoveStaleTemporaries(dir_);
        readDisplaySettings();
        showDateSymbols();

        s_.site = ReadSiteSettings(file(kSiteFile));
        s_.dstRule = ReadParleg(file(kRuleFile));
        // The first tick would read the table; reading it here means a damaged
        // fusi.dat ends the program before any window is drawn.
        cities_.load();
        s_.table.zoneTableLoaded = 1;
        s_.zoneOffsetAtLoad = s_.site.zoneOffset;
        s_.hemisphereAtLoad = s_.site.hemisphere;

        const Hemisphere hemisphere = s_.site.hemisphere;
        if (hemisphere == Hemisphere::North || hemisphere == Hemisphere::South) hemisphereClick(hemisphere);
        legaleSinoToday();
        tick_.yearEnd(now());

        if (s_.site.autoDst == 0) home_.captionAtStart();
        else home_.showSummerCaption();

        zoneBoxChanged(NumberText(s_.site.zoneOffset.count()));
        applySignalView();
        colours_.applyAtStartUp();

        v_.tableButton.caption = TableCaption(s_.table.tableNumber);
        startupPictureOpen_ = true;
    });
}

// seg.dat is optional: without it (or with fields that are not numbers) every
// value keeps its start value of 0 and the date symbols stay empty.
void Program::readDisplaySettings() {
    displaySettingsKept_ = ReadDisplaySettings(file(kDisplayFile));
    s_.display = displaySettingsKept_.value_or(DisplaySettings{});
    // The button flips the signal only from -1 (on) or 0 (off): a damaged or
    // hand-edited memory that disagrees with the signal would make clicks do
    // nothing, for good when it lies outside the two. The signal decides.
    s_.display.signalToggle = s_.display.signalOn == 1 ? -1 : 0;
}

bool Program::shutDown() {
    shutDownStarted_ = true;
    return guarded([&] {
        writeDisplaySettings();
        if (s_.site.zoneOffset != s_.zoneOffsetAtLoad || s_.hemisphereAtLoad != s_.site.hemisphere) {
            if (platform_.askYesNo(std::string(texts::kSaveZoneQuestion), std::string(texts::kCaption)))
                writeSiteSettings();
        }
    });
}

DisplaySettings Program::displaySettingsToSave() const {
    const StoredColours c = colours_.toStore();
    DisplaySettings stored = s_.display;
    std::tie(stored.screenColour, stored.timesColour, stored.citiesColour, stored.coloursChanged) =
        std::tie(c.screen, c.times, c.cities, c.changed);
    return stored;
}

void Program::writeDisplaySettings() {
    WriteDisplaySettings(file(kDisplayFile), displaySettingsToSave());
    platform_.fileWritten(kDisplayFile);
}

bool Program::saveDisplaySettings() {
    return guarded([&] { writeDisplaySettings(); });
}

void Program::keepDisplaySettingsCurrent() {
    const DisplaySettings record = displaySettingsToSave();
    if (failed_ || shutDownStarted_ || displaySettingsKept_ == record) return;
    // Noted before the write: a failed one warns once per change, not at every tick.
    displaySettingsKept_ = record;
    try {
        WriteDisplaySettings(file(kDisplayFile), record);
        platform_.fileWritten(kDisplayFile);
    } catch (const FileError& e) {
        platform_.warning(e.file + ": " + e.what() + std::string(texts::kRetriedAtClose));
    }
}

// Every save of lxp2.par by the user also says, in casa.tz, whether the home
// still follows the machine's zone.
void Program::writeSiteSettings() {
    WriteSiteSettings(file(kSiteFile), s_.site);
    platform_.fileWritten(kSiteFile);
    homeZone_.settingsSaved(s_.site, s_.dstRule);
}

void Program::saveSiteSettings() {
    writeSiteSettings();
    s_.zoneOffsetAtLoad = s_.site.zoneOffset;
    s_.hemisphereAtLoad = s_.site.hemisphere;
    v_.saveZoneButton.enabled = false;
}

void Program::tick() {
    if (failed_) return;
    const ClockReading reading = platform_.now();
    followMachine(reading);
    guarded([&] { tick_.run(reading); });
}

void Program::followMachine(const ClockReading& now) {
    homeZone_.retryWrites(now);
    if (!homeZone_.travel(s_.site, s_.dstRule, now)) return;
    // Written already: nothing of it is left for the save button or the question at the end.
    s_.zoneOffsetAtLoad = s_.site.zoneOffset;
    s_.hemisphereAtLoad = s_.site.hemisphere;
    zoneBoxChanged(NumberText(s_.site.zoneOffset.count()));
    const Hemisphere hemisphere = s_.site.hemisphere;
    v_.northOption.checked = hemisphere == Hemisphere::North;
    v_.southOption.checked = hemisphere == Hemisphere::South;
    home_.decideSummer(now);
    home_.showSummerCaption();
}

// --- The system's time-zone database ---

void Program::attachZoneDatabase(const ZoneDatabase& zones) {
    cities_.attach(zones);
    home_.attach(cities_.databaseMode());
    if (cities_.databaseMode()) {
        const ClockReading reading = now();
        homeZone_.attach(zones, s_.site, s_.dstRule, reading);
        followMachine(reading);
    }
    if (home_.decidedFor()) {
        legaleSinoToday();
        if (home_.followsZone()) showDstLabel();
    }
}

void Program::showDateSymbols() {
    v_.dateSymbols[0].caption = s_.display.dateSymbol1;
    v_.dateSymbols[3].caption = s_.display.dateSymbol2;
    DateSymbolName(v_.dateSymbols[0].accessibleName, false, s_.display.dateSymbol1);
    DateSymbolName(v_.dateSymbols[3].accessibleName, true, s_.display.dateSymbol2);
}

PlaceSettings Program::place() const {
    const SiteSettings& site = s_.site;
    return {site.latDegrees, site.latMinutes, site.lonDegrees, site.lonMinutes, site.halfHour, site.autoDst};
}

void Program::setPlace(const PlaceSettings& place) {
    SiteSettings& site = s_.site;
    std::tie(site.latDegrees, site.latMinutes, site.lonDegrees, site.lonMinutes) =
        std::tie(place.latDegrees, place.latMinutes, place.lonDegrees, place.lonMinutes);
    site.halfHour = place.halfHour;
    site.autoDst = place.autoDst;
}

void Program::setDstRule(const DstRule& rule) { s_.dstRule = rule; }

void Program::saveDstRule() {
    WriteParleg(file(kRuleFile), s_.dstRule);
    platform_.fileWritten(kRuleFile);
    homeZone_.settingsSaved(s_.site, s_.dstRule);
}

void Program::setDateSymbols(std::string first, std::string second) {
    s_.display.dateSymbol1 = std::move(first);
    s_.display.dateSymbol2 = std::move(second);
    showDateSymbols();
    s_.tick.symbolRefresh = 1;
}

// car.tip is read at every call, so an edit of it shows at the next refresh.
void Program::refreshDateMarkers() {
    const auto large = ReadLargeMarkers(file(kMarkerFile));
    auto sizeFor = [&](const std::string& caption) {
        for (const auto& entry : large)
            if (entry == caption) return 18;
        return 10;
    };
    for (auto& marker : v_.dateMarkers) marker.fontSize = sizeFor(marker.caption);
    v_.dateSymbols[0].fontSize = sizeFor(v_.dateSymbols[0].caption);
    v_.dateSymbols[3].fontSize = sizeFor(v_.dateSymbols[3].caption);
}

bool Program::needsFastTicks() const {
    return s_.tick.tickStage != TickStage::Running || s_.tick.symbolRefresh == 1;
}

void Program::requestReload() {
    s_.table.zoneTableLoaded = 0;
    s_.tick.tickStage = TickStage::Reinitialise;
}

// --- Main window commands ---

void Program::applySignalView() {
    v_.menu.segnale.checked = s_.display.signalOn == 1;
    v_.signalButton.textColour = palette(s_.display.signalOn == 1 ? 4 : 0);
    v_.signalButton.caption =
        std::string(texts::kSignal) + std::string(s_.display.signalOn == 1 ? texts::kSignalOn : texts::kSignalOff);
}

void Program::signalClick() {
    s_.display.signalToggle += 1;
    if (s_.display.signalToggle == 0) s_.display.signalOn = 0;
    else if (s_.display.signalToggle == 1) s_.display.signalOn = 1;
    applySignalView();
    if (s_.display.signalToggle == 1) s_.display.signalToggle = -1;
}

void Program::hemisphereClick(Hemisphere hemisphere) {
    s_.site.hemisphere = hemisphere;
    v_.northOption.checked = hemisphere == Hemisphere::North;
    v_.southOption.checked = hemisphere == Hemisphere::South;
    v_.saveZoneButton.enabled = s_.hemisphereAtLoad != hemisphere;
    home_.hemisphereCaption();
    legaleSinoToday();
    const double sign = IsNorthern(hemisphere) ? 1 : -1;
    s_.site.latDegrees = sign * std::fabs(s_.site.latDegrees);
    s_.site.latMinutes = sign * std::fabs(s_.site.latMinutes);
    showDstLabel();
}

void Program::updateSaveZoneButton() {
    v_.saveZoneButton.enabled = s_.site.zoneOffset != s_.zoneOffsetAtLoad;
}

void Program::upDownClick(int step) {
    using std::chrono::hours;
    s_.site.zoneOffset += hours{step};
    if (s_.site.zoneOffset > hours{12}) s_.site.zoneOffset = hours{-12};
    if (s_.site.zoneOffset < hours{-12}) s_.site.zoneOffset = hours{12};
    const std::string text = NumberText(s_.site.zoneOffset.count());
    if (text != v_.zoneBox.caption) zoneBoxChanged(text);
}

// Runs for every change of the zone box, typed or set: only digits and minus signs
// stay, and the offset is clamped to -12..12.
void Program::zoneBoxChanged(const std::string& text) {
    v_.zoneBox.caption = text;
    updateSaveZoneButton();
    if (!text.empty()) {
        std::string kept;
        for (char c : text)
            if ((c >= '0' && c <= '9') || c == '-') kept += c;
        const double number = LeadingNumber(kept);
        if (number > 12) kept = "12";
        else if (number < -12) kept = "-12";
        v_.zoneBox.caption = kept;
        s_.site.zoneOffset = std::chrono::hours{ToInteger(LeadingNumber(kept))};
    }
    updateSaveZoneButton();
}

void Program::saveZoneClick() {
    guarded([&] {
        saveSiteSettings();
        platform_.beep();
    });
}

// The choice is saved at once, so that it survives a restart.
void Program::dstSwitchClick() {
    if (home_.switchSummer(true)) guarded([&] { writeSiteSettings(); });
}

// The tick's southern synchronisation runs the same command; it is not the
// user's, so the home stays on its zone.
void Program::summerSwitchCommand() {
    if (home_.switchSummer(false)) writeSiteSettings();
}

namespace {
void showPage(SharedState& s, MainView& v, int page) {
    s.table.tableBase = page == 2 ? kPageRows : 0;
    v.menu.tabel2.enabled = page == 2;
    v.menu.tabel3.enabled = page == 1;
    s.table.tableNumber = page;
}
} // namespace

// The next tick shows the page from the table already in memory and
// refreshes the markers, whose sizes depend on their new captions.
void Program::pageSwitched() {
    s_.table.zoneTableLoaded = 0;
    v_.tableButton.caption = TableCaption(s_.table.tableNumber);
    s_.tick.symbolRefresh = 1;
}

void Program::pageSwitchClick() {
    if (s_.table.tableNumber == 1) showPage(s_, v_, 2);
    else if (s_.table.tableNumber == 2) showPage(s_, v_, 1);
    pageSwitched();
}

void Program::tableMenuClick(int index) {
    showPage(s_, v_, index == 2 ? 1 : 2);
    pageSwitched();
}

void Program::infoClick() {
    platform_.playSound(dataFile(kInfoSound).string());
}

} // namespace vemar
