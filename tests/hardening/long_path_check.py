#!/usr/bin/env python3
"""A copy of the hardening program in a folder whose path is over the 260-character limit.

Wine starts a program from such a folder only by its Unix path (CreateProcess refuses it), so
this check runs outside the test program: it copies the program there, runs it in the mode that
saves a setting beside the executable, as the program does, and checks that the save was refused
with the message that says why, and that no settings file was written anywhere, neither beside
the program nor at the cut path that the ANSI path functions give.

usage: long_path_check.py HARDENING_EXE WORK_FOLDER WINE_RUN
"""
import os
import shutil
import subprocess
import sys

from check_support import verdict, windows_path

MESSAGE = "実行ファイルのパスが長すぎるため、設定ファイルを開けません".encode("cp932")


def main() -> int:
    exe, work, wine_run = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    deep = os.path.join(work, *(letter * 60 for letter in "abcd"))
    os.makedirs(deep)
    probe = os.path.join(deep, "pelmora-probe.exe")
    shutil.copy(exe, probe)
    result = os.path.join(work, "result.txt")
    print(f"program path: {len(windows_path(probe))} characters")

    run = subprocess.run([wine_run, probe, "--helper-beside-exe", windows_path(result)],
                         capture_output=True, timeout=120, check=False)
    failures = []
    if run.returncode != 0:
        failures.append(f"the copy ended with {run.returncode}: {run.stdout!r} {run.stderr!r}")
    report = open(result, "rb").read() if os.path.exists(result) else b""
    print(report.decode("cp932", "replace").strip())
    if b"failed " + MESSAGE not in report:
        failures.append("the save was not refused with the path message")
    written = [os.path.join(d, f) for d, _, files in os.walk(work) for f in files
               if f.lower().endswith(".ini")]
    if written:
        failures.append(f"settings files written: {written}")
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main())
