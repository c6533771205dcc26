#!/usr/bin/python3
"""The time signal and Infor.snm, heard through a sound server.

Usage: sound.py SCENARIO --program BIN --data DIR --out DIR (the recording kept as recording.wav in --out)
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import wave
from pathlib import Path
from unittest import SkipTest

sys.dont_write_bytecode = True   # no __pycache__ in the source tree
import numpy as np
from desktop import DesktopError, display_settings_bytes, end, wait_until
from scenarios import FIRST_START_SETTINGS, main

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


class SoundServer:
    """A PulseAudio server for this test alone: a null sink as the default output, on its own socket."""

    def __init__(self, scratch):
        self.dir = Path(tempfile.mkdtemp(prefix="pulse-", dir=scratch))
        self.address = f"unix:{self.dir / 'native'}"
        self.log_path = Path(scratch) / "pulseaudio.log"
        self.process = None

    def start(self):
        program = shutil.which("pulseaudio")
        if not program:
            raise SkipTest("no sound server: pulseaudio is not installed (scripts/install-deps installs it)")
        env = {k: v for k, v in os.environ.items() if not k.startswith("PULSE")}
        # A runtime and state folder of its own, so that it meets no other server.
        env.update(HOME=str(self.dir), XDG_RUNTIME_DIR=str(self.dir),
                   PULSE_RUNTIME_PATH=str(self.dir / "runtime"), PULSE_STATE_PATH=str(self.dir / "state"))
        # As root it warns that it is not meant to run as root, and runs.
        argv = [program, "--system=false", "--daemonize=no", "--exit-idle-time=-1", "-n",
                "--use-pid-file=no", "--log-target=stderr",
                f"--load=module-native-protocol-unix socket={self.dir / 'native'} auth-anonymous=1",
                # Without rewinds the recording is the one timeline that was played.
                f"--load=module-null-sink sink_name={SINK} norewinds=1"]
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)

        def answers():
            if self.process.poll() is not None:
                raise DesktopError(f"pulseaudio ended with status {self.process.returncode}")
            return self.pactl("info", check=False).returncode == 0
        try:
            wait_until("the sound server", answers, 15, 0.1)
        except DesktopError as e:
            self.stop()
            raise SkipTest(f"no sound server can be started here: {e}:\n{self.log_path.read_text(errors='replace')}")
        self.pactl("set-default-sink", SINK)
        return self

    def pactl(self, *args, check=True):
        return subprocess.run(["pactl", f"--server={self.address}", *args], check=check,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process:
            end(self.process)
        shutil.rmtree(self.dir, ignore_errors=True)


class Recorder:
    """What the null sink plays, as mono samples with the real time of the first."""

    def __init__(self, server, scratch):
        self.log_path = Path(scratch) / "parec.log"
        self._chunks = []
        self._arrivals = []   # (time.time() at arrival, samples received by then)
        # The recorder's short latency makes the sink render in blocks as short.
        argv = ["parec", f"--server={server.address}", f"--device={SINK}.monitor", "--raw", "--format=s16le",
                f"--rate={RATE}", "--channels=1", f"--latency-msec={round(1000 * BLOCK_S)}"]
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        fd, pending, received = self.process.stdout.fileno(), b"", 0
        while data := os.read(fd, 65536):
            now = time.time()
            pending += data
            whole = len(pending) - len(pending) % 2
            self._chunks.append(pending[:whole])
            pending = pending[whole:]
            received += whole // 2
            self._arrivals.append((now, received))

    def stop(self):
        """The samples and the real time of the first of them."""
        end(self.process)
        self._reader.join(timeout=5)
        samples = np.frombuffer(b"".join(self._chunks), dtype="<i2")
        if not self._arrivals:
            raise DesktopError(f"nothing was recorded:\n{self.log_path.read_text(errors='replace')}")
        # The last sample of each chunk is played one block after it arrives (the sink renders a block ahead),
        # less its delay on the way here: the chunk that came quickest tells the time best.
        first_s = min(arrival - received / RATE for arrival, received in self._arrivals) + BLOCK_S
        return samples, first_s


def bursts(samples, rate=RATE, threshold=100, gap_s=0.15):
    """(start, end) in seconds of every run of sound closer than gap_s to the next (a null sink is silent between)."""
    loud = np.flatnonzero(np.abs(samples.astype(np.int32)) > threshold)
    if loud.size == 0:
        return []
    breaks = np.flatnonzero(np.diff(loud) > gap_s * rate)
    starts = np.concatenate(([loud[0]], loud[breaks + 1]))
    ends = np.concatenate((loud[breaks], [loud[-1]])) + 1
    return [(s / rate, e / rate) for s, e in zip(starts, ends)]


def signal_run(s):
    """The program from hh:59:48, signal on, past the full hour; then Informazioni for two seconds. The run, with
    its clock's shift in whole seconds (its seconds turn with the real ones), its pips' times and the key's."""
    real_start = int(time.time())
    program_start = real_start - real_start % 3600 + 3600 - 60 + START_OFFSET_S
    shift_s = program_start - real_start
    run = s.start("work", shift_s, {"seg.dat": display_settings_bytes(SIGNAL_ON_SETTINGS)})   # in Rome
    run.shift_s, run.pip_times = shift_s, [program_start + 6 + i for i in range(5)] + [program_start + 12]

    wait_until("the full hour", lambda: time.time() + shift_s >= run.pip_times[-1] + 1.0, 30)
    run.key_s = time.time()
    run.keys("alt+i")
    wait_until("the information window", run.other_windows_open, 5)
    time.sleep(max(0.0, run.key_s + 2.0 - time.time()))
    s.true("the program keeps running with the information window open", run.process.poll() is None)
    s.desktop.screenshot(s.out / "information.png")
    run.keys("Return")
    wait_until("the information window to close", lambda: not run.other_windows_open(), 5)
    s.finish(run.close_by_window_manager(), SIGNAL_ON_SETTINGS)   # seg.dat keeps the signal on
    return run


