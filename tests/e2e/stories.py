#!/usr/bin/env python3
"""End to end: the real stravo.exe under Wine and Xvfb, driven with real keys and
clicks (xdotool) and read through winprobe.exe, on throttled drives (throttlefs,
a FUSE file system with direct I/O) mounted as T: and U:. Each story ends with
the registry and the drives compared with a snapshot taken before it.

stories.py --exe STRAVO --probe WINPROBE --throttlefs THROTTLEFS --shots DIR
Prints a line per story and "e2e: N passed, N failed". Expects DISPLAY,
WINEPREFIX and WINEDEBUG set; STRAVO_WINE names the Wine loader of the build."""

import argparse
import os
import subprocess
import sys
import time
import traceback

WINE = os.environ.get("STRAVO_WINE", "wine")
CAPTION = "vexoVIDEO STRAVO (Stravometer)"
STRAVO = r"Software\vexo Computer Products\vexoVIDEO STRAVO"
SERVAL = r"Software\vexo Computer Products\Serval"
VIDCAP = r"Software\Microsoft\Multimedia Tools\VidCap"
FORMAT = ("3", bytes([1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0, 0]).hex())  # PCM 44,100 Hz stereo 16-bit
NOBODY = "0" * 16
DRIVES = {"t": (3000, 6000), "u": (12000, 24000)}  # under and well over a block per tick


