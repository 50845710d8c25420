"""inspect.exe, the console server through which the end-to-end tests read the program's windows
(tools/inspect.cpp): one JSON line per command line."""

import json
import os
import select
import subprocess
import time

from e2e_support import HarnessError, INSPECT_EXE, decode_text, hexarg, wine_env


# ---------------------------------------------------------------------------------------------
# inspect.exe


class Inspector:
    """One running inspect.exe, shared by all tests of a process (restarted when it died)."""

    _shared = None

    @classmethod
    def shared(cls):
        if cls._shared is None or not cls._shared.alive():
            cls._shared = cls()
        return cls._shared

    @classmethod
    def shutdown_shared(cls):
        if cls._shared is not None:
            cls._shared.close()
            cls._shared = None

    def __init__(self):
        # Standard error goes nowhere: nothing Wine starts on our behalf may hold a pipe that
        # ctest reads. The output pipe is ours and read line by line, never to its end.
        self.proc = subprocess.Popen(["wine", INSPECT_EXE], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     env=wine_env(), close_fds=True)
        self._buffer = b""
        hello = self._read_line(30.0)
        if not hello.get("ready"):
            raise HarnessError("inspect.exe did not start: %r" % hello)
        self.pid = hello["pid"]

    def alive(self):
        return self.proc.poll() is None

    def _read_line(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                self.proc.kill()
                raise HarnessError("inspect.exe did not answer within %.1f s" % timeout)
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise HarnessError("inspect.exe ended")
                self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return json.loads(line.decode("ascii"))

    def raw(self, *args, timeout=10.0):
        """Sends one command; returns the answer as is (ok may be false)."""
        line = " ".join(str(a) for a in args) + "\n"
        self.proc.stdin.write(line.encode("ascii"))
        self.proc.stdin.flush()
        return self._read_line(timeout)

    def __call__(self, *args, timeout=10.0):
        """Sends one command; raises HarnessError when it fails."""
        answer = self.raw(*args, timeout=timeout)
        if not answer.get("ok"):
            raise HarnessError("inspect %s: %r" % (" ".join(map(str, args)), answer))
        return answer

    def close(self):
        if self.alive():
            try:
                self.raw("quit", timeout=5.0)
                self.proc.wait(5.0)
            except (HarnessError, OSError, subprocess.TimeoutExpired):
                pass
        if self.alive():
            self.proc.kill()
            self.proc.wait(5.0)

    # Convenience wrappers.

    def windows(self, pid=None, cls=None, caption=None):
        args = ["find", hexarg(cls) if cls else "-", hexarg(caption) if caption else "-"]
        if pid is not None:
            args.append(pid)
        return self(*args)["windows"]

    def z_order(self):
        """Top-level window handles, topmost first."""
        return [w["hwnd"] for w in self("windows")["windows"]]

    def info(self, hwnd):
        answer = self.raw("info", hwnd)
        return answer["window"] if answer.get("ok") else None

    def child(self, hwnd, control_id):
        return self("child", hwnd, control_id)["window"]

    def children(self, hwnd):
        return self("children", hwnd)["children"]

    def text(self, hwnd):
        return decode_text(self("text", hwnd)["text"])

    def combo(self, hwnd, max_items=None):
        if max_items is None:
            return self("combo", hwnd, timeout=60.0)
        return self("combo", hwnd, max_items)

    def gui(self, tid):
        return self("gui", tid)

    def cursor(self):
        c = self("cursor")
        return c["x"], c["y"]

    def xid(self, hwnd):
        """The X window that Wine keeps for a top-level window (0 when it has none)."""
        return self("xwin", hwnd)["xid"]

    def above(self, upper, lower):
        """Whether top-level window `upper` lies above `lower` in Wine's Z order."""
        order = self.z_order()
        return order.index(upper) < order.index(lower)
