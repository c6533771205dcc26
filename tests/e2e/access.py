#!/usr/bin/python3
"""The installed program (summer time by hand) read as a screen reader reads it, worked with keys alone.

Usage: access.py SCENARIO --program BIN --data DIR --out DIR
"""

import re
import sys
import time

sys.dont_write_bytecode = True   # no __pycache__ in the source tree
from desktop import CAPTION, Atspi, GLib, children, descendants, wait_until
from scenarios import main

S = Atspi.StateType
SILENT_ROLES = {"filler", "panel", "separator", "menu bar", "popup menu"}   # containers and bare frames
TABLE, UP, DOWN = "- Tabella {} -   Fusi Orari", "Aumenta il fuso orario di un'ora", "Diminuisci il fuso orario di un'ora"
PLACE = ["Latitudine gradi", "Latitudine minuti", "Longitudine gradi", "Longitudine minuti"]
LISTS = [f"{what} di {when}" for when in ("inizio", "fine") for what in ("Mese", "Settimana", "Giorno")]
CHARS = ["Carattere della prima data", "Carattere della seconda data"]
ROW = re.compile(r"\d{1,2}:\d\d, \w+  \d{1,2} \w+ \d{4}")   # "22:00, Venerdì  21 Giugno 2024"
# Each dialog: its caption, the mnemonics that open it, roles, and Tab's stops (None: an editor's).
DIALOGS = [
    ("Parametri", ("alt+f", "p"), dict.fromkeys(PLACE, "text") | {"Si": "radio button", "No": "radio button"},
     [*PLACE, "No", "Abilita ora legale automatica", "Annulla", "OK"]),
    (" Ora legale (Emisfero Nord)", ("alt+f", "o"), dict.fromkeys(LISTS, "combo box"), [*LISTS, "Annulla", "Ok"]),
    ("Tabella Fusi", ("alt+f", "m", "f"), {}, None),
    ("Tabella Tipi", ("alt+f", "m", "t"), {}, None),
    ("Caratteri Per le Date", ("alt+f", "c"), dict.fromkeys(CHARS, "text"), [*CHARS, "Default", "Annulla"]),
    ("Informazioni", ("alt+i",), {"Immagine di Vemar: un orologio da parete": "image"}, ["OK"]),
    ("?", ("alt+question",), {"Descrizione del programma": "text"}, ["Descrizione del programma", "OK"]),
]


def label(node):
    return f"{node.get_role_name()} {node.get_name()!r}"


def has(node, *states):
    return all(node.get_state_set().contains(state) for state in states)


class Access:
    def __init__(self, s, run):
        self.s, self.run = s, run

    def key(self, *keys):   # at once, without the harness's pause for menus
        self.run.keys(*keys, pause_s=0)

    def until(self, what, probe):
        return wait_until(what, probe, 5, 0.01)

    def find(self, window, *names):
        """The first control of each name (a list comes before its open list, named alike)."""
        nodes = {}
        for node in descendants(window, ("menu bar",)):
            nodes.setdefault(node.get_name(), node)
        return [nodes[name] for name in names]

    def check(self, window, roles, stops):
        """Names and roles, then Tab from the first stop, which has the focus, through the others and back."""
        what = window.get_name()
        self.s.equal(f"{what!r}: controls without a name", [label(n) for n in descendants(window) if has(n, S.SHOWING)
                     and not n.get_name().strip() and n.get_role_name() not in SILENT_ROLES], [])
        self.s.equal(f"{what!r}: roles", {n.get_name(): n.get_role_name() for n in self.find(window, *roles)}, roles)
        # Every control that takes the focus is a stop, but an option not chosen and the entries of a list.
        self.s.equal(f"{what!r}: never reached by Tab", [label(n) for n in descendants(window, ("menu bar", "list"))
                     if has(n, S.FOCUSABLE, S.ENABLED, S.SHOWING) and n not in stops
                     and not (n.get_role_name() == "radio button" and not has(n, S.CHECKED))], [])
        self.s.true(f"{what!r}: the focus starts on {label(stops[0])}", has(stops[0], S.FOCUSED))
        for stop in stops[1:] + stops[:1]:
            self.key("Tab")
            self.until(f"Tab to {label(stop)} in {what!r}", lambda: has(stop, S.FOCUSED))

    def shows(self, keys, control, text):
        self.key(*keys)
        self.run.wait_for_text(control, lambda shown: shown == text, 5, f"{control} to show {text!r}")


def names_sent(seconds):
    """The changes of name a listening reader hears in that many seconds of the clock running."""
    heard, kind = [], "object:property-change:accessible-name"
    listener = Atspi.EventListener.new(heard.append)
    listener.register(kind)
    for end in (time.monotonic() + 0.5, time.monotonic() + 0.5 + seconds):   # the program learns of the reader first
        heard.clear()
        while time.monotonic() < end:
            GLib.MainContext.default().iteration(False) or time.sleep(0.01)
    listener.deregister(kind)
    return len(heard)


