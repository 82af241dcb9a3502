"""Pole, Zero and Send from tallomir.exe under Wine, over COM5 to the
simulated controller."""

import unittest

import commandsTest
import harness
import wine
from layout import POLE

Commands = wine.under_wine(commandsTest.Commands)
WithoutDevice = wine.under_wine(commandsTest.WithoutDevice)


class ConsoleLineEnds(harness.PanelTest):
    """The console streams are in text mode: every line ends with CR LF."""

    @classmethod
    def setUpClass(cls):
        cls.launcher = wine.shared_prefix()

    def test_error_and_trace_lines(self):
        panel = harness.Panel(self, harness.Xvfb(self))
        panel.click(*POLE, until=panel.said("Received data: \n"))
        panel.key("Escape", until=panel.ended)
        self.assertEqual(panel.wait_exit(), 0)
        self.assertEqual(panel.raw_stderr(), "Error: Unable to open the port COM5\r\n"
                         "Error: Failed to write to serial port\r\n"
                         "Error: Failed to read from serial port\r\n")
        self.assertIn("\r\nReceived data: \r\n", panel.raw_stdout())
        self.assertNotRegex(panel.raw_stdout(), wine.BARE_LF)


if __name__ == "__main__":
    unittest.main()
