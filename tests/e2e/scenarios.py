#!/usr/bin/python3
"""End-to-end runs of the installed program on a private desktop.

Usage: scenarios.py SCENARIO --program BIN --data DIR --out DIR (screenshots and logs go to --out)
"""

import argparse
import hashlib
import json
import math
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import traceback
from collections import Counter
from datetime import datetime, timedelta, timezone
from pathlib import Path
from unittest import SkipTest
from zoneinfo import ZoneInfo

sys.dont_write_bytecode = True   # no __pycache__ in the source tree
from desktop import (CAPTION, Desktop, DesktopError, RunningProgram, checksums, city_zones, display_settings_bytes,
                     fields, fresh_dir, seed_workdir, wait_until, zone_table)

# seg.dat after a first start: colours unchanged, so the window and times are stored light grey, the names black.
FIRST_START_SETTINGS = [" 0", " 0", " 7", " 7", " 0", " 0", " 0", "", ""]
# After Colori > Fondo schermo > Blu on a first start.
BLUE_WINDOW_SETTINGS = [" 0", " 0", " 1", " 0", " 0", " 1", " 0", "", ""]
LOCK_FILE = ".vemar.lock"   # the program's lock on its settings directory
SETTINGS_FILES = [LOCK_FILE, "Parleg.dat", "car.tip", "casa.tz", "fusi.dat", "fusi.tz", "lxp2.par", "seg.dat"]
BLACK, NAVY, DARK_RED, LIGHT_GREY = (0, 0, 0), (0, 0, 128), (128, 0, 0), (192, 192, 192)
CHOOSE_BLUE_WINDOW = ("alt+c", "f", "Return")   # Colori > Fondo schermo > Blu, from the keyboard
BLUE_WINDOW_MENU = ("Colori", "Fondo schermo", "Blu")   # the same, through the accessibility tree


def seconds_of(progress):
    """The seconds of a year-progress text: "Inizio anno da: 4366 h  00'  01''"."""
    match = re.search(r"(-?\d+) h\s+(\d+)'\s+(\d+)''$", progress)
    if not match:
        raise DesktopError(f"not a year-progress text: {progress!r}")
    hours, minutes, seconds = map(int, match.groups())
    return hours * 3600 + minutes * 60 + seconds


class Scenario:
    """The installed program, its data and output folder; failed expectations collected, to report them all."""

    def __init__(self, args, out, desktop):
        self.program, self.data, self.out, self.desktop = Path(args.program), Path(args.data), out, desktop
        self.failures = []

    def equal(self, what, actual, expected):
        self.true(f"{what}: expected {expected!r}, got {actual!r}", actual == expected)

    def true(self, what, condition):
        if not condition:
            self.failures.append(what)

    def begin(self, when, shown, expected):
        """Each control's text begins with the one expected: the seconds run on."""
        for name, want in expected.items():
            self.true(f"{name} {when}: expected {want!r}..., got {shown[name]!r}", shown[name].startswith(want))

    def launch(self, workdir, clock, name, **how):
        return self.desktop.launch(self.program, workdir, clock, name=name, **how)

    def start(self, name, clock, extra=None, workdir=None, **how):
        """The program's window shown, in a folder seeded afresh (or workdir), its files kept for finish()."""
        workdir = workdir or seed_workdir(self.data, self.out / name, extra)
        before = checksums(workdir)
        run = self.launch(workdir, clock, name, **how).wait_for_window()
        run.workdir, run.before = workdir, before
        return run

    def new_user(self, name, clock, home, **how):
        """The program's window shown, started as a menu launcher starts it in `home` emptied first."""
        return self.launch(None, clock, name, home=fresh_dir(home), **how).wait_for_window()

    def closed(self, run, what=""):
        """Closed by the window manager: status 0, nothing reported."""
        self.equal(f"{what}exit status", run.close_by_window_manager().wait_exit(), 0)
        self.true(f"{what}nothing reported:\n{run.log()}", "vemar:" not in run.log())

    def finish(self, run, expected_settings, status=0, changed=()):
        """Waits for the end: status, seg.dat written, every file but `changed` (the caller's) as it was."""
        self.equal("exit status", run.wait_exit(), status)
        after = checksums(run.workdir)
        self.equal("files in the working directory", sorted(after), sorted(set(run.before) | {"seg.dat", LOCK_FILE}))
        for name, digest in run.before.items():
            if name not in ("seg.dat", LOCK_FILE, *changed):
                self.equal(f"{name} unchanged", after.get(name), digest)
        if "seg.dat" in after:
            self.equal("seg.dat", fields(run.workdir / "seg.dat"), expected_settings)
        log = run.log()
        self.true(f"no file error reported:\n{log}", "vemar:" not in log)


