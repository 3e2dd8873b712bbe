#!/usr/bin/env python3
"""The real orvane-editor, driven as a user drives it.

Every scenario starts an X server of its own (Xvfb on a free display), starts the program
with a fresh HOME, XDG folders and working folder, and works it with xdotool: keys, mouse
clicks, and the close request a window manager sends when the title bar's close button is
pressed. It checks what a user could see (window titles, the address through the
clipboard, the Link menu's check marks on the screen) and what reaches the disk (the
bytes of the saved files, recent.dat, the settings file). A screenshot of each scenario
is kept in the shots folder; a failing scenario leaves one more, named after the failure.

Standard library only. Needs Xvfb, xdotool, xprop, xwininfo, xclip and ImageMagick's import
on the PATH.

    orvane_e2e.py --binary build/src/app/orvane-editor --work DIR --shots DIR [SCENARIO...]
"""

import argparse
import ctypes
import os
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import time
import traceback
from pathlib import Path

TOOLS = ("Xvfb", "xdotool", "xprop", "xwininfo", "xclip", "import")
SETTINGS_FILE = Path(".config/Tessaly/Orvane Editor.conf")
RECENT_FILE = Path(".local/share/Tessaly/Orvane Editor/recent.dat")
PRODUCT_KEY = "SOFTWARE/Tessaly/Orvane Editor"
OPTION_KEY = PRODUCT_KEY + "/Option"
SPLASH_DELAY = 3.0  # seconds the splash stays up before the editor shows


class Failure(Exception):
    """A check that did not hold, or a wait that ran out."""


class Stopped(Failure):
    """The scenario's hard time limit, or a signal from the test runner."""


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- processes -------------------------------------------------------------------------

_libc = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG = 1


def _end_with_driver():
    # Xvfb and the program must not outlive a driver that is killed outright.
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def stop_process(proc, grace=5.0):
    """Ends one process started by this driver, by its id, and reaps it."""
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout=grace)


class XServer:
    """Xvfb on the first free display number, which it reports through -displayfd.

    Key repeat starts only after 30 s: on a busy machine xdotool may be held up between a
    key's press and its release, and a repeat would type the character twice.
    """

    def __init__(self, log_path, timeout):
        read_end, write_end = os.pipe()
        self.log = open(log_path, "wb")
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset", "-ardelay", "30000"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=self.log,
            stderr=subprocess.STDOUT, preexec_fn=_end_with_driver)
        os.close(write_end)
        reported = b""
        deadline = time.monotonic() + timeout
        try:
            while not reported.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(left, 0))
                if not ready:
                    raise Failure(f"Xvfb reported no display within {timeout:.0f} s "
                                  f"(see {log_path})")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise Failure(f"Xvfb ended before it reported a display (see {log_path})")
                reported += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.number = int(reported)
        self.display = f":{self.number}"

    def stop(self):
        stop_process(self.proc)
        self.log.close()


