"""The simulated controller with its 3D view open on a test's X server."""

import os
from unittest import mock

import harness

VIEW_TITLE = "Tallomir arm"


def find_view(x):
    found = x.xdotool("search", "--name", "^%s$" % VIEW_TITLE, check=False).stdout.split()
    return found[0] if found else None


def start_with_view(test, x, options=()):
    """Starts the simulator with --view on x and waits for its window;
    returns the simulator and the window's id."""
    with mock.patch.dict(os.environ, {"DISPLAY": x.name}):
        sim = harness.ArmSim(test, harness.temp_dir(test), ["--view"] + list(options))
    window = harness.wait_for(lambda: find_view(x), 30, "the window " + repr(VIEW_TITLE))
    return sim, window
