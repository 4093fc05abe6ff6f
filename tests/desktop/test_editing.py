"""The editor on a real keyboard: cut and copy of a masked field, typing with no row."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402

# Points of the editor in the main window's client area at its first-start size.
DESCRIPTION = (474, 153)
PASSWORD = (439, 261)
LIST_BELOW_THE_ROWS = (120, 420)


class Editing(desktop.DesktopTest):
    def setUp(self):
        super().setUp()
        # The same sample entries as the first run's, made by the command-line tool.
        samples = desktop.Program(self.desktop, self.tmp.name + "/samples", copy=False)
        samples.cli("alice", "s3cret", "init")
        self.before = samples.entry("alice", "s3cret", 0)
        self.password = self.before["Password"]
        self.assertTrue(self.password, "the first sample entry has a password")
        self.program.start()
        self.main = self.program.first_run("alice", "s3cret")

    def select_all_of(self, point):
        d = self.desktop
        d.click(self.main, *point)
        d.key("End", "shift+Home")

    def test_cut_of_the_masked_password_puts_the_clear_text_on_the_clipboard(self):
        d = self.desktop
        d.set_clipboard("before")
        self.select_all_of(PASSWORD)
        self.program.menu(self.main, "Edit", 0)  # Cut
        desktop.wait_until(lambda: d.clipboard() == self.password,
                           "the cut password on the clipboard")
        # A key released in the field stores what the cut left: nothing.
        d.click(self.main, *PASSWORD)
        d.key("End")
        self.program.close_main(self.main)
        self.assertEqual(self.program.entry("alice", "s3cret", 0)["Password"], "")

    def test_copy_of_the_masked_password_puts_the_clear_text_on_the_clipboard(self):
        d = self.desktop
        d.set_clipboard("before")
        self.select_all_of(PASSWORD)
        self.program.menu(self.main, "Edit", 1)  # Copy
        desktop.wait_until(lambda: d.clipboard() == self.password,
                           "the copied password on the clipboard")
        self.program.close_main(self.main)
        self.assertEqual(self.program.entry("alice", "s3cret", 0)["Password"], self.password)

    def test_with_no_row_selected_the_editor_takes_no_typing(self):
        d = self.desktop
        d.click(self.main, *LIST_BELOW_THE_ROWS)  # clears the selection
        d.click(self.main, *DESCRIPTION)
        before = d.grab(self.main)
        d.type("lost")
        # Had the field taken the keys, they would show in it.
        d.click(self.main, *LIST_BELOW_THE_ROWS)
        self.assertEqual(d.grab(self.main), before)
        self.program.close_main(self.main)
        titles = self.program.cli("alice", "s3cret", "list").splitlines()
        self.assertFalse([t for t in titles if "lost" in t])


if __name__ == "__main__":
    desktop.main()
