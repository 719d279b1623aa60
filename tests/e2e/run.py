#!/usr/bin/env python3
"""End-to-end tests of stravo.exe under Wine and an X server: each case starts the
real program, drives it with real input and the probe, and checks what it shows
and leaves behind. Prints "e2e: N passed, N failed"; saves a screenshot per
failed case into --shots."""

import argparse
import os
import struct
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (APP_DEFAULTS, CASES, CAPTION, INTL_KEY, PRODUCT_KEY,  # noqa: E402
                     SERVAL_KEY, SC_MINIMIZE, WM_SYSCOMMAND, Program, Probe, case, click_at,
                     screenshot, send_keys, wait_for)


def pe_is_64_bit(path):
    """The machine field of a PE file's header: the registry view its program sees."""
    with open(path, "rb") as f:
        data = f.read(4096)
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, offset + 4)[0] == 0x8664


class Session:
    """What every case gets: the probe, the program path, and helpers over both."""

    def __init__(self, probe, exe, shots=None):
        self.probe = probe
        self.probe_exe = probe.exe
        self.exe = exe
        self.shots = shots  # where the cases save the pictures worth looking at
        self.view = "64" if pe_is_64_bit(exe) else "32"
        self.probe.call("view", self.view)
        self.programs = []

    def reset(self, country="1", language=None, version=None):
        p = self.probe
        p.reg_delete_tree("HKCU", PRODUCT_KEY)
        p.reg_delete_tree("HKCU", SERVAL_KEY)
        p.reg_set("HKCU", INTL_KEY, "iCountry", "sz", country)
        if language is not None:
            p.reg_set("HKCU", SERVAL_KEY, "Language", "sz", language)
        if version is None:
            p.reg_delete_value("HKCU", APP_DEFAULTS, "Version")
        else:
            p.reg_set("HKCU", APP_DEFAULTS, "Version", "sz", version)

    def start(self):
        program = Program(self.exe)
        self.programs.append(program)
        return program

    def dialogs(self, caption=CAPTION):
        return [w for w in self.probe.top_windows() if w.cls == "#32770" and w.text == caption]

    def main_dialog(self, timeout=15):
        found = wait_for(lambda: [w for w in self.dialogs() if w.owner == "0x0"], timeout)
        assert found, "the main dialog did not appear"
        return found[0]

    def owned_by(self, owner):
        return [w for w in self.probe.top_windows() if w.owner == owner.hwnd]

    def restart_wine(self):
        """Drive links and drive types are read when Wine starts: a new wineserver
        (of this run's prefix only) and a new probe."""
        self.stop_all()
        self.probe.close()
        subprocess.run(["wineserver", "-k"], check=False)
        subprocess.run(["wineserver", "-w"], check=False)
        self.probe = Probe(self.probe_exe)
        self.probe.call("view", self.view)

    def stop_all(self):
        for program in self.programs:
            program.kill()
        self.programs = []
        # Nothing of a case may linger into the next.
        wait_for(lambda: not self.dialogs(), 5)


LANGUAGES = {  # the Close button text tells the dialog apart
    "en": "Close", "de": "Schließen", "fr": "Fermeture",
}


@case
def language_follows_country_and_stored_choice(s):
    table = [  # iCountry, stored Language, expected
        ("1", None, "en"), ("49", None, "de"), ("43", None, "de"), ("41", None, "de"),
        ("33", None, "fr"), ("32", None, "fr"), ("44", None, "en"), ("0", None, "en"),
        ("49", "FRE", "fr"), ("33", "eng", "en"), ("1", "Ger", "de"),
        ("49", "xyz", "de"), ("33", "", "fr"),
    ]
    for country, language, expected in table:
        s.reset(country=country, language=language)
        program = s.start()
        dialog = s.main_dialog()
        close = s.probe.item(dialog.hwnd, 1)
        assert close.text == LANGUAGES[expected], (country, language, close.text)
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0, (country, language, "did not close")


