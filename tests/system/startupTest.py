"""Start-up and shutdown of the real panel."""

import os
import subprocess
import unittest

import harness

DARK_GRAY = (80, 80, 80)


class NoDisplay(unittest.TestCase):
    def test_reports_and_exits_with_minus_one(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = subprocess.run([harness.PANEL], env=env, capture_output=True, text=True,
                             timeout=30)
        self.assertEqual(run.returncode, 255)
        self.assertIn("Window failed to initialize.\n", run.stdout)
        # Nothing after the window: the port is never opened.
        self.assertNotIn("Error: Unable to open the port", run.stderr)
        self.assertEqual(run.stderr, "")


class WithDisplay(harness.PanelTest):
    def setUp(self):
        self.x = harness.Xvfb(self)

    def test_full_screen_on_dark_gray_and_escape_ends_with_zero(self):
        panel = harness.Panel(self, self.x)
        geometry = self.x.xdotool("getwindowgeometry", panel.window).stdout
        self.assertIn("1280x720", geometry)
        shot = panel.screenshot()
        self.assertEqual((shot.width, shot.height), harness.SCREEN)
        for x, y in [(600, 200), (100, 400), (880, 650)]:
            self.assertColor(shot, x, y, DARK_GRAY, tolerance=0)
        panel.point(600, 300)
        panel.key("Escape", until=panel.ended)
        self.assertEqual(panel.wait_exit(), 0)

    def test_close_button_ends_with_zero(self):
        panel = harness.Panel(self, self.x)
        panel.close_button()
        self.assertEqual(panel.wait_exit(), 0)

    def test_without_a_device_reports_the_port(self):
        panel = harness.Panel(self, self.x)
        panel.key("Escape", until=panel.ended)
        panel.wait_exit()
        self.assertIn("Error: Unable to open the port COM5\n", panel.stderr())

    def test_with_the_simulator_opens_the_port(self):
        sim = harness.ArmSim(self, harness.temp_dir(self))
        panel = harness.Panel(self, self.x, device=sim.device)
        panel.key("Escape", until=panel.ended)
        self.assertEqual(panel.wait_exit(), 0)
        self.assertNotIn("Error:", panel.stderr())


if __name__ == "__main__":
    unittest.main()
