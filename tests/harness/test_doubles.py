"""The password-service doubles, installed into a session's system directory and called the
way a screen saver calls them (tests/harness/programs/call_password.cpp)."""

import unittest

from kestoral_harness import Session, install_script_timeout


class VerifyDouble(unittest.TestCase):
    def test_results_follow_the_script_and_every_call_is_logged(self):
        with Session(gui=False, env={"KESTORAL_VERIFY_RESULT": "0,1"}) as session:
            session.install_password_double()
            outputs = [session.run("call_password.exe", "verify", owner)[1]
                       for owner in ("1234", "0x10020", "0")]
            self.assertEqual(outputs, [["verify 0"], ["verify 1"], ["verify 1"]])
            self.assertEqual(session.double_calls(), [
                {"function": "VerifyScreenSavePwd", "owner": "1234", "result": "0"},
                {"function": "VerifyScreenSavePwd", "owner": "65568", "result": "1"},
                {"function": "VerifyScreenSavePwd", "owner": "0", "result": "1"},
            ])

    def test_accepts_by_default(self):
        with Session(gui=False) as session:
            session.install_password_double()
            self.assertEqual(session.run("call_password.exe", "verify", "7")[1], ["verify 1"])

    def test_variant_without_the_export_and_no_library_at_all(self):
        with Session(gui=False) as session:
            self.assertEqual(session.run("call_password.exe", "verify", "7")[1],
                             ["missing library"])
            session.install_password_double(verify_export=False)
            self.assertEqual(session.run("call_password.exe", "verify", "7")[1],
                             ["missing function"])
            self.assertEqual(session.double_calls(), [])


class ChangeDouble(unittest.TestCase):
    def test_arguments_logged_and_result_returned(self):
        with Session(gui=False, env={"KESTORAL_CHANGE_RESULT": "5"}) as session:
            session.install_mpr_double()
            self.assertEqual(session.run("call_password.exe", "change", "4660")[1], ["change 5"])
            self.assertEqual(session.double_calls(), [
                {"function": "PwdChangePasswordA", "provider": "SCRSAVE", "owner": "4660",
                 "arg3": "0", "arg4": "0"},
            ])

    def test_without_the_override_wine_keeps_its_own(self):
        with Session(gui=False) as session:
            session.copy_in(session.program_path("mpr-double.dll"),
                            session.system_dir + "\\mpr.dll")
            session.extra_env["KESTORAL_DOUBLE_LOG"] = "C:\\kestoral-double.log"
            session.set_dll_override("mpr", "builtin")
            code, lines = session.run("call_password.exe", "change", "1")
            self.assertEqual(code, 0)
            self.assertRegex(lines[0], r"^change \d+$")
            self.assertEqual(session.double_calls(), [])


if __name__ == "__main__":
    install_script_timeout()
    unittest.main(verbosity=2)