@case
def second_instance_raises_the_first_and_exits(s):
    for minimise in (False, True):
        s.reset()
        first = s.start()
        dialog = s.main_dialog()
        if minimise:
            # Minimising before the dialog is active races with its own first show.
            assert wait_for(lambda: s.probe.foreground() == dialog.hwnd, 5)
            time.sleep(0.5)
            s.probe.post(dialog.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
            assert wait_for(lambda: s.probe.info(dialog.hwnd).iconic, 5), "did not minimise"
        second = s.start()
        assert second.wait(20) == 0, "the second instance did not exit with 0"
        assert len(s.dialogs()) == 1, "the second instance showed a window"
        again = s.probe.info(dialog.hwnd)
        assert again.visible and not again.iconic, "the first instance was not restored"
        assert s.probe.foreground() == dialog.hwnd, "the first instance was not raised"
        assert first.wait(0.5) is None, "the first instance ended"
        s.stop_all()


@case
def both_platforms_start_the_main_dialog(s):
    for version in ("win95", "nt40"):
        s.reset(version=version)
        program = s.start()
        dialog = s.main_dialog()
        assert dialog.visible and dialog.enabled, version
        assert not s.owned_by(dialog), "%s: a box came up at start" % version
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0, version


@case
def win32s_is_refused_with_a_stop_box(s):
    for country, text in (("1", "This version of vexoVIDEO STRAVO runs not under this "
                                "operating system"),
                          ("49", "Diese Version des vexoVIDEO STRAVO läuft nicht unter Ihrem "
                                 "Betriebssystem")):
        s.reset(country=country, version="win31")
        program = s.start()
        boxes = wait_for(lambda: s.dialogs(), 15)
        assert boxes, "no refusal box"
        box = s.probe.message_box(boxes[0].hwnd)
        assert box["caption"] == CAPTION, box
        assert box["text"] == text, box
        assert box["owner"] == "0x0", box
        assert box["icon"] == "stop", box
        assert list(box["buttons"]) == [1], box
        s.probe.command(boxes[0].hwnd, 1)
        assert program.wait(15) == 0, "the refused program did not exit with 0"
        assert not s.dialogs(), "a window remained after the refusal"


@case
def close_button_and_alt_f4_end_the_program_escape_does_not(s):
    s.reset()
    program = s.start()
    dialog = s.main_dialog()
    send_keys(CAPTION, "Escape")
    time.sleep(0.5)
    assert program.wait(0.5) is None, "Escape closed the main dialog"
    assert s.probe.info(dialog.hwnd).visible
    send_keys(CAPTION, "alt+F4")
    assert program.wait(15) == 0, "Alt+F4 did not end the program with 0"

    s.reset()
    program = s.start()
    dialog = s.main_dialog()
    click_at(*s.probe.item(dialog.hwnd, 1).centre())
    assert program.wait(15) == 0, "the Close button did not end the program with 0"


@case
def program_icon_opens_the_about_box(s):
    s.reset(country="49")
    program = s.start()
    dialog = s.main_dialog()
    icon = s.probe.item(dialog.hwnd, 101)
    assert icon and icon.visible, "no program icon"
    click_at(*icon.centre())
    about = wait_for(lambda: s.owned_by(dialog), 10)
    assert about, "a click on the icon opened nothing"
    assert not s.probe.info(dialog.hwnd).enabled, "the about box is not modal"
    texts = [c.text for c in s.probe.children(about[0].hwnd)]
    assert "&Schließen" in texts, texts
    button = [c for c in s.probe.children(about[0].hwnd) if c.text == "&Schließen"][0]
    click_at(*button.centre())
    assert wait_for(lambda: not s.owned_by(dialog), 10), "the about box did not close"
    assert s.probe.info(dialog.hwnd).enabled
    assert program.wait(0.3) is None, "closing the about box ended the program"
    s.probe.command(dialog.hwnd, 1)
    assert program.wait(15) == 0


import main_dialog_cases  # noqa: E402,F401  (registers its cases after these)
import disk_test_cases  # noqa: E402,F401
import result_cases  # noqa: E402,F401
import graph_cases  # noqa: E402,F401
import logo_cases  # noqa: E402,F401
import session_cases  # noqa: E402,F401
import hostile_registry_cases  # noqa: E402,F401
import guide_cases  # noqa: E402,F401
import endurance_cases  # noqa: E402,F401


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--throttlefs", default="", help="the throttled drive tool")
    parser.add_argument("-k", default="", help="run only the cases whose name has this")
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    probe = Probe(args.probe)
    session = Session(probe, args.exe, args.shots)
    session.throttlefs = args.throttlefs
    passed = failed = skipped = 0
    try:
        for function in CASES:
            if args.k not in function.__name__:
                continue
            started = time.time()
            try:
                function(session)
                passed += 1
                print("PASS %s (%.1f s)" % (function.__name__, time.time() - started))
            except disk_test_cases.Skip as reason:
                skipped += 1
                print("SKIP %s: %s" % (function.__name__, reason))
            except Exception:
                failed += 1
                shot = os.path.join(args.shots, function.__name__ + ".png")
                screenshot(shot)
                print("FAIL %s: screenshot %s" % (function.__name__, shot))
                traceback.print_exc(file=sys.stdout)
            finally:
                session.stop_all()
    finally:
        session.reset()
        session.probe.close()
    if skipped:
        print("e2e: %d skipped" % skipped)
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
