"""Start-up and shutdown of the real program: the two windows as they come on the screen, the
list of names read from the settings file, the window-show request it is started with,
minimising and restoring the whole application, the main window's scroll bars, and the ways the
program ends."""

import time
import unittest

from pelmora_e2e import (E2ETestCase, ID_DELETE, ID_NAME_BOX, ID_READOUT, ID_RECALL, ID_SAVE,
                         WM_CLOSE, WS_CAPTION, WS_CLIPCHILDREN, WS_CLIPSIBLINGS,
                         WS_EX_CONTROLPARENT, WS_EX_TOOLWINDOW, WS_EX_TOPMOST, WS_EX_WINDOWEDGE,
                         WS_HSCROLL, WS_OVERLAPPEDWINDOW, WS_SYSMENU, WS_THICKFRAME, WS_VISIBLE,
                         WS_VSCROLL, center, require_pelmora, wait_until)


def rect_tuple(info):
    r = info["rect"]
    return r["left"], r["top"], r["width"], r["height"]


@require_pelmora
class StartupTest(E2ETestCase):
    def test_main_window_caption_place_frame_and_owner(self):
        main = self.app.main_info()
        self.assertEqual(main["caption"], "Pelmora Ver1.03")
        self.assertEqual(rect_tuple(main), (192, 114, 300, 182))
        self.assertEqual(main["style"] & ~WS_VISIBLE,
                         WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)
        self.assertEqual(main["exstyle"] & ~WS_EX_WINDOWEDGE, WS_EX_CONTROLPARENT)
        self.assertTrue(main["visible"])
        self.assertFalse(main["topmost"])
        # What the frame (its sizing border and caption, as the system reports them) leaves of
        # 300 x 182.
        screen = self.inspect("screen")
        self.assertEqual((main["client"]["width"], main["client"]["height"]),
                         (300 - 2 * screen["frame"], 182 - 2 * screen["frame"] - screen["caption"]))

        self.assertIsNotNone(self.app.app, "one application window of class TApplication")
        app = self.app.app
        self.assertEqual(main["owner"], app["hwnd"])
        self.assertEqual(app["caption"], "Pelmora")
        self.assertEqual((app["rect"]["width"], app["rect"]["height"]), (0, 0))
        self.assertEqual((app["rect"]["left"], app["rect"]["top"]), (640, 512))

    def test_checker_window_caption_place_frame_band_and_owner(self):
        checker = self.app.checker_info()
        self.assertEqual(checker["caption"], "チェッカー")
        self.assertEqual(rect_tuple(checker), (497, 114, 244, 157))
        self.assertEqual(checker["style"] & ~WS_VISIBLE,
                         WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)
        self.assertFalse(checker["style"] & WS_SYSMENU, "no title-bar buttons")
        self.assertEqual(checker["exstyle"] & ~WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST)
        self.assertTrue(checker["visible"])
        self.assertEqual(checker["owner"], self.app.app["hwnd"])

    def test_checker_lies_above_main_window(self):
        self.assertTrue(self.inspect.above(self.app.checker["hwnd"], self.app.main["hwnd"]))

    def test_main_window_is_active_with_focus_in_the_name_box(self):
        gui = self.app.gui()
        self.assertEqual(gui["active"], self.app.main["hwnd"])
        box = self.app.control(ID_NAME_BOX)
        focus = self.inspect.info(gui["focus"])
        self.assertIsNotNone(focus, "some window has the focus")
        self.assertIn(focus["hwnd"], (box["hwnd"],) + tuple(
            c["window"]["hwnd"] for c in self.inspect.children(box["hwnd"])))

    def test_readout_name_box_and_buttons_at_start(self):
        self.assertEqual(self.app.readout(), "pos_x=497\r\npos_y=114\r\nwidth=244")
        self.assertEqual(self.app.name_box(), ([], -1, ""))
        buttons = [self.app.control(i) for i in (ID_DELETE, ID_RECALL, ID_SAVE)]
        self.assertEqual([self.inspect.text(b["hwnd"]) for b in buttons],
                         ["削除", "呼び出し", "保存"])
        lefts = [b["rect"]["left"] for b in buttons]
        self.assertEqual(lefts, sorted(lefts), "from left to right: delete, recall, save")
        memo = self.app.control(ID_READOUT)
        client = self.app.main_info()["client"]
        self.assertEqual((memo["rect"]["left"], memo["rect"]["width"]),
                         (client["left"], client["width"]), "the readout spans the client area")
        self.assertEqual(memo["rect"]["top"] + memo["rect"]["height"],
                         client["top"] + client["height"], "the readout sits on the bottom edge")
        self.assertFalse(self.app.ini_bytes(), "start-up writes no settings file")