def first_start(s):
    """No seg.dat: the black scheme, page 1, the clock of Rome."""
    run = s.start("first-start", "2024-01-15 09:30:00")
    # In the morning the date pair is yesterday and today, and the day of the year one less.
    fixed = {"SSPanel7": "- Tabella 1 -   Fusi Orari", "SSCommand1": "Segnale Orario Disattivato", "Label1(0)": "Roma",
             "Label1(1)": "Londra", "SSPanel2": "Domenica  14 Gennaio 2024", "SSPanel3": "Lunedì  15 Gennaio 2024",
             "SSPanel8": "14° giorno dell'anno"}
    shown = run.texts(*fixed, "Label2(0)", "Label2(1)")
    for name, want in fixed.items():
        s.equal(name, shown[name], want)
    s.begin("(Rome's local time, London an hour behind)", shown, {"Label2(0)": "  9:30:0", "Label2(1)": "  8:30:0"})
    for path in (("File", "Tabella 1"), ("Colori", "Fondo Città", "Nero"), ("Colori", "Colori Originali")):
        s.true(f"{' > '.join(path)} is disabled", not run.menu_enabled(*path))
    shot = s.desktop.screenshot(s.out / "first-start.png")
    s.equal("window background", shot.pixel(*run.on_screen(60, 60)), BLACK)
    s.equal("city names background", shot.pixel(*run.on_screen(140, 610)), BLACK)
    s.finish(run.close_by_window_manager(), FIRST_START_SETTINGS)


def midnight_month_end(s):
    """From 23:59:48 on 30 June into 1 July: the row times wrap and Rome's marker moves to the second date; the
    date pair and the day of the year stay (in the morning it is yesterday and today), the year's hours run on."""
    settings = FIRST_START_SETTINGS[:7] + ["*", "°"]
    run = s.start("midnight", "2024-06-30 23:59:48", {"seg.dat": display_settings_bytes(settings)})
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
    names = [control for control, _, _ in expected] + ["Label2(31)"]
    evening = run.texts(*names)
    s.desktop.screenshot(s.out / "midnight-before.png")
    run.wait_for_text("Label2(0)", lambda t: t.startswith("  0:00:0"), 15, "Rome to reach midnight")
    night = run.texts(*names)
    s.desktop.screenshot(s.out / "midnight-after.png")
    s.begin("before midnight", evening, {control: before for control, before, _ in expected})
    s.begin("after midnight", night, {control: after for control, _, after in expected})
    # Whatever the second, the time since the year's start and to its end add up to 2024's 366 days.
    for when, shown in (("before", evening), ("after", night)):
        total = seconds_of(shown["Label2(30)"]) + seconds_of(shown["Label2(31)"])
        s.equal(f"year progress adds up {when} midnight ({shown['Label2(30)']}, {shown['Label2(31)']})",
                total, 366 * 86400)
    run.keys("alt+f", "e")
    s.finish(run, settings)


def noon_date_lines(s):
    """At noon of 1 July the date pair moves on from yesterday and today to today and tomorrow."""
    run = s.start("noon", "2024-07-01 11:59:50")
    morning = run.texts("SSPanel2", "SSPanel3")
    run.wait_for_text("SSPanel2", lambda t: t != morning["SSPanel2"], 15, "the date lines to move on")
    afternoon = run.texts("SSPanel2", "SSPanel3", "Label2(0)")
    s.desktop.screenshot(s.out / "noon-after.png")
    s.equal("the dates in the morning", morning, {"SSPanel2": "Domenica  30 Giugno 2024",
                                                        "SSPanel3": "Lunedì  1 Luglio 2024"})
    s.equal("the dates in the afternoon", (afternoon["SSPanel2"], afternoon["SSPanel3"]),
            ("Lunedì  1 Luglio 2024", "Martedì  2 Luglio 2024"))
    s.begin("(the change comes at noon)", afternoon, {"Label2(0)": "12:00:0"})
    s.finish(run.close_by_window_manager(), FIRST_START_SETTINGS)


