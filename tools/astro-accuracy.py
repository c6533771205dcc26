#!/usr/bin/python3
"""How far the shown sun and moon times lie from an accurate ephemeris.

Runs the astro-table program for a year at each place below and compares
every event with PyEphem (Debian package python3-ephem), printing the median
and the largest difference in minutes for sunrise, sunset, moonrise and
moonset, and the days on which the sun's rising or setting is shown but not
real, or real but not shown.

    tools/astro-accuracy.py [PATH-TO-astro-table] [YEAR] [PLACE ...]

Conventions, chosen to match what the program computes:
- Sun: its centre at -0:50 (34' refraction plus 16' radius) with refraction
  switched off in PyEphem (pressure 0), i.e. horizon -0:50 with use_center.
  That is the same event as the usual upper limb at -0:34.
- Moon: the program takes the geocentric centre at 0.7275 x parallax - 0:34.
  The matching apparent event is the topocentric upper limb at -0:34 with
  refraction switched off (pressure 0), which is how the comparison is done.
- Each shown time is a whole minute ("h:mm"); PyEphem's time is rounded to
  the nearest minute, so a difference of 0 means the same minute shown.
- PyEphem's altitudes are sampled every 10 minutes and each crossing of the
  horizon is narrowed down to the second: far north and south the sun and
  moon may stay up or down for days, which next_rising reports as an error.
- The program shows the sun's first rising and last setting of each day.
  Beside the times, each day's sun is checked on its own: a rising shown on
  the days PyEphem has one, a setting likewise. Days whose highest or lowest
  altitude lies within 0.2 degrees of the horizon are counted apart
  ("grazing"): there a series good to about an arc-minute may rightly
  disagree.
"""

import bisect
import datetime as dt
import math
import statistics
import subprocess
import sys

import ephem

PLACES = [
    # name, stored latitude and longitude (minutes with their own sign,
    # LonDegrees > 0 west), ephem coordinates, zone offset, summer-time rule
    ("Roma", (41, 54, -12, -29), ("41:54", "12:29"), 1, "eu"),
    ("New York", (40, 43, 74, 0), ("40:43", "-74:00"), -5, "us"),
    ("Nuova Delhi", (28, 37, -77, -13), ("28:37", "77:13"), 5.5, "none"),
    ("Sydney", (-33, -52, -151, -13), ("-33:52", "151:13"), 10, "au"),
    # Midnight sun and polar night, in both hemispheres.
    ("Tromsø", (69, 39, -18, -57), ("69:39", "18:57"), 1, "eu"),
    ("Longyearbyen", (78, 13, -15, -38), ("78:13", "15:38"), 1, "eu"),
    ("McMurdo", (-77, -51, -166, -41), ("-77:51", "166:41"), 12, "nz"),
]

MATCH_WINDOW_MIN = 60  # an event farther than this from its counterpart is "unmatched"


def run_table(exe, year, stored, zone, rule):
    args = [exe, str(year), *map(str, stored), str(zone), rule]
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    days = []
    for line in out.splitlines():
        fields = line.split()
        date = dt.date.fromisoformat(fields[0])
        zone_hours = float(fields[1])
        sun = fields[2:4]
        moon = [(f[0], float(f[2:])) for f in fields[4:]]
        days.append((date, zone_hours, sun, moon))
    return days


def shown_minute_ut(date, zone_hours, minute_of_day):
    """Absolute UT minute (since 1970) of a shown zone-time minute of a date."""
    midnight = dt.datetime(date.year, date.month, date.day, tzinfo=dt.timezone.utc)
    return round(midnight.timestamp() / 60 + minute_of_day - zone_hours * 60)


EPOCH = ephem.Date(dt.datetime(1970, 1, 1))


def unix_minutes(d):
    """PyEphem date to UT minutes since 1970."""
    return (ephem.Date(d) - EPOCH) * 24 * 60


def program_events(days):
    ev = {"sunrise": [], "sunset": [], "moonrise": [], "moonset": []}
    for date, zh, (rise, set_), moon in days:
        for key, text in (("sunrise", rise), ("sunset", set_)):
            if text != "-":
                h, m = map(int, text.split(":"))
                ev[key].append(shown_minute_ut(date, zh, h * 60 + m))
        for kind, hours in moon:
            key = {"R": "moonrise", "S": "moonset"}.get(kind)
            if key:
                ev[key].append(shown_minute_ut(date, zh, math.floor(hours * 60)))
    return ev


SAMPLE_MIN = 10
SUN_HORIZON = -50 / 60        # degrees: the centre, refraction and radius included
MOON_HORIZON = -34 / 60       # degrees: the upper limb, refraction included
GRAZING_DEG = 0.2             # a day's extreme altitude this near the horizon


