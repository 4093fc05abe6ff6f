"""The help page's pictures, taken from the real program on the desktop. Every run takes them
all (into a temporary folder) and checks that the help page shows each one that exists; with
VORKEL_UPDATE_HELP_PICTURES=1 they replace the committed pictures in src/gui/help."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import LOGON_TITLE, MAIN_TITLE  # noqa: E402

PICK_DATE = (532, 342)  # the editor's "Pick Date..." button at the first start's size

# (picture, menu, index of the command, window title)
DIALOGS = [
    ("generator.png", "Tools", 1, r"^Generate Password$"),
    ("keyboard.png", "Tools", 2, r"^On-screen Keyboard$"),
    ("options.png", "Tools", 3, r"^Options$"),
    ("types.png", "Tools", 4, r"^Edit Password Types$"),
    ("details.png", "View", 0, r"^Password Detail$"),
    ("change-password.png", "Tools", 0, r"^Change Master Password$"),
    ("about.png", "Help", 2, r"^About Vorkel$"),
]


class HelpPictures(desktop.DesktopTest):
    def test_every_picture_of_the_help_page_is_taken_from_the_program(self):
        committed = desktop.built("VORKEL_HELP_DIR")
        update = os.environ.get("VORKEL_UPDATE_HELP_PICTURES") == "1"
        out = committed if update else os.path.join(self.tmp.name, "pictures")
        os.makedirs(out, exist_ok=True)
        d = self.desktop
        taken = []

        def take(wid, name):
            d.screenshot(wid, os.path.join(out, name))
            taken.append(name)

        logon = self.program.start()
        d.wait_active(LOGON_TITLE)
        take(logon, "logon.png")
        main = self.program.first_run()
        for name, menu, index, title in DIALOGS:
            self.program.menu(main, menu, index)
            wid = d.window(title)
            d.wait_active(title)
            take(wid, name)
            d.key("alt+F4")
            d.gone(title)
            d.wait_active(MAIN_TITLE)
        d.click(main, *PICK_DATE)
        wid = d.window(r"^Date Picker$")
        take(wid, "date-picker.png")
        d.key("alt+F4")
        d.gone(r"^Date Picker$")

        self.program.menu(main, "Edit", 8)  # Advanced Search...
        search = d.window(r"^Advanced Search$")
        d.wait_active(r"^Advanced Search$")
        d.type("sample")
        d.key("Return")
        desktop.wait_until(lambda: d.grab(search) == d.grab(search), "the results drawn")
        take(search, "search.png")
        d.key("Escape")
        d.gone(r"^Advanced Search$")

        self.program.menu(main, "Window", 0)  # Default
        r = d.frame_rect(main)
        d.frame_when(main, desktop.Rect(r.left, r.top, 820, 600))
        d.activate(main)
        take(main, "main.png")
        self.program.close_main(main)

        for name in taken:
            self.assertGreater(os.path.getsize(os.path.join(out, name)), 1000, name)
        with open(desktop.built("VORKEL_HTML"), encoding="utf-8") as page:
            shown = set(re.findall(r'<img src="help/([^"]+)"', page.read()))
        self.assertEqual(shown, set(taken), "the help page shows every picture taken")
        for name in shown:
            self.assertTrue(os.path.exists(os.path.join(committed, name)), name)


if __name__ == "__main__":
    desktop.main()
