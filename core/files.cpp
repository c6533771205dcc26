#include "core/files.h"

#include "core/calendar.h"
#include "core/texts.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vemar {

namespace fs = std::filesystem;

namespace {

// Reasons given with a FileError, after the file's name.
namespace reason {
using std::string;
const string kMissing(texts::kMissing);
const string kNotRegularFile(texts::kNotRegularFile);
const string kFileTooLarge(texts::kFileTooLarge);
const string kReadFailed(texts::kReadFailed);
const string kWriteFailed(texts::kWriteFailed);
const string kReplaceFailed(texts::kReplaceFailed);
const string kRecord(texts::kRecord);
const string kField(texts::kField);
const string kMissingSuffix(texts::kMissingSuffix);
const string kIncompleteSuffix(texts::kIncompleteSuffix);
const string kBadCharacter(texts::kBadCharacter);
const string kNullCharacter(texts::kNullCharacter);
const string kUnstorableCharacter(texts::kUnstorableCharacter);
const string kNotANumber(texts::kNotANumber);
const string kNotWholeNumber(texts::kNotWholeNumber);
const string kOutOfRange(texts::kOutOfRange);
const string kUnwritable(texts::kUnwritable);
const string kStagedCopy(texts::kStagedCopy);
}  // namespace reason

// ---------------------------------------------------------------- Text

// Unicode code points of the Windows-1252 bytes 0x80..0x9F. The five bytes the
// code page leaves undefined map to the C1 control of the same number, so that
// every byte survives a trip to UTF-8 and back.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOfByte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kCp1252High[byte - 0x80] : char32_t(byte);
}

std::optional<unsigned char> ByteOfCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    auto it = std::find(kCp1252High.begin(), kCp1252High.end(), cp);
    if (it == kCp1252High.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (it - kCp1252High.begin()));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {  // every code point of Windows-1252 lies below 0x10000
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The next code point of strict UTF-8 at pos (advanced past it); nullopt on a
// malformed, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    int length = 0;
    char32_t cp = 0;
    char32_t smallest = 0;
    if (lead < 0x80) { ++pos; return lead; }
    if ((lead & 0xE0) == 0xC0) { length = 2; cp = lead & 0x1F; smallest = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; cp = lead & 0x0F; smallest = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; cp = lead & 0x07; smallest = 0x10000; }
    else return std::nullopt;
    if (pos + length > s.size()) return std::nullopt;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += length;
    return cp;
}

// ---------------------------------------------------------------- Numbers

// The number of an unsigned "digits[.digits]" text. A value too large for a
// double saturates at the largest one; one too small to represent is 0.
double UnsignedValue(std::string_view digits) {
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(),
                                        value, std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const std::string_view whole = digits.substr(0, digits.find('.'));
        const bool huge = whole.find_first_not_of('0') != std::string_view::npos;
        return huge ? std::numeric_limits<double>::max() : 0.0;
    }
    return error == std::errc() ? value : 0.0;
}

std::size_t DigitsEnd(std::string_view s, std::size_t pos) {
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    return pos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A sign at pos: -1 or +1, and pos moved past it when there is one.
double TakeSign(std::string_view s, std::size_t& pos) {
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) return s[pos++] == '-' ? -1.0 : 1.0;
    return 1.0;
}

// Adds 0.0 so that a negative zero never reaches a number text as "-0".
double Signed(double sign, double magnitude) { return sign * magnitude + 0.0; }

