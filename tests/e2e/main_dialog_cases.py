"""End-to-end cases of the main dialog: its layout in three languages, its panel
rules, its board buttons per platform, its drive list on the prefix's drives and
its about box."""

import os
import re
import subprocess
import time

from harness import (BM_GETCHECK, CAPTION, PRODUCT_KEY, case, click_at, screenshot,  # noqa: F401
                     send_keys, wait_for)

WS_GROUP, WS_TABSTOP = 0x20000, 0x10000
CB_SHOWDROPDOWN = 0x014F

# Kinds: the class and the low style bits that tell them apart.
KINDS = {
    "push": ("Button", 0xF, 0), "default": ("Button", 0xF, 1),
    "check": ("Button", 0xF, 3), "radio": ("Button", 0xF, 9), "groupbox": ("Button", 0xF, 7),
    "left": ("Static", 0x1F, 0), "centre": ("Static", 0x1F, 1), "right": ("Static", 0x1F, 2),
    "icon": ("Static", 0x1F, 3), "black": ("Static", 0x1F, 7), "grey": ("Static", 0x1F, 8),
    "list": ("ComboBox", 0x3, 3),
}
TAB_KINDS = {"push", "default", "check", "radio", "list"}

# The main dialog's controls in tab order, for the English and German templates:
# ID (None: a label with ID -1, found by its English text), kind, starts a group,
# x, y, width, height, and the texts in English, German and French (None: not
# fixed by the template; one text: the same in all three).
MAIN = [
    (100, "grey", False, (209, 8, 150, 276), None),
    (1, "push", False, (152, 9, 52, 14), ("Close", "Schließen", "Fermeture")),
    (170, "push", False, (152, 28, 52, 14), ("&Help", "&Hilfe", "&Aide")),
    (101, "icon", False, (168, 50, 18, 20), None),
    (174, "push", False, (152, 77, 52, 14), ("&More...", "&Mehr...", "En&core...")),
    (171, "default", False, (152, 96, 52, 14), ("S&tart test", "&Test starten", "Lancement du &test")),
    (187, "push", False, (152, 115, 52, 14), ("&Graphic", "&Grafik", "&Graphique")),
    (172, "push", False, (151, 134, 52, 14), ("&Store", "&Speichern", "&Enregistrer")),
    (182, "groupbox", False, (5, 5, 141, 57), ("Test Result", "Analyse-Ergebnis", "Résultat d'analyse")),
    (None, "left", True, (10, 19, 37, 10), ("Format:", "Bildformat:", "Format  d'image:")),
    (154, "centre", False, (50, 19, 28, 10), None),
    (155, "centre", False, (82, 19, 28, 10), None),
    (156, "centre", False, (114, 19, 28, 10), None),
    (None, "left", True, (10, 33, 49, 10), ("Compression:", "Kompression:", "Compression:")),
    (157, "centre", False, (57, 33, 18, 10), None),
    (158, "centre", False, (87, 33, 20, 10), None),
    (159, "centre", False, (120, 33, 20, 10), None),
    (None, "left", True, (10, 47, 96, 10), ("Available video datarate:", "Erreichbare Video Datenrate:",
                                            "Taux de données vidéo possible:")),
    (153, "right", True, (108, 47, 34, 10), None),
    (None, "groupbox", False, (5, 65, 141, 83), ("Harddisk Speed", "Festplatten Geschwindigkeit",
                                                 "Vitesse du disque dur")),
    (151, "list", False, (11, 78, 130, 51), None),
    (None, "left", True, (10, 94, 36, 10), ("Write:", "Schreiben:", "Ecriture:")),
    (None, "left", True, (10, 119, 36, 10), ("Read:", "Lesen:", "Lecture:")),
    (203, "left", True, (106, 106, 35, 8), None),
    (204, "left", True, (106, 131, 35, 8), None),
    (201, "black", False, (11, 105, 90, 11), None),
    (200, "black", False, (11, 130, 90, 11), None),
    (None, "groupbox", False, (5, 151, 198, 45), ("Video Settings", "Videoeinstellung", "Réglage vidéo")),
    (183, "radio", True, (11, 160, 54, 10), ("PAL/SECAM",)),
    (184, "radio", False, (11, 170, 54, 10), ("NTSC",)),
    (419, "check", True, (11, 180, 58, 10), ("TV Cropping", "TV Ausschnitt", "Section TV")),
    (402, "radio", True, (71, 160, 130, 10), ("vexoVIDEO Ocelot",)),
    (401, "radio", False, (71, 170, 130, 10), ("vexoVIDEO Puma",)),
    (400, "radio", False, (71, 180, 130, 10), ("vexoVIDEO Lynx/Margay",)),
    (None, "groupbox", False, (5, 199, 198, 84), ("Audio Settings", "Audioeinstellung", "Réglage audio")),
    (418, "check", False, (11, 214, 160, 10), ("Audio recording", "Audioaufzeichnung", "Enregistrement audio")),
    (409, "radio", True, (11, 227, 54, 10), ("11,025 kHz",)),
    (410, "radio", False, (11, 237, 54, 10), ("22,050 kHz",)),
    (411, "radio", False, (11, 247, 54, 10), ("44,100 kHz",)),
    (412, "radio", True, (76, 227, 37, 10), ("Mono",)),
    (413, "radio", False, (76, 237, 37, 10), ("Stereo", "Stereo", "Stéréo")),
    (416, "radio", True, (127, 227, 71, 10), ("8 Bit sampling", "8 Bit Sampling", "Echantillonnage 8 bits")),
    (417, "radio", False, (127, 237, 72, 10), ("16 Bit sampling", "16 Bit Sampling", "Echantillonnage 16 bits")),
    (420, "left", True, (11, 268, 57, 11), ("Audio cardtype:", "Audio Kartentyp:", "Type de carte audio:")),
    (414, "radio", True, (76, 268, 45, 10), ("8 Bit DMA",)),
    (415, "radio", False, (127, 268, 47, 10), ("16 Bit DMA", "16 Bit DMA", "DMA 16 bits")),
    (421, "left", True, (11, 268, 187, 11), ("Automatic audio/video synchronization",
                                            "Automatische Audio/Video Synchronisation",
                                            "Synchronisation audio/video automatique")),
]
SIZES = {"en": (365, 290), "de": (365, 290), "fr": (383, 290)}
GERMAN = {172: (152, 134, 52, 14)}
FRENCH = {  # by ID, or by the English text of a label
    100: (227, 8, 150, 276), 1: (151, 9, 70, 14), 170: (151, 28, 70, 14), 174: (151, 77, 70, 14),
    171: (151, 96, 70, 14), 187: (151, 115, 70, 14), 172: (151, 134, 70, 14), 101: (177, 50, 18, 20),
    "Format:": (10, 16, 37, 17), "Available video datarate:": (10, 43, 63, 16),
    184: (11, 170, 30, 10), "Video Settings": (5, 151, 216, 45), "Audio Settings": (5, 199, 216, 84),
    416: (127, 227, 92, 10), 417: (127, 237, 92, 10), 420: (11, 266, 45, 17), 421: (11, 268, 187, 12),
}
COUNTRY = {"en": "1", "de": "49", "fr": "33"}
LANGUAGE_INDEX = {"en": 0, "de": 1, "fr": 2}


