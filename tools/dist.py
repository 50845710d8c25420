#!/usr/bin/env python3
"""Pelmora's release archive: pelmora.exe and the Japanese guide in one zip, with SHA256SUMS.

usage: dist.py EXE GUIDE VERSION OUT_DIR [PLATFORM]

Writes OUT_DIR/pelmora-VERSION-PLATFORM.zip (PLATFORM win32 unless given) and OUT_DIR/SHA256SUMS
(checked with `sha256sum -c SHA256SUMS` in OUT_DIR). GUIDE is the guide as UTF-8 text.

The same inputs give the same bytes on any machine and at any time: the members come in a fixed
order with a fixed time and fixed attributes, and nothing of the machine (user, mode bits, time
zone) goes into the archive.
"""

import hashlib
import os
import sys
import zipfile

GUIDE_NAME = "はじめにお読みください.txt"
EXE_NAME = "pelmora.exe"
# Zip times have no zone and start in 1980: the first moment of that year stands for "no time".
MEMBER_TIME = (1980, 1, 1, 0, 0, 0)
FILE_ATTRIBUTE_ARCHIVE = 0x20


def guide_bytes(text):
    """The guide as Notepad shows it right on any Windows: UTF-8 with a byte-order mark (which
    Notepad has recognised since Windows 2000, whatever the system's code page) and CRLF line
    ends (older Notepads show a bare LF as no line break at all)."""
    lines = text.replace("\r\n", "\n").split("\n")
    return b"\xef\xbb\xbf" + "\r\n".join(lines).encode("utf-8")


def archive_name(version, platform="win32"):
    return "pelmora-%s-%s.zip" % (version, platform)


def write_archive(path, exe_bytes, guide_text):
    """Writes the zip at `path`: the program first, then the guide. A name outside ASCII is
    stored as UTF-8 with the zip's UTF-8 flag set (zipfile does that by itself), so that the
    guide's Japanese name survives unpacking."""
    members = [(EXE_NAME, exe_bytes), (GUIDE_NAME, guide_bytes(guide_text))]
    partial = path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=MEMBER_TIME)
            info.create_system = 0  # MS-DOS and Windows: the attributes are Windows' own
            info.external_attr = FILE_ATTRIBUTE_ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, path)


def write_release(out_dir, exe_path, guide_path, version, platform="win32"):
    """Writes the archive and SHA256SUMS into out_dir; returns the archive's path."""
    with open(exe_path, "rb") as f:
        exe_bytes = f.read()
    with open(guide_path, encoding="utf-8") as f:
        guide_text = f.read()
    os.makedirs(out_dir, exist_ok=True)
    name = archive_name(version, platform)
    path = os.path.join(out_dir, name)
    write_archive(path, exe_bytes, guide_text)
    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(os.path.join(out_dir, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as f:
        f.write("%s  %s\n" % (digest, name))
    return path


def main(argv):
    if len(argv) not in (5, 6):
        print(__doc__, file=sys.stderr)
        return 2
    print(write_release(argv[4], argv[1], argv[2], argv[3], *argv[5:]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