// The shortest decimal text that reads back as value, without exponent.
std::string BareNumber(double value) {
    if (!std::isfinite(value)) value = 0;   // a file must always read back as a number
    value += 0.0;
    char buffer[400];   // room for every finite double in fixed notation
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// An Integer field of a file: its leading number rounded to the nearest whole
// number (ties to even) and held within a 16-bit Integer's range, so no text
// can overflow it. A text that is not a number gives 0.
int IntegerOf(std::string_view text) {
    return ToInteger(LeadingNumber(text));
}

// ---------------------------------------------------------------- Field lines

std::string_view TrimTrailingBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::size_t FindSeparator(std::string_view s, std::size_t pos) {
    while (pos < s.size() && s[pos] != ',' && !IsLineEnd(s[pos])) ++pos;
    return pos;
}

// Consumes the separator at pos (a comma, or CR, LF or CR LF as one line end);
// true for a comma, which promises a further field even at the end of the content.
bool ConsumeSeparator(std::string_view s, std::size_t& pos) {
    if (pos >= s.size()) return false;
    const char c = s[pos++];
    if (c == ',') return true;
    if (c == '\r' && pos < s.size() && s[pos] == '\n') ++pos;
    return false;
}

FieldValue ReadOneField(std::string_view content, std::size_t& pos) {
    if (pos < content.size() && content[pos] == '"') {
        // A quoted text runs to the next quote whatever lies between, line ends
        // and control codes included; anything up to the separator is dropped.
        const std::size_t close = content.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? content.size() : close;
        FieldValue field{FieldValue::Kind::Text, std::string(content.substr(pos + 1, end - pos - 1))};
        pos = end == content.size() ? end : FindSeparator(content, end + 1);
        return field;
    }
    const std::size_t end = FindSeparator(content, pos);
    const std::string_view raw = TrimTrailingBlanks(content.substr(pos, end - pos));
    pos = end;
    // Any bare text is kept as written, number or not, so that it goes back bare.
    if (raw.empty()) return {};
    return {FieldValue::Kind::Number, std::string(raw)};
}

// Reads up to `count` fields; when starts is given, it receives where each
// field begins in content (after its leading blanks).
std::vector<FieldValue> ReadFieldsAt(std::string_view content, std::size_t count,
                                     std::vector<std::size_t>* starts) {
    std::vector<FieldValue> fields;
    std::size_t pos = 0;
    bool fieldDue = false;   // a comma was read: a field follows, if only an empty one
    while (fields.size() < count) {
        while (pos < content.size() && IsBlank(content[pos])) ++pos;
        if (pos >= content.size() && !fieldDue) break;
        if (starts) starts->push_back(pos);
        fields.push_back(ReadOneField(content, pos));
        fieldDue = ConsumeSeparator(content, pos);
    }
    return fields;
}

// A number as lxp2.par and Parleg.dat hold one: blanks, an optional sign,
// digits with an optional decimal part, and nothing else; an empty field is
// 0. nullopt for anything else, which a reader taking the leading number
// would turn silently into another value ("4x" into 4, "x41" into 0).
std::optional<double> StrictNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos == text.size()) return 0.0;
    const double sign = TakeSign(text, pos);
    const std::size_t start = pos;
    std::size_t end = DigitsEnd(text, pos);
    if (end < text.size() && text[end] == '.') end = DigitsEnd(text, end + 1);
    const std::string_view number = text.substr(start, end - start);
    if (end != text.size() || number.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    return Signed(sign, UnsignedValue(number));
}

// False for a field whose text would break the line: a quote inside a text,
// or a separator or a leading quote in a bare field. A bare field runs to the
// next separator whatever it holds, so a quote further on reads back as it
// was (a spare field of lxp2.par read as a"b must be saved again).
bool FieldWritable(const FieldValue& field) {
    switch (field.kind) {
    case FieldValue::Kind::Empty: return true;
    case FieldValue::Kind::Text: return field.text.find('"') == std::string::npos;
    case FieldValue::Kind::Number:
        return field.text.find_first_of(",\r\n") == std::string::npos &&
               (field.text.empty() || field.text.front() != '"');
    }
    return false;
}

// ---------------------------------------------------------------- Whole files

std::function<bool(const fs::path&)>& WriteFault() {
    static std::function<bool(const fs::path&)> fault;
    return fault;
}

std::string FileNameOf(const fs::path& path) { return path.filename().string(); }

