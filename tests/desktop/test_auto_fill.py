"""Auto Fill's first click: its message shows before the browser starts, so it cannot open
behind the browser's new window and leave the program looking frozen."""

import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
from desktop import MAIN_TITLE, MESSAGE_TITLE  # noqa: E402

AUTO_FILL = (675, 340)  # the editor's "Auto Fill" button at the first start's size


def children(pid):
    done = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True)
    return done.stdout.split()


@unittest.skipUnless(shutil.which("chromium"), "Auto Fill drives Chromium")
class AutoFill(desktop.DesktopTest):
    def test_the_first_click_tells_before_the_browser_starts(self):
        d = self.desktop
        self.program.start()
        main = self.program.first_run()
        d.click(main, *AUTO_FILL)
        box = d.wait_active(MESSAGE_TITLE)  # "Starting your web browser. ..."
        self.assertEqual(children(self.program.proc.pid), [], "no browser while it is told")
        d.key("Return")
        d.gone(MESSAGE_TITLE)
        desktop.wait_until(lambda: children(self.program.proc.pid), "the browser started",
                           timeout=30)
        self.assertNotIn(box, d.windows(MESSAGE_TITLE))
        # Closing the program closes the browser it started.
        browser = children(self.program.proc.pid)
        self.program.close_main(d.window(MAIN_TITLE))
        desktop.wait_until(lambda: not any(os.path.exists(f"/proc/{p}") for p in browser),
                           "the browser to end with the program", timeout=40)


if __name__ == "__main__":
    desktop.main()
