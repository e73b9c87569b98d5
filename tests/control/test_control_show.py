"""The full-screen show with the real player control under Wine: the movie plays and matches
swfrender's frames, ExactFit fills the screen, input still ends the show through the host's
forwarding, a missing or damaged movie leaves the black window, and the preview run ends with
its pane; scripted movies (a clock, sparks, a drawn pattern) move in the show."""

import shutil
import tempfile
import time
import unittest
from pathlib import Path

import kestoral_harness as kh
from show_with_control import (INSTALL_DIR, MOVIE_DIR, SCREEN, TEST_CARD, ControlSession, differing_samples,
                               native_fixture_movies, native_swfrender, render_frame)

BLACK = (0, 0, 0)
CORNERS = {(2, 2): (255, 0, 0), (SCREEN[0] - 3, 2): (0, 255, 0),
           (2, SCREEN[1] - 3): (0, 0, 255), (SCREEN[0] - 3, SCREEN[1] - 3): (255, 255, 0)}


def bar_frame(image):
    """The test card's frame on screen, from the left edge of its white bar (stage x
    80 + 20 * (frame - 1), stretched to the screen); None when no bar is seen."""
    y = SCREEN[1] // 2
    for x in range(image.width):
        if image.pixel(x, y) == (255, 255, 255):
            stage_x = x * 640 / SCREEN[0]
            return round((stage_x - 80) / 20) + 1
    return None


