#!/usr/bin/env python3
"""Tests of the packages of the 32-bit stravo.exe under Wine and an X server: the
portable ZIP unpacked into a folder of the prefix and started from there, the
installer run silently into a given folder and into the default one, the program
started from its Start-menu shortcut, and the uninstaller, which must take away
everything the installer put down and leave the values of the user and of the
capture software alone. Prints "package: N passed, N failed"; saves a
screenshot per failed case into --shots.

Expects DISPLAY, WINEPREFIX and WINEDEBUG to be set by the caller."""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(TOP, "tests", "e2e"))
from harness import (CASES, CAPTION, PRODUCT_KEY, SERVAL_KEY, Probe, Program,  # noqa: E402
                     case, screenshot, wait_for)

PRODUCT = "vexoVIDEO STRAVO"
MAKER = "vexo Computer Products"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall" + "\\" + PRODUCT
VIDCAP_KEY = r"Software\Microsoft\Multimedia Tools\VidCap"
SHELL_FOLDERS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
WINDOWS_VERSION = r"Software\Microsoft\Windows\CurrentVersion"
SHORTCUT = PRODUCT + ".lnk"
INSTALLED = {"stravo.exe", "VEXOLOGO.DIB", "uninstall.exe"}
# The folder of the prefix where the tests unpack and keep their copies; a path
# without spaces, so that command lines through cmd need no quotes.
WORK = r"C:\stravo-package-test"
REFUSED = 2  # the exit code of an installer or uninstaller that refuses to run

# Every key a package test writes into, or the program writes into when it starts,
# from the first one that may not have been there: saved before the tests and put
# back after them, so that no empty parent stays behind either.
TOUCHED_KEYS = [
    ("HKCU", r"Software\vexo Computer Products"), ("HKLM", r"Software\vexo Computer Products"),
    ("HKCU", r"Software\Microsoft\Multimedia Tools"), ("HKLM", UNINSTALL_KEY),
]

# Values of the user and of the capture software that an uninstaller must keep.
PLANTED = [
    ("HKCU", PRODUCT_KEY, "AssumedDataRate", "dword", 4321),
    ("HKCU", SERVAL_KEY, "Language", "sz", "GER"),
    ("HKLM", PRODUCT_KEY + r"\WriteSpeed", "C:", "dword", 12345),
    ("HKLM", PRODUCT_KEY + r"\ReadSpeed", "C:", "dword", 23456),
    ("HKCU", VIDCAP_KEY, "MicroSecPerFrame", "dword", 40000),
]


def file_version():
    """FILEVERSION of the version block, the version the packages are named by."""
    with open(os.path.join(TOP, "resources", "version.rc"), encoding="utf-8") as f:
        m = re.search(r"^FILEVERSION\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", f.read(), re.M)
    assert m, "no FILEVERSION in resources/version.rc"
    return ".".join(m.groups())


def pe_machine(data):
    return struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]