class CloseRequester:
    """Sends WM_DELETE_WINDOW, as a window manager does for the title bar's close button.

    There is no window manager under Xvfb and xdotool 3.2016's windowclose destroys the
    window instead of asking it, so this speaks the few X11 requests it needs itself.
    """

    def __init__(self, display_number):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(10)
        self.sock.connect(f"/tmp/.X11-unix/X{display_number}")
        # Connection setup: little-endian, protocol 11.0, no authorisation.
        self.sock.sendall(struct.pack("<BxHHHHxx", ord("l"), 11, 0, 0, 0))
        head = self._receive(8)
        body = self._receive(struct.unpack("<H", head[6:8])[0] * 4)
        if head[0] != 1:
            reason = body[: head[1]].decode("latin-1")
            raise Failure(f"the X server refused the connection: {reason}")
        self.protocols = self._atom(b"WM_PROTOCOLS")
        self.delete_window = self._atom(b"WM_DELETE_WINDOW")

    def _receive(self, size):
        data = b""
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise Failure("the X server closed the connection")
            data += chunk
        return data

    def _reply(self):
        reply = self._receive(32)
        if reply[0] == 0:
            raise Failure(f"X error {reply[1]} on request {reply[10]}")
        if reply[0] == 1:
            self._receive(struct.unpack("<I", reply[4:8])[0] * 4)
        return reply

    def _atom(self, name):
        pad = -len(name) % 4
        self.sock.sendall(struct.pack("<BBHHxx", 16, 0, 2 + (len(name) + pad) // 4, len(name))
                          + name + b"\0" * pad)
        return struct.unpack("<I", self._reply()[8:12])[0]

    def close(self, window):
        event = struct.pack("<BBHII5I", 33, 32, 0, window, self.protocols, self.delete_window,
                            0, 0, 0, 0)
        self.sock.sendall(struct.pack("<BBHII", 25, 0, 11, window, 0) + event)
        # GetInputFocus as a round trip: an error about the window would come before it.
        self.sock.sendall(struct.pack("<BxH", 43, 1))
        self._reply()

    def disconnect(self):
        self.sock.close()


# --- screen contents -------------------------------------------------------------------

class Image:
    """An RGB picture read from ImageMagick's PPM output."""

    def __init__(self, data):
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        check(fields[0] == b"P6", "import did not give a PPM picture")
        self.width, self.height, maxval = (int(f) for f in fields[1:])
        pixels = data[pos + 1:]
        self.pixels = pixels[0::2] if maxval > 255 else pixels

    def rgb(self, x, y):
        i = (y * self.width + x) * 3
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]

    def lum(self, x, y):
        r, g, b = self.rgb(x, y)
        return (299 * r + 587 * g + 114 * b) // 1000


def row_runs(rows, min_height=1):
    """(first, last) of each run of consecutive true rows at least min_height tall."""
    runs, start = [], None
    for y, on in enumerate(rows + [False]):
        if on and start is None:
            start = y
        elif not on and start is not None:
            if y - start >= min_height:
                runs.append((start, y - 1))
            start = None
    return runs


def menu_check_marks(image):
    """The checked states of a popup menu's check boxes, top to bottom.

    The boxes sit in the menu's left margin; a checked one holds a dark tick, an unchecked
    one only its light frame. The keyboard highlight (blue) and the separators are skipped.
    """
    margin = range(2, min(25, image.width))
    framed, ink = [], []
    for y in range(image.height):
        frame_pixels = dark_pixels = 0
        for x in margin:
            r, g, b = image.rgb(x, y)
            if b - r > 60:
                continue
            lum = image.lum(x, y)
            frame_pixels += lum < 235
            dark_pixels += lum < 100
        framed.append(frame_pixels >= 2)
        ink.append(dark_pixels)
    return [sum(ink[a:b + 1]) >= 5 for a, b in row_runs(framed, min_height=8)]


