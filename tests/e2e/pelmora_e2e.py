"""Support for Pelmora's end-to-end tests.

The tests drive the real pelmora.exe under Wine on the X display that dev.sh prepares (Wine as
a virtual desktop), with real X input from xdotool, and read the program's state through
inspect.exe, a console server of the project's own (tools/inspect.cpp) that answers one JSON line
per command line.

Every wait here is bounded; every failure names what was waited for.
"""

import json
import os
import re
import select
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile

BUILD = os.environ.get("PELMORA_E2E_BUILD", "")
PELMORA_EXE = os.path.join(BUILD, "pelmora.exe")
INSPECT_EXE = os.path.join(BUILD, "inspect.exe")

# Window styles (winuser.h).
WS_OVERLAPPEDWINDOW = 0x00CF0000
WS_CAPTION = 0x00C00000
WS_SYSMENU = 0x00080000
WS_THICKFRAME = 0x00040000
WS_CLIPSIBLINGS = 0x04000000
WS_CLIPCHILDREN = 0x02000000
WS_VISIBLE = 0x10000000
WS_HSCROLL = 0x00100000
WS_VSCROLL = 0x00200000
WS_EX_TOPMOST = 0x00000008
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_WINDOWEDGE = 0x00000100
WS_EX_CONTROLPARENT = 0x00010000
WM_CLOSE = 0x0010

CONTROL_IDS_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir,
                                  "src", "ui", "ControlIds.h")


def read_control_ids(header=CONTROL_IDS_HEADER):
    """The main window's control IDs by name ("NameBox", "Save", ...), from the program's own
    header: lines of the form `inline constexpr int k<Name>Id = <number>;`."""
    ids = {}
    with open(header, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"inline constexpr int k(\w+)Id = (\d+);", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


def _control_id(ids, name):
    if name not in ids:
        raise ImportError("no control ID k%sId in %s (found: %s)"
                          % (name, CONTROL_IDS_HEADER, ", ".join(sorted(ids)) or "none"))
    return ids[name]


_IDS = read_control_ids()
ID_NAME_BOX = _control_id(_IDS, "NameBox")
ID_SAVE = _control_id(_IDS, "Save")
ID_RECALL = _control_id(_IDS, "Recall")
ID_DELETE = _control_id(_IDS, "Delete")
ID_READOUT = _control_id(_IDS, "Readout")

ANSI = "cp932"  # the tests' ANSI code page (Japanese locale)


class HarnessError(Exception):
    """The harness itself could not do its work (as opposed to a failed expectation)."""


def wine_env():
    env = dict(os.environ)
    env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", LANG="ja_JP.UTF-8",
               LC_ALL="ja_JP.UTF-8")
    if not env.get("WINEPREFIX") and BUILD:
        env["WINEPREFIX"] = os.path.join(BUILD, "wineprefix")
    return env


def hexarg(text):
    """A string argument for inspect.exe: hexadecimal UTF-8, "-" for the empty string."""
    return text.encode("utf-8").hex() or "-"


def wine_path(unix_path):
    """The Windows path under which Wine's drive Z: shows a Unix path."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def wait_until(probe, timeout, what, interval=0.02, describe=None):
    """Calls probe() until it returns a true value, which is returned; fails after `timeout`
    seconds with `what` and the last value seen, or what describe() tells then."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = probe()
        if last:
            return last
        if time.monotonic() >= deadline:
            seen = describe() if describe else repr(last)
            raise AssertionError("timed out after %.1f s waiting for %s (last seen: %s)"
                                 % (timeout, what, seen))
        time.sleep(interval)


def decode_text(text_obj):
    """The ANSI bytes of a text answer, decoded from the code page."""
    return bytes.fromhex(text_obj["hex"]).decode(ANSI)


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


# ---------------------------------------------------------------------------------------------
# Real X input