def page2_saved_scheme(s):
    """Colours chosen from the keyboard, closed, restarted: the saved scheme drawn, its menu items disabled; a
    click on the page title shows page 2."""
    run = s.start("page2", "2024-03-10 10:00:00")
    run.keys(*CHOOSE_BLUE_WINDOW)
    run.keys("alt+c", "o", "Down", "Down", "Return")  # Fondo orari > Rosso scuro
    run.keys("alt+c", "c", "Return")                 # Fondo Città > Grigio Chiaro
    time.sleep(0.3)
    s.desktop.screenshot(s.out / "page2-scheme-chosen.png")
    run.close_by_window_manager()
    scheme = [" 0", " 0", " 1", " 4", " 7", " 1", " 0", "", ""]
    s.finish(run, scheme)
    saved = (run.workdir / "seg.dat").read_bytes()

    run = s.start("page2-restart", "2024-03-10 10:05:00", workdir=run.workdir)
    for path, enabled in [(("Colori", "Fondo schermo", "Blu"), False), (("File", "Tabella 1"), False),
                          (("Colori", "Fondo orari", "Rosso scuro"), False), (("Colori", "Colori Originali"), True),
                          (("Colori", "Fondo Città", "Grigio Chiaro"), False),
                          (("Colori", "Fondo Città", "Nero"), True)]:
        s.equal(f"{' > '.join(path)} enabled after restart", run.menu_enabled(*path), enabled)
    shot = s.desktop.screenshot(s.out / "page2-restart.png")
    backgrounds = [shot.pixel(*run.on_screen(*at)) for at in ((60, 60), (1790, 610), (140, 610))]
    s.equal("window, time and city backgrounds", backgrounds, [NAVY, DARK_RED, LIGHT_GREY])

    run.click("SSPanel7")
    run.wait_for_text("SSPanel7", lambda t: t == "- Tabella 2 -   Fusi Orari", 5, "page 2")
    shown = run.texts(*(f"Label1({k})" for k in range(27)))
    s.equal("page 2 cities", [shown[f"Label1({k})"] for k in range(27)],
            [row[0] for row in zone_table(run.workdir / "fusi.dat")[27:]])
    s.equal("Tabella 1 and 2 enabled on page 2", [run.menu_enabled("File", f"Tabella {k}") for k in (1, 2)],
            [True, False])
    s.desktop.screenshot(s.out / "page2.png")
    run.keys("alt+f", "e")
    s.finish(run, scheme)
    s.equal("seg.dat rewritten byte for byte", (run.workdir / "seg.dat").read_bytes(), saved)


# A new user's first start in January and July: lxp2.par's fields 1 to 5, 15, 17 and 18 (place, stored zone,
# hemisphere, half hour, automatic summer time), whether that month has a summer hour; every row shows the
# time Python's zoneinfo gives its city from the same tzdata.
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


def seconds_late(shown, expected):
    """How many seconds the time of day shown is behind the expected datetime, or infinity for no time."""
    match = re.match(r"^\s*(\d+):(\d+):(\d+)", shown)
    if not match:
        return math.inf
    h, m, sec = map(int, match.groups())
    return (h * 3600 + m * 60 + sec - (expected.hour * 3600 + expected.minute * 60 + expected.second)) % 86400


def real_times(s, run, settings, utc, what, tolerance_s):
    """Universal time and every row of page 1 within tolerance_s of the real ones at utc, zones from fusi.tz."""
    table, zones = zone_table(settings / "fusi.dat"), city_zones(settings / "fusi.tz")
    shown = run.texts("Label2(27)", *[f"Label2({k})" for k in range(27)])
    late = seconds_late(shown["Label2(27)"], utc)
    s.true(f"{what}: universal time {shown['Label2(27)']!r}, {late:.0f} s from {utc:%H:%M:%S}", late < tolerance_s)
    for k in range(27):
        name = table[k][0]
        real = utc.astimezone(ZoneInfo(zones[name]))
        late = seconds_late(shown[f"Label2({k})"], real)
        s.true(f"{what}: row {k} {name} ({zones[name]}) shows {shown[f'Label2({k})'].strip()!r}, "
               f"{late:.0f} s from {real:%H:%M:%S}", late < tolerance_s)


def new_user(key):
    zone, place, switches, summer = NEW_USERS[key]

    def scenario(s):
        data_before = checksums(s.data)
        for month in (1, 7):
            clock, home = f"2026-{month:02d}-15 10:30:00", s.out / f"{key}-{month:02d}" / "home"
            what = f"{zone} {clock}"
            run = s.new_user(f"{key}-{month:02d}", clock, home, tz=zone)
            settings = home / ".config" / "vemar"
            lxp2 = (settings / "lxp2.par").read_text().strip().split(",")
            s.equal(f"{what}: place and zone", ",".join(lxp2[0:5]), place)
            s.equal(f"{what}: hemisphere, half hour, automatic summer time",
                    ",".join([lxp2[14], lxp2[16], lxp2[17]]), switches)
            s.equal(f"{what}: summer hour stored", (lxp2[6], lxp2[15]), ("1", "0") if summer[month] else ("0", "1"))
            utc = datetime.strptime(clock, "%Y-%m-%d %H:%M:%S").replace(tzinfo=ZoneInfo(zone)).astimezone(timezone.utc)
            # The zone database is attached just after the window shows.
            run.wait_for_text("Label2(27)", lambda text: seconds_late(text, utc) < 60, 10, "universal time")
            s.equal(f"{what}: summer-time button", run.text("SSPanel5"),
                    "Ora Legale" if summer[month] else "Ora Solare")
            real_times(s, run, settings, utc, what, 60)
            markers = run.texts(*[f"Label3({k})" for k in range(27)])
            s.true(f"{what}: a date marker on every row from the first start: {sorted(set(markers.values()))}",
                   set(markers.values()) <= {"*", "°"} and len(set(markers.values())) >= 1 and "" not in markers.values())
            s.desktop.screenshot(s.out / f"{key}-{month:02d}.png")
            s.closed(run, what + ": ")
            s.equal(f"{what}: settings folder", sorted(p.name for p in settings.iterdir()), SETTINGS_FILES)
            s.equal(f"{what}: the zone the home follows", (settings / "casa.tz").read_text(), zone + "\n")
            s.equal(f"{what}: nothing else in the home", sorted(p.name for p in home.iterdir()), [".config"])
        s.equal("the installed data folder is never written", checksums(s.data), data_before)

    scenario.__name__ = f"new_user_{key}"
    return scenario