def unix_path(windows_path):
    r = subprocess.run(["winepath", "-u", windows_path], capture_output=True, text=True, timeout=60)
    return r.stdout.strip()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def wine_command(line, timeout=120):
    """A command line as cmd hands it on, unquoted: /D= and _?= must stand last
    and bare, and Wine would quote an argument with spaces."""
    r = subprocess.run(["wine", "cmd", "/c", line], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return r.returncode


class Registry:
    """The probe in the 32-bit view, as the program and its installer see it, and
    reg.exe to save and put back whole keys."""

    def __init__(self, probe):
        self.probe = probe
        probe.call("view", "32")
        self.saved = {}

    def get(self, root, path, name):
        return self.probe.reg_get(root, path, name)

    def save(self, keys, directory):
        for root, path in keys:
            name = os.path.join(directory, "%s-%d.reg" % (root, len(self.saved)))
            r = subprocess.run(["wine", "reg", "export", "%s\\%s" % (root, path), name,
                                "/reg:32", "/y"], capture_output=True, timeout=60)
            self.saved[(root, path)] = name if r.returncode == 0 else None

    def restore(self):
        for (root, path), name in self.saved.items():
            self.probe.reg_delete_tree(root, path)
            if name:
                subprocess.run(["wine", "reg", "import", name, "/reg:32"],
                               capture_output=True, timeout=60)


class Context:
    def __init__(self, probe, registry, zip_file, setup_file, exe, logo, shots):
        self.probe = probe
        self.registry = registry
        self.zip_file = zip_file
        self.setup_file = setup_file
        self.exe = exe
        self.logo = logo
        self.shots = shots
        self.programs = []
        self.work = unix_path(WORK)

    def start(self, exe, args=()):
        program = Program(exe, args)
        self.programs.append(program)
        return program

    def stop_all(self):
        for program in self.programs:
            program.kill()
        self.programs = []
        wait_for(lambda: not self.dialogs(), 5)

    def dialogs(self):
        return [w for w in self.probe.top_windows() if w.cls == "#32770" and w.text == CAPTION]

    def main_dialog(self, timeout=20):
        found = wait_for(lambda: [w for w in self.dialogs() if w.owner == "0x0" and w.visible],
                         timeout)
        assert found, "the main dialog did not appear"
        return found[0]

    def fresh_work(self):
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)

    def default_folder(self):
        kind, programs = self.registry.get("HKLM", WINDOWS_VERSION, "ProgramFilesDir")
        return "%s\\%s\\%s" % (programs, MAKER, PRODUCT)

    def start_menu(self):
        """The Start menu of all users, where the installer puts the shortcut."""
        kind, folder = self.registry.get("HKLM", SHELL_FOLDERS, "Common Programs")
        return folder

    def install(self, folder=None):
        """The installer run silently from a copy in the work folder; folder None:
        its default."""
        shutil.copyfile(self.setup_file, os.path.join(self.work, "setup.exe"))
        line = WORK + r"\setup.exe /S"
        if folder:
            line += " /D=" + folder
        return wine_command(line)

    def uninstall(self, folder):
        """The uninstaller the Add/Remove entry names, run silently the way that
        can be waited for: an uninstaller started in place copies itself away,
        starts the copy and ends at once. With _?= it runs where it is, so it runs
        from a copy of our own."""
        kind, command = self.registry.get("HKLM", UNINSTALL_KEY, "UninstallString")
        uninstaller = unix_path(command.strip('"'))
        shutil.copyfile(uninstaller, os.path.join(self.work, "uninstall-copy.exe"))
        return wine_command(WORK + r"\uninstall-copy.exe /S _?=" + folder)

    def remove_installation(self, folder):
        """Whatever an installation left, taken away without its uninstaller."""
        shutil.rmtree(unix_path(folder), ignore_errors=True)
        maker = unix_path(self.default_folder().rsplit("\\", 1)[0])
        if os.path.isdir(maker) and not os.listdir(maker):
            os.rmdir(maker)
        link = unix_path(self.start_menu() + "\\" + SHORTCUT)
        if os.path.exists(link):
            os.remove(link)
        self.probe.reg_delete_tree("HKLM", UNINSTALL_KEY)


def shows_logo(c, dialog):
    """The dialog reaches past the logo panel's left edge only when it shows a logo:
    without one it ends where the panel starts."""
    panel = c.probe.item(dialog.hwnd, 100)
    assert panel, "no logo panel"
    return c.probe.info(dialog.hwnd).rect[2] > panel.rect[0]


def run_and_close(c, program):
    """The main dialog of a started program: whether it shows the logo, and the
    program's exit code after its Close button."""
    dialog = c.main_dialog()
    time.sleep(0.5)
    logo = shows_logo(c, dialog)
    c.probe.command(dialog.hwnd, 1)
    return logo, program.wait(20)


