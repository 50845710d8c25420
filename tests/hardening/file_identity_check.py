#!/usr/bin/env python3
"""Save and Delete change the settings file itself, whatever leads to it.

Each case makes the settings file as users have it, runs one Save and one Delete through the
command mode of the hardening program (the program's own commands, under Wine), and checks what
belongs to the file itself beside its bytes:
- a symbolic link to a file in another folder (a synced folder) stays a link to that file, which
  takes the change;
- a file that only its owner may read (mode 600) keeps its mode, and is the same file;
- a file with a second name (a hard link in another folder) stays one file: the other name sees
  the change;
- a link whose file lies on a disk that cannot be written (mounted read-only): refused with the
  write failure, nothing changed, and the link stays; the bytes that an ended command left to be
  written into it stay, and nothing is written over them;
- a link to a file on a full disk: a Save that needs more room is refused and leaves the file's
  bytes as they were; a Delete, which needs less, is made;
- the leftovers of a command ended in the middle of its write into the file (the file cut, the
  checked settings beside it under their own name): the next command finishes that write first.
Nothing but the settings file is left in either folder afterwards.

The disks are small tmpfs mounts, so the check runs as root (as ./dev.sh test does).

usage: file_identity_check.py HARDENING_EXE WORK_FOLDER
"""
import os
import shutil
import stat
import subprocess
import sys

from check_support import DONE, OTHER_FAILURE, SAVED, START, WRITE_FAILED, verdict, \
    wine_environment, windows_path

AFTER_SAVE = START + b"[fresh]\r\n" + SAVED
AFTER_DELETE = AFTER_SAVE.replace(b"[keep2]\r\npos_x=5\r\n", b"")


class Check:
    def __init__(self, exe: str, work: str):
        self.exe, self.work = exe, work
        self.env = wine_environment(exe)
        self.failures = []
        self.mounts = []

    def folder(self, name: str, tmpfs: str = "") -> str:
        path = os.path.join(self.work, name)
        os.makedirs(path)
        if tmpfs:
            subprocess.run(["mount", "-t", "tmpfs", "-o", tmpfs, "tmpfs", path], check=True)
            self.mounts.append(path)
        return path

    def unmount_all(self):
        for path in reversed(self.mounts):
            subprocess.run(["umount", path], check=False)
        self.mounts.clear()

    def command(self, label: str, ini: str, what: str, name: str, code: int):
        run = subprocess.run(["wine", self.exe, "--helper-command", windows_path(ini), what, name],
                             env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             timeout=120, check=False)
        print(f"{label}: {what} {name}: exit {run.returncode}")
        self.expect(run.returncode == code, f"{label}: {what} {name}: exit {run.returncode}, "
                                            f"expected {code}")

    def expect(self, ok: bool, failure: str):
        if not ok:
            self.failures.append(failure)

    def expect_bytes(self, label: str, path: str, expected: bytes):
        with open(path, "rb") as f:
            held = f.read()
        shown = held if len(held) <= 160 else held[:80] + b"..." + held[-80:]
        self.expect(held == expected, f"{label}: {path} holds {shown!r} ({len(held)} bytes)")

    def expect_only(self, label: str, folder: str, names: set):
        left = set(os.listdir(folder)) - names
        self.expect(not left, f"{label}: left in {folder}: {sorted(left)}")

    def expect_link(self, label: str, link: str, target: str):
        self.expect(os.path.islink(link) and os.readlink(link) == target,
                    f"{label}: {link} is no longer the link to {target}")


def save_and_delete(check: Check, label: str, ini: str, after_each):
    """A Save, then a Delete, each followed by after_each(what, the file's bytes expected)."""
    for what, name, expected in (("save", "fresh", AFTER_SAVE), ("delete", "keep2", AFTER_DELETE)):
        check.command(label, ini, what, name, DONE)
        after_each(what, expected)


def write(path: str, data: bytes):
    with open(path, "wb") as f:
        f.write(data)


def link_to_another_folder(check: Check):
    label = "a link to a file in another folder"
    synced, app = check.folder("synced"), check.folder("app")
    target, ini = os.path.join(synced, "pelmora.ini"), os.path.join(app, "pelmora.ini")
    write(target, START)
    os.symlink(target, ini)

    def after(what, expected):
        check.expect_link(label, ini, target)
        check.expect_bytes(label, target, expected)
        check.expect_only(label, app, {"pelmora.ini"})
        check.expect_only(label, synced, {"pelmora.ini"})
    save_and_delete(check, label, ini, after)


