// car.tip is optional and never fatal: any content gives five texts without
// an exception, each one valid text that maps back to Windows-1252 bytes.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kMarkerFile, fuzz::Bytes(data, size));
    for (const std::string& marker : ReadLargeMarkers(file))   // any exception is a crash
        if (!Utf8ToCp1252(marker)) fuzz::Finding("a marker is not Windows-1252 text");
    return 0;
}
