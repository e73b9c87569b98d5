"""The setup program and the uninstaller run through their pages as a person would: keys and
clicks under Xvfb, the optional components changed from their defaults on the way. Keeps a
picture of every page in the build folder (tests/installer/pages/)."""

import subprocess
import unittest

import kestoral_harness as kh
from installer_session import (CLASS_KEY, DESKTOP_KEY, INSTALL_DIR, INSTALLED_FILES, PRODUCT_KEY,
                               SAVER, SETTINGS_KEY, SETUP, UNINSTALL_KEY, InstallerSession)

PAGES = kh.BIN_DIR.parent / "tests" / "installer" / "pages"
DIALOG_CLASS = "#32770"
GENERAL = SETTINGS_KEY + "\\OptGeneral"


class Pages(unittest.TestCase):
    def wait_for_page(self, session, process, heading, picture):
        """Waits until the wizard of `process` shows `heading`; keeps a picture of the page;
        returns the wizard's child windows."""
        def shown():
            dialogs = session.find_windows(class_name=DIALOG_CLASS, process=process, visible=True)
            if not dialogs:
                return None
            children = [w for w in session.windows(children=True)
                        if w["pid"] == dialogs[0]["pid"] and w["visible"]]
            if any(w["title"] == heading for w in children):
                return dialogs[0], children
            return None
        dialog, children = kh.wait_until(shown, 30, 0.3, f"the page {heading!r} of {process}")
        screen = session.screenshot(session.prefix / "page.png")
        left, top, right, bottom = dialog["rect"]
        PAGES.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", str(screen), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                        "+repage", str(PAGES / picture)], check=True)
        return children

    def toggle_second_component(self, session, children):
        # The second row of the components tree: its check box sits at the row's left.
        tree = [w for w in children if w["class"] == "SysTreeView32"]
        self.assertEqual(len(tree), 1)
        left, top, _, _ = tree[0]["rect"]
        session.move_mouse(left + 9, top + 24)
        session.click(1)

    def test_install_without_making_it_current_then_uninstall_with_the_settings(self):
        with InstallerSession(screen="1024x768x24") as session:
            setup = session.start(str(SETUP))
            self.wait_for_page(session, "setup.exe", "Welcome to Marvane - Screensaver Setup", "1-welcome.png")
            session.key("Return")
            children = self.wait_for_page(session, "setup.exe", "Choose Components", "2-components.png")
            self.toggle_second_component(session, children)
            self.wait_for_page(session, "setup.exe", "Choose Components", "2-components-changed.png")
            session.key("Return")
            self.wait_for_page(session, "setup.exe", "Choose Install Location", "3-folder.png")
            session.key("Return")
            self.wait_for_page(session, "setup.exe", "Completing Marvane - Screensaver Setup", "4-finish.png")
            session.key("Return")
            self.assertEqual(setup.wait(30), 0)

            for name in INSTALLED_FILES:
                self.assertTrue(session.exists(INSTALL_DIR + "\\" + name), name)
            self.assertTrue(session.exists(SAVER))
            self.assertEqual(session.reg_get(PRODUCT_KEY, "Install_Dir"), INSTALL_DIR)
            self.assertIsNone(session.reg_get(DESKTOP_KEY, "SCRNSAVE.EXE"), "made current though unticked")

            session.reg_set(GENERAL, "sMovieName", "Default.swf")
            first = session.start(INSTALL_DIR + "\\uninstall.exe")
            self.assertEqual(first.wait(30), 0)   # hands over to its copy in the temporary folder
            self.wait_for_page(session, "Un.exe", "Uninstall Marvane - Screensaver", "5-uninstall.png")
            session.key("Return")
            children = self.wait_for_page(session, "Un.exe", "Choose Components", "6-uninstall-components.png")
            self.toggle_second_component(session, children)
            self.wait_for_page(session, "Un.exe", "Choose Components", "6-uninstall-components-changed.png")
            session.key("Return")
            self.wait_for_page(session, "Un.exe", "Uninstallation Complete", "7-uninstall-complete.png")
            session.key("Return")
            kh.wait_until(lambda: not session.uninstaller_copies(), 30, 0.3, "the uninstaller to end")

            self.assertFalse(session.exists(INSTALL_DIR))
            self.assertFalse(session.exists(SAVER))
            for key in (PRODUCT_KEY, UNINSTALL_KEY, CLASS_KEY, SETTINGS_KEY):
                self.assertFalse(session.key_exists(key), f"{key} left behind")


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
