#include "core/astro.h"

#include "core/time/calendar.h"
#include "core/texts.h"

#include <cmath>
#include <string_view>

namespace vemar::astro {

namespace {

// Nine digits, as the series are quoted; full precision changes no shown minute.
constexpr double kPi = 3.14159265;
constexpr double kTwoPi = 2 * kPi;
constexpr double kRadPerDeg = kPi / 180;
// Sidereal angle (radians) that passes in one hour of solar time.
constexpr double kSiderealPerHour = 1.0027379 * (15 * kRadPerDeg);

// Zenith distance of the sun's centre at rising: 50' of refraction and radius.
constexpr double kSunZenithDeg = 90.833;
// The moon's: 34' refraction, 15.7' radius, less its parallax (41.685°/distance).
constexpr double kMoonZenithDeg = 90.567;
constexpr double kMoonParallaxDegEarthRadii = 41.685;

constexpr int kSecondsPerDay = 86400;

double Int(double x) { return std::floor(x); }
double Frac(double x) { return x - std::floor(x); }
int Sgn(double x) { return (x > 0) - (x < 0); }

// Turns of a fundamental argument to radians in 0..2π.
double TurnsToRadians(double turns) { return Frac(turns) * kTwoPi; }

// atan(s / sqrt(1 - s²)): the series give sines, the angle is their arc sine.
double ArcSine(double s) { return std::atan(s / std::sqrt(1 - s * s)); }

double Latitude(const Place& p) { return p.latDegrees + p.latMinutes / 60; }

// East longitude as a fraction of a turn; LonDegrees > 0 means west.
double EastLongitudeTurns(const Place& p) {
    const double turns = std::abs(p.lonDegrees + p.lonMinutes / 60) / 360;
    return p.lonDegrees > 0 ? -turns : turns;
}

// The day count and sidereal angle that both scans start from.
struct DayStart {
    double daysFromJ2000 = 0;        // to 0h UT of the date
    double zoneMidnightUtDays = 0;   // UT of 0h zone time
    double siderealRad = 0;          // local sidereal angle at 0h zone time
};

DayStart StartOfDay(const CalendarDate& date, const Site& site) {
    const DayNumber dn = CalendarDayNumber(date.month, date.day, date.year);
    DayStart s;
    s.daysFromJ2000 = (dn.j - 2451545) + dn.f;
    s.zoneMidnightUtDays = -site.zoneHours / 24.0;
    s.siderealRad = SiderealAtZoneMidnight(s.daysFromJ2000, s.zoneMidnightUtDays, EastLongitudeTurns(site.place));
    return s;
}

Horizon MakeHorizon(const Place& place, double zenithDeg, double siderealRad) {
    const double latDeg = Latitude(place);
    Horizon h;
    h.cosZenith = std::cos(zenithDeg * kRadPerDeg);
    h.sinLat = std::sin(latDeg * kRadPerDeg);
    h.cosLat = std::cos(latDeg * kRadPerDeg);
    h.siderealAtMidnightRad = siderealRad;
    return h;
}

double Altitude(const Horizon& h, double decRad, double hourAngleRad) {
    return h.sinLat * std::sin(decRad) + h.cosLat * std::cos(decRad) * std::cos(hourAngleRad) - h.cosZenith;
}

// Fraction 0..1 of the hour at which a e² + b e + v0 crosses 0.
// a is exactly 0 only by accident; the curve is then a line through the hour.
bool RootInHour(double a, double b, double v0, double& e) {
    if (a == 0) {
        if (b == 0) return false;
        e = -v0 / b;
        return true;
    }
    const double disc = b * b - 4 * a * v0;
    if (disc < 0) return false;
    const double d = std::sqrt(disc);
    e = (-b + d) / (2 * a);
    if (e > 1 || e < 0) e = (-b - d) / (2 * a);
    return true;
}

EventKind KindOf(double v0, double v2) {
    if (v0 < 0 && v2 > 0) return EventKind::Rise;
    if (v0 > 0 && v2 < 0) return EventKind::Set;
    return EventKind::Neither;
}

// Value at day fraction p of the parabola through f0, f1, f2 at 0h, 12h, 24h.
double Interpolate3(double f0, double f1, double f2, double p) {
    const double a = f1 - f0;
    const double b = f2 - f1 - a;
    return f0 + p * (2 * a + b * (2 * p - 1));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string ClockText(long long h, long long m, long long s) {
    return std::to_string(h) + ":" + TwoDigits(m) + ":" + TwoDigits(s) + " ";
}

} // namespace

DayNumber CalendarDayNumber(int month, int day, int year) {
    const double m = month, y = year;
    const double g = year < 1583 ? 0 : 1;   // Julian calendar before 1583
    const double d1 = Int(day);
    double f = day - d1 - 0.5;
    double j = -Int(7 * (y + Int((m + 9) / 12)) / 4);
    double j3 = 0;
    if (g != 0) {
        const double s = Sgn(m - 9);
        const double a = std::abs(m - 9);
        j3 = Int(y + s * Int(a / 7));
        j3 = -Int((Int(j3 / 100) + 1) * 3 / 4);
    }
    j = j + Int(275 * m / 9) + d1 + g * j3;
    j = j + 1721027 + 2 * g + 367 * y;
    if (f < 0) {
        f = f + 1;
        j = j - 1;
    }
    return {j, f};
}

double SiderealAtZoneMidnight(double daysFromJ2000, double zoneMidnightUtDays, double eastLonTurns) {
    const double tc = daysFromJ2000 / 36525;
    double s = 24110.5 + 8640184.813 * tc;   // seconds
    s = s + 86636.6 * zoneMidnightUtDays + 86400 * eastLonTurns;
    s = s / 86400;
    s = s - Int(s);
    return s * 360 * kRadPerDeg;
}

Equatorial SunPosition(double t, double tt) {   // days from J2000, centuries from 1900
    const double l = TurnsToRadians(0.779072 + 0.00273790931 * t);   // mean longitude
    const double g = TurnsToRadians(0.993126 + 0.0027377785 * t);    // mean anomaly
    double v = 0.39785 * std::sin(l);
    v = v - 0.01 * std::sin(l - g);
    v = v + 0.00333 * std::sin(l + g);
    v = v - 0.00021 * tt * std::sin(l);
    double u = 1;
    u = u - 0.03349 * std::cos(g);
    u = u - 0.00014 * std::cos(2 * l);
    u = u + 0.00008 * std::cos(l);
    double w = -0.0001;
    w = w - 0.04129 * std::sin(2 * l);
    w = w + 0.03211 * std::sin(g);
    w = w + 0.00104 * std::sin(2 * l - g);
    w = w - 0.00035 * std::sin(2 * l + g);
    w = w - 0.00008 * tt * std::sin(g);
    Equatorial e;
    e.raRad = l + ArcSine(w / std::sqrt(u - v * v));
    e.decRad = ArcSine(v / std::sqrt(u));
    return e;
}

MoonEquatorial MoonPosition(double t) {   // days from J2000
    const double l = TurnsToRadians(0.606434 + 0.03660110129 * t);   // mean longitude
    const double m = TurnsToRadians(0.374897 + 0.03629164709 * t);   // mean anomaly
    const double f = TurnsToRadians(0.259091 + 0.0367481952 * t);    // argument of latitude
    const double d = TurnsToRadians(0.827362 + 0.03386319198 * t);   // mean elongation
    const double n = TurnsToRadians(0.347343 - 0.00014709391 * t);   // ascending node
    const double g = TurnsToRadians(0.993126 + 0.0027377785 * t);    // sun's mean anomaly

    double v = 0.39558 * std::sin(f + n);
    v = v + 0.082 * std::sin(f);
    v = v + 0.03257 * std::sin(m - f - n);
    v = v + 0.01092 * std::sin(m + f + n);
    v = v + 0.00666 * std::sin(m - f);
    v = v - 0.00644 * std::sin(m + f - 2 * d + n);
    v = v - 0.00331 * std::sin(f - 2 * d + n);
    v = v - 0.00304 * std::sin(f - 2 * d);
    v = v - 0.0024 * std::sin(m - f - 2 * d - n);
    v = v + 0.00226 * std::sin(m + f);
    v = v - 0.00108 * std::sin(m + f - 2 * d);
    v = v - 0.00079 * std::sin(f - n);
    v = v + 0.00078 * std::sin(f + 2 * d + n);

    double u = 1;
    u = u - 0.10828 * std::cos(m);
    u = u - 0.0188 * std::cos(m - 2 * d);
    u = u - 0.01479 * std::cos(2 * d);
    u = u + 0.00181 * std::cos(2 * m - 2 * d);
    u = u - 0.00147 * std::cos(2 * m);
    u = u - 0.00105 * std::cos(2 * d - g);
    u = u - 0.00075 * std::cos(m - 2 * d + g);

    double w = 0.10478 * std::sin(m);
    w = w - 0.04105 * std::sin(2 * f + 2 * n);
    w = w - 0.0213 * std::sin(m - 2 * d);
    w = w - 0.01779 * std::sin(2 * f + n);
    w = w + 0.01774 * std::sin(n);
    w = w + 0.00987 * std::sin(2 * d);
    w = w - 0.00338 * std::sin(m - 2 * f - 2 * n);
    w = w - 0.00309 * std::sin(g);
    w = w - 0.0019 * std::sin(2 * f);
    w = w - 0.00144 * std::sin(m + n);
    w = w - 0.00144 * std::sin(m - 2 * f - n);
    w = w - 0.00113 * std::sin(m + 2 * f + 2 * n);
    w = w - 0.00094 * std::sin(m - 2 * d + g);
    w = w - 0.00092 * std::sin(2 * m - 2 * d);

    MoonEquatorial e;
    e.raRad = l + ArcSine(w / std::sqrt(u - v * v));
    e.decRad = ArcSine(v / std::sqrt(u));
    e.distEarthRadii = 60.40974 * std::sqrt(u);
    return e;
}

HourResult TestHour(const Horizon& horizon, const HourSpan& span) {
    const double siderealStartRad = horizon.siderealAtMidnightRad + span.hour * kSiderealPerHour;
    const double siderealEndRad = siderealStartRad + kSiderealPerHour;
    const double hourAngleStartRad = siderealStartRad - span.start.raRad;
    const double hourAngleEndRad = siderealEndRad - span.end.raRad;
    const double hourAngleMidRad = (hourAngleEndRad + hourAngleStartRad) / 2;
    const double decMidRad = (span.end.decRad + span.start.decRad) / 2;
    const double startAltitude =
        span.hour == 0 ? Altitude(horizon, span.start.decRad, hourAngleStartRad) : span.startAltitude;

    HourResult r;
    r.endAltitude = Altitude(horizon, span.end.decRad, hourAngleEndRad);
    if (Sgn(startAltitude) == Sgn(r.endAltitude)) return r;

    // Parabola through the altitude at the start, middle and end of the hour.
    const double midAltitude = Altitude(horizon, decMidRad, hourAngleMidRad);
    const double a = 2 * r.endAltitude - 4 * midAltitude + 2 * startAltitude;
    const double b = 4 * midAltitude - 3 * startAltitude - r.endAltitude;
    double e = 0;
    if (!RootInHour(a, b, startAltitude, e)) return r;

    r.kind = KindOf(startAltitude, r.endAltitude);
    r.timeHours = span.hour + e + 1.0 / 120;   // the half minute turns the later truncation into rounding
    return r;
}

std::string EventTimeText(double tHours) {
    const double h = Int(tHours);
    const double m = Int((tHours - h) * 60);
    return std::to_string(static_cast<long long>(h)) + ":" + TwoDigits(static_cast<long long>(m));
}

SunTimes ComputeSunTimes(const CalendarDate& date, const Site& site) {
    const DayStart start = StartOfDay(date, site);
    const double centuriesFrom1900 = start.daysFromJ2000 / 36525 + 1;
    double t = start.daysFromJ2000 + start.zoneMidnightUtDays;   // now 0h zone time

    // Today's and tomorrow's positions at 0h zone time, linear in between.
    const Equatorial p1 = SunPosition(t, centuriesFrom1900);
    t = t + 1;
    Equatorial p2 = SunPosition(t, centuriesFrom1900);
    if (p2.raRad < p1.raRad) p2.raRad = p2.raRad + kTwoPi;

    const Horizon horizon = MakeHorizon(site.place, kSunZenithDeg, start.siderealRad);
    const double raStepRad = p2.raRad - p1.raRad;
    const double decStepRad = p2.decRad - p1.decRad;
    HourSpan span{0, p1, p1, 0};
    SunTimes times;
    for (int c = 0; c < 24; ++c) {
        const double p = (c + 1) / 24.0;
        span.hour = c;
        span.end = {p1.raRad + p * raStepRad, p1.decRad + p * decStepRad};
        const HourResult r = TestHour(horizon, span);
        // Each time goes under its own kind, so that a lone crossing at the
        // edge of the midnight sun or the polar night never reads as both.
        // An hour that ends exactly on the horizon leaves the crossing to the
        // next hour, which starts there and knows which way the sun goes.
        EventKind kind = r.kind;
        if (kind == EventKind::Neither)
            kind = r.endAltitude > 0 ? EventKind::Rise : r.endAltitude < 0 ? EventKind::Set : EventKind::None;
        if (kind == EventKind::Rise && times.rise.empty()) times.rise = EventTimeText(r.timeHours);
        if (kind == EventKind::Set) times.set = EventTimeText(r.timeHours);
        span.start = span.end;
        span.startAltitude = r.endAltitude;
    }
    return times;
}

std::string SunSentence(const SunTimes& times) {
    return std::string(texts::kSunRises) + times.rise + std::string(texts::kSunSets) + times.set;
}

MoonDay ComputeMoonDay(const CalendarDate& date, const Site& site) {
    const DayStart start = StartOfDay(date, site);
    double t = start.daysFromJ2000 + start.zoneMidnightUtDays;

    // The moon moves too fast for a straight line over the day: 0h, 12h, 24h.
    std::array<MoonEquatorial, 3> row{};
    for (MoonEquatorial& r : row) {
        r = MoonPosition(t);
        t = t + 0.5;
    }
    if (row[1].raRad <= row[0].raRad) row[1].raRad = row[1].raRad + kTwoPi;
    if (row[2].raRad <= row[1].raRad) row[2].raRad = row[2].raRad + kTwoPi;

    // The rising altitude depends on the parallax, taken at midday.
    const double zenithDeg = kMoonZenithDeg - kMoonParallaxDegEarthRadii / row[1].distEarthRadii;
    const Horizon horizon = MakeHorizon(site.place, zenithDeg, start.siderealRad);

    MoonDay result;
    HourSpan span{0, {row[0].raRad, row[0].decRad}, {}, 0};
    for (int c = 0; c < 24; ++c) {
        const double p = (c + 1) / 24.0;
        span.hour = c;
        span.end.raRad = Interpolate3(row[0].raRad, row[1].raRad, row[2].raRad, p);
        span.end.decRad = Interpolate3(row[0].decRad, row[1].decRad, row[2].decRad, p);
        if (span.end.raRad < span.start.raRad) span.end.raRad = span.end.raRad + 2 * kPi;
        const HourResult r = TestHour(horizon, span);
        if (r.kind != EventKind::None) result.events[result.count++] = {r.kind, r.timeHours};
        span.start = span.end;
        span.startAltitude = r.endAltitude;
    }
    result.endValue = span.startAltitude;
    return result;
}

std::string MoonSentence(const MoonDay& day) {
    const std::string rises(texts::kMoonRises), sets(texts::kMoonSets);
    std::string firstLabel, secondLabel, firstText, lastText, lastTime;
    bool riseFound = false, setFound = false;
    for (int k = 0; k < day.count; ++k) {
        const MoonEvent& ev = day.events[k];
        if (ev.kind == EventKind::Rise) {
            firstLabel = rises;
            riseFound = true;
        } else if (ev.kind == EventKind::Set) {
            secondLabel = sets;
            setFound = true;
        }
        const std::string timeText = EventTimeText(ev.timeHours);
        if (k == 0) {
            // A day that opens with a setting reads "cala ... e si leva ...".
            if (firstLabel.empty()) {
                firstLabel = sets;
                secondLabel = rises;
            }
            firstText = firstLabel + timeText;
        }
        lastText = secondLabel + timeText;
        lastTime = timeText;
    }

    if (!riseFound && !setFound) {
        if (day.endValue < 0) firstText = std::string(texts::kMoonBelowAllDay);
        if (day.endValue > 0) lastText = std::string(texts::kMoonAboveAllDay);
    } else {
        if (!riseFound) {
            firstText = sets + lastTime;
            lastText = std::string(texts::kMoonRisesAfter24);
        }
        if (!setFound) lastText = std::string(texts::kMoonSetsAfter24);
    }

    // The second half drops the repeated subject: "... e cala alle 14:56".
    constexpr std::string_view kSubject = "La Luna ";
    std::string second = lastText;
    if (StartsWith(firstText, "La Luna")) {
        if (StartsWith(second, kSubject)) second.erase(0, kSubject.size());
        if (StartsWith(firstText, "La Luna cala") && !StartsWith(second, "si ")) second = "si " + second;
    }
    return firstText + std::string(texts::kAnd) + second;
}

std::string SiderealText(const CalendarDate& homeDate, const UniversalTime& universal, const Place& place) {
    const double lonDegrees = place.lonDegrees, lonMinutes = place.lonMinutes;
    // Days from 0h of the date, may leave 0..1.
    const double ut = ((universal.second / 60.0 + universal.minute) / 60 + universal.hour) / 24;
    const double sid = ut * 1.0027379092;
    const DayNumber dn = CalendarDayNumber(homeDate.month, homeDate.day, homeDate.year);
    const double tc = (dn.j + dn.f - 2451545) / 36525;
    // Greenwich mean sidereal time at 0h UT (IAU 1982), in turns.
    const double g = 0.2790572732639 + tc * (100.002139037801 + tc * (1.07759259e-06 - tc * 7.17593e-11));
    const double lonHours = std::abs((lonDegrees * 60 + lonMinutes) / 60) / 15;
    double lonDays = lonHours / 24;
    if (lonDegrees > 0) lonDays = -lonDays;

    double x = lonDays + sid + g;
    x = x - std::trunc(x);
    if (x < 0) x = x + 1;
    x = x * 24;
    long long h = static_cast<long long>(Int(x));
    const double m = (x - h) * 60;
    long long mm = static_cast<long long>(Int(m));
    long long ss = std::llround((m - mm) * 60);
    // A rounded 60 seconds belongs to the next minute (and hour, and day).
    if (ss >= 60) { ss -= 60; ++mm; }
    if (mm >= 60) { mm -= 60; ++h; }
    if (h >= 24) h -= 24;
    return ClockText(h, mm, ss);
}

std::string LocalMeanTimeText(const UniversalTime& ut, const Place& place) {
    // Whole seconds throughout: one arc-minute of longitude is 4 s of time, so
    // every term is an integer-valued double and the sum is exact; hours as a
    // fraction would lose a second on almost half of the readings.
    const double lonSeconds = std::abs(place.lonDegrees * 60 + place.lonMinutes) * 4;
    const double utHour = ut.hour < 0 ? ut.hour + 24 : ut.hour;
    const double u = utHour * 3600 + ut.minute * 60.0 + ut.second;
    double t = place.lonDegrees > 0 ? u - lonSeconds : u + lonSeconds;
    if (t > kSecondsPerDay) t = t - kSecondsPerDay;   // greater than: exactly 24 h shows as 24
    if (t < 0) t = t + kSecondsPerDay;
    const long long whole = static_cast<long long>(std::floor(t));
    return ClockText(whole / 3600, whole % 3600 / 60, whole % 60);
}

} // namespace vemar::astro