class Probe:
    def __init__(self, exe):
        self.proc = subprocess.Popen([WINE, exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, encoding="utf-8", errors="replace")

    def ask(self, *fields):
        self.proc.stdin.write("\t".join(str(f) for f in fields) + "\n")
        self.proc.stdin.flush()
        lines = []
        for line in iter(self.proc.stdout.readline, ""):
            if line == ".\n":
                return lines
            lines.append(line.rstrip("\n").replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\"))
        raise RuntimeError("the probe stopped")

    def windows(self):
        keys = "hwnd up id cls style visible enabled l t r b text".split()
        return [dict(zip(keys, line.split("\t", 11))) for line in self.ask("windows")]

    def dump(self):
        return {tuple(f[:2]): tuple(f[2:]) for f in (line.split("\t") for line in self.ask("dump"))}

    def set(self, root, key, name="@", kind="-", data=""):
        self.ask("set", root, key, name, kind, data)


def wait(what, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        value = what()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError("waited in vain: " + what.__doc__ if what.__doc__ else "waited in vain")


def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True,
                          timeout=20).stdout.split()


def centre(w):
    return (int(w["l"]) + int(w["r"])) // 2, (int(w["t"]) + int(w["b"])) // 2


class Story:
    def __init__(self, args, probe):
        self.args, self.probe, self.program = args, probe, None

    def find(self, cls="#32770", text=CAPTION, up=None):
        return [w for w in self.probe.windows() if w["cls"] == cls and w["text"] == text and
                w["visible"] == "1" and (up is None or w["up"] == up)]

    def item(self, dialog, control):
        return [w for w in self.probe.windows() if w["up"] == dialog["hwnd"] and w["id"] == str(control)][0]

    def keys(self, title, *keys):
        """Real key presses: into the X window of that title, or where the focus is."""
        if title:
            wid = wait(lambda: xdotool("search", "--name", "^%s$" % title.replace("(", r"\(").replace(")", r"\)")))
            xdotool("windowfocus", "--sync", wid[-1])
        for key in keys:
            time.sleep(0.3)
            xdotool("key", "--clearmodifiers", key)

    def click(self, window):
        xdotool("mousemove", "--sync", *centre(window))
        xdotool("click", "1")

    def start(self):
        self.program = subprocess.Popen([WINE, self.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return wait(lambda: self.find(up=NOBODY))[0]

    def title(self, window):
        return [w for w in self.probe.windows() if w["hwnd"] == window["hwnd"]][0]["text"]

    def box(self):
        """The text of the program's message box: a dialog of its caption without a drive list."""
        def shown():
            ws = self.probe.windows()
            for d in ws:
                kids = [w for w in ws if w["up"] == d["hwnd"]]
                if d["cls"] == "#32770" and d["text"] == CAPTION and kids and not any(k["id"] == "151" for k in kids):
                    return [k["text"] for k in kids if k["id"] == "65535" and k["text"]]
        return wait(shown)[0]

    def choose(self, dialog, control, text):
        """Picks an entry of a drop-down list by clicking it open and using the arrow keys."""
        combo = self.item(dialog, control)
        items = self.probe.ask("items", combo["hwnd"])
        position = [i for i, t in enumerate(items) if text in t][0]
        self.click(combo)
        self.keys(None, "Home", *(["Down"] * position), "Return")
        return items[position]

    def run_test(self, dialog, drive):
        self.choose(dialog, 151, "(%s:)" % drive.upper())
        self.keys(CAPTION, "alt+t")
        wait(lambda: self.title(dialog) != CAPTION)
        wait(lambda: self.title(dialog) == CAPTION, 120)
        return [int(self.item(dialog, i)["text"].split()[0]) for i in (203, 204)]

    def close(self):
        assert self.program.wait(30) == 0, "the program did not end with 0"


def fio(mount, rw):
    out = subprocess.run(["fio", "--name=b", "--directory=" + mount, "--rw=" + rw, "--bs=96k", "--size=20m",
                          "--direct=1", "--ioengine=sync", "--output-format=terse", "--terse-version=3"],
                         capture_output=True, text=True).stdout.split(";")
    return int(out[47] if rw == "write" else out[6])


def snapshot(probe, args):
    files = set()
    for root in [os.path.join(os.environ["WINEPREFIX"], "drive_c")] + [m for m in args.mounts.values()]:
        for folder, dirs, names in os.walk(root):
            dirs[:] = [d for d in dirs if d.lower() != "windows"]
            files.update(os.path.join(folder, n) for n in names)
    return probe.dump(), files


def changes(before, after):
    """What the story changed: key and name to the value after it (None: removed)."""
    registry = {k: v for k, v in after[0].items() if before[0].get(k) != v}
    registry.update({k: None for k in before[0] if k not in after[0]})
    return registry, after[1] ^ before[1]


def key(root, path, name=""):
    return (root + "\\" + path, name)


def sz(text):  # as the probe reads it: UTF-16
    return ("1", text.encode("utf-16-le").hex() + "0000")


def dword(value):
    return ("4", value.to_bytes(4, "little").hex())


def put(probe, root, path, name, value):
    text = isinstance(value, str)
    data = value.encode("cp1252") + b"\0" if text else value.to_bytes(4, "little")
    probe.set(root, path, name, "1" if text else "4", data.hex())


def plant(probe, language, version, board):
    for root, key in (("HKCU", r"Software\vexo Computer Products"), ("HKLM", r"Software\vexo Computer Products"),
                      ("HKCU", r"Software\vexo"), ("HKCU", VIDCAP)):
        probe.set(root, key)
    put(probe, "HKCU", r"Control Panel\International", "iCountry", "1")
    put(probe, "HKCU", r"Software\Wine\AppDefaults\stravo.exe", "Version", version)
    if language:
        put(probe, "HKCU", SERVAL, "Language", language)
    for root, path, name, value in board:
        put(probe, root, path, name, value)


def story_english_nt_two_drives(s):
    """English on NT with a Puma: both throttled drives measured as fio measures
    them, the graph, the about box, Store, and a close that asks nothing."""
    plant(s.probe, None, "nt40", [("HKLM", STRAVO + r"\ActBoard", "@", "vexoVIDEO Puma")])
    expected_fio = {d: (fio(s.args.mounts[d], "write"), fio(s.args.mounts[d], "read")) for d in DRIVES}
    for d in DRIVES:
        for name in os.listdir(s.args.mounts[d]):
            os.remove(os.path.join(s.args.mounts[d], name))
    before = snapshot(s.probe, s.args)
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Close"
    rates = {}
    for d in DRIVES:
        rates[d] = s.run_test(dialog, d)
        for measured, reference in zip(rates[d], expected_fio[d]):
            assert abs(measured - reference) <= reference * 0.05, (d, rates[d], expected_fio[d])
    print("  rates T: %s, U: %s; fio T: %s, U: %s" % (rates["t"], rates["u"], expected_fio["t"], expected_fio["u"]))
    s.keys(CAPTION, "alt+g")
    graph = wait(lambda: s.find(text="Performance Graph - Drive U:"))[0]
    assert s.item(graph, 191)["text"] == "20" and s.item(graph, 195)["text"] == "10000"
    s.keys(graph["text"], "Escape")
    s.click(s.item(dialog, 101))
    about = wait(lambda: s.find(text="For your information"))[0]
    s.keys(about["text"], "Return")
    wait(lambda: not s.find(text="For your information"))
    capped = s.item(dialog, 153)["text"]
    s.keys(CAPTION, "alt+s")
    s.click(s.item(dialog, 1))
    s.close()
    rate = capped.split()[0]
    assert changes(before, snapshot(s.probe, s.args)) == ({
        key("HKLM", STRAVO + r"\LastBoard"): sz("vexoVIDEO Puma"),
        key("HKLM", STRAVO + r"\WriteSpeed", "T:"): dword(rates["t"][0]),
        key("HKLM", STRAVO + r"\ReadSpeed", "T:"): dword(rates["t"][1]),
        key("HKLM", STRAVO + r"\WriteSpeed", "U:"): dword(rates["u"][0]),
        key("HKLM", STRAVO + r"\ReadSpeed", "U:"): dword(rates["u"][1]),
        key("HKCU", r"Software\vexo\Puma\CapRate"): sz(rate),
        key("HKCU", r"Software\vexo\Puma\CapDrive"): sz("U:"),
        key("HKCU", r"Software\vexo\Puma\CapFormat"): sz("HIGH"),
        key("HKCU", VIDCAP, "WaveFormatBinary"): FORMAT,
    }, set())


def story_german_95_then_french(s):
    """German on Windows 95 with an Ocelot and a reference already stored: a new
    file size and French in the system information dialog, a test of T:, a close
    that asks (Cancel, then Yes); the next start speaks French and shows T:'s rates."""
    caracal = r"Software\vexo Computer Products\vexoVIDEO Caracal"
    plant(s.probe, "GER", "win95", [("HKCU", SERVAL, "EditingBoard", "vexoVIDEO Ocelot"),
                                    ("HKCU", caracal, "AssumedDataRate", 1000)])
    before = snapshot(s.probe, s.args)
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Schließen"
    s.keys(CAPTION, "alt+m")
    info = wait(lambda: s.find(text="System Information"))[0]
    s.click(s.item(info, 186))
    s.keys(info["text"], "End", "BackSpace", "BackSpace", "1", "0", "Tab")
    s.choose(info, 185, "Französisch")
    s.keys(info["text"], "Return")
    assert s.box() == "Les changes de langue sont activés après la fermeture du programme"
    s.keys(None, "Return")
    write, read = s.run_test(dialog, "t")
    assert s.item(dialog, 157)["text"].count(",") == 1, "a decimal comma in German"
    rate = int(s.item(dialog, 153)["text"].split()[0])
    s.keys(CAPTION, "alt+F4")
    assert s.box().startswith("Datenrate für gewählte Festplatte noch nicht abgespeichert !")
    s.keys(None, "Escape")
    time.sleep(1)
    assert s.program.poll() is None, "Cancel ended the program"
    s.keys(CAPTION, "alt+F4")
    s.box()
    s.keys(None, "y")
    s.close()
    assert changes(before, snapshot(s.probe, s.args)) == ({
        key("HKCU", SERVAL, "Language"): sz("FRE"),
        key("HKLM", STRAVO + r"\WriteSpeed", "T:"): dword(write),
        key("HKLM", STRAVO + r"\ReadSpeed", "T:"): dword(read),
        key("HKCU", caracal, "AssumedDataRate"): dword(rate),
        key("HKCU", caracal, "CapDrive"): sz("T:"),
        key("HKCU", VIDCAP, "WaveFormatBinary"): FORMAT,
    }, set())

    before = snapshot(s.probe, s.args)
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Fermeture"
    s.choose(dialog, 151, "(T:)")
    wait(lambda: s.item(dialog, 203)["text"] == "%d kB/s" % write)
    second = subprocess.Popen([WINE, s.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    assert second.wait(60) == 0 and len(s.find(up=dialog["up"])) == 1, "a second instance stayed"
    s.click(s.item(dialog, 1))
    s.close()
    assert changes(before, snapshot(s.probe, s.args)) == ({}, set())


def story_refused_platform(s):
    """A platform other than Windows 95 or NT is refused in the user's language."""
    plant(s.probe, "FRE", "win31", [])
    before = snapshot(s.probe, s.args)
    s.program = subprocess.Popen([WINE, s.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    assert s.box() == "Servez-vous de la version Windows 95/NT d'STRAVO"
    s.keys(None, "Return")
    s.close()
    assert changes(before, snapshot(s.probe, s.args)) == ({}, set())


def mount_drives(args):
    args.mounts = {}
    for drive, (write, read) in DRIVES.items():
        mount = os.path.join(args.work, drive)
        os.makedirs(mount, exist_ok=True)
        subprocess.Popen([args.throttlefs, mount, "-o", "write_kbs=%d,read_kbs=%d" % (write, read)])
        wait(lambda: os.path.ismount(mount), 10)
        link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(mount, link)
        args.mounts[drive] = mount
    # Wine reads its drives when it starts.
    subprocess.run(["wineserver", "-k"])
    subprocess.run(["wineserver", "-w"])


def main():
    parser = argparse.ArgumentParser()
    for option in ("exe", "probe", "throttlefs", "shots", "work"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("-k", default="")
    args = parser.parse_args()
    mount_drives(args)
    probe = Probe(args.probe)
    passed = failed = 0
    try:
        for story in (story_english_nt_two_drives, story_german_95_then_french, story_refused_platform):
            if args.k not in story.__name__:
                continue
            started = time.time()
            s = Story(args, probe)
            try:
                story(s)
                passed += 1
                print("PASS %s (%.0f s)" % (story.__name__, time.time() - started))
            except Exception:
                failed += 1
                shot = os.path.join(args.shots, story.__name__ + ".png")
                subprocess.run(["import", "-window", "root", shot], capture_output=True)
                print("FAIL %s (screenshot %s)" % (story.__name__, shot))
                traceback.print_exc(file=sys.stdout)
                if s.program and s.program.poll() is None:
                    s.program.kill()
            sys.stdout.flush()
    finally:
        probe.proc.stdin.close()
        for mount in args.mounts.values():
            subprocess.run(["fusermount3", "-u", mount], capture_output=True)
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