def travelling_laptop(s):
    """A new user's laptop moved from Rome to New York while the program runs (TZ unset, /etc/localtime a link
    in an overlay on /etc of its own): universal time and every row real before and after; within a minute
    the home, lxp2.par, Parleg.dat and casa.tz are New York's as a first start there writes them, nothing asked."""
    needs_mount_namespace()
    home = s.out / "home"
    for folder in ("etc-upper", "etc-work"):
        (s.out / folder).mkdir(parents=True, exist_ok=True)
    zoneinfo = Path("/usr/share/zoneinfo")
    overlay = (f"mount -t overlay overlay -o lowerdir=/etc,upperdir={s.out}/etc-upper,workdir={s.out}/etc-work /etc"
               f" && ln -sfn {zoneinfo}/Europe/Rome /etc/localtime && exec \"$@\"")
    clock = "2026-10-31 20:59:40"   # Rome; New York has still a day of summer time before it
    run = s.new_user("laptop", clock, home, tz=None, wrap=("unshare", "-m", "--propagation", "private", "sh", "-c",
                                                         overlay, "sh"))
    settings = home / ".config" / "vemar"
    start = datetime.strptime(clock, "%Y-%m-%d %H:%M:%S").replace(tzinfo=ZoneInfo("Europe/Rome"))
    started = time.monotonic()

    def now():
        return start.astimezone(timezone.utc) + timedelta(seconds=time.monotonic() - started)

    run.wait_for_text("Label2(27)", lambda text: text.startswith("19:59"), 10, "universal time in Rome")
    real_times(s, run, settings, now(), "in Rome", 5)
    s.equal("the home follows Rome", (settings / "casa.tz").read_text(), "Europe/Rome\n")
    subprocess.run(["nsenter", "-t", str(run.process.pid), "-m", "ln", "-sfn", f"{zoneinfo}/America/New_York",
                    "/etc/localtime"], check=True)
    # The platform reads the zone again at the next minute.
    wait_until("the home to follow New York", lambda: (settings / "casa.tz").read_text() == "America/New_York\n", 70)
    time.sleep(1)   # the window shows it from the same tick
    real_times(s, run, settings, now(), "in New York", 5)
    s.desktop.screenshot(s.out / "new-york.png")
    s.closed(run, "nothing asked: ")
    new_york = s.out / "first-start-America-New_York" / "home"
    s.closed(s.new_user("first-start", "2026-10-31 16:00:30", new_york, tz="America/New_York"), "first start: ")
    for name in ("lxp2.par", "Parleg.dat"):
        s.equal(f"{name} as a first start in New York writes it", (settings / name).read_text(),
                (new_york / ".config" / "vemar" / name).read_text())


def build_tree_first_start(s):
    """build/bin/vemar (--program) as a new user, XDG_CONFIG_HOME in the home: the first start seeds the
    settings from the build tree's share/vemar, which holds what data/ (--data) holds."""
    shipped, home = s.program.parent.parent / "share" / "vemar", s.out / "home"
    s.equal("the build tree's share/vemar", checksums(shipped) if shipped.is_dir() else {}, checksums(s.data))
    run = s.new_user("build-tree", "2026-01-15 10:30:00", home, config=home / "config")
    s.desktop.screenshot(s.out / "build-tree.png")
    s.closed(run)
    settings = home / "config" / "vemar"
    s.equal("settings folder", sorted(p.name for p in settings.iterdir()), SETTINGS_FILES)
    s.equal("fusi.dat seeded", (settings / "fusi.dat").read_bytes(), (s.data / "fusi.dat").read_bytes())


def end_on_signals(s):
    """SIGTERM, SIGHUP and SIGINT end the program as its close box would, every question answered No: seg.dat
    holds the colour, lxp2.par stays though the hemisphere changed, an open zone editor commits its staged save."""
    for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        run = s.start(f"signal-{number.name}", "2024-03-10 10:00:00")
        run.keys(*CHOOSE_BLUE_WINDOW)
        if number == signal.SIGTERM:
            run.click("Option2")                         # Sud: shut-down would ask
        if number == signal.SIGHUP:
            run.menu_item("File", "Modifica Tabelle", "Tabella Fusi").get_action_iface().do_action(0)
            run.keys("ctrl+a", "5", into="Tabella Fusi")  # Rome's offset
            run.press("Tabella Fusi", "Salva")
            run.keys("ctrl+a", "6", into="Tabella Fusi")  # not saved: closing would ask
        time.sleep(0.3)
        run.process.send_signal(number)
        s.finish(run, BLUE_WINDOW_SETTINGS, changed=("fusi.dat",) if number == signal.SIGHUP else ())
        if number == signal.SIGHUP:
            s.equal("Rome's offset as staged and committed", fields(run.workdir / "fusi.dat")[2], "5")
            s.true("fusi.tmp renamed to fusi.dat", not (run.workdir / "fusi.tmp").exists())


