"""kestoral.scr /c seen from outside its process: the dialog's windows where the design puts
them, the texts it shows, and what Escape and OK leave in the registry. Keeps a screenshot of
the dialog in the build folder (tests/config/config_dialog.png)."""

import subprocess
import unittest

from kestoral_harness import BIN_DIR, Session, install_script_timeout, read_png, wait_until

KEY = "HKCU\\Software\\OrvinSoftware\\MarvaneScreenSaver"
GENERAL = KEY + "\\OptGeneral"
ARTEFACT = BIN_DIR.parent / "tests" / "config" / "config_dialog.png"
CLIENT = (468, 306)

# The design: class, text (None: not checked), parent name, left, top, width, height.
DESIGN = {
    "laVersion": ("Static", "1.5.0", None, 4, 60, 460, 15),
    "imProgIcon": ("Static", "", None, 428, 260, 32, 32),
    "laUpdateLink": ("Static", "Update...", None, 350, 280, 75, 13),
    "pnBanner": ("Static", "", None, 0, 0, 468, 60),
    "imBanner": ("Static", "", "pnBanner", 0, 0, 468, 60),
    "gbMovie": ("Button", "Select Movie", None, 8, 82, 452, 150),
    "imMovieBmp": ("Static", "", "gbMovie", 324, 50, 120, 90),
    "laMovieTxt": ("Static", "A short film.\r\nIt loops.\r\n", "gbMovie", 8, 50, 310, 90),
    "btMoviesNew": ("Button", "New...", "gbMovie", 384, 20, 60, 21),
    "coMovieName": ("ComboBox", None, "gbMovie", 8, 20, 369, 21),
    "OKBtn": ("Button", "OK", None, 84, 260, 75, 25),
    "CancelBtn": ("Button", "Cancel", None, 164, 260, 75, 25),
    "cbMovieRandom": ("Button", "random", None, 8, 240, 100, 17),
    "btHelp": ("Button", "Help", None, 244, 260, 75, 25),
}
# Parents come before their children, so a child's parent is already found.
ORDER = ["pnBanner", "gbMovie"] + [n for n in DESIGN if n not in ("pnBanner", "gbMovie")]


