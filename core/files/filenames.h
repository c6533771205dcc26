#pragma once
// The names of the program's files in its settings folder.

namespace vemar {

inline constexpr const char* kZoneFile = "fusi.dat";
inline constexpr const char* kStagedZoneFile = "fusi.tmp";
inline constexpr const char* kSiteFile = "lxp2.par";
inline constexpr const char* kDisplayFile = "seg.dat";
inline constexpr const char* kRuleFile = "Parleg.dat";
inline constexpr const char* kMarkerFile = "car.tip";
inline constexpr const char* kCityZonesFile = "fusi.tz";
// The zone of the system that the home follows, by its name, or "-" for a
// home its user took off its zone. UTF-8, one line.
inline constexpr const char* kHomeZoneFile = "casa.tz";
inline constexpr const char* kInfoSound = "Infor.snm";

} // namespace vemar
