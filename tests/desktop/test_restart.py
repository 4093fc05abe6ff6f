"""First run and restarts: the account is made through the dialogs, and the main window comes
back at every start with the outer geometry it was closed with, to the pixel, title bar on
screen."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402


class Restart(desktop.DesktopTest):
    def test_first_run_makes_the_account_and_the_sample_entries(self):
        self.program.start()
        main = self.program.first_run("alice", "s3cret")
        self.program.close_main(main)
        self.assertTrue(os.path.exists(os.path.join(self.program.folder, "Vorkel4.vfg")))
        titles = self.program.cli("alice", "s3cret", "list").splitlines()
        self.assertGreater(len(titles), 0, "the first run seeds sample entries")

    def test_ten_restarts_keep_the_outer_geometry_to_the_pixel(self):
        self.program.start()
        main = self.program.first_run()
        first = self.desktop.frame_rect(main)
        self.assertGreaterEqual(first.top, 0, "the title bar starts on screen")
        self.program.close_main(main)
        seen = []
        for _ in range(10):
            self.program.start()
            main = self.program.logon()
            seen.append(self.desktop.frame_when(main, first))
            self.program.close_main(main)
        self.assertEqual(seen, [first] * 10)
        self.assertGreaterEqual(min(r.top for r in seen), 0, "the title bar stays on screen")

    def test_default_preset_gives_an_outer_820_by_600_that_survives_a_restart(self):
        self.program.start()
        main = self.program.first_run()
        self.desktop.activate(main)
        self.program.menu(main, "Window", 0)  # Default
        before = self.desktop.frame_rect(main)
        want = desktop.Rect(before.left, before.top, 820, 600)
        self.assertEqual(self.desktop.frame_when(main, want), want)
        self.program.close_main(main)
        self.program.start()
        main = self.program.logon()
        self.assertEqual(self.desktop.frame_when(main, want), want)
        self.assertGreaterEqual(want.top, 0)


if __name__ == "__main__":
    desktop.main()
