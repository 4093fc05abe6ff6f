"""Runs one Qt Test program on the xcb platform on a private Xvfb display under openbox, so
focus, keys, frames and window states are the window system's, not the offscreen platform's."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import desktop  # noqa: E402


def main():
    if len(sys.argv) < 2:
        print("usage: run_on_desktop.py TEST_PROGRAM [ARGS...]", file=sys.stderr)
        return 2
    screen = desktop.Desktop()
    try:
        env = dict(screen.env, QT_QPA_PLATFORM="xcb")
        return subprocess.run(sys.argv[1:], env=env, timeout=600).returncode
    finally:
        screen.close()


if __name__ == "__main__":
    sys.exit(main())
