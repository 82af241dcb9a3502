"""build-win/tallomir-windows.zip, what a Windows user unpacks: the panel in
bin/, an empty Programs/ beside it, and how to connect the arm on COM5."""

import os
import unittest
import zipfile

import wine

ZIP = os.path.join(wine.WIN_BUILD, "tallomir-windows.zip")


class WindowsZip(unittest.TestCase):
    def test_panel_with_an_empty_programs_folder_beside_its_bin(self):
        with zipfile.ZipFile(ZIP) as archive:
            self.assertIsNone(archive.testzip())
            names = {n.rstrip("/") for n in archive.namelist()}
            self.assertEqual(names, {"bin", "bin/tallomir.exe", "Programs", "CONNECTING.txt"})
            self.assertTrue(archive.getinfo("Programs/").is_dir())
            with open(wine.PANEL_EXE, "rb") as built:
                self.assertEqual(archive.read("bin/tallomir.exe"), built.read())
            note = archive.read("CONNECTING.txt").decode("ascii")
        self.assertIn("COM5", note)
        self.assertIn("bin\\tallomir.exe", note)


if __name__ == "__main__":
    unittest.main()
