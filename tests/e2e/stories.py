#!/usr/bin/env python3
# End to end: the real stravo.exe under Wine and Xvfb, driven with real keys and
# clicks (xdotool) and read through winprobe.exe, on throttled drives (throttlefs:
# FUSE with direct I/O) linked as T: and U:. Each story ends with the registry and
# the drives compared with a snapshot taken before it. Prints a line per story and
# "e2e: N passed, N failed". Expects DISPLAY, WINEPREFIX and WINEDEBUG set;
# STRAVO_WINE names the Wine loader of the build.
#   stories.py --exe STRAVO --probe WINPROBE --throttlefs THROTTLEFS --shots DIR --work DIR
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
CARACAL = r"Software\vexo Computer Products\vexoVIDEO Caracal"
VIDCAP = r"Software\Microsoft\Multimedia Tools\VidCap"
FORMAT = ("3", "0100020044ac000010b10200040010000000")  # PCM, stereo, 44,100 Hz, 16 bits
DRIVES = {"t": (3000, 6000), "u": (12000, 24000)}  # under and well over a block per tick
NOBODY = "0" * 16


class Probe:
    def __init__(self, exe):
        self.proc = subprocess.Popen([WINE, exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, encoding="utf-8", errors="replace")

    def ask(self, *fields):
        self.proc.stdin.write("\t".join(str(f) for f in fields) + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if line in (".\n", ""):
                return lines
            lines.append(line.rstrip("\n").replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\"))

    def windows(self):
        keys = "hwnd up id cls style visible enabled l t r b text".split()
        return [dict(zip(keys, line.split("\t", 11))) for line in self.ask("windows")]


def wait(what, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        value = what()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError("waited in vain")


def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True).stdout.split()


class Story:
    def __init__(self, args, probe):
        self.args, self.probe, self.program = args, probe, None

    def find(self, text=CAPTION, up=None):
        return [w for w in self.probe.windows() if w["cls"] == "#32770" and w["text"] == text and
                w["visible"] == "1" and up in (None, w["up"])]

    def item(self, dialog, control):
        return [w for w in self.probe.windows() if w["up"] == dialog["hwnd"] and w["id"] == str(control)][0]

    # Real key presses: into the X window of that title, or where the focus is.
    def keys(self, title, *keys):
        if title:
            wid = wait(lambda: xdotool("search", "--name", "^%s$" % title.replace("(", r"\(").replace(")", r"\)")))
            xdotool("windowfocus", "--sync", wid[-1])
        for key in keys:
            time.sleep(0.3)
            xdotool("key", "--clearmodifiers", key)

    def click(self, w):
        xdotool("mousemove", "--sync", (int(w["l"]) + int(w["r"])) // 2, (int(w["t"]) + int(w["b"])) // 2)
        xdotool("click", "1")

    def start(self):
        self.program = subprocess.Popen([WINE, self.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return wait(lambda: self.find(up=NOBODY), 60)[0]
        except AssertionError:
            raise AssertionError("no main window; the program %s; windows: %s" % (
                "ended with %s" % self.program.poll() if self.program.poll() is not None else "runs",
                [(w["text"], w["visible"], w["up"]) for w in self.probe.windows() if w["up"] == NOBODY]))

    def title(self, window):
        return [w for w in self.probe.windows() if w["hwnd"] == window["hwnd"]][0]["text"]

    # The text of the program's message box: a dialog of its caption without a drive list.
    def box(self):
        def shown():
            ws = self.probe.windows()
            for d in self.find():
                kids = [w for w in ws if w["up"] == d["hwnd"]]
                if not any(k["id"] == "151" for k in kids):
                    return [k["text"] for k in kids if k["id"] == "65535" and k["text"]]
        return wait(shown)[0]

    # Picks an entry of a drop-down list: a click opens it, the arrow keys choose.
    def choose(self, dialog, control, text):
        combo = self.item(dialog, control)
        items = self.probe.ask("items", combo["hwnd"])
        self.click(combo)
        self.keys(None, "Home", *(["Down"] * [i for i, t in enumerate(items) if text in t][0]), "Return")

    def run_test(self, dialog, drive):
        self.choose(dialog, 151, "(%s:)" % drive.upper())
        self.keys(CAPTION, "alt+t")
        wait(lambda: self.title(dialog) != CAPTION)
        wait(lambda: self.title(dialog) == CAPTION, 120)
        return [int(self.item(dialog, i)["text"].split()[0]) for i in (203, 204)]

    def close(self):
        assert self.program.wait(30) == 0, "the program did not end with 0"

    def snapshot(self):
        files = set()
        for root in [os.path.join(os.environ["WINEPREFIX"], "drive_c")] + list(self.args.mounts.values()):
            for folder, dirs, names in os.walk(root):
                dirs[:] = [d for d in dirs if d.lower() != "windows"]
                files.update(os.path.join(folder, n) for n in names)
        return {tuple(f[:2]): tuple(f[2:]) for f in (l.split("\t") for l in self.probe.ask("dump"))}, files

    # What the story changed since the snapshot: each value as it is now (None: removed).
    def changes(self, before):
        after = self.snapshot()
        registry = {k: v for k, v in after[0].items() if before[0].get(k) != v}
        registry.update({k: None for k in before[0] if k not in after[0]})
        return registry, after[1] ^ before[1]

    def plant(self, version, values):
        for root, key in (("HKCU", r"Software\vexo Computer Products"), ("HKLM", r"Software\vexo Computer Products"),
                          ("HKCU", r"Software\vexo"), ("HKCU", VIDCAP)):
            self.probe.ask("set", root, key, "@", "-")
        values += [("HKCU", r"Control Panel\International", "iCountry", "1"),
                   ("HKCU", r"Software\Wine\AppDefaults\stravo.exe", "Version", version)]
        for root, path, name, value in values:
            text = isinstance(value, str)
            data = value.encode("cp1252") + b"\0" if text else value.to_bytes(4, "little")
            self.probe.ask("set", root, path, name, "1" if text else "4", data.hex())


def fio(mount, rw):
    out = subprocess.run(["fio", "--name=b", "--directory=" + mount, "--rw=" + rw, "--bs=96k", "--size=20m",
                          "--direct=1", "--ioengine=sync", "--output-format=terse", "--terse-version=3"],
                         capture_output=True, text=True).stdout.split(";")
    return int(out[47] if rw == "write" else out[6])


def key(root, path, name=""):
    return (root + "\\" + path, name)


def sz(text):  # as the probe reads it: UTF-16
    return ("1", text.encode("utf-16-le").hex() + "0000")


def dword(value):
    return ("4", value.to_bytes(4, "little").hex())


# English on NT with a Puma: both throttled drives measured as fio measures them,
# the graph, the about box, Store, and a close that asks nothing.
def story_english_nt_two_drives(s):
    s.plant("nt40", [("HKLM", STRAVO + r"\ActBoard", "@", "vexoVIDEO Puma")])
    reference = {d: (fio(m, "write"), fio(m, "read")) for d, m in s.args.mounts.items()}
    for m in s.args.mounts.values():
        for name in os.listdir(m):
            os.remove(os.path.join(m, name))
    before = s.snapshot()
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Close"
    rates = {d: s.run_test(dialog, d) for d in DRIVES}
    print("  rates T: %s, U: %s; fio T: %s, U: %s" % (rates["t"], rates["u"], reference["t"], reference["u"]))
    for d in DRIVES:
        assert all(abs(m - r) <= r * 0.05 for m, r in zip(rates[d], reference[d])), d
    s.keys(CAPTION, "alt+g")
    graph = wait(lambda: s.find("Performance Graph - Drive U:"))[0]
    assert s.item(graph, 191)["text"] == "20" and wait(lambda: s.item(graph, 195)["text"] == "10000")
    s.keys(graph["text"], "Escape")
    s.click(s.item(dialog, 101))
    s.keys(wait(lambda: s.find("For your information"))[0]["text"], "Return")
    wait(lambda: not s.find("For your information"))
    rate = s.item(dialog, 153)["text"].split()[0]
    s.keys(CAPTION, "alt+s")
    s.click(s.item(dialog, 1))
    s.close()
    assert s.changes(before) == ({
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


# German on Windows 95 with an Ocelot and a reference stored already: a new file
# size and French in the system information dialog, a test of T:, a close that
# asks (Cancel, then Yes); the next start speaks French and shows T:'s rates.
def story_german_95_then_french(s):
    s.plant("win95", [("HKCU", SERVAL, "Language", "GER"), ("HKCU", SERVAL, "EditingBoard", "vexoVIDEO Ocelot"),
                      ("HKCU", CARACAL, "AssumedDataRate", 1000)])
    before = s.snapshot()
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Schließen"
    s.keys(CAPTION, "alt+m")
    info = wait(lambda: s.find("System Information"))[0]
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
    assert s.changes(before) == ({
        key("HKCU", SERVAL, "Language"): sz("FRE"),
        key("HKLM", STRAVO + r"\WriteSpeed", "T:"): dword(write),
        key("HKLM", STRAVO + r"\ReadSpeed", "T:"): dword(read),
        key("HKCU", CARACAL, "AssumedDataRate"): dword(rate),
        key("HKCU", CARACAL, "CapDrive"): sz("T:"),
        key("HKCU", VIDCAP, "WaveFormatBinary"): FORMAT,
    }, set()), "after the test"

    before = s.snapshot()
    dialog = s.start()
    assert s.item(dialog, 1)["text"] == "Fermeture"
    s.choose(dialog, 151, "(T:)")
    wait(lambda: s.item(dialog, 203)["text"] == "%d kB/s" % write)
    second = subprocess.Popen([WINE, s.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    assert second.wait(60) == 0 and len(s.find(up=NOBODY)) == 1, "a second instance stayed"
    s.click(s.item(dialog, 1))
    s.close()
    assert s.changes(before) == ({}, set()), "after the second start"


# A platform other than Windows 95 or NT is refused in the user's language.
def story_refused_platform(s):
    s.plant("win31", [("HKCU", SERVAL, "Language", "FRE")])
    before = s.snapshot()
    s.program = subprocess.Popen([WINE, s.args.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    assert s.box() == "Servez-vous de la version Windows 95/NT d'STRAVO"
    s.keys(None, "Return")
    s.close()
    assert s.changes(before) == ({}, set())


def arguments():  # the options, with the throttled drives mounted and linked
    parser = argparse.ArgumentParser()
    for option in ("exe", "probe", "throttlefs", "shots", "work", "k"):
        parser.add_argument("--" + option, default="")
    args = parser.parse_args()
    args.mounts = {}
    for drive, (write, read) in DRIVES.items():
        args.mounts[drive] = mount = os.path.join(args.work, drive)
        os.makedirs(mount, exist_ok=True)
        subprocess.Popen([args.throttlefs, mount, "-o", "write_kbs=%d,read_kbs=%d" % (write, read)])
        wait(lambda: os.path.ismount(mount), 10)
        link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(mount, link)
    subprocess.run(["wineserver", "-k"])  # Wine reads its drives when it starts
    subprocess.run(["wineserver", "-w"])
    return args


def unmount(args):
    for mount in args.mounts.values():
        subprocess.run(["fusermount3", "-u", mount], capture_output=True)


def main():
    args = arguments()
    probe, passed, failed = Probe(args.probe), 0, 0
    for story in (story_english_nt_two_drives, story_german_95_then_french, story_refused_platform):
        if args.k not in story.__name__:
            continue
        started, s = time.time(), Story(args, probe)
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
    probe.proc.stdin.close()
    unmount(args)
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
