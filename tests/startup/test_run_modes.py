"""The run modes as the screen-saver machinery starts them, the single-show mutex, and the
beep on a bad preview handle, seen from outside the process."""

import unittest

import kestoral_harness as kh
from startup_harness import StartupSession, ended_within, still_running_after


class RunModes(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return StartupSession()

    def setUp(self):
        self.session.move_mouse(100, 100)

    def tearDown(self):
        self.session.kill_runs()

    def start_show(self, *args):
        run = self.session.start_traced(*args)
        window = kh.wait_until(lambda: self.session.program_windows("TFormDisplay", visible=True), 30,
                               message=f"the show of {args}")[0]
        return run, window

    def end_show(self, run):
        self.session.click(1)
        self.assertTrue(ended_within(run), "the show did not end on a click")

    def test_configuration_switches_open_the_dialog(self):
        for args in [(), ("/c",), ("-C",), ("/c:1234",)]:
            with self.subTest(args=args):
                run = self.session.start_traced(*args)
                dialog = kh.wait_until(lambda: self.session.program_windows("TFormConfig", visible=True), 30,
                                       message=f"the dialog of {args}")[0]
                self.assertEqual(dialog["owner"], self.session.program_windows("TApplication")[0]["hwnd"],
                                 "the dialog belongs to the application window, not to /c's window")
                self.assertEqual(self.session.program_windows("TFormDisplay"), [])
                self.session.key("Escape")
                self.assertTrue(ended_within(run), f"{args}: Escape did not close the dialog")
                self.assertEqual(run.beeps(), [])

    def test_show_switches_start_the_full_screen_show(self):
        for args in [("/s",), ("-s",), ("/S",), ("xs",), ("s",), ("/x",)]:
            with self.subTest(args=args):
                run, window = self.start_show(*args)
                self.assertEqual(window["exstyle"], 0x8)
                self.end_show(run)
                self.assertEqual(run.beeps(), [])

    def test_second_show_ends_silently_while_dialog_and_preview_proceed(self):
        show, window = self.start_show("/s")
        try:
            second = self.session.start_traced("/s")
            self.assertTrue(ended_within(second, 15), "a second /s did not end")
            self.assertEqual(second.beeps(), [])
            other = self.session.start_traced("/x")
            self.assertTrue(ended_within(other, 15), "/x during a show did not end")
            self.assertEqual(other.beeps(), [])
            self.assertEqual(len(self.session.program_windows("TFormDisplay")), 1)

            # The preview run watches the show's window as its pane: it starts, stays hidden,
            # and ends when the show (its pane) goes away.
            preview = self.session.start_traced("/p", window["hwnd"])
            kh.wait_until(lambda: len(self.session.program_windows("TFormDisplay")) == 2, 30,
                          message="the preview's window")
            self.assertEqual(len(self.session.program_windows("TFormDisplay", visible=True)), 1)
            self.assertTrue(still_running_after(preview, 1.0))
        finally:
            self.end_show(show)
        self.assertTrue(ended_within(preview), "the preview outlived its pane")
        self.assertEqual(preview.beeps(), [])

    def test_dialog_started_during_a_show_keeps_the_name_taken(self):
        show, _ = self.start_show("/s")
        dialog = self.session.start_traced("/c")
        window = kh.wait_until(lambda: self.session.program_windows("TFormConfig", visible=True), 30,
                               message="the dialog during a show")[0]
        self.end_show(show)  # the topmost show takes the click
        late = self.session.start_traced("/s")
        self.assertTrue(ended_within(late, 15), "/s started while the dialog holds the name")
        self.assertEqual(self.session.program_windows("TFormDisplay"), [])
        self.session.close_dialog(window)
        self.assertTrue(ended_within(dialog), "the dialog did not close")
        # With the last holder gone the name is free again.
        again, _ = self.start_show("/s")
        self.end_show(again)

    def test_bad_preview_handle_beeps_once_and_opens_nothing(self):
        for args in [("/p",), ("/p", "abc"), ("/p:1234",), ("/p", "99999999999")]:
            with self.subTest(args=args):
                run = self.session.start_traced(*args)
                self.assertTrue(ended_within(run), f"{args} did not end")
                self.assertEqual(run.beeps(), ["00000000"], f"{args}: one MB_OK beep expected")
                self.assertEqual(self.session.program_windows("TFormDisplay"), [])

    def test_preview_window_stays_hidden_with_the_application_window(self):
        taskbar, pane = self.session.start_fake_taskbar()
        try:
            run = self.session.start_traced("/p", pane)
            display = kh.wait_until(lambda: self.session.program_windows("TFormDisplay"), 30,
                                    message="the preview window")[0]
            self.assertFalse(display["visible"])
            self.assertFalse(any(w["visible"] for w in self.session.program_windows("TApplication")))
            self.assertTrue(still_running_after(run, 1.0))
        finally:
            taskbar.kill()
        self.assertTrue(ended_within(run), "the preview did not end when its pane was destroyed")
        self.assertEqual(run.beeps(), [])


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
