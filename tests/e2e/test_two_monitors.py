"""Two monitors, as on a desk where a second one stands left of the main one: the primary monitor
and one left of it at negative coordinates (e2e_monitors.py). The failure box comes up on the
monitor of the window that was active, and the checker dragged onto the left monitor shows,
saves and recalls its negative left."""

import os
import unittest

from pelmora_e2e import ID_RECALL, ID_SAVE, Inspector, require_pelmora, wait_until
from e2e_monitors import TwoMonitorDesk
from test_settings import SettingsCase, section

SWP_NOSIZE = 0x0001
SWP_NOZORDER = 0x0004
SWP_NOACTIVATE = 0x0010


def centred_within(rect, monitor):
    """Whether `rect` is centred on `monitor`: its margins on either side differ by no more than
    the pixel that an odd difference of sizes cannot split."""
    def centred(start, size, outer_start, outer_size):
        return abs((start - outer_start) - (outer_start + outer_size - start - size)) <= 1

    return (centred(rect["left"], rect["width"], monitor["left"], monitor["width"]) and
            centred(rect["top"], rect["height"], monitor["top"], monitor["height"]))


@require_pelmora
class TwoMonitorTest(SettingsCase):
    @classmethod
    def setUpClass(cls):
        # The desk's display and prefix for this class; the inspector of another display (a
        # class that ran before in this process) goes first and is started anew on this one.
        desk = TwoMonitorDesk()
        cls.addClassCleanup(desk.stop)
        Inspector.shutdown_shared()
        cls.addClassCleanup(Inspector.shutdown_shared)
        super().setUpClass()
        monitors = cls.inspect("monitors")["monitors"]
        primary = [m["rect"] for m in monitors if m["primary"]]
        others = [m["rect"] for m in monitors if not m["primary"]]
        if not (len(primary) == len(others) == 1 and primary[0]["left"] == primary[0]["top"] == 0
                and others[0]["left"] + others[0]["width"] <= 0):
            raise AssertionError("the tests need the primary monitor at 0, 0 and one left of it: "
                                 "%r" % monitors)
        cls.left = others[0]

    def test_failure_box_comes_up_centred_on_the_left_monitor_of_the_active_window(self):
        os.mkdir(self.app.ini)  # a folder where the settings file should be: writes fail
        main = self.app.main_info()["rect"]
        place = (self.left["left"] + (self.left["width"] - main["width"]) // 2,
                 self.left["top"] + (self.left["height"] - main["height"]) // 2)
        self.inspect("swp", self.app.main["hwnd"], 0, place[0], place[1], 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
        wait_until(lambda: (lambda r: (r["left"], r["top"]))(self.app.main_info()["rect"]) ==
                   place, 3.0, "the main window at %r on the left monitor" % (place,))
        self.type_name("A")  # a click into the name box: the main window is the active one
        self.click_control(ID_SAVE)
        box = self.wait_box()
        self.assertTrue(centred_within(box["rect"], self.left),
                        "the box %r centred on the left monitor %r" % (box["rect"], self.left))
        statics, buttons = self.box_texts(box)
        self.assertEqual(len(statics), 1)
        self.close_box(buttons)

    def test_checker_dragged_onto_the_left_monitor_shows_saves_and_recalls_its_negative_left(self):
        left, top, width, height = self.app.checker_rect()
        # Wholly on the left monitor, in the middle of it.
        onto_left = self.left["left"] + (self.left["width"] - width) // 2 - left
        client = self.app.checker_info()["client"]
        press = (client["left"] + 40, client["top"] + 30)
        moved = self.drag_checker(press, [(-10, 0), (onto_left // 2, 0), (onto_left, 0)])
        self.assertTrue(self.left["left"] <= moved[0] and
                        moved[0] + width <= self.left["left"] + self.left["width"],
                        "the checker %r on the left monitor %r" % (moved, self.left))
        self.assertLess(moved[0], 0)
        self.app.wait_readout(*moved[:3])

        self.type_name("left")
        self.click_control(ID_SAVE)
        self.wait_file(section("left", *moved))

        # Dragged back onto the primary monitor, then recalled.
        client = self.app.checker_info()["client"]
        press = (client["left"] + 40, client["top"] + 30)
        self.drag_checker(press, [(10, 0), (-onto_left, 0)], check_each=False)
        self.app.wait_readout(left, top, width)
        self.type_name("left")
        self.click_control(ID_RECALL)
        self.app.wait_checker_at(moved)
        self.app.wait_readout(*moved[:3])


if __name__ == "__main__":
    unittest.main()