def tip_text_point(image):
    """A point on the first line of the tip, in the tip window's white panel.

    The panel's first line of text (beside the icon) is the heading "Did you know...";
    the tip follows below it.
    """
    white_rows = [sum(min(image.rgb(x, y)) >= 250 for x in range(image.width))
                  >= 0.3 * image.width for y in range(image.height)]
    panels = row_runs(white_rows, min_height=40)
    check(panels, "the tip window shows no white panel")
    top, bottom = panels[0]
    # The panel's last rows hold no text: they give its left and right edges.
    whites = [x for x in range(image.width) if min(image.rgb(x, bottom - 2)) >= 250]
    left, right = whites[0], whites[-1]
    # Right of the icon: the text column.
    columns = range(left + (right - left) * 3 // 10, right - 2)
    inked = []
    for y in range(image.height):
        inked.append(top <= y <= bottom and any(
            image.lum(x, y) < 110 and max(image.rgb(x, y)) - min(image.rgb(x, y)) < 40
            for x in columns))
    lines = row_runs(inked, min_height=4)
    check(len(lines) >= 2, f"the tip window's panel shows {len(lines)} line(s) of text, "
                           "expected the heading and a tip")
    first, last = lines[1]
    return columns.start, (first + last) // 2


# --- settings and files ----------------------------------------------------------------

def unescape_ini(text):
    """Undoes QSettings' escaping of keys and section names (%XX, %UXXXX)."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "%" and text[i + 1:i + 2] == "U":
            out.append(chr(int(text[i + 2:i + 6], 16)))
            i += 6
        elif text[i] == "%":
            out.append(chr(int(text[i + 1:i + 3], 16)))
            i += 3
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def read_settings(path):
    """The settings file's values by full key path ("SOFTWARE/Tessaly/.../Version")."""
    values, section = {}, ""
    for line in path.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            section = unescape_ini(line[1:-1])
            continue
        key, _, value = line.partition("=")
        key = unescape_ini(key.strip().replace("\\", "/"))
        value = value.strip()
        if len(value) >= 2 and value[0] == value[-1] == '"':
            value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
        values[key if section in ("", "General") else f"{section}/{key}"] = value
    return values


def expect_bytes(path, expected, what):
    check(path.is_file(), f"{what}: {path} was not written")
    actual = path.read_bytes()
    check(actual == expected, f"{what}: {path} holds {actual!r}, expected {expected!r}")


def text_lines(data):
    """Lines ending at CR LF or CR, as the program reads its text files."""
    return data.replace(b"\r\n", b"\r").split(b"\r")[:-1] if data else []


# --- a scenario's world ------------------------------------------------------------------

class Window:
    def __init__(self, wid, title, types, transient_for, override):
        self.id, self.title, self.types, self.transient_for = wid, title, types, transient_for
        # Popup menus bypass the window manager; their window type is not reliable (Qt sets
        # it on the first showing only).
        self.override = override

    def is_(self, kind):
        return f"_NET_WM_WINDOW_TYPE_{kind}" in self.types

    def __repr__(self):
        kinds = "/".join(t.replace("_NET_WM_WINDOW_TYPE_", "").lower() for t in self.types)
        return f"{self.title!r} ({kinds or 'no type'}{', override' if self.override else ''})"


def parse_xprop_string(text):
    if not (text.startswith('"') and text.endswith('"')):
        return text
    out, i, body = [], 0, text[1:-1]
    while i < len(body):
        if body[i] == "\\" and i + 1 < len(body):
            i += 1
        out.append(body[i])
        i += 1
    return "".join(out)


class World:
    """One scenario's folders, X server and program."""

    def __init__(self, name, options):
        self.name, self.options = name, options
        self.slow = options.slow
        self.root = options.work / name
        shutil.rmtree(self.root, ignore_errors=True)
        self.home = self.root / "home"
        self.files = self.root / "files"  # the working folder, where the links go
        for folder in (self.home / ".config", self.home / ".local/share", self.home / ".cache",
                       self.files):
            folder.mkdir(parents=True)
        self.runtime = self.home / "run"
        self.runtime.mkdir(mode=0o700)
        # Pictures of an earlier run would pass for this run's.
        for old in [*options.shots.glob(f"{name}.png"), *options.shots.glob(f"{name}-*.png")]:
            old.unlink()
        self.x = None
        self.program = None
        self.program_log = None
        self.starts = 0
        self.closer = None
        self.shots = []

    # processes

    def start_x(self):
        self.x = XServer(self.root / "xvfb.log", 20 * self.slow)
        self.tool_env = dict(os.environ, DISPLAY=self.x.display)
        self.tool_env.pop("XAUTHORITY", None)
        self.closer = CloseRequester(self.x.number)

    def start_program(self):
        check(self.program is None or self.program.poll() is not None,
              "the program is already running")
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.x.display,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.home / ".config"),
            "XDG_DATA_HOME": str(self.home / ".local/share"),
            "XDG_CACHE_HOME": str(self.home / ".cache"),
            "XDG_RUNTIME_DIR": str(self.runtime),
        }
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        self.starts += 1
        if self.program_log:
            self.program_log.close()
        self.program_log = open(self.root / f"program-{self.starts}.log", "wb")
        self.started_at = time.monotonic()
        self.program = subprocess.Popen(
            [str(self.options.binary)], cwd=self.files, env=env, stdin=subprocess.DEVNULL,
            stdout=self.program_log, stderr=subprocess.STDOUT, preexec_fn=_end_with_driver)

    def wait_program_end(self, what, timeout=15):
        try:
            code = self.program.wait(timeout=timeout * self.slow)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program was still running {timeout * self.slow:.0f} s after "
                          f"{what}") from None
        check(code == 0, f"the program ended with exit code {code} after {what} "
                         f"(see {self.program_log.name})")

    def running(self):
        return self.program is not None and self.program.poll() is None

    def stop(self):
        if self.closer:
            self.closer.disconnect()
        stop_process(self.program)
        if self.program_log:
            self.program_log.close()
        if self.x:
            self.x.stop()

    # tools

    def run(self, *command, timeout=10, check_code=True):
        done = subprocess.run(command, env=self.tool_env, capture_output=True,
                              timeout=timeout * self.slow)
        if check_code and done.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {done.stderr.decode(errors='replace')}")
        return done

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "30", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "15", text)

    def wait(self, what, probe, timeout=10):
        """Polls probe until it gives a true value; fails after timeout (times --slow)."""
        deadline = time.monotonic() + timeout * self.slow
        while True:
            value = probe()
            if value:
                return value
            if not self.running():
                raise Failure(f"the program ended (exit code {self.program.returncode}) "
                              f"while waiting for {what}")
            if time.monotonic() > deadline:
                raise Failure(f"timed out after {timeout * self.slow:.0f} s waiting for {what}; "
                              f"windows on screen: {self.windows()}")
            time.sleep(0.05)

    # windows

    def windows(self):
        """The program's windows that are on the screen."""
        if not self.running():
            return []
        found = self.run("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid),
                         check_code=False)
        result = []
        for wid in found.stdout.split():
            props = self.run("xprop", "-id", wid.decode(), "-notype", "_NET_WM_NAME",
                             "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR", check_code=False)
            if props.returncode != 0:
                continue  # gone meanwhile
            title, types, transient = "", [], None
            for line in props.stdout.decode(errors="replace").splitlines():
                name, _, value = line.partition(" = ")
                if name == "_NET_WM_NAME":
                    title = parse_xprop_string(value.strip())
                elif name == "_NET_WM_WINDOW_TYPE":
                    types = [t.strip() for t in value.split(",")]
                elif line.startswith("WM_TRANSIENT_FOR") and "#" in line:
                    transient = int(line.rsplit("#", 1)[1].strip(), 16)
            info = self.run("xwininfo", "-id", wid.decode(), check_code=False)
            override = b"Override Redirect State: yes" in info.stdout
            result.append(Window(int(wid), title, types, transient, override))
        return result

    def window(self, what, match, timeout=10):
        def probe():
            hits = [w for w in self.windows() if match(w)]
            return hits[0] if len(hits) == 1 else None
        return self.wait(what, probe, timeout)

    def gone(self, what, window, timeout=10):
        self.wait(what, lambda: all(w.id != window.id for w in self.windows()), timeout)

    def editor(self, title="Orvane Editor", timeout=10):
        return self.window(f'the editor window titled "{title}"',
                           lambda w: w.types == ["_NET_WM_WINDOW_TYPE_NORMAL"]
                           and not w.override and w.title == title, timeout)

    def dialog(self, title, timeout=10):
        return self.window(f'a dialog titled "{title}"',
                           lambda w: w.is_("DIALOG") and w.title == title, timeout)

    def popup_menu(self):
        return self.window("a popup menu", lambda w: w.override and not w.is_("SPLASH"))

    def focus(self, window):
        def focused():
            self.run("xdotool", "windowfocus", str(window.id))
            now = self.run("xdotool", "getwindowfocus", check_code=False)
            return now.returncode == 0 and now.stdout.strip() == str(window.id).encode()
        self.wait(f"the keyboard focus on {window}", focused)

    def close(self, window):
        """The title bar's close button."""
        self.closer.close(window.id)

    def startup(self, timeout=20):
        """Starts the program and waits through the splash for the editor."""
        self.start_program()
        self.window("the splash screen", lambda w: w.is_("SPLASH"), timeout)
        return self.editor(timeout=timeout + SPLASH_DELAY)

    # what the user sees

    def shot(self, label=""):
        name = f"{self.name}-{label}.png" if label else f"{self.name}.png"
        path = self.options.shots / name
        self.run("import", "-window", "root", str(path), timeout=20)
        self.shots.append(path)
        return path

    def image(self, window):
        return Image(self.run("import", "-window", str(window.id), "ppm:-", timeout=20).stdout)

    def selection(self, which):
        done = self.run("xclip", "-o", "-selection", which, check_code=False)
        return done.stdout.decode("utf-8", errors="replace") if done.returncode == 0 else None

    def expect_selection(self, which, expected, what):
        seen = []

        matches = expected if callable(expected) else (lambda text: text == expected)

        def probe():
            seen[:] = [self.selection(which)]
            return seen[0] is not None and matches(seen[0])
        try:
            self.wait(what, probe, timeout=5)
        except Failure:
            raise Failure(f"{what}: the {which} selection holds {seen[0]!r}") from None
        return seen[0]

    def address(self, window, expected, what):
        """Reads the address box the way a user copies it: Ctrl+A, Ctrl+C."""
        self.focus(window)
        self.key("ctrl+a", "ctrl+c")
        return self.expect_selection("clipboard", expected, what)

    def link_menu_checks(self, editor):
        """Opens the Link menu and reads its check marks off the screen."""
        self.focus(editor)
        self.key("alt+l")
        menu = self.popup_menu()
        # Poll until the menu is painted with its five kind items.
        def painted():
            marks = menu_check_marks(self.image(menu))
            return marks if len(marks) == 5 else None
        return menu, self.wait("the Link menu's five check boxes on the screen", painted)

    def file_dialog(self, title, path):
        """Types a path into the file dialog and accepts it with Enter."""
        box = self.dialog(title)
        self.focus(box)
        self.type(str(path))
        self.key("Return")
        self.gone(f'the "{title}" dialog closing', box)

    # files of the profile

    def settings(self):
        path = self.home / SETTINGS_FILE
        check(path.is_file(), f"the settings file {path} does not exist")
        return read_settings(path)

    def recent(self):
        return self.home / RECENT_FILE


