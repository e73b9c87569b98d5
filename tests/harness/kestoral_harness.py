"""End-to-end test sessions for the Windows programs under Wine.

A Session owns a fresh copy of the template prefix, that prefix's wineserver and (by default) a
private Xvfb, and removes all of them when it closes, also when the test fails, times out or the
Python process dies (a detached reaper watches it). Inside a session a test starts Windows
programs, edits the registry, installs test doubles, lists windows, injects X input and takes
screenshots.

Environment (set by kestoral_add_e2e_test): KESTORAL_BIN_DIR, KESTORAL_WINE_TEMPLATE,
KESTORAL_WINE_TOOLS, KESTORAL_WINE_ARCH (win32 or win64: the prefix architecture, which matches
the build's programs), KESTORAL_TEST_TIMEOUT (seconds; the script ends itself with an error then).
"""

import json
import os
import re
import shutil
import signal
import struct
import subprocess
import threading
import time
import unittest
import zlib
from pathlib import Path, PureWindowsPath

_HERE = Path(__file__).resolve().parent
BIN_DIR = Path(os.environ.get("KESTORAL_BIN_DIR", _HERE.parents[1] / "build/win32/bin"))
TEMPLATE = Path(os.environ.get("KESTORAL_WINE_TEMPLATE", BIN_DIR.parent / "wine/template"))
TOOLS = Path(os.environ.get("KESTORAL_WINE_TOOLS", _HERE.parents[1] / "tools/wine"))


class Architecture:
    """What differs between a 32-bit and a 64-bit Wine prefix. /usr/bin/wine picks the 32-bit
    loader whenever wine32 is installed, so a 64-bit prefix names its loader and server itself
    (as tools/wine/wine-lib.sh does)."""

    def __init__(self, name):
        if name not in ("win32", "win64"):
            raise ValueError(f"KESTORAL_WINE_ARCH must be win32 or win64, not {name!r}")
        self.name = name
        self.is_64bit = name == "win64"
        self.wine = "/usr/lib/wine/wine64" if self.is_64bit else "wine"
        self.wineserver = "/usr/lib/wine/wineserver64" if self.is_64bit else "wineserver"
        # The native system folder, and the one 32-bit programs see as theirs (the same folder
        # in a 32-bit prefix; SysWOW64 in a 64-bit one).
        self.system_dir = "C:\\windows\\system32"
        self.system_dir_32 = "C:\\windows\\syswow64" if self.is_64bit else self.system_dir

    def env(self):
        env = {"WINEARCH": self.name}
        if self.is_64bit:
            env.update(WINELOADER=self.wine, WINESERVER=self.wineserver)
        return env


ARCH = Architecture(os.environ.get("KESTORAL_WINE_ARCH", "win32"))

DOUBLE_LOG = "C:\\kestoral-double.log"
# The screen saver's movie choice (folder and file name) in the per-user settings.
MOVIE_SETTINGS_KEY = "HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver\\OptGeneral"


class HarnessError(Exception):
    pass


class TestTimeout(Exception):
    """Raised in the main thread when KESTORAL_TEST_TIMEOUT runs out."""


def install_script_timeout(seconds=None):
    """Ends the running test with TestTimeout after `seconds` (default KESTORAL_TEST_TIMEOUT),
    so that `with Session()` blocks unwind and clean up before ctest kills the script."""
    seconds = seconds or int(os.environ.get("KESTORAL_TEST_TIMEOUT", "0"))
    if seconds <= 0:
        return

    def on_alarm(signum, frame):
        raise TestTimeout(f"test script ran out of its {seconds} s")

    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(seconds)


def _on_term(signum, frame):
    raise SystemExit(128 + signum)


signal.signal(signal.SIGTERM, _on_term)


