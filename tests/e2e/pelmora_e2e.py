"""Support for Pelmora's end-to-end tests.

The tests drive the real pelmora.exe under Wine on the X display that dev.sh prepares (Wine as
a virtual desktop), with real X input from xdotool, and read the program's state through
inspect.exe, a console server of the project's own (tools/inspect.cpp) that answers one JSON line
per command line.

Every wait here is bounded; every failure names what was waited for.
"""

import os
import subprocess
import unittest

# The tests import all they use from here.
from e2e_support import *  # noqa: F401,F403
from e2e_inspector import Inspector  # noqa: F401
from e2e_program import Pelmora  # noqa: F401
from e2e_xinput import XInput  # noqa: F401


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

    # The program's message box: one at a time.

    def wait_box(self):
        return wait_until(lambda: (lambda b: b[0] if len(b) == 1 else None)(
            self.app.message_boxes()), 5.0, "one message box")

    def box_texts(self, box):
        """The box's texts (its static controls that show one) and its buttons (window, text)."""
        statics, buttons = [], []
        for c in self.inspect.children(box["hwnd"]):
            cls = c["window"]["class"].lower()
            text = decode_text(c["text"])
            if cls == "static" and text:
                statics.append(text)
            elif cls == "button":
                buttons.append((c["window"], text))
        return statics, buttons

    def close_box(self, buttons):
        """Clicks the box's first button and waits until the box is gone."""
        self.x.click_at(*center(buttons[0][0], "client"))
        wait_until(lambda: not self.app.message_boxes(), 3.0, "the box to close")

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
