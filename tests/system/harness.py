"""Runs the real panel in Xvfb with the simulated arm controller in place of
COM5, drives it with xdotool and reads pixels from screenshots.

After an action a test waits, with a deadline, for what it can see: a pixel,
a console line, a line in the simulator's log, a file's content. The one
fixed pause is HOLD_S.

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

# raylib samples the keyboard and the mouse once a frame: a key or button
# that goes down and up between two frames is never seen, and one released
# and pressed again between two frames stays down for it. A press is held at
# least this long, and until its effect shows when the caller names one; a
# release is given as long before the next press.
HOLD_S = 0.2
# How long an effect may take to show on a busy machine, whose software
# rasteriser can make one frame take far longer than 16 ms.
EFFECT_TIMEOUT_S = 10
# Around a box's point: the typed text, drawn from the box's left edge.
TEXT_AREA = (100, 15)


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


def near(shot, x, y, color, tolerance=8, radius=0):
    """Some pixel within radius of (x, y) has the colour (rasterisers differ
    by a pixel or two at edges); else the pixels seen."""
    seen = []
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            pixel = shot.at(x + dx, y + dy)
            if all(abs(a - b) <= tolerance for a, b in zip(pixel, color)):
                return None
            seen.append(pixel)
    return sorted(set(seen))


def file_lines(path):
    """How many line ends the file holds; 0 while it does not exist."""
    try:
        with open(path, "rb") as f:
            return f.read().count(b"\n")
    except FileNotFoundError:
        return 0


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

    def area(self, x, y, half_width, half_height):
        """The pixels of the rectangle around (x, y), row by row."""
        rows = []
        for row in range(y - half_height, y + half_height + 1):
            start = (row * self.width + x - half_width) * 3
            rows.append(self.pixels[start:start + (2 * half_width + 1) * 3])
        return b"".join(rows)

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

    # How often Panel starts the program before its window must be there.
    starts = 1

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
    of the test; console_text(raw), the console output as the tests compare
    it; and starts, how often to start the program when it ends silently
    before its window appears."""

    def __init__(self, test, x, device=None, workdir=None, launcher=None):
        self.test, self.x = test, x
        self.launcher = launcher or test.launcher or LINUX
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
        """Starts the program and returns its window. The program itself
        always says why it ends; a launcher whose own start-up fails now and
        then without a word declares more than one start."""
        starts = self.launcher.starts
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

    def said(self, text):
        """A check that text has appeared on standard output."""
        return lambda: text in self.stdout()

    def wait_stdout(self, text, timeout=EFFECT_TIMEOUT_S):
        return wait_for(self.said(text), timeout, repr(text) + " on stdout")

    def ended(self):
        return self.proc.poll() is not None

    def point(self, x, y):
        """Moves the pointer; the next frame sees it there, before any key
        or button pressed after it (X delivers the events in order)."""
        self.x.xdotool("mousemove", x, y)

    def _hold(self, down, up, until, what):
        self.x.xdotool(*down)
        try:
            time.sleep(HOLD_S)
            if until is not None:
                wait_for(until, EFFECT_TIMEOUT_S, what)
        finally:
            self.x.xdotool(*up)
            time.sleep(HOLD_S)

    def click(self, x, y, until=None):
        """A left click at (x, y), held until until() holds when given."""
        self.point(x, y)
        self._hold(["mousedown", 1], ["mouseup", 1], until,
                   "the effect of a click at %d,%d" % (x, y))

    def key(self, name, until=None):
        """A key press, held until until() holds when given."""
        self._hold(["keydown", name], ["keyup", name], until, "the effect of " + name)

    def text_area(self, x, y):
        return Screenshot(self.x.name).area(x, y, *TEXT_AREA)

    def changed(self, x, y):
        """A check that the text around (x, y) no longer looks as it does now."""
        before = self.text_area(x, y)
        return lambda: self.text_area(x, y) != before

    def type(self, x, y, text, shows=True):
        """Types text into the box at (x, y). The panel takes one typed
        character a frame, and one still queued when the pointer moves on
        would go to whatever lies there: each character that shows is
        waited for in the box; one that does not (shows=False) is given a
        held key's time."""
        self.point(x, y)
        for char in text:
            box_changed = self.changed(x, y) if shows else None
            self.x.xdotool("type", "--delay", int(HOLD_S * 1000), char)
            if shows:
                wait_for(box_changed, EFFECT_TIMEOUT_S, "%r in the box at %d,%d" % (char, x, y))
            else:
                time.sleep(HOLD_S)

    def screenshot(self):
        return Screenshot(self.x.name)

    def close_button(self):
        subprocess.run([WMCLOSE, self.window], env=self.x.env(), check=True)

    def wait_exit(self, timeout=EFFECT_TIMEOUT_S):
        return self.proc.wait(timeout)


class PanelTest(unittest.TestCase):
    # How Panel starts the program for this class's tests; None: LINUX.
    launcher = None

    def assertColor(self, shot, x, y, expected, tolerance=8, radius=0):
        """Some pixel within radius of (x, y) has the colour."""
        seen = near(shot, x, y, expected, tolerance, radius)
        if seen is not None:
            self.fail("no pixel near (%d, %d) is %s; saw %s" % (x, y, expected, seen))