[[noreturn]] void ThrowWriteFailed(const fs::path& path, int error) {
    throw FileError(FileNameOf(path), reason::kWriteFailed + texts::SystemErrorText(error));
}

// No settings file is legitimately more than a few KiB: anything larger is
// not one of ours, and reading it whole would only cost memory and time.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

enum class ReadOutcome { Read, Absent, NotRegular, TooLarge, Failed };

// Reads a whole regular file of at most `limit` bytes. The file is opened
// without blocking and checked on the opened descriptor, so a FIFO or a device
// put in its place is refused at once instead of waited on; a file that grows
// past the limit while it is read is refused too.
ReadOutcome ReadRegular(const fs::path& path, std::size_t limit, std::string& bytes, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT ? ReadOutcome::Absent : ReadOutcome::Failed;
    }
    struct Closer { int fd; ~Closer() { ::close(fd); } } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) { error = errno; return ReadOutcome::Failed; }
    if (!S_ISREG(info.st_mode)) return ReadOutcome::NotRegular;
    if (static_cast<unsigned long long>(info.st_size) > limit) return ReadOutcome::TooLarge;
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > limit) return ReadOutcome::TooLarge;
            continue;
        }
        if (n == 0) return ReadOutcome::Read;
        if (errno == EINTR) continue;
        error = errno;
        return ReadOutcome::Failed;
    }
}

// The content of a settings file, a leading UTF-8 byte-order mark (which an
// editor may add on saving) left out; nullopt when an optional file is absent.
// A file that is there but cannot serve is an error whether it is required or not.
std::optional<std::string> SettingsContent(const fs::path& path, bool required) {
    std::string bytes;
    int error = 0;
    switch (ReadRegular(path, kMaxSettingsBytes, bytes, error)) {
    case ReadOutcome::Read: break;
    case ReadOutcome::Absent:
        if (!required) return std::nullopt;
        throw FileError(FileNameOf(path), reason::kMissing);
    case ReadOutcome::NotRegular: throw FileError(FileNameOf(path), reason::kNotRegularFile);
    case ReadOutcome::TooLarge: throw FileError(FileNameOf(path), reason::kFileTooLarge);
    case ReadOutcome::Failed:
        throw FileError(FileNameOf(path), reason::kReadFailed + texts::SystemErrorText(error));
    }
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.compare(0, kBom.size(), kBom) == 0) bytes.erase(0, kBom.size());
    return bytes;
}

// The content of a file the program cannot run without.
std::string RequireFile(const fs::path& path) { return *SettingsContent(path, true); }

std::string FieldName(std::size_t index) { return reason::kField + std::to_string(index + 1); }

// The fields of a settings file. A zero byte is never part of a text the
// program writes, and readers that stop at it would take 4 for "4\0" "1":
// it is refused, naming the field it lies in (the last one read when it lies
// after them). fieldName gives the name of a field from its index.
std::vector<FieldValue> SettingsFields(const fs::path& path, std::string_view content, std::size_t count,
                                       const std::function<std::string(std::size_t)>& fieldName) {
    std::vector<std::size_t> starts;
    std::vector<FieldValue> fields = ReadFieldsAt(content, count, &starts);
    const std::size_t nul = content.find('\0');
    if (nul != std::string_view::npos) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), nul);
        const std::size_t index = after == starts.begin() ? 0 : std::size_t(after - starts.begin()) - 1;
        throw FileError(FileNameOf(path), fieldName(index) + reason::kNullCharacter);
    }
    return fields;
}

