"""A held key on the real keyboard is one edit, not one per repeat: the program asks the X
server to report a held key as repeated presses and a single release."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402
import test_editing  # noqa: E402  (not its classes by name: they would run here twice)


class HeldKey(test_editing.Editing):
    def test_a_held_key_is_one_edit(self):
        d = self.desktop
        before = self.before
        d.click(self.main, *test_editing.DESCRIPTION)
        d.key("End")  # one physical release: one edit
        # The stimulus is a key held down as a user holds it; the X server repeats it.
        d.key_down("x")
        time.sleep(1.5)
        d.key_up("x")
        self.program.close_main(self.main)
        after = self.program.entry("alice", "s3cret", 0)
        typed = after["Title"][len(before["Title"]):]
        self.assertGreater(len(typed), 10, "the server repeated the held key")
        self.assertEqual(set(typed), {"x"})
        # Two physical releases (End, x): two edits, however long the key was held.
        self.assertEqual(int(after["ModifyCount"]) - int(before["ModifyCount"]), 2)
        self.assertEqual(int(after["AccessCount"]) - int(before["AccessCount"]), 2)




if __name__ == "__main__":
    desktop.main()
