"""Dialogs with only a close box ask the window manager for no minimise and no maximise.

What the program controls is what it asks for: the Motif hints (functions and decorations), a
fixed size, the dialog type and the owner. openbox 3.6 honours the hints for maximise (a window
that cannot be resized cannot be maximised) but by design ignores them for minimise: its
client.c keeps the iconify function for every normal or dialog window ("dont let mwm hints kill
any buttons") and drops it only for menu and toolbar types, which these dialogs are not. So the
minimise button there is the window manager's rule, and the test asserts no minimise through the
hints, not through _NET_WM_ALLOWED_ACTIONS.
"""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE  # noqa: E402
from test_help_pictures import DIALOGS, PICK_DATE  # noqa: E402

MWM_HINTS_FUNCTIONS = 0x01
MWM_HINTS_DECORATIONS = 0x02
MWM_FUNC_ALL = 0x01
MWM_FUNC_RESIZE = 0x02
MWM_FUNC_MOVE = 0x04
MWM_FUNC_MINIMIZE = 0x08
MWM_FUNC_MAXIMIZE = 0x10
MWM_FUNC_CLOSE = 0x20
MWM_DECOR_ALL = 0x01
MWM_DECOR_TITLE = 0x08
MWM_DECOR_MINIMIZE = 0x20
MWM_DECOR_MAXIMIZE = 0x40


class DialogFrames(desktop.DesktopTest):
    def assert_close_box_only(self, wid):
        d = self.desktop
        out = d.run("xprop", "-id", str(wid), "_MOTIF_WM_HINTS", "_NET_WM_ALLOWED_ACTIONS",
                    "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR", "WM_NORMAL_HINTS")
        title = d.title(wid)
        m = re.search(r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (0x[0-9a-f]+), (0x[0-9a-f]+), "
                      r"(0x[0-9a-f]+)", out)
        self.assertIsNotNone(m, f"{title}: no window manager hints")
        flags, functions, decorations = (int(m.group(i), 16) for i in (1, 2, 3))
        self.assertTrue(flags & MWM_HINTS_FUNCTIONS, f"{title}: functions not restricted")
        self.assertFalse(functions & MWM_FUNC_ALL, f"{title}: asks for every function")
        self.assertTrue(functions & MWM_FUNC_CLOSE, f"{title}: cannot be closed")
        self.assertTrue(functions & MWM_FUNC_MOVE, f"{title}: cannot be moved")
        self.assertFalse(functions & MWM_FUNC_MINIMIZE, f"{title}: asks for minimise")
        self.assertFalse(functions & MWM_FUNC_MAXIMIZE, f"{title}: asks for maximise")
        self.assertTrue(flags & MWM_HINTS_DECORATIONS, f"{title}: decorations not restricted")
        self.assertFalse(decorations & MWM_DECOR_ALL, f"{title}: asks for every decoration")
        self.assertTrue(decorations & MWM_DECOR_TITLE, f"{title}: no title bar")
        self.assertFalse(decorations & MWM_DECOR_MINIMIZE, f"{title}: asks for a minimise box")
        self.assertFalse(decorations & MWM_DECOR_MAXIMIZE, f"{title}: asks for a maximise box")

        # A fixed border: the smallest and largest sizes agree, so nothing resizes or maximises.
        low = re.search(r"program specified minimum size: (\d+) by (\d+)", out)
        high = re.search(r"program specified maximum size: (\d+) by (\d+)", out)
        self.assertIsNotNone(low, f"{title}: no minimum size")
        self.assertIsNotNone(high, f"{title}: no maximum size")
        self.assertEqual(low.groups(), high.groups(), f"{title}: can be resized")

        types = re.search(r"_NET_WM_WINDOW_TYPE\(ATOM\) = (\w+)", out)
        self.assertIsNotNone(types, f"{title}: no window type")
        self.assertEqual(types.group(1), "_NET_WM_WINDOW_TYPE_DIALOG", title)
        self.assertRegex(out, r"WM_TRANSIENT_FOR\(WINDOW\): window id # 0x[0-9a-f]+",
                         f"{title}: owned by no window")

        # What the window manager made of it.
        actions = re.search(r"_NET_WM_ALLOWED_ACTIONS\(ATOM\) = (.*)", out)
        self.assertIsNotNone(actions, f"{title}: not managed")
        allowed = {a.strip() for a in actions.group(1).split(",")}
        self.assertIn("_NET_WM_ACTION_CLOSE", allowed, f"{title}: no close box")
        self.assertIn("_NET_WM_ACTION_MOVE", allowed, f"{title}: cannot be moved")
        for refused in ("_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                        "_NET_WM_ACTION_RESIZE"):
            self.assertNotIn(refused, allowed, f"{title}: allows {refused}")

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
