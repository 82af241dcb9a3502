"""Captures the README's picture of the panel with the arm view beside it,
from the real programs, during a dry run of a small program:
python3 tests/system/captureViewScreenshot.py docs/panelAndView.png"""

import os
import sys
import unittest
from unittest import mock

import harness
from layout import ADD, BASE_BOX, ELBOW_BOX, LOAD, NAME_BOX, PLAY, SHOULDER_BOX

VIEW_TITLE = "Tallomir arm"


class Capture(unittest.TestCase):
    def runTest(self):
        x = harness.Xvfb(self)
        with mock.patch.dict(os.environ, {"DISPLAY": x.name}):
            sim = harness.ArmSim(self, harness.temp_dir(self), ["--view"])
        harness.wait_for(lambda: x.xdotool("search", "--name", "^%s$" % VIEW_TITLE,
                                           check=False).stdout.strip(), 30, "the view")
        panel = harness.Panel(self, x, device=sim.device)
        panel.type(*NAME_BOX, "demo")
        panel.click(*LOAD)
        for base, shoulder, elbow in [("0", "97", "90"), ("45", "60", "40"), ("120", "30", "20")]:
            for box, value in [(BASE_BOX, base), (SHOULDER_BOX, shoulder), (ELBOW_BOX, elbow)]:
                panel.point(*box)
                for _ in range(3):
                    panel.key("BackSpace")
                panel.type(*box, value)
            panel.click(*ADD)
        panel.point(640, 360)
        # A dry run: the panel waits for each "done" without redrawing, and
        # the view shows the arm on its way to the second waypoint.
        panel.click(*PLAY)
        harness.wait_for(lambda: "ack 405060040160\n" in sim.log(), 20, "the second waypoint")
        panel.screenshot().save_png(x.name, os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    result = unittest.TextTestRunner().run(Capture())
    sys.exit(0 if result.wasSuccessful() else 1)
