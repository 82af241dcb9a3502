"""Runs the Windows build, tallomir.exe, under Wine: one private prefix for a
whole test run, a wineserver of its own for each start of the program, and
COM5 reaching a pseudo-terminal through the prefix's device links.

Every process started here is stopped by its PID, also when a test fails."""

import os
import subprocess

import harness

WIN_BUILD = os.environ.get("TALLOMIR_WIN_BUILD",
                           os.path.join(os.path.dirname(__file__), "../../build-win"))
PANEL_EXE = os.path.join(WIN_BUILD, "tallomir.exe")

# No debug chatter, and no Mono or Gecko installer prompts while the prefix is made.
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}

# A wineserver lingers this long after its last program, then ends on its own.
SERVER_LINGER_S = "1"
SERVER_END_TIMEOUT_S = 20


class WinePrefix:
    """A fresh Wine configuration in root; making one takes a few seconds."""

    def __init__(self, root):
        self.path = os.path.join(root, "wineprefix")
        self.env = dict(os.environ, WINEPREFIX=self.path, **WINE_ENV)
        subprocess.run(["wineboot", "-i"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       timeout=300)
        # The server wineboot started must be gone before one of ours starts.
        subprocess.run(["wineserver", "-w"], env=self.env, check=True, timeout=60)
        # Wine links COMn to the machine's /dev/ttyS{n-1} when that exists and
        # rewrites such a link whenever its server starts.
        if os.path.lexists(self._com5()):
            raise RuntimeError("Wine gave COM5 to a serial port of this machine: " +
                               os.readlink(self._com5()))

    def _com5(self):
        return os.path.join(self.path, "dosdevices", "com5")

    def connect_com5(self, device):
        """COM5 leads to device from now on, or nowhere when device is None."""
        if os.path.lexists(self._com5()):
            os.remove(self._com5())
        if device:
            os.symlink(device, self._com5())

    def start_server(self, test):
        """A wineserver for the next program. In the foreground it stays in
        our session, so it never takes the simulator's pseudo-terminal as its
        controlling terminal (a hang-up there makes it dump its object table),
        and its output stays out of the program's."""
        proc = subprocess.Popen(["wineserver", "-f", "-p" + SERVER_LINGER_S], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        test.addCleanup(self._end_server, proc)
        return proc

    @staticmethod
    def _end_server(proc):
        # Stopped early, the server would leave Wine's service processes
        # behind; it ends them itself once its last program has gone.
        try:
            proc.wait(SERVER_END_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            harness.stop(proc)

    def panel(self, test, x, device=None):
        """The command and environment that start tallomir.exe on x's display
        with COM5 leading to device. Run it in WORK/bin: "..\\Programs\\" is
        then WORK/Programs (Wine sees both through drive Z:)."""
        self.connect_com5(device)
        self.start_server(test)
        env = x.env()
        env.update(WINEPREFIX=self.path, **WINE_ENV)
        return ["wine", os.path.abspath(PANEL_EXE)], env


def console_text(raw):
    """The program's console output with Linux line ends: Windows text mode
    ends each line with CR LF."""
    return raw.replace("\r\n", "\n")
