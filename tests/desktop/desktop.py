"""A private X desktop (Xvfb with openbox) and the real vorkel program on it, driven through
XTest (xdotool) and checked through the window system, the clipboard and vorkel-cli.

Every wait is a bounded poll on a condition: a deadline that fails the test, never a fixed sleep.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

TOOLS = ["Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xclip"]


def program_version():
    """The version the build wrote into the program (project(VERSION)), handed over by ctest."""
    version = os.environ.get("VORKEL_VERSION")
    if not version:
        raise RuntimeError("VORKEL_VERSION must give the program's version; run through ctest")
    return version


MAIN_TITLE = r"^Vorkel v" + re.escape(program_version()) + r"$"
LOGON_TITLE = r"^Vorkel Logon$"
CONFIRM_TITLE = r"^Confirm Password$"
MESSAGE_TITLE = r"^(Warning|Error|Information|Confirm|Vorkel 3)$"


def require_tools(extra=()):
    missing = [t for t in list(TOOLS) + list(extra) if shutil.which(t) is None]
    if missing:
        raise RuntimeError("desktop tests need these programs on PATH: " + ", ".join(missing) +
                           " (Debian: xvfb openbox xdotool x11-utils xclip imagemagick)")


def built(name):
    """A path the build handed over through the environment; fails loudly without it."""
    path = os.environ.get(name)
    if not path or not os.path.exists(path):
        raise RuntimeError(f"{name} must name a built file (got {path!r}); run through ctest")
    return path


def wait_until(condition, what, timeout=40.0, interval=0.05):
    """Polls `condition` until it returns a true value, which is returned; fails at the deadline."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = condition()
        except subprocess.CalledProcessError:
            last = None
        if last:
            return last
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what} "
                                 f"(last seen: {last!r})")
        time.sleep(interval)


class Rect:
    def __init__(self, left, top, width, height):
        self.left, self.top, self.width, self.height = left, top, width, height

    def __eq__(self, other):
        return (self.left, self.top, self.width, self.height) == (
            other.left, other.top, other.width, other.height)

    def __repr__(self):
        return f"Rect({self.left}, {self.top}, {self.width}x{self.height})"


