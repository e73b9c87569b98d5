"""Pieces the start-up tests share: starting the program with a traced MessageBeep (Wine's relay
trace is the seam: it logs each call of the system function without any hook in the program),
and waiting for the windows of each run."""

import subprocess
import time

import kestoral_harness as kh

SCR = "kestoral.scr"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
FLASH_CLSID = "{D27CDB6E-AE6D-11CF-96B8-444553540000}"
FLASH_DOUBLE = "C:\\kestoral-test\\flash-double.dll"


class StartupSession(kh.Session):
    def _open(self):
        super()._open()
        # Wine's services start with the first program of a prefix; a short run takes that hit.
        self.windows()
        self.reg_set("HKCU\\Software\\Wine\\Debug", "RelayInclude", "user32.MessageBeep")
        self.extra_env["KESTORAL_DOUBLE_LOG"] = kh.DOUBLE_LOG
        # A control must exist, or every show would open with the error box of a control that
        # cannot be created: the display tests' double of the Flash control stands in.
        self.copy_in(kh.BIN_DIR / "flash-double.dll", FLASH_DOUBLE)
        key = f"HKCR\\CLSID\\{FLASH_CLSID}\\InprocServer32"
        self.reg_set(key, None, FLASH_DOUBLE)
        self.reg_set(key, "ThreadingModel", "Apartment")

    def start_traced(self, *args, env=None):
        """Starts kestoral.scr with its MessageBeep calls traced; returns a TracedRun."""
        trace = self._output_file().with_suffix(".trace")
        environment = self.env(dict(env or {}, WINEDEBUG="-all,trace+relay"))
        with open(trace, "wb") as stderr, open(trace.with_suffix(".out"), "wb") as stdout:
            popen = subprocess.Popen([kh.ARCH.wine, self.program_path(SCR), *map(str, args)], env=environment,
                                     stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr, close_fds=True)
        run = TracedRun(popen, trace)
        self._traced.append(run)
        return run

    def kill_runs(self):
        """Ends every run this session started, so a failed test leaves no show behind."""
        for run in self._traced:
            run.kill()
        self._traced.clear()

    def close(self):
        if hasattr(self, "_traced"):
            self.kill_runs()
        super().close()

    def close_dialog(self, dialog):
        """Activates the dialog with a click on its caption, then presses Escape."""
        left, top, right, _ = dialog["rect"]
        self.move_mouse((left + right) // 2, top + 8)
        self.click(1)
        self.key("Escape")

    def __init__(self, **kwargs):
        super().__init__(**kwargs)
        self._traced = []

    def program_windows(self, class_name, visible=None):
        return self.find_windows(class_name=class_name, process=SCR, visible=visible)

    def clear_log(self):
        path = self.unix_path(kh.DOUBLE_LOG)
        if path.exists():
            path.unlink()


class TracedRun:
    def __init__(self, popen, trace):
        self._popen = popen
        self._trace = trace

    def wait(self, timeout=30.0):
        try:
            return self._popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"kestoral.scr still running after {timeout} s") from None

    def running(self):
        return self._popen.poll() is None

    def kill(self):
        if self._popen.poll() is None:
            self._popen.kill()
        self._popen.wait()

    def beeps(self):
        """The MessageBeep calls so far, as their argument texts."""
        text = self._trace.read_text("latin-1") if self._trace.exists() else ""
        return [line.split("MessageBeep(")[1].split(")")[0]
                for line in text.splitlines() if "Call user32.MessageBeep(" in line]


def ended_within(run, seconds=20.0):
    """True when the run ends within `seconds`."""
    try:
        run.wait(seconds)
        return True
    except TimeoutError:
        return False


def still_running_after(run, seconds=2.0):
    time.sleep(seconds)
    return run.running()
