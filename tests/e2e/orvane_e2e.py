#!/usr/bin/env python3
"""The real orvane-editor as a user meets it: on its own Xvfb with openbox, a fresh home and
working folder, driven with xdotool, wmctrl, xprop and xclip. A scenario checks what a user
sees (windows, their places and sizes, the clipboard) and what reaches the disk, and leaves
a screenshot in the shots folder."""
import argparse, ctypes, os, re, signal, shutil, socketserver, subprocess, sys, threading, time
from pathlib import Path

TOOLS = ("Xvfb", "openbox", "xdotool", "wmctrl", "xprop", "xclip", "import", "strace")
EDITOR, PLAY_LIST = "Orvane Editor", "RealMedia Link Editor"
SETTINGS = ".config/Tessaly/Orvane Editor.conf"
RECENT = ".local/share/Tessaly/Orvane Editor/recent.dat"
KEY = "Tessaly\\Orvane%20Editor\\"
# Nothing started here outlives a driver that is killed (a test's time limit).
DIE_WITH_DRIVER = lambda: ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class World:
    """One scenario's folders, X server, window manager and program."""

    def __init__(self, options, name):
        self.options, self.name, self.slow = options, name, options.slow
        self.root = options.work / name
        shutil.rmtree(self.root, ignore_errors=True)
        self.home, self.files = self.root / "home", self.root / "files"
        for folder in (self.home / "run", self.home / ".config/Tessaly", self.files):
            folder.mkdir(parents=True, mode=0o700)
        self.processes, self.program = [], None
        openbox = self.x_server()
        self.wait("openbox", lambda: openbox.poll() is not None or "Openbox" in self.x(
            "wmctrl", "-m", may_fail=True))
        check(openbox.poll() is None, "openbox ended: " + (self.root / "openbox.log").read_text())

    def x_server(self):
        read_end, write_end = os.pipe()
        # -noreset: without it the server resets when its last client leaves, and a probe
        # that leaves while openbox is still connecting takes openbox's connection with it.
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp", "-ardelay", "30000", "-noreset"], "xvfb",
                   pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as reported:
            display = ":" + reported.readline().strip()
        check(display != ":", "Xvfb reported no display")
        self.env = {**{k: v for k, v in os.environ.items() if not k.startswith(("XDG", "WAYL"))},
                    "DISPLAY": display, "HOME": str(self.home), "QT_QPA_PLATFORM": "xcb",
                    "XDG_RUNTIME_DIR": str(self.home / "run"), "LANG": "C.UTF-8"}
        return self.spawn(["openbox", "--sm-disable"], "openbox")

    def spawn(self, command, log, **options):
        with open(self.root / f"{log}.log", "ab") as out:
            process = subprocess.Popen(command, env=getattr(self, "env", None), stdout=out,
                                       stderr=subprocess.STDOUT, preexec_fn=DIE_WITH_DRIVER,
                                       **{"stdin": subprocess.DEVNULL, **options})
        self.processes.append(process)
        return process

    def x(self, *command, may_fail=False):
        done = subprocess.run(command, env=self.env, capture_output=True, timeout=20 * self.slow)
        check(may_fail or done.returncode == 0,
              f"{' '.join(command)}: {done.stderr.decode(errors='replace')}")
        return done.stdout.decode(errors="replace")

    def wait(self, what, probe, timeout=10):
        deadline = time.monotonic() + timeout * self.slow
        while not (value := probe()):
            check(not self.program or self.program.poll() is None,
                  f"the program ended while waiting for {what}")
            check(time.monotonic() < deadline, f"no {what} within {timeout * self.slow:.0f} s; "
                                               f"windows: {self.windows()}")
            time.sleep(0.1)
        return value

    # the program

    def start(self, settings=None, trace=None):
        if settings is not None:
            (self.home / SETTINGS).write_text("[SOFTWARE]\n" + "".join(
                f"{KEY}{name.replace(' ', '%20')}={value}\n" for name, value in settings))
        command = [str(self.options.binary)]
        if trace:
            command = ["strace", "-f", "-qq", "-e", "trace=openat", "-o", str(trace)] + command
        self.program = self.spawn(command, "program", cwd=self.files)

    def splash(self):
        return self.wait("splash", lambda: next((i for i, _ in self.windows() if "SPLASH" in self.x(
            "xprop", "-id", str(i), "_NET_WM_WINDOW_TYPE", may_fail=True)), None), 20)

    def startup(self):
        """An ordinary start: first-run settings there, no tips, no wizard."""
        self.start([("Version", "1.0.0"), ("Option\\Default Link", "HTTP")])
        return self.window(EDITOR, timeout=20, besides=[self.splash()])

    def end(self, after):
        self.wait(f"end of the program after {after}", lambda: self.program.poll() is not None)
        check(self.program.returncode == 0, f"exit code {self.program.returncode} after {after}")

    def stop(self):
        # Asked first, so that Xvfb removes its lock and socket files.
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(2)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    # windows, keys and the clipboard

    def windows(self):
        """(id, title) of every window the window manager holds."""
        lines = self.x("wmctrl", "-l", may_fail=True).splitlines()
        return [(int(line.split()[0], 16), (line.split(None, 3) + [""])[3]) for line in lines]

    def titled(self, title):
        return [wid for wid, name in self.windows() if name == title]

    def window(self, title, timeout=10, besides=()):
        return self.wait(f'window "{title}"', lambda: next(
            (w for w in self.titled(title) if w not in besides), None), timeout)

    def gone(self, wid, what):
        self.wait(f"closing of {what}", lambda: wid not in [w for w, _ in self.windows()])

    def geometry(self, wid):
        shell = self.x("xdotool", "getwindowgeometry", "--shell", str(wid))
        values = dict(line.split("=") for line in shell.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def keys(self, wid, *keys):
        self.x("xdotool", "windowactivate", "--sync", str(wid))
        self.x("xdotool", "key", "--clearmodifiers", "--delay", "60", *keys)

    def type(self, wid, text):
        self.keys(wid, "ctrl+a")
        self.x("xdotool", "type", "--delay", "20", text)

    def close(self, wid):
        """The title bar's close button."""
        self.x("wmctrl", "-i", "-c", str(wid))

    def clipboard(self, text=None):
        if text is None:
            return self.x("xclip", "-selection", "clipboard", "-o", may_fail=True)
        # xclip stays to serve the clipboard until the X server ends.
        self.spawn(["xclip", "-selection", "clipboard", "-i"], "xclip",
                   stdin=subprocess.PIPE).communicate(text.encode())

    def address(self, wid):
        """The address box's text, copied as a user copies it."""
        self.keys(wid, "ctrl+a", "ctrl+c")
        time.sleep(0.3)
        return self.clipboard()

    def file_dialog(self, wid, keys, title, path, answer=None):
        """Names a file in the Open or Save As dialog the keys bring up; answer: the keys
        for the dialog's own question ("already exists, replace it?")."""
        self.keys(wid, *keys)
        dialog = self.window(title)
        self.type(dialog, str(path))
        self.keys(dialog, "Return")
        if answer:
            self.keys(self.window(title, besides=[dialog]), answer)
        self.gone(dialog, f"the {title} dialog")

    def tiny_disk(self, size="64k"):
        """A tmpfs that only this driver and the programs it starts from now on see."""
        if os.geteuid() != 0:
            raise Skip("a tmpfs of its own needs root")
        libc, disk = ctypes.CDLL(None, use_errno=True), self.files / "disk"
        disk.mkdir()
        # CLONE_NEWNS, then MS_REC | MS_PRIVATE on /: nothing mounted here leaks out.
        if (libc.unshare(0x20000) or libc.mount(b"none", b"/", None, 0x4000 | 0x40000, None)
                or libc.mount(b"tmpfs", bytes(disk), b"tmpfs", 0, f"size={size}".encode())):
            raise Skip(f"no mounts of its own: {os.strerror(ctypes.get_errno())}")
        return disk

    def shot(self, label=""):
        path = self.options.shots / f"{self.name}{'-' if label else ''}{label}.png"
        self.x("import", "-window", "root", str(path))
        print(f"  screenshot: {path}")


def expect_file(path, expected):
    actual = path.read_bytes() if path.is_file() else None
    check(actual == expected, f"{path} holds {actual!r}, expected {expected!r}")


# --- scenarios -------------------------------------------------------------------------

def first_start(w):
    """The splash, then the editor with "http://"; the settings file is seeded."""
    w.start()
    splash = w.splash()
    check(w.titled(EDITOR) == [splash], "the editor shows together with the splash")
    w.shot("splash")
    editor = w.window(EDITOR, timeout=20, besides=[splash])
    w.gone(splash, "the splash")
    check(w.address(editor) == "http://", "a new link does not read http://")
    settings = (w.home / SETTINGS).read_text().splitlines()
    for line in ("[SOFTWARE]", KEY + "Version=1.0.0", KEY + "Option\\Default%20Link=HTTP"):
        check(line in settings, f"{SETTINGS} lacks {line}: {settings}")
    w.close(editor)
    w.end("closing the unchanged editor")


def link_menu_and_save(w):
    """Link > FTP Link rewrites the scheme; Ctrl+S, a path typed in the save dialog."""
    editor = w.startup()
    w.type(editor, "https://files.example.com/pub/tool.zip")
    w.keys(editor, "alt+l", "f")
    target = w.files / "my links" / "tool.url"
    target.parent.mkdir()
    w.file_dialog(editor, ["ctrl+s"], "Save As", target)
    editor = w.window(f"{EDITOR} - {target}")
    w.shot()
    expect_file(target, b"[InternetShortcut]\r\nURL=ftp://files.example.com/pub/tool.zip\r\n")
    expect_file(w.home / RECENT, str(target).encode() + b"\r\n")
    w.close(editor)
    w.end("closing the saved editor")


def paste_two_lines(w):
    """Ctrl+V of a two-line clipboard, saved as a RealMedia link: one line."""
    editor = w.startup()
    w.clipboard("http://a/\r\nhttp://b/")
    w.keys(editor, "ctrl+a", "ctrl+v", "alt+l", "r", "o")
    target = w.files / "x.ram"
    w.file_dialog(editor, ["alt+f", "a"], "Save As", target)
    w.shot()
    expect_file(target, b"http://a/http://b/\r\n")


def edit_menu_keys(w):
    """Alt+E acts on the selection the box had: Copy copies it, Paste replaces it."""
    editor = w.startup()
    w.type(editor, "http://p.example/")
    w.keys(editor, "ctrl+a", "alt+e", "c")
    time.sleep(0.3)
    check(w.clipboard() == "http://p.example/", f"Alt+E, C copied {w.clipboard()!r}")
    w.clipboard("REPL")
    w.keys(editor, "ctrl+a", "alt+e", "p")
    w.shot()
    check(w.address(editor) == "REPL", "Alt+E, P did not replace the selected address")


def new_window_places(w):
    """File > New > Window, twice: each new window right of and below its maker."""
    made = [w.startup()]
    for _ in range(2):
        w.keys(made[-1], "ctrl+w")
        made.append(w.window(EDITOR, besides=made))
    w.shot()
    places = [w.geometry(wid)[:2] for wid in made]
    for (x0, y0), (x1, y1) in zip(places, places[1:]):
        check(8 <= x1 - x0 <= 20 and 8 <= y1 - y0 <= 20,
              f"a new window at {x1 - x0:+d}, {y1 - y0:+d} from its maker: {places}")


def wizard_play_list(w):
    """Ctrl+N, the play-list kind: the play-list editor in front, at its size, usable."""
    editor = w.startup()
    w.keys(editor, "ctrl+n")
    wizard = w.window("Startup Wizard")
    w.keys(wizard, "Tab")
    w.x("xdotool", "type", "--delay", "20", "RealMedia Link with")
    w.keys(wizard, "alt+o")
    play_list = w.window(PLAY_LIST)
    w.wait("the play-list editor in front", lambda: w.x(
        "xdotool", "getactivewindow").strip() == str(play_list))
    check(w.geometry(play_list)[2:] == (560, 380),
          f"the play-list editor is {w.geometry(play_list)[2:]}, not 560x380")
    w.type(play_list, "rtsp://media.example.com/one.rm")
    w.keys(play_list, "alt+a")
    target = w.files / "list.ram"
    w.file_dialog(play_list, ["ctrl+s"], "Save As", target)
    w.shot()
    expect_file(target, b"rtsp://media.example.com/one.rm\r\n")
    w.close(w.window(f"{PLAY_LIST} - {target}"))
    w.gone(wizard, "the wizard")


def full_disk(w):
    """Saves on a full disk: the reason is said, the files stay whole, nothing is marked saved."""
    disk = w.tiny_disk()
    shortcut, play_list = disk / "doc.url", disk / "list.ram"
    shortcut_bytes = (b"[InternetShortcut]\r\nURL=http://before.example/\r\n"
                      b"IconFile=/usr/share/icons/link.ico\r\nIconIndex=0\r\nHotKey=1604\r\n")
    play_list_bytes = b"http://one.example/a.rm\r\nhttp://two.example/b.rm\r\n"
    shortcut.write_bytes(shortcut_bytes)
    play_list.write_bytes(play_list_bytes)
    with open(disk / "filler", "wb", buffering=0) as filler:
        try:
            while filler.write(b"f" * 4096):
                pass
        except OSError:
            pass
    editor = w.startup()
    w.file_dialog(editor, ["alt+f", "o"], "Open", shortcut)
    editor = w.window(f"{EDITOR} - {shortcut}")
    w.type(editor, "http://after.example/")
    w.keys(editor, "ctrl+s")
    # The message names the file and the reason (see the screenshots; its words are
    # checked by the writer's and the windows' own tests).
    box = w.window(EDITOR, besides=[editor])
    w.shot("editor")
    w.keys(box, "Return")
    w.gone(box, "the message")
    expect_file(shortcut, shortcut_bytes)
    check(w.titled(f"{EDITOR} - {shortcut}") == [editor], "the editor's title changed")
    w.keys(editor, "alt+f", "o")
    # Still changed: the question comes; No (not saved), and the Open dialog follows.
    w.file_dialog(w.window(EDITOR, besides=[editor]), ["alt+n"], "Open", play_list)
    lister = w.window(f"{PLAY_LIST} - {play_list}")
    w.type(lister, "http://three.example/c.rm")
    w.keys(lister, "alt+a", "ctrl+s")
    w.shot("play-list")
    w.keys(w.window(EDITOR, besides=[editor, lister]), "Return")
    expect_file(play_list, play_list_bytes)
    check(not (w.home / RECENT).exists(), "a failed save was added to the recent list")


def device_link(w):
    """Save As onto a link to a device: refused, the device stays a device."""
    if os.geteuid() != 0:
        raise Skip("making a device node needs root")
    device, target = w.files / "null", w.files / "dev.url"
    os.mknod(device, 0o666 | 0o020000, os.makedev(1, 3))  # a character device, like /dev/null
    target.symlink_to(device)
    editor = w.startup()
    w.type(editor, "http://example.com/")
    w.file_dialog(editor, ["alt+f", "a"], "Save As", target, answer="alt+y")
    w.window(EDITOR, besides=[editor])  # the refusal, naming the file and the reason
    w.shot()
    check(target.is_symlink() and target.is_char_device(), f"{target} is no longer a device")
    check(editor in w.titled(EDITOR), "the editor's title changed")


class Server(socketserver.ThreadingTCPServer):
    """HTTP on the loopback: /live streams without end, /silent never answers. Notes when
    each connection is closed and how much it was sent."""
    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), None)
        self.port, self.closed, self.sent = self.server_address[1], {}, {}
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def finish_request(self, connection, _):
        path = connection.recv(4096).split(b" ")[1].decode()
        self.sent[path] = 0
        try:
            if path == "/live":
                connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: audio/x-pn-realaudio\r\n\r\n")
                while True:
                    self.sent[path] += connection.send(b"r" * 65536)
            connection.recv(1)  # /silent: until the client goes
        except OSError:
            pass
        self.closed[path] = time.monotonic()


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def link_test_ends(w):
    """libcurl is loaded by the first link test, not before; a link to an endless stream is
    proved by its first bytes; a test whose dialog is closed from the title bar stops its
    transfer."""
    server, editor = Server(), w.startup()
    curl_mapped = lambda: "/libcurl" in Path(f"/proc/{w.program.pid}/maps").read_text()
    check(not curl_mapped(), "libcurl is loaded before any link test")
    w.type(editor, f"http://127.0.0.1:{server.port}/live")
    w.keys(editor, "ctrl+t")
    dialog = w.window("Orvane Editor - Testing the Link...")
    check(curl_mapped(), "the link test runs without libcurl")
    w.wait("the end of the endless stream's test", lambda: "/live" in server.closed)
    w.shot("stream")
    check(server.sent["/live"] < 64 << 20, f"the test read {server.sent['/live']} bytes")
    w.keys(dialog, "Return")
    w.gone(dialog, "the link-test window")
    w.type(editor, f"http://127.0.0.1:{server.port}/silent")
    w.keys(editor, "ctrl+t")
    dialog = w.window("Orvane Editor - Testing the Link...")
    w.wait("the request", lambda: "/silent" in server.sent)
    w.close(dialog)
    closed_at = time.monotonic()
    w.wait("the closed test's connection to end", lambda: "/silent" in server.closed, 3)
    cpu = cpu_seconds(w.program.pid)
    time.sleep(2)
    check(cpu_seconds(w.program.pid) - cpu < 0.2, "the program still works after the test")
    print(f"  connection ended {server.closed['/silent'] - closed_at:.2f} s after closing")


