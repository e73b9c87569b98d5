"""The 32-bit setup.exe, the one for every Windows, run on 64-bit Windows: the 64-bit screen
saver into the native system folder, the 64-bit control into the 64-bit registry view and the
32-bit control into the 32-bit view, exactly as the 64-bit build of setup does; the same checks
as test_install.py, and the uninstall of both views. Runs in the 64-bit build where 32-bit
programs can run here (tools/wine/runnable-arches.sh); elsewhere it says why it is skipped."""

import subprocess
import unittest

import kestoral_harness as kh
import installer_session
import test_install
import test_uninstall


def thirty_two_bit_programs_run():
    arches = subprocess.run([str(kh.TOOLS / "runnable-arches.sh")], stdout=subprocess.PIPE,
                            stdin=subprocess.DEVNULL, text=True).stdout.split()
    return "win32" in arches


WIN32_SETUP = installer_session.WIN32_BIN_DIR.parent / "setup.exe" if installer_session.WIN32_BIN_DIR else None
WHY_NOT = ("not the 64-bit build" if not kh.ARCH.is_64bit else
           "KESTORAL_WIN32_BIN_DIR names no 32-bit build" if WIN32_SETUP is None else
           "32-bit programs cannot run here" if not thirty_two_bit_programs_run() else None)


class Win32SetupSession(installer_session.InstallerSession):
    setup = WIN32_SETUP


@unittest.skipIf(WHY_NOT, WHY_NOT)
class Win32SetupOn64BitWindows(test_install.SilentInstall):
    session_class = Win32SetupSession

    def test_uninstall_leaves_neither_view_registered(self):
        # Last: it takes the installation away from the other tests of the class.
        session = self.session
        self.assertEqual(session.uninstall("/S"), 0)
        self.assertFalse(session.exists(installer_session.SAVER))
        self.assertFalse(session.exists(installer_session.INSTALL_DIR))
        test_uninstall.SilentUninstall.assert_no_machine_keys(self, session)


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
