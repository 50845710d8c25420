#!/usr/bin/env python3
"""Saves and deletes on a disk that cannot take the whole file.

The profile functions rewrite the whole settings file on every write and, under Wine, do not
report a write that the disk did not take. Here the disk's limit is a file-size limit (prlimit
--fsize) on the process that writes: the Wine process of the hardening program, run in its mode
that makes one command. The file may grow no larger than it is. With the limit's signal ignored,
the disk refuses the bytes and the process goes on: a Save that needs more room must end with
the write failure that names the file and leave the file as it was; a Delete, which needs less,
is made; nothing else is left in the folder after any of them. With the signal as it comes, the
process ends in the middle of the Save: the file must still be whole, and the next command
removes whatever the ended one left.

usage: write_limit_check.py HARDENING_EXE WORK_FOLDER
"""
import os
import shutil
import signal
import subprocess
import sys

from check_support import DONE, SAVED, START, WRITE_FAILED, verdict, wine_environment, \
    windows_path


def main() -> int:
    exe, work = sys.argv[1:3]
    env = wine_environment(exe)
    # The Wine server runs unlimited: only the program's own process gets the limit.
    subprocess.run(["wineserver", "-p"], env=env, check=False)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    ini = os.path.join(work, "pelmora.ini")
    failures = []

    def command(what: str, name: str, limited: bool, expected_code: int, expected: bytes,
                killed: bool = False, start: bytes = START):
        if start is not None:
            with open(ini, "wb") as f:
                f.write(start)
        limit = ["prlimit", f"--fsize={len(START)}"] if limited else []
        signals = (lambda: None) if killed else (
            lambda: signal.signal(signal.SIGXFSZ, signal.SIG_IGN))
        run = subprocess.run(limit + ["wine", exe, "--helper-command", windows_path(ini), what,
                                      name], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, timeout=120, check=False,
                             preexec_fn=signals)
        label = f"{what} {name}" + (" under the limit" if limited else "")
        if killed:
            label += ", ended by the limit's signal"
            if run.returncode != -signal.SIGXFSZ:
                failures.append(f"{label}: exit {run.returncode}, not ended by the signal")
            with open(ini, "rb") as f:
                if f.read() != START:
                    failures.append(f"{label}: the file is not whole")
            return
        with open(ini, "rb") as f:
            after = f.read()
        print(f"{label}: exit {run.returncode}, {len(after)} bytes")
        if run.returncode != expected_code:
            failures.append(f"{label}: exit {run.returncode}, expected {expected_code}")
        if after != expected:
            failures.append(f"{label}: the file holds {after!r}")
        left = sorted(set(os.listdir(work)) - {"pelmora.ini"})
        if left:
            failures.append(f"{label}: left in the folder: {left}")

    command("save", "fresh", True, WRITE_FAILED, START)
    command("save", "keep2", True, WRITE_FAILED, START)
    command("delete", "keep2", True, DONE, START[:START.index(b"[keep2]")])
    command("save", "fresh", True, -signal.SIGXFSZ, START, killed=True)
    command("save", "fresh", False, DONE, START + b"[fresh]\r\n" + SAVED, start=None)
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main())
