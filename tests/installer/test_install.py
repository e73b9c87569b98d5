"""A silent install into a fresh prefix: every file and registry value in place, and the
installed screen saver, started from the system folder, playing and configuring the default
movie of the install folder."""

import json
import time
import unittest

import kestoral_harness as kh
from installer_session import (CLASS_KEY, CONTROL32, DESKTOP_KEY, INSTALL_DIR, INSTALLED_FILES,
                               MOVIE_SOURCE, OWNER_MARKER, PRODUCT_KEY, SAVER, SOURCE, TWO_VIEWS,
                               UNINSTALL_KEY, WIN32_BIN_DIR, InstallerSession)

DISPLAY_CLASS = "TFormDisplay"
CONFIG_CLASS = "TFormConfig"


def sample_grid(image, columns=32, rows=18):
    return [image.pixel(image.width * (2 * i + 1) // (2 * columns), image.height * (2 * j + 1) // (2 * rows))
            for j in range(rows) for i in range(columns)]


class SilentInstall(unittest.TestCase):
    session_class = InstallerSession

    @classmethod
    def setUpClass(cls):
        cls.session = cls.session_class().__enter__()
        try:
            cls.exit_code = cls.session.install("/S")
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def test_exit_code_and_files(self):
        self.assertEqual(self.exit_code, 0)
        expected = {
            SAVER: kh.BIN_DIR / "kestoral.scr",
            INSTALL_DIR + "\\swfplayer-control.dll": kh.BIN_DIR / "swfplayer-control.dll",
            INSTALL_DIR + "\\readme.txt": SOURCE / "resources" / "readme.txt",
        }
        if TWO_VIEWS:
            expected[INSTALL_DIR + "\\" + CONTROL32] = WIN32_BIN_DIR / "swfplayer-control.dll"
        for name in ("Default.swf", "Default.txt", "Default.bmp"):
            expected[INSTALL_DIR + "\\swf\\" + name] = MOVIE_SOURCE / name
        for windows_path, source in expected.items():
            with self.subTest(file=windows_path):
                self.assertEqual(self.session.unix_path(windows_path).read_bytes(), source.read_bytes())
        if kh.ARCH.is_64bit:
            # The 64-bit program only, in the native folder: none in SysWOW64, where a 32-bit
            # setup's "system32" would have put it.
            self.assertFalse(self.session.exists(kh.ARCH.system_dir_32 + "\\kestoral.scr"))
        installed = sorted(p.relative_to(self.session.unix_path(INSTALL_DIR)).as_posix()
                           for p in self.session.unix_path(INSTALL_DIR).rglob("*") if p.is_file())
        self.assertEqual(installed, sorted(f.replace("\\", "/") for f in INSTALLED_FILES))

    def test_install_folder_key_has_no_trailing_backslash(self):
        self.assertEqual(self.session.reg_get(PRODUCT_KEY, "Install_Dir"), INSTALL_DIR)

    def test_uninstall_entry(self):
        get = lambda name: self.session.reg_get(UNINSTALL_KEY, name)
        uninstaller = f'"{INSTALL_DIR}\\uninstall.exe"'
        self.assertEqual(get("DisplayName"), "Marvane - Screensaver")
        self.assertEqual(get("DisplayVersion"), "1.5.1500.0")
        self.assertEqual(get("Publisher"), "Orvin Software")
        self.assertEqual(get("UninstallString"), uninstaller)
        self.assertEqual(get("QuietUninstallString"), uninstaller + " /S")
        self.assertEqual(get("InstallLocation"), INSTALL_DIR)
        self.assertEqual(get("DisplayIcon"), SAVER + ",0")
        self.assertEqual(get("NoModify"), 1)
        self.assertEqual(get("NoRepair"), 1)

    def test_player_control_registered_as_ours(self):
        self.assertEqual(self.session.reg_default(CLASS_KEY + "\\InprocServer32"),
                         INSTALL_DIR + "\\swfplayer-control.dll")
        self.assertEqual(self.session.reg_get(CLASS_KEY, OWNER_MARKER), "1")

    @unittest.skipUnless(TWO_VIEWS, "one registry view: 32-bit Windows")
    def test_32_bit_control_registered_in_the_32_bit_view(self):
        self.assertEqual(self.session.reg_default(CLASS_KEY + "\\InprocServer32", view=32),
                         INSTALL_DIR + "\\" + CONTROL32)
        self.assertEqual(self.session.reg_get(CLASS_KEY, OWNER_MARKER, view=32), "1")

    def test_made_the_current_screen_saver(self):
        self.assertEqual(self.session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), SAVER)
        self.assertEqual(self.session.reg_get(DESKTOP_KEY, "ScreenSaveActive"), "1")

    def test_installed_saver_plays_the_default_movie(self):
        # Started from the system folder, which has no movie: only Install_Dir leads to one.
        session = self.session
        session.move_mouse(300, 200)
        show = session.start(SAVER, "/s")
        try:
            session.wait_for_window(class_name=DISPLAY_CLASS, visible=True, process="kestoral.scr")
            time.sleep(2.0)
            first = sample_grid(kh.read_png(session.screenshot(session.prefix / "show1.png", compress=False)))
            time.sleep(1.5)
            second = sample_grid(kh.read_png(session.screenshot(session.prefix / "show2.png", compress=False)))
            lit = [p for p in first if sum(p) > 60]
            self.assertGreater(len(lit), len(first) // 2, "the show is mostly black")
            changed = sum(1 for a, b in zip(first, second) if a != b)
            self.assertGreater(changed, 10, "the picture does not change over time")
            session.key("space")
            self.assertEqual(show.wait(10), 0)
        finally:
            show.kill()

    def test_configuration_finds_the_default_movie(self):
        session = self.session
        dialog = session.start(SAVER, "/c")
        try:
            form = session.wait_for_window(class_name=CONFIG_CLASS, visible=True)
            children = [w for w in session.windows(children=True) if w["pid"] == form["pid"]]
            combo = [w for w in children if w["class"] == "ComboBox"]
            self.assertEqual(len(combo), 1)
            code, lines = session.run("combo_state.exe", combo[0]["hwnd"])
            self.assertEqual(code, 0)
            state = json.loads(lines[0])
            self.assertEqual(state["items"], ["Default.swf"])
            self.assertEqual(state["text"], "Default.swf")
            # The description beside it is the install folder's Default.txt.
            description = (MOVIE_SOURCE / "Default.txt").read_text("cp1252").replace("\r\n", "\n")
            texts = [w["title"].replace("\r\n", "\n") for w in children if w["class"] == "Static"]
            self.assertIn(description, texts)
        finally:
            dialog.kill()


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
