"""Programs from the name box to the file on disk and back to the arm."""

import os
import unittest

import harness
from layout import (ADD, BASE_BOX, BLACK, LIST_ROWS_Y, LIST_X, LOAD, NAME_BOX, PLAY, REMOVE,
                    SAVE, SHOULDER_BOX)


def black_pixels_in_row(shot, y):
    return sum(1 for py in range(y, y + 24) for px in range(LIST_X, LIST_X + 180)
               if shot.at(px, py) == BLACK)


class Programs(harness.PanelTest):
    def setUp(self):
        self.x = harness.Xvfb(self)
        self.sim = harness.ArmSim(self, harness.temp_dir(self))
        self.panel = harness.Panel(self, self.x, device=self.sim.device)
        self.path = os.path.join(self.panel.programs, "t1.txt")

    def file_text(self):
        with open(self.path, newline="") as f:
            return f.read()

    def rows_shown(self):
        shot = self.panel.screenshot()
        return [black_pixels_in_row(shot, y) > 0 for y in LIST_ROWS_Y]

    def test_record_list_close_reopen_and_play(self):
        p = self.panel
        p.type(*NAME_BOX, "t1")
        p.click(*LOAD)
        p.click(*ADD)
        p.type(*BASE_BOX, "45")
        p.click(*ADD)
        p.type(*SHOULDER_BOX, "90")
        p.click(*ADD)
        harness.wait_for(lambda: os.path.exists(self.path) and self.file_text().count("\n") == 3,
                         10, "three waypoints")
        self.assertEqual(self.file_text(),
                         "360 000 000 160\n405 000 000 160\n405 090 000 160\n")
        p.click(*REMOVE)
        harness.wait_for(lambda: self.file_text().count("\n") == 2, 10, "the removal")
        self.assertEqual(self.file_text(), "360 000 000 160\n405 000 000 160\n")
        self.assertEqual(self.rows_shown(), [True, True] + [False] * 7)

        saved = self.file_text()
        p.click(*SAVE)
        self.assertEqual(self.rows_shown(), [False] * 9)
        self.assertEqual(self.file_text(), saved)

        p.type(*NAME_BOX, "t1")
        p.click(*LOAD)
        self.assertEqual(self.rows_shown(), [True, True] + [False] * 7)

        p.click(*PLAY)
        harness.wait_for(lambda: p.stdout().count("'done' received from serial device!") == 2,
                         20, "two waypoints played")
        self.assertEqual(self.sim.frames(), ["360000000160", "405000000160"])
        self.assertIn("lineRead = 360000000160\n\n360000000160\n"
                      "'done' received from serial device!\n", p.stdout())
        # The list reports the file missing until the first Add creates it;
        # the serial line never fails.
        self.assertNotIn("Error:", p.stderr())


if __name__ == "__main__":
    unittest.main()
