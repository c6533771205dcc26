// Parleg.dat: any content loads as a rule within range or raises FileError;
// a loaded rule saved by the rule dialog reads back the same.

#include "fuzz_support.h"

using namespace vemar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::WriteScratch(kRuleFile, fuzz::Bytes(data, size));
    DstRule rule;
    if (!fuzz::LoadsOrFileError([&] { rule = ReadParleg(file); })) return 0;
    for (int month : {rule.monthA, rule.monthB})
        if (month < 0 || month > 11) fuzz::Finding("a month out of range loaded");
    for (int week : {rule.weekA, rule.weekB})
        if (week < 0 || week > 4) fuzz::Finding("a week out of range loaded");
    for (int weekday : {rule.weekdayA, rule.weekdayB})
        if (weekday < 0 || weekday > 6) fuzz::Finding("a weekday out of range loaded");

    const auto saved = fuzz::ScratchDir() / "Parleg.saved";
    if (!fuzz::LoadsOrFileError([&] { WriteParleg(saved, rule); }))
        fuzz::Finding("a loaded rule cannot be saved");
    DstRule again;
    if (!fuzz::LoadsOrFileError([&] { again = ReadParleg(saved); }))
        fuzz::Finding("a saved Parleg.dat cannot be read");
    if (!(again == rule)) fuzz::Finding("a saved rule reads back differently");
    return 0;
}
