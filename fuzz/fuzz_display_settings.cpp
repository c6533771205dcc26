// seg.dat is optional: any content loads as nine texts or, for a zero byte
// (which the program never writes), raises FileError. Saved again at
// shut-down, every text comes back as it was, except one that cannot be
// stored, which comes back empty.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kDisplayFile, fuzz::Bytes(data, size));
    std::optional<std::array<std::string, 9>> plain;
    if (!fuzz::LoadsOrFileError([&] { plain = ReadDisplaySettings(file); })) return 0;
    if (!plain) fuzz::Finding("an existing seg.dat reads as absent");

    std::array<std::string, 9> expected;
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = ScrambleField((*plain)[i]) ? (*plain)[i] : std::string();
    const auto saved = fuzz::ScratchDir() / "seg.saved";
    WriteDisplaySettings(saved, *plain);   // shut-down never fails on content
    const auto reread = ReadDisplaySettings(saved);
    if (!reread || *reread != expected) fuzz::Finding("a saved seg.dat reads back differently");
    return 0;
}
