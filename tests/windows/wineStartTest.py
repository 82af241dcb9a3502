"""Start-up and shutdown of tallomir.exe under Wine in Xvfb."""

import os
import shutil
import subprocess
import tempfile
import unittest

import harness
import wine

DARK_GRAY = (80, 80, 80)
# Points between the panels, where only the background is drawn.
BACKGROUND_POINTS = [(600, 200), (100, 400), (880, 650)]


class UnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        root = tempfile.mkdtemp(prefix="tallomir-wine-")
        cls.addClassCleanup(shutil.rmtree, root, True)
        cls.prefix = wine.WinePrefix(root)

    def setUp(self):
        self.x = harness.Xvfb(self)
        self.work = harness.temp_dir(self)
        self.bin = os.path.join(self.work, "bin")
        os.makedirs(self.bin)
        os.makedirs(os.path.join(self.work, "Programs"))

    def start_panel(self, device=None):
        command, env = self.prefix.panel(self, self.x, device)
        self.stderr_path = os.path.join(self.work, "stderr.txt")
        err = open(self.stderr_path, "w")
        self.addCleanup(err.close)
        proc = subprocess.Popen(command, cwd=self.bin, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=err)
        self.addCleanup(harness.stop, proc)
        window = harness.wait_for(lambda: self.find_window(proc), 60, "the window named Tallomir")
        return proc, window

    def find_window(self, proc):
        if proc.poll() is not None:
            raise AssertionError("tallomir.exe ended early with %d" % proc.returncode)
        found = self.x.xdotool("search", "--name", "^Tallomir$", check=False).stdout.split()
        return found[0] if found else None

    def test_full_screen_on_dark_gray_and_escape_ends_with_zero(self):
        proc, window = self.start_panel()
        # The window shows framed first; the first frames switch it to full screen.
        harness.wait_for(lambda: self.full_screen(window), 20, "the full-screen window")
        # Until the resized surface has been drawn once, parts of it are black.
        harness.wait_for(self.background_shown, 10, "the dark gray background")
        self.quit(proc, window)

    def quit(self, proc, window):
        self.x.xdotool("key", "--window", window, "Escape")
        self.assertEqual(proc.wait(20), 0)

    def stderr(self):
        with open(self.stderr_path, errors="replace") as f:
            return wine.console_text(f.read())

    def test_without_a_device_reports_the_port(self):
        self.quit(*self.start_panel())
        self.assertEqual("Error: Unable to open the port COM5\n", self.stderr())

    def test_com5_reaches_the_simulator(self):
        sim = harness.ArmSim(self, harness.temp_dir(self))
        self.quit(*self.start_panel(sim.device))
        self.assertEqual("", self.stderr())

    def full_screen(self, window):
        geometry = self.x.xdotool("getwindowgeometry", window).stdout
        return "Position: 0,0" in geometry and "Geometry: 1280x720" in geometry

    def background_shown(self):
        shot = harness.Screenshot(self.x.name)
        return all(shot.at(x, y) == DARK_GRAY for x, y in BACKGROUND_POINTS)


if __name__ == "__main__":
    unittest.main()
