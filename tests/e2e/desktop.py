"""A private desktop (Xvfb, openbox, session and accessibility buses) driving the real program as a user would:
its clock set by libfaketime, its window read through the accessibility tree, keys and clicks through X.
Needs Debian's python3 (for gi) and what scripts/install-deps installs."""

import glob
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib
from pathlib import Path

import numpy as np

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib  # reads its buses from the environment on first use
except (ImportError, ValueError) as missing:
    raise SystemExit(f"the accessibility bindings are missing ({missing}): run scripts/install-deps "
                     "and use Debian's /usr/bin/python3") from missing

CAPTION = "Vemar 2.4"
# The thread-safe libfaketime: Qt runs threads of its own beside the UI thread.
FAKETIME_LIBRARIES = sorted(glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1"))
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SCREEN = (1280, 1024)
TWIPS_PER_PIXEL = 15

# Where each control the tests read sits in the main window's client area, in twips (left, top).
CONTROL_TWIPS = {"SSPanel7": (120, 120), "SSPanel2": (1080, 4740), "SSPanel3": (7370, 4740), "SSPanel5": (4200, 4740),
                 "SSCommand1": (120, 5280), "SSPanel8": (2280, 6535), "SSPanel9": (5160, 6535),
                 "Label2(27)": (1080, 5760), "Label2(30)": (120, 6900), "Label2(31)": (7005, 6900),
                 "Option2": (8040 + 120, 5400 + 600)}   # inside Frame2: for clicks only
# The city grid: the name, time and marker lefts of its columns, the tops of their rows (the first's a few twips off).
_FIRST_TOPS = [598, 1053, 1521, 1989, 2457, 2925, 3393, 3861, 4329]
_OTHER_TOPS = [600, 1050, 1515, 1995, 2460, 2925, 3390, 3855, 4335]
for _k in range(27):
    _lefts = [(117, 1755, 3042), (3495, 5250, 6525), (6980, 8630, 9890)][_k // 9]
    for _array, _left in zip(("Label1", "Label2", "Label3"), _lefts):
        CONTROL_TWIPS[f"{_array}({_k})"] = (_left, (_OTHER_TOPS if _k >= 9 else _FIRST_TOPS)[_k % 9])


class DesktopError(AssertionError):
    pass


def wait_until(what, probe, timeout_s, interval_s=0.05):
    """Polls probe() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout_s
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise DesktopError(f"timed out after {timeout_s} s waiting for {what}")
        time.sleep(interval_s)
    return value


def end(process):
    """Ends a process of the harness's: asked first, killed after 5 s."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def checksums(directory):
    return {p.name: hashlib.sha256(p.read_bytes()).hexdigest()
            for p in sorted(Path(directory).iterdir()) if p.is_file()}


def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def descendants(node, skip_roles=()):
    """Every node under node, depth first, leaving out the subtrees of the roles named."""
    found = []
    for child in children(node):
        if child is not None and child.get_role_name() not in skip_roles:
            found += [child, *descendants(child, skip_roles)]
    return found


# ------------------------------------------------------------------ settings files

SHIFT = 7  # the program's per-character shift of seg.dat and fusi.dat


def fields(path):
    """The quoted fields of seg.dat or fusi.dat, each character shifted back."""
    raw = Path(path).read_bytes().split(b'"')[1::2]
    return [bytes(b + SHIFT for b in f).decode("cp1252") for f in raw]


def display_settings_bytes(plain):
    """seg.dat holding the nine plain texts."""
    return b",".join(b'"' + bytes(b - SHIFT for b in t.encode("cp1252")) + b'"' for t in plain) + b"\r\n"


def zone_table(path):
    """The 54 rows of fusi.dat as (name, class, offset hours)."""
    f = fields(path)
    return [(f[i], f[i + 1], int(f[i + 2] or 0)) for i in range(0, 162, 3)]


def city_zones(path):
    """{name: zone} of fusi.tz, the first entry of each name."""
    zones = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if "\t" in line and not line.lstrip().startswith("#"):
            name, zone = (part.strip() for part in line.split("\t", 1))
            zones.setdefault(name, zone)
    return zones


def fresh_dir(path):
    """path emptied or made, whatever ran there before."""
    shutil.rmtree(path, ignore_errors=True)
    Path(path).mkdir(parents=True)
    return Path(path)


def seed_workdir(data_dir, workdir, extra=None):
    """A fresh working directory with the installed data but fusi.tz (table mode), plus extra {name: bytes}."""
    workdir = fresh_dir(workdir)
    for f in Path(data_dir).iterdir():
        if f.name != "fusi.tz":
            shutil.copy(f, workdir / f.name)
    for name, content in (extra or {}).items():
        (workdir / name).write_bytes(content)
    return workdir


# ------------------------------------------------------------------ screenshots

class Screenshot:
    """The whole screen as RGB pixels, read from xwd's dump of a true-colour screen."""

    def __init__(self, xwd_bytes):
        h = struct.unpack(">25I", xwd_bytes[:100])
        header_size, depth, width, height, msb_first, bits, line = (h[i] for i in (0, 3, 4, 5, 7, 11, 12))
        if depth != 24 or bits not in (24, 32):
            raise DesktopError(f"unexpected screen format: depth {depth}, {bits} bits a pixel")
        rows = np.frombuffer(xwd_bytes, np.uint8, height * line, header_size + 12 * h[19]).reshape(height, line)
        stored = rows[:, :bits // 8 * width].reshape(height, width, bits // 8).astype(np.uint32)
        stored = stored[..., ::-1] if msb_first else stored   # least significant byte first
        pixels = sum(stored[..., k] << (8 * k) for k in range(bits // 8))
        # Each of red, green and blue where its mask puts it in a pixel.
        self.rgb = np.dstack([(pixels & m) >> ((m & -m).bit_length() - 1) for m in h[14:17]]).astype(np.uint8)

    def pixel(self, x, y):
        return tuple(int(c) for c in self.rgb[y, x])

    def save_png(self, path):
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        h, w, _ = self.rgb.shape
        rows = np.insert(self.rgb.reshape(h, 3 * w), 0, 0, axis=1)   # each row after its filter byte 0
        png = chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(rows))
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + png + chunk(b"IEND", b""))


# ------------------------------------------------------------------ the desktop

class Desktop:
    """Xvfb, openbox, a session bus and the accessibility bus, torn down by stop()."""

    def __init__(self, scratch, other_users=False):
        """other_users: the display admits every local user (Xvfb -ac), for a program run as another."""
        self.scratch, self.access = Path(scratch), ["-ac"] if other_users else []
        self._processes = []
        self._runtime = Path(tempfile.mkdtemp(prefix="xdg-", dir=self.scratch))
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("DBUS_", "AT_SPI", "QT_", "FAKETIME", "LD_PRELOAD", "WAYLAND", "PULSE"))}
        self.env.update(XDG_RUNTIME_DIR=str(self._runtime), HOME=str(self.scratch))
        # No sound server started behind the harness's back: a test that wants sound starts one.
        client_conf = self.scratch / "pulse-client.conf"
        client_conf.write_text("autospawn = no\n")
        self.env["PULSE_CLIENTCONFIG"] = str(client_conf)

    def start(self):
        # Xvfb on the first free display, which it names on the pipe.
        read_end, write_end = os.pipe()
        self._spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                             "-nolisten", "tcp", "-noreset", *self.access], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.env["DISPLAY"] = ":" + pipe.readline().strip()
        if self.env["DISPLAY"] == ":":
            raise DesktopError("Xvfb did not start")
        # A window mapped before openbox has started may stay unmapped for good: it says when it is ready.
        ready = self._runtime / "openbox-ready"
        self._spawn("openbox", ["openbox", "--sm-disable", "--startup", f"touch {ready}"])
        wait_until("the window manager", ready.exists, 10)
        bus = self._spawn("session bus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        if not self.env["DBUS_SESSION_BUS_ADDRESS"]:
            raise DesktopError("dbus-daemon did not start")
        self._spawn("a11y bus", [BUS_LAUNCHER, "--launch-immediately"])
        # The harness reads the tree over the same buses as the program.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})
        return self

    def stop(self):
        for process in reversed(self._processes):
            end(process)
        self._processes.clear()
        shutil.rmtree(self._runtime, ignore_errors=True)

    def kill_display(self):
        """Ends the X server at once, as a lost connection or a logout does."""
        self._processes[0].kill()
        self._processes[0].wait()

    def start_compositor(self):
        """A headless Weston for wayland=True; pixman and --debug, so that weston-screenshooter has pixels."""
        self.wayland_socket = "wayland-vemar"
        self.compositor = self._spawn("weston", ["weston", "--backend=headless-backend.so", "--use-pixman",
                                                 "--debug", f"--socket={self.wayland_socket}", "--idle-time=0",
                                                 "--no-config"])
        wait_until("weston", lambda: (self._runtime / self.wayland_socket).exists(), 10)
        return self.compositor

    def compositor_screenshot(self, png_path):
        env = dict(self.env, WAYLAND_DISPLAY=self.wayland_socket)
        subprocess.run(["weston-screenshooter"], env=env, cwd=self._runtime, check=True, capture_output=True)
        shutil.move(str(max(self._runtime.glob("wayland-screenshot-*.png"))), png_path)

    def _spawn(self, name, argv, stdout=None, **kwargs):
        log = open(self.scratch / f"{name.replace(' ', '-')}.log", "wb")
        process = subprocess.Popen(argv, env=kwargs.pop("env", self.env), stdout=stdout or log,
                                   stderr=subprocess.STDOUT if stdout is None else log, stdin=subprocess.DEVNULL,
                                   **kwargs)
        self._processes.append(process)   # stop() ends it should a check fail midway
        return process

    def tool(self, *argv, check=True, text=True):
        """Runs an X tool on this desktop; its standard output."""
        return subprocess.run(argv, env=self.env, check=check, capture_output=True, text=text).stdout

    def screenshot(self, png_path=None):
        shot = Screenshot(self.tool("xwd", "-root", "-silent", text=False))
        if png_path:
            shot.save_png(png_path)
        return shot

    def launch(self, program, workdir, clock, tz="Europe/Rome", name="vemar", home=None, config=None, wayland=False,
               wrap=()):
        """The program in workdir (--dir), its clock from `clock` ("2024-06-30 23:59:52", tz's local time) or
        shifted from the real one by whole seconds (an int: its seconds turn with the real ones). With `home`, as a
        menu launcher starts it (XDG_CONFIG_HOME=`config` when given); tz None: /etc/localtime's zone; `wrap`: a
        command it runs through (a mount namespace)."""
        if not FAKETIME_LIBRARIES:
            raise DesktopError("libfaketime is missing: run scripts/install-deps")
        faketime = f"{clock:+d}s" if isinstance(clock, int) else "@" + clock
        env = dict(self.env, TZ=tz, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   LD_PRELOAD=FAKETIME_LIBRARIES[0], FAKETIME=faketime,
                   FAKETIME_DONT_FAKE_MONOTONIC="1", FAKETIME_NO_CACHE="1")
        if tz is None:
            env.pop("TZ")
        argv = [str(program), "--dir", str(workdir)]
        if home is not None:
            env["HOME"] = str(home)
            env.pop("XDG_CONFIG_HOME", None) if config is None else env.update(XDG_CONFIG_HOME=str(config))
            argv, workdir = [str(program)], home
        if wayland:
            env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=self.wayland_socket)
            env.pop("DISPLAY")
        process = self._spawn(name, [*wrap, *argv], env=env, cwd=workdir)
        run = RunningProgram(self, process, self.scratch / f"{name}.log")
        run.on_x = not wayland
        return run


