"""The application shell under real input: the checker's always-on-top band follows the
application's activation, and a failure shows one message box during which the checker can be
neither dragged nor nudged."""

import time
import unittest

from pelmora_e2e import (E2ETestCase, ID_DELETE, ID_RECALL, ID_SAVE, other_window,
                         require_pelmora, wait_until, wine_path, XInput)


@require_pelmora
class ActivationTest(E2ETestCase):
    def other_application(self):
        """An ordinary window of another process (inspect.exe), partly under the checker and
        shown without activation."""
        return other_window(self, 600, 180, 420, 320, "E2E other")

    def checker_topmost(self):
        return self.app.checker_info()["topmost"]

    def test_switching_away_lets_others_cover_the_checker_and_back_restores_it(self):
        main, checker = self.app.main["hwnd"], self.app.checker["hwnd"]
        other = self.other_application()
        self.assertTrue(self.inspect.above(checker, other["hwnd"]),
                        "while the program is active its checker stays above other windows")

        # Switch to the other application by clicking where the checker does not cover it.
        self.x.click_at(other["rect"]["left"] + 300, other["rect"]["top"] + 250)
        wait_until(lambda: self.inspect("foreground")["hwnd"] == other["hwnd"], 3.0,
                   "the other application in the foreground")
        wait_until(lambda: not self.checker_topmost(), 3.0, "the checker out of the band")
        self.assertTrue(self.inspect.above(checker, main),
                        "the checker stays above the program's own main window")
        self.assertTrue(self.app.checker_info()["visible"])

        # Switch back by clicking into an empty part of the main window.
        client = self.app.main_info()["client"]
        self.x.click_at(client["left"] + client["width"] - 4, client["top"] + 20)
        self.app.wait_active(main, what="main window")
        wait_until(self.checker_topmost, 3.0, "the checker back in the band")
        wait_until(lambda: self.inspect.above(checker, other["hwnd"]), 3.0,
                   "the checker above the other application again")
        self.assertTrue(self.inspect.above(checker, main))
        # And on the screen: where the two overlap, the checker's colour shows, not the other
        # window's white.
        c = self.app.checker_info()["client"]
        y = c["top"] + c["height"] - 10
        covered = (other["rect"]["left"] + 20, y)
        checker_only = (c["left"] + 10, y)
        other_only = (other["rect"]["left"] + 300, y)
        self.assertTrue(c["left"] + 10 < other["rect"]["left"] < covered[0] <
                        c["left"] + c["width"] < other_only[0] and other["rect"]["top"] < y,
                        "the windows overlap as the test needs")
        x_checker, x_other = self.inspect.xid(checker), self.inspect.xid(other["hwnd"])
        wait_until(lambda: XInput.stacked_above(x_checker, x_other), 3.0,
                   "the checker's X window above the other application's")
        self.wait_screen_shows_cover(other_only, covered, checker_only,
                                     "the checker where it covers the other application")

    def test_checker_dragged_over_the_main_window_stays_drawn_above_it(self):
        client = self.app.checker_info()["client"]
        self.drag_checker((client["left"] + 40, client["top"] + 30), [(-5, 2), (-150, 36)])
        self.assert_checker_drawn_above_main()
        # Working in the main window (it becomes the active window) keeps the checker above it.
        main = self.app.main_info()["client"]
        self.x.click_at(main["left"] + 8, main["top"] + 40)
        self.app.wait_active(self.app.main["hwnd"], what="main window")
        self.assert_checker_drawn_above_main()

    def test_clicking_the_checker_itself_brings_the_program_back(self):
        other = self.other_application()
        self.x.click_at(other["rect"]["left"] + 300, other["rect"]["top"] + 250)
        wait_until(lambda: not self.checker_topmost(), 3.0, "the checker out of the band")
        self.click_checker(dx=20, dy=20)
        wait_until(self.checker_topmost, 3.0, "the checker back in the band")
        self.assertTrue(self.inspect.above(self.app.checker["hwnd"], other["hwnd"]))


class FailureBoxCase(E2ETestCase):
    ini_is_folder = True  # a folder where the settings file should be: writes fail


