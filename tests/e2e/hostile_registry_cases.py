"""End-to-end cases over hostile registry state: whole sets of values of the wrong
type, texts that do not end inside the reader's buffer or overrun it, keys where
values belong and values where keys belong, planted at once on both platforms.
The real program must start without a box, show what the store's rules and the
defaults make of them, run a short test on C: and end with 0. Everything planted
is removed afterwards."""

import os

from disk_test_cases import CARACAL
from harness import BM_GETCHECK, INTL_KEY, PRODUCT_KEY, SERVAL_KEY, WM_COMMAND, case, wait_for
from main_dialog_cases import PUMA, VIDCAP, c_drive_file, enabled
from result_cases import SYSINFO_TITLE

REG_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 3, 4, 7
VENDOR = r"Software\vexo Computer Products"
BOARDS = r"Software\vexo"
CLOSE = {"en": "Close", "de": "Schließen", "fr": "Fermeture"}


def sz(text, terminated=True):
    """A registry text as the probe stores it: UTF-16, with or without its zero."""
    return text.encode("utf-16-le") + (b"\0\0" if terminated else b"")


def multi_sz(*texts):
    return b"".join(sz(t) for t in texts) + b"\0\0"


def dword(value):
    return value.to_bytes(4, "little")


def plants(version, usable):
    """(root, path, value name, type, bytes): usable=False plants values that no
    read may take, so every default shows; usable=True plants values of the wrong
    type or form that the rules still take, with the odd figures they give."""
    nt = version == "nt40"
    if not usable:
        common = [
            ("HKCU", INTL_KEY, "iCountry", REG_SZ, sz("33abc")),  # digits up to the letters: France
            ("HKCU", SERVAL_KEY, "Language", REG_SZ, sz("GER" + "x" * 253, terminated=False)),
            ("HKCU", SERVAL_KEY, "Logo", REG_SZ, sz("NOSUCH.DIB" + "x" * 70, terminated=False)),
            ("HKCU", VIDCAP, "WaveFormatBinary", REG_MULTI_SZ, multi_sz("abc")),
            ("HKCU", VIDCAP, "CaptureAudio", REG_SZ, sz("0")),
            ("HKCU", VIDCAP, "MicroSecPerFrame", REG_BINARY, dword(40000)),
            ("HKLM", PRODUCT_KEY + r"\WriteSpeed", "C:", REG_SZ, sz("4800")),  # five bytes
            ("HKLM", PRODUCT_KEY + r"\ReadSpeed\C:", "", REG_DWORD, dword(4800)),  # a key, no value
        ]
        if nt:
            return common + [("HKLM", PRODUCT_KEY + r"\ActBoard", "", REG_DWORD, dword(2))]
        return common + [
            ("HKCU", SERVAL_KEY, "EditingBoard", REG_SZ, sz("vexoVIDEO Margay" + "x" * 24, terminated=False)),
            ("HKLM", PUMA, "WriteToMem", REG_SZ, sz("5000")),  # five bytes, not four
        ]
    common = [
        # The profile reader takes texts only: English and PAL/SECAM, hidden here by
        # the language and the frame time; what counts is that the start goes on.
        ("HKCU", INTL_KEY, "iCountry", REG_DWORD, dword(49)),
        ("HKCU", SERVAL_KEY, "Language", REG_MULTI_SZ, multi_sz("ger", "FRE")),
        ("HKCU", SERVAL_KEY, "Logo", REG_BINARY, b"NOSUCH.DIB"),  # taken as a name: no file
        ("HKCU", VIDCAP, "WaveFormatBinary", REG_BINARY, bytes.fromhex("01000100")),  # mono, rest kept
        ("HKCU", VIDCAP, "CaptureAudio", REG_DWORD, dword(7)),
        ("HKCU", VIDCAP, "MicroSecPerFrame", REG_DWORD, dword(40000)),
        ("HKLM", PRODUCT_KEY + r"\WriteSpeed", "C:", REG_BINARY, dword(4800)),
        ("HKLM", PRODUCT_KEY + r"\ReadSpeed", "C:", REG_SZ, sz("960")),  # "960" and zero: 0x00303639
        ("HKCU", CARACAL, "AssumedDataRate", REG_SZ, sz("200")),  # four bytes: a reference exists
    ]
    if nt:
        return common + [
            ("HKLM", PRODUCT_KEY + r"\ActBoard", "", REG_MULTI_SZ, multi_sz("vexoVIDEO Puma", "vexoVIDEO Lynx")),
            # The decimal rule over the bytes 88 13 of 5000: 851; over "12ab": 1740.
            ("HKCU", BOARDS + r"\Puma\PumaToMemory", "", REG_DWORD, dword(5000)),
            ("HKCU", BOARDS + r"\Puma\MemoryToPuma", "", REG_SZ, sz("12ab")),
        ]
    return common + [
        ("HKCU", SERVAL_KEY, "EditingBoard", REG_MULTI_SZ, multi_sz("vexoVIDEO Margay", "vexoVIDEO Ocelot")),
    ]


# What each set must show: language, logo loaded, checked buttons, board buttons
# locked to the detected one, the text of 400, the stored rate texts (None: hidden),
# the close prompt, the system information memory field (None: not looked at).
EXPECTED = {
    ("nt40", False): ("fr", True, (401, 184, 411, 413, 417, 418), False, "vexoVIDEO Lynx/Margay", None,
                      False, None),
    ("win95", False): ("fr", True, (402, 184, 411, 413, 417, 418), False, "vexoVIDEO Lynx/Margay", None,
                       False, None),
    ("nt40", True): ("de", False, (401, 183, 411, 412, 417, 418), True, "vexoVIDEO Lynx/Margay",
                     ("4800 kB/s", "3159609 kB/s"), True, "851"),
    ("win95", True): ("de", False, (400, 183, 411, 412, 417, 418), True, "vexoVIDEO Margay",
                      ("4800 kB/s", "3159609 kB/s"), True, None),
}


