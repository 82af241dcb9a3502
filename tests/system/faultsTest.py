"""A misbehaving controller: the panel keeps running, every frame it sends
stays exact, nothing waits past its bounds, and it works again once the
controller answers."""

import os
import unittest

import harness
from layout import BASE_BOX, BLACK, LIGHT_GRAY, LOAD, NAME_BOX, PLAY, POLE, rows_shown

PROGRAM = ["360 097 090 160", "405 090 005 160", "370 090 045 160"]
FRAMES = [line.replace(" ", "") for line in PROGRAM]
DONE = "'done' received from serial device!"


class Faults(harness.PanelTest):
    def start(self, *options):
        self.x = harness.Xvfb(self)
        self.sim = harness.ArmSim(self, harness.temp_dir(self), options)
        self.panel = harness.Panel(self, self.x, device=self.sim.device)
        with open(os.path.join(self.panel.programs, "f.txt"), "w") as f:
            f.write("\n".join(PROGRAM) + "\n")
        return self.panel

    def play(self):
        p = self.panel
        p.type(*NAME_BOX, "f")
        p.click(*LOAD, until=lambda: rows_shown(p.screenshot())[:3] == [True] * 3)
        # Standard output is not flushed before the first "done": the
        # simulator shows the playback has begun.
        before = len(self.sim.frames())
        p.click(*PLAY, until=lambda: len(self.sim.frames()) > before)

    def pole(self, reply):
        self.panel.click(*POLE, until=self.panel.said("Received data: %s\n" % reply))

    def assertStillResponds(self):
        """The panel takes typing and redraws: base 90 lays the needle level."""
        self.panel.type(*BASE_BOX, "90")
        shot = self.panel.screenshot()
        self.assertColor(shot, 1080, 576, BLACK, radius=2)
        self.assertColor(shot, 1136, 520, LIGHT_GRAY)
        self.panel.key("Escape", until=self.panel.ended)
        self.assertEqual(self.panel.wait_exit(), 0)

    def test_hang_up_during_pole(self):
        p = self.start("--hangup-after", "1")
        self.pole("")
        self.assertIn("Error: Failed to read from serial port\n", p.stderr())
        self.assertEqual(self.sim.frames(), ["360097090160"])
        self.assertStillResponds()

    def test_hang_up_in_the_middle_of_a_playback(self):
        p = self.start("--hangup-after", "2")
        self.play()
        harness.wait_for(lambda: "Playback stopped" in p.stderr(), 20, "the playback to stop")
        self.assertEqual(p.stdout().count(DONE), 1)
        self.assertEqual(self.sim.frames(), FRAMES[:2])
        self.assertEqual(p.stderr().count("Playback stopped"), 1)
        self.assertStillResponds()

    def test_extra_bytes_and_a_split_done(self):
        p = self.start("--extra", "XY", "--split-done")
        self.pole("XY3600970901")
        harness.wait_for(lambda: "done" in self.sim.log().split("\n", 2)[-1], 10, "the motion")
        self.play()
        harness.wait_for(lambda: p.stdout().count(DONE) == 3, 30, "three waypoints")
        self.assertEqual(self.sim.frames(), ["360097090160"] + FRAMES)
        self.assertNotIn("Error", p.stderr())
        self.assertStillResponds()

    def test_late_acknowledgement_then_the_controller_answers(self):
        p = self.start("--ack-delay", "1500")
        # The read gives up after its total time-out; the late bytes stay
        # queued and the next Pole prints them.
        self.pole("")
        harness.wait_for(lambda: "\nack 360097090160\n" in self.sim.log(), 10,
                         "the late acknowledgement")
        self.pole("360097090160")
        self.assertEqual(self.sim.frames(), ["360097090160", "360097090160"])
        self.assertNotIn("Error", p.stderr())
        self.assertStillResponds()

    def test_no_done_ends_the_playback_after_its_time_limit(self):
        p = self.start("--no-done")
        self.play()
        harness.wait_for(lambda: "Playback stopped" in p.stderr(), 45, "the time limit")
        self.assertIn("line 1", p.stderr())
        self.assertEqual(self.sim.frames(), FRAMES[:1])
        self.assertEqual(p.stdout().count(DONE), 0)
        self.assertStillResponds()


if __name__ == "__main__":
    unittest.main()
