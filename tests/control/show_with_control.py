"""A session with the real player control installed as the installer leaves a machine: the DLL
and the default movie in C:\\Program Files\\Kestoral, Install_Dir pointing there, the control
registered with regsvr32; plus readers for screenshots and for swfrender's frames."""

import os
import shutil
import struct
import subprocess
import time
import zlib
from pathlib import Path

import kestoral_harness as kh

INSTALL_DIR = "C:\\Program Files\\Kestoral"
MOVIE_DIR = "C:\\movies\\"
SETTINGS_KEY = kh.MOVIE_SETTINGS_KEY
DISPLAY_CLASS = "TFormDisplay"
CONTROL_CLASS = "KestoralSwfPlayer"
SCREEN = (1280, 720)
START = (300, 200)
TEST_CARD = kh.BIN_DIR / "test-movies" / "testcard.swf"
REPO = Path(__file__).resolve().parents[2]


def native_swfrender():
    """swfrender of a native build: KESTORAL_SWFRENDER, else the usual build folders."""
    named = os.environ.get("KESTORAL_SWFRENDER")
    if named:
        return Path(named)
    for folder in ("build/native", "build/native-control"):
        candidate = REPO / folder / "tools" / "swfrender"
        if candidate.exists():
            return candidate
    return None


def native_fixture_movies(folder, bench=False):
    """The project's own test movies written by the native build's swf_fixture_movies into
    `folder` (with --bench also the benchmark scenes); the folder, or None without that build."""
    for build in ("build/native", "build/native-control"):
        writer = REPO / build / "tests" / "player" / "swf_fixture_movies"
        if writer.exists():
            subprocess.run([str(writer), str(folder)] + (["--bench"] if bench else []), check=True,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
            return Path(folder)
    return None


def with_frame_rate(swf, fps):
    """The movie, uncompressed, with another frame rate in its header (an 8.8 fixed value after
    the stage rectangle, whose size its first five bits give)."""
    if swf[:3] == b"CWS":
        swf = b"FWS" + swf[3:8] + zlib.decompress(swf[8:])
    elif swf[:3] != b"FWS":
        raise ValueError("neither a plain nor a zlib-compressed movie")
    bits = swf[8] >> 3
    offset = 8 + (5 + 4 * bits + 7) // 8
    return swf[:offset] + struct.pack("<H", int(fps * 256)) + swf[offset + 2:]


def render_frame(swf, frame, path):
    """swfrender's frame (1-based) of `swf` at the screen size, ExactFit, as a 24-bit BMP."""
    subprocess.run([str(native_swfrender()), str(swf), "--frame", str(frame), "--size",
                    f"{SCREEN[0]}x{SCREEN[1]}", "--scale", "ExactFit", "-o", str(path)],
                   check=True, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    return read_bmp(path)


def read_bmp(path):
    """A 24-bit bottom-up BMP as rows of (r, g, b) bytes, top row first, in a kh.Image."""
    data = Path(path).read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = height - 1 - y if height > 0 else y
        line = bytearray(data[offset + source * stride: offset + source * stride + width * 3])
        line[0::3], line[2::3] = line[2::3], line[0::3]  # BGR to RGB
        rows.append(line)
    return kh.Image(width, abs(height), 3, rows)


def differing_samples(a, b, step=8, tolerance=12):
    """Sample points (every `step` pixels) where a channel differs by more than `tolerance`,
    and the number of samples."""
    bad = total = 0
    for y in range(0, min(a.height, b.height), step):
        for x in range(0, min(a.width, b.width), step):
            total += 1
            if max(abs(p - q) for p, q in zip(a.pixel(x, y), b.pixel(x, y))) > tolerance:
                bad += 1
    return bad, total


class ControlSession(kh.Session):
    """A session with the player control and the default movie installed."""

    def _open(self):
        super()._open()
        self.copy_in(kh.BIN_DIR / "swfplayer-control.dll", INSTALL_DIR + "\\swfplayer-control.dll")
        for name in ("Default.swf", "Default.txt", "Default.bmp"):
            self.copy_in(kh.BIN_DIR / "swf" / name, INSTALL_DIR + "\\swf\\" + name)
        self.reg_set("HKLM\\SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver", "Install_Dir", INSTALL_DIR)
        code, _ = self.run("C:\\windows\\system32\\regsvr32.exe", "/s",
                           INSTALL_DIR + "\\swfplayer-control.dll")
        if code != 0:
            raise kh.HarnessError(f"regsvr32 failed with {code}")

    def use_default_movie(self):
        self.reg_delete(SETTINGS_KEY)

    def start_show(self, *args, pointer=START):
        """Parks the pointer, starts the show and waits for its visible window."""
        self.move_mouse(*pointer)
        # The show takes its start position from GetCursorPos: wait until Wine reports the
        # parked pointer, or a late position would count as a movement.
        def parked():
            where = self.cursor()
            return (where["x"], where["y"]) == tuple(pointer)
        kh.wait_until(parked, 10, 0.2, f"the pointer parked at {pointer}")
        program = self.start("kestoral.scr", *(args or ("/s",)))
        window = self.wait_for_window(class_name=DISPLAY_CLASS, visible=True, process="kestoral.scr")
        time.sleep(1.0)  # the window takes the foreground and the first frames are painted
        return program, window

    def shot(self, name):
        return kh.read_png(self.screenshot(self.prefix / name, compress=False))

    def control_window(self):
        found = self.find_windows(class_name=CONTROL_CLASS, children=True)
        return found[0] if found else None
