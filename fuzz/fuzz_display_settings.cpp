// seg.dat is optional: any content loads as a record or, for a zero byte
// (which the program never writes), raises FileError. Saved again at
// shut-down, every value comes back as it was, except a date symbol that
// cannot be stored, which comes back empty.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kDisplayFile, fuzz::Bytes(data, size));
    std::optional<DisplaySettings> loaded;
    if (!fuzz::LoadsOrFileError([&] { loaded = ReadDisplaySettings(file); })) return 0;
    if (!loaded) fuzz::Finding("an existing seg.dat reads as absent");

    DisplaySettings expected = *loaded;
    for (std::string* symbol : {&expected.dateSymbol1, &expected.dateSymbol2})
        if (!ScrambleField(*symbol)) symbol->clear();
    const auto saved = fuzz::ScratchDir() / "seg.saved";
    WriteDisplaySettings(saved, *loaded);   // shut-down never fails on content
    const auto reread = ReadDisplaySettings(saved);
    if (!reread || *reread != expected) fuzz::Finding("a saved seg.dat reads back differently");
    return 0;
}