def time_signal_and_info(s):
    """Six pips on time and Infor.snm whole, from a recording of the sink."""
    server = SoundServer(s.out).start()
    s.desktop.env["PULSE_SERVER"] = server.address
    recorder = Recorder(server, s.out)
    try:
        run = signal_run(s)
        s.true(f"the sound server played every sound (no fallback reported):\n{run.log()}",
               "vemar sound:" not in run.log())
    finally:
        time.sleep(0.3)   # the last blocks of the sink reach the recorder
        samples, first_s = recorder.stop()
        server.stop()
    with wave.open(str(s.out / "recording.wav"), "wb") as wav:
        wav.setparams((1, 2, RATE, len(samples), "NONE", "not compressed"))
        wav.writeframes(samples.tobytes())

    found = [(first_s + start, end_s - start) for start, end_s in bursts(samples)]
    before_key, after_key = [b for b in found if b[0] < run.key_s], [b for b in found if b[0] >= run.key_s]
    print(f"{len(found)} bursts recorded, {len(samples) / RATE:.1f} s: when (the program's second, or after the key "
          "of Informazioni) and how long")
    for at, length_s in found:
        when = f"second {(at + run.shift_s) % 60:06.3f}" if at < run.key_s else f"key + {at - run.key_s:.3f} s"
        print(f"  {when}: {length_s:.2f} s")

    s.equal("bursts before Informazioni (five pips and the full hour's)", len(before_key), 6)
    for second, expected_s, (start_s, _) in zip(PIP_SECONDS, run.pip_times, before_key):
        late_s = start_s + run.shift_s - expected_s
        s.true(f"the pip of second {second:02d} starts {1000 * late_s:.0f} ms after it, "
               f"not within {1000 * PIP_WINDOW_S:.0f} ms", 0 <= late_s < PIP_WINDOW_S)
    s.equal("bursts after Informazioni (Infor.snm)", len(after_key), 1)
    if after_key:
        start_s, length_s = after_key[0]
        s.true(f"Infor.snm is heard whole: {length_s:.2f} s, at least {INFO_MIN_LENGTH_S} s",
               length_s >= INFO_MIN_LENGTH_S)
        s.true(f"Infor.snm starts {start_s - run.key_s:.2f} s after the key, within {INFO_MAX_DELAY_S} s",
               start_s - run.key_s <= INFO_MAX_DELAY_S)


def without_sound_server(s):
    """No sound server answers: the program runs on and says once for the bell and once for the file why."""
    # libcanberra's PulseAudio backend alone, at a socket where nothing listens: no sound card answers instead.
    s.desktop.env.update(CANBERRA_DRIVER="pulse", PULSE_SERVER=f"unix:{s.out / 'nobody'}")
    log = signal_run(s).log()
    reasons = [line for line in log.splitlines() if line.startswith("vemar sound:")]
    print("\n".join(reasons))
    s.equal(f"lines saying why there is no sound, in:\n{log}", len(reasons), 2)
    s.true(f"the bell falls back to the system beep: {reasons}",
           any("bell" in r and "system beep" in r for r in reasons))
    s.true(f"Infor.snm stays silent: {reasons}", any("Infor.snm" in r and "silent" in r for r in reasons))


if __name__ == "__main__":
    sys.exit(main(__doc__, {f.__name__: f for f in (time_signal_and_info, without_sound_server)}, fresh=True))
