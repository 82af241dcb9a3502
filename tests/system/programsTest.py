"""Programs from the name box to the file on disk and back to the arm."""

import os
import unittest

import harness
from layout import (ADD, BASE_BOX, LOAD, NAME_BOX, PLAY, REMOVE, SAVE, SHOULDER_BOX,
                    rows_shown)

MISSING = "Error opening file for reading"


class Programs(harness.PanelTest):
    def setUp(self):
        self.x = harness.Xvfb(self)
        self.sim = harness.ArmSim(self, harness.temp_dir(self))
        self.panel = harness.Panel(self, self.x, device=self.sim.device)
        self.path = os.path.join(self.panel.programs, "t1.txt")

    def file_text(self):
        with open(self.path, newline="") as f:
            return f.read()

    def lines_in_file(self, count):
        return lambda: harness.file_lines(self.path) == count

    def rows(self, expected):
        """A check that the list shows text in exactly the expected rows."""
        return lambda: rows_shown(self.panel.screenshot()) == expected

    def assertRows(self, expected):
        harness.wait_for(self.rows(expected), harness.EFFECT_TIMEOUT_S, "the rows %s" % expected)

    def test_record_list_close_reopen_and_play(self):
        p = self.panel
        p.type(*NAME_BOX, "t1")
        # The list reports the file missing until the first Add creates it.
        p.click(*LOAD, until=lambda: MISSING in p.stderr())
        p.click(*ADD, until=self.lines_in_file(1))
        p.type(*BASE_BOX, "45")
        p.click(*ADD, until=self.lines_in_file(2))
        p.type(*SHOULDER_BOX, "90")
        p.click(*ADD, until=self.lines_in_file(3))
        self.assertEqual(self.file_text(),
                         "360 000 000 160\n405 000 000 160\n405 090 000 160\n")
        p.click(*REMOVE, until=self.lines_in_file(2))
        self.assertEqual(self.file_text(), "360 000 000 160\n405 000 000 160\n")
        self.assertRows([True, True] + [False] * 7)

        saved = self.file_text()
        p.click(*SAVE, until=self.rows([False] * 9))
        self.assertEqual(self.file_text(), saved)

        p.type(*NAME_BOX, "t1")
        p.click(*LOAD, until=self.rows([True, True] + [False] * 7))

        p.click(*PLAY, until=lambda: len(self.sim.frames()) > 0)
        harness.wait_for(lambda: p.stdout().count("'done' received from serial device!") == 2,
                         20, "two waypoints played")
        self.assertEqual(self.sim.frames(), ["360000000160", "405000000160"])
        self.assertIn("lineRead = 360000000160\n\n360000000160\n"
                      "'done' received from serial device!\n", p.stdout())
        # Nothing but the missing file before the first Add: the serial
        # line never fails.
        self.assertEqual(set(p.stderr().splitlines()), {MISSING + "."})


if __name__ == "__main__":
    unittest.main()
