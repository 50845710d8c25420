"""Hostile settings files and a refused setting name through the real pelmora.exe: the program
starts on whatever the file holds, its name box lists the file's sections, a Save adds one
setting without losing the others (or, in a file that the profile functions would not write back
unchanged, is refused in the failure box with nothing written), and a name the file cannot hold
brings up the failure box."""

import random
import time
import unittest

from pelmora_e2e import (E2ETestCase, ID_NAME_BOX, ID_SAVE, decode_text, require_pelmora,
                         wait_until, wine_path)

HYOUJI = "表示"


def garbage_without_sections(size, seed):
    """Bytes of every value but "[", so that no line can open a section."""
    rng = random.Random(seed)
    return bytes(b for b in (rng.randrange(256) for _ in range(size)) if b != ord("["))


def many_sections(count):
    return b"".join(b"[s%d]\r\npos_x=%d\r\n" % (i, i) for i in range(count))


LONG_NAMES = ["N%d-%s" % (i, "n" * (1000 + i)) for i in range(40)]

# Files whose text the profile functions would not write back as the same bytes.
UNREWRITABLE = {"BinaryGarbage", "NulBytes"}
REFUSED = "設定ファイルに元のとおりには書き戻せない部分があるため、ほかの部分を変えずに書き換える" \
    "ことはできません。何も書き込んでいません: "
REMEDY = "\nテキスト エディターで文字コードを Shift-JIS (ANSI) か Unicode (UTF-16) にして保存し直せば、" \
    "設定を変更できます."

# name: (file content, the names the name box lists at start-up)
HOSTILE_FILES = {
    "BinaryGarbage": (garbage_without_sections(64 * 1024, 7), []),
    "NulBytes": (b"[A\0B]\r\nk\0ey=1\r\n[C]\r\npos_x=3\r\n", ["A", "C"]),
    "Utf16WithByteOrderMark": (
        ("\ufeff[A]\r\npos_x=1\r\n[%s]\r\npos_y=2\r\n" % HYOUJI).encode("utf-16-le"),
        ["A", HYOUJI]),
    "CarriageReturnsOnly": (b"[A]\rpos_x=1\r[B]\rpos_x=3", ["A", "B"]),
    "OneMegabyteLine": (b"[A]\r\n" + b"z" * (1 << 20) + b"\r\n[B]\r\npos_x=8\r\n", ["A", "B"]),
    "NamesFarOverSixteenKilobytes": (
        b"".join(b"[%s]\r\nheight=1\r\n" % n.encode() for n in LONG_NAMES), LONG_NAMES),
    # Reading 20,000 items out of another process's name box takes inspect.exe some 9 s: the
    # test reads the whole list once only.
    "TwentyThousandSections": (many_sections(20000), ["s%d" % i for i in range(20000)]),
}


class HostileFileChecks:
    """Mixed into one test case per file below."""

    expected_names = []

    def test_starts_lists_the_sections_and_saves_without_losing_any(self):
        # At start-up the count only: the items are read once, after the save, from the same
        # listing of the file (reading 20,000 of them out of another process takes seconds).
        box = self.inspect.combo(self.app.control(ID_NAME_BOX)["hwnd"], 0)
        self.assertEqual((box["count"], box["cursel"], decode_text(box["edit"])),
                         (len(self.expected_names), -1, ""))
        self.assertEqual(self.app.message_boxes(), [])

        self.type_name("new")
        self.click_control(ID_SAVE)
        if self.refused:
            self.expect_refusal()
            return
        # The refilled list holds the saved name and selects it. The box showed the typed name
        # before the click already: wait for the list (its count and selection, no items read).
        listed = (len(self.expected_names) + 1, len(self.expected_names))
        wait_until(lambda: (lambda c: (c["count"], c["cursel"]))(self.inspect.combo(
            self.app.control(ID_NAME_BOX)["hwnd"], 0)) == listed, 20.0,
            "the saved name listed and selected")
        self.assertEqual(self.app.name_box(), (self.expected_names + ["new"],
                                               len(self.expected_names), "new"))
        self.assertEqual(self.app.message_boxes(), [])

    def expect_refusal(self):
        statics, buttons = self.box_texts(self.wait_box())
        self.assertEqual(len(statics), 1)
        self.assertEqual(statics[0], REFUSED + wine_path(self.app.ini) + REMEDY)
        self.close_box(buttons)
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes, "nothing was written")
        self.assertEqual(self.app.name_box()[0], self.expected_names)


def hostile_file_case(name, content, names):
    return require_pelmora(type("Hostile" + name + "Test", (HostileFileChecks, E2ETestCase),
                                {"ini_bytes": content, "expected_names": names,
                                 "refused": name in UNREWRITABLE}))


for _name, (_content, _names) in HOSTILE_FILES.items():
    globals()["Hostile%sTest" % _name] = hostile_file_case(_name, _content, _names)


@require_pelmora
class RefusedNameTest(E2ETestCase):
    ini_bytes = b"[keep1]\r\npos_x=1\r\n[keep2]\r\npos_x=5\r\n"

    def test_name_with_blanks_around_is_refused_in_the_failure_box(self):
        self.type_name(" keep2 ")
        self.click_control(ID_SAVE)
        statics, buttons = self.box_texts(self.wait_box())
        self.assertEqual(statics, ["設定名の前後に空白は使えません."])
        self.close_box(buttons)
        time.sleep(0.3)
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes, "nothing was written")
        self.assertEqual(self.app.name_box()[0], ["keep1", "keep2"])


if __name__ == "__main__":
    unittest.main()
