// fusi.dat: any content loads as 54 rows or raises FileError; a table that
// loaded and is saved again (as the editors do) reads back the same, unless
// the save itself refuses a character with FileError.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kZoneFile, fuzz::Bytes(data, size));
    ZoneTable table;
    if (!fuzz::LoadsOrFileError([&] { table = ReadZoneTable(file); })) return 0;

    const auto saved = fuzz::ScratchDir() / kStagedZoneFile;
    if (!fuzz::LoadsOrFileError([&] { WriteZoneTable(saved, table); })) return 0;
    ZoneTable again;
    if (!fuzz::LoadsOrFileError([&] { again = ReadZoneTable(saved); }))
        fuzz::Finding("a saved zone table cannot be read");
    if (again != table) fuzz::Finding("a saved zone table reads back differently");
    return 0;
}
