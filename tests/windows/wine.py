"""Runs the Windows build, tallomir.exe, under Wine: one private prefix for a
whole test run, a wineserver of its own for each start of the program, and
COM5 reaching a pseudo-terminal through the prefix's device links.

Every process started here is stopped by its PID, also when a test fails."""

import atexit
import os
import shutil
import subprocess
import tempfile

import harness

WIN_BUILD = os.environ.get("TALLOMIR_WIN_BUILD",
                           os.path.join(os.path.dirname(__file__), "../../build-win"))
PANEL_EXE = os.path.join(WIN_BUILD, "tallomir.exe")

# No debug chatter, and no Mono or Gecko installer prompts while the prefix is made.
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}

# Wine's default debugger waits on a crash dialog nobody answers; with a
# debugger that cannot start, a crashed program ends at once, its exit
# status the low byte of the exception code.
AEDEBUG_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
NO_DEBUGGER = "tallomir-no-debugger"

# A wineserver lingers this long after its last program, then ends on its own.
SERVER_LINGER_S = "1"
SERVER_START_TIMEOUT_S = 10
SERVER_END_TIMEOUT_S = 20


class WinePrefix:
    """A fresh Wine configuration in root; making one takes a few seconds.
    It is also the launcher harness.Panel takes for tallomir.exe."""

    # Wine's own start now and then ends at once without a word; harness.Panel
    # then starts the program once more.
    starts = 2

    def __init__(self, root):
        self._server = None
        self.path = os.path.join(root, "wineprefix")
        self.env = dict(os.environ, WINEPREFIX=self.path, **WINE_ENV)
        self._setup("wineboot", "-i")
        self._setup("wine", "reg", "add", AEDEBUG_KEY, "/v", "Debugger", "/d", NO_DEBUGGER, "/f")
        # Wine links COMn to the machine's /dev/ttyS{n-1} when that exists and
        # rewrites such a link whenever its server starts.
        if os.path.lexists(self._com5()):
            raise RuntimeError("Wine gave COM5 to a serial port of this machine: " +
                               os.readlink(self._com5()))

    def _setup(self, *command):
        subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       timeout=300)
        # The server the command started must be gone before one of ours starts.
        subprocess.run(["wineserver", "-w"], env=self.env, check=True, timeout=60)

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
        # The previous start's server must have gone, or ours would end at once.
        if self._server is not None:
            self._end_server(self._server)
        proc = subprocess.Popen(["wineserver", "-f", "-p" + SERVER_LINGER_S], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self._server = proc
        test.addCleanup(self._end_server, proc)
        # A program started before the server listens would start a server
        # of its own, in the background.
        harness.wait_for(lambda: self._listening(proc), SERVER_START_TIMEOUT_S, "the wineserver")
        return proc

    def _listening(self, proc):
        if proc.poll() is not None:
            raise AssertionError("the wineserver ended at once: another one serves " + self.path)
        return os.path.exists(self._server_socket())

    def _server_socket(self):
        # Wine names its server directory in the prefix.
        with open(os.path.join(self.path, "wineserver")) as f:
            server_dir = f.read().strip()
        prefix = os.stat(self.path)
        return os.path.join(tempfile.gettempdir(), server_dir,
                            "server-%x-%x" % (prefix.st_dev, prefix.st_ino), "socket")

    @staticmethod
    def _end_server(proc):
        # Stopped early, the server would leave Wine's service processes
        # behind; it ends them itself once its last program has gone.
        try:
            proc.wait(SERVER_END_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            harness.stop(proc)

    def start(self, test, env, device, program=PANEL_EXE):
        """The command and environment that start program (tallomir.exe)
        with COM5 leading to device; env is the display's. Run it in
        WORK/bin: "..\\Programs\\" is then WORK/Programs (Wine sees both
        through drive Z:)."""
        self.connect_com5(device)
        self.start_server(test)
        return ["wine", os.path.abspath(program)], dict(env, WINEPREFIX=self.path, **WINE_ENV)

    @staticmethod
    def console_text(raw):
        return console_text(raw)


def console_text(raw):
    """The program's console output with Linux line ends: Windows text mode
    ends each line with CR LF."""
    return raw.replace("\r\n", "\n")


# A line break that Windows text mode did not write: one without its CR.
BARE_LF = "(^|[^\r])\n"


def no_display_env():
    return {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}


_shared = None


def shared_prefix():
    """The one prefix of this test run, made on first use in
    $TALLOMIR_WINE_ROOT (run.sh's, which it removes) or else in a folder
    removed when the run ends (every server has ended by then: each test
    waits for its own)."""
    global _shared
    if _shared is None:
        root = os.environ.get("TALLOMIR_WINE_ROOT")
        if not root:
            root = tempfile.mkdtemp(prefix="tallomir-wine-")
            atexit.register(shutil.rmtree, root, True)
        _shared = WinePrefix(root)
    return _shared


def under_wine(linux_class):
    """linux_class's tests, run against tallomir.exe under Wine."""

    class UnderWine(linux_class):
        @classmethod
        def setUpClass(cls):
            super().setUpClass()
            cls.launcher = shared_prefix()

    UnderWine.__name__ = UnderWine.__qualname__ = linux_class.__name__
    UnderWine.__module__ = "wine." + linux_class.__module__
    return UnderWine