def _shell(function, *args):
    """Runs one function of tools/wine/wine-lib.sh and returns its output."""
    script = f'. "{TOOLS}/wine-lib.sh"; {function} "$@"'
    result = subprocess.run(["bash", "-c", script, "wine-lib", *map(str, args)],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        raise HarnessError(f"{function} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def prefix_processes(prefix):
    """PIDs of the processes whose environment names this Wine prefix."""
    wanted = b"WINEPREFIX=" + str(prefix).encode()
    pids = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            variables = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if wanted in variables:
            pids.append(int(entry.name))
    return pids


def wait_until(condition, timeout=10.0, interval=0.1, message="condition"):
    """Calls `condition` until it returns something truthy and returns that; raises
    TimeoutError naming `message` when `timeout` seconds pass first."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {message}")
        time.sleep(interval)


class Program:
    """A Windows program started in a session. Its stdout goes to a file that is read line by
    line: a pipe would stay open as long as Wine's background services, which inherit it,
    live, so a reader would wait for the end of the session instead of the program."""

    def __init__(self, popen, name, output_path):
        self._popen = popen
        self.name = name
        self._output_path = output_path
        self._lines = []
        self._changed = threading.Condition()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        pending = b""
        with open(self._output_path, "rb") as output:
            while True:
                running = self._popen.poll() is None
                chunk = output.read()
                pending += chunk
                *complete, pending = pending.split(b"\n")
                if complete:
                    with self._changed:
                        self._lines.extend(line.decode("cp1252", "replace").rstrip("\r")
                                           for line in complete)
                        self._changed.notify_all()
                if not running and not chunk:
                    break
                if not chunk:
                    time.sleep(0.05)
        with self._changed:
            if pending:
                self._lines.append(pending.decode("cp1252", "replace").rstrip("\r"))
            self._changed.notify_all()

    @property
    def pid(self):
        return self._popen.pid

    @property
    def exit_code(self):
        """The exit code, or None while the program runs."""
        return self._popen.poll()

    def wait(self, timeout=30.0):
        """Waits for the end and returns the exit code; raises TimeoutError."""
        try:
            code = self._popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.name} still running after {timeout} s") from None
        self._reader.join()
        return code

    def kill(self):
        if self._popen.poll() is None:
            self._popen.kill()
        self._popen.wait()

    def lines(self):
        with self._changed:
            return list(self._lines)

    def output(self):
        return "\n".join(self.lines())

    def wait_for_line(self, pattern, timeout=20.0, start=0):
        """Waits for a stdout line matching the regular expression, among the lines from index
        `start` on (len(lines()) taken earlier skips what was already printed); returns the
        match."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self._changed:
            seen = start
            while True:
                for line in self._lines[seen:]:
                    match = regex.search(line)
                    if match:
                        return match
                seen = len(self._lines)
                left = deadline - time.monotonic()
                if left <= 0 or (not self._reader.is_alive() and seen == len(self._lines)):
                    raise TimeoutError(f"{self.name} printed no line matching {pattern!r} "
                                       f"(output: {self._lines!r})")
                self._changed.wait(min(left, 0.5))


class Session:
    """A fresh Wine prefix with its wineserver and, unless gui=False, a private Xvfb."""

    def __init__(self, gui=True, screen="1280x720x24", windows_version=None, env=None):
        self.gui = gui
        self.screen = screen
        self.windows_version = windows_version
        self.extra_env = dict(env or {})
        self.prefix = None
        self.display = ""
        self._xvfb = None
        self._reaper = None
        self._programs = []
        self._output_dir = None
        self._outputs = 0

    # -- life cycle -------------------------------------------------------------------------
    def __enter__(self):
        try:
            self._open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _open(self):
        subprocess.run([TOOLS / "make-template-prefix.sh", TEMPLATE], check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self.prefix = Path(_shell("kw_new_prefix", TEMPLATE, TEMPLATE.parent / "runs"))
        self._output_dir = self.prefix / "harness-output"
        self._output_dir.mkdir()
        if self.gui:
            self._start_xvfb()
        self._start_reaper()
        subprocess.run([ARCH.wineserver, "-p"], env=self.env(), check=True, close_fds=True,
                       start_new_session=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.windows_version:
            self.set_windows_version(self.windows_version)

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), start_new_session=True, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise HarnessError("Xvfb ended before it named its display")
                number += chunk
        self.display = ":" + number.decode().strip()

    def _start_reaper(self):
        # Cleans up if this Python process dies without closing the session (SIGKILL by ctest).
        args = [str(a) for a in (TOOLS / "reap-session.sh", os.getpid(), self.prefix,
                self._xvfb.pid if self._xvfb else 0)]
        self._reaper = subprocess.Popen(args, close_fds=True, start_new_session=True,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def close(self):
        for program in self._programs:
            program.kill()
        if self.prefix is not None:
            _shell("kw_stop_prefix", self.prefix)
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
            self._xvfb = None
        if self.prefix is not None:
            shutil.rmtree(self.prefix, ignore_errors=True)
            self.prefix = None
        if self._reaper is not None:
            self._reaper.kill()
            self._reaper.wait()
            self._reaper = None

    # -- programs ---------------------------------------------------------------------------
    def env(self, extra=None):
        env = dict(os.environ)
        env.update(ARCH.env())
        env.update(WINEPREFIX=str(self.prefix), DISPLAY=self.display,
                   WINEDEBUG=os.environ.get("KESTORAL_WINE_DEBUG", "-all"))
        env.update(self.extra_env)
        env.update(extra or {})
        return env

    @staticmethod
    def program_path(program):
        """A bare name ("winlist.exe") means the program in the bin folder."""
        path = Path(program)
        return str(path if path.is_absolute() or "\\" in str(program) else BIN_DIR / path)

    def _output_file(self):
        self._outputs += 1
        return self._output_dir / f"{self._outputs}.out"

    def start(self, program, *args, env=None):
        """Starts a Windows program without waiting; returns its Program handle."""
        output_path = self._output_file()
        with open(output_path, "wb") as output:
            popen = subprocess.Popen([ARCH.wine, self.program_path(program), *map(str, args)],
                                     env=self.env(env), stdin=subprocess.DEVNULL,
                                     stdout=output, stderr=subprocess.DEVNULL, close_fds=True)
        handle = Program(popen, Path(program).name, output_path)
        self._programs.append(handle)
        return handle

    def run(self, program, *args, env=None, timeout=60.0):
        """Runs a Windows program to its end; returns (exit code, stdout lines)."""
        handle = self.start(program, *args, env=env)
        try:
            code = handle.wait(timeout)
        finally:
            handle.kill()
        return code, handle.lines()

    # -- files ------------------------------------------------------------------------------
    def unix_path(self, windows_path):
        """C:\\dir\\file -> <prefix>/drive_c/dir/file (drive C only)."""
        path = PureWindowsPath(windows_path)
        if path.drive.upper() != "C:":
            raise HarnessError(f"only drive C: maps into the prefix: {windows_path}")
        return self.prefix.joinpath("drive_c", *path.parts[1:])

    def copy_in(self, source, windows_path):
        """Copies a file into the prefix. The target is replaced, never written into: Wine's
        binaries in a fresh prefix are hard links shared with the template."""
        target = self.unix_path(windows_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        existing = [p for p in target.parent.iterdir() if p.name.lower() == target.name.lower()]
        for path in existing:
            path.unlink()
        shutil.copyfile(source, target)
        return target

    def write_file(self, windows_path, data):
        """Writes `data` to a file in the prefix (drive C only), making its folders."""
        path = self.unix_path(windows_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        return path

    def set_movie(self, directory, name):
        """Stores the screen saver's movie choice: folder (with its backslash) and file name."""
        self.reg_set(MOVIE_SETTINGS_KEY, "sMovieDirectory", directory)
        self.reg_set(MOVIE_SETTINGS_KEY, "sMovieName", name)

    @property
    def system_dir(self):
        """The system folder of the build's programs (native to the prefix)."""
        return ARCH.system_dir

    # -- registry ---------------------------------------------------------------------------
    def _reg(self, *args, view=None):
        """Runs Wine's reg.exe, in the 32- or 64-bit registry view when `view` is 32 or 64
        (default: the native one); returns (exit code, stdout text)."""
        output_path = self._output_file()
        view_switch = [f"/reg:{view}"] if view else []
        with open(output_path, "wb") as output:
            code = subprocess.run([ARCH.wine, "reg", *args, *view_switch], env=self.env(),
                                  stdin=subprocess.DEVNULL, stdout=output,
                                  stderr=subprocess.STDOUT, timeout=60).returncode
        return code, output_path.read_bytes().decode("cp1252", "replace")

    def reg_set(self, key, name, value, kind="REG_SZ", view=None):
        """Sets a value (kind REG_SZ, REG_DWORD, ...); name None sets the key's default."""
        target = ["/ve"] if name is None else ["/v", name]
        args = ("add", key, *target, "/t", kind, "/d", str(value), "/f")
        code, text = self._reg(*args, view=view)
        if code != 0 and not text.strip():
            # On a loaded machine Wine now and then fails to start reg.exe at all (status 1,
            # not a word printed); the add is idempotent, so one more try is safe.
            code, text = self._reg(*args, view=view)
        if code != 0:
            raise HarnessError(f"reg add {key} {name} failed with {code}: {text.strip()}")

    def reg_get(self, key, name, view=None):
        """The value as text (a DWORD as an int), or None when the key or value is missing."""
        code, text = self._reg("query", key, "/v", name, view=view)
        if code != 0:
            return None
        for line in text.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
                text = parts[2] if len(parts) > 2 else ""
                return int(text, 16) if parts[1] == "REG_DWORD" else text
        return None

    def reg_delete(self, key, name=None, view=None):
        """Deletes a value, or the whole key when name is None. Missing ones are no error."""
        target = ["/f"] if name is None else ["/v", name, "/f"]
        self._reg("delete", key, *target, view=view)

    def set_windows_version(self, version, exe=None):
        """win98, winxp, win7, ...; for one program only when exe ("kestoral.scr") is given.
        win98 makes GetVersionExA report platform id 1."""
        key = "HKCU\\Software\\Wine" + (f"\\AppDefaults\\{exe}" if exe else "")
        self.reg_set(key, "Version", version)

    def set_dll_override(self, dll, mode, exe=None):
        """mode: "native,builtin", "builtin", "" (disabled), ... as in winecfg."""
        key = "HKCU\\Software\\Wine" + (f"\\AppDefaults\\{exe}" if exe else "") + "\\DllOverrides"
        self.reg_set(key, dll, mode)

    # -- test doubles -----------------------------------------------------------------------
    def install_password_double(self, verify_export=True):
        """Puts the PASSWORD.CPL double (or, verify_export=False, one without
        VerifyScreenSavePwd) into the system directory. Its results come from the environment
        variable KESTORAL_VERIFY_RESULT, e.g. "0,1" (refuse once, then accept)."""
        source = BIN_DIR / ("password-double.cpl" if verify_export else "password-noverify.cpl")
        self.copy_in(source, self.system_dir + "\\password.cpl")
        self.extra_env.setdefault("KESTORAL_DOUBLE_LOG", DOUBLE_LOG)

    def put_password_in_force(self):
        """A screen-saver password in force (ScreenSaveUsePassword = 1) with the PASSWORD.CPL
        double answering for it."""
        self.reg_set("HKCU\\Control Panel\\Desktop", "ScreenSaveUsePassword", 1, "REG_DWORD")
        self.install_password_double()

    def remove_password_cpl(self):
        target = self.unix_path(self.system_dir + "\\password.cpl")
        if target.exists():
            target.unlink()

    def install_mpr_double(self):
        """Replaces Wine's MPR.DLL in the system directory with the double and makes Wine load
        it (native before built-in). KESTORAL_CHANGE_RESULT sets its return value."""
        self.copy_in(BIN_DIR / "mpr-double.dll", self.system_dir + "\\mpr.dll")
        self.set_dll_override("mpr", "native,builtin")
        self.extra_env.setdefault("KESTORAL_DOUBLE_LOG", DOUBLE_LOG)

    def double_calls(self):
        """The doubles' log: one dict per call, e.g. {"function": "VerifyScreenSavePwd",
        "owner": "65584", "result": "0"}."""
        path = self.unix_path(self.extra_env.get("KESTORAL_DOUBLE_LOG", DOUBLE_LOG))
        if not path.exists():
            return []
        calls = []
        for line in path.read_text("cp1252").splitlines():
            function, *fields = line.split(" ")
            call = {"function": function}
            call.update(field.split("=", 1) for field in fields if "=" in field)
            calls.append(call)
        return calls

    # -- windows and pointer ----------------------------------------------------------------
    def windows(self, children=False):
        """Every window of the session's desktop as a dict: hwnd, top_level, class, title,
        style, exstyle, rect [l, t, r, b], visible, enabled, owner, parent, pid, tid, process."""
        args = ["--children"] if children else []
        code, lines = self.run("winlist.exe", *args)
        if code != 0:
            # winlist only reads; a failed start of a Wine process under load is worth one retry.
            code, lines = self.run("winlist.exe", *args)
        if code != 0:
            raise HarnessError(f"winlist failed with {code}")
        return [json.loads(line) for line in lines if line.startswith("{")]

    def find_windows(self, class_name=None, title=None, process=None, visible=None,
                     children=False):
        found = []
        for window in self.windows(children):
            if class_name is not None and window["class"] != class_name:
                continue
            if title is not None and window["title"] != title:
                continue
            if process is not None and window["process"].lower() != process.lower():
                continue
            if visible is not None and window["visible"] != visible:
                continue
            found.append(window)
        return found

    def wait_for_window(self, timeout=20.0, **criteria):
        """Waits until find_windows(**criteria) finds a window; returns the first."""
        found = wait_until(lambda: self.find_windows(**criteria), timeout, 0.3,
                           f"a window with {criteria}")
        return found[0]

    def cursor(self):
        """The pointer as the foreground thread sees it: {"showing": bool, "x", "y",
        "cursor", "foreground"}. A program that hid the pointer with ShowCursor(FALSE) and owns
        the foreground window shows "showing": False."""
        code, lines = self.run("winlist.exe", "--cursor")
        if code != 0 or not lines:
            code, lines = self.run("winlist.exe", "--cursor")
        if code != 0 or not lines:
            raise HarnessError(f"winlist --cursor failed with {code}")
        return json.loads(lines[0])

    def start_fake_taskbar(self):
        """Starts a visible "Shell_TrayWnd" window; returns (Program, hwnd). The program prints
        "visible 0" / "visible 1" at every change of its visibility."""
        taskbar = self.start("fake_taskbar.exe")
        hwnd = int(taskbar.wait_for_line(r"^ready (\d+)", 20).group(1))
        taskbar.wait_for_line(r"^visible 1", 10)
        return taskbar, hwnd

    # -- X input and screen -----------------------------------------------------------------
    def _x(self, *args):
        if not self.display:
            raise HarnessError("this session has no X display (gui=False)")
        subprocess.run(args, env=dict(os.environ, DISPLAY=self.display), check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=30)

    def key(self, *keys):
        """Presses and releases X key names ("space", "Escape", "a", "alt+F4")."""
        self._x("xdotool", "key", *keys)

    def move_mouse(self, x, y):
        self._x("xdotool", "mousemove", str(x), str(y))

    def click(self, button=1):
        """1 left, 2 middle, 3 right."""
        self._x("xdotool", "click", str(button))

    def screenshot(self, path, compress=True):
        """Saves the whole X screen as a 24-bit PNG and returns its path. compress=False
        writes it unfiltered and unpacked, which read_png decodes fast."""
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        quality = [] if compress else ["-quality", "00"]
        self._x("import", "-window", "root", "-depth", "8", *quality, f"PNG24:{path}")
        return path

    def pixel(self, x, y, path=None):
        """The (r, g, b) of one screen pixel, from `path` or from a new screenshot."""
        if path is None:
            path = self.screenshot(self.prefix / "pixel.png", compress=False)
        return read_png(path).pixel(x, y)


class SessionTestCase(unittest.TestCase):
    """Test cases sharing one session, opened before the first test of the class and closed
    after the last. A class overrides make_session() for another kind of session or options,
    and prepare_session() for set-up that every test of the class relies on."""

    @classmethod
    def make_session(cls):
        return Session()

    @classmethod
    def prepare_session(cls, session):
        pass

    @classmethod
    def setUpClass(cls):
        cls.session = cls.make_session().__enter__()
        try:
            cls.prepare_session(cls.session)
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()


class Image:
    def __init__(self, width, height, channels, rows):
        self.width, self.height, self.channels, self.rows = width, height, channels, rows

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width}x{self.height}")
        offset = x * self.channels
        return tuple(self.rows[y][offset:offset + 3])


def read_png(path):
    """Decodes an 8-bit RGB or RGBA, non-interlaced PNG (what screenshot() writes)."""
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise HarnessError(f"{path} is not a PNG")
    position, idat, header = 8, b"", None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise HarnessError(f"{path}: unsupported PNG (depth {depth}, colour type {colour})")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride if kind else 0):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else up_left
                line[i] = (line[i] + predictor) & 0xFF
        rows.append(line)
        previous = line
    return Image(width, height, channels, rows)
