"""The simulator's 3D view beside the full-screen panel: the arm drawn where
the panel's side view puts it, "done" only once the drawn motion is over,
joint limits, and the panel keeping the keyboard."""

import math
import os
import select
import subprocess
import time
import tty
import unittest

import harness
from armViewSupport import start_with_view
from layout import BASE_BOX, ELBOW_BOX, POLE, SEND, SHOULDER_BOX

# The side camera shows the shoulder pivot in the middle of the view and
# this many segment lengths from its top to its bottom.
SIDE_VIEW_SEGMENTS = 4.6
SPEED = 30  # degrees a second: the Pole takes 97 / 30 = 3.2 s
SKY = (32, 36, 44)


def line_direction(angle):
    """The panel's line angle as a screen direction: 0 down, clockwise."""
    r = math.radians(angle)
    return -math.sin(r), math.cos(r)


def arm_on_screen(shoulder, elbow):
    """Upper arm and forearm as the panel's side view draws them, in
    segment lengths from the pivot, screen y downward."""
    ux, uy = line_direction(shoulder + 90)
    fx, fy = line_direction(shoulder - elbow - 180)
    return (0, 0), (ux, uy), (ux + fx, uy + fy)


def is_upper_arm(pixel):  # orange, however lit
    r, g, b = pixel
    return r > g > b and r - b > 80


def is_forearm(pixel):  # blue, however lit
    r, g, b = pixel
    return b > g > r and b - r > 80


def is_stopped(pixel):  # red: a joint at the end of its range
    r, g, b = pixel
    return r > 100 and r > 2 * g and r > 2 * b


class ArmView(harness.PanelTest):
    def start(self, *options):
        self.x = harness.Xvfb(self)
        # Found by its title, "Tallomir arm".
        self.sim, self.view = start_with_view(
            self, self.x, ["--camera", "side", "--speed", str(SPEED)] + list(options))
        self.panel = harness.Panel(self, self.x, device=self.sim.device)
        geometry = self.x.xdotool("getwindowgeometry", self.view).stdout
        (left, top), (width, height) = [
            tuple(int(n) for n in line.split()[1].split("," if "," in line else "x"))
            for line in geometry.splitlines()[1:3]]
        self.box = left, top, width, height
        # Started first, the view must still be seen over the full-screen
        # panel: its sky in its top right corner.
        harness.wait_for(lambda: harness.Screenshot(self.x.name).at(
            left + width - 6, top + 6) == SKY, 20, "the view above the panel")

    def on_view(self, point, along):
        """Screen pixel of a point `along` of the way between two points
        given in segment lengths from the pivot."""
        left, top, width, height = self.box
        scale = height / SIDE_VIEW_SEGMENTS
        (x0, y0), (x1, y1) = point
        return (round(left + width / 2 + (x0 + (x1 - x0) * along) * scale),
                round(top + height / 2 + (y0 + (y1 - y0) * along) * scale))

    def probes(self, shoulder, elbow):
        """Points along the upper arm and the forearm, clear of the joints."""
        pivot, elbow_point, wrist = arm_on_screen(shoulder, elbow)
        return ([self.on_view((pivot, elbow_point), t) for t in (0.35, 0.6, 0.8)],
                [self.on_view((elbow_point, wrist), t) for t in (0.35, 0.6, 0.8)])

    def near(self, shot, point, wanted, radius=2):
        x, y = point
        return any(wanted(shot.at(x + dx, y + dy))
                   for dy in range(-radius, radius + 1) for dx in range(-radius, radius + 1))

    def misses(self, shot, shoulder, elbow, upper=is_upper_arm, fore=is_forearm, old=None):
        """What the picture lacks: probes of the arm not drawn, and probes of
        an old pose (shoulder, elbow) still drawn."""
        upper_points, fore_points = self.probes(shoulder, elbow)
        missing = ["upper arm %d/%d at %s" % (shoulder, elbow, p)
                   for p in upper_points if not self.near(shot, p, upper)]
        missing += ["forearm %d/%d at %s" % (shoulder, elbow, p)
                    for p in fore_points if not self.near(shot, p, fore)]
        if old is not None:
            old_upper, old_fore = self.probes(*old)
            missing += ["the old arm %d/%d still at %s" % (old + (p,))
                        for p in old_upper + old_fore
                        if any(self.near(shot, p, drawn, 0)
                               for drawn in (is_upper_arm, is_forearm, is_stopped))]
        return missing

    def assert_arm(self, shoulder, elbow, **kwargs):
        """The view shows the arm so, waiting for a frame drawn after the
        motion's end (a busy machine draws late)."""
        missing = []

        def shown():
            missing[:] = self.misses(self.panel.screenshot(), shoulder, elbow, **kwargs)
            return not missing
        try:
            harness.wait_for(shown, harness.EFFECT_TIMEOUT_S, "the arm at %d/%d" % (shoulder, elbow))
        except AssertionError:
            self.fail("; ".join(missing))

    def wait_done(self, count, timeout=20):
        harness.wait_for(lambda: self.sim.log().count("\ndone") >= count, timeout,
                         "done number %d" % count)
        return time.monotonic()

    def move(self, click, frame, degrees):
        """Orders a move and waits for its done, which must take the motion."""
        started = time.monotonic()
        click()
        harness.wait_for(lambda: "ack %s\n" % frame in self.sim.log(), 10, "the frame " + frame)
        dones = self.sim.log().count("\ndone")
        self.assertNotIn("\ndone", self.sim.log().split("ack " + frame)[-1])
        finished = self.wait_done(dones + 1)
        self.assertGreaterEqual(finished - started, degrees / SPEED)

    def send(self, base, shoulder, elbow):
        for box, value in [(BASE_BOX, base), (SHOULDER_BOX, shoulder), (ELBOW_BOX, elbow)]:
            self.panel.type(*box, value)
        self.panel.click(*SEND)

    def test_pole_and_a_typed_send_are_drawn_as_the_panel_draws_them(self):
        self.start()
        self.assert_arm(0, 0)  # where the controller starts

        self.move(lambda: self.panel.click(*POLE), "360097090160", 97)
        self.assert_arm(97, 90, old=(0, 0))

        # Typed into the panel's boxes with the view open: the panel keeps
        # the keyboard. The side camera turns with the base.
        self.move(lambda: self.send("30", "150", "120"), "390150120160", 53)
        self.assert_arm(150, 120, old=(97, 90))
        self.assertNotIn("Error", self.panel.stderr())

    def test_a_joint_outside_its_limits_stops_there_in_red(self):
        self.start("--limits", "shoulder=0-120")
        self.send("0", "150", "90")
        harness.wait_for(lambda: "360150090160" in self.sim.frames(), 10, "the frame")
        self.wait_done(1)
        log = self.sim.log()
        self.assertIn("ack 360150090160\n", log)
        self.assertIn("limit shoulder 150 outside 0-120, stopped at 120\n", log)
        self.assert_arm(120, 90, upper=is_stopped, old=(150, 90))


