"""User journeys end to end: the idle lock (taken by minimising, the same path as the idle
timer's), New Data Store, and backup and restore."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE, MESSAGE_TITLE  # noqa: E402

FILE_DIALOG_TITLE = r"^(Save As|Open|Save File|Open File)$"
DESCRIPTION = (474, 153)


class Journeys(desktop.DesktopTest):
    def setUp(self):
        super().setUp()
        self.program.start()
        self.main = self.program.first_run("alice", "s3cret")

    def lock(self):
        d = self.desktop
        d.run("xdotool", "windowminimize", str(self.main))
        desktop.wait_until(lambda: d.minimised(self.main), "the main window minimised")
        d.run("xdotool", "windowactivate", str(self.main))
        d.wait_active(LOGON_TITLE)

    def choose_file(self, path):
        d = self.desktop
        d.wait_active(FILE_DIALOG_TITLE)
        d.key("ctrl+a")
        d.type(path)
        d.key("Return")
        d.gone(FILE_DIALOG_TITLE)

    def test_minimise_and_restore_locks_and_the_logon_unlocks(self):
        d = self.desktop
        before = d.frame_rect(self.main)
        self.lock()
        self.assertEqual(d.windows(MAIN_TITLE), [], "the main window is hidden while locked")
        self.main = self.program.logon("alice", "s3cret")
        self.assertEqual(d.frame_when(self.main, before), before)
        self.assertNotIn("_NET_WM_STATE_HIDDEN", d.state(self.main))
        self.program.close_main(self.main)

    def test_a_wrong_pair_at_the_lock_ends_the_program_and_loses_nothing(self):
        d = self.desktop
        self.program.menu(self.main, "File", 2)  # Save All
        d.wait_active(MAIN_TITLE)
        d.click(self.main, *DESCRIPTION)
        d.key("End")
        d.type("-changed")
        self.lock()
        d.type("alice")
        d.key("Tab")
        d.type("wrong")
        d.key("Return")
        d.wait_active(MESSAGE_TITLE)  # "The logon details you entered are incorrect."
        d.key("Return")
        self.program.wait_end()
        # The lock wrote what was typed before it; the failed logon wrote nothing after.
        self.assertEqual(self.program.entry("alice", "s3cret", 0)["Title"],
                         "A Sample Entry-changed")

    def test_new_data_store_starts_a_new_account(self):
        d = self.desktop
        self.program.menu(self.main, "File", 3)  # New Data Store...
        d.wait_active(MESSAGE_TITLE)
        d.key("Return")  # Yes
        self.main = self.program.first_run("bob", "n3w")
        self.program.close_main(self.main)
        self.assertGreater(len(self.program.cli("bob", "n3w", "list").splitlines()), 0)
        with self.assertRaises(AssertionError):
            self.program.cli("alice", "s3cret", "list")

    def test_backup_then_restore_brings_the_entries_back(self):
        d = self.desktop
        backup = os.path.join(self.tmp.name, "kept.xdb")
        self.program.menu(self.main, "File", 4)  # Backup Data...
        self.choose_file(backup)
        desktop.wait_until(lambda: os.path.exists(backup), "the backup file")
        d.wait_active(MAIN_TITLE)
        d.click(self.main, *DESCRIPTION)
        d.key("End")
        d.type("-changed")
        self.program.menu(self.main, "File", 2)  # Save All
        d.wait_active(MAIN_TITLE)
        self.program.menu(self.main, "File", 5)  # Restore Data...
        self.choose_file(backup)
        d.wait_active(MESSAGE_TITLE)  # overwrite the data in memory?
        d.key("Return")  # Yes
        d.wait_active(MAIN_TITLE)
        self.program.close_main(self.main)
        self.assertEqual(self.program.entry("alice", "s3cret", 0)["Title"], "A Sample Entry")


if __name__ == "__main__":
    desktop.main()
