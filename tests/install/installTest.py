"""What `make install` puts under a prefix, and how the menu entry starts the
panel: in ~/Tallomir/bin, with ~/Tallomir/Programs beside it, made on the
first start by the launcher (the panel itself makes no folder)."""

import configparser
import os
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

BUILD = os.environ.get("TALLOMIR_BUILD", os.path.join(os.path.dirname(__file__), "../../build"))


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=60, **kwargs)


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tallomir-install-")
        cls.prefix = os.path.join(cls.tmp, "prefix")
        done = run(["cmake", "--install", BUILD, "--prefix", cls.prefix])
        if done.returncode != 0:
            raise AssertionError("cmake --install failed:\n" + done.stdout + done.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def no_display_env(self, home):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["HOME"] = home
        return env

    def test_programs_are_installed_runnable(self):
        for name in ("tallomir", "tallomir-armsim", "tallomir-menu"):
            with self.subTest(name=name):
                self.assertTrue(os.access(self.path("bin", name), os.X_OK), name)

    def test_menu_entry_starts_the_launcher_with_the_installed_icon(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path("share/applications/tallomir.desktop"))
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["Type"], "Application")
        self.assertEqual(desktop["Exec"].split()[0], "tallomir-menu")
        self.assertEqual(desktop["Terminal"], "false")
        icon = self.path("share/icons/hicolor/scalable/apps", desktop["Icon"] + ".svg")
        self.assertEqual(ElementTree.parse(icon).getroot().tag, "{http://www.w3.org/2000/svg}svg")

    def test_launcher_runs_the_panel_beside_it_in_the_users_folder(self):
        # A stand-in panel beside a copy of the launcher reports where and
        # how it was started.
        bindir = os.path.join(self.tmp, "standin")
        home = os.path.join(self.tmp, "standin-home")
        os.makedirs(bindir)
        os.makedirs(home)
        shutil.copy(self.path("bin", "tallomir-menu"), bindir)
        with open(os.path.join(bindir, "tallomir"), "w") as panel:
            panel.write('#!/bin/sh\necho "$PWD|$*"\n')
        os.chmod(os.path.join(bindir, "tallomir"), 0o755)
        started = run([os.path.join(bindir, "tallomir-menu"), "arg"], cwd=self.tmp,
                      env=self.no_display_env(home))
        self.assertEqual(started.returncode, 0, started.stderr)
        self.assertEqual(started.stdout, os.path.join(home, "Tallomir", "bin") + "|arg\n")
        self.assertTrue(os.path.isdir(os.path.join(home, "Tallomir", "Programs")))

    def test_installed_panel_from_the_menu_without_a_display(self):
        home = os.path.join(self.tmp, "home")
        os.makedirs(home)
        with open(os.path.join(home, "keep.txt"), "w") as mine:
            mine.write("a file of the user's\n")
        for start in ("first", "second"):
            with self.subTest(start=start):
                ended = run([self.path("bin", "tallomir-menu")], cwd=self.tmp,
                            env=self.no_display_env(home))
                self.assertEqual(ended.returncode, 255, ended.stdout + ended.stderr)
                self.assertIn("Window failed to initialize.\n", ended.stdout)
                self.assertEqual(sorted(os.listdir(os.path.join(home, "Tallomir"))),
                                 ["Programs", "bin"])
        self.assertEqual(sorted(os.listdir(home)), ["Tallomir", "keep.txt"])

    def test_panel_from_a_terminal_makes_no_folder(self):
        here = os.path.join(self.tmp, "terminal")
        os.makedirs(here)
        ended = run([self.path("bin", "tallomir")], cwd=here, env=self.no_display_env(here))
        self.assertEqual(ended.returncode, 255)
        self.assertEqual(os.listdir(here), [])


if __name__ == "__main__":
    unittest.main()