# --- scenarios -------------------------------------------------------------------------

LINK_KINDS = ["FTP", "Gopther", "Telnet", "Web", "Web ( SSL )"]


def checked_kinds(marks):
    return [kind for kind, on in zip(LINK_KINDS, marks) if on]


def first_start(world):
    """First start: the splash, then the editor with "http://"; the settings are seeded."""
    world.start_program()
    splash = world.window("the splash screen", lambda w: w.is_("SPLASH"), timeout=20)
    early = [w for w in world.windows() if w.title.startswith("Orvane Editor") and not w.override
             and w.types == ["_NET_WM_WINDOW_TYPE_NORMAL"]]
    check(not early, f"the editor is on the screen while the splash shows: {early}")
    world.shot("splash")
    editor = world.editor(timeout=20)
    # The splash stays up its full time, however fast the program started.
    waited = time.monotonic() - world.started_at
    check(waited >= SPLASH_DELAY, f"the editor showed {waited:.1f} s after the start, "
                                  f"before the splash's {SPLASH_DELAY:.0f} s were up")
    world.gone("the splash closing", splash)
    world.address(editor, "http://", "the new link's address")
    world.shot()

    values = world.settings()
    check(values.get(f"{PRODUCT_KEY}/Version") == "1.0.0",
          f'"Version" is {values.get(PRODUCT_KEY + "/Version")!r}, expected "1.0.0"')
    check(values.get(f"{OPTION_KEY}/Default Link") == "HTTP",
          f'"Default Link" is {values.get(OPTION_KEY + "/Default Link")!r}, expected "HTTP"')

    # Nothing changed, so closing asks nothing and ends the program.
    world.close(editor)
    world.wait_program_end("closing the unchanged editor")