def main_window(a, run):
    """No control without a name, a row read as one; the two switches work by Space and Enter and show their
    focus; Tab reaches every control in reading order (an option group is one stop, the arrows choose)."""
    # The texts that change every second are read when asked: none is sent, a message for each of 32 labels.
    a.s.equal("changes of name sent in 2.5 s", names_sent(2.5), 0)
    window, rows = run.window(CAPTION), run.controls()
    a.s.equal("rows not read as name, time and date",
              [d for d in (rows[f"Label1({k})"].get_description() for k in range(27)) if not ROW.fullmatch(d)], [])
    # The focus shows once the keyboard moves it: the pixels of the switch it lands on change.
    x, y = run.on_screen(4200, 4740)
    switch = (slice(y + 2, y + 23), slice(x + 2, x + 127))
    unfocused = a.s.desktop.screenshot().rgb[switch]
    summer, north, south = a.find(window, "Ora Legale", "Nord", "Sud")
    a.key("Tab")
    a.until("the summer-time switch's focus", lambda: has(summer, S.FOCUSED))
    a.s.true("the focus shown", (a.s.desktop.screenshot(a.s.out / "focus.png").rgb[switch] != unfocused).any())
    for keys, control, shown in ((["space"], "SSPanel5", "Ora Solare"), (["Return"], "SSPanel5", "Ora Legale"),
                                 (["shift+Tab", "space"], "SSPanel7", TABLE.format(2)),
                                 (["KP_Enter"], "SSPanel7", TABLE.format(1))):
        a.shows(keys, control, shown)
    a.check(window, {TABLE.format(1): "push button", "Ora Legale": "push button", "Nord": "radio button",
                     "Sud": "radio button", "Fuso orario in ore": "text", UP: "push button", DOWN: "push button"},
            a.find(window, TABLE.format(1), "Ora Legale", "Segnale Orario Disattivato", "Nord", "Fuso orario in ore",
                   UP, DOWN))
    a.key("Tab", "Tab", "Tab")
    for key, option in (("Down", south), ("Up", north)):
        a.key(key)
        a.until(f"{key} to choose {label(option)}", lambda: has(option, S.FOCUSED, S.CHECKED))


def editor_stops(a, window):
    """The value boxes row by row, then the name boxes, then Esci (Salva and Annulla are off at opening); a
    value box is named by the city in its row."""
    boxes = [n for n in children(window) if n.get_role_name() == "text"]
    value = "Fuso orario di " if window.get_name() == "Tabella Fusi" else "Tipo di "
    a.s.equal("name boxes", [n.get_name() for n in boxes[0::2]], [f"Città della riga {k}" for k in range(1, 55)])
    a.s.equal("value boxes", [n.get_name() for n in boxes[1::2]],
              [value + Atspi.Text.get_text(n, 0, -1).strip(" \t") for n in boxes[0::2]])
    return boxes[1::2] + boxes[0::2] + a.find(window, "Esci")


def dialogs(a, run):
    """Each dialog as the main window; the rule's lists open by Alt+Down."""
    for caption, keys, roles, stops in DIALOGS:
        run.keys(*keys)
        window = a.until(f"the window {caption!r}", lambda: run.window(caption))
        a.check(window, roles, editor_stops(a, window) if stops is None else a.find(window, *stops))
        if caption == DIALOGS[1][0]:   # the start's month has the focus again
            month, apply = a.find(window, LISTS[0], "Applica")
            chosen = month.get_description()
            a.key("alt+Down", "Down", "Return")
            a.until("a month chosen with keys", lambda: month.get_description() != chosen and has(apply, S.ENABLED))
            a.s.true("the rule dialog still open", run.window(caption) is not None)
        a.key("Escape")   # Annulla, or the close box: nothing is saved
        a.until(f"{caption!r} to close", lambda: run.window(caption) is None)


def menus(a, run):
    """The items that open no window, by their mnemonics, each checked by what it changes: a colour's turns off."""
    for key, control, shown in (("2", "SSPanel7", TABLE.format(2)), ("1", "SSPanel7", TABLE.format(1)),
                                ("s", "SSCommand1", "Segnale Orario attivato"), ("s", "SSCommand1", "Segnale Orario Disattivato")):
        run.keys("alt+f")
        a.shows([key], control, shown)
    colours = [("f", "Fondo schermo", (("b", "Blu"), ("v", "Verde scuro"), ("r", "Rosso scuro"), ("s", "Grigio Scuro"),
                                       ("g", "Grigio chiaro"))),
               ("o", "Fondo orari", (("b", "Blu"), ("v", "Verde Scuro"), ("r", "Rosso scuro"), ("g", "Grigio Chiaro"))),
               ("c", "Fondo Città", (("g", "Grigio Chiaro"), ("n", "Nero")))]   # the first start's cities: Nero
    steps = [(("alt+c", menu_key, key), ("Colori", menu, item), False) for menu_key, menu, items in colours
             for key, item in items]
    for keys, path, enabled in steps + [(("alt+c", "l"), ("Colori", "Annulla"), True),   # Colori Originali
                                        (("alt+c", "a"), ("Colori", "Annulla"), False),
                                        (("alt+c", "l"), ("Colori", "Colori Originali"), False)]:
        run.keys(*keys)
        a.until(f"{' > '.join(path)} enabled {enabled}", lambda: run.menu_enabled(*path) == enabled)


def keyboard_and_screen_reader(s):
    lxp2 = (s.data / "lxp2.par").read_bytes()
    run = s.start("keyboard", "2024-06-21 22:00:00", {"lxp2.par": lxp2[:lxp2.rindex(b",") + 1] + b"0\r\n"})
    a = Access(s, run)
    main_window(a, run)
    dialogs(a, run)
    menus(a, run)
    run.keys("alt+f", "e")
    # The standard scheme last; the switches, turned and back, wrote lxp2.par as it was.
    s.finish(run, [" 0", " 0", " 7", " 7", " 7", " 0", " 0", "", ""], changed=("lxp2.par",))


if __name__ == "__main__":
    sys.exit(main(__doc__, {f.__name__: f for f in (keyboard_and_screen_reader,)}, fresh=True))
