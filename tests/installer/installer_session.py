"""Pieces the installer tests share: a session that runs setup.exe and the uninstaller it
wrote, reads registry keys and default values, and lists what an installation leaves on disk.

The build's own setup.exe runs in a prefix of the build's architecture: the 32-bit one on
32-bit Windows, the 64-bit one on 64-bit Windows. On 64-bit Windows an installation also puts
the 32-bit control (from KESTORAL_WIN32_BIN_DIR, the 32-bit build) beside the 64-bit one and
registers it in the 32-bit registry view."""

import os
import time
from pathlib import Path

import kestoral_harness as kh

SETUP = kh.BIN_DIR.parent / "setup.exe"
WIN32_BIN_DIR = Path(os.environ["KESTORAL_WIN32_BIN_DIR"]) if os.environ.get("KESTORAL_WIN32_BIN_DIR") else None
SOURCE = Path(__file__).resolve().parents[2]
MOVIE_SOURCE = SOURCE / "resources" / "movie"

INSTALL_DIR = "C:\\Program Files\\Marvane Screensaver"
SAVER = "C:\\windows\\system32\\kestoral.scr"
UNINSTALLER = "uninstall.exe"
INSTALLED_FILES = ["swfplayer-control.dll", "readme.txt", "uninstall.exe",
                   "swf\\Default.swf", "swf\\Default.txt", "swf\\Default.bmp"]
# On 64-bit Windows: the 32-bit control for 32-bit hosts, registered in the 32-bit view.
CONTROL32 = "swfplayer-control32.dll"
TWO_VIEWS = kh.ARCH.is_64bit and WIN32_BIN_DIR is not None
if TWO_VIEWS:
    INSTALLED_FILES.append(CONTROL32)

PRODUCT_KEY = "HKLM\\SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver"
SETTINGS_KEY = "HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MarvaneScreenSaver"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
CLASS_KEY = "HKCR\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}"
OWNER_MARKER = "KestoralPlayerControl"

REG = "C:\\windows\\system32\\reg.exe"


class InstallerSession(kh.Session):
    setup = SETUP

    def install(self, *switches, timeout=120):
        """Runs setup.exe with the switches (add "/S" for a silent run); returns its exit code."""
        code, _ = self.run(str(self.setup), *switches, timeout=timeout)
        return code

    def uninstall(self, *switches, install_dir=INSTALL_DIR, timeout=120):
        """Runs the installed uninstaller and waits for the copy of itself that it starts
        from the temporary folder (the copy removes the original); returns the first exit code."""
        code, _ = self.run(install_dir + "\\" + UNINSTALLER, *switches, timeout=timeout)
        kh.wait_until(lambda: not self.uninstaller_copies(), timeout, 0.2, "the uninstaller's copy to end")
        return code

    def uninstaller_copies(self):
        found = []
        for pid in kh.prefix_processes(self.prefix):
            try:
                command = Path(f"/proc/{pid}/cmdline").read_bytes()
            except OSError:
                continue
            if b"_?=" in command:
                found.append(pid)
        return found

    # -- registry ---------------------------------------------------------------------------
    def reg_query(self, key, *args, view=None):
        """(exit code, lines) of reg.exe query KEY ARGS, in the 32- or 64-bit view when `view`
        says so."""
        return self.run(REG, "query", key, *args, *([f"/reg:{view}"] if view else []))

    def key_exists(self, key, view=None):
        return self.reg_query(key, view=view)[0] == 0

    def reg_default(self, key, view=None):
        """The key's default value as text, or None when the key or the value is missing."""
        code, lines = self.reg_query(key, "/ve", view=view)
        if code != 0:
            return None
        for line in lines:
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_") and parts[0].startswith("("):
                return parts[2] if len(parts) > 2 else ""
        return None

    def key_tree(self, key, view=None):
        """Every subkey and value under KEY as reg.exe lists them, None when there is no KEY."""
        code, lines = self.reg_query(key, "/s", view=view)
        return "\n".join(line for line in lines if line.strip()) if code == 0 else None

    # -- files ------------------------------------------------------------------------------
    def exists(self, windows_path):
        return self.unix_path(windows_path).exists()

    def drive_files(self):
        """Every file and folder of drive C: outside temporary folders, as paths relative to
        the drive."""
        drive = self.prefix / "drive_c"
        found = set()
        for path in drive.rglob("*"):
            relative = path.relative_to(drive).as_posix()
            if "temp" not in relative.lower().split("/"):
                found.add(relative)
        return found
