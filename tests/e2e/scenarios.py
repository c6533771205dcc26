#!/usr/bin/python3
"""End-to-end runs of the installed program on a private desktop.

Usage: scenarios.py SCENARIO --program BIN --data DIR --out DIR

Each scenario starts the real program in a fresh working directory seeded
from the installed data, with its clock fixed by libfaketime, reads its
window through the accessibility tree, takes screenshots into --out, closes
it the way a user does and checks its exit status and its files: seg.dat is
written, every other file is left as it was.
"""

import argparse
import os
import random
import shutil
import re
import signal
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True   # no __pycache__ in the source tree
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

from desktop import (SHIFT, Desktop, DesktopError, checksums, display_settings_bytes, quoted_fields,
                     read_display_settings, seed_workdir, wait_until, zone_names, zone_table)

# seg.dat after a first start: ColoursChanged is 0, so shut-down stores the
# window and the times light grey (7) and keeps the city names black (0).
FIRST_START_SETTINGS = [" 0", " 0", " 7", " 7", " 0", " 0", " 0", "", ""]
# After Colori > Fondo schermo > Blu on a first start.
BLUE_WINDOW_SETTINGS = [" 0", " 0", " 1", " 0", " 0", " 1", " 0", "", ""]
LOCK_FILE = ".vemar.lock"   # the program's lock on its settings directory
BLACK, NAVY, DARK_RED, LIGHT_GREY = (0, 0, 0), (0, 0, 128), (128, 0, 0), (192, 192, 192)


def seconds_of(progress):
    """The seconds of a year-progress text: "Inizio anno da: 4366 h  00'  01''"."""
    match = re.search(r"(-?\d+) h\s+(\d+)'\s+(\d+)''$", progress)
    if not match:
        raise DesktopError(f"not a year-progress text: {progress!r}")
    hours, minutes, seconds = map(int, match.groups())
    return hours * 3600 + minutes * 60 + seconds


