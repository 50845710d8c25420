"""Save, Recall and Delete through the real main window: typed names, clicked buttons, and the
settings file beside the executable checked byte for byte."""

import time
import unittest

from pelmora_e2e import (E2ETestCase, ID_DELETE, ID_NAME_BOX, ID_READOUT, ID_RECALL, ID_SAVE,
                         require_pelmora, wait_until)


def section(name, left, top, width, height):
    return ("[%s]\r\npos_x=%d\r\npos_y=%d\r\nwidth=%d\r\nheight=%d\r\n"
            % (name, left, top, width, height)).encode("cp932")


class SettingsCase(E2ETestCase):
    def wait_file(self, expected, timeout=3.0):
        wait_until(lambda: self.app.ini_bytes() == expected, timeout,
                   "the settings file to read %r (now %r)" % (expected, self.app.ini_bytes()))

    def nudge_checker(self, *keys):
        """Activates the checker and moves it by arrow keys; returns its new rectangle."""
        left, top, width, height = self.app.checker_rect()
        self.click_checker()
        dx = keys.count("Right") - keys.count("Left")
        dy = keys.count("Down") - keys.count("Up")
        self.x.key(*keys)
        expected = (left + dx, top + dy, width, height)
        self.app.wait_checker_at(expected)
        self.app.wait_readout(*expected[:3])
        return expected


@require_pelmora
class SaveTest(SettingsCase):
    def test_save_writes_the_checker_geometry_under_the_typed_name(self):
        rect = self.nudge_checker("Right", "Right", "Down")
        self.type_name("A")
        self.click_control(ID_SAVE)
        self.wait_file(section("A", *rect))
        self.assertEqual(self.app.name_box(), (["A"], 0, "A"))

    def test_saving_again_replaces_the_values_in_place(self):
        first = self.app.checker_rect()
        self.type_name("A")
        self.click_control(ID_SAVE)
        self.wait_file(section("A", *first))
        self.type_name("B")
        self.click_control(ID_SAVE)
        self.wait_file(section("A", *first) + section("B", *first))
        self.assertEqual(self.app.name_box(), (["A", "B"], 1, "B"))

        moved = self.nudge_checker("Left", "Up", "Up")
        self.type_name("A")
        self.click_control(ID_SAVE)
        self.wait_file(section("A", *moved) + section("B", *first))
        self.assertEqual(self.app.name_box(), (["A", "B"], 0, "A"))

    def test_shift_jis_name_is_saved_byte_for_byte(self):
        name = "設定１"
        self.type_name(name)
        self.click_control(ID_SAVE)
        self.wait_file(section(name, *self.app.checker_rect()))
        raw_items, raw_edit = self.app.name_box_bytes()
        self.assertEqual(raw_items, [name.encode("cp932")])
        self.assertEqual(raw_edit, name.encode("cp932"))

    def test_buttons_do_nothing_with_an_empty_name(self):
        start = self.app.checker_rect()
        for button in (ID_SAVE, ID_RECALL, ID_DELETE):
            self.click_control(button)
        time.sleep(0.5)
        self.assertIsNone(self.app.ini_bytes(), "no settings file is created")
        self.assertEqual(self.app.name_box(), ([], -1, ""))
        self.assertEqual(self.app.checker_rect(), start)


@require_pelmora
class RecallTest(SettingsCase):
    ini_bytes = (section("home", 420, 300, 260, 180) + section("neg", -8, -3, 240, 150) +
                 b"[part]\r\npos_x=600\r\n" + section("over", 350, 150, 244, 157))

    def test_recall_after_moving_puts_the_checker_back_without_activating_it(self):
        self.nudge_checker("Left", "Left", "Down")
        self.type_name("home")
        self.click_control(ID_RECALL)
        self.app.wait_checker_at((420, 300, 260, 180))
        self.app.wait_readout(420, 300, 260)
        self.assertEqual(self.app.gui()["active"], self.app.main["hwnd"])
        self.assertEqual(self.app.name_box()[2], "home", "the name box keeps its text")
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes, "recall writes nothing")

    def test_checker_recalled_over_the_main_window_is_drawn_above_it(self):
        self.type_name("over")
        self.click_control(ID_RECALL)
        self.app.wait_checker_at((350, 150, 244, 157))
        self.assert_checker_drawn_above_main()

    def test_negative_positions_are_recalled_shown_and_saved_as_such(self):
        self.type_name("neg")
        self.click_control(ID_RECALL)
        self.app.wait_checker_at((-8, -3, 240, 150))
        self.app.wait_readout(-8, -3, 240)
        self.type_name("neg copy")
        self.click_control(ID_SAVE)
        self.wait_file(self.ini_bytes + section("neg copy", -8, -3, 240, 150))

    def test_missing_keys_recall_as_fifty(self):
        self.type_name("part")
        self.click_control(ID_RECALL)
        # pos_x is stored; top, width and height take 50, the size as far as the system allows.
        wait_until(lambda: self.app.checker_rect()[:2] == (600, 50), 3.0,
                   "the checker at 600, 50 (now %r)" % (self.app.checker_rect(),))
        screen = self.inspect("screen")
        expected = (600, 50, max(50, screen["min_track_width"]), max(50, screen["min_track_height"]))
        self.app.wait_checker_at(expected)
        self.app.wait_readout(*expected[:3])

    def test_name_without_a_section_recalls_fifty_everywhere(self):
        self.type_name("nowhere")
        self.click_control(ID_RECALL)
        wait_until(lambda: self.app.checker_rect()[:2] == (50, 50), 3.0,
                   "the checker at 50, 50 (now %r)" % (self.app.checker_rect(),))
        left, top, width, _ = self.app.checker_rect()
        self.app.wait_readout(left, top, width)
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes)