def save_typed_address(world):
    """Type an address, Ctrl+S, a path in the save dialog, Enter: exact bytes, recent.dat."""
    editor = world.startup()
    world.focus(editor)
    world.key("ctrl+a")
    world.type("http://www.example.com/e2e/page.html?q=1&r=2")
    target = world.files / "my links" / "first link.url"
    target.parent.mkdir()
    world.key("ctrl+s")
    world.file_dialog("Save As", target)
    world.editor(f"Orvane Editor - {target}")
    world.shot()

    expect_bytes(target, b"[InternetShortcut]\r\nURL=http://www.example.com/e2e/page.html"
                         b"?q=1&r=2\r\n", "the saved shortcut")
    expect_bytes(world.recent(), str(target).encode() + b"\r\n", "recent.dat")

    # Saved, so closing asks nothing.
    world.close(world.editor(f"Orvane Editor - {target}"))
    world.wait_program_end("closing the saved editor")


BROWSER_SHORTCUT = (b"[{000214A0-0000-0000-C000-000000000046}]\r\n"
                    b"Prop3=19,11\r\n"
                    b"[InternetShortcut]\r\n"
                    b"IDList=\r\n"
                    b"URL=ftp://ftp.example.org/pub/readme.txt\r\n"
                    b"IconIndex=0\r\n"
                    b"HotKey=0\r\n")