def display_lost(s):
    """The X server goes away under the program (a logout): status 1, seg.dat holds the colour chosen."""
    run = s.start("display-lost", "2024-03-10 10:00:00")
    run.keys(*CHOOSE_BLUE_WINDOW)
    time.sleep(0.3)
    s.desktop.kill_display()
    s.finish(run, BLUE_WINDOW_SETTINGS, status=1)


def wayland_compositor_lost(s):
    """The same on Wayland, where Qt ends the program before code of its own runs: seg.dat must already hold the
    colour. A second start first answers as on X11 (weston has no xdg-activation: nothing is raised)."""
    s.desktop.start_compositor()
    run = s.start("wayland", "2024-03-10 10:00:00", wayland=True)
    run.menu_item(*BLUE_WINDOW_MENU).get_action_iface().do_action(0)
    wait_until("the blue window", lambda: not run.menu_enabled(*BLUE_WINDOW_MENU), 5)
    second = s.launch(run.workdir, "2024-03-10 10:00:05", "wayland-second", wayland=True)
    s.equal("second start's status", second.wait_exit(10), 0)
    s.desktop.compositor_screenshot(s.out / "wayland.png")
    s.desktop.compositor.kill()
    s.finish(run, BLUE_WINDOW_SETTINGS, status=1)


def second_instance(s):
    """A second start in the same directory brings the running window back and ends 0; when the running program
    cannot answer, it says so and ends 1. The first program's changes are saved as usual."""
    first = s.start("second-instance", "2024-03-10 10:00:00")
    first.keys(*CHOOSE_BLUE_WINDOW)
    s.desktop.tool("xdotool", "windowminimize", "--sync", first.window_id)
    wait_until("the window to leave the screen", lambda: not first.window_visible(), 5)

    second = s.launch(first.workdir, "2024-03-10 10:00:05", "second")
    s.equal("second start's status", second.wait_exit(10), 0)
    s.equal("second start's messages", second.log(), "")
    wait_until("the first window to come back", first.window_visible, 5)

    first.process.send_signal(signal.SIGSTOP)   # holds the lock, answers nothing
    try:
        third = s.launch(first.workdir, "2024-03-10 10:00:10", "third")
        s.equal("start beside a program that does not answer", third.wait_exit(15), 1)
        s.true(f"the third start says why: {third.log()!r}", "non risponde" in third.log())
    finally:
        first.process.send_signal(signal.SIGCONT)
    s.finish(first.close_by_window_manager(), BLUE_WINDOW_SETTINGS)


def killed_early(s):
    """SIGTERM 40 ms to 1.5 s after the start, VEMAR_START_KILLS times in one folder: every run ends 0, every
    file as a clean close leaves it. The delays' seed is printed; VEMAR_START_KILLS_SEED replays them."""
    cycles = int(os.environ.get("VEMAR_START_KILLS", "50"))
    settings = [" 1", "-1", " 1", " 4", " 7", " 1", " 0", "*", "°"]   # signal on, a saved scheme
    # What a clean close leaves, to compare every killed run with.
    run = s.start("killed-early", "2024-03-10 10:00:00", {"seg.dat": display_settings_bytes(settings)})
    s.finish(run.close_by_window_manager(), settings)
    workdir = run.workdir
    clean = {p.name: p.read_bytes() for p in workdir.iterdir()}
    seed = int(os.environ.get("VEMAR_START_KILLS_SEED", time.time_ns() % 100000))
    rng = random.Random(seed)
    endings, failed, record = Counter(), [], []   # record: one line a cycle, the delay in ms and how it ended
    for cycle in range(cycles):
        delay = rng.uniform(0.04, 1.5)
        run = s.launch(workdir, "2024-03-10 10:00:00", "killed")
        time.sleep(delay)
        run.process.send_signal(signal.SIGTERM)
        try:
            ending = run.wait_exit(15)
            ending = signal.Signals(-ending).name if ending < 0 else ending
        except DesktopError as e:
            ending = str(e)
        endings[ending] += 1
        record.append(f"{delay * 1000:.0f} {ending}\n")
        after = {p.name: p.read_bytes() for p in workdir.iterdir()}
        wrong = [f"exit status {ending!r}"] if ending != 0 else []
        wrong += [f"said {run.log()!r}"] if "vemar:" in run.log() else []
        wrong += [f"files {sorted(after)}"] if sorted(after) != sorted(clean) else []
        wrong += [f"{name} of {len(content)} bytes" for name, content in after.items()
                  if name in clean and content != clean[name]]
        if wrong:
            failed.append(f"cycle {cycle + 1}, SIGTERM after {delay * 1000:.0f} ms: {', '.join(wrong)}")
            shutil.copy(run.log_path, s.out / f"killed-{cycle + 1}.log")
            fresh_dir(workdir)   # the next start meets the settings as they were
            for name, content in clean.items():
                (workdir / name).write_bytes(content)
    (s.out / "cycles.txt").write_text("".join(record))
    summary = ", ".join(f"{count} x {ending!r}" for ending, count in sorted(endings.items(), key=str))
    print(f"{cycles} starts ended by SIGTERM (seed {seed}): {summary}; {len(failed)} failed")
    s.failures += failed[:10] + ([f"... and {len(failed) - 10} more failed cycles"] if len(failed) > 10 else [])