def mul_div(a, b, c):
    return (a * b + c // 2) // c


def to_pixels(rect, units):
    x, y, w, h = rect
    bx, by = units
    # As the dialog manager maps a template: each figure on its own.
    return mul_div(x, bx, 4), mul_div(y, by, 8), mul_div(w, bx, 4), mul_div(h, by, 8)


def text_of(texts, language):
    if texts is None:
        return None
    return texts[0] if len(texts) == 1 else texts[LANGUAGE_INDEX[language]]


def open_dialog(s, language, fresh=True, **reset):
    """Starts the program in a language; fresh resets its settings first."""
    if fresh:
        s.reset(country=COUNTRY[language], **reset)
    program = s.start()
    return program, s.main_dialog()


def check_layout(s, dialog, language):
    """Every control of the table, in tab order, with its kind, groups, tab stops,
    text and rectangle; returns a list of faults."""
    units = s.probe.units()
    cx, cy, cw, ch = s.probe.client(dialog.hwnd)
    children = s.probe.children(dialog.hwnd)
    faults = []
    if len(children) != len(MAIN):
        faults.append("%d controls, not %d" % (len(children), len(MAIN)))
    for (cid, kind, group, rect, texts), child in zip(MAIN, children):
        name = cid if cid is not None else texts[0]
        want_text = text_of(texts, language)
        if language == "fr":
            rect = FRENCH.get(name, rect)
        elif language == "de":
            rect = GERMAN.get(name, rect)
        cls, mask, bits = KINDS[kind]
        if child.id != (cid if cid is not None else 65535) and not (cid is None and child.id == -1):
            faults.append("%s: ID %d in its place" % (name, child.id))
            continue
        if child.cls != cls or child.style & mask != bits:
            faults.append("%s: %s style %#x is not %s" % (name, child.cls, child.style, kind))
        if bool(child.style & WS_GROUP) != group:
            faults.append("%s: group %s" % (name, not group))
        tab = kind in TAB_KINDS
        if kind == "radio":  # a radio button keeps its tab stop only while checked
            tab = s.probe.send(child.hwnd, BM_GETCHECK) == 1
        if bool(child.style & WS_TABSTOP) != tab:
            faults.append("%s: tab stop %s" % (name, not tab))
        # (The scroll bar style moves on to the drop-down list, out of reach here.)
        if kind == "list" and child.style & 0x100:
            faults.append("151: sorted")
        if want_text is not None and child.text != want_text:
            faults.append("%s: text %r, not %r" % (name, child.text, want_text))
        want = to_pixels(rect, units)
        l, t, r, b = child.rect
        got = (l - cx, t - cy, r - l, b - t)
        if kind == "list":  # a closed drop-down list is as high as its edit line
            got, want = got[:3], want[:3]
        elif kind == "icon":  # an icon control takes the size of its icon
            got, want = got[:2], want[:2]
        if got != want:
            faults.append("%s: at %s px, not %s px (%s DLU)" % (name, got, want, rect))
    width, height = SIZES[language]
    if ch != mul_div(height, units[1], 8):
        faults.append("client height %d, not %d DLU" % (ch, height))
    return faults


@case
def main_dialog_layout_in_three_languages(s):
    faults = []
    for language in ("en", "de", "fr"):
        program, dialog = open_dialog(s, language)
        # Painted before the picture is taken and the texts are read.
        wait_for(lambda: s.probe.foreground() == dialog.hwnd, 5)
        time.sleep(0.5)
        faults += ["%s: %s" % (language, f) for f in check_layout(s, dialog, language)]
        if s.shots:
            screenshot(os.path.join(s.shots, "main-dialog-%s.png" % language))

        # The default logo beside the program: the full width, the panel's frame
        # hidden (the logo is painted in its place), and centred.
        panel = s.probe.item(dialog.hwnd, 100)
        l, t, r, b = dialog.rect
        if panel.visible or r < panel.rect[2]:
            faults.append("%s: %d wide, the logo panel ends %d in%s" % (
                language, r - l, panel.rect[2] - l, ", shown" if panel.visible else ""))
        if (l, t) != ((1024 - (r - l)) // 2, (768 - (b - t)) // 2):
            faults.append("%s: at %d,%d, not centred" % (language, l, t))
        width = mul_div(SIZES[language][0], s.probe.units()[0], 4)
        if s.probe.client(dialog.hwnd)[2] != width:
            faults.append("%s: client %d wide, not the template's %d" % (
                language, s.probe.client(dialog.hwnd)[2], width))
        if s.probe.focus(dialog.hwnd) != s.probe.item(dialog.hwnd, 1).hwnd:
            faults.append("%s: the focus does not start on Close" % language)
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0
    assert not faults, "\n".join(faults)


def shown(s, dialog, cid):
    return s.probe.item(dialog.hwnd, cid).visible


def enabled(s, dialog, cid):
    return s.probe.item(dialog.hwnd, cid).enabled


@case
def settings_panel_follows_board_and_audio(s):
    program, dialog = open_dialog(s, "en")  # no board found: all three offered
    card_line = (420, 414, 415)
    for board, ocelot, lynx in ((402, True, False), (400, False, True), (401, False, False)):
        click_at(*s.probe.item(dialog.hwnd, board).centre())
        assert wait_for(lambda: shown(s, dialog, 421) == ocelot, 5), board
        assert all(shown(s, dialog, c) != ocelot for c in card_line), board
        assert enabled(s, dialog, 156) != lynx and enabled(s, dialog, 159) != lynx, board
        assert enabled(s, dialog, 155) and enabled(s, dialog, 158)

    audio_controls = (409, 410, 411, 412, 413, 416, 417, 414, 415, 420, 421)
    assert all(enabled(s, dialog, c) for c in audio_controls)
    click_at(*s.probe.item(dialog.hwnd, 418).centre())
    assert wait_for(lambda: not enabled(s, dialog, 409), 5), "unchecking audio greyed nothing"
    faults = [c for c in audio_controls if enabled(s, dialog, c)]
    assert not faults, "still enabled without audio: %s" % faults
    assert enabled(s, dialog, 418)
    click_at(*s.probe.item(dialog.hwnd, 402).centre())  # hidden controls keep their state
    assert wait_for(lambda: shown(s, dialog, 421), 5)
    assert not enabled(s, dialog, 421) and not enabled(s, dialog, 414)
    if s.shots:
        screenshot(os.path.join(s.shots, "panel-ocelot-no-audio.png"))
    click_at(*s.probe.item(dialog.hwnd, 418).centre())
    assert wait_for(lambda: enabled(s, dialog, 421), 5)
    assert all(enabled(s, dialog, c) for c in audio_controls)
    # Closing without a test asks nothing.
    s.probe.command(dialog.hwnd, 1)
    assert program.wait(15) == 0, "closing an untested dialog did not simply end"


STRAVO_HKLM = PRODUCT_KEY
SERVAL = r"Software\vexo Computer Products\Serval"
PUMA = r"Software\vexo Computer Products\vexoVIDEO Puma"


@case
def board_buttons_follow_the_installed_board(s):
    # version, registry set-up, checked button, the others disabled, a text shown
    table = [
        ("nt40", [], 401, False, None),
        ("nt40", [("HKLM", STRAVO_HKLM + r"\ActBoard", "", "sz", "vexoVIDEO Lynx")], 400, True,
         "vexoVIDEO Lynx/Margay"),
        ("nt40", [("HKLM", STRAVO_HKLM + r"\ActBoard", "", "sz", "vexoVIDEO Ocelot")], 402, True, None),
        ("nt40", [("HKLM", STRAVO_HKLM + r"\ActBoard", "", "sz", "vexoVIDEO Puma")], 401, True, None),
        ("win95", [], 402, False, None),
        ("win95", [("HKCU", SERVAL, "EditingBoard", "sz", "vexoVIDEO Margay")], 400, True,
         "vexoVIDEO Margay"),
        ("win95", [("HKCU", SERVAL, "EditingBoard", "sz", "vexoVIDEO Ocelot plus")], 402, True,
         "vexoVIDEO Ocelot plus"),
        ("win95", [("HKLM", PUMA, "WriteToMem", "dword", "8000")], 401, True, "vexoVIDEO Puma"),
        ("win95", [("HKCU", SERVAL, "EditingBoard", "sz", "vexoVIDEO Puma plus")], 401, True,
         "vexoVIDEO Puma plus"),
        ("win95", [("HKCU", SERVAL, "EditingBoard", "sz", "vexoVIDEO Ocelot")], 402, True,
         "vexoVIDEO Ocelot"),
        ("win95", [("HKCU", SERVAL, "EditingBoard", "sz", "vexoVIDEO Lynx")], 400, True,
         "vexoVIDEO Lynx"),
    ]
    faults = []
    for version, values, checked, locked, text in table:
        s.reset(version=version)
        s.probe.reg_delete_tree("HKLM", r"Software\vexo Computer Products")
        for root, path, name, kind, value in values:
            s.probe.reg_set(root, path, name, kind, value)
        program = s.start()
        dialog = s.main_dialog()
        where = "%s %s" % (version, values)
        for cid in (400, 401, 402):
            state = int(s.probe.send(s.probe.item(dialog.hwnd, cid).hwnd, BM_GETCHECK))
            if state != (cid == checked):
                faults.append("%s: %d check state %d" % (where, cid, state))
            if cid != checked and enabled(s, dialog, cid) == locked:
                faults.append("%s: %d enabled %s" % (where, cid, not locked))
        if text and s.probe.item(dialog.hwnd, checked).text != text:
            faults.append("%s: button reads %r" % (where, s.probe.item(dialog.hwnd, checked).text))
        s.probe.command(dialog.hwnd, 1)
        program.wait(15)
    s.probe.reg_delete_tree("HKLM", r"Software\vexo Computer Products")
    assert not faults, "\n".join(faults)


ABOUT = {  # title, the second and third lines, the button
    "en": ("For your information", "for vexoVIDEO editing products", "Windows 95 Version", "&Close"),
    "de": ("Zu Ihrer Information", "für vexoVIDEO Editing Produkte", "Windows 95 Version", "&Schließen"),
    "fr": ("Pour votre information", "pour des produits vexoVIDEO Editing", "Win32 Version",
           "&Fermeture"),
}


@case
def about_box_closes_by_button_enter_and_escape(s):
    for language, how in (("en", "button"), ("de", "Return"), ("fr", "Escape")):
        title, line2, line3, button = ABOUT[language]
        program, dialog = open_dialog(s, language)
        click_at(*s.probe.item(dialog.hwnd, 101).centre())
        about = wait_for(lambda: s.owned_by(dialog), 10)
        assert about, "no about box"
        box = about[0]
        assert box.text == title, box.text
        texts = [c.text for c in s.probe.children(box.hwnd)]
        for line in ("vexoVIDEO STRAVO", line2, line3, button):
            assert line in texts, (line, texts)
        assert len([t for t in texts if t and t != "STRAVOICON"]) == 8, texts  # and four notice lines
        if s.shots:
            time.sleep(0.3)
            screenshot(os.path.join(s.shots, "about-%s.png" % language))
        if how == "button":
            click_at(*s.probe.item(box.hwnd, 1).centre())
        else:
            send_keys(box.text, how)
        assert wait_for(lambda: not s.owned_by(dialog), 10), "%s did not close the about box" % how
        assert program.wait(0.3) is None, "%s ended the program" % how
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0


VIDCAP = r"Software\Microsoft\Multimedia Tools\VidCap"


@case
def audio_and_norm_come_from_the_capture_tool(s):
    # mono, 11025 Hz, 8 bits (tag 1, 1 channel, 11025, 11025, align 1, 8 bits, no extra)
    mono8 = "0100" "0100" "112B0000" "112B0000" "0100" "0800" "0000"
    table = [  # stored settings, checked buttons, audio box checked
        ({}, (184, 411, 413, 417), True),
        ({"WaveFormatBinary": ("3", mono8), "CaptureAudio": ("dword", "0"),
          "MicroSecPerFrame": ("dword", "40000")}, (183, 409, 412, 416), False),
    ]
    faults = []
    for values, checked, audio in table:
        s.reset()
        s.probe.reg_delete_tree("HKCU", VIDCAP)
        for name, (kind, value) in values.items():
            s.probe.reg_set("HKCU", VIDCAP, name, kind, value)
        program, dialog = open_dialog(s, "en", fresh=False)
        for cid in checked + (418,):
            want = 1 if cid != 418 else int(audio)
            if s.probe.send(s.probe.item(dialog.hwnd, cid).hwnd, BM_GETCHECK) != want:
                faults.append("%s: %d not %d" % (sorted(values), cid, want))
        if enabled(s, dialog, 409) != audio:
            faults.append("%s: the audio controls do not follow the audio box" % sorted(values))
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0
    s.probe.reg_delete_tree("HKCU", VIDCAP)
    assert not faults, "\n".join(faults)

DRIVES_KEY = r"HKLM\Software\Wine\Drives"
LINE = re.compile(r"^(.*)\(([A-Z]:)\) (\d+)MB (free of|disponibles de) (\d+)MB$")


def set_drives(s, drives):
    """Links the prefix's drives to directories of this run: drives is {letter:
    (Wine drive type, label[, directory])}. C: and Z: stay as the prefix has them."""
    prefix = os.environ["WINEPREFIX"]
    root = os.path.join(prefix, "stravo-drives")
    for name in os.listdir(os.path.join(prefix, "dosdevices")):
        if len(name) == 2 and name[1] == ":" and name[0] not in "cz":
            os.remove(os.path.join(prefix, "dosdevices", name))
    # The drive types live in the 64-bit view of the machine's software key.
    subprocess.run(["wine", "reg", "delete", DRIVES_KEY, "/f", "/reg:64"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for letter, (kind, label, *target) in drives.items():
        directory = target[0] if target else os.path.join(root, letter)
        os.makedirs(directory, exist_ok=True)
        label_file = os.path.join(directory, ".windows-label")
        if target:
            pass
        elif label:
            with open(label_file, "w") as f:
                f.write(label + "\n")
        elif os.path.exists(label_file):
            os.remove(label_file)
        os.symlink(directory, os.path.join(prefix, "dosdevices", letter + ":"))
        if kind != "hd":
            subprocess.run(["wine", "reg", "add", DRIVES_KEY, "/v", letter + ":", "/d", kind,
                            "/f", "/reg:64"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           check=True)
    s.restart_wine()


def listed_drives(s, language="en"):
    program, dialog = open_dialog(s, language)
    combo = s.probe.item(dialog.hwnd, 151)
    selected, items = s.probe.combo_items(combo.hwnd)
    s.probe.command(dialog.hwnd, 1)
    assert program.wait(15) == 0
    return selected, items


@case
def drive_list_shows_the_fixed_and_removable_drives(s):
    try:
        set_drives(s, {"a": ("floppy", ""), "d": ("cdrom", "DISC"), "e": ("hd", "VIDEO"),
                       "f": ("network", "SHARE"), "g": ("hd", ""), "h": ("floppy", "ZIP")})
        selected, items = listed_drives(s)
        assert selected == 0, selected
        lines = [LINE.match(item) for item in items]
        assert all(lines), items
        assert [m.group(2) for m in lines] == ["C:", "E:", "G:", "H:", "Z:"], items
        assert lines[1].group(1) == "VIDEO" and lines[3].group(1) == "ZIP", items
        for m in lines:
            assert m.group(4) == "free of" and int(m.group(3)) <= int(m.group(5)), m.group(0)

        # A label of 32 characters and the French words: the line is shortened
        # from the label's end and stays within 43 characters.
        set_drives(s, {"e": ("hd", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345")})
        selected, items = listed_drives(s, "fr")
        long_line = [item for item in items if "(E:)" in item]
        assert long_line, items
        m = LINE.match(long_line[0])
        assert m and m.group(4) == "disponibles de", long_line
        assert len(long_line[0]) <= 43 and "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345".startswith(m.group(1)), long_line

        # All 26 letters: more roots than the 100-character list holds, and more
        # usable drives than the eight slots.
        set_drives(s, {chr(c): ("cdrom" if chr(c) == "d" else "hd", "")
                       for c in range(ord("a"), ord("z") + 1) if chr(c) not in "cz"})
        selected, items = listed_drives(s)
        assert [LINE.match(i).group(2) for i in items] == \
            ["C:", "E:", "F:", "G:", "H:", "I:", "J:", "K:"], items
    finally:
        set_drives(s, {})


def c_drive_file():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "VEXOSV32.DAT")


@case
def a_test_on_c_then_close_stores_the_rates_and_deletes_the_file(s):
    for version, board in (("nt40", "vexoVIDEO Puma"), ("win95", "vexoVIDEO Puma"), ("win95", None)):
        s.reset(version=version)
        s.probe.reg_delete_tree("HKLM", r"Software\vexo Computer Products")
        s.probe.reg_delete_tree("HKCU", r"Software\vexo")
        s.probe.reg_delete_tree("HKCU", PUMA)
        if board and version == "nt40":
            s.probe.reg_set("HKLM", STRAVO_HKLM + r"\ActBoard", "", "sz", board)
        elif board:  # the Puma's driver settings tell Windows 95 it is there
            s.probe.reg_set("HKLM", PUMA, "WriteToMem", "dword", "8000")
        program = s.start()
        dialog = s.main_dialog()
        assert not enabled(s, dialog, 172) and not enabled(s, dialog, 187)
        # Enter presses the default button, "Start test".
        send_keys(CAPTION, "Return")
        assert wait_for(lambda: enabled(s, dialog, 172), 60), "%s: the test did not finish" % version
        assert enabled(s, dialog, 187)
        assert s.probe.info(dialog.hwnd).text == CAPTION, "the title was not restored"
        assert os.path.exists(c_drive_file()), "no test file on C:"
        focus = s.probe.focus(dialog.hwnd)
        want = 172 if board else 187  # Store when a board is there to store for
        assert focus == s.probe.item(dialog.hwnd, want).hwnd, (version, focus)

        s.probe.command(dialog.hwnd, 1)
        # With a board and no stored reference the close stores without asking.
        assert program.wait(30) == 0, "%s: did not close" % version
        assert not os.path.exists(c_drive_file()), "the test file was left on C:"
        write = s.probe.reg_get("HKLM", STRAVO_HKLM + r"\WriteSpeed", "C:")
        read = s.probe.reg_get("HKLM", STRAVO_HKLM + r"\ReadSpeed", "C:")
        assert write and write[0] == "dword" and int(write[1]) > 0, write
        assert read and read[0] == "dword" and int(read[1]) > 0, read
        if board and version == "nt40":
            drive = s.probe.reg_get("HKCU", r"Software\vexo\Puma\CapDrive", "")
            assert drive == ("sz", "C:"), drive
        elif board:
            assert s.probe.reg_get("HKCU", PUMA, "CapDrive") == ("sz", "C:")
            rate = s.probe.reg_get("HKCU", PUMA, "AssumedDataRate")
            assert rate and rate[0] == "dword", rate
    s.probe.reg_delete_tree("HKCU", PUMA)
    s.probe.reg_delete_tree("HKLM", r"Software\vexo Computer Products")
