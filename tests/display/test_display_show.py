"""The full-screen show seen from outside: the window, the control in it, the puts it receives,
the pointer and the taskbar, and every input that ends the show or does not."""

import unittest

import kestoral_harness as kh
from display_harness import (BLACK, MAGENTA, MOVIE_DIR, START, WM_KEYDOWN, WM_LBUTTONDOWN,
                             WM_MBUTTONDOWN, WM_RBUTTONDOWN, WS_BORDER, WS_CAPTION, WS_EX_TOPMOST,
                             WS_POPUP, WS_THICKFRAME, DisplaySession, ends, still_running)

SCREEN = [0, 0, 1280, 720]


class ShowTestCase(kh.SessionTestCase):
    """One session for the class; every test starts its own show and leaves none running."""

    @classmethod
    def make_session(cls):
        return DisplaySession()

    def setUp(self):
        self.session.clear_log()
        self.show = None

    def tearDown(self):
        if self.show is not None:
            self.show.kill()

    def start_show(self, **kwargs):
        self.show, window = self.session.start_show(**kwargs)
        return window


class WindowAndControl(ShowTestCase):
    def test_black_topmost_popup_covers_the_screen_and_the_control_covers_it(self):
        taskbar, _ = self.session.start_fake_taskbar()
        try:
            window = self.start_show()
            self.assertEqual(window["rect"], SCREEN)
            self.assertEqual(window["exstyle"], WS_EX_TOPMOST, f"exstyle {window['exstyle']:#x}")
            self.assertTrue(window["style"] & WS_POPUP)
            self.assertFalse(window["style"] & (WS_CAPTION | WS_BORDER | WS_THICKFRAME),
                             f"style {window['style']:#x}")
            control = self.session.control_window()
            self.assertIsNotNone(control, "no control window")
            self.assertEqual(control["parent"], window["hwnd"])
            self.assertEqual(control["rect"], SCREEN)
            self.assertTrue(control["visible"])
            shot = self.session.screenshot(self.session.prefix / "show.png")
            image = kh.read_png(shot)
            for x, y in [(0, 0), (640, 360), (1279, 719), (5, 715)]:
                self.assertEqual(image.pixel(x, y), MAGENTA, f"pixel ({x}, {y})")

            self.assertFalse(self.session.cursor()["showing"], "pointer shown during the show")
            taskbar.wait_for_line(r"^visible 0", 5)

            self.session.key("space")
            self.assertEqual(ends(self.show), 0)
            taskbar.wait_for_line(r"^visible 1$", 5)
            self.assertTrue(self.session.cursor()["showing"], "pointer still hidden after the show")
        finally:
            taskbar.kill()

    def test_puts_arrive_in_order_with_exact_values(self):
        self.start_show()
        self.assertEqual(self.session.puts(), [
            (137, 8, 0, "ExactFit"),
            (133, 8, 0, "Window"),
            (106, 11, 0, "-1"),
            (135, 11, 0, "0"),
            (125, 11, 0, "-1"),
            (102, 8, 0, "C:\\movies\\show.swf"),
        ])
        self.session.key("space")
        ends(self.show)

    def test_movie_is_folder_and_name_joined_without_a_separator(self):
        # A folder stored without its trailing backslash: the program adds none.
        self.session.write_file(MOVIE_DIR + "clipsloop.swf", b"FWS\x06")
        self.session.set_movie(MOVIE_DIR + "clips", "loop.swf")
        try:
            self.start_show()
            self.assertEqual(self.session.puts()[-1], (102, 8, 0, "C:\\movies\\clipsloop.swf"))
            self.session.key("space")
            ends(self.show)
        finally:
            self.session.set_movie(MOVIE_DIR, "show.swf")


