#pragma once
// The program's files: the field-line convention, the per-character shift,
// the zone table, the settings files and car.tip. Files hold Windows-1252
// bytes; everything handed to the rest of the core is UTF-8. Every reader of
// a settings file, required or optional, refuses with a FileError one that is
// not a regular file or is larger than 64 KiB, or that holds a zero byte; it
// skips a leading UTF-8 byte-order mark. Every write
// replaces its file atomically: a temporary file in the same directory,
// flushed, then renamed over the target.

#include "state.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vemar {

// K: the shift of every scrambled field (fusi.dat, seg.dat). 7 keeps every
// character the editors admit at a code of 25 or more and maps none of them
// onto a double quote or a line end.
constexpr int kShift = 7;

inline constexpr const char* kZoneFile = "fusi.dat";
inline constexpr const char* kStagedZoneFile = "fusi.tmp";
inline constexpr const char* kSiteFile = "lxp2.par";
inline constexpr const char* kDisplayFile = "seg.dat";
inline constexpr const char* kRuleFile = "Parleg.dat";
inline constexpr const char* kMarkerFile = "car.tip";
inline constexpr const char* kInfoSound = "Infor.snm";

// A required file is missing or damaged, or a write failed.
struct FileError : std::runtime_error {
    std::string file;   // the file's name as the user knows it ("fusi.dat")
    FileError(std::string fileName, const std::string& message)
        : std::runtime_error(message), file(std::move(fileName)) {}
};

// --- Text ---
std::string Cp1252ToUtf8(std::string_view bytes);
// nullopt when a character has no Windows-1252 code (or the text is not UTF-8).
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
// Every byte c becomes c + k; nullopt when one would leave 0..255.
std::optional<std::string> ShiftText(std::string_view bytes, int k);
// A plain UTF-8 text as it is stored in a scrambled field, or nullopt when it
// cannot be stored: no Windows-1252 code, or a shifted byte that would fall
// below 1 or be a double quote, CR or LF.
std::optional<std::string> ScrambleField(std::string_view utf8);
// The plain UTF-8 text of a scrambled field; nullopt when a byte would pass 255.
std::optional<std::string> UnscrambleField(std::string_view bytes);

// --- Number texts ---
// " 7", "-1", " 0": a leading blank when not negative.
std::string NumberText(double value);
// Blanks skipped, then an optional sign and digits (and a decimal part):
// the leading number, 0 when there is none.
double LeadingNumber(std::string_view text);
// Offset of fusi.dat: optional sign and decimal digits; "+5" 5, "" 0, "+-" 0.
double OffsetNumber(std::string_view text);

// --- Field lines ---
// Reads up to `count` fields; fewer when the content ends first.
// A number's text is kept trimmed; a quoted text without its quotes.
std::vector<FieldValue> ReadFields(std::string_view content, std::size_t count);
// Fields separated by commas, texts quoted, ended by CR LF.
std::string WriteFieldLine(const std::vector<FieldValue>& fields);
FieldValue NumberField(double value);   // shortest decimal form: 45, -1, 0.5
FieldValue TextField(std::string text);

// --- Whole files ---
// The bytes of a regular file; nullopt when it is absent, unreadable or not a
// regular file (a FIFO is never waited on).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// Throws FileError naming path's file name with the reason.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);
// Removes temporary files that a write stopped before its rename left in dir.
void RemoveStaleTemporaries(const std::filesystem::path& dir);
// Tests only: when set and it returns true for a target, the write fails as a
// full disk would, after the temporary file was started and before the rename.
void SetWriteFaultForTesting(std::function<bool(const std::filesystem::path&)> fault);

// --- fusi.dat / fusi.tmp ---
ZoneTable ReadZoneTable(const std::filesystem::path& file);             // throws FileError
void WriteZoneTable(const std::filesystem::path& file, const ZoneTable& table);  // throws
// Writes the table to fusi.tmp; a FileError names fusi.dat and then fusi.tmp.
void StageZoneTable(const std::filesystem::path& dir, const ZoneTable& table);
// Replaces fusi.dat by fusi.tmp with one rename; throws FileError naming fusi.dat.
void CommitStagedTable(const std::filesystem::path& dir);

// --- lxp2.par ---
// Reads the 18 fields into state (field 5 into zoneOffset as it stands) and
// keeps the record for the spare fields. Throws FileError, also when a field
// other than a spare one of any kind holds something else than a number.
void ReadSiteSettings(const std::filesystem::path& file, SharedState& state);
// Writes the 18 fields, field 5 from storedZoneOffset, spare fields as read.
void WriteSiteSettings(const std::filesystem::path& file, const SharedState& state);

// --- seg.dat ---
// The nine plain texts; nullopt when the file is absent. A field that is
// missing or does not unscramble reads as empty. Throws FileError only for a
// file that is there but is no settings file (see above).
std::optional<std::array<std::string, 9>> ReadDisplaySettings(const std::filesystem::path& file);
void WriteDisplaySettings(const std::filesystem::path& file, const std::array<std::string, 9>& plain);

// --- Parleg.dat ---
// Throws FileError, also on a field that is not a whole number (empty is 0) or is out of range.
DstRule ReadParleg(const std::filesystem::path& file);
void WriteParleg(const std::filesystem::path& file, const DstRule& rule);

// --- car.tip ---
// Five texts; missing fields (or a missing file) are empty. Throws FileError
// only for a file that is there but is no settings file.
std::array<std::string, 5> ReadLargeMarkers(const std::filesystem::path& file);

} // namespace vemar
