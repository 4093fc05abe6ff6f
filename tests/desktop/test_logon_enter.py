"""Enter through every message of the logon: the Enter that closes a message box must not be
taken, at its release, for an Enter in the password field (which would run the logon again and
bring the message straight back)."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE, MESSAGE_TITLE  # noqa: E402




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
        d.wait_active(LOGON_TITLE)
        d.type("alice")
        d.key("Tab")
        d.type("s3cret")
        d.key("Return")
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
        d.wait_active(LOGON_TITLE)
        d.type("alice")
        d.key("Tab")
        d.type("s3cret")
        d.key("Return")
        self.close_message_with_enter()
        self.cancel_ends_the_program()


if __name__ == "__main__":
    desktop.main()
