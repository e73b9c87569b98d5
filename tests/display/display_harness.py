"""Pieces the display tests share: a session with the Flash control double registered, a movie
in the settings, the show started as the screen-saver machinery starts it, and readers for the
display window, the control's window and the double's log."""

import time

import kestoral_harness as kh

FLASH_CLSID = "{D27CDB6E-AE6D-11CF-96B8-444553540000}"
DOUBLE_DLL = "C:\\kestoral-test\\flash-double.dll"
MOVIE_DIR = "C:\\movies\\"
MOVIE_NAME = "show.swf"
MACHINE_KEY = "HKLM\\SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver"
INSTALL_DIR = "C:\\kestoral-install"  # holds no swf\Default.swf
DISPLAY_CLASS = "TFormDisplay"
CONTROL_CLASS = "KestoralFlashDouble"
MAGENTA = (255, 0, 255)  # what the double paints
BLACK = (0, 0, 0)
START = (300, 200)       # where the pointer rests when a show starts

WS_POPUP, WS_CAPTION, WS_BORDER, WS_THICKFRAME = 0x80000000, 0x00C00000, 0x00800000, 0x00040000
WS_EX_TOPMOST = 0x8
WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN = 0x100, 0x201, 0x204, 0x207


class DisplaySession(kh.Session):
    """A session whose registry names the Flash double as the Flash control (unless
    register_double is False) and whose settings name a movie file that exists."""

    def __init__(self, register_double=True, **kwargs):
        super().__init__(**kwargs)
        self.register_double = register_double

    def _open(self):
        super()._open()
        self.extra_env["KESTORAL_DOUBLE_LOG"] = kh.DOUBLE_LOG
        if self.register_double:
            self.copy_in(kh.BIN_DIR / "flash-double.dll", DOUBLE_DLL)
            key = f"HKCR\\CLSID\\{FLASH_CLSID}\\InprocServer32"
            self.reg_set(key, None, DOUBLE_DLL)
            self.reg_set(key, "ThreadingModel", "Apartment")
        self.write_file(MOVIE_DIR + MOVIE_NAME, b"FWS\x06\x19\x00\x00\x00")
        self.set_movie(MOVIE_DIR, MOVIE_NAME)
        # A stored movie that does not exist falls back to the default movie of the install
        # folder; the build puts one beside the program, so point the install folder at a folder
        # without it, or "no movie" would play the default one.
        self.write_file(INSTALL_DIR + "\\readme.txt", b"")
        self.reg_set(MACHINE_KEY, "Install_Dir", INSTALL_DIR)

    def clear_log(self):
        path = self.unix_path(kh.DOUBLE_LOG)
        if path.exists():
            path.unlink()

    def log_lines(self):
        path = self.unix_path(kh.DOUBLE_LOG)
        return path.read_text("cp1252").splitlines() if path.exists() else []

    def puts(self):
        """The double's property puts in order: (dispid, vt, result, value)."""
        found = []
        for line in self.log_lines():
            if line.startswith("FlashPut "):
                head, value = line.split(" value=", 1)
                fields = dict(f.split("=", 1) for f in head.split()[1:])
                found.append((int(fields["dispid"]), int(fields["vt"]), int(fields["result"], 16), value))
        return found

    def control_input(self):
        """The input messages the double's window handled itself, in order."""
        return [int(line.split("message=")[1].split()[0]) for line in self.log_lines()
                if line.startswith("FlashInput ")]

    def verify_calls(self):
        return [line for line in self.log_lines() if line.startswith("VerifyScreenSavePwd")]

    # -- the show ---------------------------------------------------------------------------
    def start_show(self, *args, env=None, pointer=START, wait_visible=True):
        """Parks the pointer, starts "kestoral.scr /s" (or `args`) and waits for the visible
        display window; returns (Program, window)."""
        self.move_mouse(*pointer)
        program = self.start("kestoral.scr", *(args or ("/s",)), env=env)
        window = None
        if wait_visible:
            window = self.wait_for_window(class_name=DISPLAY_CLASS, visible=True, process="kestoral.scr")
            time.sleep(0.5)  # let the window take the foreground and the first mouse move pass
        return program, window

    def display_windows(self):
        return self.find_windows(class_name=DISPLAY_CLASS, process="kestoral.scr")

    def control_window(self):
        found = self.find_windows(class_name=CONTROL_CLASS, children=True)
        return found[0] if found else None

    def screen_pixel(self, x, y, name="screen.png"):
        return self.pixel(x, y, self.screenshot(self.prefix / name))


def still_running(program, seconds=1.0):
    """True when `program` has not ended `seconds` after the input before this call."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if program.exit_code is not None:
            return False
        time.sleep(0.05)
    return program.exit_code is None


def ends(program, timeout=10.0):
    """The exit code once `program` ends; raises TimeoutError when it keeps running."""
    return program.wait(timeout)