class Desktop:
    """Xvfb on a free display number, with openbox managing its windows."""

    def __init__(self, width=1600, height=1000):
        require_tools()
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                self.xvfb.kill()
                raise RuntimeError("Xvfb did not report its display number")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.runtime = tempfile.TemporaryDirectory(prefix="vorkel-xdg-")
        os.chmod(self.runtime.name, 0o700)
        self.env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime.name)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"):
            self.env.pop(name, None)
        self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: "window id" in self.run("xprop", "-root",
                                                   "_NET_SUPPORTING_WM_CHECK"),
                   "openbox to manage the screen")

    def close(self):
        for proc in (self.openbox, self.xvfb):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self.runtime.cleanup()

    def run(self, *args, check=True, input=None):
        done = subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                              input=input, timeout=30)
        if check and done.returncode != 0:
            raise subprocess.CalledProcessError(done.returncode, args, done.stdout, done.stderr)
        return done.stdout

    # Windows -------------------------------------------------------------------------------
    def windows(self, title):
        """Visible windows whose title matches the regular expression."""
        out = self.run("xdotool", "search", "--onlyvisible", "--name", title, check=False)
        return [int(w) for w in out.split()]

    def window(self, title, timeout=40.0):
        """Waits for exactly one visible window of that title and returns its id."""
        return wait_until(lambda: (lambda ws: ws[0] if len(ws) == 1 else None)(
            self.windows(title)), f"one visible window titled {title}", timeout)

    def gone(self, title, timeout=40.0):
        wait_until(lambda: not self.windows(title), f"no visible window titled {title}", timeout)

    def active(self):
        out = self.run("xdotool", "getactivewindow", check=False).strip()
        return int(out) if out else None

    def title(self, wid):
        return self.run("xdotool", "getwindowname", str(wid)).strip()

    def active_title(self):
        wid = self.active()
        return self.title(wid) if wid else None

    def wait_active(self, title, timeout=40.0):
        pattern = re.compile(title)
        return wait_until(lambda: (lambda w: w if w and pattern.search(self.title(w)) else None)(
            self.active()), f"the active window to be titled {title}", timeout)

    def frame_extents(self, wid):
        out = self.run("xprop", "-id", str(wid), "_NET_FRAME_EXTENTS")
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
        return tuple(int(v) for v in m.groups()) if m else None

    def client_rect(self, wid):
        out = self.run("xwininfo", "-id", str(wid))
        get = lambda label: int(re.search(label + r":\s*(-?\d+)", out).group(1))
        return Rect(get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"),
                    get("Height"))

    def frame_rect(self, wid):
        """The outer rectangle: the client area plus the window manager's frame."""
        left, right, top, bottom = wait_until(lambda: self.frame_extents(wid),
                                              "the window manager's frame")
        c = self.client_rect(wid)
        return Rect(c.left - left, c.top - top, c.width + left + right, c.height + top + bottom)

    def centre(self, wid):
        r = self.frame_rect(wid)
        return (r.left + r.width // 2, r.top + r.height // 2)

    def assert_centred_on(self, wid, centre, slack=25, timeout=10.0):
        """The window's frame is centred on the point, to within `slack` pixels: Qt centres a
        dialog on its parent's client area and guesses its own frame, a title bar's height. The
        window manager may still be placing a window just shown, so this waits for it."""
        def near():
            x, y = self.centre(wid)
            return abs(x - centre[0]) <= slack and abs(y - centre[1]) <= slack

        try:
            wait_until(near, f"{self.title(wid)!r} centred on {centre}", timeout)
        except AssertionError:
            raise AssertionError(f"{self.title(wid)!r} is centred on {self.centre(wid)}, "
                                 f"not on {centre}") from None

    def move_window(self, wid, left, top):
        """Moves a window as a user would drag it, and waits until it stands there."""
        self.run("xdotool", "windowmove", "--sync", str(wid), str(left), str(top))
        wait_until(lambda: (lambda c: abs(c.left - left) < 30 and abs(c.top - top) < 40)(
            self.client_rect(wid)), "the window moved")

    def frame_when(self, wid, want, timeout=10.0):
        """The outer rectangle once it equals `want`, or as it stands at the deadline."""
        try:
            return wait_until(lambda: (lambda r: r if r == want else None)(self.frame_rect(wid)),
                              f"the frame {want}", timeout)
        except AssertionError:
            return self.frame_rect(wid)

    def state(self, wid):
        """The _NET_WM_STATE atoms and the ICCCM initial state, as one text."""
        return self.run("xprop", "-id", str(wid), "_NET_WM_STATE", "WM_HINTS", "WM_STATE")

    def minimised(self, wid):
        out = self.run("xprop", "-id", str(wid), "_NET_WM_STATE", "WM_STATE", check=False)
        return "_NET_WM_STATE_HIDDEN" in out or "Iconic" in out.split("WM_STATE(WM_STATE)")[-1]

    def activate(self, wid):
        self.run("xdotool", "windowactivate", "--sync", str(wid))

    # Input ---------------------------------------------------------------------------------
    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "40", *keys)

    def key_down(self, key):
        self.run("xdotool", "keydown", key)

    def key_up(self, key):
        self.run("xdotool", "keyup", key)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "25", "--", text)

    def click(self, wid, x, y, button=1):
        """Clicks at a point of the window's client area."""
        self.run("xdotool", "mousemove", "--window", str(wid), str(x), str(y), "click",
                 str(button))

    def clipboard(self):
        done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                              capture_output=True, text=True, timeout=10)
        return done.stdout if done.returncode == 0 else None

    def set_clipboard(self, text):
        # xclip forks a child that serves the selection until another owner takes it.
        proc = subprocess.Popen(["xclip", "-selection", "clipboard", "-i"], env=self.env,
                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, text=True)
        proc.communicate(text, timeout=10)
        wait_until(lambda: self.clipboard() == text, "the clipboard to hold the text")

    def screenshot(self, wid, path):
        """The window with its frame, as a PNG (imagemagick's import)."""
        require_tools(["import"])
        r = self.frame_rect(wid)
        self.run("import", "-window", "root", "-crop",
                 f"{r.width}x{r.height}+{max(r.left, 0)}+{max(r.top, 0)}", "+repage", path)

    def grab(self, wid):
        """The window's client area as raw RGB bytes, for comparing two moments."""
        require_tools(["import"])
        c = self.client_rect(wid)
        done = subprocess.run(["import", "-window", "root", "-crop",
                               f"{c.width}x{c.height}+{c.left}+{c.top}", "+repage", "-depth", "8", "rgb:-"],
                              env=self.env, capture_output=True, timeout=30, check=True)
        return done.stdout

    def pixel(self, x, y):
        """The colour of one screen pixel as (r, g, b)."""
        require_tools(["import"])
        out = self.run("import", "-window", "root", "-crop", f"1x1+{x}+{y}", "txt:-")
        m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
        return tuple(int(v) for v in m.groups())


