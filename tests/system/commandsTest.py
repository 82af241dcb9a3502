"""Pole, Zero and Send against the simulated controller."""

import unittest

import harness
from layout import BASE_BOX, ELBOW_BOX, NOWHERE, POLE, SEND, SHOULDER_BOX, ZERO


class Commands(harness.PanelTest):
    def setUp(self):
        self.x = harness.Xvfb(self)
        self.sim = harness.ArmSim(self, harness.temp_dir(self))
        self.panel = harness.Panel(self, self.x, device=self.sim.device)

    def frames_after(self, count):
        return harness.wait_for(lambda: len(self.sim.frames()) >= count and self.sim.frames(),
                                harness.EFFECT_TIMEOUT_S, "%d frames at the simulator" % count)

    def has_frames(self, count):
        return lambda: len(self.sim.frames()) >= count

    def test_pole_send_and_the_queue_that_nothing_clears(self):
        self.panel.click(*POLE, until=self.panel.said("Received data: 360097090160\n"))
        self.assertEqual(self.frames_after(1), ["360097090160"])

        self.panel.type(*BASE_BOX, "45")
        self.panel.type(*SHOULDER_BOX, "90")
        self.panel.type(*ELBOW_BOX, "5")
        self.panel.type(*NOWHERE, "7", shows=False)  # over no box: changes nothing
        self.panel.click(*SEND, until=self.has_frames(2))
        self.assertEqual(self.frames_after(2)[1], "405090005160")

        # Nothing ever clears the receive queue: the first Pole read only its
        # acknowledgement and Send reads nothing, so the next Pole prints the
        # first Pole's "done" and the start of the Send's acknowledgement...
        self.panel.click(*POLE, until=self.panel.said("Received data: done40509000\n"))
        # ...and once the motions are over, Zero prints the rest of it, the
        # Send's "done" and the start of the second Pole's acknowledgement.
        harness.wait_for(lambda: self.sim.log().count("\ndone") >= 3, harness.EFFECT_TIMEOUT_S,
                         "three motions")
        self.panel.click(*ZERO, until=self.panel.said("Received data: 5160done3600\n"))
        self.assertEqual(self.frames_after(4)[2:], ["360097090160", "360000000160"])
        self.assertNotIn("Error", self.panel.stderr())

    def test_character_above_latin1_is_not_a_digit(self):
        # U+0431 has the low byte 0x31, the digit "1".
        self.panel.type(*ELBOW_BOX, "\u0431", shows=False)
        self.panel.type(*ELBOW_BOX, "2")
        self.panel.click(*SEND, until=self.has_frames(1))
        self.assertEqual(self.frames_after(1), ["360000002160"])


class WithoutDevice(harness.PanelTest):
    def test_only_the_serial_errors_and_an_empty_reply(self):
        x = harness.Xvfb(self)
        panel = harness.Panel(self, x)
        panel.click(*POLE, until=panel.said("Received data: \n"))
        panel.click(*SEND, until=lambda: panel.stderr().count("write") >= 2)
        panel.key("Escape", until=panel.ended)
        self.assertEqual(panel.wait_exit(), 0)
        self.assertEqual(panel.stderr(), "Error: Unable to open the port COM5\n"
                         "Error: Failed to write to serial port\n"
                         "Error: Failed to read from serial port\n"
                         "Error: Failed to write to serial port\n")
        self.assertEqual([l for l in panel.stdout().splitlines() if l.startswith("Received")],
                         ["Received data: "])


if __name__ == "__main__":
    unittest.main()
