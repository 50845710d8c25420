"""The checker window under real X input: arrow-key nudging, dragging from inside, resizing by
the frame; the readout in the main window follows every change."""

import time
import unittest

from pelmora_e2e import E2ETestCase, require_pelmora

SETTLE = 0.3  # time after the last expected change in which no further change may come


@require_pelmora
class NudgeTest(E2ETestCase):
    def nudge(self, key, dx, dy):
        left, top, width, height = self.app.checker_rect()
        expected = (left + dx, top + dy, width, height)
        self.x.key(key)
        self.app.wait_checker_at(expected)
        self.app.wait_readout(expected[0], expected[1], expected[2])
        return expected

    def assert_stays(self, rect):
        time.sleep(SETTLE)
        self.assertEqual(self.app.checker_rect(), rect)
        self.assertEqual(self.app.readout(), self.app.readout_for(*rect[:3]))

    def test_arrows_do_not_move_the_checker_while_the_main_window_is_active(self):
        start = self.app.checker_rect()
        self.app.wait_active(self.app.main["hwnd"], what="main window")
        self.x.key("Left", "Up", "Right", "Down")
        self.assert_stays(start)

    def test_each_arrow_moves_exactly_one_pixel_after_a_click_into_the_checker(self):
        start = self.app.checker_rect()
        self.click_checker()
        self.assert_stays(start)  # a click without motion moves nothing
        rect = self.nudge("Left", -1, 0)
        rect = self.nudge("Up", 0, -1)
        rect = self.nudge("Right", 1, 0)
        rect = self.nudge("Right", 1, 0)
        rect = self.nudge("Down", 0, 1)
        rect = self.nudge("Down", 0, 1)
        self.assertEqual(rect, (start[0] + 1, start[1] + 1, start[2], start[3]))
        self.assert_stays(rect)

    def test_shift_ctrl_and_alt_arrows_still_move_exactly_one_pixel(self):
        start = self.app.checker_rect()
        self.click_checker()
        rect = self.nudge("shift+Left", -1, 0)
        rect = self.nudge("ctrl+Up", 0, -1)
        rect = self.nudge("ctrl+shift+Right", 1, 0)
        rect = self.nudge("alt+Down", 0, 1)
        rect = self.nudge("alt+Left", -1, 0)
        self.assertEqual(rect, (start[0] - 1, start[1], start[2], start[3]))
        self.assert_stays(rect)
        self.assertEqual(self.app.gui()["active"], self.app.checker["hwnd"],
                         "Alt alone opens nothing: the checker stays active")

    def test_other_keys_do_not_move_the_checker(self):
        start = self.app.checker_rect()
        self.click_checker()
        self.x.key("a", "space", "Home", "End", "Prior", "Next", "Return", "Tab")
        self.assert_stays(start)


@require_pelmora
class DragTest(E2ETestCase):
    def test_drag_from_inside_keeps_the_pressed_point_under_the_pointer(self):
        client = self.app.checker_info()["client"]
        press = (client["left"] + 70, client["top"] + 50)
        final = self.drag_checker(press, [(6, 4), (30, 15), (-45, 80), (-120, 60)])
        # After the button is up, motion no longer moves the window.
        self.x.move(press[0] + 10, press[1] + 10)
        time.sleep(SETTLE)
        self.assertEqual(self.app.checker_rect(), final)
        self.assertEqual(self.app.readout(), self.app.readout_for(*final[:3]))

    def test_drag_may_take_the_checker_past_the_left_and_top_screen_edges(self):
        client = self.app.checker_info()["client"]
        press = (client["left"] + 20, client["top"] + 20)
        target = (5, 6)  # the pointer near the screen's corner
        left, top, width, _ = self.drag_checker(
            press, [(-10, -10), (target[0] - press[0], target[1] - press[1])])
        self.assertLess(left, 0)
        self.assertLess(top, 0)
        self.app.wait_readout(left, top, width)


@require_pelmora
class ResizeTest(E2ETestCase):
    def drag_edge(self, start_point, offsets):
        self.x.move(*start_point)
        self.x.down()
        try:
            for dx, dy in offsets:
                self.x.move(start_point[0] + dx, start_point[1] + dy)
                yield dx, dy
        finally:
            self.x.up()

    def test_left_edge_changes_left_and_width_and_the_readout_follows(self):
        left, top, width, height = self.app.checker_rect()
        edge = (left + 1, top + height // 2)
        for dx, _ in self.drag_edge(edge, [(-15, 0), (-40, 0), (25, 0)]):
            expected = (left + dx, top, width - dx, height)
            self.app.wait_checker_at(expected)
            self.app.wait_readout(left + dx, top, width - dx)
        final = (left + 25, top, width - 25, height)
        time.sleep(SETTLE)
        self.assertEqual(self.app.checker_rect(), final)
        self.assertEqual(self.app.readout(), self.app.readout_for(*final[:3]))

    def test_top_edge_changes_top_and_height_and_the_readout_shows_the_top(self):
        left, top, width, height = self.app.checker_rect()
        edge = (left + width // 2, top + 1)
        for _, dy in self.drag_edge(edge, [(0, -20), (0, 30)]):
            self.app.wait_checker_at((left, top + dy, width, height - dy))
            self.app.wait_readout(left, top + dy, width)

    def test_right_edge_changes_the_width_only(self):
        left, top, width, height = self.app.checker_rect()
        edge = (left + width - 2, top + height // 2)
        for dx, _ in self.drag_edge(edge, [(33, 0)]):
            self.app.wait_checker_at((left, top, width + dx, height))
            self.app.wait_readout(left, top, width + dx)


if __name__ == "__main__":
    unittest.main()
