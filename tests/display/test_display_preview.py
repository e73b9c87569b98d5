"""The preview run ("/p <hwnd>"): a hidden window beside the control panel's pane that ends when
the pane is hidden or destroyed, never asks for a password, and ends even when the control
could not be created."""

import unittest

import kestoral_harness as kh
from display_harness import DISPLAY_CLASS, FLASH_CLSID, WS_EX_TOPMOST, DisplaySession, ends, still_running

COMMANDS = "C:\\kestoral-test\\pane-commands.txt"


class PreviewRun(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return DisplaySession(windows_version="win98")

    @classmethod
    def prepare_session(cls, session):
        # A password in force, to show that the preview never asks for it.
        session.put_password_in_force()

    def setUp(self):
        self.session.clear_log()
        self.session.write_file(COMMANDS, b"")
        self.pane = self.session.start("preview_pane.exe", COMMANDS)
        self.addCleanup(self.pane.kill)
        self.pane_hwnd = int(self.pane.wait_for_line(r"^ready (\d+)", 20).group(1))

    def start_preview(self):
        preview = self.session.start("kestoral.scr", "/p", self.pane_hwnd,
                                     env={"KESTORAL_VERIFY_RESULT": "0"})
        self.addCleanup(preview.kill)
        window = self.session.wait_for_window(class_name=DISPLAY_CLASS, process="kestoral.scr")
        return preview, window

    def tell_pane(self, word):
        self.session.write_file(COMMANDS, word.encode())
        self.pane.wait_for_line(rf"^done {word}$", 10)

    def test_hidden_pane_ends_the_run_without_a_password(self):
        taskbar, _ = self.session.start_fake_taskbar()
        self.addCleanup(taskbar.kill)
        preview, window = self.start_preview()
        self.assertFalse(window["visible"])
        self.assertEqual(window["exstyle"], WS_EX_TOPMOST)
        self.assertEqual(window["rect"], [0, 0, 320, 240])  # design bounds, not the screen
        self.session.key("space")
        self.session.click(1)
        self.assertTrue(still_running(preview), "input ended the preview")
        self.assertEqual(taskbar.lines()[-1], "visible 1", "the preview hid the taskbar")
        self.assertEqual([p[0] for p in self.session.puts()], [137, 133, 106, 135, 125, 102])
        self.tell_pane("hide")
        self.assertEqual(ends(preview), 0)
        self.assertEqual(self.session.verify_calls(), [])
        self.assertTrue(all(not w["visible"] for w in self.session.display_windows()))

    def test_destroyed_pane_ends_the_run(self):
        preview, _ = self.start_preview()
        self.assertTrue(still_running(preview))
        self.tell_pane("destroy")
        self.assertEqual(ends(preview), 0)

    def test_run_without_a_control_still_ends_with_its_pane(self):
        # Regression: the tick was enabled only after the control was created, so a preview
        # whose control failed never noticed its pane going away.
        preview = self.session.start("kestoral.scr", "/p", self.pane_hwnd,
                                     env={"KESTORAL_FLASH_FAIL_CREATE": "0x80004005"})
        self.addCleanup(preview.kill)
        self.session.wait_for_window(class_name="#32770", visible=True, process="kestoral.scr")
        self.assertTrue(still_running(preview))
        self.tell_pane("destroy")
        self.assertEqual(ends(preview), 0)
        self.assertEqual(self.session.puts(), [])


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
