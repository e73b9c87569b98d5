"""The close of a full-screen show under the password of the Windows 95 family (emulated
Windows 98, the PASSWORD.CPL double): a refusal keeps everything as it was and the next input
asks again."""

import unittest

import kestoral_harness as kh
from display_harness import START, WM_LBUTTONDOWN, DisplaySession, ends, still_running


class RefusedPassword(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return DisplaySession(windows_version="win98")

    @classmethod
    def prepare_session(cls, session):
        session.put_password_in_force()

    def setUp(self):
        self.session.clear_log()
        self.taskbar, _ = self.session.start_fake_taskbar()
        self.show = None

    def tearDown(self):
        if self.show is not None:
            self.show.kill()
        self.taskbar.kill()

    def start_show(self, results):
        self.show, _ = self.session.start_show(env={"KESTORAL_VERIFY_RESULT": results})
        self.taskbar.wait_for_line(r"^visible 0$", 5)

    def assert_show_unchanged(self):
        self.assertTrue(still_running(self.show), "a refused password ended the show")
        window = self.session.display_windows()[0]
        self.assertTrue(window["visible"])
        self.assertFalse(self.session.cursor()["showing"], "pointer shown after a refusal")
        self.assertEqual(self.taskbar.lines()[-1], "visible 0", "taskbar shown after a refusal")

    def test_refused_key_keeps_the_show_and_the_next_key_asks_again(self):
        self.start_show("0,1")
        self.session.key("space")
        kh.wait_until(lambda: len(self.session.verify_calls()) == 1, 10, message="the first question")
        self.assert_show_unchanged()
        self.session.key("space")
        self.assertEqual(ends(self.show), 0)
        self.assertEqual([c.split("result=")[1] for c in self.session.verify_calls()], ["0", "1"])
        self.taskbar.wait_for_line(r"^visible 1$", 5)

    def test_after_a_refusal_the_distance_still_counts_from_the_start(self):
        self.start_show("0,1")
        self.session.move_mouse(START[0] + 60, START[1])
        kh.wait_until(lambda: len(self.session.verify_calls()) == 1, 10, message="the first question")
        self.assert_show_unchanged()
        # One pixel further: 61 from the start, though only 1 from the last position.
        self.session.move_mouse(START[0] + 61, START[1])
        self.assertEqual(ends(self.show), 0)
        self.assertEqual(len(self.session.verify_calls()), 2)

    def test_click_on_the_control_is_judged_before_the_control_handles_it(self):
        self.start_show("0,1")
        self.session.click(1)
        kh.wait_until(lambda: self.session.control_input(), 10, message="the control's click")
        self.assert_show_unchanged()
        # The password was asked (and refused) before the control saw the click.
        lines = [l for l in self.session.log_lines() if l.startswith(("Verify", "FlashInput"))]
        self.assertEqual(len(lines), 2, lines)
        self.assertTrue(lines[0].startswith("VerifyScreenSavePwd ") and lines[0].endswith(" result=0"), lines)
        self.assertEqual(lines[1], f"FlashInput message={WM_LBUTTONDOWN}")
        self.session.key("space")
        self.assertEqual(ends(self.show), 0)


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
