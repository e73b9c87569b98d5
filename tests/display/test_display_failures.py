"""A control that cannot be created: the framework's error box, then a black show that still
ends on input and restores pointer and taskbar."""

import unittest

import kestoral_harness as kh
from display_harness import BLACK, DISPLAY_CLASS, DisplaySession, ends

DIALOG_CLASS = "#32770"


class ControlCannotBeCreated(unittest.TestCase):
    def run_show_through_error_box(self, session, env=None):
        """Starts a show, reads the error box's texts, dismisses it and returns the show."""
        taskbar, _ = session.start_fake_taskbar()
        self.addCleanup(taskbar.kill)
        show, _ = session.start_show(env=env, wait_visible=False)
        self.addCleanup(show.kill)
        box = session.wait_for_window(class_name=DIALOG_CLASS, visible=True, process="kestoral.scr")
        self.assertEqual(box["title"], "kestoral")
        texts = [w["title"] for w in session.windows(children=True)
                 if not w["top_level"] and w["parent"] == box["hwnd"] and w["class"] == "Static"]
        session.screenshot(session.prefix / "error-box.png")
        session.key("Return")
        session.wait_for_window(class_name=DISPLAY_CLASS, visible=True, process="kestoral.scr")
        self.assertIsNone(session.control_window())
        self.assertEqual(session.screen_pixel(640, 360), BLACK)
        self.assertFalse(session.cursor()["showing"])
        taskbar.wait_for_line(r"^visible 0$", 5)
        session.key("space")
        self.assertEqual(ends(show), 0)
        taskbar.wait_for_line(r"^visible 1$", 5)
        self.assertTrue(session.cursor()["showing"])
        return texts

    def test_unregistered_control(self):
        with DisplaySession(register_double=False) as session:
            texts = self.run_show_through_error_box(session)
            # Windows words it; Wine has no text for the code and names the code itself.
            self.assertRegex(" ".join(texts), r"Class not registered|80040154")

    def test_creation_refused_by_the_control(self):
        with DisplaySession() as session:
            texts = self.run_show_through_error_box(session, env={"KESTORAL_FLASH_FAIL_CREATE": "0x8007000E"})
            self.assertTrue(any(t.strip() for t in texts), f"empty error box: {texts}")
            self.assertIn("FlashCreate result=0x8007000E", session.log_lines())
            self.assertEqual(session.puts(), [])


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