def launch_as(s, name, argv, cwd, env=(), drop=(), user=None):
    """The program with exactly these arguments, in cwd, in the desktop's environment with env added and the
    names in drop removed; as another user (a uid) through setpriv."""
    env = {k: v for k, v in {**s.desktop.env, "QT_QPA_PLATFORM": "xcb", **dict(env)}.items() if k not in drop}
    if user is not None:
        argv = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--", *argv]
    return RunningProgram(s.desktop, s.desktop._spawn(name, [str(a) for a in argv], env=env, cwd=cwd), s.out / f"{name}.log")


def ended_at_its_box(s, run, ending):
    """Waits for the program's message box, ends it by Return (its OK) or a signal; the exit status."""
    boxes = wait_until("the message box", lambda: run.process.poll() is not None or run.x_windows(CAPTION), 15)
    if ending == "Return" and boxes is not True:
        run.keys("Return", into=CAPTION)
    elif boxes is not True:
        run.process.send_signal(ending)
    return run.wait_exit(10)


def start_errors(s):
    """A start that cannot go on (a settings file damaged or missing, a folder that cannot be one) says why on
    the standard error and in a box, and ends with status 1 at the box's OK or at an end signal while it is
    shown; it writes nothing but its lock, and the current directory, which holds settings, is never used
    instead. A folder whose name is no UTF-8 is that folder, not another one of a similar name."""
    here, deep = seed_workdir(s.data, s.out / "current"), str(s.out) + "/d" * 3000
    (s.out / "a-file").write_text("x")
    cases = [  # what, arguments after the program (None: --dir a seeded folder), environment, files, ending, said
        ("damaged lxp2.par", None, {}, {"lxp2.par": b"41,54\r\n"}, signal.SIGTERM, "lxp2.par: "),
        ("damaged fusi.dat", None, {}, {"fusi.dat": b'"Kh"\r\n'}, signal.SIGHUP, "fusi.dat: "),
        ("damaged Parleg.dat", None, {}, {"Parleg.dat": b"2,4\r\n"}, "Return", "Parleg.dat: "),
        ("seg.dat a folder", None, {}, {"seg.dat": "dir"}, signal.SIGINT, "seg.dat: non è un file regolare"),
        ("--dir a file", ["--dir", s.out / "a-file"], {}, {}, "Return", "non è una cartella"),
        ("--dir a name of 256 bytes", ["--dir", s.out / ("n" * 256)], {}, {}, signal.SIGTERM, "nome troppo lungo"),
        ("--dir a path over 4 KiB", ["--dir", deep], {}, {}, "Return", "nome troppo lungo"),
        ("XDG_CONFIG_HOME a file", [], {"XDG_CONFIG_HOME": s.out / "a-file"}, {}, signal.SIGHUP, "non è una cartella"),
    ]
    for number, (what, args, env, files, ending, said) in enumerate(cases):
        workdir = seed_workdir(s.data, s.out / f"case-{number}")
        for name, content in files.items():
            (workdir / name).unlink(missing_ok=True)
            (workdir / name).mkdir() if content == "dir" else content and (workdir / name).write_bytes(content)
        before, current = checksums(workdir) | {LOCK_FILE: hashlib.sha256().hexdigest()}, checksums(here)
        run = launch_as(s, f"case-{number}", [s.program, *(["--dir", workdir] if args is None else args)], here, env)
        s.equal(f"{what}: exit status", ended_at_its_box(s, run, ending), 1)
        s.true(f"{what}: says {said!r}:\n{run.log()}", said in run.log())
        s.equal(f"{what}: its files", checksums(workdir), before if args is None else checksums(workdir))
        s.equal(f"{what}: the current directory", checksums(here), current)
    s.true("no folder made on the way", not {"n" * 256, "d"} & set(os.listdir(s.out)))
    parent = fresh_dir(s.out / "not-utf8")
    run = s.start("not-utf8", "2024-03-10 10:00:00", workdir=seed_workdir(s.data, parent / os.fsdecode(b"caf\xe9")))
    s.finish(run.close_by_window_manager(), FIRST_START_SETTINGS)
    s.equal("the folders beside it", os.listdir(parent), [os.fsdecode(b"caf\xe9")])