# ------------------------------------------------------------------ the program

class RunningProgram:
    """The program on the desktop: its windows' texts, menus, keys and clicks."""

    def __init__(self, desktop, process, log_path):
        self.desktop, self.process, self.log_path = desktop, process, log_path
        self.window_id = self._frame = None
        self.on_x = True

    # --- life

    def wait_for_window(self, timeout_s=15):
        """Waits for the main window and for the start-up picture to close; gives the window the keyboard."""
        def shown():
            if self.process.poll() is not None:
                raise DesktopError(f"the program ended with status {self.process.returncode}:\n{self.log()}")
            return self.x_windows(CAPTION) if self.on_x else [None]
        self.window_id = wait_until(f'the window "{CAPTION}"', shown, timeout_s)[0]
        self._frame = wait_until("the window in the accessibility tree", lambda: self.window(CAPTION, "frame"),
                                 timeout_s)
        wait_until("the start-up picture to close", lambda: not self.other_windows_open(), timeout_s)
        if self.on_x:
            self.desktop.tool("xdotool", "windowactivate", "--sync", self.window_id)
        return self

    def wait_exit(self, timeout_s=10):
        try:
            return self.process.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise DesktopError(f"the program did not end within {timeout_s} s")

    def log(self):
        return Path(self.log_path).read_text(errors="replace")

    # --- its windows: by caption on the X server, and in the accessibility tree

    def x_windows(self, caption):
        """The ids of the visible windows of that caption on the X server."""
        return self.desktop.tool("xdotool", "search", "--onlyvisible", "--name", f"^{caption}$", check=False).split()

    def window_visible(self):
        return self.window_id in self.x_windows(CAPTION)

    def windows(self):
        """The program's top-level windows in the accessibility tree."""
        for app in children(Atspi.get_desktop(0)):
            if app is not None and app.get_process_id() == self.process.pid:
                app.set_cache_mask(Atspi.Cache.NONE)
                return [w for w in children(app) if w is not None]
        return []

    def window(self, caption, role=None):
        return next((w for w in self.windows() if w.get_name() == caption and role in (None, w.get_role_name())), None)

    def other_windows_open(self):
        return any(w.get_name() != CAPTION and w.get_state_set().contains(Atspi.StateType.VISIBLE)
                   for w in self.windows())

    # --- reading the main window

    def controls(self):
        """{control name: accessible} for CONTROL_TWIPS, found by where they sit in the client area."""
        client = self._frame.get_child_at_index(0)
        origin = client.get_extents(Atspi.CoordType.WINDOW)
        found = {}
        for child in children(client):
            box = child.get_extents(Atspi.CoordType.WINDOW)
            for name, (left, top) in CONTROL_TWIPS.items():
                if (abs(box.x - origin.x - round(left / TWIPS_PER_PIXEL)) <= 1
                        and abs(box.y - origin.y - round(top / TWIPS_PER_PIXEL)) <= 1):
                    found[name] = child
        return found

    def text(self, name):
        return self.texts(name)[name]

    def texts(self, *names):
        """The texts of several controls as one tick left them: two readings in a row agree."""
        controls = self.controls()
        missing = [n for n in names if n not in controls]
        if missing:
            raise DesktopError(f"no control {', '.join(missing)} in the window")
        previous = None
        for _ in range(20):
            # A date marker's name is its date; its symbol ends its description ("Simbolo della prima data: *").
            reading = {n: controls[n].get_description().partition(": ")[2] if n.startswith("Label3(")
                       else controls[n].get_name() for n in names}
            if reading == previous:
                return reading
            previous = reading
        raise DesktopError(f"the texts of {', '.join(names)} never held still")

    def wait_for_text(self, name, predicate, timeout_s, what):
        wait_until(what, lambda: predicate(self.text(name)), timeout_s)

    def menu_item(self, *path):
        """The menu item at a path of captions; its action chooses it without opening the menus."""
        node = self._frame.get_child_at_index(1)  # the menu bar
        for caption in path:
            items = children(node)
            if node.get_role_name() == "menu item":   # a menu item holds its pop-up menu
                items = children(items[0])
            node = next((c for c in items if c.get_name() == caption), None)
            if node is None:
                raise DesktopError(f"no menu item {' > '.join(path)}")
        return node

    def menu_enabled(self, *path):
        return self.menu_item(*path).get_state_set().contains(Atspi.StateType.ENABLED)

    def on_screen(self, left_twips, top_twips):
        """A point of the client area given in twips, in screen pixels."""
        origin = self._frame.get_child_at_index(0).get_extents(Atspi.CoordType.SCREEN)
        return origin.x + round(left_twips / TWIPS_PER_PIXEL), origin.y + round(top_twips / TWIPS_PER_PIXEL)

    # --- acting on the windows

    def press(self, window_caption, button_caption):
        """Presses a button of an open window of the program through the accessibility tree."""
        def find(node, depth=0):
            if node is None or depth > 4:
                return None
            if node.get_role_name() == "push button" and node.get_name() == button_caption:
                return node
            return next(filter(None, (find(c, depth + 1) for c in children(node))), None)
        button = find(self.window(window_caption))
        if button is None:
            raise DesktopError(f"no button {button_caption!r} in a window {window_caption!r}")
        button.get_action_iface().do_action(0)

    def keys(self, *keys, into=None, pause_s=0.15):
        """Types keys into the focused window, or first gives the keyboard to the window captioned `into`."""
        if into:
            window = wait_until(f"the window {into!r}", lambda: self.x_windows(into), 5)[0]
            self.desktop.tool("xdotool", "windowactivate", "--sync", window)
        for key in keys:
            self.desktop.tool("xdotool", "key", "--clearmodifiers", key)
            time.sleep(pause_s)   # lets a menu open before the next key

    def click(self, name):
        x, y = self.on_screen(*CONTROL_TWIPS[name])
        self.desktop.tool("xdotool", "mousemove", "--sync", str(x + 10), str(y + 10), "click", "1")

    def close_by_window_manager(self):
        """Asks the window manager to close the window, as the close box does."""
        self.desktop.tool("wmctrl", "-c", CAPTION)
        return self