class PointerMovement(ShowTestCase):
    def test_50_pixels_on_both_axes_keeps_the_show_51_on_x_ends_it(self):
        self.start_show()
        self.session.move_mouse(START[0] + 50, START[1] + 50)
        self.assertTrue(still_running(self.show), "a move of 50 pixels ended the show")
        self.session.move_mouse(START[0] + 51, START[1] + 50)
        self.assertEqual(ends(self.show), 0)

    def test_51_pixels_up_ends_the_show(self):
        self.start_show()
        self.session.move_mouse(START[0], START[1] - 51)
        self.assertEqual(ends(self.show), 0)

    def test_small_steps_add_up_from_the_start_position(self):
        self.start_show()
        for step in (10, 20, 30, 40, 50):
            self.session.move_mouse(START[0] - step, START[1])
            self.assertTrue(still_running(self.show, 0.4), f"ended {step} pixels away")
        self.session.move_mouse(START[0] - 52, START[1])
        self.assertEqual(ends(self.show), 0)

    def test_the_move_sent_when_the_window_appears_ends_nothing(self):
        self.start_show()
        self.assertTrue(still_running(self.show, 2.0))
        self.session.key("space")
        ends(self.show)


class KeysAndButtons(ShowTestCase):
    def test_keys_end_the_show(self):
        for key in ("a", "Escape", "alt"):
            with self.subTest(key=key):
                self.session.clear_log()
                self.start_show()
                self.session.key(key)
                self.assertEqual(ends(self.show), 0)

    def test_left_and_right_button_over_the_control_end_the_show(self):
        for button, message in ((1, WM_LBUTTONDOWN), (3, WM_RBUTTONDOWN)):
            with self.subTest(button=button):
                self.session.clear_log()
                self.start_show()
                self.session.click(button)
                self.assertEqual(ends(self.show), 0)
                # The click landed on the control, which passed it on before handling it.
                self.assertEqual(self.session.control_input(), [message])

    def test_middle_button_over_the_control_keeps_the_show(self):
        self.start_show()
        self.session.click(2)
        self.assertTrue(still_running(self.show), "a middle click over the movie ended the show")
        self.assertEqual(self.session.control_input(), [WM_MBUTTONDOWN])
        # The click gave the control the keyboard: its key-down is passed on and ends the show.
        self.session.key("b")
        self.assertEqual(ends(self.show), 0)
        self.assertEqual(self.session.control_input(), [WM_MBUTTONDOWN, WM_KEYDOWN])


class BlackWindow(ShowTestCase):
    """No movie on screen: the control stays hidden and any button on the window ends the show."""

    def tearDown(self):
        super().tearDown()
        self.session.set_movie(MOVIE_DIR, "show.swf")

    def assert_black_and_ended_by(self, button):
        control = self.session.control_window()
        self.assertTrue(control is None or not control["visible"], f"control shown: {control}")
        self.assertEqual(self.session.screen_pixel(640, 360), BLACK)
        self.session.click(button)
        self.assertEqual(ends(self.show), 0)

    def test_missing_movie_leaves_the_window_black(self):
        self.session.set_movie(MOVIE_DIR, "missing.swf")
        self.start_show()
        self.assertEqual(self.session.puts(), [])
        self.assert_black_and_ended_by(2)

    def test_empty_movie_name_names_the_folder_and_leaves_the_window_black(self):
        self.session.set_movie(MOVIE_DIR, "")
        self.start_show()
        self.assertEqual(self.session.puts(), [])
        self.assert_black_and_ended_by(3)

    def test_rejected_put_stops_the_puts_and_hides_the_control(self):
        for dispid, made in ((106, 3), (102, 6)):
            with self.subTest(rejected=dispid):
                self.session.clear_log()
                self.start_show(env={"KESTORAL_FLASH_REJECT": str(dispid)})
                puts = self.session.puts()
                self.assertEqual([p[0] for p in puts], [137, 133, 106, 135, 125, 102][:made])
                self.assertEqual(puts[-1][2], 0x80020009)  # DISP_E_EXCEPTION
                self.assertIsNotNone(self.session.control_window(), "the control got no parent")
                self.assert_black_and_ended_by(1)


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
