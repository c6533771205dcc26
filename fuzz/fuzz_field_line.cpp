// The field-line reader on any bytes. The first byte picks how many fields
// are asked for. Whatever it reads, it returns no more fields than asked, and
// a line written from those fields reads back as the same fields: lxp2.par
// and Parleg.dat keep their spare fields by exactly this round trip.

#include "fuzz_support.h"

#include <stdexcept>

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t count = data[0] % 24;   // more than the 18 of the longest record
    const std::vector<FieldValue> fields = ReadFields(fuzz::Bytes(data + 1, size - 1), count);
    if (fields.size() > count) fuzz::Finding("more fields than asked for");
    if (fields.empty()) return 0;

    std::string line;
    try {
        line = WriteFieldLine(fields);
    } catch (const std::invalid_argument&) {
        return 0;   // a field the convention cannot write; the file writers refuse it with FileError
    }
    if (ReadFields(line, fields.size()) != fields) fuzz::Finding("a written line reads back differently");
    if (ReadFields(line, count + 1).size() != fields.size())
        fuzz::Finding("a written line holds more fields than were written");
    return 0;
}