// The temporary file of an atomic write: closed and removed unless it was
// renamed over its target, so that no failure leaves it behind.
class TempFile {
public:
    TempFile(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(name_.c_str());
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    // Closes the descriptor; errno on failure (a delayed write error shows here).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }
    void markRenamed() { renamed_ = true; }

private:
    int fd_;
    std::string name_;
    bool renamed_ = false;
};

// Writes every byte, retrying short writes; errno on failure, else 0.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The replacement keeps the permissions of the file it replaces; a new file is
// readable by all and writable by its owner, as an ordinary settings file.
void CopyMode(int fd, const fs::path& target) {
    struct stat info {};
    const mode_t mode = ::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
    (void)::fchmod(fd, mode);   // mkstemp's 0600 is a safe fallback
}

// Makes the rename itself durable. Best effort: the data are already on disk,
// and some file systems refuse to sync a directory.
void SyncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

void WriteWithFileName(const fs::path& path, const std::vector<FieldValue>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!FieldWritable(fields[i]))
            throw FileError(FileNameOf(path), reason::kField + std::to_string(i + 1) + reason::kUnwritable);
    WriteFileAtomic(path, WriteFieldLine(fields));
}

// The first `count` fields of a required file; FileError naming the first
// missing field when there are fewer.
std::vector<FieldValue> RequireFields(const fs::path& path, std::size_t count) {
    std::vector<FieldValue> fields = SettingsFields(path, RequireFile(path), count, FieldName);
    if (fields.size() < count)
        throw FileError(FileNameOf(path),
                        reason::kField + std::to_string(fields.size() + 1) + reason::kMissingSuffix);
    return fields;
}

// ---------------------------------------------------------------- Parleg.dat

struct RuleField { int DstRule::*value; int last; };   // range 0..last
constexpr std::array<RuleField, 6> kRuleFields = {{
    {&DstRule::monthA, 11}, {&DstRule::weekA, 4}, {&DstRule::weekdayA, 6},
    {&DstRule::monthB, 11}, {&DstRule::weekB, 4}, {&DstRule::weekdayB, 6},
}};

}  // namespace

// ==================================================================== Text

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto cp = NextCodePoint(utf8, pos);
        if (!cp) return std::nullopt;
        const auto byte = ByteOfCodePoint(*cp);
        if (!byte) return std::nullopt;
        out += char(*byte);
    }
    return out;
}

std::optional<std::string> ShiftText(std::string_view bytes, int k) {
    std::string out(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int code = static_cast<unsigned char>(bytes[i]) + k;
        if (code < 0 || code > 255) return std::nullopt;
        out[i] = static_cast<char>(code);
    }
    return out;
}

std::optional<std::string> ScrambleField(std::string_view utf8) {
    const auto bytes = Utf8ToCp1252(utf8);
    if (!bytes) return std::nullopt;
    auto shifted = ShiftText(*bytes, -kShift);
    if (!shifted) return std::nullopt;
    // Between the quotes of a field line no byte may end the text or the line,
    // and a zero byte would not survive every reader.
    for (char c : *shifted)
        if (c == '\0' || c == '"' || c == '\r' || c == '\n') return std::nullopt;
    return shifted;
}

std::optional<std::string> UnscrambleField(std::string_view bytes) {
    const auto plain = ShiftText(bytes, kShift);
    if (!plain) return std::nullopt;
    return Cp1252ToUtf8(*plain);
}

// ==================================================================== Number texts

std::string NumberText(double value) {
    std::string bare = BareNumber(value);
    return bare.front() == '-' ? bare : " " + bare;
}

double LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    const double sign = TakeSign(text, pos);
    const std::size_t start = pos;
    std::size_t end = DigitsEnd(text, pos);
    if (end < text.size() && text[end] == '.') end = DigitsEnd(text, end + 1);
    const std::string_view number = text.substr(start, end - start);
    if (number.find_first_of("0123456789") == std::string_view::npos) return 0;
    return Signed(sign, UnsignedValue(number));
}

double OffsetNumber(std::string_view text) {
    std::size_t pos = 0;
    const double sign = TakeSign(text, pos);
    const std::size_t end = DigitsEnd(text, pos);
    if (end == pos) return 0;
    return Signed(sign, UnsignedValue(text.substr(pos, end - pos)));
}

// ==================================================================== Field lines

