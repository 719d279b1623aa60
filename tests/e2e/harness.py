"""Drives the real stravo.exe under Wine: starts it, finds its windows through the
probe (winprobe.exe, a Windows program reading other processes' windows), sends
real keys and mouse clicks through xdotool, and reads the registry afterwards.

Expects DISPLAY, WINEPREFIX and WINEDEBUG to be set by the caller."""

import os
import signal
import subprocess
import time

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
SC_MINIMIZE = 0xF020
BM_CLICK = 0x00F5
BM_GETCHECK = 0x00F0
CB_SETCURSEL = 0x014E
CB_GETCURSEL = 0x0147
CBN_SELCHANGE = 1

CAPTION = "vexoVIDEO STRAVO (Stravometer)"
PRODUCT_KEY = r"Software\vexo Computer Products\vexoVIDEO STRAVO"
SERVAL_KEY = r"Software\vexo Computer Products\Serval"
INTL_KEY = r"Control Panel\International"
APP_DEFAULTS = r"Software\Wine\AppDefaults\stravo.exe"

CASES = []


def case(function):
    """Registers an end-to-end case; they run in the order registered."""
    CASES.append(function)
    return function


class Window:
    """One line of the probe's "info": a window and what it looks like."""

    def __init__(self, fields):
        self.hwnd = fields[0]
        self.pid = int(fields[1])
        self.cls = fields[2]
        self.visible = fields[3] == "1"
        self.iconic = fields[4] == "1"
        self.enabled = fields[5] == "1"
        self.rect = tuple(int(v) for v in fields[6:10])
        self.owner = fields[10]
        self.id = int(fields[11])
        self.style = int(fields[12], 16)
        self.text = unescape(fields[13]) if len(fields) > 13 else ""

    def centre(self):
        l, t, r, b = self.rect
        return (l + r) // 2, (t + b) // 2


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "t": "\t", "r": "\r"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class Probe:
    def __init__(self, probe_exe):
        self.exe = probe_exe
        self.proc = subprocess.Popen(["wine", probe_exe], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, encoding="utf-8", bufsize=1)

    def call(self, *args):
        self.proc.stdin.write("\t".join(str(a) for a in args) + "\n")
        self.proc.stdin.flush()
        line = self.proc.stdout.readline().rstrip("\n")
        if not line:
            raise RuntimeError("the probe stopped answering")
        fields = line.split("\t")
        return fields[0] == "OK", fields[1:]

    def close(self):
        try:
            self.proc.stdin.write("quit\n")
            self.proc.stdin.flush()
            self.proc.wait(timeout=10)
        except Exception:
            self.proc.kill()

    # windows
    def top_windows(self):
        ok, handles = self.call("top", 0)
        windows = []
        for h in handles:
            ok, fields = self.call("info", h)
            if ok and fields[0] != "0x0":
                windows.append(Window(fields))
        return windows

    def info(self, hwnd):
        ok, fields = self.call("info", hwnd)
        return Window(fields)

    def item(self, hwnd, control_id):
        ok, fields = self.call("item", hwnd, control_id)
        return Window(fields) if ok else None

    def children(self, hwnd):
        ok, handles = self.call("children", hwnd)
        return [self.info(h) for h in handles]

    def client(self, hwnd):
        """Screen origin and size of a window's client area."""
        ok, fields = self.call("client", hwnd)
        return tuple(int(v) for v in fields)

    def units(self):
        """Dialog base units (x, y) of the program's dialog font."""
        ok, fields = self.call("units")
        return int(fields[0]), int(fields[1])

    def focus(self, hwnd):
        ok, fields = self.call("focus", hwnd)
        return fields[0]

    def foreground(self):
        return self.call("foreground")[1][0]

    def message_box(self, hwnd, settle=3.0):
        """Caption, text, owner, icon and buttons of a message box. The icon is read
        from the screen, so a box that has not painted yet is read again."""
        end = time.time() + settle
        while True:
            ok, f = self.call("msgbox", hwnd)
            if not ok or f[3] != "none" or time.time() > end:
                break
            time.sleep(0.1)
        buttons = {}
        for part in f[4].split(",") if len(f) > 4 and f[4] else []:
            number, _, text = part.partition(":")
            buttons[int(number)] = unescape(text)
        return {"caption": unescape(f[0]), "text": unescape(f[1]), "owner": f[2],
                "icon": f[3], "buttons": buttons}

    def post(self, hwnd, message, wparam=0, lparam=0):
        return self.call("post", hwnd, message, wparam, lparam)[0]

    def send(self, hwnd, message, wparam=0, lparam=0, wait_ms=5000):
        ok, f = self.call("send", hwnd, message, wparam, lparam, wait_ms)
        return int(f[0]) if ok else None

    def command(self, dialog, control_id):
        """A button's BN_CLICKED, as a click would send it (posted: it may open a box)."""
        return self.post(dialog, WM_COMMAND, control_id, 0)

    def combo_items(self, combo_hwnd):
        ok, f = self.call("cbitems", combo_hwnd)
        return int(f[0]), [unescape(t) for t in f[1:]]

    # registry
    def reg_get(self, root, path, name):
        ok, f = self.call("regget", root, path, name)
        if not ok:
            return None
        kind, data = f[0], unescape(f[1]) if len(f) > 1 else ""
        return (kind, int(data) if kind == "dword" else data)

    def reg_set(self, root, path, name, kind, value):
        ok, _ = self.call("regset", root, path, name, kind, value)
        assert ok, "could not set %s\\%s\\%s" % (root, path, name)

    def reg_delete_value(self, root, path, name):
        self.call("regdelvalue", root, path, name)

    def reg_delete_tree(self, root, path):
        self.call("regdeltree", root, path)


class Program:
    """One start of stravo.exe."""

    def __init__(self, exe, args=()):
        self.proc = subprocess.Popen(["wine", exe] + list(args), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(timeout=10)


def wait_for(what, timeout=10.0, step=0.1):
    """Polls what() until it returns something true; returns that or None."""
    end = time.time() + timeout
    while True:
        value = what()
        if value:
            return value
        if time.time() > end:
            return None
        time.sleep(step)


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)


def x_window(title):
    """The X window Wine made for a top-level window of this title."""
    r = subprocess.run(["xdotool", "search", "--name", "^%s$" % title.replace("(", r"\(")
                        .replace(")", r"\)")], capture_output=True, text=True, timeout=20)
    ids = r.stdout.split()
    return ids[-1] if ids else None


def send_keys(title, *keys):
    """Real key presses, into the X window of the window with this title."""
    wid = x_window(title)
    assert wid, "no X window titled %r" % title
    xdotool("windowfocus", "--sync", wid)
    time.sleep(0.2)
    for key in keys:
        xdotool("key", "--clearmodifiers", key)
        time.sleep(0.2)


def pointer():
    r = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True,
                       timeout=20)
    fields = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
    return int(fields.get("X", -1)), int(fields.get("Y", -1))


def click_at(x, y):
    # A synchronous move to where the pointer already is waits for a motion that
    # never comes.
    if pointer() != (x, y):
        xdotool("mousemove", "--sync", x, y)
    time.sleep(0.1)
    xdotool("click", 1)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
