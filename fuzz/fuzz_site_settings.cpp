// lxp2.par: any content loads or raises FileError. A record that loaded can
// be saved (as Command1 and shut-down do: a refusal there would end the
// program), reads back with the same values, and saving it again gives the
// same bytes: the file settles after one save.

#include "fuzz_support.h"

#include <tuple>

using namespace vemar;

namespace {

auto Values(const SiteSettings& s) {
    return std::tie(s.latDegrees, s.latMinutes, s.lonDegrees, s.lonMinutes, s.zoneOffset, s.inDstWindow,
                    s.hemisphere, s.outsideDstWindow, s.halfHour, s.autoDst);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kSiteFile, fuzz::Bytes(data, size));
    SiteSettings loaded;
    if (!fuzz::LoadsOrFileError([&] { loaded = ReadSiteSettings(file); })) return 0;

    const auto saved = fuzz::ScratchDir() / "lxp2.saved";
    if (!fuzz::LoadsOrFileError([&] { WriteSiteSettings(saved, loaded); }))
        fuzz::Finding("a loaded lxp2.par cannot be saved");
    SiteSettings reread;
    if (!fuzz::LoadsOrFileError([&] { reread = ReadSiteSettings(saved); }))
        fuzz::Finding("a saved lxp2.par cannot be read");
    if (Values(loaded) != Values(reread)) fuzz::Finding("a saved lxp2.par reads back with other values");

    const std::string first = fuzz::ReadScratch(saved);
    if (!fuzz::LoadsOrFileError([&] { WriteSiteSettings(saved, reread); }))
        fuzz::Finding("a saved lxp2.par cannot be saved again");
    if (fuzz::ReadScratch(saved) != first) fuzz::Finding("lxp2.par changes at every save");
    return 0;
}
