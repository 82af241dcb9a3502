"""Runs the real panel in Xvfb with the simulated arm controller in place of
COM5, drives it with xdotool and reads pixels from screenshots.

Every process a test starts is stopped by its PID in the test's cleanup, also
when the test fails."""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

BUILD = os.environ.get("TALLOMIR_BUILD", os.path.join(os.path.dirname(__file__), "../../build"))
PANEL = os.environ.get("TALLOMIR_PANEL", os.path.join(BUILD, "tallomir"))
ARMSIM = os.environ.get("TALLOMIR_ARMSIM", os.path.join(BUILD, "tallomir-armsim"))
WMCLOSE = os.environ.get("TALLOMIR_WMCLOSE", os.path.join(BUILD, "tests/system/wmclose"))
COMPORT = os.path.join(os.path.dirname(__file__), "../../tools/comPort.sh")

SCREEN = (1280, 720)
READY_PIXEL = (720, 35)
READY_COLOR = (0, 228, 48)
# Points between the panels, where only the background is drawn.
BACKGROUND_POINTS = [(600, 200), (100, 400), (880, 650)]
BACKGROUND_COLOR = (80, 80, 80)


def stop(proc, timeout=5.0):
    """Ends a process this test started, by its PID."""
    if proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


class EarlyExit(AssertionError):
    """The panel ended before its window appeared."""


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def temp_dir(test):
    path = tempfile.mkdtemp(prefix="tallomir-")
    test.addCleanup(shutil.rmtree, path, True)
    return path


class Screenshot:
    """The root window's pixels, from ImageMagick's import as a binary PPM."""

    def __init__(self, display):
        data = subprocess.run(["import", "-display", display, "-window", "root", "-depth", "8",
                               "ppm:-"], check=True, capture_output=True).stdout
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.pixels = data[match.end():]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def save_png(self, display, path):
        subprocess.run(["import", "-display", display, "-window", "root", path], check=True)


class Xvfb:
    def __init__(self, test):
        # Xvfb takes a free display itself and names it on a pipe once it
        # accepts clients: two tests starting at once never share a display
        # (a display picked here could be taken by the other test's Xvfb
        # before ours locks it).
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        test.addCleanup(stop, self.proc)
        with os.fdopen(read_end) as names:
            if not select.select([names], [], [], 10)[0]:
                raise AssertionError("timed out waiting for Xvfb's display")
            number = names.readline().strip()
        if not number.isdigit():
            raise AssertionError("Xvfb named no display")
        self.name = ":" + number
        # -noreset: a server that resets whenever its last client leaves
        # refuses the clients that come during the reset.
        wait_for(lambda: self.xdotool("getdisplaygeometry", check=False).returncode == 0, 10,
                 "Xvfb on " + self.name)

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return env

    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(),
                              capture_output=True, text=True, check=check)


class ArmSim:
    """The simulated controller on a pseudo-terminal; its log is kept in a file."""

    def __init__(self, test, workdir, options=()):
        self.log_path = os.path.join(workdir, "armsim.log")
        self.log_file = open(self.log_path, "w")
        test.addCleanup(self.log_file.close)
        self.proc = subprocess.Popen([ARMSIM] + list(options), stdout=self.log_file,
                                     stderr=subprocess.STDOUT)
        test.addCleanup(stop, self.proc)
        self.device = wait_for(self._first_line, 10, "the simulator's device path")

    def _first_line(self):
        with open(self.log_path) as f:
            line = f.readline()
        return line.strip() if line.endswith("\n") else None

    def log(self):
        with open(self.log_path) as f:
            return f.read()

    def frames(self):
        return [line.split()[1] for line in self.log().splitlines()
                if line.startswith("frame ") and len(line.split()) > 1]


class LinuxLauncher:
    """How Panel starts build/tallomir: with COM5 leading to the device.
    Without a device the panel still runs in a namespace of its own, so that
    a serial port of this machine never stands in for COM5."""

    @staticmethod
    def start(test, env, device):
        """The command and environment for one start; env is the display's."""
        return [COMPORT, device or "none", PANEL], env

    @staticmethod
    def console_text(raw):
        return raw


LINUX = LinuxLauncher()