class ShowTestCase(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return ControlSession()

    def setUp(self):
        self.show = None

    def tearDown(self):
        if self.show is not None:
            self.show.kill()

    def start(self, **kwargs):
        self.show, window = self.session.start_show(**kwargs)
        return window

    def assert_ends(self):
        self.assertEqual(self.show.wait(10), 0)
        self.show = None


class TestCardShow(ShowTestCase):
    def setUp(self):
        super().setUp()
        self.session.copy_in(TEST_CARD, MOVIE_DIR + "testcard.swf")
        self.session.set_movie(MOVIE_DIR, "testcard.swf")

    def test_exact_fit_fills_the_screen_and_frames_advance_as_swfrender_draws_them(self):
        window = self.start()
        control = self.session.control_window()
        self.assertIsNotNone(control, "no control window")
        self.assertEqual(control["parent"], window["hwnd"])
        self.assertEqual(control["rect"], [0, 0, *SCREEN])
        first = self.session.shot("first.png")
        time.sleep(0.6)
        second = self.session.shot("second.png")
        for (x, y), colour in CORNERS.items():
            self.assertEqual(first.pixel(x, y), colour, f"corner ({x}, {y})")
        frames = bar_frame(first), bar_frame(second)
        self.assertIsNotNone(frames[0], "no bar on screen")
        self.assertIsNotNone(frames[1], "no bar on screen")
        self.assertNotEqual(frames[0], frames[1], "the movie did not advance")

        renderer = native_swfrender()
        if renderer is None:
            self.skipTest("no native swfrender (set KESTORAL_SWFRENDER) to compare frames with")
        expected = render_frame(TEST_CARD, frames[0], self.session.prefix / "expected.bmp")
        bad, total = differing_samples(first, expected)
        # The same renderer built twice (native, MinGW); only edge pixels may round apart.
        self.assertLessEqual(bad, total // 200, f"{bad} of {total} samples differ from frame {frames[0]}")
        self.session.key("space")
        self.assert_ends()

    def test_input_over_the_playing_movie_ends_the_show(self):
        self.start()
        self.session.move_mouse(300 + 20, 200 + 20)
        time.sleep(0.5)
        self.assertIsNone(self.show.exit_code,
                          f"a small movement ended the show (status {self.show.exit_code})")
        self.session.move_mouse(300 + 120, 200)
        self.assert_ends()

        self.start()
        self.session.click(1)
        self.assert_ends()


class DefaultMovieShow(ShowTestCase):
    def test_default_movie_from_the_install_folder_plays(self):
        self.session.use_default_movie()
        self.start()
        first = self.session.shot("default-1.png")
        time.sleep(0.5)
        second = self.session.shot("default-2.png")
        self.assertNotEqual(first.pixel(640, 20), BLACK, "black instead of the evening sky")
        bad, _ = differing_samples(first, second, step=16, tolerance=2)
        self.assertGreater(bad, 0, "two screenshots half a second apart are the same")
        self.session.key("space")
        self.assert_ends()


class ScriptedMovieShow(ShowTestCase):
    """Movies that only move because their scripts run: a clock whose hands are clips turned by
    onEnterFrame from the Date, sparks duplicated and thrown by Math.random, and a pattern drawn
    with the drawing API. The screenshots stay in the build folder's show-shots to be looked at."""

    @classmethod
    def setUpClass(cls):
        cls.movies = Path(tempfile.mkdtemp(prefix="kestoral-movies-"))
        if native_fixture_movies(cls.movies) is None:
            shutil.rmtree(cls.movies)
            raise unittest.SkipTest("no native build of swf_fixture_movies to write the scripted movies")
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.movies, ignore_errors=True)

    def check_moves(self, name, background):
        self.session.copy_in(self.movies / f"{name}.swf", MOVIE_DIR + f"{name}.swf")
        self.session.set_movie(MOVIE_DIR, f"{name}.swf")
        self.start()
        first = self.session.shot(f"{name}-1.png")
        time.sleep(1.2)  # past the next whole second, so the clock's second hand has moved
        second = self.session.shot(f"{name}-2.png")
        kept = kh.BIN_DIR.parent / "show-shots"
        kept.mkdir(exist_ok=True)
        for shot in (f"{name}-1.png", f"{name}-2.png"):
            shutil.copy(self.session.prefix / shot, kept / f"{kh.ARCH.name}-{shot}")
        self.assertEqual(first.pixel(2, 2), background, "the movie's background is not on screen")
        drawn = sum(first.pixel(x, y) != background for y in range(0, SCREEN[1], 8) for x in range(0, SCREEN[0], 8))
        self.assertGreater(drawn, 100, f"{name}: next to nothing drawn over the background")
        bad, _ = differing_samples(first, second, step=4, tolerance=8)
        self.assertGreater(bad, 0, f"{name}: two screenshots 1.2 s apart are the same")
        self.session.key("space")
        self.assert_ends()

    def test_clock_hands_turn(self):
        self.check_moves("clock", (20, 24, 40))

    def test_sparks_fly(self):
        self.check_moves("particles", (8, 8, 20))

    def test_drawn_pattern_turns(self):
        self.check_moves("drawing_pattern", (16, 20, 48))


class NoMovie(ShowTestCase):
    def check_black_and_ends_on_a_key(self):
        self.start()
        image = self.session.shot("black.png")
        for point in [(0, 0), (640, 360), (1279, 719)]:
            self.assertEqual(image.pixel(*point), BLACK, f"pixel {point}")
        control = self.session.control_window()
        self.assertTrue(control is None or not control["visible"], "the control is shown")
        self.session.key("space")
        self.assert_ends()

    def test_missing_movie_leaves_the_black_window(self):
        # Start-up puts the default movie in place of a missing one: take that away too.
        default = self.session.unix_path(INSTALL_DIR + "\\swf\\Default.swf")
        hidden = default.with_name("Default.swf.away")
        default.rename(hidden)
        self.addCleanup(hidden.rename, default)
        self.session.set_movie(MOVIE_DIR, "missing.swf")
        self.check_black_and_ends_on_a_key()

    def test_damaged_movie_leaves_the_black_window(self):
        self.session.write_file(MOVIE_DIR + "damaged.swf", b"FWS\x06\xff\xff\x00\x00garbage")
        self.session.set_movie(MOVIE_DIR, "damaged.swf")
        self.check_black_and_ends_on_a_key()


class Preview(ShowTestCase):
    def test_preview_run_with_the_control_ends_with_its_pane(self):
        self.session.copy_in(TEST_CARD, MOVIE_DIR + "testcard.swf")
        self.session.set_movie(MOVIE_DIR, "testcard.swf")
        commands = "C:\\kestoral-test\\pane-commands.txt"
        self.session.write_file(commands, b"")
        pane = self.session.start("preview_pane.exe", commands)
        self.addCleanup(pane.kill)
        hwnd = int(pane.wait_for_line(r"^ready (\d+)", 20).group(1))
        preview = self.session.start("kestoral.scr", "/p", hwnd)
        self.addCleanup(preview.kill)
        window = self.session.wait_for_window(class_name="TFormDisplay", process="kestoral.scr")
        self.assertFalse(window["visible"])
        self.session.key("space")
        time.sleep(1.0)
        self.assertIsNone(preview.exit_code, "input ended a preview run")
        self.session.write_file(commands, b"hide")
        pane.wait_for_line(r"^done hide$", 10)
        self.assertEqual(preview.wait(10), 0)


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
