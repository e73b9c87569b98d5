"""kestoral_harness.Session: prefix, registry, windows, pointer, X input and screen, clean-up."""

import os
import signal
import subprocess
import sys
import tempfile
import textwrap
import time
import unittest
from pathlib import Path

from kestoral_harness import (ARCH, TEMPLATE, HarnessError, Session, install_script_timeout,
                              prefix_processes, read_png, wait_until)


class SessionCleanUp(unittest.TestCase):
    def assert_gone(self, prefix, xvfb_pid):
        self.assertFalse(prefix.exists())
        self.assertEqual(prefix_processes(prefix), [])
        with self.assertRaises(ProcessLookupError):
            os.kill(xvfb_pid, 0)

    def test_everything_removed_when_the_block_fails(self):
        with self.assertRaises(RuntimeError):
            with Session() as session:
                prefix, xvfb = session.prefix, session._xvfb.pid
                session.start("hang.exe")
                raise RuntimeError("test failed inside the session")
        self.assert_gone(prefix, xvfb)

    def test_everything_removed_when_the_test_process_is_killed(self):
        script = textwrap.dedent("""
            import sys, time
            from kestoral_harness import Session
            with Session() as session:
                session.start("hang.exe").wait_for_line("hanging", 30)
                print(session.prefix, session._xvfb.pid, flush=True)
                time.sleep(300)
        """)
        child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE,
                                 stdin=subprocess.DEVNULL, text=True)
        prefix, xvfb = child.stdout.readline().split()
        self.assertTrue(prefix_processes(prefix), "no Wine process in the child's session")
        child.send_signal(signal.SIGKILL)
        child.wait()
        wait_until(lambda: not Path(prefix).exists(), 30, 0.2, "the reaper")
        self.assert_gone(Path(prefix), int(xvfb))


class Registry(unittest.TestCase):
    def test_values_round_trip_and_delete(self):
        key = "HKCU\\Software\\KestoralHarnessTest"
        with Session(gui=False) as session:
            self.assertIsNone(session.reg_get(key, "Text"))
            session.reg_set(key, "Text", "C:\\movies\\a b.swf")
            session.reg_set(key, "Number", 4294967295, "REG_DWORD")
            self.assertEqual(session.reg_get(key, "Text"), "C:\\movies\\a b.swf")
            self.assertEqual(session.reg_get(key, "Number"), 4294967295)
            session.reg_delete(key, "Text")
            self.assertIsNone(session.reg_get(key, "Text"))
            self.assertEqual(session.reg_get(key, "Number"), 4294967295)
            session.reg_delete(key)
            self.assertIsNone(session.reg_get(key, "Number"))

    def test_registry_views_are_apart_only_in_a_64_bit_prefix(self):
        key = "HKLM\\Software\\Classes\\CLSID\\{6B1D7A52-3A55-4C1E-9F7B-0D1C2E3F4A5B}"
        with Session(gui=False) as session:
            session.reg_set(key, None, "thirty-two", view=32)
            session.reg_set(key, "Native", "yes")
            self.assertEqual(session.reg_get(key, "Native", view=64 if ARCH.is_64bit else None), "yes")
            if ARCH.is_64bit:
                self.assertIsNone(session.reg_get(key, "Native", view=32))
            else:
                self.assertEqual(session.reg_get(key, "Native", view=32), "yes")

    def test_windows_version_for_one_program(self):
        with Session(gui=False) as session:
            session.set_windows_version("win98", exe="exit_with.exe")
            code, lines = session.run("exit_with.exe", 0)
            self.assertIn("platform 1", lines)
            session.copy_in(session.program_path("exit_with.exe"), "C:\\other\\other.exe")
            code, lines = session.run("C:\\other\\other.exe", 0)
            self.assertIn("platform 2", lines)

    def test_windows_version_for_the_whole_session(self):
        with Session(gui=False, windows_version="win98") as session:
            self.assertIn("platform 1", session.run("exit_with.exe")[1])


