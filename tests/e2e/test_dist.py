"""The release archive as a user meets it: unpacked into a fresh folder whose path holds
Japanese characters, the program started from there, a setting saved into pelmora.ini beside it.

The archive is the one the build folder made (<build>/dist, named in its SHA256SUMS). A 32-bit
build makes the release archive itself. Where no 32-bit code runs, the build is the 64-bit twin,
and its archive is one of the same making (the same tools/dist.py) around the twin's program."""

import hashlib
import os
import re
import unittest

from pelmora_e2e import BUILD, E2ETestCase, ID_SAVE, require_pelmora, wait_until

GUIDE_NAME = "はじめにお読みください.txt"


def project_version():
    with open(os.path.join(BUILD, "CMakeCache.txt"), encoding="utf-8") as f:
        return re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", f.read(), re.M).group(1)


def built_archive():
    """The archive that <build>/dist/SHA256SUMS names, its checksum checked."""
    dist = os.path.join(BUILD, "dist")
    with open(os.path.join(dist, "SHA256SUMS"), encoding="ascii") as f:
        lines = f.read().splitlines()
    if len(lines) != 1:
        raise AssertionError("SHA256SUMS should name one archive: %r" % lines)
    digest, name = lines[0].split("  ")
    path = os.path.join(dist, name)
    with open(path, "rb") as f:
        actual = hashlib.sha256(f.read()).hexdigest()
    if actual != digest:
        raise AssertionError("%s has the checksum %s, SHA256SUMS says %s" % (name, actual, digest))
    return path


@require_pelmora
class UnpackedArchiveTest(E2ETestCase):
    folder_name = os.path.join("ダウンロード", "ペルモラ 展開先")

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.archive = built_archive()

    def test_unpacked_program_saves_beside_itself_and_the_guide_reads_in_notepad(self):
        version = project_version()
        name = os.path.basename(self.archive)
        if name == "pelmora-%s-win64.zip" % version:
            print("\n  this machine runs no 32-bit code: unpacking %s, made as the release "
                  "archive is but around the 64-bit twin's pelmora.exe" % name)
        else:
            self.assertEqual(name, "pelmora-%s-win32.zip" % version)

        # The guide's Japanese name survived unpacking; it is UTF-8 with a byte-order mark and
        # CRLF line ends only, and names the version.
        self.assertEqual(sorted(os.listdir(self.app.folder)), sorted(["pelmora.exe", GUIDE_NAME]))
        with open(os.path.join(self.app.folder, GUIDE_NAME), "rb") as f:
            guide = f.read()
        self.assertTrue(guide.startswith(b"\xef\xbb\xbf"), "the guide starts with a BOM")
        self.assertEqual(guide.count(b"\n"), guide.count(b"\r\n"), "the guide's lines end in CRLF")
        self.assertEqual(guide[3:].decode("utf-8").splitlines()[0], "Pelmora " + version)

        self.type_name("Release")
        self.click_control(ID_SAVE)
        expected = ("[Release]\r\npos_x=%d\r\npos_y=%d\r\nwidth=%d\r\nheight=%d\r\n"
                    % self.app.checker_rect()).encode("ascii")
        wait_until(lambda: self.app.ini_bytes() == expected, 3.0,
                   "pelmora.ini beside the unpacked program to read %r" % expected,
                   describe=lambda: repr(self.app.ini_bytes()))
        self.assertEqual(sorted(os.listdir(self.app.folder)),
                         sorted(["pelmora.exe", "pelmora.ini", GUIDE_NAME]))


if __name__ == "__main__":
    unittest.main()
