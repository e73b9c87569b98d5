"""Pieces the installer tests share: a session that runs setup.exe and the uninstaller it
wrote, reads registry keys and default values, and lists what an installation leaves on disk."""

import time
from pathlib import Path

import kestoral_harness as kh

SETUP = kh.BIN_DIR.parent / "setup.exe"
SOURCE = Path(__file__).resolve().parents[2]
MOVIE_SOURCE = SOURCE / "resources" / "movie"

INSTALL_DIR = "C:\\Program Files\\Marvane Screensaver"
SAVER = "C:\\windows\\system32\\kestoral.scr"
UNINSTALLER = "uninstall.exe"
INSTALLED_FILES = ["swfplayer-control.dll", "readme.txt", "uninstall.exe",
                   "swf\\Default.swf", "swf\\Default.txt", "swf\\Default.bmp"]

PRODUCT_KEY = "HKLM\\SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver"
SETTINGS_KEY = "HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MarvaneScreenSaver"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
CLASS_KEY = "HKCR\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}"
OWNER_MARKER = "KestoralPlayerControl"

REG = "C:\\windows\\system32\\reg.exe"


class InstallerSession(kh.Session):
    def install(self, *switches, timeout=120):
        """Runs setup.exe with the switches (add "/S" for a silent run); returns its exit code."""
        code, _ = self.run(str(SETUP), *switches, timeout=timeout)
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
    def reg_query(self, key, *args):
        """(exit code, lines) of reg.exe query KEY ARGS."""
        return self.run(REG, "query", key, *args)

    def key_exists(self, key):
        return self.reg_query(key)[0] == 0

    def reg_default(self, key):
        """The key's default value as text, or None when the key or the value is missing."""
        code, lines = self.reg_query(key, "/ve")
        if code != 0:
            return None
        for line in lines:
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_") and parts[0].startswith("("):
                return parts[2] if len(parts) > 2 else ""
        return None

    def key_tree(self, key):
        """Every subkey and value under KEY as reg.exe lists them, None when there is no KEY."""
        code, lines = self.reg_query(key, "/s")
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
