"""tools/wine/wine-run.sh, the emulator every Windows test runs through."""

import os
import re
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from kestoral_harness import (ARCH, BIN_DIR, TEMPLATE, TOOLS, install_script_timeout,
                              prefix_processes, wait_until)

WINE_RUN = TOOLS / "wine-run.sh"


def wine_run(*args, env=None, timeout=90):
    """Runs wine-run.sh with its output on pipes, as ctest does; communicate() returns only
    once every holder of the pipes has closed them, so a leaked pipe shows up as a timeout."""
    started = time.monotonic()
    process = subprocess.Popen([WINE_RUN, "--template", TEMPLATE, *map(str, args)],
                               env=dict(os.environ, **(env or {})), stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        raise AssertionError(f"wine-run.sh {args} still held its output pipes after {timeout} s")
    return process.returncode, out, err, time.monotonic() - started


def printed(out, name):
    match = re.search(rf"^{name} (.*?)\r?$", out, re.M)
    return match.group(1) if match else None


class ExitCodes(unittest.TestCase):
    def test_exit_codes_pass_through(self):
        for code in (0, 1, 42, 255):
            with self.subTest(code=code):
                rc, out, err, _ = wine_run(BIN_DIR / "exit_with.exe", code)
                self.assertEqual(rc, code, err)
                self.assertIn("prefix ", out)

    def test_missing_program_fails(self):
        rc, _, _, _ = wine_run(BIN_DIR / "no_such_program.exe")
        self.assertNotEqual(rc, 0)


class Architecture(unittest.TestCase):
    def test_programs_run_natively_in_a_prefix_of_the_builds_architecture(self):
        rc, out, err, _ = wine_run(BIN_DIR / "exit_with.exe", 0)
        self.assertEqual(rc, 0, err)
        self.assertEqual(printed(out, "bits"), "64" if ARCH.is_64bit else "32")
        # A 32-bit program in a 64-bit prefix would run under WOW64: not what this build tests.
        self.assertEqual(printed(out, "wow64"), "0")
        if not ARCH.is_64bit:
            self.assertFalse((TEMPLATE / "drive_c/windows/syswow64").exists(), "a 64-bit template")


class Prefixes(unittest.TestCase):
    def test_each_run_gets_a_fresh_prefix_that_is_removed_afterwards(self):
        rc, out, err, _ = wine_run(BIN_DIR / "exit_with.exe", 0)
        prefix = printed(out, "prefix")
        self.assertEqual(rc, 0, err)
        self.assertTrue(prefix.startswith(str(TEMPLATE.parent / "runs")), prefix)
        self.assertFalse(Path(prefix).exists())
        self.assertEqual(prefix_processes(prefix), [])

    def test_two_runs_at_once_do_not_share_a_prefix(self):
        runs = [subprocess.Popen([WINE_RUN, "--template", TEMPLATE, BIN_DIR / "exit_with.exe", n],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, text=True) for n in ("3", "4")]
        results = [(run.communicate(timeout=90)[0], run.returncode) for run in runs]
        self.assertEqual([code for _, code in results], [3, 4])
        prefixes = [printed(out, "prefix") for out, _ in results]
        self.assertNotEqual(prefixes[0], prefixes[1])
        for prefix in prefixes:
            self.assertFalse(Path(prefix).exists())


class Timeouts(unittest.TestCase):
    def test_hung_program_and_its_child_are_killed_at_the_timeout(self):
        rc, out, err, elapsed = wine_run("--timeout", 5, BIN_DIR / "hang.exe", "--child")
        prefix = printed(out, "prefix")
        self.assertEqual(rc, 124, err)
        self.assertIn("timeout", err)
        self.assertEqual(out.count("hanging"), 2, "the child did not start")
        self.assertLess(elapsed, 5 + 20)
        self.assertEqual(prefix_processes(prefix), [])
        self.assertFalse(Path(prefix).exists())


    def test_runner_killed_outright_is_cleaned_up_by_its_reaper(self):
        # ctest ends a test that outlives its TIMEOUT with SIGKILL: no trap runs.
        with tempfile.TemporaryFile() as output:
            runner = subprocess.Popen([WINE_RUN, "--gui", "--template", TEMPLATE,
                                       BIN_DIR / "hang.exe"], stdin=subprocess.DEVNULL,
                                      stdout=output, stderr=subprocess.DEVNULL)

            def started():
                output.seek(0)
                return printed(output.read().decode(), "prefix")

            prefix = wait_until(started, 60, 0.2, "hang.exe to start")
            runner.send_signal(signal.SIGKILL)
            runner.wait()
        wait_until(lambda: not Path(prefix).exists(), 30, 0.2, "the prefix to be removed")
        self.assertEqual(prefix_processes(prefix), [])


class Options(unittest.TestCase):
    def test_display_only_when_asked_for(self):
        _, out, _, _ = wine_run(BIN_DIR / "exit_with.exe", env={"DISPLAY": ":99"})
        self.assertEqual(printed(out, "display"), "")
        rc, out, err, _ = wine_run("--gui", BIN_DIR / "exit_with.exe")
        self.assertEqual(rc, 0, err)
        self.assertRegex(printed(out, "display"), r"^:\d+$")

    def test_windows_version(self):
        _, out, _, _ = wine_run(BIN_DIR / "exit_with.exe")
        self.assertEqual(printed(out, "platform"), "2")
        _, out, _, _ = wine_run(BIN_DIR / "exit_with.exe",
                                env={"KESTORAL_WINE_VERSION": "win98"})
        self.assertEqual(printed(out, "platform"), "1")


if __name__ == "__main__":
    install_script_timeout()
    unittest.main(verbosity=2)