std::vector<FieldValue> ReadFields(std::string_view content, std::size_t count) {
    return ReadFieldsAt(content, count, nullptr);
}

std::string WriteFieldLine(const std::vector<FieldValue>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const FieldValue& field = fields[i];
        if (!FieldWritable(field))
            throw std::invalid_argument("field " + std::to_string(i + 1) + " cannot be written");
        if (field.kind == FieldValue::Kind::Text) line += '"' + field.text + '"';
        else if (field.kind == FieldValue::Kind::Number) line += field.text;
    }
    return line + "\r\n";
}

FieldValue NumberField(double value) { return {FieldValue::Kind::Number, BareNumber(value)}; }

FieldValue TextField(std::string text) { return {FieldValue::Kind::Text, std::move(text)}; }

// ==================================================================== Whole files

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    std::string bytes;
    int error = 0;
    if (ReadRegular(path, std::numeric_limits<std::size_t>::max(), bytes, error) != ReadOutcome::Read)
        return std::nullopt;
    return bytes;
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes) {
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (dir / ("." + FileNameOf(path) + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) ThrowWriteFailed(path, errno);
    TempFile temp(fd, pattern);
    CopyMode(temp.fd(), path);

    const auto& fault = WriteFault();
    if (fault && fault(path)) {
        // As a full disk would: part of the content is out, the rest is refused.
        (void)WriteAll(temp.fd(), bytes.substr(0, bytes.size() / 2));
        ThrowWriteFailed(path, ENOSPC);
    }
    if (int error = WriteAll(temp.fd(), bytes)) ThrowWriteFailed(path, error);
    if (::fsync(temp.fd()) != 0) ThrowWriteFailed(path, errno);
    if (int error = temp.close()) ThrowWriteFailed(path, error);
    if (::rename(temp.name().c_str(), path.c_str()) != 0) ThrowWriteFailed(path, errno);
    temp.markRenamed();
    SyncDirectory(dir);
}

// A write killed before its rename leaves its temporary file, named
// ".<file>.XXXXXX", beside the intact old file: remove those of our files.
void RemoveStaleTemporaries(const fs::path& dir) {
    static constexpr const char* kOurs[] = {kZoneFile, kStagedZoneFile, kSiteFile, kDisplayFile, kRuleFile};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        for (const char* ours : kOurs) {
            const std::string prefix = "." + std::string(ours) + ".";
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
                entry.is_regular_file(ec))
                fs::remove(entry.path(), ec);
        }
    }
}

void SetWriteFaultForTesting(std::function<bool(const fs::path&)> fault) {
    WriteFault() = std::move(fault);
}

// ==================================================================== fusi.dat

ZoneTable ReadZoneTable(const fs::path& file) {
    constexpr std::size_t kFieldsPerRow = 3;
    auto place = [](std::size_t i) {
        return reason::kRecord + std::to_string(i / kFieldsPerRow + 1) + ", " + FieldName(i % kFieldsPerRow);
    };
    const std::vector<FieldValue> fields =
        SettingsFields(file, RequireFile(file), kZoneRows * kFieldsPerRow, place);
    if (fields.size() < kZoneRows * kFieldsPerRow) {
        const std::size_t record = fields.size() / kFieldsPerRow + 1;
        const bool started = fields.size() % kFieldsPerRow != 0;
        throw FileError(FileNameOf(file), reason::kRecord + std::to_string(record) +
                                              (started ? reason::kIncompleteSuffix : reason::kMissingSuffix));
    }
    ZoneTable table;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto plain = UnscrambleField(fields[i].text);
        if (!plain)
            throw FileError(FileNameOf(file), place(i) + reason::kBadCharacter);
        ZoneRow& row = table[i / kFieldsPerRow];
        std::string* targets[] = {&row.name, &row.zoneClass, &row.offset};
        *targets[i % kFieldsPerRow] = std::move(*plain);
    }
    return table;
}

