"""Two monitors for the end-to-end tests: a nested X server with two Xinerama heads (Xephyr) in
a virtual X server of its own (Xvfb), and a Wine prefix without the virtual desktop, which always
shows one monitor (tools/wine-prefix.sh PREFIX two-monitors). The prefix makes the second head
the primary monitor, so the first one lies left of it at negative coordinates.

Both X servers are this process's own, on displays they choose themselves, and end with it; the
Wine server of the prefix is ended when the desk is put away. Nothing here is shared with the
display and the prefix of the other tests, so these tests can run beside them."""

import ctypes
import os
import signal
import subprocess
import tempfile

from e2e_support import BUILD, HarnessError, wine_env

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "tools")

# The heads from left to right: a smaller one, then the primary one of the size of the other
# tests' virtual desktop. The tests ask the system for the monitors' rectangles.
HEADS = ((1024, 768), (1280, 1024))

PR_SET_PDEATHSIG = 1


def _end_with_this_process():
    """Runs in the child before it starts: the child is ended when this process ends, however
    it ends (a test run killed on its time-out leaves no X server behind)."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class _XServer:
    """An X server that picks a free display itself (its lock file is taken atomically) and
    writes the display's number once it accepts connections."""

    def __init__(self, args, env=None):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(args + ["-displayfd", str(write_end), "-nolisten", "tcp"],
                                     pass_fds=(write_end,), env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     preexec_fn=_end_with_this_process)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()  # at end of file when the server failed
        if not number.isdigit():
            self.stop()
            raise HarnessError("%s did not start (exit status %r)" % (args[0], self.proc.poll()))
        self.display = ":" + number

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5.0)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5.0)


class TwoMonitorDesk:
    """Starts the X servers and the prefix and points DISPLAY and WINEPREFIX of this process at
    them; stop() ends them and gives both their former values back."""

    def __init__(self):
        self.outer = self.nested = self.prefix = None
        self.saved = {name: os.environ.get(name) for name in ("DISPLAY", "WINEPREFIX")}
        try:
            width = sum(w for w, _ in HEADS)
            height = max(h for _, h in HEADS)
            self.outer = _XServer(["Xvfb", "-screen", "0", "%dx%dx24" % (width, height)])
            heads = []
            for w, h in HEADS:
                heads += ["-screen", "%dx%d" % (w, h)]
            self.nested = _XServer(["Xephyr", "+xinerama", "-noreset"] + heads,
                                   env=dict(os.environ, DISPLAY=self.outer.display))
            self.prefix = os.path.join(BUILD, "wineprefix-two-monitors")
            os.environ["DISPLAY"] = self.nested.display
            os.environ["WINEPREFIX"] = self.prefix
            # Made once per build folder (its first start takes Wine some 13 s).
            self._run([os.path.join(TOOLS, "wine-prefix.sh"), self.prefix, "two-monitors"], 300)
            # Wine's services up before the first program, as for the other tests.
            self._run(["wine", "wineboot"], 60)
        except BaseException:
            self.stop()
            raise

    @staticmethod
    def _run(args, timeout):
        # Output to a file, not a pipe: Wine's services outlive the command and keep its output.
        with tempfile.TemporaryFile() as out:
            run = subprocess.run(args, env=wine_env(), stdin=subprocess.DEVNULL, stdout=out,
                                 stderr=subprocess.STDOUT, timeout=timeout, check=False)
            if run.returncode != 0:
                out.seek(0)
                raise HarnessError("%s failed (%d): %s" % (" ".join(args), run.returncode,
                                                           out.read().decode(errors="replace")))

    def stop(self):
        try:
            if self.prefix is not None:
                subprocess.run(["wineserver", "-k"], env=dict(wine_env(), WINEPREFIX=self.prefix),
                               timeout=30, check=False,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            for server in (self.nested, self.outer):
                if server is not None:
                    server.stop()
            for name, value in self.saved.items():
                if value is None:
                    os.environ.pop(name, None)
                else:
                    os.environ[name] = value
