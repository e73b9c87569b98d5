"""The screen-saver password decisions of a full-screen show and the password change of run
mode A, with the doubles of PASSWORD.CPL and MPR.DLL; the Windows 95 family is emulated by
making Wine report Windows 98 to the program."""

import unittest

import kestoral_harness as kh
from startup_harness import DESKTOP_KEY, SCR, StartupSession, ended_within, still_running_after


def verify_calls(session):
    return [c for c in session.double_calls() if c["function"] == "VerifyScreenSavePwd"]


class PasswordOnClose(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return StartupSession()

    @classmethod
    def prepare_session(cls, session):
        session.install_password_double()

    def setUp(self):
        self.session.clear_log()
        self.session.set_windows_version("win98", exe=SCR)
        self.session.reg_set(DESKTOP_KEY, "ScreenSaveUsePassword", 1, "REG_DWORD")
        self.session.move_mouse(100, 100)

    def show(self, *args, results="0"):
        run = self.session.start_traced(*(args or ("/s",)), env={"KESTORAL_VERIFY_RESULT": results})
        kh.wait_until(lambda: self.session.program_windows("TFormDisplay", visible=True), 30,
                      message="the show")
        return run

    def assert_closes_without_asking(self, run, why):
        self.session.key("space")
        self.assertTrue(ended_within(run, 15), f"{why}: the show stayed open")
        self.assertEqual(verify_calls(self.session), [], f"{why}: the password was asked")

    def test_no_question_without_a_password_in_force(self):
        for value, kind in [(None, None), (0, "REG_DWORD"), (0xFFFFFFFF, "REG_DWORD"), ("1", "REG_SZ")]:
            with self.subTest(value=value, kind=kind):
                self.session.reg_delete(DESKTOP_KEY, "ScreenSaveUsePassword")
                if value is not None:
                    self.session.reg_set(DESKTOP_KEY, "ScreenSaveUsePassword", value, kind)
                self.assert_closes_without_asking(self.show(), f"value {value!r}")

    def test_nt_family_never_asks(self):
        self.session.set_windows_version("win10", exe=SCR)
        self.assert_closes_without_asking(self.show(), "NT")

    def test_only_the_letter_s_asks(self):
        for args in [("/x",), ("s",)]:
            with self.subTest(args=args):
                self.assert_closes_without_asking(self.show(*args), f"{args}")

    def test_password_switched_off_during_the_show_is_not_asked(self):
        run = self.show()
        self.session.reg_set(DESKTOP_KEY, "ScreenSaveUsePassword", 0, "REG_DWORD")
        self.assert_closes_without_asking(run, "switched off")

    def test_missing_library_or_function_allows_the_close(self):
        try:
            self.session.remove_password_cpl()
            self.assert_closes_without_asking(self.show(), "no PASSWORD.CPL")
            self.session.install_password_double(verify_export=False)
            self.assert_closes_without_asking(self.show(), "no VerifyScreenSavePwd")
        finally:
            self.session.install_password_double()

    def test_refusal_keeps_the_show_and_the_owner_is_the_foreground_window(self):
        run = self.show(results="0,1")
        display = self.session.program_windows("TFormDisplay", visible=True)[0]
        self.session.key("space")
        kh.wait_until(lambda: verify_calls(self.session), 15, message="the question")
        self.assertTrue(still_running_after(run, 1.0), "a refused password ended the show")
        self.assertEqual(int(verify_calls(self.session)[0]["owner"]), display["hwnd"])
        self.session.key("space")
        self.assertTrue(ended_within(run, 15))
        self.assertEqual([c["result"] for c in verify_calls(self.session)], ["0", "1"])


class PasswordChange(kh.SessionTestCase):
    @classmethod
    def make_session(cls):
        return StartupSession(gui=False)

    def setUp(self):
        self.session.clear_log()

    def change_calls(self, *args):
        run = self.session.start_traced("/a", *args)
        self.assertTrue(ended_within(run), f"/a {args} did not end")
        self.assertEqual(run.beeps(), [])
        return [c for c in self.session.double_calls() if c["function"] == "PwdChangePasswordA"]

    def test_owner_window_from_argument_two(self):
        self.session.install_mpr_double()
        for args, owner in [(("1234",), "1234"), (("$10",), "16"), ((), "0"), (("abc",), "0")]:
            with self.subTest(args=args):
                self.session.clear_log()
                self.assertEqual(self.change_calls(*args), [
                    {"function": "PwdChangePasswordA", "provider": "SCRSAVE", "owner": owner,
                     "arg3": "0", "arg4": "0"}])
        self.assertEqual(self.session.program_windows("TFormDisplay"), [])
        self.assertEqual(self.session.program_windows("TFormConfig"), [])

    def test_without_the_service_nothing_is_called(self):
        self.session.set_dll_override("mpr", "builtin")
        self.assertEqual(self.change_calls("1234"), [])


if __name__ == "__main__":
    kh.install_script_timeout()
    unittest.main(verbosity=2)