void WriteZoneTable(const fs::path& file, const ZoneTable& table) {
    // The editors admit only storable characters, so a refusal here means
    // damaged data; the whole table is checked before a byte is written.
    std::string content;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const ZoneRow& row = table[r];
        std::vector<FieldValue> line;
        const std::string* texts[] = {&row.name, &row.zoneClass, &row.offset};
        for (std::size_t f = 0; f < 3; ++f) {
            auto scrambled = ScrambleField(*texts[f]);
            if (!scrambled)
                throw FileError(FileNameOf(file), reason::kRecord + std::to_string(r + 1) + ", " +
                                                      reason::kField + std::to_string(f + 1) +
                                                      reason::kUnstorableCharacter);
            line.push_back(TextField(std::move(*scrambled)));
        }
        // An offset the user cleared is stored as nothing after the second comma.
        if (row.offset.empty()) line.back() = FieldValue{};
        content += WriteFieldLine(line);
    }
    WriteFileAtomic(file, content);
}

// The user saved the zone table; fusi.tmp is only how the save is staged, so
// a failure names the table and then the staged copy it was writing.
void StageZoneTable(const fs::path& dir, const ZoneTable& table) {
    try {
        WriteZoneTable(dir / kStagedZoneFile, table);
    } catch (const FileError& e) {
        throw FileError(kZoneFile, reason::kStagedCopy + kStagedZoneFile + ", " + e.what());
    }
}

void CommitStagedTable(const fs::path& dir) {
    const fs::path staged = dir / kStagedZoneFile;
    const fs::path target = dir / kZoneFile;
    std::error_code error;
    // One rename replaces the old table: at every moment one complete
    // fusi.dat exists on disk.
    fs::rename(staged, target, error);
    if (error == std::errc::no_such_file_or_directory && !fs::exists(staged))
        throw FileError(kZoneFile, reason::kStagedCopy + kStagedZoneFile + reason::kMissingSuffix);
    if (error) throw FileError(kZoneFile, reason::kReplaceFailed + texts::SystemErrorText(error.value()));
    SyncDirectory(dir);
}

// ==================================================================== lxp2.par

namespace {
constexpr std::size_t kSiteFields = 18;
// Fields (counted from 1) kept as they were read, of whatever kind.
constexpr std::array<std::size_t, 6> kSpareAnyFields = {6, 8, 9, 11, 13, 14};
// Spare Integer fields: kept, but always written as numbers.
constexpr std::array<std::size_t, 2> kSpareIntegerFields = {10, 12};
}  // namespace

void ReadSiteSettings(const fs::path& file, SharedState& state) {
    const std::vector<FieldValue> fields = RequireFields(file, kSiteFields);
    for (std::size_t n = 1; n <= kSiteFields; ++n) {
        const bool anyKind = std::find(kSpareAnyFields.begin(), kSpareAnyFields.end(), n) != kSpareAnyFields.end();
        if (!anyKind && !StrictNumber(fields[n - 1].text))
            throw FileError(FileNameOf(file), FieldName(n - 1) + reason::kNotANumber);
    }
    std::copy(fields.begin(), fields.end(), state.siteRecord.begin());
    // Every field read below holds a number (or nothing, which is 0).
    auto text = [&](std::size_t n) -> const std::string& { return fields[n - 1].text; };
    state.latDegrees = LeadingNumber(text(1));
    state.latMinutes = LeadingNumber(text(2));
    state.lonDegrees = LeadingNumber(text(3));
    state.lonMinutes = LeadingNumber(text(4));
    // Integer fields take the nearest whole number within a 16-bit Integer.
    state.zoneOffset = IntegerOf(text(5));
    state.inDstWindow = IntegerOf(text(7));
    state.hemisphere = static_cast<Hemisphere>(IntegerOf(text(15)));
    state.outsideDstWindow = IntegerOf(text(16));
    state.siteHalfHour = IntegerOf(text(17));
    state.autoDst = IntegerOf(text(18));
}

