"""What the hardening checks that run the test program from a folder of their own share."""
import os
import shutil
import sys

# The file that the checks start from, what their Save writes, and what the command mode of the
# hardening program answers.
START = (b"[keep1]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n"
         b"[keep2]\r\npos_x=5\r\n")
SAVED = b"pos_x=1234567\r\npos_y=-1234567\r\nwidth=7654321\r\nheight=7654321\r\n"
DONE, WRITE_FAILED, OTHER_FAILURE = 0, 30, 31


def wine_environment(exe: str) -> dict:
    """The environment of tools/wine-run.sh: the build folder's prefix, code page 932."""
    env = dict(os.environ)
    if not env.get("WINEPREFIX"):
        folder = os.path.dirname(os.path.abspath(exe))
        while folder != "/" and not os.path.isdir(os.path.join(folder, "wineprefix")):
            folder = os.path.dirname(folder)
        env["WINEPREFIX"] = os.path.join(folder, "wineprefix")
    env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", LANG="ja_JP.UTF-8",
               LC_ALL="ja_JP.UTF-8")
    return env


def windows_path(unix_path: str) -> str:
    """The path as Wine's drive Z: shows it."""
    return "Z:" + unix_path.replace("/", "\\")


def verdict(failures: list, work: str) -> int:
    """Prints the failures; removes the work folder when there are none. The exit code."""
    for failure in failures:
        print("FAILED:", failure, file=sys.stderr)
    if not failures:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0
