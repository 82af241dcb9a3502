"""The picture at the coordinates the panels draw at, in the real window."""

import unittest

import harness
from layout import (BASE_BOX, BLACK, DARK_GRAY, ELBOW_BOX, GRAY, GREEN, GRIPPER_BOX,
                    LIGHT_GRAY, OFF_WHITE, SHOULDER_BOX, WHITE)


class Picture(harness.PanelTest):
    def setUp(self):
        self.x = harness.Xvfb(self)
        self.panel = harness.Panel(self, self.x)

    def assertFace(self, shot, left, top, color):
        """A button face: most of a strip inside it, above the label, has the colour."""
        strip = [shot.at(x, top + 5) for x in range(left + 6, left + 40)]
        matching = sum(1 for p in strip if all(abs(a - b) <= 8 for a, b in zip(p, color)))
        self.assertGreater(matching, len(strip) * 0.8, "face at (%d, %d): %s" % (left, top, strip))

    def test_start_picture(self):
        shot = self.panel.screenshot()
        # Base: a vertical needle across the light gray disc centred at (1136, 576).
        self.assertColor(shot, 1136, 520, BLACK, radius=2)
        self.assertColor(shot, 1136, 640, BLACK, radius=2)
        self.assertColor(shot, 1080, 576, LIGHT_GRAY)
        self.assertColor(shot, 1190, 576, LIGHT_GRAY)
        # Arm at shoulder 0, elbow 0: upper arm level to the left of the
        # shoulder joint, forearm straight up from the elbow.
        self.assertColor(shot, 453, 703, GRAY)
        self.assertColor(shot, 340, 703, OFF_WHITE, radius=2)
        self.assertColor(shot, 230, 600, OFF_WHITE, radius=2)
        self.assertColor(shot, 340, 600, DARK_GRAY)
        # Gripper at 160: two jaws opening upward from the pivot.
        self.assertColor(shot, 960, 156, WHITE, radius=2)
        self.assertColor(shot, 993, 156, WHITE, radius=2)
        self.assertColor(shot, 976, 156, DARK_GRAY)
        self.assertColor(shot, 976, 203, GRAY)
        # Action bar: a green Send face, gray Pole and Zero faces.
        self.assertFace(shot, 133, 30, GRAY)
        self.assertFace(shot, 410, 30, GRAY)
        self.assertFace(shot, 700, 30, GREEN)
        self.assertColor(shot, 600, 200, DARK_GRAY, tolerance=0)

    def test_typed_picture(self):
        self.panel.type(*BASE_BOX, "90")
        self.panel.type(*SHOULDER_BOX, "90")
        self.panel.type(*ELBOW_BOX, "0")
        self.panel.point(*GRIPPER_BOX)
        for _ in range(3):
            self.panel.key("BackSpace", until=self.panel.changed(*GRIPPER_BOX))
        # The last box shown changed in the frame that drew the new pictures.
        shot = self.panel.screenshot()
        # Base 90: the needle lies level.
        self.assertColor(shot, 1080, 576, BLACK, radius=2)
        self.assertColor(shot, 1190, 576, BLACK, radius=2)
        self.assertColor(shot, 1136, 520, LIGHT_GRAY)
        # Shoulder 90, elbow 0: up from the shoulder, then level to the right.
        self.assertColor(shot, 453, 600, OFF_WHITE, radius=2)
        self.assertColor(shot, 560, 480, OFF_WHITE, radius=2)
        self.assertColor(shot, 453, 480, GRAY)
        self.assertColor(shot, 340, 703, DARK_GRAY)
        # Gripper box emptied: the preview shows the jaws level.
        self.assertColor(shot, 930, 203, WHITE, radius=2)
        self.assertColor(shot, 1030, 203, WHITE, radius=2)
        self.assertColor(shot, 960, 156, DARK_GRAY)


if __name__ == "__main__":
    unittest.main()
