#include "zoneeditorlogic.h"

#include "core/dialogs/dialogsave.h"
#include "core/time/citytable.h"
#include "core/files.h"
#include "core/files/settingsfile.h"
#include "core/time/zonedatabase.h"
#include "core/program.h"
#include "core/texts.h"

namespace vemar {

namespace {

// The first `count` characters of a UTF-8 text, as a box limited to that
// many characters would hold it.
std::string_view FirstCharacters(std::string_view text, int count) {
    std::size_t end = 0;
    for (int seen = 0; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count) break;
    }
    return text.substr(0, end);
}

bool IsNameCharacter(unsigned char c) { return c == ' ' || (c >= 64 && c <= 122); }
bool IsOffsetCharacter(char c) { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

} // namespace

// Every byte of a multi-byte UTF-8 sequence lies above 127, so dropping
// bytes outside the set drops an accented letter whole.
std::string ControlCar(std::string_view typed) {
    std::string kept;
    for (char c : typed)
        if (IsNameCharacter(c)) kept += c;
    return kept;
}

std::string ControlNumOffset(std::string_view typed) {
    std::string kept;
    for (char c : typed)
        if (IsOffsetCharacter(c)) kept += c;
    const double value = OffsetNumber(kept);
    if (value < -12) return "-12";
    if (value > 12) return "12";
    return kept;
}

std::string ControlNumClass(std::string_view typed) {
    if (typed.empty()) return {};
    // A multi-byte character starts with a byte above 127: above "3", as
    // its single-byte code would be.
    const auto first = static_cast<unsigned char>(typed.front());
    if (first < '0') return "0";
    if (first > '3') return "3";
    return std::string(typed);
}

std::string OffsetBoxText(std::string_view offset) {
    const double value = OffsetNumber(offset);
    std::string text = NumberText(value);
    if (text.front() == ' ') text.erase(0, 1);
    return value > 0 ? "+" + text : text;
}

std::optional<Rgb> ClassNameColour(std::string_view zoneClass) {
    switch (ZoneClassOf(zoneClass)) {
    case ZoneClass::Standard: return rgb(0, 255, 0);
    case ZoneClass::NorthernSummer: return rgb(0, 255, 255);
    case ZoneClass::HalfHour: return rgb(255, 0, 0);
    case ZoneClass::SouthernSummer: return rgb(255, 0, 255);
    case ZoneClass::Unlisted: break;
    }
    return std::nullopt;
}

ZoneEditorLogic::ZoneEditorLogic(Program& program, Variant variant) : program_(program), variant_(variant) {
    using namespace texts;
    view_.form.caption = variant == Variant::Zones ? kZoneEditorCaption : kClassEditorCaption;
    for (int row = 0; row < kZoneRows; ++row) {
        ControlView& name = view_.nameBoxes[row];
        name.backColour = kNameBoxBack;
        name.textColour = kNameDefaultText;
        name.accessibleName.assign(kCityBoxName).append(std::to_string(row + 1));
        nameValueBox(row);
    }
    for (auto& value : view_.valueBoxes) {
        value.backColour = kValueBoxBack;
        value.textColour = kValueBoxText;
    }
    view_.salvaButton.caption = kSave;
    view_.annullaButton.caption = kCancel;
    view_.esciButton.caption = kExit;
    view_.salvaButton.enabled = false;
    view_.annullaButton.enabled = false;
}

int ZoneEditorLogic::valueLength() const { return variant_ == Variant::Classes ? 1 : 0; }

std::string ZoneEditorLogic::filterName(std::string_view typed) const {
    return ControlCar(FirstCharacters(typed, kNameLength));
}

std::string ZoneEditorLogic::filterValue(std::string_view typed) const {
    if (variant_ == Variant::Classes) return ControlNumClass(FirstCharacters(typed, valueLength()));
    return ControlNumOffset(typed);
}

namespace {

// fusi.tz as a dictionary; nullopt when absent or refused.
std::optional<CityZones> DictionaryIn(const std::filesystem::path& file) {
    try {
        return ReadCityZones(file);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

} // namespace

void ZoneEditorLogic::open() {
    if (program_.guarded([&] { table_ = ReadZoneTable(program_.file(kZoneFile)); })) {
        read_ = table_;
        chosen_.fill({});
        fill();
    }
    const ZoneDatabase* zones = program_.cities().database();
    if (variant_ == Variant::Zones && zones)
        completion_.load(DictionaryIn(program_.file(kCityZonesFile)), DictionaryIn(program_.dataFile(kCityZonesFile)),
                         *zones, kNameLength);
}

// Filling a box is a change of its text like typing: it runs the box's
// filter, so a damaged value in the file shows (and saves) filtered.
void ZoneEditorLogic::fill() {
    filling_ = true;
    for (int row = 0; row < kZoneRows; ++row) {
        const ZoneRow& record = table_[row];
        colourName(row);
        nameChanged(row, record.name);
        valueChanged(row, variant_ == Variant::Zones ? OffsetBoxText(record.offset) : record.zoneClass);
    }
    view_.salvaButton.enabled = false;
    view_.annullaButton.enabled = false;
    filling_ = false;
}

void ZoneEditorLogic::colourName(int row) {
    if (auto colour = ClassNameColour(table_[row].zoneClass)) view_.nameBoxes[row].textColour = *colour;
}

// A value box by what it sets: "Fuso orario di Roma", "Tipo della riga 4"
// while the row has no name.
void ZoneEditorLogic::nameValueBox(int row) {
    using namespace texts;
    const bool zones = variant_ == Variant::Zones;
    const std::string_view name = TrimmedName(view_.nameBoxes[row].caption);
    std::string& text = view_.valueBoxes[row].accessibleName;
    if (name.empty()) text.assign(zones ? kOffsetOfRow : kClassOfRow).append(std::to_string(row + 1));
    else text.assign(zones ? kOffsetOf : kClassOf).append(name);
}

void ZoneEditorLogic::markEdited() {
    view_.salvaButton.enabled = true;
    view_.annullaButton.enabled = true;
}

void ZoneEditorLogic::nameChanged(int row, std::string_view text) {
    if (row < 0 || row >= kZoneRows) return;
    assignIfChanged(view_.nameBoxes[row].caption, filterName(text));
    if (!filling_) {
        // What was typed, accents and all: "Zü" finds Zurich, though the box keeps "Z".
        suggestions_ = completion_.suggestionsFor(text, program_.cities().lastInstant());
        suggestionsRow_ = row;
    }
    nameValueBox(row);
    showWhatRowFollows(row);
    markEdited();
}

void ZoneEditorLogic::chooseSuggestion(int row, std::size_t index) {
    if (row != suggestionsRow_ || index >= suggestions_.size()) return;
    const Suggestion chosen = suggestions_[index];
    suggestions_.clear();
    view_.nameBoxes[row].caption = filterName(chosen.name);
    view_.valueBoxes[row].caption = filterValue(chosen.hold.offset);
    table_[row].zoneClass = chosen.hold.zoneClass;
    chosen_[row] = chosen;
    read_[row] = rowInBoxes(row);   // the user changed nothing the zone would have to yield to
    colourName(row);
    showWhatRowFollows(row);
    markEdited();
}

std::string ZoneEditorLogic::chosenZone(int row) const {
    const Suggestion& chosen = chosen_[row];
    return !chosen.zone.empty() && TrimmedName(view_.nameBoxes[row].caption) == chosen.name ? chosen.zone : std::string();
}

void ZoneEditorLogic::valueChanged(int row, std::string_view text) {
    if (row < 0 || row >= kZoneRows) return;
    assignIfChanged(view_.valueBoxes[row].caption, filterValue(text));
    showWhatRowFollows(row);
    markEdited();
}

ZoneRow ZoneEditorLogic::rowInBoxes(int row) const {
    ZoneRow record = table_[row];
    record.name = view_.nameBoxes[row].caption;
    const std::string& value = view_.valueBoxes[row].caption;
    if (variant_ == Variant::Zones) record.offset = value;
    else record.zoneClass = value.empty() ? "0" : value;   // the box stays empty
    return record;
}

namespace {

// The user changed what the clock of a row that follows a zone would show
// by its class: the edit must take effect, so the row leaves its zone.
bool ChangedTime(const ZoneRow& saved, const ZoneRow& read) {
    return OffsetNumber(saved.offset) != OffsetNumber(read.offset) || saved.zoneClass != read.zoneClass;
}

} // namespace

void ZoneEditorLogic::showWhatRowFollows(int row) {
    const ZoneRow record = rowInBoxes(row);
    const std::string_view name = TrimmedName(record.name);
    const CityTable& cities = program_.cities();
    const std::string chosen = chosenZone(row);
    std::string zone;
    if (cities.databaseMode() && !ChangedTime(record, read_[row]))
        zone = chosen.empty() ? cities.zoneOfName(name) : chosen;
    const auto offset = zone.empty() ? std::nullopt : cities.offsetNow(zone);
    std::string& text = view_.nameBoxes[row].tooltip;
    if (offset) RowFollowsText(text, name, *offset, zone);
    else RowFollowsText(text, name, std::chrono::hours{static_cast<int>(OffsetNumber(record.offset))}, {});
    if (!chosen.empty() && chosen_[row].hold.beyondTable) {
        text.pop_back();
        text.append(texts::kBeyondTable).append(" ");
    }
}

void ZoneEditorLogic::updateCityZones(const ZoneTable& saved) {
    const auto file = program_.file(kCityZonesFile);
    std::optional<std::string> content;
    try {
        content = SettingsContent(file, false);
    } catch (const FileError&) {
        return;   // a fusi.tz the program cannot read names no zone: nothing to change
    }
    if (!content) return;   // table mode: no fusi.tz is made
    const CityZones zones = ParseCityZones(*content);
    std::vector<std::string> offZones;
    std::string added;   // "\nname\tzone" a line
    for (int row = 0; row < kZoneRows; ++row) {
        const std::string_view name = TrimmedName(saved[row].name);
        if (zones.zoneOf(name) && ChangedTime(saved[row], read_[row])) offZones.emplace_back(name);
        const std::string zone = chosenZone(row);
        // Appended, not "\n" + name: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
        const std::string line = std::string(1, '\n').append(name).append(1, '\t');
        if (!zone.empty() && !zones.entries.contains(name) && added.find(line) == std::string::npos)
            added.append(line).append(zone);
    }
    if (offZones.empty() && added.empty()) return;
    std::string updated = WithNamesOnClasses(*content, offZones);
    if (!added.empty()) {
        if (!updated.empty() && updated.back() == '\n') updated.pop_back();
        updated.append(added).append("\n");
    }
    WriteCityZones(file, updated);
    program_.platform().fileWritten(kCityZonesFile);
}

// The field the variant does not show comes from the editor's own copy, so
// it goes to the file exactly as it was read. The copy stays plain: every
// write scrambles its own copy of the fields.
void ZoneEditorLogic::takeBoxes() {
    for (int row = 0; row < kZoneRows; ++row) table_[row] = rowInBoxes(row);
}

// A command whose button is disabled does nothing, whoever calls it.
void ZoneEditorLogic::salva() {
    if (!view_.salvaButton.enabled) return;
    const ZoneTable before = table_;
    takeBoxes();
    if (!SaveKeepingEdits(program_.platform(),
                          [&] { StageZoneTable(program_.file(kZoneFile).parent_path(), table_); })) {
        table_ = before;   // the boxes keep the edits and Salva stays on
        return;
    }
    // "Tabella Fusi" changes no class, so this only ever recolours "Tabella Tipi"'s names.
    for (int row = 0; row < kZoneRows; ++row) colourName(row);
    program_.platform().fileWritten(kStagedZoneFile);
    program_.platform().beep();
    view_.salvaButton.enabled = false;
    view_.annullaButton.enabled = true;
    savePending_ = true;
}

void ZoneEditorLogic::annulla() {
    if (!view_.annullaButton.enabled) return;
    savePending_ = false;
    open();
}

bool ZoneEditorLogic::salvafile() {
    const ZoneTable before = table_;
    takeBoxes();
    if (!SaveKeepingEdits(program_.platform(), [&] {
            updateCityZones(table_);
            WriteZoneTable(program_.file(kZoneFile), table_);
        })) {
        table_ = before;
        return false;
    }
    program_.platform().fileWritten(kZoneFile);
    program_.platform().beep();
    view_.salvaButton.enabled = false;
    program_.requestReload();
    return true;
}

// A save that fails here keeps the window open: closing it would lose the
// edits, and the user may free the disk and close again, or drop them with
// Annulla. The next close starts over, question included.
bool ZoneEditorLogic::close() {
    if (program_.failed()) return true;
    if (savePending_) {
        // The staged table replaces fusi.dat in one rename rather than by
        // deleting fusi.dat first: a program stopped between the two steps
        // would leave no table at all, and the program cannot start without one.
        const auto dir = program_.file(kZoneFile).parent_path();
        if (!SaveKeepingEdits(program_.platform(), [&] {
                updateCityZones(table_);
                CommitStagedTable(dir);
            }))
            return false;
        program_.platform().fileWritten(kZoneFile);
        program_.requestReload();
        savePending_ = false;
    }
    if (view_.salvaButton.enabled &&
        program_.platform().askYesNo(std::string(texts::kSaveEditsQuestion), std::string(texts::kWarningTitle)))
        return salvafile();
    return true;
}

} // namespace vemar
