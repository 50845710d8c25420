"""What the end-to-end tests' support shares: the build's programs, window-system constants, the
main window's control IDs (read from the program's own header), Wine's environment, bounded
waits and text answers."""

import os
import re
import time

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