def open_browser_shortcut(world):
    """File > Open of a browser's shortcut: the address shows and "FTP Link" is checked."""
    shortcut = world.files / "browser.url"
    shortcut.write_bytes(BROWSER_SHORTCUT)
    editor = world.startup()

    # The same reading of the screen before the open: a new link is a Web link.
    _, marks = world.link_menu_checks(editor)
    check(checked_kinds(marks) == ["Web"],
          f"a new link's Link menu checks {checked_kinds(marks)}, expected ['Web']")
    world.key("Escape")

    world.focus(editor)
    world.key("alt+f", "o")
    world.file_dialog("Open", shortcut)
    editor = world.editor(f"Orvane Editor - {shortcut}")
    world.address(editor, "ftp://ftp.example.org/pub/readme.txt", "the opened address")

    menu, marks = world.link_menu_checks(editor)
    world.shot()
    check(checked_kinds(marks) == ["FTP"],
          f"after the open the Link menu checks {checked_kinds(marks)}, expected ['FTP']")
    world.key("Escape")
    world.gone("the Link menu closing", menu)

    # Opening is not a change: closing asks nothing, and the shortcut is untouched.
    world.close(editor)
    world.wait_program_end("closing the editor after the open")
    expect_bytes(shortcut, BROWSER_SHORTCUT, "the opened shortcut")


def ftp_link_switch(world):
    """Link > "&FTP Link" rewrites the address's scheme; the saved file proves it."""
    editor = world.startup()
    world.focus(editor)
    world.key("ctrl+a")
    world.type("https://files.example.com/pub/tool.zip")
    world.key("alt+l", "f")
    world.address(editor, "ftp://files.example.com/pub/tool.zip", "the switched address")
    target = world.files / "tool.url"
    world.key("ctrl+s")
    world.file_dialog("Save As", target)
    world.editor(f"Orvane Editor - {target}")
    world.shot()
    expect_bytes(target, b"[InternetShortcut]\r\nURL=ftp://files.example.com/pub/tool.zip\r\n",
                 "the saved shortcut")
    world.close(world.editor(f"Orvane Editor - {target}"))
    world.wait_program_end("closing the saved editor")