def plant(path):
    """A listening socket of root's at path, open to all, as another user may leave one."""
    listener = socket.socket(socket.AF_UNIX)
    listener.bind(str(path))
    listener.listen()
    listener.setblocking(False)
    os.chmod(path, 0o777)
    return listener


def called(listener):
    try:
        listener.accept()[0].close()
        return True
    except BlockingIOError:
        return False


def other_user(s):
    """Another user (root; the program runs as nobody) cannot turn the single instance off nor answer for it: a
    lock root left still locks, one nobody cannot read stops the start; sockets planted in the temporary folder
    or a private folder another user made first are never reached. HOME relative: the password database's home."""
    if os.geteuid() != 0 or not shutil.which("setpriv"):
        raise SkipTest("needs root and setpriv, to run the program as the user nobody")
    base, nobody = Path(tempfile.mkdtemp(prefix="vemar-other-user-")), 65534
    try:
        base.chmod(0o755)
        shutil.copytree(Path(s.program).parents[1], base / "prefix", symlinks=True)   # nobody may not read --out
        program, tmp, workdir = base / "prefix/bin/vemar", base / "tmp", seed_workdir(s.data, base / "work")
        for folder, mode in ((tmp, 0o1777), (base / "run", 0o700), (base / "home", 0o700)):
            folder.mkdir(mode=mode)
            folder.chmod(mode)
            os.chown(folder, nobody if folder != tmp else 0, nobody if folder != tmp else 0)
        for path in (workdir, *workdir.iterdir()):
            os.chown(path, nobody, nobody)
        (workdir / LOCK_FILE).touch(0o644)   # root's
        name = "vemar-" + hashlib.sha256(os.path.realpath(workdir).encode()).hexdigest()[:32]
        (tmp / f"vemar-{nobody}").mkdir(0o755)   # root's, in the place of nobody's private folder
        planted = [plant(tmp / name), plant(tmp / f"vemar-{nobody}" / name)]
        env, drop = {"TMPDIR": tmp, "XDG_RUNTIME_DIR": base / "run", "HOME": base / "home"}, ("DBUS_SESSION_BUS_ADDRESS",)
        for runtime, status in ((True, 0), (False, 1)):
            start = lambda name: launch_as(s, name, [program, "--dir", workdir], workdir, env,
                                           drop + (() if runtime else ("XDG_RUNTIME_DIR",)), nobody)
            first = start(f"first-{runtime}")
            first.window_id = wait_until("the first window", lambda: first.x_windows(CAPTION), 15)[0]
            time.sleep(3)   # the start-up picture closes
            s.desktop.tool("xdotool", "windowminimize", "--sync", first.window_id)
            second = start(f"second-{runtime}")
            s.equal(f"second start, runtime folder {runtime}", second.wait_exit(15), status)
            if runtime:
                wait_until("the first window to come back", first.window_visible, 5)
            s.true(f"why the second start ended:\n{second.log()}", runtime or "non risponde" in second.log())
            s.true(f"the first start's socket:\n{first.log()}", ("non riservata" in first.log()) != runtime)
            s.equal("first start's status", first.close_by_window_manager().wait_exit(), 0)
        s.equal("calls to the other user's sockets", [called(p) for p in planted], [False, False])
        (workdir / LOCK_FILE).chmod(0o600)   # one nobody cannot even read: no start, rather than two
        run = launch_as(s, "unreadable-lock", [program, "--dir", workdir], workdir, env, drop, nobody)
        s.equal("unreadable lock: exit status", ended_at_its_box(s, run, "Return"), 1)
        s.true(f"unreadable lock: why\n{run.log()}", ".vemar.lock: permesso negato" in run.log())
        before = checksums(workdir)
        run = launch_as(s, "relative-home", [program], workdir, {"HOME": "relative", "TMPDIR": tmp},
                        drop + ("XDG_RUNTIME_DIR",), nobody)
        s.equal("HOME relative: exit status", ended_at_its_box(s, run, signal.SIGTERM), 1)
        s.true(f"HOME relative: nobody's home\n{run.log()}", "/nonexistent/.config/vemar" in run.log())
        s.equal("HOME relative: the current directory", checksums(workdir), before)
    finally:
        shutil.rmtree(base, ignore_errors=True)


def needs_mount_namespace():
    """Skips where no mount namespace can be made: it needs root, as CI is."""
    if subprocess.run(["unshare", "-m", "true"], capture_output=True).returncode != 0:
        raise SkipTest("no mount namespace can be made here")


def in_mount_namespace(s, script):
    """`sh -c script` (the snapshot tool's run) in a mount namespace of its own, in Rome; its status checked."""
    needs_mount_namespace()
    run = subprocess.run(["unshare", "-m", "sh", "-c", script], capture_output=True, text=True,
                         env={"TZ": "Europe/Rome", "QT_QPA_PLATFORM": "offscreen", "PATH": "/usr/bin:/bin"})
    s.equal(f"status ({run.stderr})", run.returncode, 0)
    return run


