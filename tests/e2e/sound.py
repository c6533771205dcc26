#!/usr/bin/python3
"""The time signal and Infor.snm, heard through a sound server.

Usage: sound.py SCENARIO --program BIN --data DIR --out DIR

Starts a PulseAudio server of its own whose only output is a null sink,
records that sink's monitor, and runs the installed program on a private
desktop with the signal on and its clock shifted by whole seconds to
hh:59:48, so that its seconds turn when the real ones do. The recording must
hold exactly six bursts, each starting within 100 ms after the seconds 54 to
58 and 00 as the program sees them; then "Informazioni" is chosen from the
keyboard and Infor.snm must be heard whole (one burst of at least 0.85 s)
while the program keeps running. The recording is kept as recording.wav in
--out. A second scenario runs the same where no sound server answers.

Exits with 77 (skipped) only when no sound server can be started here.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import wave
from datetime import datetime
from pathlib import Path
from zoneinfo import ZoneInfo

sys.dont_write_bytecode = True   # no __pycache__ in the source tree
import numpy as np
from desktop import DesktopError, display_settings_bytes, read_display_settings, seed_workdir, wait_until
from scenarios import FIRST_START_SETTINGS, run_on_desktop, scenario_args

TZ = "Europe/Rome"
SINK = "vemar_test"
RATE = 44100
BLOCK_S = 0.010               # the recorder's latency, and so the sink's block
# Signal on (SignalOn 1, SignalToggle -1), the first start's colours.
SIGNAL_ON_SETTINGS = [" 1", "-1"] + FIRST_START_SETTINGS[2:]
PIP_SECONDS = (54, 55, 56, 57, 58, 0)
PIP_WINDOW_S = 0.100          # a pip must start this soon after its second
INFO_MIN_LENGTH_S = 0.85      # Infor.snm lasts 0.9 s
INFO_MAX_DELAY_S = 1.0        # from the key press to the first sound of it
START_OFFSET_S = 48           # the program starts at hh:59:48


class NoSoundServer(Exception):
    pass


class SoundServer:
    """A PulseAudio server for this test alone: a null sink as the default
    output, reached through its own socket, without authentication."""

    def __init__(self, scratch):
        self.dir = Path(tempfile.mkdtemp(prefix="pulse-", dir=scratch))
        self.address = f"unix:{self.dir / 'native'}"
        self.log_path = Path(scratch) / "pulseaudio.log"
        self.process = None

    def start(self):
        program = shutil.which("pulseaudio")
        if not program:
            raise NoSoundServer("pulseaudio is not installed (scripts/install-deps installs it)")
        env = {k: v for k, v in os.environ.items() if not k.startswith("PULSE")}
        # A runtime and state folder of its own, so that it meets no other server.
        env.update(HOME=str(self.dir), XDG_RUNTIME_DIR=str(self.dir),
                   PULSE_RUNTIME_PATH=str(self.dir / "runtime"), PULSE_STATE_PATH=str(self.dir / "state"))
        # As root it warns that it is not meant to run as root, and runs.
        argv = [program, "--system=false", "--daemonize=no", "--exit-idle-time=-1", "-n",
                "--use-pid-file=no", "--log-target=stderr",
                f"--load=module-native-protocol-unix socket={self.dir / 'native'} auth-anonymous=1",
                # Without rewinds the sink never renders a stretch again, so
                # the recording is the one timeline that was played.
                f"--load=module-null-sink sink_name={SINK} norewinds=1"]
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)

        def answers():
            if self.process.poll() is not None:
                raise NoSoundServer(f"pulseaudio ended with status {self.process.returncode}:\n"
                                    f"{self.log_path.read_text(errors='replace')}")
            return self.pactl("info", check=False).returncode == 0
        try:
            wait_until("the sound server", answers, 15, 0.1)
        except DesktopError as e:
            self.stop()
            raise NoSoundServer(f"{e}:\n{self.log_path.read_text(errors='replace')}") from e
        except NoSoundServer:
            self.stop()
            raise
        self.pactl("set-default-sink", SINK)
        return self

    def pactl(self, *args, check=True):
        return subprocess.run(["pactl", f"--server={self.address}", *args], check=check,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


class Recorder:
    """What the null sink plays, as mono samples with the real time of the first."""

    def __init__(self, server, scratch):
        self.server = server
        self.log_path = Path(scratch) / "parec.log"
        self._chunks = []
        self._arrivals = []   # (time.time() at arrival, samples received by then)
        self._received = 0

    def start(self):
        with open(self.log_path, "wb") as log:
            # The recorder's short latency makes the sink render in blocks
            # as short.
            self.process = subprocess.Popen(
                ["parec", f"--server={self.server.address}", f"--device={SINK}.monitor", "--raw",
                 "--format=s16le", f"--rate={RATE}", "--channels=1", f"--latency-msec={round(1000 * BLOCK_S)}"],
                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        return self

    def _read(self):
        fd = self.process.stdout.fileno()
        pending = b""
        while True:
            data = os.read(fd, 65536)
            now = time.time()
            if not data:
                return
            pending += data
            whole = len(pending) - len(pending) % 2
            self._chunks.append(pending[:whole])
            pending = pending[whole:]
            self._received += whole // 2
            self._arrivals.append((now, self._received))

    def stop(self):
        """The samples and the real time of the first of them."""
        self.process.terminate()
        self.process.wait(timeout=5)
        self._reader.join(timeout=5)
        samples = np.frombuffer(b"".join(self._chunks), dtype="<i2")
        if not self._arrivals:
            raise DesktopError(f"nothing was recorded:\n{self.log_path.read_text(errors='replace')}")
        # The sink renders one block ahead of its clock and the monitor hands
        # that block on at once: the last sample of each chunk is played one
        # block after the chunk arrives, less the delay of its way here. The
        # chunk that came with the least delay tells the time best.
        first_s = min(arrival - received / RATE for arrival, received in self._arrivals) + BLOCK_S
        return samples, first_s


def bursts(samples, rate=RATE, threshold=100, gap_s=0.15):
    """(start, end) in seconds from the first sample of every run of sound;
    runs closer than gap_s are one burst. A null sink is silent to the last
    bit between sounds, so a low threshold only keeps rounding noise out."""
    loud = np.flatnonzero(np.abs(samples.astype(np.int32)) > threshold)
    if loud.size == 0:
        return []
    breaks = np.flatnonzero(np.diff(loud) > gap_s * rate)
    starts = np.concatenate(([loud[0]], loud[breaks + 1]))
    ends = np.concatenate((loud[breaks], [loud[-1]])) + 1
    return [(s / rate, e / rate) for s, e in zip(starts, ends)]


def save_wav(path, samples):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes())


def clock_text(program_s):
    return datetime.fromtimestamp(program_s, ZoneInfo(TZ)).strftime("%H:%M:%S")


class SignalRun:
    """The program started at hh:59:48 with the signal on, run past the full
    hour; then "Informazioni" is chosen from the keyboard, its window closed
    after two seconds, and the program closed by the window manager."""

    def __init__(self, args, desktop, check):
        self.out = Path(args.out)
        self.args, self.desktop, self.check = args, desktop, check

    def run(self):
        workdir = seed_workdir(self.args.data, self.out / "work",
                               {"seg.dat": display_settings_bytes(SIGNAL_ON_SETTINGS)})
        # Whole seconds from the real clock to the program's: it starts at
        # hh:59:48 and its seconds turn when the real ones do.
        real_start = int(time.time())
        program_start = real_start - real_start % 3600 + 3600 - 60 + START_OFFSET_S
        self.shift_s = program_start - real_start
        self.pip_times = [program_start + 6 + i for i in range(5)] + [program_start + 12]
        run = self.desktop.launch(self.args.program, workdir, self.shift_s, tz=TZ).wait_for_window()

        wait_until("the full hour", lambda: time.time() + self.shift_s >= self.pip_times[-1] + 1.0, 30)
        self.key_s = time.time()
        run.keys("alt+i")
        wait_until("the information window", run._other_windows_open, 5)
        time.sleep(max(0.0, self.key_s + 2.0 - time.time()))
        self.check.true("the program keeps running with the information window open",
                        run.process.poll() is None)
        self.desktop.screenshot(self.out / "information.png")
        run.keys("Return")
        wait_until("the information window to close", lambda: not run._other_windows_open(), 5)
        run.close_by_window_manager()
        self.check.equal("exit status", run.wait_exit(), 0)
        self.check.equal("seg.dat keeps the signal on", read_display_settings(workdir / "seg.dat"),
                         SIGNAL_ON_SETTINGS)
        self.log = run.log()
        self.check.true(f"no file error reported:\n{self.log}", "vemar:" not in self.log)
        return self


def time_signal_and_info(args, desktop, check):
    """Six pips on time and Infor.snm whole, from a recording of the sink."""
    out = Path(args.out)
    server = SoundServer(out).start()
    desktop.env["PULSE_SERVER"] = server.address
    recorder = Recorder(server, out).start()
    try:
        run = SignalRun(args, desktop, check).run()
        check.true(f"the sound server played every sound (no fallback reported):\n{run.log}",
                   "vemar sound:" not in run.log)
    finally:
        time.sleep(0.3)   # the last blocks of the sink reach the recorder
        samples, first_s = recorder.stop()
        server.stop()
    save_wav(out / "recording.wav", samples)

    found = [(first_s + start, end - start) for start, end in bursts(samples)]
    before_key = [b for b in found if b[0] < run.key_s]
    after_key = [b for b in found if b[0] >= run.key_s]
    print(f"{len(found)} bursts recorded, {len(samples) / RATE:.1f} s in {out / 'recording.wav'}")
    for start_s, length_s in before_key:
        program_s = start_s + run.shift_s
        print(f"  burst at {clock_text(program_s)} + {1000 * (program_s % 1):.0f} ms, {length_s:.2f} s long")
    for start_s, length_s in after_key:
        print(f"  burst {1000 * (start_s - run.key_s):.0f} ms after the key press of Informazioni, "
              f"{length_s:.2f} s long")

    check.equal("bursts before Informazioni (five pips and the full hour's)", len(before_key), 6)
    for second, expected_s, (start_s, _) in zip(PIP_SECONDS, run.pip_times, before_key):
        late_s = start_s + run.shift_s - expected_s
        check.true(f"the pip of second {second:02d} starts {1000 * late_s:.0f} ms after it, "
                   f"not within {1000 * PIP_WINDOW_S:.0f} ms", 0 <= late_s < PIP_WINDOW_S)
    check.equal("bursts after Informazioni (Infor.snm)", len(after_key), 1)
    if after_key:
        start_s, length_s = after_key[0]
        check.true(f"Infor.snm is heard whole: {length_s:.2f} s, at least {INFO_MIN_LENGTH_S} s",
                   length_s >= INFO_MIN_LENGTH_S)
        check.true(f"Infor.snm starts {start_s - run.key_s:.2f} s after the key, within {INFO_MAX_DELAY_S} s",
                   start_s - run.key_s <= INFO_MAX_DELAY_S)


def without_sound_server(args, desktop, check):
    """The same run where no sound server answers: the program keeps running,
    and says once for the bell and once for the file why they are not heard."""
    # libcanberra's PulseAudio backend alone, pointed at a socket where
    # nothing listens, so that no sound card of the machine answers instead.
    desktop.env.update(CANBERRA_DRIVER="pulse", PULSE_SERVER=f"unix:{Path(args.out) / 'nobody'}")
    run = SignalRun(args, desktop, check).run()
    reasons = [line for line in run.log.splitlines() if line.startswith("vemar sound:")]
    print("\n".join(reasons))
    check.equal(f"lines saying why there is no sound, in:\n{run.log}", len(reasons), 2)
    check.true(f"the bell falls back to the system beep: {reasons}",
               any("bell" in r and "system beep" in r for r in reasons))
    check.true(f"Infor.snm stays silent: {reasons}", any("Infor.snm" in r and "silent" in r for r in reasons))


SCENARIOS = {f.__name__: f for f in (time_signal_and_info, without_sound_server)}


def main():
    args = scenario_args(__doc__, SCENARIOS, fresh=True)
    return run_on_desktop(args.scenario, args.out,
                          lambda desktop, check: SCENARIOS[args.scenario](args, desktop, check),
                          skip=NoSoundServer, skip_reason="no sound server can be started here: ")


if __name__ == "__main__":
    sys.exit(main())
