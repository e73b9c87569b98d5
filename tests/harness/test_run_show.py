"""tools/wine/run-show.sh, the headless path of `make run`, with the stand-in saver."""

import os
import subprocess
import tempfile
import unittest
from pathlib import Path

from kestoral_harness import (BIN_DIR, TEMPLATE, TOOLS, install_script_timeout,
                              prefix_processes, read_png)


def run_show(program, show_dir, **extra):
    env = dict(os.environ, **extra, KESTORAL_SHOW_PROGRAM=program, KESTORAL_SHOW_DIR=show_dir,
               KESTORAL_SHOW_SECONDS="2", KESTORAL_SHOW_HEADLESS="1",
               KESTORAL_SHOW_TEMPLATE=str(TEMPLATE), KESTORAL_SHOW_SETUP="")
    return subprocess.run([TOOLS / "run-show.sh", BIN_DIR], env=env, text=True,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=150)


class HeadlessShow(unittest.TestCase):
    def test_screenshot_taken_and_show_ended_by_a_key(self):
        with tempfile.TemporaryDirectory(dir=BIN_DIR.parent) as show_dir:
            result = run_show("demo_saver.exe", show_dir)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertFalse((Path(show_dir) / "show-after-key.png").exists(), result.stderr)
            screenshot = Path(result.stdout.strip().splitlines()[-1])
            self.assertEqual(screenshot, Path(show_dir) / "show.png")
            image = read_png(screenshot)
            self.assertEqual((image.width, image.height), (1280, 720))
            self.assertEqual(image.pixel(150, 150), (255, 0, 0))  # the saver's red mark
            self.assertEqual(image.pixel(1000, 600), (0, 0, 0))
            log = (Path(show_dir) / "show.log").read_text()
            self.assertIn("key 32", log)
            self.assertIn("close", log)
            prefix = Path(show_dir) / "run-prefix"
            self.assertTrue((prefix / "system.reg").exists(), "run prefix not kept")
            self.assertEqual(prefix_processes(prefix), [])

    def test_show_that_ignores_keys_is_killed_and_fails(self):
        with tempfile.TemporaryDirectory(dir=BIN_DIR.parent) as show_dir:
            # hang.exe opens no window: no need to wait a minute for one.
            result = run_show("hang.exe", show_dir, KESTORAL_SHOW_WINDOW_WAIT="3")
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertIn("killed", result.stderr)
            self.assertTrue((Path(show_dir) / "show-after-key.png").exists())
            self.assertEqual(prefix_processes(Path(show_dir) / "run-prefix"), [])


if __name__ == "__main__":
    install_script_timeout()
    unittest.main(verbosity=2)