@case
def the_zip_holds_the_program_its_logo_and_the_readme(c):
    version = file_version()
    assert os.path.basename(c.zip_file) == "stravo-%s.zip" % version, c.zip_file
    with zipfile.ZipFile(c.zip_file) as z:
        assert sorted(z.namelist()) == ["README.TXT", "VEXOLOGO.DIB", "stravo.exe"], z.namelist()
        exe, logo, readme = z.read("stravo.exe"), z.read("VEXOLOGO.DIB"), z.read("README.TXT")
    assert exe == read(c.exe), "stravo.exe is not the one built"
    assert pe_machine(exe) == 0x14C, "stravo.exe is not the 32-bit program"
    assert logo == read(c.logo), "VEXOLOGO.DIB is not the one built"
    text = readme.decode("ascii")
    assert "\n" not in text.replace("\r\n", ""), "README.TXT has line ends other than CRLF"
    assert version in text and "@" not in text, "README.TXT does not name the version"


@case
def the_unpacked_zip_starts_from_its_folder_with_the_logo_beside_it(c):
    table = [  # what is unpacked, whether the dialog shows the logo
        (["stravo.exe", "VEXOLOGO.DIB", "README.TXT"], True),
        (["stravo.exe"], False),  # proves that the logo came from the folder
    ]
    faults = []
    for members, logo in table:
        c.fresh_work()
        folder = os.path.join(c.work, "portable")
        with zipfile.ZipFile(c.zip_file) as z:
            z.extractall(folder, members)
        program = c.start(os.path.join(folder, "stravo.exe"))
        shown, code = run_and_close(c, program)
        if shown != logo:
            faults.append("%s: logo shown %s, expected %s" % (members, shown, logo))
        if code != 0:
            faults.append("%s: exit code %s" % (members, code))
        c.stop_all()
    assert not faults, "\n".join(faults)


@case
def silent_install_runs_from_its_shortcut_and_uninstalls_keeping_the_users_values(c):
    table = [  # /D= folder (None: the default), where the files must go
        (r"C:\STRAVO Test\Video Tools", r"C:\STRAVO Test\Video Tools"),
        (None, c.default_folder()),
    ]
    for given, folder in table:
        c.fresh_work()
        try:
            check_install_and_uninstall(c, given, folder)
        finally:
            c.stop_all()
            c.remove_installation(folder)
            shutil.rmtree(unix_path(r"C:\STRAVO Test"), ignore_errors=True)
            for root, path, name, kind, value in PLANTED:
                c.probe.reg_delete_value(root, path, name)


def check_install_and_uninstall(c, given, folder):
    where = given or "the default folder"
    assert c.install(given) == 0, "%s: the installer failed" % where
    files = unix_path(folder)
    assert os.path.isdir(files), "%s: nothing in %s" % (where, folder)
    assert set(os.listdir(files)) == INSTALLED, (where, os.listdir(files))
    assert read(os.path.join(files, "stravo.exe")) == read(c.exe), where
    assert read(os.path.join(files, "VEXOLOGO.DIB")) == read(c.logo), where
    link = c.start_menu() + "\\" + SHORTCUT
    assert os.path.isfile(unix_path(link)), "%s: no shortcut %s" % (where, link)
    entry = {name: c.registry.get("HKLM", UNINSTALL_KEY, name)
             for name in ("DisplayName", "Publisher", "InstallLocation", "UninstallString")}
    assert entry == {"DisplayName": ("sz", PRODUCT), "Publisher": ("sz", MAKER),
                     "InstallLocation": ("sz", folder),
                     "UninstallString": ("sz", '"%s\\uninstall.exe"' % folder)}, entry

    # The shortcut as the Start menu opens it: the program from its folder.
    program = c.start("start", ["/wait", link])
    shown, code = run_and_close(c, program)
    assert shown, "%s: started from the shortcut, the program shows no logo" % where
    assert code == 0, "%s: exit code %s" % (where, code)
    c.stop_all()

    for root, path, name, kind, value in PLANTED:
        c.probe.reg_set(root, path, name, kind, value)
    assert c.uninstall(folder) == 0, "%s: the uninstaller failed" % where
    assert not os.path.exists(files), "%s: left %s" % (where, os.listdir(files))
    maker = unix_path(c.default_folder().rsplit("\\", 1)[0])
    assert not os.path.exists(maker), "%s: left the maker's folder" % where
    assert not os.path.exists(unix_path(link)), "%s: left the shortcut" % where
    assert c.registry.get("HKLM", UNINSTALL_KEY, "DisplayName") is None, \
        "%s: left the Add/Remove entry" % where
    changed = [(root, path, name, c.registry.get(root, path, name))
               for root, path, name, kind, value in PLANTED
               if c.registry.get(root, path, name) != (kind, value)]
    assert not changed, "%s: the uninstaller changed %s" % (where, changed)


