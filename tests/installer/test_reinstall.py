"""Installing over an existing installation, in the same folder and in another one, and
installing where another server already holds the Flash class id."""

import unittest

import kestoral_harness as kh
from installer_session import (CLASS_KEY, CONTROL32, DESKTOP_KEY, INSTALL_DIR, INSTALLED_FILES,
                               OWNER_MARKER, PRODUCT_KEY, SAVER, TWO_VIEWS, UNINSTALL_KEY,
                               InstallerSession)

OTHER_SAVER = "C:\\windows\\system32\\other.scr"
MOVED_DIR = "C:\\Saver"
FOREIGN_SERVER = "C:\\windows\\system32\\foreign-flash.ocx"


class Reinstall(unittest.TestCase):
    def assert_installed_in(self, session, folder):
        for name in INSTALLED_FILES:
            self.assertTrue(session.exists(folder + "\\" + name), f"{folder}\\{name} missing")
        self.assertTrue(session.exists(SAVER))
        self.assertEqual(session.reg_get(PRODUCT_KEY, "Install_Dir"), folder)
        self.assertEqual(session.reg_get(UNINSTALL_KEY, "InstallLocation"), folder)
        self.assertEqual(session.reg_default(CLASS_KEY + "\\InprocServer32"), folder + "\\swfplayer-control.dll")
        self.assertEqual(session.reg_get(CLASS_KEY, OWNER_MARKER), "1")
        self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), SAVER)

    def test_same_folder_then_another_folder_then_uninstall(self):
        with InstallerSession() as session:
            session.reg_set(DESKTOP_KEY, "SCRNSAVE.EXE", OTHER_SAVER)
            files_before = session.drive_files()
            self.assertEqual(session.install("/S"), 0)
            self.assertEqual(session.install("/S"), 0)
            self.assert_installed_in(session, INSTALL_DIR)

            self.assertEqual(session.install("/S", "/D=" + MOVED_DIR), 0)
            self.assert_installed_in(session, MOVED_DIR)
            self.assertFalse(session.exists(INSTALL_DIR), "the earlier folder is left behind")

            self.assertEqual(session.uninstall("/S", install_dir=MOVED_DIR), 0)
            self.assertEqual(sorted(session.drive_files() ^ files_before), [])
            for key in (PRODUCT_KEY, UNINSTALL_KEY, CLASS_KEY):
                self.assertFalse(session.key_exists(key), f"{key} left behind")
            # Setup replaced other.scr once; the reinstalls did not take our own for it.
            self.assertEqual(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), OTHER_SAVER)


class ForeignRegistration(unittest.TestCase):
    def test_survives_install_and_uninstall(self):
        with InstallerSession() as session:
            session.reg_set(CLASS_KEY, None, "Shockwave Flash Object")
            session.reg_set(CLASS_KEY + "\\InprocServer32", None, FOREIGN_SERVER)
            session.reg_set(CLASS_KEY + "\\InprocServer32", "ThreadingModel", "Apartment")
            registration = session.key_tree(CLASS_KEY)
            self.assertIn(FOREIGN_SERVER, registration)

            self.assertEqual(session.install("/S"), 0)
            self.assertEqual(session.key_tree(CLASS_KEY), registration)
            self.assertTrue(session.exists(INSTALL_DIR + "\\swfplayer-control.dll"))
            self.assertEqual(session.reg_get(PRODUCT_KEY, "Install_Dir"), INSTALL_DIR)

            self.assertEqual(session.uninstall("/S"), 0)
            self.assertEqual(session.key_tree(CLASS_KEY), registration)
            self.assertFalse(session.exists(INSTALL_DIR))
            self.assertFalse(session.key_exists(PRODUCT_KEY))

    @unittest.skipUnless(TWO_VIEWS, "one registry view: 32-bit Windows")
    def test_the_rule_holds_in_each_view_alone(self):
        # A 32-bit Flash control only: its view stays its own, the 64-bit view gets ours.
        with InstallerSession() as session:
            session.reg_set(CLASS_KEY + "\\InprocServer32", None, FOREIGN_SERVER, view=32)
            registration = session.key_tree(CLASS_KEY, view=32)

            self.assertEqual(session.install("/S"), 0)
            self.assertEqual(session.key_tree(CLASS_KEY, view=32), registration)
            self.assertEqual(session.reg_default(CLASS_KEY + "\\InprocServer32"),
                             INSTALL_DIR + "\\swfplayer-control.dll")
            self.assertTrue(session.exists(INSTALL_DIR + "\\" + CONTROL32))

            self.assertEqual(session.uninstall("/S"), 0)
            self.assertEqual(session.key_tree(CLASS_KEY, view=32), registration)
            self.assertFalse(session.key_exists(CLASS_KEY))


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
