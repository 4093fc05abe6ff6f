"""Enter through every message of the logon: the Enter that closes a message box must not be
taken, at its release, for an Enter in the password field (which would run the logon again and
bring the message straight back)."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE, MESSAGE_TITLE  # noqa: E402

FILE_DIALOG_TITLE = r"^(Save As|Open|Save File|Open File)$"


class LogonEnter(desktop.DesktopTest):
    def close_message_with_enter(self):
        d = self.desktop
        d.wait_active(MESSAGE_TITLE)
        d.key("Return")
        d.wait_active(LOGON_TITLE)

    def cancel_ends_the_program(self):
        """Tab from the password field to Cancel and press it: only the logon dialog, with no
        message box in front, ends the program this way, so the end proves none came back."""
        self.desktop.key("Tab", "Tab", "space")
        self.program.wait_end()

    def test_empty_fields_warn_once_per_enter(self):
        d = self.desktop
        self.program.start()
        d.wait_active(LOGON_TITLE)
        d.key("Tab")  # to the password field, user name left empty
        d.type("pw")
        d.key("Return")
        self.close_message_with_enter()  # "Please enter a Username before continuing."
        d.type("alice")
        d.key("Tab")
        d.key("ctrl+a", "BackSpace")
        for _ in range(5):
            d.key("Return")
            self.close_message_with_enter()  # "Please enter a Password before continuing."
        # Had the box come back, these keys would go to it and Confirm would never show.
        d.type("s3cret")
        d.key("Return")
        d.wait_active(CONFIRM_TITLE)
        d.type("s3cret")
        d.key("Tab", "Return")
        d.window(MAIN_TITLE)

    def test_the_warnings_stand_over_the_logon_dialog(self):
        d = self.desktop
        logon = self.program.start()
        d.wait_active(LOGON_TITLE)
        d.key("Return", "Tab", "Return")  # Enter in the user name does nothing; then no password
        box = d.wait_active(MESSAGE_TITLE)
        d.assert_centred_on(box, d.centre(logon))

    def test_a_mismatched_confirmation_does_not_reopen_confirm(self):
        d = self.desktop
        self.program.start()
        self.program.type_logon("alice", "s3cret")
        d.wait_active(CONFIRM_TITLE)
        d.type("other")
        d.key("Tab", "Return")
        self.close_message_with_enter()  # the mismatch warning
        self.cancel_ends_the_program()
        self.assertFalse(os.path.exists(os.path.join(self.program.folder, "Vorkel4.vfg")))

    def test_a_logon_error_is_shown_once(self):
        d = self.desktop
        self.program.start()
        main = self.program.first_run("alice", "s3cret")
        self.program.close_main(main)
        # A damaged data store under the right pair: the load fails with a message.
        with open(os.path.join(self.program.folder, "Vorkel4.xdb"), "r+b") as store:
            store.seek(40)
            store.write(b"\x00" * 64)
        self.program.start()
        self.program.type_logon("alice", "s3cret")
        # The damaged store offers a backup in its place: Enter takes the offer, Escape leaves
        # the file dialog, and the logon dialog stays with no message coming back.
        d.wait_active(MESSAGE_TITLE)
        d.key("Return")
        d.wait_active(FILE_DIALOG_TITLE)
        d.key("Escape")
        d.wait_active(LOGON_TITLE)
        self.cancel_ends_the_program()

    def test_a_damaged_store_is_replaced_by_a_backup_and_kept_aside(self):
        d = self.desktop
        self.program.start()
        main = self.program.first_run("alice", "s3cret")
        self.program.close_main(main)
        backup = os.path.join(self.tmp.name, "backup.xdb")
        self.program.cli("alice", "s3cret", "backup", backup)
        store = os.path.join(self.program.folder, "Vorkel4.xdb")
        with open(store, "r+b") as f:
            f.seek(40)
            f.write(b"\x00" * 64)
        with open(store, "rb") as f:
            damaged = f.read()
        self.program.start()
        self.program.type_logon("alice", "s3cret")
        d.wait_active(MESSAGE_TITLE)
        d.key("Return")  # Yes: restore from a backup
        d.wait_active(FILE_DIALOG_TITLE)
        d.key("ctrl+a")
        d.type(backup)
        d.key("Return")
        d.wait_active(MESSAGE_TITLE)  # which backup, and where the damaged file is kept
        d.key("Return")
        main = d.window(MAIN_TITLE)
        d.wait_active(MAIN_TITLE)
        kept = [n for n in os.listdir(self.program.folder) if n.startswith("Vorkel4-damaged-")]
        self.assertEqual(len(kept), 1, os.listdir(self.program.folder))
        with open(os.path.join(self.program.folder, kept[0]), "rb") as f:
            self.assertEqual(f.read(), damaged)
        self.program.close_main(main)
        self.assertEqual(len(self.program.cli("alice", "s3cret", "list").splitlines()), 4)


if __name__ == "__main__":
    desktop.main()