@case
def installer_and_uninstaller_refuse_while_the_program_runs(c):
    folder = r"C:\STRAVO Running"
    other = r"C:\STRAVO Elsewhere"
    c.fresh_work()
    try:
        assert c.install(folder) == 0, "the installer failed"
        program = c.start(unix_path(folder + r"\stravo.exe"))
        c.main_dialog()
        table = [  # what is run, what must be as before
            ("installer", lambda: c.install(other)),
            ("uninstaller", lambda: c.uninstall(folder)),
        ]
        faults = []
        for what, run in table:
            code = run()
            if code != REFUSED:
                faults.append("%s: exit code %s while the program runs" % (what, code))
            if os.path.exists(unix_path(other)):
                faults.append("%s: installed beside the running program" % what)
            if set(os.listdir(unix_path(folder))) != INSTALLED:
                faults.append("%s: the installed files changed" % what)
            if c.registry.get("HKLM", UNINSTALL_KEY, "DisplayName") is None:
                faults.append("%s: the Add/Remove entry went" % what)
        assert program.wait(0.5) is None, "the program ended"
        c.stop_all()
        # Once the program is closed, the same uninstaller runs.
        assert c.uninstall(folder) == 0, "the uninstaller failed after the program ended"
        assert not os.path.exists(unix_path(folder)), "the uninstaller left the folder"
        assert not faults, "\n".join(faults)
    finally:
        c.stop_all()
        c.remove_installation(folder)
        shutil.rmtree(unix_path(other), ignore_errors=True)


def main():
    version = file_version()
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", default=os.path.join(TOP, "build", "package",
                                                      "stravo-%s.zip" % version))
    parser.add_argument("--setup", default=os.path.join(TOP, "build", "package",
                                                        "stravo-%s-setup.exe" % version))
    parser.add_argument("--exe", default=os.path.join(TOP, "build", "i686", "stravo.exe"))
    parser.add_argument("--logo", default=os.path.join(TOP, "build", "i686", "VEXOLOGO.DIB"))
    parser.add_argument("--probe", default=os.path.join(TOP, "build", "i686", "tests", "e2e",
                                                        "winprobe.exe"))
    parser.add_argument("--shots", default=os.path.join(TOP, "build", "package-shots"))
    parser.add_argument("-k", default="", help="run only the cases whose name has this")
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    probe = Probe(args.probe)
    registry = Registry(probe)
    saved = tempfile.mkdtemp(prefix="stravo-package-reg.")
    registry.save(TOUCHED_KEYS, saved)
    # A logo named in the registry comes before the one beside the program.
    probe.reg_delete_value("HKCU", SERVAL_KEY, "Logo")
    c = Context(probe, registry, args.zip, args.setup, args.exe, args.logo, args.shots)
    passed = failed = 0
    try:
        for function in CASES:
            if args.k not in function.__name__:
                continue
            started = time.time()
            try:
                function(c)
                passed += 1
                print("PASS %s (%.1f s)" % (function.__name__, time.time() - started))
            except Exception:
                failed += 1
                shot = os.path.join(args.shots, function.__name__ + ".png")
                screenshot(shot)
                print("FAIL %s: screenshot %s" % (function.__name__, shot))
                traceback.print_exc(file=sys.stdout)
            finally:
                c.stop_all()
    finally:
        shutil.rmtree(c.work, ignore_errors=True)
        registry.restore()
        probe.close()
        shutil.rmtree(saved, ignore_errors=True)
    print("package: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
