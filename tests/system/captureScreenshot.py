"""Captures the README's picture of the panel from the real program:
python3 tests/system/captureScreenshot.py docs/panel.png"""

import os
import sys
import unittest

import harness
from layout import ADD, BASE_BOX, ELBOW_BOX, LOAD, NAME_BOX, SHOULDER_BOX

WAYPOINTS = [("0", "97", "90"), ("45", "60", "40"), ("120", "30", "20")]


def write_demo_program(panel):
    """Opens the program "demo" and adds the three waypoints, typed as an
    operator would."""
    program = os.path.join(panel.programs, "demo.txt")
    panel.type(*NAME_BOX, "demo")
    panel.click(*LOAD, until=lambda: "Error opening file" in panel.stderr())
    shown = {BASE_BOX: "", SHOULDER_BOX: "", ELBOW_BOX: ""}
    for number, waypoint in enumerate(WAYPOINTS, 1):
        for box, value in zip([BASE_BOX, SHOULDER_BOX, ELBOW_BOX], waypoint):
            panel.point(*box)
            for _ in shown[box]:
                panel.key("BackSpace", until=panel.changed(*box))
            panel.type(*box, value)
            shown[box] = value
        panel.click(*ADD, until=lambda: harness.file_lines(program) == number)


class Capture(harness.PanelTest):
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
