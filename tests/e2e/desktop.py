"""A private desktop for driving the real program as a user would.

One Desktop is a virtual X server (Xvfb) with a window manager (openbox), a
session bus and the accessibility bus. The program runs on it with its clock
set by libfaketime; the harness reads what the window shows through the
accessibility tree (the texts a screen reader would speak), types and clicks
through the X server, and takes screenshots of the whole screen.

Needs Debian's python3 (for gi), xvfb, openbox, wmctrl, xdotool, x11-apps
(xwd), dbus, at-spi2-core, gir1.2-atspi-2.0 and faketime.
"""

import glob
import hashlib
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib
from pathlib import Path

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi  # reads its buses from the environment on first use
except (ImportError, ValueError) as missing:
    raise SystemExit(f"the accessibility bindings are missing ({missing}): run scripts/install-deps "
                     "and use Debian's /usr/bin/python3") from missing

CAPTION = "Vemar 2.4"
# The thread-safe libfaketime: Qt runs threads of its own beside the UI thread.
FAKETIME_LIBRARIES = sorted(glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1"))
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SCREEN = (1280, 1024)
TWIPS_PER_PIXEL = 15

# Where each control the tests read sits in the main window's client area,
# in twips (left, top), as the window is laid out.
CONTROL_TWIPS = {
    "SSPanel7": (120, 120),
    "SSPanel2": (1080, 4740),
    "SSPanel3": (7370, 4740),
    "SSPanel5": (4200, 4740),
    "SSCommand1": (120, 5280),
    "SSPanel8": (2280, 6535),
    "SSPanel9": (5160, 6535),
    "Label2(27)": (1080, 5760),
    "Label2(30)": (120, 6900),
    "Label2(31)": (7005, 6900),
    "Option2": (8040 + 120, 5400 + 600),   # inside Frame2: for clicks only
}
_FIRST_TOPS = [598, 1053, 1521, 1989, 2457, 2925, 3393, 3861, 4329]
_OTHER_TOPS = [600, 1050, 1515, 1995, 2460, 2925, 3390, 3855, 4335]
_COLUMNS = [  # name, time and marker lefts of the three columns of the city grid
    ((117, 1755, 3042), _FIRST_TOPS),
    ((3495, 5250, 6525), _OTHER_TOPS),
    ((6980, 8630, 9890), _OTHER_TOPS),
]
for _k in range(27):
    (_lefts, _tops) = _COLUMNS[_k // 9]
    for _array, _left in zip(("Label1", "Label2", "Label3"), _lefts):
        CONTROL_TWIPS[f"{_array}({_k})"] = (_left, _tops[_k % 9])


class DesktopError(AssertionError):
    pass


def wait_until(what, probe, timeout_s, interval_s=0.05):
    """Polls probe() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout_s
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DesktopError(f"timed out after {timeout_s} s waiting for {what}")
        time.sleep(interval_s)


def checksums(directory):
    """{file name: sha256} of every file in a directory."""
    return {p.name: hashlib.sha256(p.read_bytes()).hexdigest()
            for p in sorted(Path(directory).iterdir()) if p.is_file()}


# ------------------------------------------------------------------ settings files

SHIFT = 7  # the program's per-character shift of seg.dat and fusi.dat


def quoted_fields(raw):
    """The quoted fields of a line of the program's files, as bytes."""
    fields, pos = [], 0
    while True:
        start = raw.find(b'"', pos)
        if start < 0:
            return fields
        end = raw.index(b'"', start + 1)
        fields.append(raw[start + 1:end])
        pos = end + 1


def read_display_settings(path):
    """The nine plain texts of seg.dat."""
    return [bytes(b + SHIFT for b in f).decode("cp1252")
            for f in quoted_fields(Path(path).read_bytes())]


def display_settings_bytes(plain):
    """seg.dat holding the nine plain texts."""
    scrambled = [bytes(b - SHIFT for b in t.encode("cp1252")) for t in plain]
    return b",".join(b'"' + s + b'"' for s in scrambled) + b"\r\n"


def zone_table(path):
    """The 54 rows of fusi.dat as (name, class, offset hours)."""
    fields = [bytes(b + SHIFT for b in f).decode("cp1252") for f in quoted_fields(Path(path).read_bytes())]
    return [(fields[i], fields[i + 1], int(fields[i + 2] or 0)) for i in range(0, 162, 3)]


def zone_names(path):
    """The 54 city names of fusi.dat, in file order."""
    fields = quoted_fields(Path(path).read_bytes())
    return [bytes(b + SHIFT for b in fields[i]).decode("cp1252") for i in range(0, 162, 3)]


# ------------------------------------------------------------------ screenshots

class Screenshot:
    """The whole screen as RGB pixels, read from xwd's dump of a true-colour screen."""

    def __init__(self, xwd_bytes):
        header = struct.unpack(">25I", xwd_bytes[:100])
        header_size, depth, width, height = header[0], header[3], header[4], header[5]
        byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
        masks, ncolours = header[14:17], header[19]
        if depth != 24 or bits_per_pixel not in (24, 32):
            raise DesktopError(f"unexpected screen format: depth {depth}, {bits_per_pixel} bits a pixel")
        self.width, self.height = width, height
        data = xwd_bytes[header_size + 12 * ncolours:]
        step = bits_per_pixel // 8
        order = "little" if byte_order == 0 else "big"
        # Where red, green and blue sit in a pixel's bytes as stored.
        offsets = []
        for mask in masks:
            shift = (mask & -mask).bit_length() - 1
            offsets.append(shift // 8 if order == "little" else step - 1 - shift // 8)
        self._rgb = bytearray(3 * width * height)
        for y in range(height):
            row = data[y * bytes_per_line:y * bytes_per_line + step * width]
            out = 3 * width * y
            for channel, offset in enumerate(offsets):
                self._rgb[out + channel:out + 3 * width:3] = row[offset::step]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self._rgb[i:i + 3])

    def save_png(self, path):
        stride = 3 * self.width
        rows = b"".join(b"\0" + bytes(self._rgb[y * stride:(y + 1) * stride]) for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))
        Path(path).write_bytes(png)


# ------------------------------------------------------------------ the desktop

class Desktop:
    """Xvfb, openbox, a session bus and the accessibility bus, torn down by stop()."""

    def __init__(self, scratch):
        self.scratch = Path(scratch)
        self._processes = []
        self._runtime = Path(tempfile.mkdtemp(prefix="xdg-", dir=self.scratch))
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("DBUS_", "AT_SPI", "QT_", "FAKETIME", "LD_PRELOAD", "WAYLAND", "PULSE"))}
        self.env.update(XDG_RUNTIME_DIR=str(self._runtime), HOME=str(self.scratch))
        # The program's sound library may not start a sound server of its own
        # behind the harness's back; a test that wants sound starts one.
        client_conf = self.scratch / "pulse-client.conf"
        client_conf.write_text("autospawn = no\n")
        self.env["PULSE_CLIENTCONFIG"] = str(client_conf)

    def start(self):
        self.env["DISPLAY"] = self._start_x()
        self._spawn("openbox", ["openbox", "--sm-disable"])
        wait_until("the window manager", lambda: self._quiet(["wmctrl", "-m"]) == 0, 10)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_session_bus()
        self._spawn("a11y bus", [BUS_LAUNCHER, "--launch-immediately"])
        # The harness reads the tree over the same buses as the program.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})
        return self

    def stop(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self._processes.clear()
        shutil.rmtree(self._runtime, ignore_errors=True)

    def kill_display(self):
        """Ends the X server at once, as a lost connection or a logout does."""
        xvfb = self._processes[0]
        xvfb.kill()
        xvfb.wait()

    def _spawn(self, name, argv, **kwargs):
        log = open(self.scratch / f"{name.replace(' ', '-')}.log", "wb")
        process = subprocess.Popen(argv, env=self.env, stdout=kwargs.pop("stdout", log),
                                   stderr=log, stdin=subprocess.DEVNULL, **kwargs)
        self._processes.append(process)
        return process

    def _start_x(self):
        """Starts Xvfb on the first free display; returns ":N"."""
        read_end, write_end = os.pipe()
        self._spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise DesktopError("Xvfb did not start")
        return ":" + number

    def _start_session_bus(self):
        process = self._spawn("session bus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                              stdout=subprocess.PIPE)
        address = process.stdout.readline().decode().strip()
        if not address:
            raise DesktopError("dbus-daemon did not start")
        return address

    def _quiet(self, argv):
        return subprocess.run(argv, env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode

    def tool(self, *argv):
        """Runs an X tool on this desktop; its standard output."""
        return subprocess.run(argv, env=self.env, check=True, capture_output=True, text=True).stdout

    def screenshot(self, png_path=None):
        shot = Screenshot(subprocess.run(["xwd", "-root", "-silent"], env=self.env, check=True,
                                         capture_output=True).stdout)
        if png_path:
            shot.save_png(png_path)
        return shot

    def launch(self, program, workdir, clock, tz="Europe/Rome", name="vemar", home=None):
        """Starts the program in workdir (--dir) with its clock running from
        `clock` ("2024-06-30 23:59:52", local time of tz), or shifted from the
        real clock by `clock` whole seconds (an int), so that its seconds turn
        when the real ones do. With `home`, it starts instead as a menu
        launcher starts it: in the home directory, working in its own
        settings folder there."""
        if not FAKETIME_LIBRARIES:
            raise DesktopError("libfaketime is missing: run scripts/install-deps")
        faketime = f"{clock:+d}s" if isinstance(clock, int) else "@" + clock
        env = dict(self.env, TZ=tz, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   LD_PRELOAD=FAKETIME_LIBRARIES[0], FAKETIME=faketime,
                   FAKETIME_DONT_FAKE_MONOTONIC="1", FAKETIME_NO_CACHE="1")
        argv = [str(program), "--dir", str(workdir)]
        if home is not None:
            env["HOME"] = str(home)
            env.pop("XDG_CONFIG_HOME", None)
            argv, workdir = [str(program)], home
        log = open(self.scratch / f"{name}.stderr", "wb")
        process = subprocess.Popen(argv, cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT)
        self._processes.append(process)   # stop() ends it should a check fail midway
        return RunningProgram(self, process, self.scratch / f"{name}.stderr")


# ------------------------------------------------------------------ the program

class RunningProgram:
    """The program on the desktop: its window's texts, menus, keys and clicks."""

    def __init__(self, desktop, process, log_path):
        self.desktop = desktop
        self.process = process
        self.log_path = log_path
        self.window_id = None
        self._frame = None

    # --- life

    def wait_for_window(self, timeout_s=15):
        """Waits for the main window to be shown and for the start-up picture to
        close, then gives the main window the keyboard focus."""
        self.window_id = wait_until(f'the window "{CAPTION}"', self._find_window_id, timeout_s)
        self._frame = wait_until("the window in the accessibility tree", self._find_frame, timeout_s)
        wait_until("the start-up picture to close", lambda: not self._other_windows_open(), timeout_s)
        self.desktop.tool("xdotool", "windowactivate", "--sync", self.window_id)
        return self

    def wait_exit(self, timeout_s=10):
        try:
            return self.process.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()
            raise DesktopError(f"the program did not end within {timeout_s} s")

    def log(self):
        return Path(self.log_path).read_text(errors="replace")

    def send(self, signal_number):
        self.process.send_signal(signal_number)

    def _visible_windows(self, caption):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{caption}$"],
                                env=self.desktop.env, capture_output=True, text=True)
        return result.stdout.split()

    def window_visible(self):
        return self.window_id in self._visible_windows(CAPTION)

    def _find_window_id(self):
        if self.process.poll() is not None:
            raise DesktopError(f"the program ended with status {self.process.returncode}:\n{self.log()}")
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{CAPTION}$"],
                                env=self.desktop.env, capture_output=True, text=True)
        ids = result.stdout.split()
        return ids[0] if ids else None

    def _application(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == self.process.pid:
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        return None

    def _find_frame(self):
        app = self._application()
        if app is None:
            return None
        for i in range(app.get_child_count()):
            child = app.get_child_at_index(i)
            if child.get_role_name() == "frame" and child.get_name() == CAPTION:
                return child
        return None

    def _other_windows_open(self):
        app = self._application()
        return any(child is not None and child.get_name() != CAPTION and
                   child.get_state_set().contains(Atspi.StateType.VISIBLE)
                   for child in (app.get_child_at_index(i) for i in range(app.get_child_count())))

    # --- reading the window

    def _client(self):
        return self._frame.get_child_at_index(0)

    def controls(self):
        """{control name: accessible} for the controls of CONTROL_TWIPS, found
        by where they sit in the client area."""
        client = self._client()
        origin = client.get_extents(Atspi.CoordType.WINDOW)
        placed = {}
        for i in range(client.get_child_count()):
            child = client.get_child_at_index(i)
            box = child.get_extents(Atspi.CoordType.WINDOW)
            placed[(box.x - origin.x, box.y - origin.y)] = child
        found = {}
        for name, (left, top) in CONTROL_TWIPS.items():
            want = (round(left / TWIPS_PER_PIXEL), round(top / TWIPS_PER_PIXEL))
            for (x, y), child in placed.items():
                if abs(x - want[0]) <= 1 and abs(y - want[1]) <= 1:
                    found[name] = child
        return found

    def text(self, name):
        control = self.controls().get(name)
        if control is None:
            raise DesktopError(f"no control {name} in the window")
        return control.get_name()

    def texts(self, *names):
        """The texts of several controls as one tick left them: read until two
        readings in a row agree, so that no second boundary falls between."""
        controls = self.controls()
        missing = [n for n in names if n not in controls]
        if missing:
            raise DesktopError(f"no control {', '.join(missing)} in the window")
        previous = None
        for _ in range(20):
            reading = {n: controls[n].get_name() for n in names}
            if reading == previous:
                return reading
            previous = reading
        raise DesktopError(f"the texts of {', '.join(names)} never held still")

    def wait_for_text(self, name, predicate, timeout_s, what):
        """Waits until the text of a control satisfies predicate; returns it."""
        def probe():
            text = self.text(name)
            return text if predicate(text) else None
        return wait_until(what, probe, timeout_s)

    def menu_item(self, *path):
        """The menu item at a path of captions, e.g. ("Colori", "Fondo schermo", "Blu")."""
        node = self._frame.get_child_at_index(1)  # the menu bar
        for caption in path:
            items = [node.get_child_at_index(i) for i in range(node.get_child_count())]
            if node.get_role_name() == "menu item":   # a menu item holds its pop-up menu
                popup = items[0]
                items = [popup.get_child_at_index(i) for i in range(popup.get_child_count())]
            matches = [c for c in items if c.get_name() == caption]
            if not matches:
                raise DesktopError(f"no menu item {' > '.join(path)}")
            node = matches[0]
        return node

    def choose(self, *path):
        """Chooses a menu item through the accessibility tree, without opening the menus."""
        self.menu_item(*path).get_action_iface().do_action(0)

    def press(self, window_caption, button_caption):
        """Presses a button of an open window of the program through the accessibility tree."""
        def find(node, depth=0):
            if node is None or depth > 4:
                return None
            if node.get_role_name() == "push button" and node.get_name() == button_caption:
                return node
            for i in range(node.get_child_count()):
                found = find(node.get_child_at_index(i), depth + 1)
                if found:
                    return found
            return None
        app = self._application()
        windows = [app.get_child_at_index(i) for i in range(app.get_child_count())]
        button = find(next((w for w in windows if w is not None and w.get_name() == window_caption), None))
        if button is None:
            raise DesktopError(f"no button {button_caption!r} in a window {window_caption!r}")
        button.get_action_iface().do_action(0)

    def type_into(self, window_caption, *keys):
        """Gives the keyboard to the program's window of that caption and types keys."""
        window = wait_until(f"the window {window_caption!r}",
                            lambda: self._visible_windows(window_caption), 5)[0]
        self.desktop.tool("xdotool", "windowactivate", "--sync", window)
        for key in keys:
            self.desktop.tool("xdotool", "key", "--clearmodifiers", key)
            time.sleep(0.1)

    def menu_enabled(self, *path):
        return self.menu_item(*path).get_state_set().contains(Atspi.StateType.ENABLED)

    def control_centre_on_screen(self, name):
        left, top = CONTROL_TWIPS[name]
        origin = self._client().get_extents(Atspi.CoordType.SCREEN)
        return origin.x + round(left / TWIPS_PER_PIXEL) + 10, origin.y + round(top / TWIPS_PER_PIXEL) + 10

    def client_pixel(self, shot, left_twips, top_twips):
        """The colour on screen at a point of the client area given in twips."""
        origin = self._client().get_extents(Atspi.CoordType.SCREEN)
        return shot.pixel(origin.x + round(left_twips / TWIPS_PER_PIXEL),
                          origin.y + round(top_twips / TWIPS_PER_PIXEL))

    # --- acting on the window

    def keys(self, *keys):
        """Types keys into the focused main window, one after another."""
        for key in keys:
            self.desktop.tool("xdotool", "key", "--clearmodifiers", key)
            time.sleep(0.15)   # lets a menu open before the next key

    def click(self, name):
        x, y = self.control_centre_on_screen(name)
        self.desktop.tool("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")

    def close_by_window_manager(self):
        """Asks the window manager to close the window, as the close box does."""
        self.desktop.tool("wmctrl", "-c", CAPTION)


def seed_workdir(data_dir, workdir, extra=None):
    """A fresh working directory with the installed data files but fusi.tz (a
    folder in table mode, as every folder before the zone database), plus
    extra {name: bytes}."""
    workdir = Path(workdir)
    if workdir.exists():
        shutil.rmtree(workdir)
    workdir.mkdir(parents=True)
    for f in Path(data_dir).iterdir():
        if f.name != "fusi.tz":
            shutil.copy(f, workdir / f.name)
    for name, content in (extra or {}).items():
        (workdir / name).write_bytes(content)
    return workdir
