"""Real X input for the end-to-end tests: xdotool, and what the X screen shows."""

import subprocess
import time

from e2e_support import HarnessError, wait_until


# ---------------------------------------------------------------------------------------------
# Real X input


class XInput:
    """xdotool on the display; converts Wine's screen coordinates to the X screen's."""

    def __init__(self, inspector=None):
        self.offset = self._desktop_offset(inspector)
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
    def _desktop_offset(inspector):
        # With Wine as a virtual desktop, Wine's screen is one X window; its origin on the X
        # screen is what Wine's coordinates are measured from.
        for line in XInput.tree().splitlines():
            if "Wine desktop" in line:
                geometry = line.split()[-2]  # e.g. 1280x1024+0+0
                _, x, y = geometry.replace("+", " ").replace("-", " -").split()
                return int(x), int(y)
        # No virtual desktop: Wine's windows are the X screen's own, and the X screen begins at
        # the top left corner of the rectangle around all monitors (a monitor left of the
        # primary one has negative coordinates, the primary one's corner is 0, 0).
        if inspector is None:
            return 0, 0
        around = inspector("monitors")["virtual"]
        return -around["left"], -around["top"]

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