def play_list(world):
    """The play-list editor: three addresses added, saved as one .ram file, bytes exact."""
    editor = world.startup()
    world.focus(editor)
    world.key("ctrl+l")
    playlist = world.editor("RealMedia Link Editor")
    world.focus(playlist)
    entries = ["rtsp://media.example.com/one.rm", "pnm://media.example.com/two.ra",
               "http://media.example.com/three.rm"]
    for entry in entries:
        # The address box, then Tab to Add and Space: a key press runs the button at once.
        world.key("ctrl+a")
        world.type(entry)
        world.key("Tab", "space", "shift+Tab")
    world.shot()
    target = world.files / "list.ram"
    world.key("ctrl+s")
    world.file_dialog("Save As", target)
    playlist = world.editor(f"RealMedia Link Editor - {target}")
    expect_bytes(target, b"".join(e.encode() + b"\r\n" for e in entries), "the saved play list")
    expect_bytes(world.recent(), str(target).encode() + b"\r\n", "recent.dat")

    # Closing the saved play list asks nothing and gives the main editor back.
    world.close(playlist)
    world.gone("the play-list window closing", playlist)
    editor = world.editor()
    world.close(editor)
    world.wait_program_end("closing the editor after the play list")


def tip_of_the_day(world):
    """Properties: tick "Show Tip of the Day", OK; the next start shows a shipped tip."""
    tips_file = world.options.binary.parent / "tod.dat"
    check(tips_file.is_file(), f"{tips_file} is missing: build the orvane_data target")
    tips = [line.decode("latin-1") for line in text_lines(tips_file.read_bytes())]

    editor = world.startup()
    world.focus(editor)
    world.key("ctrl+p")
    options = world.dialog("Properties of Orvane Editor")
    world.focus(options)
    # "Show Tip of the Day" is the first control: Space ticks it; Alt+O is OK.
    world.key("space")
    world.shot("properties")
    world.key("alt+o")
    world.gone("the Properties dialog closing", options)
    values = world.settings()
    flags = {name: values.get(f"{OPTION_KEY}/{name}") for name in
             ("Show Tips at Startup", "Show Startup Wizard", "Show Editor at Startup")}
    check(flags == {"Show Tips at Startup": "1", "Show Startup Wizard": "0",
                    "Show Editor at Startup": "0"},
          f"after OK the settings hold {flags}")
    world.close(editor)
    world.wait_program_end("closing the editor after Properties")

    world.startup()
    tip = world.dialog("Tip of the Day", timeout=10)
    world.shot()
    # The tip's text is selectable: a triple click puts the whole tip in the X selection.
    x, y = tip_text_point(world.image(tip))
    world.run("xdotool", "mousemove", "--window", str(tip.id), str(x), str(y),
              "click", "--repeat", "3", "--delay", "80", "1")
    shown = world.expect_selection("primary", lambda text: text in tips,
                                   "the tip shown is a line of the shipped tod.dat")
    print(f"  tip shown: {shown}")
    world.focus(tip)
    world.key("Return")
    world.gone("the tip window closing with OK", tip)
    editor = world.editor()
    world.close(editor)
    world.wait_program_end("closing the editor after the tip")


