"""A misbehaving controller: the panel keeps running, every frame it sends
stays exact, nothing waits past its bounds, and it works again once the
controller answers."""

import os
import time
import unittest

import harness
from layout import BASE_BOX, BLACK, LIGHT_GRAY, LOAD, NAME_BOX, PLAY, POLE

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
        self.panel.type(*NAME_BOX, "f")
        self.panel.click(*LOAD)
        self.panel.click(PLAY[0], PLAY[1])

    def assertStillResponds(self):
        """The panel takes typing and redraws: base 90 lays the needle level."""
        self.panel.type(*BASE_BOX, "90")
        shot = self.panel.screenshot()
        self.assertColor(shot, 1080, 576, BLACK, radius=2)
        self.assertColor(shot, 1136, 520, LIGHT_GRAY)
        self.panel.key("Escape")
        self.assertEqual(self.panel.wait_exit(), 0)

    def test_hang_up_during_pole(self):
        p = self.start("--hangup-after", "1")
        p.click(*POLE)
        p.wait_stdout("Received data: \n")
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
        p.click(*POLE)
        p.wait_stdout("Received data: XY3600970901\n")
        harness.wait_for(lambda: "done" in self.sim.log().split("\n", 2)[-1], 10, "the motion")
        self.play()
        harness.wait_for(lambda: p.stdout().count(DONE) == 3, 30, "three waypoints")
        self.assertEqual(self.sim.frames(), ["360097090160"] + FRAMES)
        self.assertNotIn("Error", p.stderr())
        self.assertStillResponds()

    def test_late_acknowledgement_then_the_controller_answers(self):
        p = self.start("--ack-delay", "1500")
        p.click(*POLE)
        # The read gives up after its total time-out; the late bytes stay
        # queued and the next Pole prints them.
        p.wait_stdout("Received data: \n")
        time.sleep(2)
        p.click(*POLE)
        p.wait_stdout("Received data: 360097090160\n")
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
