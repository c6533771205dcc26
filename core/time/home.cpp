#include "core/time/home.h"

#include "core/texts.h"
#include "core/time/dst.h"

namespace vemar {

using std::chrono::seconds;

UniversalTime ToUniversal(const ClockReading& local, seconds ahead) {
    const int minutes = local.hour * 60 + local.minute - static_cast<int>(ahead.count() / 60);
    return {FloorDiv(minutes, 60), FloorMod(minutes, 60), local.second};
}

Home::Home(SharedState& s, MainView& v, HomeZone& zone)
    : site_(s.site), rule_(s.dstRule), summerButton_(v.summerTimeButton), summerPeriod_(v.summerPeriod),
      zone_(zone) {}

void Home::decideSummer(const ClockReading& today) {
    const DstPeriod period = LegaleSino(rule_, site_.hemisphere, site_.autoDst, today.day, today.month, today.year);
    ruleSummer_ = period.ruleSummer == 1;
    decidedFollowing_ = followsZone();
    if (decidedFollowing_) {
        const ZonePeriod texts = ZonePeriodTexts(zone_.summerPeriod({today.day, today.month, today.year}),
                                                 site_.hemisphere, today.year);
        summerPeriod_.caption = texts.caption;
        summerPeriod_.tooltip = texts.tooltip;
    } else {
        summerPeriod_.caption = period.caption;
        summerPeriod_.tooltip = period.tooltip;
        if (period.inDstWindow) site_.inDstWindow = *period.inDstWindow;
    }
    decidedFor_ = CalendarDate{today.day, today.month, today.year};
}

void Home::followDays(const ClockReading& now) {
    if (!decidedFor_) return;
    if (*decidedFor_ == CalendarDate{now.day, now.month, now.year} && decidedFollowing_ == followsZone()) return;
    decideSummer(now);
    if (site_.autoDst == 1) showSummerCaption();
}

void Home::showSummerCaption() {
    if (auto label = ShowDstLabel(site_.inDstWindow)) {
        summerButton_.caption = label->caption;
        site_.outsideDstWindow = label->outsideDstWindow;
    }
}

void Home::hemisphereCaption() {
    const DstLabel label = Emisfero(site_.inDstWindow);
    summerButton_.caption = label.caption;
    site_.outsideDstWindow = label.outsideDstWindow;
}

void Home::captionAtStart() {
    if (site_.outsideDstWindow == 0) summerButton_.caption = texts::kSummerTime;
    else if (site_.outsideDstWindow == 1) summerButton_.caption = texts::kStandardTime;
}

bool Home::switchSummer(bool byUser) {
    if (site_.autoDst != 0) return false;
    const bool toSummer = summerButton_.caption != texts::kSummerTime;
    summerButton_.caption = toSummer ? texts::kSummerTime : texts::kStandardTime;
    site_.outsideDstWindow = toSummer ? 0 : 1;
    site_.inDstWindow = toSummer ? 1 : 0;
    if (byUser) zone_.leaveByHand();
    return true;
}

void Home::summerFromZone(bool summer) {
    const int hour = summer ? 1 : 0;
    if (site_.inDstWindow == hour) return;
    site_.inDstWindow = hour;
    showSummerCaption();
}

// In database mode the instant is the truth: the settings can be wrong (a
// zone box set by hand, a machine that has just changed zone), the instant
// of the clock reading cannot.
Home::Now Home::at(const ClockReading& now) {
    const sys_seconds midnight = StartOfDay({now.day, now.month, now.year});
    if (databaseMode_ && now.instant) {
        if (followsZone())
            if (const auto offset = zone_.offsetAt(*now.instant, now.year)) summerFromZone(offset->summer);
        const auto since = std::chrono::duration_cast<seconds>(*now.instant - midnight).count();
        return {{static_cast<int>(FloorDiv(since, std::int64_t{3600})),
                 static_cast<int>(FloorMod(since, std::int64_t{3600}) / 60),
                 static_cast<int>(FloorMod(since, std::int64_t{60}))},
                *now.instant};
    }
    const UniversalTime ut = ToUniversal(now, aheadBySettings());
    return {ut, midnight + ut.sinceLocalMidnight()};
}

seconds Home::aheadBySettings() const {
    return site_.zoneOffset + std::chrono::hours{site_.inDstWindow} + site_.halfHour;
}

seconds Home::skyOffset(const CalendarDate& day) {
    if (followsZone())
        if (const auto noon = zone_.noonOffset(day)) return *noon;
    return aheadBySettings();
}

} // namespace vemar