def unsaved_close_cancel(world):
    """Closing with unsaved changes asks; Cancel keeps the window and the address."""
    editor = world.startup()
    world.focus(editor)
    world.key("ctrl+a")
    world.type("http://unsaved.example.net/")
    world.close(editor)
    question = world.window("the unsaved-changes question",
                            lambda w: w.is_("DIALOG") and w.transient_for == editor.id)
    check(question.title == "Orvane Editor",
          f'the question is titled {question.title!r}, expected "Orvane Editor"')
    world.shot()
    world.focus(question)
    world.key("Escape")
    world.gone("the question closing with Cancel", question)
    check(world.running(), "the program ended although Cancel was chosen")
    editor = world.editor()
    world.address(editor, "http://unsaved.example.net/", "the address after Cancel")
    world.shot("after-cancel")

    # Asked again, No ends the program without writing anything.
    world.close(editor)
    question = world.window("the unsaved-changes question, again",
                            lambda w: w.is_("DIALOG") and w.transient_for == editor.id)
    world.focus(question)
    world.key("alt+n")
    world.wait_program_end("answering No")
    check(not any(world.files.iterdir()), f"files were written: {list(world.files.iterdir())}")
    check(not world.recent().exists(), "recent.dat was written")


SCENARIOS = {
    "first-start": first_start,
    "save-typed-address": save_typed_address,
    "open-browser-shortcut": open_browser_shortcut,
    "ftp-link-switch": ftp_link_switch,
    "play-list": play_list,
    "tip-of-the-day": tip_of_the_day,
    "unsaved-close-cancel": unsaved_close_cancel,
}


# --- running ---------------------------------------------------------------------------

def _stop_now(signum, _frame):
    raise Stopped(f"stopped by {signal.Signals(signum).name}")


def run_scenario(name, options):
    world = World(name, options)
    started = time.monotonic()
    limit = int(options.limit * options.slow)

    def out_of_time(_signum, _frame):
        raise Stopped(f"the scenario ran past its limit of {limit} s")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(limit)
    try:
        world.start_x()
        SCENARIOS[name](world)
        outcome = None
    except Failure as failure:
        outcome = str(failure)
    except Exception:  # a fault of the driver itself still ends in a clean-up
        outcome = traceback.format_exc()
    finally:
        signal.alarm(0)
    if outcome is not None and world.x is not None:
        try:
            world.shot("failure")
        except Exception as error:  # the failure is the news, not the missing picture
            print(f"  (no failure screenshot: {error})")
    world.stop()
    took = time.monotonic() - started
    for shot in world.shots:
        print(f"  screenshot: {shot}")
    if outcome is None:
        print(f"PASS {name} ({took:.1f} s)")
        return True
    print(f"FAIL {name} ({took:.1f} s): {outcome}")
    for log in sorted(world.root.glob("program-*.log")):
        text = log.read_text(errors="replace").strip()
        if text:
            print(f"  --- {log.name} (last lines) ---")
            print("\n".join("  " + line for line in text.splitlines()[-30:]))
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--binary", type=Path, required=True, help="the orvane-editor program")
    parser.add_argument("--work", type=Path, required=True, help="scratch folder (emptied)")
    parser.add_argument("--shots", type=Path, required=True, help="screenshot folder")
    parser.add_argument("--slow", type=float, default=1.0,
                        help="multiplies every time limit (sanitizer builds start slower)")
    parser.add_argument("--limit", type=float, default=60.0,
                        help="hard limit of one scenario, in seconds (times --slow)")
    parser.add_argument("scenarios", nargs="*", metavar="SCENARIO",
                        help=f"any of {', '.join(SCENARIOS)}; all when none is named")
    options = parser.parse_args()

    unknown = [s for s in options.scenarios if s not in SCENARIOS]
    if unknown:
        parser.error(f"unknown scenario(s): {', '.join(unknown)}")
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"FAIL: {', '.join(missing)} not found; install the packages of "
              "scripts/packages.txt")
        return 1
    if not os.access(options.binary, os.X_OK):
        print(f"FAIL: {options.binary} is not an executable program; build orvane-editor")
        return 1
    options.binary = options.binary.resolve()
    options.work = options.work.resolve()
    options.shots = options.shots.resolve()
    options.shots.mkdir(parents=True, exist_ok=True)

    signal.signal(signal.SIGTERM, _stop_now)
    signal.signal(signal.SIGINT, _stop_now)
    results = [run_scenario(name, options) for name in (options.scenarios or SCENARIOS)]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