class Program:
    """The built vorkel binary copied, with its help page, into a folder of its own."""

    def __init__(self, desktop, folder, copy=True):
        self.desktop = desktop
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.binary = os.path.join(folder, "vorkel")
        if copy and not os.path.exists(self.binary):
            shutil.copy2(built("VORKEL_BINARY"), self.binary)
            shutil.copy2(built("VORKEL_HTML"), os.path.join(folder, "Vorkel.html"))
        self.proc = None
        self.log = None

    def start(self):
        assert self.proc is None or self.proc.poll() is not None, "vorkel is already running"
        if self.log:
            self.log.close()
        env = dict(self.desktop.env, QT_QPA_PLATFORM="xcb")
        self.log = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([self.binary], cwd=self.folder, env=env, stdout=self.log,
                                     stderr=subprocess.STDOUT)
        return self.desktop.window(LOGON_TITLE)

    def output(self):
        if not self.log:
            return ""
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def wait_end(self, timeout=40.0):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("vorkel did not end; its output:\n" + self.output())

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.log:
            self.log.close()
            self.log = None

    def cli(self, user, password, *args, check=True):
        done = subprocess.run([built("VORKEL_CLI"), "--folder", self.folder, "--user", user,
                               "--password-stdin", *args], input=password + "\n",
                              capture_output=True, text=True, timeout=60)
        if check and done.returncode != 0:
            raise AssertionError(f"vorkel-cli {' '.join(args)} failed: {done.stderr}")
        return done.stdout

    def entry(self, user, password, position):
        """Every field of the entry at a data-store position, as vorkel-cli shows it."""
        fields = {}
        for line in self.cli(user, password, "show", str(position)).splitlines():
            name, _, value = line.partition(": ")
            fields[name] = value
        return fields

    # Journeys shared by the scenarios ----------------------------------------------------
    def type_logon(self, user="alice", password="s3cret"):
        """Types the pair into the active logon dialog and presses Enter in the password field."""
        d = self.desktop
        d.wait_active(LOGON_TITLE)
        d.type(user)
        d.key("Tab")
        d.type(password)
        d.key("Return")

    def first_run(self, user="alice", password="s3cret"):
        """Creates the account through the logon and confirm dialogs; returns the main window."""
        d = self.desktop
        self.type_logon(user, password)
        d.wait_active(CONFIRM_TITLE)
        d.type(password)
        d.key("Tab", "Return")  # Enter does nothing in the confirm dialog; OK is next
        main = d.window(MAIN_TITLE)
        d.wait_active(MAIN_TITLE)
        return main

    def logon(self, user="alice", password="s3cret"):
        d = self.desktop
        self.type_logon(user, password)
        main = d.window(MAIN_TITLE)
        d.wait_active(MAIN_TITLE)
        return main

    # Where the menu bar's titles stand in the main window's client area (DejaVu Sans, the
    # font Debian substitutes for Tahoma).
    MENU_X = {"File": 20, "Edit": 55, "View": 94, "Tools": 136, "Window": 186, "Help": 235}

    def menu(self, main, title, index):
        """Runs the index-th command (separators not counted) of a main-window menu."""
        d = self.desktop
        d.activate(main)
        d.click(main, self.MENU_X[title], 8)
        d.key(*(["Down"] * (index + 1)), "Return")

    def close_main(self, main):
        """Closes the main window as the title bar's close box does (openbox's Alt+F4)."""
        self.desktop.activate(main)
        self.desktop.key("alt+F4")
        self.wait_end()


class DesktopTest(unittest.TestCase):
    """One desktop and one program folder per test."""

    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        # A browser a failed test left running may still write into its profile here.
        self.tmp = tempfile.TemporaryDirectory(prefix="vorkel-desktop-",
                                               ignore_cleanup_errors=True)
        self.addCleanup(self.tmp.cleanup)
        self.program = Program(self.desktop, self.tmp.name)
        self.addCleanup(self.program.kill)


def main():
    unittest.main(verbosity=2)
