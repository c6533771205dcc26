#!/usr/bin/python3
"""a11y-listener: stands in for a screen reader on the session bus of its
environment, for scripts/measure-cpu. It switches accessibility on as Orca
does (org.a11y.Status: IsEnabled and ScreenReaderEnabled), listens to every
object, window and focus event of every program, as a reader that misses
nothing would, and writes to the file COUNTS, one line each, how many events
each process sent it so far, at each SIGUSR1 and at SIGTERM, which ends it:

    PID EVENTS

Usage: a11y-listener.py COUNTS
"""

import signal
import sys
from collections import Counter

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

counts = Counter()


def heard(event):
    try:
        counts[event.source.get_process_id()] += 1
    except GLib.Error:   # the source went away
        counts[0] += 1


def write(*_):
    with open(sys.argv[1], "w") as out:
        out.writelines(f"{pid} {n}\n" for pid, n in counts.items())
    return True


def stop(*_):
    write()
    Atspi.event_quit()


bus = Gio.bus_get_sync(Gio.BusType.SESSION)
for switch in ("IsEnabled", "ScreenReaderEnabled"):
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", switch, GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1)
listener = Atspi.EventListener.new(heard)
for kind in ("object:", "window:", "focus:"):
    listener.register(kind)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, write)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, stop)
print("listening", flush=True)
Atspi.event_main()