@require_pelmora
class DeleteTest(SettingsCase):
    ini_bytes = section("A", 1, 2, 300, 200) + section("B", 3, 4, 250, 160)

    def test_delete_removes_the_section_and_empties_the_name_box(self):
        self.type_name("A")
        self.click_control(ID_DELETE)
        self.wait_file(section("B", 3, 4, 250, 160))
        self.assertEqual(self.app.name_box(), (["B"], -1, ""))

    def test_saved_then_deleted_name_leaves_the_list_empty(self):
        self.type_name("B")
        self.click_control(ID_DELETE)
        self.wait_file(section("A", 1, 2, 300, 200))
        self.type_name("A")
        self.click_control(ID_DELETE)
        wait_until(lambda: self.app.name_box() == ([], -1, ""), 3.0, "an empty name box")
        self.assertNotIn(b"[A]", self.app.ini_bytes() or b"")

    def test_deleting_a_name_that_is_not_in_the_file_changes_no_section(self):
        self.type_name("C")
        self.click_control(ID_DELETE)
        wait_until(lambda: self.app.name_box()[2] == "", 3.0, "the name box emptied")
        self.assertEqual(self.app.name_box(), (["A", "B"], -1, ""))
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes)


CB_GETEDITSEL = 0x0140


@require_pelmora
class NameBoxTest(SettingsCase):
    ini_bytes = section("neg", -8, -3, 240, 150) + section("part", 600, 50, 50, 50)

    def edit_selection(self):
        box = self.app.control(ID_NAME_BOX)["hwnd"]
        result = self.inspect("send", box, CB_GETEDITSEL, 0, 0)["result"] & 0xFFFFFFFF
        return result & 0xFFFF, result >> 16

    def test_typing_completes_from_the_list_and_backspace_takes_the_completion_back(self):
        self.type_name("")
        self.x.type("n")
        wait_until(lambda: self.app.name_box() == (["neg", "part"], 0, "neg"), 3.0,
                   "the name box completed to 'neg'")
        self.assertEqual(self.edit_selection(), (1, 3), "the completed rest is selected")
        self.x.key("BackSpace")
        wait_until(lambda: self.app.name_box()[1:] == (-1, "n"), 3.0,
                   "the completion deleted, no item selected")
        self.x.type("x")
        wait_until(lambda: self.app.name_box()[2] == "nx", 3.0, "'nx' typed as usual")
        self.assertEqual(self.app.name_box()[1], -1)

    def test_enter_and_escape_run_no_command(self):
        self.type_name("Z")
        self.x.key("Return", "Escape")
        time.sleep(0.5)
        self.assertEqual(self.app.ini_bytes(), self.ini_bytes)
        self.assertEqual(self.app.name_box(), (["neg", "part"], -1, "Z"))
        self.assertEqual(self.app.checker_rect(), (497, 114, 244, 157))

    def test_tab_visits_the_controls_in_their_order_and_comes_back(self):
        box = self.app.control(ID_NAME_BOX)["hwnd"]
        in_box = {box} | {c["window"]["hwnd"] for c in self.inspect.children(box)}
        self.type_name("")
        self.assertIn(self.app.gui()["focus"], in_box)
        for control_id in (ID_RECALL, ID_READOUT, ID_SAVE, ID_DELETE):
            self.x.key("Tab")
            target = self.app.control(control_id)["hwnd"]
            wait_until(lambda: self.app.gui()["focus"] == target, 3.0,
                       "the focus on control %d" % control_id)
        self.x.key("Tab")
        wait_until(lambda: self.app.gui()["focus"] in in_box, 3.0, "the focus back in the name box")


if __name__ == "__main__":
    unittest.main()