class Closing(unittest.TestCase):
    def test_closing_the_view_ends_the_simulator_as_ctrl_c_does(self):
        x = harness.Xvfb(self)
        sim, view = start_with_view(self, x)
        subprocess.run([harness.WMCLOSE, view], env=x.env(), check=True)
        self.assertEqual(sim.proc.wait(10), 0)
        self.assertEqual(sim.log(), sim.device + "\n")


class FaultsWithView(unittest.TestCase):
    """Every misbehaviour of the controller still happens with the view open."""

    FRAME = b"360097090160"

    def exchange(self, x, options, wanted, timeout=3.0):
        """Starts the simulator with its view, sends one frame and returns
        what comes back until `wanted` has or the time is up, and the log."""
        sim, _ = start_with_view(self, x, ["--speed", "100000"] + options)
        line = os.open(sim.device, os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(os.close, line)
        tty.setraw(line)
        # Taken before the write: the simulator's delays start once the frame
        # is in, which may be before this process runs again.
        self.written = time.monotonic()
        os.write(line, self.FRAME)
        reply, pieces = b"", []
        deadline = time.monotonic() + timeout
        while wanted not in reply and time.monotonic() < deadline:
            if select.select([line], [], [], 0.05)[0]:
                try:
                    piece = os.read(line, 64)
                except OSError:  # hung up
                    break
                if not piece:
                    break
                pieces.append((time.monotonic(), piece))
                reply += piece
        return reply, pieces, sim

    def test_fault_options(self):
        x = harness.Xvfb(self)
        cases = [
            ([], b"360097090160done", b"done"),
            (["--silent"], b"", b"done"),
            (["--no-done"], b"360097090160", b"done"),
            (["--extra", "XY"], b"XY360097090160done", b"done"),
            (["--split-done"], b"360097090160done", b"done"),
            (["--ack-delay", "300"], b"360097090160done", b"done"),
            (["--hangup-after", "1"], b"", b"done"),
        ]
        for options, expected, wanted in cases:
            with self.subTest(options=options):
                reply, pieces, sim = self.exchange(x, options, wanted,
                                                   timeout=1.5 if wanted not in expected else 5)
                self.assertEqual(reply, expected)
                self.assertIn("frame 360097090160 ", sim.log())
                if options[:1] == ["--split-done"]:
                    self.assertTrue(any(p.endswith(b"do") for _, p in pieces), pieces)
                if options[:1] == ["--ack-delay"]:
                    self.assertGreaterEqual(pieces[0][0] - self.written, 0.3)
                if options[:1] == ["--hangup-after"]:
                    harness.wait_for(lambda: sim.proc.poll() is not None, 10,
                                     "the simulator to end after the hang-up")
                    self.assertIn("hangup\n", sim.log())


if __name__ == "__main__":
    unittest.main()