@require_pelmora
class StartupListTest(E2ETestCase):
    # Two sections, one of them with a Shift-JIS name, and one that holds no keys at all.
    ini_bytes = ("[zeta]\r\npos_x=1\r\npos_y=2\r\nwidth=300\r\nheight=200\r\n"
                 "[設定Ａ]\r\npos_x=10\r\n[alpha]\r\n").encode("cp932")

    def test_every_section_is_listed_in_file_order_with_nothing_selected(self):
        items, selected, edit = self.app.name_box()
        self.assertEqual(items, ["zeta", "設定Ａ", "alpha"])
        self.assertEqual((selected, edit), (-1, ""))
        raw_items, _ = self.app.name_box_bytes()
        self.assertEqual(raw_items[1], "設定Ａ".encode("cp932"))
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes, "listing leaves the file alone")


@require_pelmora
class ShutdownTest(E2ETestCase):
    def assert_program_ended(self):
        ended = self.app.wait_exit(5.0)
        self.assertTrue(ended["exited"], "the program ends when its main window closes")
        self.assertEqual(ended["exit_code"], 0)
        self.assertEqual(self.app.windows_of_program(), [])

    def test_closing_the_main_window_ends_the_program(self):
        self.inspect("post", self.app.main["hwnd"], WM_CLOSE, 0, 0)
        self.assert_program_ended()

    def test_alt_f4_in_the_main_window_ends_the_program(self):
        self.app.wait_active(self.app.main["hwnd"], what="main window")
        self.x.key("alt+F4")
        self.assert_program_ended()

    def test_close_request_to_the_checker_only_hides_it(self):
        checker = self.app.checker["hwnd"]
        self.inspect("post", checker, WM_CLOSE, 0, 0)
        wait_until(lambda: not self.app.checker_info()["visible"], 3.0, "the checker hidden")
        self.assertTrue(self.app.alive())
        self.assertTrue(self.app.main_info()["visible"])
        self.assertIsNotNone(self.inspect.info(checker), "hidden, not destroyed")


SW_SHOWMAXIMIZED = 3
SW_SHOWMINNOACTIVE = 7
WM_SYSCOMMAND = 0x0112
WM_NCHITTEST = 0x0084
SC_RESTORE = 0xF120
HTMINBUTTON = 8


@require_pelmora
class MaximizedStartTest(E2ETestCase):
    show_command = SW_SHOWMAXIMIZED

    def test_main_window_starts_maximised_under_the_checker(self):
        main = self.app.main_info()
        self.assertTrue(main["zoomed"])
        self.assertEqual(rect_tuple(self.app.checker_info()), (497, 114, 244, 157))
        self.assertTrue(self.inspect.above(self.app.checker["hwnd"], main["hwnd"]))
        self.assertEqual(self.app.readout(), "pos_x=497\r\npos_y=114\r\nwidth=244")


@require_pelmora
class MinimizedStartTest(E2ETestCase):
    show_command = SW_SHOWMINNOACTIVE
    start_shown = False

    def test_nothing_shows_until_the_first_restore_which_shows_both_windows(self):
        wait_until(lambda: self.inspect.info(self.app.app["hwnd"])["iconic"], 5.0,
                   "the application minimised")
        time.sleep(0.5)
        shown = [w for w in self.app.windows_of_program()
                 if w["visible"] and w["class"] in ("TFormMain", "TFormC")]
        self.assertEqual(shown, [], "neither window is shown")
        self.assertEqual(self.app.readout(), "pos_x=\r\npos_y=\r\nwidth=",
                         "the readout keeps its designed lines until the checker is shown")

        self.inspect("post", self.app.app["hwnd"], WM_SYSCOMMAND, SC_RESTORE, 0)
        self.app.wait_shown(5.0)
        self.app.wait_readout(497, 114, 244)
        main = self.app.main_info()
        self.assertFalse(main["iconic"] or main["zoomed"])
        self.assertEqual(rect_tuple(main), (192, 114, 300, 182))
        self.assertTrue(self.app.checker_info()["topmost"])
        self.assertTrue(self.inspect.above(self.app.checker["hwnd"], main["hwnd"]))


