#!/usr/bin/python3
"""How far the shown sun and moon times lie from an accurate ephemeris.

Runs the astro-table program for a year at two places and compares every
event with PyEphem (Debian package python3-ephem), printing the median and
the largest difference in minutes for sunrise, sunset, moonrise and moonset.

    tools/astro-accuracy.py [PATH-TO-astro-table] [YEAR]

Conventions, chosen to match what the program computes:
- Sun: its centre at -0:50 (34' refraction plus 16' radius) with refraction
  switched off in PyEphem (pressure 0), i.e. horizon -0:50 with use_center.
  That is the same event as the usual upper limb at -0:34.
- Moon: the program takes the geocentric centre at 0.7275 x parallax - 0:34.
  The matching apparent event is the topocentric upper limb at -0:34 with
  refraction switched off (pressure 0), which is how the comparison is done.
- Each shown time is a whole minute ("h:mm"); PyEphem's time is rounded to
  the nearest minute, so a difference of 0 means the same minute shown.
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


def ephem_minute(d):
    """PyEphem date to UT minutes since 1970, rounded to the nearest minute."""
    t = ephem.Date(d).datetime().replace(tzinfo=dt.timezone.utc)
    return round(t.timestamp() / 60)


def program_events(days):
    ev = {"sunrise": [], "sunset": [], "moonrise": [], "moonset": []}
    for date, zh, (first, last), moon in days:
        for key, text in (("sunrise", first), ("sunset", last)):
            if text != "-":
                h, m = map(int, text.split(":"))
                ev[key].append(shown_minute_ut(date, zh, h * 60 + m))
        for kind, hours in moon:
            key = {"R": "moonrise", "S": "moonset"}.get(kind)
            if key:
                ev[key].append(shown_minute_ut(date, zh, math.floor(hours * 60)))
    return ev


def ephem_events(lat, lon, year):
    obs = ephem.Observer()
    obs.lat, obs.lon = lat, lon
    obs.elevation = 0
    obs.pressure = 0  # refraction is in the horizons below, as in the program
    start = ephem.Date(dt.datetime(year - 1, 12, 30))
    end = ephem.Date(dt.datetime(year + 1, 1, 3))
    ev = {}
    for body, horizon, centre, rise_key, set_key in (
        (ephem.Sun(), "-0:50", True, "sunrise", "sunset"),
        (ephem.Moon(), "-0:34", False, "moonrise", "moonset"),
    ):
        obs.horizon = horizon
        for key, step in ((rise_key, obs.next_rising), (set_key, obs.next_setting)):
            times, obs.date = [], start
            while True:
                t = step(body, use_center=centre)
                if t > end:
                    break
                times.append(ephem_minute(t))
                obs.date = t + ephem.minute
            ev[key] = times
    return ev


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
    for name, stored, (lat, lon), zone, rule in PLACES:
        days = run_table(exe, year, stored, zone, rule)
        first = shown_minute_ut(days[0][0], days[0][1], 0)
        last = shown_minute_ut(days[-1][0], days[-1][1], 24 * 60)
        mine = program_events(days)
        ref = ephem_events(lat, lon, year)
        print(f"{name} {year} (zone {zone:+g}, summer time {rule.upper()})")
        print(f"  {'event':9} {'n':>4} {'median':>7} {'max':>5} {'mean':>6} {'exact':>6} {'unmatched':>9} {'missed':>6}")
        for key in ("sunrise", "sunset", "moonrise", "moonset"):
            diffs, unmatched = compare(mine[key], ref[key])
            absd = [abs(d) for d in diffs]
            print(f"  {key:9} {len(diffs):4d} {statistics.median(absd):7.1f} {max(absd):5d}"
                  f" {statistics.mean(diffs):+6.2f} {absd.count(0) / len(absd):6.0%} {unmatched:9d}"
                  f" {missed(mine[key], ref[key], first, last):6d}")
    print("minutes: |shown - ephemeris rounded to the minute|; mean is signed (shown later > 0)")


if __name__ == "__main__":
    main()
