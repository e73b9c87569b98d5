"""Silent uninstall: nothing of the installation is left on disk or in the registry but the
user's own settings; the screen-saver choice goes back to what it was before setup changed it;
the switches /KEEPSAVER (setup) and /REMOVESETTINGS (uninstaller)."""

import unittest

import kestoral_harness as kh
from installer_session import (CLASS_KEY, DESKTOP_KEY, INSTALL_DIR, PRODUCT_KEY, SAVER, SETTINGS_KEY,
                               UNINSTALL_KEY, InstallerSession)

OTHER_SAVER = "C:\\windows\\system32\\other.scr"
LATER_SAVER = "C:\\windows\\system32\\later.scr"
GENERAL = SETTINGS_KEY + "\\OptGeneral"
MACHINE_KEYS = (PRODUCT_KEY, "HKLM\\SOFTWARE\\OrvinSoftware", UNINSTALL_KEY, CLASS_KEY)


class SilentUninstall(unittest.TestCase):
    def assert_no_machine_keys(self, session):
        for key in MACHINE_KEYS:
            self.assertFalse(session.key_exists(key), f"{key} left behind")
        # Both views: the 32-bit control's registration goes too.
        self.assertFalse(session.key_exists(CLASS_KEY, view=32), f"{CLASS_KEY} left behind in the 32-bit view")

    def test_leaves_only_the_user_settings(self):
        with InstallerSession() as session:
            files_before = session.drive_files()
            desktop_before = {name: session.reg_get(DESKTOP_KEY, name)
                              for name in ("SCRNSAVE.EXE", "ScreenSaveActive")}
            self.assertEqual(session.install("/S"), 0)
            self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), SAVER)
            session.reg_set(GENERAL, "sMovieName", "Default.swf")   # as the dialog saves it

            self.assertEqual(session.uninstall("/S"), 0)
            files_after = session.drive_files()
            self.assertEqual(sorted(files_after - files_before), [], "files left behind")
            self.assertEqual(sorted(files_before - files_after), [], "files removed that were there before")
            self.assert_no_machine_keys(session)
            for name, value in desktop_before.items():
                self.assertEqual(session.reg_get(DESKTOP_KEY, name), value, name)
            self.assertEqual(session.reg_get(GENERAL, "sMovieName"), "Default.swf")

    def test_switches_and_a_choice_made_after_setup(self):
        with InstallerSession() as session:
            session.reg_set(DESKTOP_KEY, "SCRNSAVE.EXE", OTHER_SAVER)
            with self.subTest("/KEEPSAVER"):
                self.assertEqual(session.install("/S", "/KEEPSAVER"), 0)
                self.assertTrue(session.exists(SAVER))
                self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), OTHER_SAVER)
                self.assertEqual(session.uninstall("/S"), 0)
                self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), OTHER_SAVER)
                self.assert_no_machine_keys(session)

            with self.subTest("the user chose another screen saver after setup"):
                self.assertEqual(session.install("/S"), 0)
                self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), SAVER)
                session.reg_set(DESKTOP_KEY, "SCRNSAVE.EXE", LATER_SAVER)
                session.reg_set(GENERAL, "sMovieName", "Default.swf")
                self.assertEqual(session.uninstall("/S", "/REMOVESETTINGS"), 0)
                self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), LATER_SAVER)
                self.assertFalse(session.key_exists(SETTINGS_KEY), "settings kept despite /REMOVESETTINGS")
                self.assertFalse(session.key_exists("HKCU\\Software\\OrvinSoftware"))
                self.assertFalse(session.exists(INSTALL_DIR))
                self.assertFalse(session.exists(SAVER))
                self.assert_no_machine_keys(session)


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
