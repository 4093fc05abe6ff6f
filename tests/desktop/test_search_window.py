"""The advanced search window beside the main window: only a lock clears it."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import LOGON_TITLE, MAIN_TITLE  # noqa: E402

SEARCH_TITLE = r"^Advanced Search$"
OPTIONS_TITLE = r"^Options$"
ALWAYS_ON_TOP_BOX = (32, 117)  # "Vorkel Always On Top" on the Options dialog's first page


class SearchWindow(desktop.DesktopTest):
    def setUp(self):
        super().setUp()
        self.program.start()
        self.main = self.program.first_run()
        d = self.desktop
        self.program.menu(self.main, "Edit", 8)  # Advanced Search...
        self.search = d.window(SEARCH_TITLE)
        d.wait_active(SEARCH_TITLE)
        d.type("sample")
        d.key("Return")

    def results_shown(self):
        """The search window's picture once it has stopped changing."""
        last = [None]

        def steady():
            now = self.desktop.grab(self.search)
            same = now == last[0]
            last[0] = now
            return now if same else None
        return desktop.wait_until(steady, "the search window to settle")

    def toggle_always_on_top(self):
        d = self.desktop
        self.program.menu(self.main, "Tools", 3)  # Options...
        options = d.window(OPTIONS_TITLE)
        d.wait_active(OPTIONS_TITLE)
        d.click(options, *ALWAYS_ON_TOP_BOX)
        d.key("Return")  # OK is the default button
        d.gone(OPTIONS_TITLE)
        # A new "on top" flag re-creates the native window: a new window id.
        self.main = d.window(MAIN_TITLE)

    def test_always_on_top_keeps_the_window_and_its_results(self):
        d = self.desktop
        before = self.results_shown()
        self.toggle_always_on_top()
        desktop.wait_until(lambda: "_NET_WM_STATE_ABOVE" in d.state(self.main),
                           "the main window to stay on top")
        self.assertEqual(d.window(SEARCH_TITLE), self.search)
        self.toggle_always_on_top()
        desktop.wait_until(lambda: "_NET_WM_STATE_ABOVE" not in d.state(self.main),
                           "the main window no longer on top")
        self.assertEqual(d.window(SEARCH_TITLE), self.search)
        # Raised above the main window again, it shows the same results as before.
        d.activate(self.search)
        self.assertEqual(self.results_shown(), before)

    def test_a_lock_closes_the_window(self):
        d = self.desktop
        d.run("xdotool", "windowminimize", str(self.main))
        desktop.wait_until(lambda: d.minimised(self.main), "the main window minimised")
        d.gone(SEARCH_TITLE)
        d.run("xdotool", "windowactivate", str(self.main))
        self.program.logon()
        d.window(MAIN_TITLE)
        self.assertEqual(d.windows(SEARCH_TITLE), [], "the lock closed the search window")


if __name__ == "__main__":
    desktop.main()
