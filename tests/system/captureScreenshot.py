"""Captures the README's picture of the panel from the real program:
python3 tests/system/captureScreenshot.py docs/panel.png"""

import os
import sys
import unittest

import harness
from layout import ADD, BASE_BOX, ELBOW_BOX, LOAD, NAME_BOX, SHOULDER_BOX


def write_demo_program(panel):
    """Opens the program "demo" and adds three waypoints, typed as an
    operator would."""
    panel.type(*NAME_BOX, "demo")
    panel.click(*LOAD)
    for base, shoulder, elbow in [("0", "97", "90"), ("45", "60", "40"), ("120", "30", "20")]:
        for box, value in [(BASE_BOX, base), (SHOULDER_BOX, shoulder), (ELBOW_BOX, elbow)]:
            panel.point(*box)
            for _ in range(3):
                panel.key("BackSpace")
            panel.type(*box, value)
        panel.click(*ADD)


class Capture(unittest.TestCase):
    def runTest(self):
        x = harness.Xvfb(self)
        sim = harness.ArmSim(self, harness.temp_dir(self))
        panel = harness.Panel(self, x, device=sim.device)
        write_demo_program(panel)
        panel.point(640, 360)
        panel.screenshot().save_png(x.name, os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    result = unittest.TextTestRunner().run(Capture())
    sys.exit(0 if result.wasSuccessful() else 1)
