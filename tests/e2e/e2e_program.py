"""One running Pelmora for the end-to-end tests, in a fresh folder of its own."""

import os
import shutil
import tempfile
import zipfile

from e2e_inspector import Inspector
from e2e_support import (ID_NAME_BOX, ID_READOUT, PELMORA_EXE, decode_text, hexarg, wait_until,
                          wine_path)
from e2e_xinput import XInput


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
