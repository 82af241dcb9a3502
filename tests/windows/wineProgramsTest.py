"""Programs of tallomir.exe under Wine: "..\\Programs\\" with Windows
separators, files in text mode with CR LF line ends."""

import os
import unittest

import programsTest
import wine
from layout import ADD, BASE_BOX, LOAD, NAME_BOX


def file_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class Programs(wine.under_wine(programsTest.Programs)):
    def file_text(self):
        """The file as the Linux tests compare it, once every line of it has
        been seen to end with CR LF."""
        raw = super().file_text()
        self.assertNotRegex(raw, wine.BARE_LF)
        return raw.replace("\r\n", "\n")

    def test_add_writes_a_cr_lf_line_through_the_backslash_path(self):
        p = self.panel
        path = os.path.join(p.programs, "w1.txt")
        p.type(*NAME_BOX, "w1")
        p.click(*LOAD, until=lambda: programsTest.MISSING in p.stderr())
        p.type(*BASE_BOX, "45")
        p.click(*ADD, until=lambda: os.path.exists(path) and file_bytes(path))
        self.assertEqual(file_bytes(path), b"405 000 000 160\r\n")
        # The backslashes were separators: nothing landed beside the program.
        self.assertEqual(os.listdir(p.bin), [])
        self.assertEqual(os.listdir(p.programs), ["w1.txt"])


if __name__ == "__main__":
    unittest.main()
