#include "program.h"

#include "calendar.h"
#include "dst.h"
#include "files.h"
#include "texts.h"

#include <cmath>
#include <set>

namespace vemar {

namespace {

// lxp2.par into the shared state and back; the record keeps the spare fields
// from the read until every later write.
void PutSiteSettings(const SiteSettings& site, SharedState& s) {
    s.latDegrees = site.latDegrees;
    s.latMinutes = site.latMinutes;
    s.lonDegrees = site.lonDegrees;
    s.lonMinutes = site.lonMinutes;
    s.zoneOffset = site.zoneOffset;
    s.inDstWindow = site.inDstWindow;
    s.hemisphere = site.hemisphere;
    s.outsideDstWindow = site.outsideDstWindow;
    s.siteHalfHour = site.halfHourMinutes;
    s.autoDst = site.autoDst;
    s.siteRecord = site.record;
}

SiteSettings SiteSettingsOf(const SharedState& s) {
    SiteSettings site;
    site.latDegrees = s.latDegrees;
    site.latMinutes = s.latMinutes;
    site.lonDegrees = s.lonDegrees;
    site.lonMinutes = s.lonMinutes;
    site.zoneOffset = s.zoneOffset;
    site.inDstWindow = s.inDstWindow;
    site.hemisphere = s.hemisphere;
    site.outsideDstWindow = s.outsideDstWindow;
    site.halfHourMinutes = s.siteHalfHour;
    site.autoDst = s.autoDst;
    site.record = s.siteRecord;
    return site;
}

} // namespace

Program::Program(Platform& platform, std::filesystem::path workDir)
    : platform_(platform), dir_(std::move(workDir)) {
    setupStaticView();
}

void Program::reportFatal(const FileError& e) {
    failed_ = true;
    platform_.fatalFileError(e.file, e.what());
}

// Captions and tooltips that never change after start.
void Program::setupStaticView() {
    using namespace texts;
    v_.form.caption = kCaption;
    v_.label7.caption = kUtHeading;
    v_.label8.caption = kLmtHeading;
    v_.label9.caption = kSiderealHeading;
    v_.label7.tooltip = kTipUt;
    v_.label8.tooltip = kTipLmt;
    v_.label9.tooltip = kTipSidereal;
    v_.label4.caption = kLegendNorth;
    v_.label5.caption = kLegendHalfHour;
    v_.label6.caption = kLegendSouth;
    constexpr std::string_view panelTips[] = {kTipUt, kTipLmt, kTipSidereal,
                                              kTipSinceYearStart, kTipToYearEnd, kTipJulianDay};
    for (int i = 0; i < 6; ++i) v_.panels()[i]->tooltip = panelTips[i];
    v_.ssPanel1[0].tooltip = kTipDateSymbol;
    v_.ssPanel1[3].tooltip = kTipDateSymbol;
    v_.ssPanel5.tooltip = kTipDstSwitch;
    v_.ssPanel7.tooltip = kTipSelectTable;
    v_.ssCommand1.tooltip = kTipSignal;
    v_.frame1.caption = kZoneFrame;
    v_.upDown1.tooltip = kTipZoneBox;
    v_.command1.caption = kSaveZone;
    v_.command1.tooltip = kTipSaveZone;
    v_.command1.enabled = false;
    v_.frame2.caption = kHemisphereFrame;
    v_.option1.caption = kNorth;
    v_.option1.tooltip = kTipNorth;
    v_.option2.caption = kSouth;
    v_.option2.tooltip = kTipSouth;

    // The time-scale values read like a display: yellow on black on every scheme.
    for (ControlView* panel : v_.panels()) {
        panel->backColour = palette(0);
        panel->textColour = palette(14);
    }
    for (auto* heading : {&v_.label7, &v_.label8, &v_.label9}) {
        heading->backColour = palette(0);
        heading->textColour = palette(15);
    }
    for (auto& marker : v_.label3) marker.textColour = palette(12);
    v_.text1.backColour = palette(15);
}

bool Program::startUp() {
    return guarded([&] {
        v_.menu.tabel2.enabled = false;
        v_.menu.segnale.checked = false;
        s_.tableNumber = 1;
        s_.zoneOffset = 1;
        s_.signalOn = 0;

        RemoveStaleTemporaries(dir_);
        readDisplaySettings();
        showDateSymbols();

        PutSiteSettings(ReadSiteSettings(file(kSiteFile)), s_);
        s_.dstRule = ReadParleg(file(kRuleFile));
        // The first tick would read the table; reading it here means a damaged
        // fusi.dat ends the program before any window is drawn.
        tick_.loadZoneTable();
        s_.zoneOffsetAtLoad = s_.zoneOffset;
        s_.hemisphereAtLoad = s_.hemisphere;

        if (s_.hemisphere == Hemisphere::North || s_.hemisphere == Hemisphere::South) hemisphereClick(s_.hemisphere);
        legaleSinoToday();
        const ClockReading today = now();
        const YearEnd yearEnd = InFineAnno(today.day, today.month, today.year, s_.dayShift);
        s_.dayOfYear = yearEnd.dayOfYear;
        s_.daysLeft = yearEnd.daysLeft;
        v_.ssPanel8.caption = yearEnd.dayCaption;
        v_.ssPanel8.textColour = yearEnd.dayColour;
        v_.ssPanel9.caption = yearEnd.leftCaption;
        v_.ssPanel9.textColour = yearEnd.leftColour;

        if (s_.autoDst == 0) {
            if (s_.outsideDstWindow == 0) v_.ssPanel5.caption = texts::kSummerTime;
            else if (s_.outsideDstWindow == 1) v_.ssPanel5.caption = texts::kStandardTime;
        } else {
            showDstLabel();
        }

        text1Changed(NumberText(s_.zoneOffset));
        applySignalView();
        colours_.applyAtStartUp();

        v_.ssPanel7.caption = std::string(texts::kTablePrefix) + "1" + std::string(texts::kTableSuffix);
        startupPictureOpen_ = true;
    });
}

// seg.dat is optional: without it (or with fields that are not numbers) every
// value keeps its start value of 0 and the date symbols stay empty.
void Program::readDisplaySettings() {
    const DisplaySettings read = ReadDisplaySettings(file(kDisplayFile)).value_or(DisplaySettings{});
    s_.signalOn = read.signalOn;
    s_.screenColour = read.screenColour;
    s_.timesColour = read.timesColour;
    s_.citiesColour = read.citiesColour;
    s_.coloursChanged = read.coloursChanged;
    s_.spareValue = read.spareValue;
    // The button flips the signal only from -1 (on) or 0 (off): a damaged or
    // hand-edited memory that disagrees with the signal would make clicks do
    // nothing, for good when it lies outside the two. The signal decides.
    s_.signalToggle = s_.signalOn == 1 ? -1 : 0;
    s_.dateSymbol1 = read.dateSymbol1;
    s_.dateSymbol2 = read.dateSymbol2;
}

bool Program::shutDown() {
    shutDownStarted_ = true;
    return guarded([&] {
        const StoredColours stored = colours_.toStore();
        s_.screenColour = stored.screen;
        s_.timesColour = stored.times;
        s_.coloursChanged = stored.changed;
        writeDisplaySettings();
        if (s_.zoneOffset != s_.zoneOffsetAtLoad || s_.hemisphereAtLoad != s_.hemisphere) {
            if (platform_.askYesNo(std::string(texts::kSaveZoneQuestion), std::string(texts::kCaption)))
                writeSiteSettings();
        }
    });
}

DisplaySettings Program::displaySettingsToSave() const {
    const StoredColours c = colours_.toStore();
    return {.signalOn = s_.signalOn, .signalToggle = s_.signalToggle, .screenColour = c.screen,
            .timesColour = c.times, .citiesColour = c.cities, .coloursChanged = c.changed,
            .spareValue = s_.spareValue, .dateSymbol1 = s_.dateSymbol1, .dateSymbol2 = s_.dateSymbol2};
}

void Program::writeDisplaySettings() {
    WriteDisplaySettings(file(kDisplayFile), displaySettingsToSave());
    platform_.fileWritten(kDisplayFile);
}

bool Program::saveDisplaySettings() {
    return guarded([&] { writeDisplaySettings(); });
}

void Program::writeSiteSettings() {
    WriteSiteSettings(file(kSiteFile), SiteSettingsOf(s_));
    platform_.fileWritten(kSiteFile);
}

void Program::saveSiteSettings() {
    writeSiteSettings();
    s_.zoneOffsetAtLoad = s_.zoneOffset;
    s_.hemisphereAtLoad = s_.hemisphere;
    v_.command1.enabled = false;
}

void Program::tick() {
    if (failed_) return;
    const ClockReading reading = platform_.now();
    guarded([&] { tick_.run(reading); });
}

// --- Services shared with the dialogs ---

void Program::legaleSinoToday() { legaleSino(now()); }

// The rule's summer still drives the rows without a zone; the home's summer
// hour and the period text come from the rule only while the home does not
// follow the system's zone.
void Program::legaleSino(const ClockReading& today) {
    const DstPeriod period =
        LegaleSino(s_.dstRule, s_.hemisphere, s_.autoDst, today.day, today.month, today.year);
    s_.ruleSummer = period.ruleSummer;
    const HomeZone::State home = homeZoneAt(today);
    if (home.followsZone) {
        const auto zone = platform_.systemZone();
        const ZonePeriod texts = ZonePeriodTexts(SummerPeriodOf(*zones_, zone, today.year, *today.utcSeconds),
                                                 s_.hemisphere, today.year);
        v_.ssPanel6.caption = texts.caption;
        v_.ssPanel6.tooltip = texts.tooltip;
    } else {
        v_.ssPanel6.caption = period.caption;
        v_.ssPanel6.tooltip = period.tooltip;
        if (period.inDstWindow) s_.inDstWindow = *period.inDstWindow;
    }
    summerTimeDecidedFor_ = CalendarDate{today.day, today.month, today.year};
}

// --- The system's time-zone database ---

void Program::attachZoneDatabase(const ZoneDatabase& zones) {
    zones_ = &zones;
    loadCityZones();
    if (summerTimeDecidedFor_) legaleSinoToday();
}

void Program::loadCityZones() {
    cityZones_.reset();
    s_.rowZones.fill({});
    tick_.zonesChanged();
    if (!zones_) return;
    const std::string fileName = kCityZonesFile;
    std::optional<CityZones> read;
    try {
        read = ReadCityZones(file(kCityZonesFile));
    } catch (const FileError& e) {
        platform_.warning(fileName + ": " + e.what() + std::string(texts::kEveryRowKeepsClass));
        return;
    }
    if (!read) return;
    if (const std::string why = zones_->failure(); !why.empty()) {
        // Once a run: the database will not appear while the program runs.
        if (!reportedNoDatabase_)
            platform_.warning(fileName + ": " + std::string(texts::kNoZoneDatabase) + why +
                              std::string(texts::kEveryRowKeepsClass));
        reportedNoDatabase_ = true;
        return;
    }
    for (const std::string& problem : read->problems)
        platform_.warning(fileName + problem + std::string(texts::kRowKeepsClass));
    cityZones_ = std::move(read);

    // Only the zones of the table's rows are looked up: an unknown zone among
    // the dictionary's hundreds of names harms no one until a row uses it.
    std::set<int> reported;
    for (int n = 0; n < kZoneRows; ++n) {
        const std::string_view name = TrimmedName(s_.zoneTable[n].name);
        const auto zone = cityZones_->zoneOf(name);
        if (!zone) continue;
        if (zones_->offsetAt(*zone, 0)) {
            s_.rowZones[n] = std::string(*zone);
        } else {
            const int line = cityZones_->entries.find(name)->second.line;
            if (reported.insert(line).second)
                platform_.warning(fileName + std::string(texts::kLine) + std::to_string(line) +
                                  std::string(texts::kUnknownZone) + std::string(*zone) +
                                  std::string(texts::kRowKeepsClass));
        }
    }
}

std::string Program::zoneOfCity(std::string_view name) const {
    if (!zones_ || !cityZones_) return {};
    const auto zone = cityZones_->zoneOf(name);
    if (!zone || !zones_->offsetAt(*zone, 0)) return {};
    return std::string(*zone);
}

std::optional<int> Program::zoneOffsetNow(std::string_view zone) const {
    if (!zones_) return std::nullopt;
    const auto offset = zones_->offsetAt(zone, tick_.lastInstant());
    if (!offset) return std::nullopt;
    return offset->seconds;
}

HomeZone::State Program::homeZoneAt(const ClockReading& now) {
    if (!zones_ || !cityZones_ || !now.utcSeconds) return {};
    const std::string zone = platform_.systemZone();
    if (zone.empty()) return {};
    return homeZone_.at(*zones_, zone, {s_.zoneOffset, s_.siteHalfHour, s_.autoDst, s_.inDstWindow}, now.year,
                        *now.utcSeconds);
}

std::optional<int> Program::homeNoonOffsetMinutes(const ClockReading& now) const {
    if (!zones_) return std::nullopt;
    const std::int64_t dayStart = DaysFromCivil({now.day, now.month, now.year}) * 86400;
    return homeZone_.noonOffsetMinutes(*zones_, platform_.systemZone(), dayStart);
}

void Program::showDstLabel() {
    if (auto label = ShowDstLabel(s_.inDstWindow)) {
        v_.ssPanel5.caption = label->caption;
        s_.outsideDstWindow = label->outsideDstWindow;
    }
}

void Program::showDateSymbols() {
    v_.ssPanel1[0].caption = s_.dateSymbol1;
    v_.ssPanel1[3].caption = s_.dateSymbol2;
}

void Program::dateSymbolsChanged() {
    showDateSymbols();
    s_.symbolRefresh = 1;
}

// car.tip is read at every call, so an edit of it shows at the next refresh.
void Program::refreshDateMarkers() {
    const auto large = ReadLargeMarkers(file(kMarkerFile));
    auto sizeFor = [&](const std::string& caption) {
        for (const auto& entry : large)
            if (entry == caption) return 18;
        return 10;
    };
    for (auto& marker : v_.label3) marker.fontSize = sizeFor(marker.caption);
    v_.ssPanel1[0].fontSize = sizeFor(v_.ssPanel1[0].caption);
    v_.ssPanel1[3].fontSize = sizeFor(v_.ssPanel1[3].caption);
}

bool Program::needsFastTicks() const {
    return s_.tickStage != TickStage::Running || s_.symbolRefresh == 1;
}

void Program::requestReload() {
    s_.zoneTableLoaded = 0;
    s_.tickStage = TickStage::Reinitialise;
}

// --- Main window commands ---

void Program::applySignalView() {
    v_.menu.segnale.checked = s_.signalOn == 1;
    v_.ssCommand1.textColour = palette(s_.signalOn == 1 ? 4 : 0);
    v_.ssCommand1.caption = std::string(texts::kSignal) +
                            std::string(s_.signalOn == 1 ? texts::kSignalOn : texts::kSignalOff);
}

void Program::signalClick() {
    s_.signalToggle += 1;
    if (s_.signalToggle == 0) s_.signalOn = 0;
    else if (s_.signalToggle == 1) s_.signalOn = 1;
    applySignalView();
    if (s_.signalToggle == 1) s_.signalToggle = -1;
}

void Program::hemisphereClick(Hemisphere hemisphere) {
    s_.hemisphere = hemisphere;
    v_.option1.checked = hemisphere == Hemisphere::North;
    v_.option2.checked = hemisphere == Hemisphere::South;
    v_.command1.enabled = s_.hemisphereAtLoad != hemisphere;
    const DstLabel label = Emisfero(s_.inDstWindow);
    v_.ssPanel5.caption = label.caption;
    s_.outsideDstWindow = label.outsideDstWindow;
    legaleSinoToday();
    const double sign = IsNorthern(hemisphere) ? 1 : -1;
    s_.latDegrees = sign * std::fabs(s_.latDegrees);
    s_.latMinutes = sign * std::fabs(s_.latMinutes);
    showDstLabel();
}

void Program::setCommand1() {
    v_.command1.enabled = s_.zoneOffset != s_.zoneOffsetAtLoad;
}

void Program::upDownClick(int step) {
    s_.zoneOffset += step;
    if (s_.zoneOffset > 12) s_.zoneOffset = -12;
    if (s_.zoneOffset < -12) s_.zoneOffset = 12;
    const std::string text = NumberText(s_.zoneOffset);
    if (text != v_.text1.caption) text1Changed(text);
}

// Runs for every change of Text1, typed or set: only digits and minus signs
// stay, and the offset is clamped to -12..12.
void Program::text1Changed(const std::string& text) {
    v_.text1.caption = text;
    setCommand1();
    if (!text.empty()) {
        std::string kept;
        for (char c : text)
            if ((c >= '0' && c <= '9') || c == '-') kept += c;
        const double number = LeadingNumber(kept);
        if (number > 12) kept = "12";
        else if (number < -12) kept = "-12";
        v_.text1.caption = kept;
        s_.zoneOffset = ToInteger(LeadingNumber(kept));
    }
    setCommand1();
}

void Program::saveZoneClick() {
    guarded([&] {
        saveSiteSettings();
        platform_.beep();
    });
}

void Program::dstSwitchClick() {
    if (s_.autoDst != 0) return;
    guarded([&] {
        if (v_.ssPanel5.caption != texts::kSummerTime) {
            v_.ssPanel5.caption = texts::kSummerTime;
            s_.outsideDstWindow = 0;
            s_.inDstWindow = 1;
        } else {
            v_.ssPanel5.caption = texts::kStandardTime;
            s_.outsideDstWindow = 1;
            s_.inDstWindow = 0;
        }
        writeSiteSettings();
    });
}

namespace {
void showPage(SharedState& s, MainView& v, int page) {
    s.tableBase = page == 2 ? kPageRows : 0;
    v.menu.tabel2.enabled = page == 2;
    v.menu.tabel3.enabled = page == 1;
    s.tableNumber = page;
}
} // namespace

// The next tick shows the page from the table already in memory and
// refreshes the markers, whose sizes depend on their new captions.
void Program::pageSwitched() {
    s_.zoneTableLoaded = 0;
    v_.ssPanel7.caption = std::string(texts::kTablePrefix) + std::to_string(s_.tableNumber) +
                          std::string(texts::kTableSuffix);
    s_.symbolRefresh = 1;
}

void Program::pageSwitchClick() {
    if (s_.tableNumber == 1) showPage(s_, v_, 2);
    else if (s_.tableNumber == 2) showPage(s_, v_, 1);
    pageSwitched();
}

void Program::tableMenuClick(int index) {
    showPage(s_, v_, index == 2 ? 1 : 2);
    pageSwitched();
}

void Program::infoClick() {
    platform_.playSound(((dataDir_.empty() ? dir_ : dataDir_) / kInfoSound).string());
}

} // namespace vemar