def installed_package(w):
    """The unpacked package reads its tips and help from its own share folder."""
    trace, data = w.root / "trace", w.options.binary.parent.parent / "share/orvane-editor"
    w.start([("Version", "1.0.0"), ("Option\\Show Tips at Startup", "1")], trace=trace)
    w.keys(w.window("Tip of the Day", timeout=20), "Escape")
    w.keys(w.window(EDITOR), "F1")
    w.keys(w.window("Orvane Editor Help Content"), "Down", "Up", "Return")
    w.window("Orvane Editor Help")
    w.shot()
    for name in ("tod.dat", "help/content.dat", "help/help_00.dat"):
        w.wait(f"reading of {data / name}", lambda: any(
            f'"{data / name}"' in line and re.search(r"= \d+$", line)
            for line in trace.read_text().splitlines()))


SCENARIOS = {f.__name__.replace("_", "-"): f for f in (
    first_start, link_menu_and_save, paste_two_lines, edit_menu_keys, new_window_places,
    wizard_play_list, full_disk, device_link, link_test_ends, installed_package)}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("--binary", "--work", "--shots"):
        parser.add_argument(name, type=Path, required=True)
    parser.add_argument("--slow", type=float, default=1.0, help="stretches every wait")
    parser.add_argument("scenario", choices=SCENARIOS)
    options = parser.parse_args()
    if missing := [tool for tool in TOOLS if not shutil.which(tool)]:
        print(f"SKIP: {', '.join(missing)} not installed (scripts/packages-test.txt)")
        return 77
    options.binary, options.work = options.binary.resolve(), options.work.resolve()
    options.shots.mkdir(parents=True, exist_ok=True)
    world = None
    try:
        world = World(options, options.scenario)
        SCENARIOS[options.scenario](world)
        print(f"PASS {options.scenario}")
        return 0
    except Skip as reason:
        print(f"SKIP {options.scenario}: {reason}")
        return 77
    except Failure as failure:
        print(f"FAIL {options.scenario}: {failure}")
        try:
            world and world.shot("failure")
        except Failure:
            pass
        return 1
    finally:
        if world:
            world.stop()


if __name__ == "__main__":
    sys.exit(main())