def remove_plants(s):
    """Session.reset clears the program's own user keys and sets the country; the
    rest of what was planted goes here."""
    s.probe.reg_delete_tree("HKLM", VENDOR)
    s.probe.reg_delete_tree("HKCU", VENDOR)
    s.probe.reg_delete_tree("HKCU", BOARDS)
    s.probe.reg_delete_tree("HKCU", VIDCAP)


def rate_texts(s, dialog):
    if not s.probe.item(dialog.hwnd, 203).visible:
        return None
    return tuple(s.probe.item(dialog.hwnd, cid).text for cid in (203, 204))


def check_start(s, dialog, version, usable, faults):
    language, logo, checked, locked, text400, rates, _, memory = EXPECTED[(version, usable)]
    where = "%s %s" % (version, "usable" if usable else "unusable")
    probe = s.probe
    if len(s.dialogs()) != 1 or s.owned_by(dialog):
        faults.append("%s: a box came up at start" % where)
    if probe.item(dialog.hwnd, 1).text != CLOSE[language]:
        faults.append("%s: not in %s" % (where, language))
    panel = probe.item(dialog.hwnd, 100)
    if panel.visible == logo or (not logo and dialog.rect[2] != panel.rect[0]):
        faults.append("%s: logo shown %s, panel %s, dialog %s" % (where, not panel.visible, panel.rect,
                                                                  dialog.rect))
    for cid in checked:
        if probe.send(probe.item(dialog.hwnd, cid).hwnd, BM_GETCHECK) != 1:
            faults.append("%s: %d not checked" % (where, cid))
    others = [cid for cid in (400, 401, 402) if cid not in checked]
    if any(enabled(s, dialog, cid) == locked for cid in others):
        faults.append("%s: board buttons %s not %s" % (where, others, "locked" if locked else "free"))
    if probe.item(dialog.hwnd, 400).text != text400:
        faults.append("%s: 400 reads %r" % (where, probe.item(dialog.hwnd, 400).text))
    if not wait_for(lambda: rate_texts(s, dialog) == rates, 5):  # set by the first paint
        faults.append("%s: stored rates show %s" % (where, rate_texts(s, dialog)))
    if memory:
        probe.command(dialog.hwnd, 174)
        found = wait_for(lambda: [w for w in s.owned_by(dialog) if w.text == SYSINFO_TITLE[language]], 15)
        if not found:
            faults.append("%s: no system information dialog" % where)
            return
        if probe.item(found[0].hwnd, 210).text != memory:
            faults.append("%s: memory field %r" % (where, probe.item(found[0].hwnd, 210).text))
        probe.command(found[0].hwnd, 1)
        wait_for(lambda: not s.owned_by(dialog), 10)


def test_and_close(s, dialog, program, version, usable, faults):
    prompt = EXPECTED[(version, usable)][6]
    where = "%s %s" % (version, "usable" if usable else "unusable")
    s.probe.post(dialog.hwnd, WM_COMMAND, 171, 0)
    if not wait_for(lambda: enabled(s, dialog, 172), 60):
        faults.append("%s: the test on C: did not finish" % where)
        return
    s.probe.post(dialog.hwnd, WM_COMMAND, 1, 0)
    if prompt:  # the four-byte text under AssumedDataRate counts as a stored reference
        boxes = wait_for(lambda: s.owned_by(dialog), 10)
        if not boxes or sorted(s.probe.message_box(boxes[0].hwnd)["buttons"]) != [2, 6, 7]:
            faults.append("%s: no store prompt" % where)
            return
        s.probe.command(boxes[0].hwnd, 7)
    if program.wait(30) != 0:
        faults.append("%s: did not end with 0" % where)
        return
    if os.path.exists(c_drive_file()):
        faults.append("%s: the test file was left on C:" % where)
    if prompt and s.probe.reg_get("HKCU", CARACAL, "AssumedDataRate") != ("sz", "200"):
        faults.append("%s: No stored a reference over the planted one" % where)
    write = s.probe.reg_get("HKLM", PRODUCT_KEY + r"\WriteSpeed", "C:")
    if not write or write[0] != "dword":
        faults.append("%s: the measured write rate was not stored over the planted one: %s" % (where, write))


@case
def hostile_registry_values_leave_the_program_on_its_defaults(s):
    faults = []
    try:
        for version in ("nt40", "win95"):
            for usable in (False, True):
                remove_plants(s)
                s.reset(version=version)
                for root, path, name, kind, data in plants(version, usable):
                    s.probe.reg_set(root, path, name, kind, data.hex())
                program = s.start()
                dialog = s.main_dialog()
                check_start(s, dialog, version, usable, faults)
                test_and_close(s, dialog, program, version, usable, faults)
                s.stop_all()
                if version == "nt40":
                    last = s.probe.reg_get("HKLM", PRODUCT_KEY + r"\LastBoard", "")
                    if last != ("sz", "vexoVIDEO Puma" if usable else "none"):
                        faults.append("nt40 %s: LastBoard %s" % (usable, last))
    finally:
        remove_plants(s)
        s.reset()
    assert not faults, "\n".join(faults)
