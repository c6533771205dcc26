#include "scriptedplatform.h"

#include "ui/dialogs/questionbox.h"
#include "ui/widgets/viewbinder.h"

#include "core/time/calendar.h"
#include "core/firststart.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

namespace vemar::ui {

namespace {

bool HaveTz() {
    const char* tz = std::getenv("TZ");
    return tz && *tz;
}

std::int64_t AsIfUtc(const ClockReading& r) {
    return DaysFromCivil({r.day, r.month, r.year}) * 86400 + r.hour * 3600 + r.minute * 60 + r.second;
}

} // namespace

ClockReading ReadingAt(std::chrono::sys_seconds instant) {
    tzset();
    const std::time_t t = instant.time_since_epoch().count();
    std::tm tm{};
    if (HaveTz()) localtime_r(&t, &tm);
    else gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, instant};
}

// Every offset the zone has within two days of the reading gives one
// candidate instant; those whose clock shows the reading are its instants.
ReadingInstant InstantOfReading(const ClockReading& reading) {
    if (!HaveTz()) return {};
    tzset();
    const std::int64_t asUtc = AsIfUtc(reading);
    std::set<long> offsets;
    for (std::int64_t t = asUtc - 48 * 3600; t <= asUtc + 48 * 3600; t += 1800) {
        const std::time_t when = t;
        std::tm tm{};
        localtime_r(&when, &tm);
        offsets.insert(tm.tm_gmtoff);
    }
    std::optional<std::int64_t> earliest;
    for (long offset : offsets) {
        const std::int64_t candidate = asUtc - offset;
        ClockReading shown = ReadingAt(std::chrono::sys_seconds{std::chrono::seconds{candidate}});
        shown.instant = reading.instant;
        if (shown == reading && (!earliest || candidate < *earliest)) earliest = candidate;
    }
    if (!earliest) return {std::nullopt, true};
    return {std::chrono::sys_seconds{std::chrono::seconds{*earliest}}, false};
}

void setSystemZone(const std::string& zone) {
    ::setenv("TZ", zone.c_str(), 1);
    tzset();
}

std::string ScriptedPlatform::systemZone() { return HaveTz() ? SystemZoneName() : std::string(); }

bool ScriptedPlatform::askYesNo(const std::string& text, const std::string& title) {
    bool answer = false;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    // The box is made as the program makes it, but never shown.
    const auto box = makeQuestionBox(qs(text), qs(title), nullptr);
    std::vector<std::string> buttons;
    for (const QString& b : buttonTexts(*box)) buttons.push_back(b.toStdString());
    effects.push_back({"question", {}, text, title, {}, answer, buttons});
    return answer;
}

void ScriptedPlatform::fatalFileError(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "vemar: %s: %s\n", file.c_str(), message.c_str());
    effects.push_back({"fatal", file, {}, {}, message, false, {}});
}

void ScriptedPlatform::saveFailed(const std::string& text) {
    std::fprintf(stderr, "vemar: %s\n", text.c_str());
    effects.push_back({"saveFailed", {}, text, {}, {}, false, {}});
}

int ScriptedPlatform::count(const std::string& kind) const {
    int n = 0;
    for (const auto& e : effects) n += e.kind == kind;
    return n;
}

} // namespace vemar::ui
