"""A misbehaving controller on COM5 of tallomir.exe under Wine: the checks
of the Linux build, a controller that never answers at all (Windows drivers
and Wine report no read time-out for it), and the Windows form of a hang-up."""

import time
import unittest

import faultsTest
import harness
import wine
from faultsTest import DONE, FRAMES
from layout import POLE


class Faults(wine.under_wine(faultsTest.Faults)):
    def test_silent_controller_does_not_freeze_the_panel(self):
        p = self.start("--silent")
        clicked = time.monotonic()
        self.pole("")
        # From the press: the 100 ms pause after the frame, then the read's
        # 1000 ms total time-out.
        waited = time.monotonic() - clicked
        self.assertTrue(0.9 <= waited <= 5, "Pole took %.2f s" % waited)
        self.assertEqual(self.sim.frames(), ["360097090160"])
        self.assertNotIn("Error", p.stderr())
        self.assertStillResponds()

    # Wine reads a pseudo-terminal whose other end has hung up like a line
    # that stays silent, as Windows reads a port whose cable was pulled: the
    # read runs out its time-out and brings nothing, without an error. Only
    # the next write fails.

    def test_hang_up_during_pole(self):
        p = self.start("--hangup-after", "1")
        self.pole("")
        self.assertIn("hangup", self.sim.log())
        self.assertEqual(p.stderr(), "")
        p.click(*POLE, until=lambda: p.stdout().count("Received data: \n") == 2)
        self.assertEqual(p.stderr(), "Error: Failed to write to serial port\n")
        self.assertEqual(self.sim.frames(), ["360097090160"])
        self.assertStillResponds()

    def test_hang_up_in_the_middle_of_a_playback(self):
        # The second waypoint's "done" never comes: its time limit ends the
        # playback, as for a controller that stays silent.
        p = self.start("--hangup-after", "2")
        self.play()
        harness.wait_for(lambda: "Playback stopped" in p.stderr(), 45, "the time limit")
        self.assertEqual(p.stderr(), "Error: Playback stopped at line 2: no 'done' came\n")
        self.assertEqual(p.stdout().count(DONE), 1)
        self.assertEqual(self.sim.frames(), FRAMES[:2])
        self.assertStillResponds()


if __name__ == "__main__":
    unittest.main()
