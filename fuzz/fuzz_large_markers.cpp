// car.tip is optional: any content gives five texts, each one valid text that
// maps back to Windows-1252 bytes, or raises FileError for a zero byte.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kMarkerFile, fuzz::Bytes(data, size));
    std::array<std::string, 5> markers;
    if (!fuzz::LoadsOrFileError([&] { markers = ReadLargeMarkers(file); })) return 0;
    for (const std::string& marker : markers)
        if (!Utf8ToCp1252(marker)) fuzz::Finding("a marker is not Windows-1252 text");
    return 0;
}
