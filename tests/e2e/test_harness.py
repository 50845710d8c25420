"""The ground the other end-to-end tests stand on: the code page, the inspection program, and the
mapping of Wine's screen coordinates to X input. Needs no pelmora.exe."""

import unittest

from pelmora_e2e import (Inspector, XInput, WM_CLOSE, decode_text, other_window, wait_until)


class HarnessTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.inspect = Inspector.shared()
        cls.x = XInput()  # no waiting for Wine's cursor: the test below looks at it itself

    def other_window(self, left, top, width, height, caption):
        return other_window(self, left, top, width, height, caption)

    def test_ansi_code_page_is_japanese(self):
        self.assertEqual(self.inspect("acp")["acp"], 932)

    def test_screen_is_the_virtual_desktop(self):
        screen = self.inspect("screen")
        self.assertEqual((screen["width"], screen["height"]), (1280, 1024))

    def test_x_pointer_lands_on_wine_coordinates_and_activates(self):
        info = self.other_window(310, 220, 320, 240, "E2E pointer")
        self.assertEqual(info["rect"], {"left": 310, "top": 220, "width": 320, "height": 240})
        target = (info["client"]["left"] + 37, info["client"]["top"] + 51)
        self.x.click_at(*target)
        wait_until(lambda: self.inspect.cursor() == target, 3.0,
                   "Wine's cursor at %r" % (target,))
        wait_until(lambda: self.inspect("foreground")["hwnd"] == info["hwnd"], 3.0,
                   "the clicked window to come to the foreground",
                   describe=lambda: "foreground %r, cursor %r, window %r" % (
                       self.inspect.info(self.inspect("foreground")["hwnd"]),
                       self.inspect.cursor(), self.inspect.info(info["hwnd"])))

    def test_text_round_trips_shift_jis_bytes(self):
        info = self.other_window(320, 230, 300, 120, "E2E text")
        name = "設定Ａ-1"
        self.inspect("settext", info["hwnd"], name.encode("cp932").hex())
        answer = self.inspect("text", info["hwnd"])["text"]
        self.assertEqual(bytes.fromhex(answer["hex"]), name.encode("cp932"))
        self.assertEqual(answer["text"], name)
        self.assertEqual(decode_text(answer), name)

    def test_windows_come_in_z_order_and_close_on_request(self):
        lower = self.other_window(330, 240, 200, 150, "E2E lower")
        upper = self.other_window(360, 270, 200, 150, "E2E upper")
        # The later window was shown last without activation; a click brings the lower one up.
        order = self.inspect.z_order()
        self.assertLess(order.index(upper["hwnd"]), order.index(lower["hwnd"]))
        self.x.click_at(lower["rect"]["left"] + 10, lower["rect"]["top"] + 60)
        wait_until(lambda: (lambda o: o.index(lower["hwnd"]) < o.index(upper["hwnd"]))(
            self.inspect.z_order()), 3.0, "the clicked window above the other")
        self.inspect("post", upper["hwnd"], WM_CLOSE, 0, 0)
        wait_until(lambda: self.inspect.info(upper["hwnd"]) is None, 3.0,
                   "the closed window to be gone")
        self.assertIsNotNone(self.inspect.info(lower["hwnd"]))

    def test_unknown_command_and_missing_window_are_reported(self):
        self.assertFalse(self.inspect.raw("nonsense")["ok"])
        self.assertFalse(self.inspect.raw("info", 0)["ok"])
        self.assertFalse(self.inspect.raw("find", "zz", "-")["ok"])  # not hexadecimal


if __name__ == "__main__":
    unittest.main()