def private_file(check: Check):
    label = "a file of mode 600"
    app = check.folder("private")
    ini = os.path.join(app, "pelmora.ini")
    write(ini, START)
    os.chmod(ini, 0o600)
    inode = os.stat(ini).st_ino

    def after(what, expected):
        now = os.stat(ini)
        check.expect(stat.S_IMODE(now.st_mode) == 0o600,
                     f"{label}: mode {stat.S_IMODE(now.st_mode):o} after the {what}")
        check.expect(now.st_ino == inode, f"{label}: another file after the {what}")
        check.expect_bytes(label, ini, expected)
        check.expect_only(label, app, {"pelmora.ini"})
    save_and_delete(check, label, ini, after)


def second_name(check: Check):
    label = "a file with a second name"
    app, backup = check.folder("named"), check.folder("backup")
    ini, other = os.path.join(app, "pelmora.ini"), os.path.join(backup, "pelmora-settings.ini")
    write(ini, START)
    os.link(ini, other)

    def after(what, expected):
        check.expect(os.stat(ini).st_ino == os.stat(other).st_ino and os.stat(ini).st_nlink == 2,
                     f"{label}: two files after the {what}")
        check.expect_bytes(label, other, expected)
        check.expect_only(label, app, {"pelmora.ini"})
    save_and_delete(check, label, ini, after)


def link_to_a_disk_that_cannot_be_written(check: Check):
    label = "a link to a file on a read-only disk"
    disk, app = check.folder("read-only", "size=64k"), check.folder("app-read-only")
    target, ini = os.path.join(disk, "pelmora.ini"), os.path.join(app, "pelmora.ini")
    write(target, START)
    subprocess.run(["mount", "-o", "remount,ro", disk], check=True)
    os.symlink(target, ini)
    for what, name in (("save", "fresh"), ("delete", "keep2")):
        check.command(label, ini, what, name, WRITE_FAILED)
        check.expect_link(label, ini, target)
        check.expect_bytes(label, target, START)
        check.expect_only(label, app, {"pelmora.ini"})
    # An ended command's checked bytes that cannot be written into the file either: they stay,
    # and nothing is written over them (the failure names them).
    checked = os.path.join(app, "pelmora.in#")
    write(checked, AFTER_SAVE)
    check.command(label, ini, "delete", "keep2", OTHER_FAILURE)
    check.expect_bytes(label, target, START)
    check.expect_bytes(label, checked, AFTER_SAVE)
    os.remove(checked)


def link_to_a_full_disk(check: Check):
    label = "a link to a file on a full disk"
    disk, app = check.folder("full", "size=8k"), check.folder("app-full")
    target, ini = os.path.join(disk, "pelmora.ini"), os.path.join(app, "pelmora.ini")
    # The file fills its pages but for a few bytes, and the rest of the disk is taken: it
    # cannot grow by the Save's lines.
    page = os.sysconf("SC_PAGE_SIZE")
    start = b"; " + b"x" * (page - len(START) - 10) + b"\r\n" + START
    write(target, start)
    filler = os.open(os.path.join(disk, "filler"), os.O_WRONLY | os.O_CREAT)
    try:
        while os.write(filler, b"\0" * page):
            pass
    except OSError:
        pass
    os.close(filler)
    os.symlink(target, ini)
    check.command(label, ini, "save", "fresh", WRITE_FAILED)
    check.expect_bytes(label, target, start)
    check.expect_link(label, ini, target)
    check.expect_only(label, app, {"pelmora.ini"})
    check.expect_only(label, disk, {"pelmora.ini", "filler"})
    check.command(label, ini, "delete", "keep2", DONE)
    check.expect_bytes(label, target, start.replace(b"[keep2]\r\npos_x=5\r\n", b""))
    check.expect_only(label, app, {"pelmora.ini"})


def ended_in_the_middle_of_the_write(check: Check):
    label = "a command ended while it wrote the file"
    app = check.folder("ended")
    ini = os.path.join(app, "pelmora.ini")
    write(ini, AFTER_SAVE[:len(START) // 2])
    write(os.path.join(app, "pelmora.in#"), AFTER_SAVE)
    check.command(label, ini, "delete", "keep2", DONE)
    check.expect_bytes(label, ini, AFTER_DELETE)
    check.expect_only(label, app, {"pelmora.ini"})


def main() -> int:
    exe, work = sys.argv[1:3]
    check = Check(exe, work)
    subprocess.run(["wineserver", "-p"], env=check.env, check=False)
    for folder, _, _ in os.walk(work, topdown=False):  # mounts left by an interrupted run
        if os.path.ismount(folder):
            subprocess.run(["umount", folder], check=False)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        for case in (link_to_another_folder, private_file, second_name,
                     link_to_a_disk_that_cannot_be_written, link_to_a_full_disk,
                     ended_in_the_middle_of_the_write):
            case(check)
    finally:
        check.unmount_all()
    return verdict(check.failures, work)


if __name__ == "__main__":
    sys.exit(main())
