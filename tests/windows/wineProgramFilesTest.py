"""The program file store of the Windows build in Windows text mode: its
cross-built checks, run under Wine in WORK/bin beside WORK/Programs."""

import os
import subprocess
import unittest

import harness
import wine

CHECKS_EXE = os.path.join(wine.WIN_BUILD, "programFilesWindows.exe")


class ProgramFiles(unittest.TestCase):
    def test_text_mode_store(self):
        work = harness.temp_dir(self)
        os.makedirs(os.path.join(work, "bin"))
        os.makedirs(os.path.join(work, "Programs"))
        command, env = wine.shared_prefix().start(self, wine.no_display_env(), None, CHECKS_EXE)
        run = subprocess.run(command, env=env, cwd=os.path.join(work, "bin"),
                             stdin=subprocess.DEVNULL, capture_output=True, text=True,
                             timeout=120)
        report = wine.console_text(run.stdout + run.stderr)
        self.assertEqual(run.returncode, 0, report)
        self.assertRegex(report, r"^(\d+) of \1 checks passed\n$")


if __name__ == "__main__":
    unittest.main()
