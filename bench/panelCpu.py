"""CPU seconds per second of the real panel at 60 frames per second in Xvfb,
read from /proc for every thread, against floors measured in the same run:
the same panel with no program open, and a raylib program that only clears
the screen. Mesa's software rasteriser threads ("llvmpipe-N") are counted
apart: they are the price of drawing the picture, which the floor does not."""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../tests/system"))
import harness  # noqa: E402
from layout import LOAD, NAME_BOX  # noqa: E402

CLEAR_ONLY = os.path.join(harness.BUILD, "bench/clearOnly")
SETTLE = 3.0
MEASURE = 10.0
TICKS = os.sysconf("SC_CLK_TCK")


def thread_times(pid):
    """(rasteriser seconds, other seconds) used so far by the process's threads."""
    raster = other = 0.0
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                stat = f.read()
        except FileNotFoundError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        seconds = (int(fields[11]) + int(fields[12])) / TICKS
        if name.startswith("llvmpipe"):
            raster += seconds
        else:
            other += seconds
    return raster, other


def measure(pid):
    time.sleep(SETTLE)
    r0, o0 = thread_times(pid)
    t0 = time.monotonic()
    time.sleep(MEASURE)
    r1, o1 = thread_times(pid)
    elapsed = time.monotonic() - t0
    return (r1 - r0 + o1 - o0) / elapsed, (o1 - o0) / elapsed


class Case(harness.unittest.TestCase):
    def runTest(self):
        pass


def run_panel(x, program_lines):
    case = Case()
    work = harness.temp_dir(case)
    os.makedirs(os.path.join(work, "bin"))
    os.makedirs(os.path.join(work, "Programs"))
    if program_lines:
        with open(os.path.join(work, "Programs", "big.txt"), "w") as f:
            for i in range(program_lines):
                f.write("%03d 090 045 160\n" % (360 + i % 360))
    out = open(os.path.join(work, "out.txt"), "w")
    # COM5 leads to the simulator's pseudo-terminal, never to a port of this
    # machine.
    sim = harness.ArmSim(case, work)
    command, env = harness.LINUX.start(case, x.env(), sim.device)
    proc = subprocess.Popen(command, cwd=os.path.join(work, "bin"), env=env, stdout=out,
                            stderr=subprocess.STDOUT)
    try:
        harness.wait_for(lambda: x.xdotool("search", "--name", "^Tallomir$",
                                           check=False).stdout.strip(), 20, "the panel")
        time.sleep(0.5)
        if program_lines:
            x.xdotool("mousemove", *NAME_BOX)
            x.xdotool("type", "--delay", 120, "big")
            x.xdotool("mousemove", *LOAD, "sleep", 0.1, "mousedown", 1, "sleep", 0.1,
                      "mouseup", 1)
        return measure(proc.pid)
    finally:
        harness.stop(proc)
        out.close()
        case.doCleanups()


def run_clear_only(x):
    proc = subprocess.Popen([CLEAR_ONLY], env=x.env(), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        return measure(proc.pid)
    finally:
        harness.stop(proc)


def main():
    case = Case()
    x = harness.Xvfb(case)
    try:
        empty_all, empty_ours = run_panel(x, 0)
        small_all, small_ours = run_panel(x, 9)
        big_all, big_ours = run_panel(x, 10000)
        clear_all, clear_ours = run_clear_only(x)
    finally:
        case.doCleanups()
    print("Panel CPU at 60 fps in Xvfb (CPU seconds per second, %.0f s each)" % MEASURE)
    print("%-44s %10s %14s" % ("case", "all threads", "not llvmpipe"))
    print("%-44s %10.3f %14.3f" % ("clear-only raylib program (floor)", clear_all, clear_ours))
    print("%-44s %10.3f %14.3f" % ("panel, no program open", empty_all, empty_ours))
    print("%-44s %10.3f %14.3f" % ("panel, 9-line program open (same rows drawn)", small_all,
                                   small_ours))
    print("%-44s %10.3f %14.3f" % ("panel, 10,000-line program open", big_all, big_ours))
    print("ratio 10,000-line program / no program (all threads): %.2fx  (goal <= 1.1x)"
          % (big_all / empty_all))
    print("ratio 10,000-line program / 9-line program (all threads): %.2fx  (the reads alone)"
          % (big_all / small_all))
    print("ratio panel / clear-only (threads not llvmpipe):      %.2fx  (goal <= 1.2x)"
          % (empty_ours / clear_ours))


if __name__ == "__main__":
    main()