@require_pelmora
class MainWindowSizeTest(E2ETestCase):
    def drag(self, start, end):
        self.x.move(*start)
        self.x.down()
        try:
            self.x.move((start[0] + end[0]) // 2, (start[1] + end[1]) // 2)
            self.x.move(*end)
        finally:
            self.x.up()

    def style(self):
        return self.app.main_info()["style"]

    def test_scroll_bars_come_and_go_with_the_client_size(self):
        r = self.app.main_info()["rect"]
        right, bottom = r["left"] + r["width"] - 2, r["top"] + r["height"] - 2
        self.assertFalse(self.style() & (WS_HSCROLL | WS_VSCROLL))

        # Narrower than 283 client pixels (292 now): a horizontal scroll bar.
        self.drag((right, r["top"] + 80), (right - 20, r["top"] + 80))
        wait_until(lambda: self.app.main_info()["rect"]["width"] == r["width"] - 20, 3.0,
                   "the main window 20 pixels narrower")
        wait_until(lambda: self.style() & WS_HSCROLL, 3.0, "a horizontal scroll bar")
        self.assertFalse(self.style() & WS_VSCROLL)

        # Wide enough again: the horizontal bar goes; lower than 127 client pixels brings up a
        # vertical one.
        self.drag((right - 20, r["top"] + 80), (right + 30, r["top"] + 80))
        wait_until(lambda: not self.style() & WS_HSCROLL, 3.0, "no horizontal scroll bar")
        self.drag((r["left"] + 100, bottom), (r["left"] + 100, bottom - 40))
        wait_until(lambda: self.style() & WS_VSCROLL, 3.0, "a vertical scroll bar")
        self.assertFalse(self.style() & WS_HSCROLL)
        self.assertEqual(self.app.readout(), "pos_x=497\r\npos_y=114\r\nwidth=244")


@require_pelmora
class MinimizeTest(E2ETestCase):
    def minimize_button(self):
        """A screen point on the main window's minimise button, found by asking the window."""
        r = self.app.main_info()["rect"]
        screen = self.inspect("screen")
        y = r["top"] + screen["frame"] + screen["caption"] // 2  # the middle of the caption
        for x in range(r["left"] + r["width"] - 5, r["left"], -1):
            lparam = ((y & 0xFFFF) << 16) | (x & 0xFFFF)
            if self.inspect("send", self.app.main["hwnd"], WM_NCHITTEST, 0,
                            lparam)["result"] == HTMINBUTTON:
                return x - 3, y  # a little inside the button
        self.fail("no minimise button on the main window's caption")

    def test_minimising_the_main_window_hides_both_and_restoring_brings_both_back(self):
        self.click_checker()
        self.x.key("Right")
        self.app.wait_checker_at((498, 114, 244, 157))
        # Text typed into the readout stays through minimising and restoring: no show handler
        # runs again.
        self.x.click_at(*center(self.app.control(ID_READOUT), "client"))
        self.app.wait_active(self.app.main["hwnd"], what="main window")
        self.x.key("ctrl+End")
        self.x.type("z")
        typed = self.app.readout_for(498, 114, 244) + "z"
        wait_until(lambda: self.app.readout() == typed, 3.0, "the typed text in the readout")
        self.x.click_at(*self.minimize_button())
        wait_until(lambda: not self.app.main_info()["visible"] and
                   not self.app.checker_info()["visible"], 3.0, "both windows hidden")
        wait_until(lambda: self.inspect.info(self.app.app["hwnd"])["iconic"], 3.0,
                   "the application minimised")

        self.inspect("post", self.app.app["hwnd"], WM_SYSCOMMAND, SC_RESTORE, 0)
        wait_until(lambda: self.app.main_info()["visible"] and
                   self.app.checker_info()["visible"], 3.0, "both windows shown again")
        self.assertEqual(rect_tuple(self.app.checker_info()), (498, 114, 244, 157))
        self.assertEqual(rect_tuple(self.app.main_info()), (192, 114, 300, 182))
        wait_until(lambda: self.app.checker_info()["topmost"], 3.0, "the checker in its band")
        self.assertTrue(self.inspect.above(self.app.checker["hwnd"], self.app.main["hwnd"]))
        self.assertEqual(self.app.readout(), typed)


if __name__ == "__main__":
    unittest.main()
