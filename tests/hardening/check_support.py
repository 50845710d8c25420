"""What the hardening checks that run the test program from a folder of their own share."""
import shutil
import sys


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