class Check:
    """Collects failed expectations so that one run reports all of them."""

    def __init__(self):
        self.failures = []

    def equal(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def true(self, what, condition):
        if not condition:
            self.failures.append(what)


class Scenario:
    def __init__(self, args, desktop, check):
        self.program = Path(args.program)
        self.data = Path(args.data)
        self.out = Path(args.out)
        self.desktop = desktop
        self.check = check

    def workdir(self, name, extra=None):
        return seed_workdir(self.data, self.out / name, extra)

    def start(self, workdir, clock, name):
        before = checksums(workdir)
        run = self.desktop.launch(self.program, workdir, clock, name=name).wait_for_window()
        return run, before

    def finish(self, run, workdir, before, expected_settings, status=0, changed=()):
        """Waits for the end and checks status and files: seg.dat written,
        the files named in `changed` checked by the caller, every other file
        as it was."""
        self.check.equal("exit status", run.wait_exit(), status)
        after = checksums(workdir)
        self.check.equal("files in the working directory", sorted(after),
                         sorted(set(before) | {"seg.dat", LOCK_FILE}))
        for name, digest in before.items():
            if name not in ("seg.dat", LOCK_FILE, *changed):
                self.check.equal(f"{name} unchanged", after.get(name), digest)
        if "seg.dat" in after:
            self.check.equal("seg.dat", read_display_settings(workdir / "seg.dat"), expected_settings)
        log = run.log()
        self.check.true(f"no file error reported:\n{log}", "vemar:" not in log)


def first_start(s):
    """No seg.dat: the black scheme, page 1, the clock of Rome; closed through
    the window manager."""
    workdir = s.workdir("first-start")
    run, before = s.start(workdir, "2024-01-15 09:30:00", "first-start")
    shown = run.texts("SSPanel7", "SSCommand1", "Label1(0)", "Label2(0)", "Label1(1)", "Label2(1)",
                      "SSPanel2", "SSPanel3", "SSPanel8")
    s.check.equal("page title", shown["SSPanel7"], "- Tabella 1 -   Fusi Orari")
    s.check.equal("signal button", shown["SSCommand1"], "Segnale Orario Disattivato")
    s.check.equal("first city", shown["Label1(0)"], "Roma")
    s.check.true(f"Rome shows the local time, got {shown['Label2(0)']!r}", shown["Label2(0)"].startswith("  9:30:0"))
    s.check.equal("second city", shown["Label1(1)"], "Londra")
    s.check.true(f"London is an hour behind, got {shown['Label2(1)']!r}", shown["Label2(1)"].startswith("  8:30:0"))
    s.check.equal("first date (morning: yesterday)", shown["SSPanel2"], "Domenica  14 Gennaio 2024")
    s.check.equal("second date", shown["SSPanel3"], "Lunedì  15 Gennaio 2024")
    s.check.equal("day of the year (less one in the morning)", shown["SSPanel8"], "14° giorno dell'anno")
    s.check.true("Tabella 1 is disabled", not run.menu_enabled("File", "Tabella 1"))
    s.check.true("Nero is disabled", not run.menu_enabled("Colori", "Fondo Città", "Nero"))
    s.check.true("Colori Originali is disabled", not run.menu_enabled("Colori", "Colori Originali"))

    shot = s.desktop.screenshot(s.out / "first-start.png")
    s.check.equal("window background", run.client_pixel(shot, 60, 60), BLACK)
    s.check.equal("city names background", run.client_pixel(shot, 140, 610), BLACK)
    run.close_by_window_manager()
    s.finish(run, workdir, before, FIRST_START_SETTINGS)


def midnight_month_end(s):
    """Running from 23:59:48 on 30 June into 1 July: the row times wrap and
    Rome's marker moves to the second date, while the date pair and the day
    of the year stay (in the morning the pair is yesterday and today, and the
    day count is taken one day back), and the hours since the start of the
    year and to its end run on without a jump. Closed with File > Esci from
    the keyboard."""
    settings = FIRST_START_SETTINGS[:7] + ["*", "°"]
    workdir = s.workdir("midnight", {"seg.dat": display_settings_bytes(settings)})
    run, before = s.start(workdir, "2024-06-30 23:59:48", "midnight")
    names = ("Label2(0)", "Label3(0)", "Label3(9)", "SSPanel2", "SSPanel3", "SSPanel8", "SSPanel9",
             "Label2(30)", "Label2(31)")
    evening = run.texts(*names)
    s.desktop.screenshot(s.out / "midnight-before.png")
    run.wait_for_text("Label2(0)", lambda t: t.startswith("  0:00:0"), 15, "Rome to reach midnight")
    night = run.texts(*names)
    s.desktop.screenshot(s.out / "midnight-after.png")

    # Texts that begin with these, the seconds running on: universal time is
    # 21:59:4x or 5x before and 22:00:0x after, on day 182 of a leap year.
    expected = [  # control, before midnight, after midnight
        ("Label2(0)", "23:59:", "  0:00:0"),     # Rome
        ("Label3(0)", "*", "°"),                # Rome's time now belongs to the second date
        ("Label3(9)", "°", "°"),                # New Delhi was already in the next day
        ("SSPanel2", "Domenica  30 Giugno 2024", "Domenica  30 Giugno 2024"),
        ("SSPanel3", "Lunedì  1 Luglio 2024", "Lunedì  1 Luglio 2024"),
        ("SSPanel8", "182° giorno dell'anno", "182° giorno dell'anno"),
        ("SSPanel9", "184 giorni alla fine dell'anno", "184 giorni alla fine dell'anno"),
        ("Label2(30)", "Inizio anno da: 4365 h  59'  ", "Inizio anno da: 4366 h  00'  "),
    ]
    for control, before_midnight, after_midnight in expected:
        for when, shown, want in (("before", evening, before_midnight), ("after", night, after_midnight)):
            s.check.true(f"{control} {when} midnight: expected {want!r}..., got {shown[control]!r}",
                         shown[control].startswith(want))
    # Whatever the second, the time since the start of the year and the time
    # to its end add up to the 366 days of 2024.
    for when, shown in (("before", evening), ("after", night)):
        total = seconds_of(shown["Label2(30)"]) + seconds_of(shown["Label2(31)"])
        s.check.equal(f"year progress adds up {when} midnight ({shown['Label2(30)']}, {shown['Label2(31)']})",
                      total, 366 * 86400)
    run.keys("alt+f", "e")
    s.finish(run, workdir, before, settings)


def noon_date_lines(s):
    """At noon of 1 July (summer time) the morning ends: the date pair moves
    on from yesterday and today to today and tomorrow."""
    workdir = s.workdir("noon")
    run, before = s.start(workdir, "2024-07-01 11:59:50", "noon")
    morning = run.texts("SSPanel2", "SSPanel3")
    run.wait_for_text("SSPanel2", lambda t: t != morning["SSPanel2"], 15, "the date lines to move on")
    afternoon = run.texts("SSPanel2", "SSPanel3", "Label2(0)")
    s.desktop.screenshot(s.out / "noon-after.png")
    s.check.equal("first date in the morning", morning["SSPanel2"], "Domenica  30 Giugno 2024")
    s.check.equal("second date in the morning", morning["SSPanel3"], "Lunedì  1 Luglio 2024")
    s.check.equal("first date in the afternoon", afternoon["SSPanel2"], "Lunedì  1 Luglio 2024")
    s.check.equal("second date in the afternoon", afternoon["SSPanel3"], "Martedì  2 Luglio 2024")
    s.check.true(f"the change comes at noon, Rome shows {afternoon['Label2(0)']!r}",
                 afternoon["Label2(0)"].startswith("12:00:0"))
    run.close_by_window_manager()
    s.finish(run, workdir, before, FIRST_START_SETTINGS)


def page2_saved_scheme(s):
    """Choose colours from the keyboard, close, restart: the saved scheme is
    drawn and its menu items are disabled; a click on the page title shows
    page 2 of the table."""
    workdir = s.workdir("page2")
    run, before = s.start(workdir, "2024-03-10 10:00:00", "page2-first")
    run.keys("alt+c", "f", "Return")                 # Fondo schermo > Blu
    run.keys("alt+c", "o", "Down", "Down", "Return")  # Fondo orari > Rosso scuro
    run.keys("alt+c", "c", "Return")                 # Fondo Città > Grigio Chiaro
    time.sleep(0.3)
    s.desktop.screenshot(s.out / "page2-scheme-chosen.png")
    run.close_by_window_manager()
    scheme = [" 0", " 0", " 1", " 4", " 7", " 1", " 0", "", ""]
    s.finish(run, workdir, before, scheme)
    saved = (workdir / "seg.dat").read_bytes()

    run, before = s.start(workdir, "2024-03-10 10:05:00", "page2-restart")
    for path, enabled in [
        (("Colori", "Fondo schermo", "Blu"), False),
        (("Colori", "Fondo orari", "Rosso scuro"), False),
        (("Colori", "Fondo Città", "Grigio Chiaro"), False),
        (("Colori", "Fondo Città", "Nero"), True),
        (("Colori", "Colori Originali"), True),
        (("File", "Tabella 1"), False),
    ]:
        s.check.equal(f"{' > '.join(path)} enabled after restart", run.menu_enabled(*path), enabled)
    shot = s.desktop.screenshot(s.out / "page2-restart.png")
    s.check.equal("window background", run.client_pixel(shot, 60, 60), NAVY)
    s.check.equal("time background", run.client_pixel(shot, 1790, 610), DARK_RED)
    s.check.equal("city name background", run.client_pixel(shot, 140, 610), LIGHT_GREY)

    run.click("SSPanel7")
    run.wait_for_text("SSPanel7", lambda t: t == "- Tabella 2 -   Fusi Orari", 5, "page 2")
    names = zone_names(workdir / "fusi.dat")
    shown = run.texts(*(f"Label1({k})" for k in range(27)))
    s.check.equal("page 2 cities", [shown[f"Label1({k})"] for k in range(27)], names[27:])
    s.check.true("Tabella 2 is disabled on page 2", not run.menu_enabled("File", "Tabella 2"))
    s.check.true("Tabella 1 is enabled on page 2", run.menu_enabled("File", "Tabella 1"))
    s.desktop.screenshot(s.out / "page2.png")
    run.keys("alt+f", "e")
    s.finish(run, workdir, before, scheme)
    s.check.equal("seg.dat rewritten byte for byte", (workdir / "seg.dat").read_bytes(), saved)


# A new user's first start: an empty home, started as the menu launcher
# starts it, on a fixed January and July day. The seeded lxp2.par fields
# 1 to 5, 15, 17 and 18 (place, stored zone, hemisphere, half hour, automatic
# summer time), whether the zone's clock holds a summer hour then, and the
# rows: the first start copies fusi.tz, so every city shows the time the
# system's time-zone database gives it, as Python's zoneinfo reads it from
# the same tzdata.
NEW_USERS = {
    "sydney": ("Australia/Sydney", "-33,-52,-151,-13,-10", "2,0,1", {1: True, 7: False}),
    "new_york": ("America/New_York", "40,43,74,0,5", "1,0,1", {1: False, 7: True}),
    "us_eastern": ("US/Eastern", "40,43,74,0,5", "1,0,1", {1: False, 7: True}),
    "tokyo": ("Asia/Tokyo", "35,39,-139,-45,-9", "1,0,0", {1: False, 7: False}),
    "kolkata": ("Asia/Kolkata", "22,32,-88,-22,-5", "1,30,0", {1: False, 7: False}),
    "kathmandu": ("Asia/Kathmandu", "27,43,-85,-19,-6", "1,0,0", {1: False, 7: False}),
    "santiago": ("America/Santiago", "-33,-27,70,40,4", "2,0,1", {1: True, 7: False}),
    "rome": ("Europe/Rome", "41,54,-12,-29,-1", "1,0,1", {1: False, 7: True}),
}
ROW = re.compile(r"^\s*(\d+):(\d+):(\d+)")


def city_zones(path):
    """{name: zone} of fusi.tz, the first entry of each name."""
    zones = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if "\t" in line and not line.lstrip().startswith("#"):
            name, zone = (part.strip() for part in line.split("\t", 1))
            zones.setdefault(name, zone)
    return zones


def seconds_late(shown, expected):
    """How many seconds the time of day shown is behind the expected datetime
    (the clock runs on while the window is read), or None for no time."""
    match = ROW.match(shown)
    if not match:
        return None
    h, m, sec = map(int, match.groups())
    return (h * 3600 + m * 60 + sec - (expected.hour * 3600 + expected.minute * 60 + expected.second)) % 86400


def new_user(key):
    zone, place, switches, summer = NEW_USERS[key]

    def scenario(s):
        data_before = checksums(s.data)
        for month in (1, 7):
            clock = f"2026-{month:02d}-15 10:30:00"
            home = s.out / f"{key}-{month:02d}" / "home"
            shutil.rmtree(home, ignore_errors=True)   # a first start, whatever ran here before
            home.mkdir(parents=True)
            run = s.desktop.launch(s.program, None, clock, tz=zone, name=f"{key}-{month:02d}",
                                   home=home).wait_for_window()
            settings = home / ".config" / "vemar"
            fields = (settings / "lxp2.par").read_text().strip().split(",")
            what = f"{zone} {clock}"
            s.check.equal(f"{what}: place and zone", ",".join(fields[0:5]), place)
            s.check.equal(f"{what}: hemisphere, half hour, automatic summer time",
                          ",".join([fields[14], fields[16], fields[17]]), switches)
            s.check.equal(f"{what}: summer hour stored", (fields[6], fields[15]),
                          ("1", "0") if summer[month] else ("0", "1"))
            utc = datetime.strptime(clock, "%Y-%m-%d %H:%M:%S").replace(tzinfo=ZoneInfo(zone)).astimezone(timezone.utc)
            # The zone database is attached just after the window shows.
            def universal_time_shown(text):
                late = seconds_late(text, utc)
                return late is not None and late < 60
            run.wait_for_text("Label2(27)", universal_time_shown, 10, "universal time")
            s.check.equal(f"{what}: summer-time button", run.text("SSPanel5"),
                          "Ora Legale" if summer[month] else "Ora Solare")
            table, zones = zone_table(settings / "fusi.dat"), city_zones(settings / "fusi.tz")
            shown = run.texts("Label2(27)", *[f"Label2({k})" for k in range(27)])
            late = seconds_late(shown["Label2(27)"], utc)
            s.check.true(f"{what}: universal time {shown['Label2(27)']!r}, {late} s late", late is not None and late < 60)
            for k in range(27):
                name = table[k][0]
                real = utc.astimezone(ZoneInfo(zones[name]))
                late = seconds_late(shown[f"Label2({k})"], real)
                s.check.true(f"{what}: row {k} {name} ({zones[name]}) shows {shown[f'Label2({k})'].strip()!r}, "
                             f"{late} s from {real:%H:%M:%S}", late is not None and late < 60)
            s.desktop.screenshot(s.out / f"{key}-{month:02d}.png")
            run.close_by_window_manager()
            s.check.equal(f"{what}: exit status", run.wait_exit(), 0)
            s.check.equal(f"{what}: settings folder", sorted(p.name for p in settings.iterdir()),
                          [".vemar.lock", "Parleg.dat", "car.tip", "fusi.dat", "fusi.tz", "lxp2.par", "seg.dat"])
            s.check.equal(f"{what}: nothing else in the home", sorted(p.name for p in home.iterdir()), [".config"])
            log = run.log()
            s.check.true(f"{what}: nothing reported:\n{log}", "vemar:" not in log)
        s.check.equal("the installed data folder is never written", checksums(s.data), data_before)

    scenario.__name__ = f"new_user_{key}"
    return scenario


def rome_offset(path):
    """The offset of the first record of fusi.dat, unscrambled."""
    return bytes(b + SHIFT for b in quoted_fields(Path(path).read_bytes())[2]).decode("cp1252")


def end_on_signals(s):
    """SIGTERM, SIGHUP and SIGINT end the program as its close box would, with
    every question answered No and no box shown: seg.dat holds the colour
    chosen, lxp2.par stays as it was although the hemisphere changed, and an
    open zone editor is closed as its close box does, committing its staged
    save and dropping the edits made after it."""
    for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        name = signal.Signals(number).name
        workdir = s.workdir(f"signal-{name}")
        run, before = s.start(workdir, "2024-03-10 10:00:00", name)
        run.keys("alt+c", "f", "Return")                 # Fondo schermo > Blu
        changed = ()
        if number == signal.SIGTERM:
            run.click("Option2")                         # Sud: shut-down would ask
        if number == signal.SIGHUP:
            run.choose("File", "Modifica Tabelle", "Tabella Fusi")
            run.type_into("Tabella Fusi", "ctrl+a", "5")  # Rome's offset
            run.press("Tabella Fusi", "Salva")
            run.type_into("Tabella Fusi", "ctrl+a", "6")  # not saved: closing would ask
            changed = ("fusi.dat",)
        time.sleep(0.3)
        run.send(number)
        s.finish(run, workdir, before, BLUE_WINDOW_SETTINGS, changed=changed)
        if number == signal.SIGHUP:
            s.check.equal("Rome's offset as staged and committed", rome_offset(workdir / "fusi.dat"), "5")
            s.check.true("fusi.tmp renamed to fusi.dat", not (workdir / "fusi.tmp").exists())


def display_lost(s):
    """The X server goes away under the program (a logout does that): Qt ends
    the program with status 1, and seg.dat holds the colour chosen."""
    workdir = s.workdir("display-lost")
    run, before = s.start(workdir, "2024-03-10 10:00:00", "display-lost")
    run.keys("alt+c", "f", "Return")                     # Fondo schermo > Blu
    time.sleep(0.3)
    s.desktop.kill_display()
    s.finish(run, workdir, before, BLUE_WINDOW_SETTINGS, status=1)


def second_instance(s):
    """A second start in the same directory brings the running window back
    from the task bar and ends with status 0; when the running program
    cannot answer, the second start says so and ends with status 1. The
    first program's changes are then saved as usual."""
    workdir = s.workdir("second-instance")
    first, before = s.start(workdir, "2024-03-10 10:00:00", "first")
    first.keys("alt+c", "f", "Return")                   # Fondo schermo > Blu
    s.desktop.tool("xdotool", "windowminimize", "--sync", first.window_id)
    wait_until("the window to leave the screen", lambda: not first.window_visible(), 5)

    second = s.desktop.launch(s.program, workdir, "2024-03-10 10:00:05", name="second")
    s.check.equal("second start's status", second.wait_exit(10), 0)
    s.check.equal("second start's messages", second.log(), "")
    wait_until("the first window to come back", first.window_visible, 5)

    first.send(signal.SIGSTOP)                           # holds the lock, answers nothing
    try:
        third = s.desktop.launch(s.program, workdir, "2024-03-10 10:00:10", name="third")
        s.check.equal("start beside a program that does not answer", third.wait_exit(15), 1)
        s.check.true(f"the third start says why: {third.log()!r}", "non risponde" in third.log())
    finally:
        first.send(signal.SIGCONT)
    first.close_by_window_manager()
    s.finish(first, workdir, before, BLUE_WINDOW_SETTINGS)


def killed_early(s):
    """SIGTERM at a random moment from 40 ms to 1.5 s after the start, again
    and again in one settings folder (VEMAR_START_KILLS times, 50 unless
    set): before the window exists as well as after, every run ends with
    status 0, and every file keeps its content or, for seg.dat, what a clean
    close writes; nothing is left half-written or missing. The delays come
    from a seed printed at the end; VEMAR_START_KILLS_SEED replays them."""
    cycles = int(os.environ.get("VEMAR_START_KILLS", "50"))
    settings = [" 1", "-1", " 1", " 4", " 7", " 1", " 0", "*", "°"]   # signal on, a saved scheme
    workdir = s.workdir("killed-early", {"seg.dat": display_settings_bytes(settings)})
    # What a clean close leaves, to compare every killed run with.
    run, before = s.start(workdir, "2024-03-10 10:00:00", "clean-close")
    run.close_by_window_manager()
    s.finish(run, workdir, before, settings)
    clean = {p.name: p.read_bytes() for p in workdir.iterdir()}
    seed = int(os.environ.get("VEMAR_START_KILLS_SEED", time.time_ns() % 100000))
    rng = random.Random(seed)
    endings, failed = {}, []
    record = []   # one line a cycle: the delay in ms and how it ended
    for cycle in range(cycles):
        delay = rng.uniform(0.04, 1.5)
        run = s.desktop.launch(s.program, workdir, "2024-03-10 10:00:00", name="killed")
        time.sleep(delay)
        run.send(signal.SIGTERM)
        try:
            status = run.wait_exit(15)
        except DesktopError as e:
            status = str(e)
        ending = status if not isinstance(status, int) or status >= 0 else signal.Signals(-status).name
        endings[ending] = endings.get(ending, 0) + 1
        record.append(f"{delay * 1000:.0f} {ending}\n")
        after = {p.name: p.read_bytes() for p in workdir.iterdir()}
        wrong = [f"exit status {ending!r}"] if ending != 0 else []
        if "vemar:" in run.log():
            wrong.append(f"said {run.log()!r}")
        if sorted(after) != sorted(clean):
            wrong.append(f"files {sorted(after)}")
        wrong += [f"{name} of {len(content)} bytes" for name, content in after.items()
                  if name in clean and content != clean[name]]
        if wrong:
            failed.append(f"cycle {cycle + 1}, SIGTERM after {delay * 1000:.0f} ms: {', '.join(wrong)}")
            shutil.copy(run.log_path, s.out / f"killed-{cycle + 1}.stderr")
            # The next start meets the settings as they were.
            for name in set(after) - set(clean):
                (workdir / name).unlink()
            for name, content in clean.items():
                if after.get(name) != content:
                    (workdir / name).write_bytes(content)
    (s.out / "cycles.txt").write_text("".join(record))
    summary = ", ".join(f"{count} x {ending!r}" for ending, count in sorted(endings.items(), key=str))
    print(f"{cycles} starts ended by SIGTERM (seed {seed}): {summary}; {len(failed)} failed")
    s.check.failures += failed[:10]
    if len(failed) > 10:
        s.check.failures.append(f"... and {len(failed) - 10} more failed cycles")


SCENARIOS = {f.__name__: f for f in (first_start, midnight_month_end, noon_date_lines, page2_saved_scheme,
                                     end_on_signals, display_lost, second_instance, killed_early,
                                     *(new_user(key) for key in NEW_USERS))}


def scenario_args(doc, scenarios, fresh=False):
    """The command line every runner takes: a scenario, the installed program
    and data, and an output folder of the scenario's own (emptied first when
    fresh: a recording must not mix with an earlier run's)."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("scenario", choices=sorted(scenarios))
    parser.add_argument("--program", required=True, help="the installed vemar")
    parser.add_argument("--data", required=True, help="the installed data files")
    parser.add_argument("--out", required=True, help="working directories, recordings, screenshots and logs")
    args = parser.parse_args()
    args.out = str(Path(args.out) / args.scenario)
    if fresh:
        shutil.rmtree(args.out, ignore_errors=True)
    Path(args.out).mkdir(parents=True, exist_ok=True)
    return args


def main():
    args = scenario_args(__doc__, SCENARIOS)
    return run_on_desktop(args.scenario, args.out,
                          lambda desktop, check: SCENARIOS[args.scenario](Scenario(args, desktop, check)))


def run_on_desktop(name, out, body, skip=None, skip_reason=""):
    """Runs body(desktop, check) on a private desktop, then prints the time it
    took and every failed expectation; returns the exit status. An exception
    of the type `skip` means the test cannot run on this machine: status 77."""
    started = time.monotonic()
    check = Check()
    desktop = Desktop(out)
    try:
        desktop.start()
        body(desktop, check)
    except DesktopError as e:
        check.failures.append(str(e))
    except Exception as e:
        if skip is not None and isinstance(e, skip):
            print(f"SKIPPED: {skip_reason}{e}")
            return 77
        check.failures.append(traceback.format_exc())
    finally:
        desktop.stop()
    print(f"{name}: {time.monotonic() - started:.1f} s, output in {out}")
    for failure in check.failures:
        print("FAIL:", failure)
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
