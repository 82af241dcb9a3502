"""Captures the README's picture of the panel with the arm view beside it,
from the real programs, during a dry run of a small program:
python3 tests/system/captureViewScreenshot.py docs/panelAndView.png"""

import os
import sys
import unittest

import harness
from armViewSupport import start_with_view
from captureScreenshot import write_demo_program
from layout import PLAY


class Capture(harness.PanelTest):
    def runTest(self):
        x = harness.Xvfb(self)
        sim, _ = start_with_view(self, x)
        panel = harness.Panel(self, x, device=sim.device)
        write_demo_program(panel)
        panel.point(640, 360)
        # A dry run: the panel waits for each "done" without redrawing, and
        # the view shows the arm on its way to the second waypoint.
        panel.click(*PLAY)
        harness.wait_for(lambda: "ack 405060040160\n" in sim.log(), 20, "the second waypoint")
        panel.screenshot().save_png(x.name, os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    result = unittest.TextTestRunner().run(Capture())
    sys.exit(0 if result.wasSuccessful() else 1)