@require_pelmora
class FailureBoxTest(FailureBoxCase):
    def test_unwritable_settings_file_shows_one_box_and_the_program_goes_on(self):
        main, checker = self.app.main["hwnd"], self.app.checker["hwnd"]
        self.type_name("A")
        before = self.app.name_box()
        self.click_control(ID_SAVE)
        box = self.wait_box()

        self.assertEqual(box["caption"], "Pelmora")
        self.assertEqual(box["owner"], self.app.app["hwnd"], "owned by the application window")
        statics, buttons = self.box_texts(box)
        expected = wine_path(self.app.ini) + " に書き込めません."
        self.assertEqual(statics, [expected])
        self.assertEqual([text for _, text in buttons], ["OK"])

        # While the box is up the program's windows are disabled, and the checker is out of
        # its band, below the box.
        wait_until(lambda: not self.app.checker_info()["topmost"], 3.0,
                   "the checker out of the band")
        self.assertFalse(self.app.main_info()["enabled"])
        self.assertFalse(self.app.checker_info()["enabled"])
        self.assertTrue(self.inspect.above(box["hwnd"], checker))

        # Neither drag nor arrow keys move the checker now.
        start = self.app.checker_rect()
        readout = self.app.readout()
        client = self.app.checker_info()["client"]
        press = (client["left"] + 60, client["top"] + 40)
        self.x.move(*press)
        self.x.down()
        self.x.move(press[0] + 10, press[1] + 5)
        self.x.move(press[0] + 40, press[1] + 30)
        self.x.up()
        self.x.key("Left", "Up")
        time.sleep(0.5)
        self.assertEqual(self.app.checker_rect(), start)
        self.assertEqual(self.app.readout(), readout)
        self.assertEqual(len(self.app.message_boxes()), 1, "still exactly one box")

        # OK closes the box; the program goes on with its list unchanged.
        self.close_box(buttons)
        wait_until(lambda: self.app.main_info()["enabled"] and self.app.checker_info()["enabled"],
                   3.0, "both windows enabled again")
        wait_until(lambda: self.app.checker_info()["topmost"], 3.0, "the checker back in the band")
        self.assertEqual(self.app.name_box(), before)
        self.assertEqual(self.app.gui()["active"], main, "the window active before is again")
        time.sleep(0.3)
        self.assertEqual(self.app.message_boxes(), [], "no second box")

        self.click_checker()
        self.x.key("Right")
        self.app.wait_checker_at((start[0] + 1, start[1], start[2], start[3]))
        self.app.wait_readout(start[0] + 1, start[1], start[2])



@require_pelmora
class FailureBoxOtherCommandsTest(FailureBoxCase):
    def test_delete_fails_the_same_way_and_recall_reads_defaults_without_a_box(self):
        self.type_name("A")
        self.click_control(ID_DELETE)
        box = self.wait_box()
        statics, buttons = self.box_texts(box)
        self.assertEqual(statics, [wine_path(self.app.ini) + " に書き込めません."])
        self.close_box(buttons)
        self.assertEqual(self.app.name_box(), ([], -1, "A"))

        # Reads never fail: a folder reads as a file without sections.
        self.click_control(ID_RECALL)
        wait_until(lambda: self.app.checker_rect()[:2] == (50, 50), 3.0,
                   "the checker at 50, 50 (now %r)" % (self.app.checker_rect(),))
        time.sleep(0.3)
        self.assertEqual(self.app.message_boxes(), [])


@require_pelmora
class FailureBoxJapanesePathTest(FailureBoxCase):
    folder_name = "設定フォルダ"

    def test_failure_box_shows_a_shift_jis_path_exactly(self):
        self.assertEqual(self.app.name_box(), ([], -1, ""), "a folder lists no sections")
        self.type_name("B")
        self.click_control(ID_SAVE)
        box = self.wait_box()
        statics, _ = self.box_texts(box)
        expected = wine_path(self.app.ini) + " に書き込めません."
        self.assertIn("設定フォルダ", expected)
        self.assertEqual(statics, [expected])
        self.inspect("post", box["hwnd"], 0x0111, 1, 0)  # WM_COMMAND IDOK
        wait_until(lambda: not self.app.message_boxes(), 3.0, "the box to close")


if __name__ == "__main__":
    unittest.main()