class XInput:
    """xdotool on the display; converts Wine's screen coordinates to the X screen's."""

    def __init__(self, inspector=None):
        self.offset = self._desktop_offset()
        self.inspect = inspector

    @staticmethod
    def tree():
        """xwininfo's tree of the X screen. A window that goes away during the walk makes
        xwininfo fail; it is asked again then."""
        for _ in range(10):
            run = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True,
                                 timeout=10)
            if run.returncode == 0:
                return run.stdout
            time.sleep(0.05)
        raise HarnessError("xwininfo -root -tree keeps failing: %s" % run.stderr.strip())

    @staticmethod
    def _desktop_offset():
        # With Wine as a virtual desktop, Wine's screen is one X window; its origin on the X
        # screen is what Wine's coordinates are measured from.
        for line in XInput.tree().splitlines():
            if "Wine desktop" in line:
                geometry = line.split()[-2]  # e.g. 1280x1024+0+0
                _, x, y = geometry.replace("+", " ").replace("-", " -").split()
                return int(x), int(y)
        return 0, 0  # no virtual desktop: Wine's windows are the X screen's own

    @staticmethod
    def stacking():
        """The X windows directly under Wine's desktop window, topmost first (xwininfo lists a
        window's children from the top of the stack down)."""
        ids, desktop_depth, child_depth = [], None, None
        for line in XInput.tree().splitlines():
            text = line.lstrip()
            depth = len(line) - len(text)
            if desktop_depth is None:
                if "Wine desktop" in line:
                    desktop_depth = depth
                continue
            if not text.startswith("0x"):
                continue
            if depth <= desktop_depth:
                break
            child_depth = child_depth or depth
            if depth == child_depth:
                ids.append(int(text.split()[0], 16))
        return ids

    @staticmethod
    def viewable(xid):
        """Whether an X window is mapped and so can take pointer input."""
        out = subprocess.run(["xwininfo", "-id", str(xid)], capture_output=True, text=True,
                             timeout=10).stdout
        return "IsViewable" in out

    @staticmethod
    def stacked_above(upper, lower):
        """Whether X window `upper` lies above `lower` under Wine's desktop window."""
        stack = XInput.stacking()
        return stack.index(upper) < stack.index(lower)

    def pixel(self, x, y):
        """The colour (r, g, b) that the X screen shows at Wine's screen point x, y."""
        out = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (
            x + self.offset[0], y + self.offset[1]), "-depth", "8", "txt:-"],
            capture_output=True, text=True, timeout=10, check=True).stdout
        values = out.splitlines()[1].split("(")[1].split(")")[0].split(",")
        return tuple(int(float(v)) for v in values[:3])

    def _run(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True, timeout=10,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def move(self, x, y):
        """Moves the pointer and, given an inspector, waits until Wine has taken the new
        position. A button pressed right after a motion can otherwise reach a program before
        that motion (seen with Wine 8: the checker then starts its drag from the old place)."""
        self._run("mousemove", x + self.offset[0], y + self.offset[1])
        if self.inspect is not None:
            wait_until(lambda: self.inspect.cursor() == (x, y), 3.0,
                       "Wine's cursor at %d, %d" % (x, y), interval=0.005)

    def down(self, button=1):
        self._run("mousedown", button)

    def up(self, button=1):
        self._run("mouseup", button)

    def click_at(self, x, y, button=1):
        self.move(x, y)
        self._run("click", button)

    def key(self, *keys):
        self._run("key", "--delay", "30", *keys)

    def type(self, text):
        self._run("type", "--delay", "40", text)


# ---------------------------------------------------------------------------------------------
# One running Pelmora


class Pelmora:
    """pelmora.exe copied into a fresh temporary folder of its own (so it has its own
    pelmora.ini), or unpacked there from a release archive, and started through inspect.exe,
    which knows its process id."""

    def __init__(self, inspector, ini_bytes=None, ini_is_folder=False, folder_name=None,
                 archive=None):
        self.inspect = inspector
        self.root = tempfile.mkdtemp(prefix="pelmora-e2e-")
        self.folder = os.path.join(self.root, folder_name) if folder_name else self.root
        os.makedirs(self.folder, exist_ok=True)
        self.exe = os.path.join(self.folder, "pelmora.exe")
        if archive:
            with zipfile.ZipFile(archive) as z:
                z.extractall(self.folder)
        else:
            shutil.copyfile(PELMORA_EXE, self.exe)
        self.ini = os.path.join(self.folder, "pelmora.ini")
        if ini_is_folder:
            os.mkdir(self.ini)
        elif ini_bytes is not None:
            with open(self.ini, "wb") as f:
                f.write(ini_bytes)
        self.pid = None
        self.main = self.checker = self.app = None

    # Start and end.

    def start(self, show_command=None, timeout=15.0):
        """Starts the program (with a window-show request when given) and waits for its
        application window and main window to exist; returns at once after that."""
        args = ["start", hexarg(wine_path(self.exe)), hexarg(wine_path(self.folder))]
        if show_command is not None:
            args.append(show_command)
        self.pid = self.inspect(*args)["pid"]
        self.app = wait_until(lambda: self._one("TApplication"), timeout,
                              "the application window to be created")
        self.main = wait_until(lambda: self._one("TFormMain"), timeout,
                               "the main window to be created")
        return self

    def wait_shown(self, timeout=15.0):
        """Waits until the main window and the checker are on the screen."""
        self.main = wait_until(lambda: self._visible("TFormMain"), timeout,
                               "the main window to be shown")
        self.checker = wait_until(lambda: self._visible("TFormC"), timeout,
                                  "the checker window to be shown")
        for window in (self.main, self.checker):
            xid = self.inspect.xid(window["hwnd"])
            wait_until(lambda: xid and XInput.viewable(xid), timeout,
                       "the X window of %s to be mapped" % window["class"])
        return self

    def _one(self, cls):
        found = self.inspect.windows(pid=self.pid, cls=cls)
        return found[0] if len(found) == 1 else None

    def _visible(self, cls):
        found = [w for w in self.inspect.windows(pid=self.pid, cls=cls) if w["visible"]]
        return found[0] if len(found) == 1 else None

    def alive(self):
        return not self.inspect("alive", self.pid)["exited"]

    def wait_exit(self, timeout=5.0):
        return self.inspect("waitexit", self.pid, int(timeout * 1000))

    def stop(self):
        """Ends the program whatever its state and removes its folder."""
        try:
            if self.pid is not None and Inspector._shared is self.inspect and self.inspect.alive():
                self.inspect.raw("kill", self.pid)
        finally:
            shutil.rmtree(self.root, ignore_errors=True)

    # State.

    def main_info(self):
        return self.inspect.info(self.main["hwnd"])

    def checker_info(self):
        return self.inspect.info(self.checker["hwnd"])

    def checker_rect(self):
        r = self.checker_info()["rect"]
        return r["left"], r["top"], r["width"], r["height"]

    def control(self, control_id):
        return self.inspect.child(self.main["hwnd"], control_id)

    def readout(self):
        return self.inspect.text(self.control(ID_READOUT)["hwnd"])

    def name_box(self):
        """(items, selected index, edit text), texts decoded from the ANSI code page."""
        c = self.inspect.combo(self.control(ID_NAME_BOX)["hwnd"])
        return [decode_text(i) for i in c["items"]], c["cursel"], decode_text(c["edit"])

    def name_box_text(self):
        """Only the edit text of the name box (quick also with a long list)."""
        return self.inspect.text(self.control(ID_NAME_BOX)["hwnd"])

    def name_box_bytes(self):
        c = self.inspect.combo(self.control(ID_NAME_BOX)["hwnd"])
        return [bytes.fromhex(i["hex"]) for i in c["items"]], bytes.fromhex(c["edit"]["hex"])

    def ini_bytes(self):
        try:
            with open(self.ini, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def gui(self):
        return self.inspect.gui(self.main["tid"])

    def windows_of_program(self):
        return self.inspect.windows(pid=self.pid)

    @staticmethod
    def readout_for(left, top, width):
        return "pos_x=%d\r\npos_y=%d\r\nwidth=%d" % (left, top, width)

    def wait_readout(self, left, top, width, timeout=3.0):
        expected = self.readout_for(left, top, width)
        wait_until(lambda: self.readout() == expected, timeout,
                   "the readout %r (now %r)" % (expected, self.readout()))

    def wait_checker_at(self, rect, timeout=3.0):
        wait_until(lambda: self.checker_rect() == tuple(rect), timeout,
                   "the checker at %r (now %r)" % (tuple(rect), self.checker_rect()))

    def wait_active(self, hwnd, timeout=3.0, what="window"):
        wait_until(lambda: self.gui()["active"] == hwnd, timeout, "the %s to be active" % what,
                   describe=lambda: "gui %r, foreground %r" % (
                       self.gui(), self.inspect.info(self.gui()["foreground"])))

    def message_boxes(self):
        """The program's visible top-level dialog windows."""
        return [w for w in self.inspect.windows(pid=self.pid, cls="#32770") if w["visible"]]


def other_window(test, left, top, width, height, caption):
    """An ordinary window of another process (inspect.exe), shown without activation; closed
    when the test ends. Returns its facts once Wine shows it and X has mapped it."""
    inspect = test.inspect
    hwnd = inspect("mkwin", left, top, width, height, hexarg(caption))["hwnd"]
    test.addCleanup(lambda: inspect.raw("close", hwnd))
    info = wait_until(lambda: (inspect.info(hwnd) or {}).get("visible") and inspect.info(hwnd),
                      3.0, "the window %r to be shown" % caption)
    wait_until(lambda: XInput.viewable(inspect.xid(hwnd)), 3.0,
               "the X window of %r to be mapped" % caption)
    return info


def center(info, part="rect"):
    r = info[part]
    return r["left"] + r["width"] // 2, r["top"] + r["height"] // 2


# ---------------------------------------------------------------------------------------------
# Test case base


def require_pelmora(test_case_class):
    """Skips the class only when pelmora.exe has not been built; every other problem fails."""
    if not os.path.isfile(PELMORA_EXE):
        return unittest.skip("pelmora.exe is not built")(test_case_class)
    return test_case_class


class E2ETestCase(unittest.TestCase):
    """Each test gets a fresh Pelmora in a fresh folder; the program is ended afterwards."""

    ini_bytes = None
    ini_is_folder = False
    folder_name = None
    archive = None  # a release archive to unpack into the folder instead of the build's program
    show_command = None  # the window-show request the program is started with (SW_...)
    start_shown = True  # wait in setUp until both windows are on the screen

    @classmethod
    def setUpClass(cls):
        cls.inspect = Inspector.shared()
        cls.x = XInput(cls.inspect)

    def setUp(self):
        self.inspect = Inspector.shared()
        self.x.inspect = self.inspect  # the shared inspector may have been started anew
        acp = self.inspect("acp")["acp"]
        self.assertEqual(acp, 932, "the tests need the Japanese ANSI code page")
        self.app = Pelmora(self.inspect, self.ini_bytes, self.ini_is_folder, self.folder_name,
                           self.archive)
        self.addCleanup(self.app.stop)
        self.app.start(self.show_command)
        if self.start_shown:
            self.app.wait_shown()
            # Start-up is over when the checker's first report has replaced the designed lines.
            r = self.app.checker_rect()
            self.app.wait_readout(r[0], r[1], r[2], timeout=5.0)

    # Real input on the program's windows.

    def click_control(self, control_id):
        self.x.click_at(*center(self.app.control(control_id), "client"))

    def click_checker(self, dx=60, dy=40):
        c = self.app.checker_info()["client"]
        self.x.click_at(c["left"] + dx, c["top"] + dy)
        self.app.wait_active(self.app.checker["hwnd"], what="checker window")
        # The button is up again: nothing may keep the mouse captured.
        wait_until(lambda: self.app.gui()["capture"] == 0, 3.0, "the mouse capture released")

    def in_move_loop(self):
        return self.app.gui()["movesize"] == self.app.checker["hwnd"]

    def drag_checker(self, press, offsets, check_each=True):
        """Presses the left button at `press` (inside the checker), moves the pointer to press +
        each offset in turn and releases it. After the first step it waits for the system's move
        loop: pointer motion that arrives before the loop has started is not applied by it
        (the loop takes the pointer's position at its start as its reference). With check_each
        the checker must follow each step exactly: the pressed point stays under the pointer."""
        left, top, width, height = self.app.checker_rect()
        self.x.move(*press)
        self.x.down()
        try:
            for i, (dx, dy) in enumerate(offsets):
                self.x.move(press[0] + dx, press[1] + dy)
                if check_each or i == 0:
                    self.app.wait_checker_at((left + dx, top + dy, width, height))
                    self.app.wait_readout(left + dx, top + dy, width)
                if i == 0:
                    wait_until(self.in_move_loop, 3.0, "the system's move loop")
        finally:
            self.x.up()
        wait_until(lambda: not self.in_move_loop(), 3.0, "the move loop to end")
        dx, dy = offsets[-1]
        self.app.wait_checker_at((left + dx, top + dy, width, height))
        return left + dx, top + dy, width, height

    def type_name(self, text):
        """Clicks into the name box's edit field, empties it and types `text`."""
        box = self.app.control(ID_NAME_BOX)
        edit = [c["window"] for c in self.inspect.children(box["hwnd"])
                if c["window"]["class"].lower() == "edit"]
        self.assertEqual(len(edit), 1, "the name box has one edit field")
        self.x.click_at(*center(edit[0], "client"))
        self.app.wait_active(self.app.main["hwnd"], what="main window")
        self.x.key("End", "shift+Home", "BackSpace")
        wait_until(lambda: self.app.name_box_text() == "", 3.0, "an empty name box")
        if not text:
            return
        if text.isascii():
            self.x.type(text)
        else:
            self.type_outside_the_keymap(text)
        wait_until(lambda: self.app.name_box_text() == text, 3.0,
                   "the name box to show %r" % text,
                   describe=lambda: repr(self.app.name_box_text()))

    def type_outside_the_keymap(self, text):
        """Types characters that the keymap lacks. Left to itself, xdotool would remap a spare
        keycode for each one for a moment, and Wine can read the key before it has taken the new
        keymap (the character is lost). Instead the characters get spare keycodes of their own
        first; an ASCII key typed after that and seen in the name box shows that Wine has read
        the new keymap (its X events arrive in order), and the characters are then typed with
        keycodes that stay put. The keycodes are freed again when the test ends."""
        keysyms = ["U%04X" % ord(ch) for ch in dict.fromkeys(text)]
        table = subprocess.run(["xmodmap", "-pke"], capture_output=True, text=True, timeout=10,
                               check=True).stdout
        spare = [line.split()[1] for line in table.splitlines() if line.strip().endswith("=")]
        self.assertGreaterEqual(len(spare), len(keysyms), "spare keycodes for %r" % text)
        mapping = list(zip(spare, keysyms))

        def remap(assignments):
            args = ["xmodmap"]
            for keycode, keysym in assignments:
                args += ["-e", "keycode %s = %s" % (keycode, keysym)]
            subprocess.run(args, check=True, timeout=10)

        remap(mapping)
        self.addCleanup(remap, [(keycode, "") for keycode, _ in mapping])
        before = self.app.name_box_text()
        self.x.type("x")
        wait_until(lambda: self.app.name_box_text() == before + "x", 3.0,
                   "a key typed after the keymap changed",
                   describe=lambda: repr(self.app.name_box_text()))
        self.x.key("BackSpace")
        wait_until(lambda: self.app.name_box_text() == before, 3.0, "the probe key taken back",
                   describe=lambda: repr(self.app.name_box_text()))
        self.x.type(text)

    def assert_checker_drawn_above_main(self):
        """The checker overlaps the main window's readout: it must lie above the main window in
        Wine's Z order, in the X stacking order, and so on the screen, where a point of the
        readout (a white edit field) under the checker's client area shows the checker's colour."""
        main, checker = self.app.main["hwnd"], self.app.checker["hwnd"]
        self.assertTrue(self.inspect.above(checker, main), "Wine's Z order: checker above main")
        memo = self.app.control(ID_READOUT)["client"]
        c = self.app.checker_info()["client"]
        main_rect = self.app.main_info()["rect"]
        y = memo["top"] + memo["height"] - 5
        readout_only = (memo["left"] + 10, y)
        covered = (c["left"] + 10, y)
        checker_only = (c["left"] + c["width"] - 10, y)
        self.assertTrue(readout_only[0] < c["left"] < covered[0] < memo["left"] + memo["width"]
                        and checker_only[0] > main_rect["left"] + main_rect["width"]
                        and c["top"] < y < c["top"] + c["height"],
                        "the checker (client %r) overlaps the readout (%r) as the test needs"
                        % (c, memo))
        x_checker, x_main = self.inspect.xid(checker), self.inspect.xid(main)
        wait_until(lambda: XInput.stacked_above(x_checker, x_main), 3.0,
                   "the checker's X window above the main window's")
        self.wait_screen_shows_cover(readout_only, covered, checker_only,
                                     "the checker where it covers the readout")

    def wait_screen_shows_cover(self, below_only, covered, upper_only, what):
        """Waits until the screen shows the upper window's colour at `covered` and at
        `upper_only`, and another colour (the lower window's) at `below_only`."""
        def colours():
            return tuple(self.x.pixel(*p) for p in (below_only, covered, upper_only))

        wait_until(lambda: (lambda c: c[0] != c[2] == c[1])(colours()), 3.0,
                   "the screen to show " + what,
                   describe=lambda: "lower only, covered, upper only: %r" % (colours(),))
