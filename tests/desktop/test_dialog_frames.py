"""Dialogs with only a close box ask the window manager for no minimise and no maximise."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE  # noqa: E402
from test_help_pictures import DIALOGS, PICK_DATE  # noqa: E402

MWM_FUNC_MINIMIZE = 0x08
MWM_FUNC_MAXIMIZE = 0x10
MWM_HINTS_FUNCTIONS = 0x01


class DialogFrames(desktop.DesktopTest):
    def assert_close_box_only(self, wid):
        d = self.desktop
        out = d.run("xprop", "-id", str(wid), "_MOTIF_WM_HINTS", "_NET_WM_ALLOWED_ACTIONS")
        title = d.title(wid)
        m = re.search(r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (0x[0-9a-f]+), (0x[0-9a-f]+)", out)
        self.assertIsNotNone(m, f"{title}: no window manager hints")
        flags, functions = int(m.group(1), 16), int(m.group(2), 16)
        self.assertTrue(flags & MWM_HINTS_FUNCTIONS, f"{title}: functions not restricted")
        self.assertFalse(functions & MWM_FUNC_MINIMIZE, f"{title}: asks for minimise")
        self.assertFalse(functions & MWM_FUNC_MAXIMIZE, f"{title}: asks for maximise")
        self.assertNotIn("_NET_WM_ACTION_MAXIMIZE", out, f"{title}: can be maximised")

    def test_the_logon_the_confirm_and_every_tool_dialog(self):
        d = self.desktop
        self.assert_close_box_only(self.program.start())
        d.wait_active(LOGON_TITLE)
        d.type("alice")
        d.key("Tab")
        d.type("s3cret")
        d.key("Return")
        self.assert_close_box_only(d.wait_active(CONFIRM_TITLE))
        d.type("s3cret")
        d.key("Tab", "Return")
        main = d.window(MAIN_TITLE)
        d.wait_active(MAIN_TITLE)
        for _, menu, index, title in DIALOGS:
            self.program.menu(main, menu, index)
            self.assert_close_box_only(d.wait_active(title))
            d.key("alt+F4")
            d.gone(title)
            d.wait_active(MAIN_TITLE)
        d.click(main, *PICK_DATE)
        self.assert_close_box_only(d.wait_active(r"^Date Picker$"))


class DialogPlaces(desktop.DesktopTest):
    """Each box stands over the window that asked, or mid-screen where that is the rule."""

    def setUp(self):
        super().setUp()
        self.program.start()
        self.main = self.program.first_run()
        # Out of the screen's middle, so "over the main window" and "mid-screen" differ.
        self.program.menu(self.main, "Window", 1)  # Small
        r = self.desktop.frame_rect(self.main)
        self.desktop.frame_when(self.main, desktop.Rect(r.left, r.top, 650, 400))

    def test_change_master_password_stands_mid_screen(self):
        d = self.desktop
        self.program.menu(self.main, "Tools", 0)
        box = d.wait_active(r"^Change Master Password$")
        d.assert_centred_on(box, (d.width // 2, d.height // 2))

    def test_the_types_editors_prompt_stands_over_the_types_editor(self):
        d = self.desktop
        self.program.menu(self.main, "Tools", 4)  # Password Types...
        types = d.wait_active(r"^Edit Password Types$")
        d.move_window(types, 900, 400)
        d.key("alt+a")  # Add
        prompt = d.wait_active(r"^New Password Type$")
        d.assert_centred_on(prompt, d.centre(types))


if __name__ == "__main__":
    desktop.main()