class Panel:
    """The panel started in WORK/bin, with WORK/Programs beside it.

    launcher (default: the test's `launcher` attribute, else LINUX) gives the
    command for each start, with any setup it needs registered as cleanups
    of the test, and console_text(raw), the console output as the tests
    compare it."""

    def __init__(self, test, x, device=None, workdir=None, launcher=None):
        self.test, self.x = test, x
        self.launcher = launcher or getattr(test, "launcher", None) or LINUX
        self.work = workdir or temp_dir(test)
        self.bin = os.path.join(self.work, "bin")
        self.programs = os.path.join(self.work, "Programs")
        os.makedirs(self.bin, exist_ok=True)
        os.makedirs(self.programs, exist_ok=True)
        self.stdout_path = os.path.join(self.work, "stdout.txt")
        self.stderr_path = os.path.join(self.work, "stderr.txt")
        self.window = self._start(device)
        # Some window systems show the window framed before it goes full screen.
        wait_for(self._full_screen, 20, "the full-screen window")
        # The software rasteriser takes a while for the first frames on a busy
        # machine: wait for the green face of Send, above its label, and for
        # the background, which stays black until the full-screen surface is
        # first drawn.
        wait_for(self._first_picture, 30, "the first picture")

    def _start(self, device):
        """Starts the program and returns its window. A launcher whose own
        start-up fails now and then without a word (Wine's) gets one more
        start in that case; the program itself always says why it ends."""
        starts = 2 if getattr(self.launcher, "retry_silent_exit", False) else 1
        for start in range(starts):
            self._launch(device)
            try:
                return wait_for(self._find_window, 60, "the window named Tallomir")
            except EarlyExit:
                if start + 1 == starts or self.raw_stdout() or self.raw_stderr():
                    raise
                print("\n(the launcher ended silently with status %d before the window; "
                      "starting it once more)" % self.proc.returncode, file=sys.stderr)

    def _launch(self, device):
        out, err = open(self.stdout_path, "w"), open(self.stderr_path, "w")
        self.test.addCleanup(out.close)
        self.test.addCleanup(err.close)
        command, env = self.launcher.start(self.test, self.x.env(), device)
        self.proc = subprocess.Popen(command, cwd=self.bin, env=env, stdin=subprocess.DEVNULL,
                                     stdout=out, stderr=err)
        self.test.addCleanup(stop, self.proc)

    def _find_window(self):
        if self.proc.poll() is not None:
            raise EarlyExit("the panel ended early with status %d: %s%s" %
                            (self.proc.returncode, self.stderr(), self.stdout()))
        found = self.x.xdotool("search", "--name", "^Tallomir$", check=False).stdout.split()
        return found[0] if found else None

    def _full_screen(self):
        geometry = self.x.xdotool("getwindowgeometry", self.window).stdout
        return "Position: 0,0 " in geometry and "Geometry: %dx%d\n" % SCREEN in geometry

    def _first_picture(self):
        shot = Screenshot(self.x.name)
        return shot.at(*READY_PIXEL) == READY_COLOR and \
            all(shot.at(*point) == BACKGROUND_COLOR for point in BACKGROUND_POINTS)

    def raw_stdout(self):
        with open(self.stdout_path, errors="replace", newline="") as f:
            return f.read()

    def raw_stderr(self):
        with open(self.stderr_path, errors="replace", newline="") as f:
            return f.read()

    def stdout(self):
        return self.launcher.console_text(self.raw_stdout())

    def stderr(self):
        return self.launcher.console_text(self.raw_stderr())

    def wait_stdout(self, text, timeout=10):
        return wait_for(lambda: text in self.stdout(), timeout, repr(text) + " on stdout")

    def point(self, x, y):
        self.x.xdotool("mousemove", x, y)
        time.sleep(0.1)

    def click(self, x, y):
        self.x.xdotool("mousemove", x, y, "sleep", 0.1, "mousedown", 1, "sleep", 0.1,
                       "mouseup", 1)
        time.sleep(0.1)

    def type(self, x, y, text):
        # The panel takes one typed character a frame; a busy machine's
        # software rasteriser can make frames far longer than 16 ms.
        self.point(x, y)
        self.x.xdotool("type", "--delay", 200, text)
        time.sleep(0.1)

    def key(self, name):
        self.x.xdotool("keydown", name, "sleep", 0.1, "keyup", name)
        time.sleep(0.1)

    def screenshot(self):
        time.sleep(0.2)
        return Screenshot(self.x.name)

    def close_button(self):
        subprocess.run([WMCLOSE, self.window], env=self.x.env(), check=True)

    def wait_exit(self, timeout=10):
        return self.proc.wait(timeout)


class PanelTest(unittest.TestCase):
    # How Panel starts the program for this class's tests; None: LINUX.
    launcher = None

    def assertColor(self, shot, x, y, expected, tolerance=8, radius=0):
        """Some pixel within radius of (x, y) has the colour (rasterisers
        differ by a pixel or two at edges)."""
        seen = []
        for dy in range(-radius, radius + 1):
            for dx in range(-radius, radius + 1):
                pixel = shot.at(x + dx, y + dy)
                if all(abs(a - b) <= tolerance for a, b in zip(pixel, expected)):
                    return
                seen.append(pixel)
        self.fail("no pixel near (%d, %d) is %s; saw %s" % (x, y, expected, sorted(set(seen))))
