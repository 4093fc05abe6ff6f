"""The lock where states meet the window manager: the idle timer's own minimise comes back
restored after the unlock, a dialog open at the lock goes with it, a lock whose files are gone
lets nobody else in, and New Data Store takes no commands until the new account exists."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import CONFIRM_TITLE, LOGON_TITLE, MAIN_TITLE, MESSAGE_TITLE, wait_until  # noqa: E402

DETAIL_TITLE = r"^Password Detail$"


class LockFaults(desktop.DesktopTest):
    def make_account(self, idle_minutes=None):
        args = [desktop.built("VORKEL_MAKE_ACCOUNT"), self.tmp.name, "alice", "s3cret"]
        if idle_minutes:
            args.append(str(idle_minutes))
        subprocess.run(args, check=True, timeout=60)

    def program_windows(self):
        """The program's visible top-level windows, by title."""
        out = self.desktop.run("xdotool", "search", "--onlyvisible", "--pid",
                               str(self.program.proc.pid), check=False)
        titles = []
        for wid in out.split():
            title = self.desktop.title(int(wid))
            if title:
                titles.append(title)
        return sorted(titles)

    def lock_by_hand(self, main):
        d = self.desktop
        d.run("xdotool", "windowminimize", str(main))
        wait_until(lambda: d.minimised(main), "the main window minimised")
        d.run("xdotool", "windowactivate", str(main))
        d.wait_active(LOGON_TITLE)

    def test_the_idle_timers_lock_unlocks_into_a_restored_active_window(self):
        d = self.desktop
        self.make_account(idle_minutes=1)
        self.program.start()
        main = self.program.logon()
        # The program minimises itself after the idle minute; no key is pressed meanwhile.
        wait_until(lambda: d.minimised(main), "the idle timer to minimise the window",
                   timeout=120, interval=0.5)
        d.run("xdotool", "windowactivate", str(main))
        d.wait_active(LOGON_TITLE)
        # logon() waits for the main window to be visible and active: a window that comes back
        # minimised again never is.
        main = self.program.logon()
        self.assertFalse(d.minimised(main), d.state(main))
        self.assertIn("Normal", d.state(main).split("WM_STATE(WM_STATE)")[-1])
        self.program.close_main(main)

    def test_a_dialog_open_at_the_lock_goes_with_it(self):
        d = self.desktop
        self.make_account()
        self.program.start()
        main = self.program.logon()
        self.program.menu(main, "View", 0)  # Password Details
        detail = d.window(DETAIL_TITLE)
        d.wait_active(DETAIL_TITLE)
        d.run("xdotool", "windowminimize", str(main))
        d.gone(DETAIL_TITLE)
        wait_until(lambda: d.minimised(main), "the main window minimised")
        d.run("xdotool", "windowactivate", str(main))
        d.wait_active(LOGON_TITLE)
        self.assertEqual(self.program_windows(), ["Vorkel Logon"])
        self.assertNotIn(detail, [int(w) for w in d.run(
            "xdotool", "search", "--onlyvisible", "--name", ".*", check=False).split()])
        main = self.program.logon()
        self.program.close_main(main)

    def test_a_lock_with_the_files_gone_lets_nobody_else_in(self):
        d = self.desktop
        self.make_account()
        self.program.start()
        main = self.program.logon()
        # The stick is pulled: both files go, and the lock's writes fail.
        folder = self.tmp.name
        os.remove(os.path.join(folder, "Vorkel4.vfg"))
        os.remove(os.path.join(folder, "Vorkel4.xdb"))
        os.mkdir(os.path.join(folder, "Vorkel4.xdb"))
        self.lock_by_hand(main)
        # A new pair is no new account here: no confirmation is asked, and the program ends.
        self.program.type_logon("eve", "x")
        d.wait_active(MESSAGE_TITLE)
        self.assertEqual(d.windows(CONFIRM_TITLE), [])
        d.key("Return")
        self.program.wait_end()

    def test_new_data_store_takes_no_commands_until_the_new_account_exists(self):
        d = self.desktop
        self.make_account()
        store = os.path.join(self.tmp.name, "Vorkel4.xdb")
        self.program.start()
        main = self.program.logon()
        self.program.menu(main, "File", 3)  # New Data Store...
        d.wait_active(MESSAGE_TITLE)
        d.key("Return")  # Yes
        d.wait_active(LOGON_TITLE)
        with open(store, "rb") as f:
            before = f.read()
        # Save All from the main window's menu reaches nothing while the logon is pending.
        d.activate(main)
        d.key("alt+f")
        d.key("Down", "Down", "Down", "Return")
        d.activate(d.window(LOGON_TITLE))
        with open(store, "rb") as f:
            self.assertEqual(f.read(), before)
        self.assertFalse(os.path.exists(os.path.join(self.tmp.name, "Vorkel4.vfg")))
        # The new account, then a close, gives files that open under the new pair only.
        main = self.program.first_run("dora", "n3w")
        self.program.close_main(main)
        self.assertEqual(len(self.program.cli("dora", "n3w", "list").splitlines()), 4)
        refused = subprocess.run([desktop.built("VORKEL_CLI"), "--folder", self.tmp.name,
                                  "--user", "alice", "--password-stdin", "list"],
                                 input="s3cret\n", capture_output=True, text=True, timeout=60)
        self.assertEqual(refused.returncode, 1)


if __name__ == "__main__":
    desktop.main()