def ephem_crossings(lat, lon, year):
    """Every rising and setting of the sun and moon from 30 December of the
    year before to 3 January after, as UT minutes (rounded), and the sun's
    altitude samples [(UT minute, degrees above its horizon)]."""
    obs = ephem.Observer()
    obs.lat, obs.lon = lat, lon
    obs.elevation = 0
    obs.pressure = 0  # refraction is in the horizons, as in the program
    start = ephem.Date(dt.datetime(year - 1, 12, 30))
    end = ephem.Date(dt.datetime(year + 1, 1, 3))
    step = SAMPLE_MIN * ephem.minute

    def above(body, t):
        obs.date = t
        body.compute(obs)
        if isinstance(body, ephem.Sun):
            return math.degrees(body.alt) - SUN_HORIZON
        return math.degrees(body.alt) + math.degrees(body.radius) - MOON_HORIZON

    ev, sun_samples = {}, []
    for body, rise_key, set_key in ((ephem.Sun(), "sunrise", "sunset"), (ephem.Moon(), "moonrise", "moonset")):
        rises, sets = [], []
        t0, v0 = start, above(body, start)
        while t0 < end:
            t1 = ephem.Date(t0 + step)
            v1 = above(body, t1)
            if isinstance(body, ephem.Sun):
                sun_samples.append((unix_minutes(t0), v0))
            if (v0 < 0) != (v1 < 0):
                lo, hi, vlo = t0, t1, v0
                while hi - lo > ephem.second / 4:
                    mid = ephem.Date((lo + hi) / 2)
                    vm = above(body, mid)
                    if (vm < 0) == (vlo < 0):
                        lo, vlo = mid, vm
                    else:
                        hi = mid
                (rises if v0 < 0 else sets).append(round(unix_minutes((lo + hi) / 2)))
            t0, v0 = t1, v1
        ev[rise_key], ev[set_key] = rises, sets
    return ev, sun_samples


def day_span(date, zone_hours):
    """The UT minutes [from, to) of a zone day."""
    first = shown_minute_ut(date, zone_hours, 0)
    return first, first + 24 * 60


def sun_days(days, ref, samples):
    """Per day: (shown rising?, PyEphem rising?, shown setting?, PyEphem
    setting?, grazing?)."""
    times = [m for m, _ in samples]
    out = []
    for date, zh, (rise, set_), _ in days:
        lo, hi = day_span(date, zh)
        inside = samples[bisect.bisect_left(times, lo):bisect.bisect_left(times, hi)]
        highest = max(v for _, v in inside)
        lowest = min(v for _, v in inside)
        grazing = abs(highest) < GRAZING_DEG or abs(lowest) < GRAZING_DEG
        has = {key: any(lo <= t < hi for t in ref[key]) for key in ("sunrise", "sunset")}
        out.append((date, rise != "-", has["sunrise"], set_ != "-", has["sunset"], grazing))
    return out


def missed(mine, ref, first, last):
    """Ephemeris events of the covered days with no shown event near them."""
    return sum(1 for r in ref if first <= r < last
               and not any(abs(r - m) <= MATCH_WINDOW_MIN for m in mine))


def compare(mine, ref):
    diffs, unmatched = [], 0
    for m in mine:
        k = bisect.bisect_left(ref, m)
        near = min((abs(m - ref[j]), m - ref[j]) for j in (k - 1, k) if 0 <= j < len(ref))
        if near[0] > MATCH_WINDOW_MIN:
            unmatched += 1
        else:
            diffs.append(near[1])
    return diffs, unmatched


def main():
    exe = sys.argv[1] if len(sys.argv) > 1 else "/tmp/astro-table"
    year = int(sys.argv[2]) if len(sys.argv) > 2 else 2024
    only = sys.argv[3:]
    for name, stored, (lat, lon), zone, rule in PLACES:
        if only and name not in only:
            continue
        days = run_table(exe, year, stored, zone, rule)
        first = shown_minute_ut(days[0][0], days[0][1], 0)
        last = shown_minute_ut(days[-1][0], days[-1][1], 24 * 60)
        mine = program_events(days)
        ref, samples = ephem_crossings(lat, lon, year)
        print(f"{name} {year} (zone {zone:+g}, summer time {rule.upper()})")
        print(f"  {'event':9} {'n':>4} {'median':>7} {'max':>5} {'mean':>6} {'exact':>6} {'unmatched':>9} {'missed':>6}")
        for key in ("sunrise", "sunset", "moonrise", "moonset"):
            diffs, unmatched = compare(mine[key], ref[key])
            absd = [abs(d) for d in diffs] or [0]
            print(f"  {key:9} {len(diffs):4d} {statistics.median(absd):7.1f} {max(absd):5d}"
                  f" {statistics.mean(diffs or [0]):+6.2f} {absd.count(0) / len(absd):6.0%} {unmatched:9d}"
                  f" {missed(mine[key], ref[key], first, last):6d}")
        per_day = sun_days(days, ref, samples)
        grazing = [d for d in per_day if d[5]]
        for what, shown, truth in (("rising", 1, 2), ("setting", 3, 4)):
            differ = [d for d in per_day if d[shown] != d[truth]]
            apart = [d for d in differ if not d[5]]
            print(f"  sun {what:8} shown on {sum(d[shown] for d in per_day)} days, PyEphem on "
                  f"{sum(d[truth] for d in per_day)}; they differ on {len(apart)} days"
                  f" (+{len(differ) - len(apart)} grazing)"
                  + "".join(f" {d[0]:%m-%d}{'+' if d[shown] else '-'}" for d in differ))
        print(f"  grazing days (extreme altitude within {GRAZING_DEG} deg of the horizon): {len(grazing)}")
    print("minutes: |shown - ephemeris rounded to the minute|; mean is signed (shown later > 0);")
    print("a day listed as MM-DD+ shows an event PyEphem does not have, MM-DD- lacks one it has")


if __name__ == "__main__":
    main()