class Files(unittest.TestCase):
    def test_copy_in_maps_drive_c_into_the_prefix(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as source:
            source.write("movie notes")
        try:
            with Session(gui=False) as session:
                target = session.copy_in(source.name, "C:\\Movies\\Notes.txt")
                self.assertEqual(target, session.prefix / "drive_c" / "Movies" / "Notes.txt")
                self.assertEqual(target.read_text(), "movie notes")
                with self.assertRaises(HarnessError):
                    session.unix_path("D:\\elsewhere.txt")
        finally:
            os.unlink(source.name)

    def test_replacing_a_wine_binary_leaves_the_template_alone(self):
        template_dll = TEMPLATE / "drive_c/windows/system32/mpr.dll"
        before = template_dll.read_bytes()
        with Session(gui=False) as session:
            session.install_mpr_double()
            installed = session.unix_path("C:\\windows\\system32\\mpr.dll").read_bytes()
            self.assertNotEqual(installed, before)
        self.assertEqual(template_dll.read_bytes(), before)


class WindowsAndInput(unittest.TestCase):
    """With the stand-in saver: full-screen topmost window, hidden pointer, hidden taskbar."""

    def start_saver(self, session):
        session.move_mouse(640, 360)
        saver = session.start("demo_saver.exe", "/s")
        window = session.wait_for_window(class_name="KestoralDemoSaver", visible=True)
        saver.wait_for_line(r"^move 640 360$")  # Wine's move at the resting pointer
        return saver, window

    def test_window_list_reports_class_styles_rect_and_process(self):
        with Session() as session:
            saver, window = self.start_saver(session)
            self.assertEqual(window["title"], "Demo saver")
            self.assertEqual(window["rect"], [0, 0, 1280, 720])
            self.assertEqual(window["exstyle"] & 0xFF, 0x08)  # WS_EX_TOPMOST
            self.assertTrue(window["style"] & 0x80000000)  # WS_POPUP
            self.assertFalse(window["style"] & 0x00C00000)  # no caption
            self.assertEqual(window["process"].lower(), "demo_saver.exe")
            self.assertEqual(window["owner"], 0)

    def test_key_reaches_the_window(self):
        with Session() as session:
            saver, _ = self.start_saver(session)
            session.key("space")
            self.assertEqual(saver.wait(10), 0)
            self.assertIn("key 32", saver.lines())

    def test_pointer_moves_to_absolute_positions_and_clicks_arrive(self):
        with Session() as session:
            saver, _ = self.start_saver(session)
            session.move_mouse(660, 380)
            saver.wait_for_line(r"^move 660 380$")
            self.assertIsNone(saver.exit_code)
            session.click(3)
            saver.wait_for_line(r"^button 3$")
            self.assertEqual(saver.wait(10), 0)

    def test_screenshot_and_pixels(self):
        with Session() as session:
            self.start_saver(session)
            time.sleep(0.5)  # first paint
            shot = session.screenshot(session.prefix / "screen.png")
            image = read_png(shot)
            self.assertEqual((image.width, image.height), (1280, 720))
            self.assertEqual(image.pixel(150, 150), (255, 0, 0))
            self.assertEqual(session.pixel(599, 299), (0, 255, 0))
            self.assertEqual(session.pixel(600, 300), (0, 0, 0))

    def test_hidden_pointer_is_seen_and_restored(self):
        with Session() as session:
            self.assertTrue(session.cursor()["showing"])
            saver, window = self.start_saver(session)
            cursor = wait_until(lambda: (c := session.cursor())["foreground"] == window["hwnd"]
                                and c, 10, 0.2, "the saver in the foreground")
            self.assertFalse(cursor["showing"])
            session.key("Escape")
            saver.wait(10)
            self.assertTrue(session.cursor()["showing"])

    def test_fake_taskbar_reports_hide_and_restore(self):
        with Session() as session:
            taskbar, hwnd = session.start_fake_taskbar()
            listed = session.find_windows(class_name="Shell_TrayWnd", visible=True)
            self.assertEqual([w["hwnd"] for w in listed], [hwnd])
            saver, _ = self.start_saver(session)
            taskbar.wait_for_line(r"^visible 0$")
            hidden_at = len(taskbar.lines())
            session.key("space")
            saver.wait(10)
            taskbar.wait_for_line(r"^visible 1$", 10, start=hidden_at)
            self.assertEqual(taskbar.lines(), ["ready %d" % hwnd, "visible 1", "visible 0",
                                               "visible 1"])


if __name__ == "__main__":
    install_script_timeout()
    unittest.main(verbosity=2)
