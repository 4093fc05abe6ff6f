"""The main window's command area on the real screen: both links visible, blue, beside the
toolbar's caption, at the first start's size and at the "Default" preset."""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402

BLUE = b"\x00\x00\xff"


def blue_runs(picture, width, top, bottom):
    """Runs of columns holding pure blue between rows top and bottom, as (first, last)."""
    columns = set()
    for y in range(top, bottom):
        row = picture[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            if row[x * 3:x * 3 + 3] == BLUE:
                columns.add(x)
    runs = []
    for x in sorted(columns):
        if runs and x - runs[-1][1] <= 8:  # the blanks between words
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return [tuple(r) for r in runs]


class Layout(desktop.DesktopTest):
    def links_shown(self, main):
        d = self.desktop
        client = d.client_rect(main)
        # Under the menu bar and the buttons, above the panes.
        runs = blue_runs(d.grab(main), client.width, 80, 120)
        self.assertEqual(len(runs), 2, f"two blue links in the command area, saw {runs}")
        site, friend = runs
        self.assertGreater(site[1] - site[0], 100, "the site's address, whole")
        self.assertGreater(friend[1] - friend[0], 50, "Tell a Friend, whole")
        self.assertLess(friend[1], client.width - 2)

    def test_links_at_the_first_start_size_and_at_default(self):
        self.program.start()
        main = self.program.first_run()
        self.links_shown(main)
        self.program.menu(main, "Window", 0)  # Default
        before = self.desktop.frame_rect(main)
        want = desktop.Rect(before.left, before.top, 820, 600)
        self.assertEqual(self.desktop.frame_when(main, want), want)
        self.links_shown(main)


if __name__ == "__main__":
    desktop.main()