def full_disk(s):
    """Salva in "Tabella Fusi" on a full 64 KiB file system (vemar-snapshot, --program, over the source data): the
    editor stays open with the edit and says why; closing it with Yes fails alike; every file stays as it was."""
    disk, out = s.out / "disk", s.out
    disk.mkdir(exist_ok=True)
    edit = " ".join(f"--do '{a}'" for a in ("click:Form1.Tabfu", "type:Form5.Text2(0)=Rome", "click:Form5.SSCommand1",
                                             "answer:yes", "close:Form5"))
    script = (f"mount -t tmpfs -o size=64k tmpfs '{disk}' && cd '{s.data}' && cp fusi.dat Parleg.dat lxp2.par car.tip "
              f"'{disk}' && cd '{disk}' && {{ cat /dev/zero > filler 2>/dev/null; sha256sum * > '{out}/before'; }} && "
              f"'{s.program}' --dir . --at 2026-06-01T12:00:00 --ticks 3 {edit} --json '{out}/window.json' && "
              f"rm -f .vemar.lock && sha256sum * > '{out}/after'")
    run = in_mount_namespace(s, script)
    window = json.loads((out / "window.json").read_text()) if not run.returncode else {"effects": [], "controls": {}}
    full = ": spazio esaurito sul disco\n\n"
    s.equal("what the user is told", [(e["kind"], e.get("text", "").split(full)[0]) for e in window["effects"]],
            [("saveFailed", "Impossibile salvare fusi.dat: copia provvisoria fusi.tmp, scrittura non riuscita"),
             ("question", "Salvare i cambiamenti effettuati?"),
             ("saveFailed", "Impossibile salvare fusi.dat: scrittura non riuscita")])
    s.equal("the editor, open with the edit", window["controls"].get("Form5.Text2(0)", {}).get("caption"), "Rome")
    s.equal("the files", (out / "after").read_text() if not run.returncode else "", (out / "before").read_text())


def without_tzdata(s):
    """vemar-snapshot (--program) in database mode with the zone database hidden: one line on the standard error
    says why, status 0, every row on its class."""
    workdir = seed_workdir(s.data, s.out / "dir", {"fusi.tz": (s.data / "fusi.tz").read_bytes()})
    (s.out / "empty").mkdir(exist_ok=True)
    script = (f"mount --bind '{s.out}/empty' /usr/share/zoneinfo && exec '{s.program}' --dir '{workdir}' "
              f"--at 2026-06-01T12:00:00 --ticks 3 --json '{s.out}/window.json'")
    run = in_mount_namespace(s, script)
    s.equal("standard error", [line for line in run.stderr.splitlines() if line.startswith("vemar")],
            ["vemar: fusi.tz: nessun database dei fusi orari (pacchetto tzdata): nessun fuso in "
             "/usr/share/zoneinfo; ogni città segue la sua classe"])
    rome = json.loads((s.out / "window.json").read_text())["controls"]["Form1.Label2(0)"] if not run.returncode else {}
    s.equal("Roma on its class", (rome.get("caption"), rome.get("tooltip")), ("12:00:00", " Roma +1h "))


SCENARIOS = {f.__name__: f for f in (first_start, midnight_month_end, noon_date_lines, page2_saved_scheme,
                                     build_tree_first_start, end_on_signals, display_lost, wayland_compositor_lost,
                                     second_instance, killed_early, without_tzdata, travelling_laptop, start_errors,
                                     other_user, full_disk,
                                     *(new_user(key) for key in NEW_USERS))}


def main(doc, scenarios, fresh=False):
    """Runs the scenario named on a private desktop, in its output folder (emptied first when fresh: a recording
    must not mix with an earlier run's); prints every failed expectation; the exit status, 77 for a skip."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("scenario", choices=sorted(scenarios))
    for option, meaning in (("--program", "the installed vemar"), ("--data", "the installed data files"),
                            ("--out", "working directories, recordings, screenshots and logs")):
        parser.add_argument(option, required=True, help=meaning)
    args = parser.parse_args()
    out = Path(args.out) / args.scenario
    if fresh:
        shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True, exist_ok=True)
    started, desktop = time.monotonic(), Desktop(out, other_users=args.scenario == "other_user")
    s = Scenario(args, out, desktop)
    try:
        desktop.start()
        scenarios[args.scenario](s)
    except DesktopError as e:
        s.failures.append(str(e))
    except SkipTest as e:
        print(f"SKIPPED: {e}")
        return 77
    except Exception:
        s.failures.append(traceback.format_exc())
    finally:
        desktop.stop()
    print(f"{args.scenario}: {time.monotonic() - started:.1f} s, output in {out}")
    for failure in s.failures:
        print("FAIL:", failure)
    return 1 if s.failures else 0


if __name__ == "__main__":
    sys.exit(main(__doc__, SCENARIOS))
