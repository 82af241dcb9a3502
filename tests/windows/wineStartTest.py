"""Start-up and shutdown of tallomir.exe under Wine in Xvfb."""

import subprocess
import unittest

import harness
import startupTest
import wine

WithDisplay = wine.under_wine(startupTest.WithDisplay)


class NoDisplay(unittest.TestCase):
    def test_reports_and_exits_with_minus_one(self):
        command, env = wine.shared_prefix().start(self, wine.no_display_env(), None)
        run = subprocess.run(command, env=env, cwd=harness.temp_dir(self),
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        # -1 is the exit code 0xffffffff on Windows; Wine hands on its low byte.
        self.assertEqual(run.returncode, 255)
        self.assertIn(b"Window failed to initialize.\r\n", run.stdout)
        self.assertEqual(run.stderr, b"")


if __name__ == "__main__":
    unittest.main()