void WriteSiteSettings(const fs::path& file, const SharedState& state) {
    std::vector<FieldValue> fields(kSiteFields);
    auto field = [&](std::size_t n) -> FieldValue& { return fields[n - 1]; };
    field(1) = NumberField(state.latDegrees);
    field(2) = NumberField(state.latMinutes);
    field(3) = NumberField(state.lonDegrees);
    field(4) = NumberField(state.lonMinutes);
    field(5) = NumberField(state.storedZoneOffset);
    field(7) = NumberField(state.inDstWindow);
    for (std::size_t n : kSpareAnyFields) field(n) = state.siteRecord[n - 1];
    for (std::size_t n : kSpareIntegerFields) field(n) = NumberField(IntegerOf(state.siteRecord[n - 1].text));
    field(15) = NumberField(static_cast<int>(state.hemisphere));
    field(16) = NumberField(state.outsideDstWindow);
    field(17) = NumberField(state.siteHalfHour);
    field(18) = NumberField(state.autoDst);
    WriteWithFileName(file, fields);
}

// ==================================================================== seg.dat

std::optional<std::array<std::string, 9>> ReadDisplaySettings(const fs::path& file) {
    const auto bytes = SettingsContent(file, false);
    if (!bytes) return std::nullopt;
    std::array<std::string, 9> plain;
    const std::vector<FieldValue> fields = SettingsFields(file, *bytes, plain.size(), FieldName);
    for (std::size_t i = 0; i < fields.size(); ++i)
        plain[i] = UnscrambleField(fields[i].text).value_or("");
    return plain;
}

void WriteDisplaySettings(const fs::path& file, const std::array<std::string, 9>& plain) {
    std::vector<FieldValue> fields;
    for (const std::string& text : plain) {
        // The date-characters dialog refuses symbols that cannot be stored as
        // they are typed; should one arrive anyway, the field is stored empty
        // rather than corrupting the line.
        fields.push_back(TextField(ScrambleField(text).value_or("")));
    }
    WriteWithFileName(file, fields);
}

// ==================================================================== Parleg.dat

DstRule ReadParleg(const fs::path& file) {
    const std::vector<FieldValue> fields = RequireFields(file, kRuleFields.size());
    DstRule rule;
    for (std::size_t i = 0; i < kRuleFields.size(); ++i) {
        const auto value = StrictNumber(fields[i].text);
        if (!value) throw FileError(FileNameOf(file), FieldName(i) + reason::kNotANumber);
        if (*value != std::floor(*value)) throw FileError(FileNameOf(file), FieldName(i) + reason::kNotWholeNumber);
        if (*value < 0 || *value > kRuleFields[i].last)
            throw FileError(FileNameOf(file), FieldName(i) + reason::kOutOfRange);
        rule.*kRuleFields[i].value = static_cast<int>(*value);
    }
    return rule;
}

void WriteParleg(const fs::path& file, const DstRule& rule) {
    std::vector<FieldValue> fields;
    for (std::size_t i = 0; i < kRuleFields.size(); ++i) {
        const int value = rule.*kRuleFields[i].value;
        // Never write a rule that the next start would refuse to read.
        if (value < 0 || value > kRuleFields[i].last)
            throw FileError(FileNameOf(file), FieldName(i) + reason::kOutOfRange);
        fields.push_back(NumberField(value));
    }
    WriteWithFileName(file, fields);
}

// ==================================================================== car.tip

std::array<std::string, 5> ReadLargeMarkers(const fs::path& file) {
    std::array<std::string, 5> markers;
    const auto bytes = SettingsContent(file, false);
    if (!bytes) return markers;
    const std::vector<FieldValue> fields = SettingsFields(file, *bytes, markers.size(), FieldName);
    for (std::size_t i = 0; i < fields.size(); ++i) markers[i] = Cp1252ToUtf8(fields[i].text);
    return markers;
}

}  // namespace vemar