class ConfigDialog(unittest.TestCase):
    def open_dialog(self, session):
        for name in ("A.SWF", "b.swf"):
            session.unix_path("C:\\movies\\" + name).parent.mkdir(parents=True, exist_ok=True)
            session.unix_path("C:\\movies\\" + name).write_bytes(b"FWS")
        session.unix_path("C:\\movies\\A.txt").write_bytes(b"A short film.\nIt loops.\n")
        subprocess.run(["convert", "-size", "160x120", "gradient:orange-purple",
                        "BMP3:" + str(session.unix_path("C:\\movies\\A.bmp"))], check=True)
        session.reg_set(GENERAL, "sMovieDirectory", "C:\\movies\\")
        session.reg_set(GENERAL, "sMovieName", "a.swf")
        program = session.start("kestoral.scr", "/c")
        form = session.wait_for_window(class_name="TFormConfig", visible=True)
        return program, form

    @staticmethod
    def client_origin(form):
        # A fixed dialog frame is as wide at the bottom as at the sides.
        left, top, right, bottom = form["rect"]
        border = (right - left - CLIENT[0]) // 2
        return left + border, bottom - border - CLIENT[1]

    def test_layout_texts_and_screenshot(self):
        def same_place(cls, actual, designed):
            # A drop-down list sizes its own height from its font's (designed: 21 for MS Sans
            # Serif 8); under Wine that face is drawn with the machine's outline fonts, a pixel
            # or so apart. Everything else stands exactly where the design puts it.
            if cls != "ComboBox":
                return actual == designed
            return actual[:3] == designed[:3] and abs(actual[3] - designed[3]) <= 2
        with Session(screen="1024x768x24") as session:
            program, form = self.open_dialog(session)
            self.assertEqual(form["title"], "Marvane - Screensaver")
            left, top, right, bottom = form["rect"]
            self.assertEqual((right - left - CLIENT[0]) % 2, 0, form["rect"])
            self.assertAlmostEqual((left + right) / 2, 512, delta=1)
            self.assertAlmostEqual((top + bottom) / 2, 384, delta=1)

            children = [w for w in session.windows(children=True)
                        if not w["top_level"] and w["pid"] == form["pid"]]
            origin = self.client_origin(form)
            found = {None: {"hwnd": form["hwnd"], "origin": origin}}
            for name in ORDER:
                cls, text, parent, x, y, width, height = DESIGN[name]
                parent_origin = found[parent]["origin"]
                rect = [parent_origin[0] + x, parent_origin[1] + y,
                        parent_origin[0] + x + width, parent_origin[1] + y + height]
                matches = [w for w in children if w["class"] == cls and same_place(cls, w["rect"], rect)
                           and w["parent"] == found[parent]["hwnd"]
                           and (text is None or w["title"] == text)]
                self.assertEqual(len(matches), 1, f"{name}: no {cls} {text!r} at {rect}")
                found[name] = {"hwnd": matches[0]["hwnd"], "origin": rect[:2],
                               "visible": matches[0]["visible"]}
            self.assertFalse(found["cbMovieRandom"]["visible"], "the random box is never shown")
            self.assertTrue(all(found[n]["visible"] for n in DESIGN if n != "cbMovieRandom"))

            screen = session.screenshot(session.prefix / "screen.png", compress=False)
            image = read_png(screen)
            # Banner blue at the banner's right edge, the preview's picture stretched (orange
            # at its top), and the dialog's face colour under the buttons.
            self.assertEqual(image.pixel(origin[0] + 440, origin[1] + 5), (102, 153, 204))
            preview_x, preview_y = origin[0] + 8 + 324 + 60, origin[1] + 82 + 50 + 2
            red, green, blue = image.pixel(preview_x, preview_y)
            self.assertTrue(red > 200 and blue < 100, (red, green, blue))
            ARTEFACT.parent.mkdir(parents=True, exist_ok=True)
            subprocess.run(["convert", str(screen), "-crop",
                            f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(ARTEFACT)],
                           check=True)
            print(f"screenshot: {ARTEFACT}")

            # Resting on the banner brings up its tooltip.
            session.move_mouse(origin[0] + 100, origin[1] + 30)
            session.move_mouse(origin[0] + 102, origin[1] + 31)
            wait_until(lambda: session.find_windows(class_name="tooltips_class32", process="kestoral.scr",
                                                    visible=True), 15, 0.5, "the banner's tooltip")
            program.kill()

    def test_escape_closes_without_saving(self):
        with Session() as session:
            program, _ = self.open_dialog(session)
            session.key("Escape")
            self.assertEqual(program.wait(20), 0)
            # Shown, the dialog took the list's spelling "A.SWF"; nothing of that was saved.
            self.assertEqual(session.reg_get(GENERAL, "sMovieName"), "a.swf")
            self.assertIsNone(session.reg_get(KEY + "\\Version", "iRelease"))

    def test_ok_saves_and_closes(self):
        with Session() as session:
            program, form = self.open_dialog(session)
            x, y = self.client_origin(form)
            session.move_mouse(x + 84 + 37, y + 260 + 12)
            session.click(1)
            self.assertEqual(program.wait(20), 0)
            self.assertEqual(session.reg_get(GENERAL, "sMovieDirectory"), "C:\\movies\\")
            self.assertEqual(session.reg_get(GENERAL, "sMovieName"), "A.SWF")
            self.assertEqual(session.reg_get(GENERAL, "bMovieRandom"), "0")
            self.assertEqual(session.reg_get(KEY + "\\Version", "iRelease"), "1500")

    def test_tab_tab_enter_presses_ok(self):
        # The list has the focus first; Tab moves to "New...", then to "OK"; Enter presses it.
        with Session() as session:
            program, _ = self.open_dialog(session)
            session.key("Tab", "Tab", "Return")
            self.assertEqual(program.wait(20), 0)
            self.assertEqual(session.reg_get(GENERAL, "sMovieName"), "A.SWF")

    def test_stored_random_flag_disables_the_list_and_is_saved_as_one(self):
        with Session() as session:
            session.reg_set(GENERAL, "bMovieRandom", "9")
            program, form = self.open_dialog(session)
            lists = [w for w in session.windows(children=True)
                     if w["class"] == "ComboBox" and w["pid"] == form["pid"]]
            self.assertEqual(len(lists), 1)
            self.assertFalse(lists[0]["enabled"])
            x, y = self.client_origin(form)
            session.move_mouse(x + 84 + 37, y + 260 + 12)
            session.click(1)
            self.assertEqual(program.wait(20), 0)
            self.assertEqual(session.reg_get(GENERAL, "bMovieRandom"), "1")

    def test_help_opens_the_readme_of_the_install_folder(self):
        with Session() as session:
            session.reg_set("HKLM\\SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver", "Install_Dir", "C:\\saver")
            readme = session.unix_path("C:\\saver\\readme.txt")
            readme.parent.mkdir(parents=True, exist_ok=True)
            readme.write_bytes(b"Help text.\r\n")
            # The test prefix knows no viewer for text files; Notepad becomes it.
            session.reg_set("HKCR\\.txt", None, "txtfile")
            session.reg_set("HKCR\\txtfile\\shell\\open\\command", None,
                            "C:\\windows\\notepad.exe \"%1\"")
            program, form = self.open_dialog(session)
            x, y = self.client_origin(form)
            session.move_mouse(x + 244 + 37, y + 260 + 12)
            session.click(1)
            # Notepad's window shows "Untitled" until the file is loaded.
            wait_until(lambda: [w for w in session.find_windows(process="notepad.exe", visible=True)
                                if "readme.txt" in w["title"].lower()], 30, 0.5, "Notepad with readme.txt")
            self.assertIsNone(program.exit_code, "Help leaves the dialog open")
            program.kill()


if __name__ == "__main__":
    install_script_timeout()
    unittest.main(verbosity=2)
