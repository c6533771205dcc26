// lxp2.par: any content loads or raises FileError. A record that loaded can
// be saved (as Command1 and shut-down do: a refusal there would end the
// program), reads back with the same values, and saving it again gives the
// same bytes: the file settles after one save.

#include "fuzz_support.h"

using namespace vemar;

namespace {

bool SameSettings(const SharedState& a, const SharedState& b) {
    return a.latDegrees == b.latDegrees && a.latMinutes == b.latMinutes && a.lonDegrees == b.lonDegrees &&
           a.lonMinutes == b.lonMinutes && a.zoneOffset == b.zoneOffset && a.inDstWindow == b.inDstWindow &&
           a.hemisphere == b.hemisphere && a.outsideDstWindow == b.outsideDstWindow &&
           a.siteHalfHour == b.siteHalfHour && a.autoDst == b.autoDst;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kSiteFile, fuzz::Bytes(data, size));
    SharedState loaded;
    if (!fuzz::LoadsOrFileError([&] { ReadSiteSettings(file, loaded); })) return 0;
    loaded.storedZoneOffset = loaded.zoneOffset;   // field 5 goes back as it was read

    const auto saved = fuzz::ScratchDir() / "lxp2.saved";
    if (!fuzz::LoadsOrFileError([&] { WriteSiteSettings(saved, loaded); }))
        fuzz::Finding("a loaded lxp2.par cannot be saved");
    SharedState reread;
    if (!fuzz::LoadsOrFileError([&] { ReadSiteSettings(saved, reread); }))
        fuzz::Finding("a saved lxp2.par cannot be read");
    if (!SameSettings(loaded, reread)) fuzz::Finding("a saved lxp2.par reads back with other values");

    const std::string first = fuzz::ReadScratch(saved);
    reread.storedZoneOffset = reread.zoneOffset;
    if (!fuzz::LoadsOrFileError([&] { WriteSiteSettings(saved, reread); }))
        fuzz::Finding("a saved lxp2.par cannot be saved again");
    if (fuzz::ReadScratch(saved) != first) fuzz::Finding("lxp2.par changes at every save");
    return 0;
}
