"""Benchmark of the show with the player control under Wine (figures printed, nothing asserted):
the time from process start to the default movie's first frame on screen, and the processor
time of a 24 fps show of the default movie at 1920 x 1080 over 30 s, beside a still movie's
show measured in the same run as the baseline.

With KESTORAL_BENCH_SOUND=1 it measures instead a 24 fps movie with a 44.1 kHz stereo MP3
soundtrack against the same movie without its sound tags. With KESTORAL_BENCH_SCENES=1 it
measures swfbench's heavy scenes played as 24 fps shows: 1,000 clips moved by onEnterFrame
scripts, and 20 objects with glow and drop shadow over a blurred background (written by the
native build's swf_fixture_movies --bench), against the still movie.

Run: KESTORAL_BIN_DIR=build/win32/bin PYTHONPATH=tests/harness python3 tests/control/bench_show.py
(or `cmake --build <windows build folder> --target control-bench`)."""

import os
import shutil
import tempfile
import time
from pathlib import Path

import kestoral_harness as kh
from show_with_control import MOVIE_DIR, ControlSession, native_fixture_movies, with_frame_rate

SECONDS = float(os.environ.get("KESTORAL_BENCH_SECONDS", "30"))
SCREEN = os.environ.get("KESTORAL_BENCH_SCREEN", "1920x1080")  # WxH
SOUND = os.environ.get("KESTORAL_BENCH_SOUND") == "1"
SCENES = os.environ.get("KESTORAL_BENCH_SCENES") == "1"
# A one-frame movie: the same show with nothing to draw after the first frame.
STILL = bytes.fromhex("465753061e000000800001f40000017700000c0100430214162e40000000")
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User plus system time of a Linux process, in seconds."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def first_frame_ms(session):
    """Milliseconds from starting kestoral.scr to the movie's first pixels on screen, as the
    probe inside the session sees them (it starts the show itself)."""
    session.move_mouse(10, 10)
    width = int(SCREEN.split("x")[0])
    # The evening sky at the top of the default movie's first frame.
    probe = session.start("first_frame_probe.exe", width // 2, 4, "0E1634", 12, kh.BIN_DIR / "kestoral.scr", "/s")
    line = probe.wait_for_line(r"^first-frame-ms (\S+)", 90)
    session.wait_for_window(class_name="TFormDisplay", visible=True, process="kestoral.scr")
    session.key("space")
    time.sleep(2)
    value = line.group(1)
    return float(value) if value.replace(".", "").isdigit() else None


def show_cpu(session):
    """(show process, wineserver, X server) processor time over SECONDS, in % of one core."""
    session.move_mouse(10, 10)
    program = session.start("kestoral.scr", "/s")
    session.wait_for_window(class_name="TFormDisplay", visible=True, process="kestoral.scr")
    time.sleep(2)  # start-up and the first full frame are not part of the steady show
    server = [p for p in kh.prefix_processes(session.prefix) if p != program.pid]
    pids = {"show": [program.pid], "wine": server, "X": [session._xvfb.pid]}
    before = {k: sum(cpu_seconds(p) for p in v) for k, v in pids.items()}
    start = time.monotonic()
    time.sleep(SECONDS)
    wall = time.monotonic() - start
    after = {k: sum(cpu_seconds(p) for p in v) for k, v in pids.items()}
    session.key("space")
    program.wait(10)
    return {k: 100 * (after[k] - before[k]) / wall for k in pids}


def show_bytes_cpu(session, name, data):
    """show_cpu() of a movie given as bytes, played from the prefix's movie folder."""
    target = session.prefix / "drive_c" / "movies" / name
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)
    session.reg_set("HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver\\OptGeneral", "sMovieDirectory", MOVIE_DIR)
    session.reg_set("HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver\\OptGeneral", "sMovieName", name)
    return show_cpu(session)


def show_movie_cpu(session, source):
    """show_cpu() of a movie from bin/test-movies."""
    return show_bytes_cpu(session, source.name, source.read_bytes())


def print_figures(rows):
    for name, figures in rows:
        print(f"{name:28} {SCREEN} over {SECONDS:.0f} s: show {figures['show']:5.1f} % of one core, "
              f"other Wine processes {figures['wine']:4.1f} %, X server {figures['X']:4.1f} %")


def scenes_main():
    folder = Path(tempfile.mkdtemp(prefix="kestoral-bench-"))
    try:
        if native_fixture_movies(folder, bench=True) is None:
            raise SystemExit("bench_show: the scenes need a native build of swf_fixture_movies")
        with ControlSession(screen=SCREEN + "x24") as session:
            rows = [(label, show_bytes_cpu(session, name, with_frame_rate((folder / name).read_bytes(), 24)))
                    for label, name in (("1,000 scripted clips, 24 fps", "clips.swf"),
                                        ("filtered scene, 24 fps", "flash8.swf"))]
            rows.append(("still movie (baseline)", show_bytes_cpu(session, "still.swf", STILL)))
        print_figures(rows)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def sound_main():
    movies = kh.BIN_DIR / "test-movies"
    with ControlSession(screen=SCREEN + "x24") as session:
        sound = show_movie_cpu(session, movies / "mp3_tone_2s.swf")
        silent = show_movie_cpu(session, movies / "mp3_tone_2s_silent.swf")
        print_figures((("MP3 soundtrack, 24 fps", sound), ("same without sound", silent)))
        print(f"sound costs the show process {sound['show'] - silent['show']:+.1f} points")


def main():
    if SOUND:
        sound_main()
        return
    if SCENES:
        scenes_main()
        return
    with ControlSession(screen=SCREEN + "x24") as session:
        session.reg_delete("HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver\\OptGeneral")
        cold = first_frame_ms(session)
        warm = first_frame_ms(session)
        for name, figure in (("first start in the prefix", cold), ("second start", warm)):
            print(f"first frame on screen, {name}: " + (f"{figure:.0f} ms after the process start"
                                                        if figure else "not seen within 60 s"))
        movie = show_cpu(session)
        baseline = show_bytes_cpu(session, "still.swf", STILL)
        print_figures((("default movie, 24 fps", movie), ("still movie (baseline)", baseline)))
        if baseline["show"] > 0:
            print(f"ratio default / still (show process): {movie['show'] / baseline['show']:.1f} x")


if __name__ == "__main__":
    kh.install_script_timeout(int(SECONDS * 2 + 200))
    main()
