"""Whole sessions, one per language and platform, with real keys and clicks: a
throttled test, its results and graph, the settings changed and followed, the
system information dialog, Store, a close; then a board installed, a restart
that shows the stored rates in the new language, another test and the store
prompt answered. At the end the registry and the drives are compared with a
snapshot taken before the session: what changed must be exactly what the program
writes, and nothing may be left on a drive."""

import os
import struct
import time

from harness import CAPTION, PRODUCT_KEY, SERVAL_KEY, case, click_at, screenshot, send_keys, \
    wait_for, xdotool
from disk_test_cases import BLOCK, CARACAL, ThrottledDrive, near
from graph_cases import TITLE as GRAPH_TITLE, drag, open_graph, plot
from main_dialog_cases import COUNTRY, VIDCAP, enabled, set_drives, shown
from result_cases import (FRAME_SIZES, NOTICE, checked, dialog_settings, expected_figures,
                          notices, open_sysinfo, rate_of, ratio_texts, text, type_into)

CODE = {"en": "ENG", "de": "GER", "fr": "FRE"}
CLOSE = {"en": "Close", "de": "Schlie\u00dfen", "fr": "Fermeture"}
# English is left out: without a stored code the list already stands on it.
NEXT_LANGUAGE = {"en": "de", "de": "fr", "fr": "de"}
LIST_POSITION = {"en": 0, "de": 1, "fr": 2}  # of the system information's language list
SESSIONS = [  # language, platform, the last answer to the store prompt (after Cancel)
    ("en", "win95", 6), ("en", "nt40", 7), ("de", "win95", 7),
    ("de", "nt40", 6), ("fr", "win95", 6), ("fr", "nt40", 7),
]
WRITE_KBS, READ_KBS = 3000, 6000
BOARDS = {400: "lynx", 401: "puma", 402: "ocelot"}
AUDIO_CONTROLS = (409, 410, 411, 412, 413, 416, 417, 414, 415, 420, 421)
SOFTWARE_VEXO = r"Software\vexo"
MAKER = r"Software\vexo Computer Products"
SNAPSHOT = r"C:\windows\temp\stravo-snapshot.txt"
# Keys Wine keeps for itself and rewrites as it likes while programs run.
WINE_OWN = ("hkcu\\software\\wine",)
BASE = {(0, 0): 216000, (0, 1): 189844, (1, 0): 180000, (1, 1): 162450}  # tenths at 1 kB/s


# ---- reading the dialog ----------------------------------------------------

def settings_of(s, dialog):
    board = [cid for cid in BOARDS if checked(s, dialog, cid)]
    return dict(board=BOARDS[board[0]] if board else None, **dialog_settings(s, dialog))


def figure_faults(s, dialog, language, nt, memory=None):
    """The result box against the figures worked out from the rates it shows; an
    Ocelot's memory limit is the measured rate, which NT does not show, so any
    rate the memory test can give is tried."""
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    settings = settings_of(s, dialog)
    board = settings.pop("board")
    shown_texts = {cid: text(s, dialog, cid) for cid in range(153, 160)}
    candidates = [0] if board == "puma" else [memory] if memory else range(0, 132001)
    for m in candidates:
        available, tenths = expected_figures(w, d, board, m, nt, **settings)
        want = {153: "%d kB/s" % available}
        want.update(zip((157, 158, 159), ratio_texts(tenths, language != "en")))
        want.update(zip((154, 155, 156), FRAME_SIZES[(settings["ntsc"], settings["cropping"])]))
        if want == shown_texts:
            return []
    return ["%s: %s shows %s, which no memory rate gives for %d/%d (%s)" % (
        language, board, shown_texts, w, d, settings)]


def panel_faults(s, dialog, what):
    """Which controls the settings panel shows and enables for board and audio."""
    faults = []
    board = settings_of(s, dialog)["board"]
    ocelot = board == "ocelot"
    if shown(s, dialog, 421) != ocelot or any(shown(s, dialog, c) == ocelot for c in (420, 414, 415)):
        faults.append("%s: the sound card line does not follow the %s" % (what, board))
    if enabled(s, dialog, 156) != (board != "lynx") or enabled(s, dialog, 159) != (board != "lynx"):
        faults.append("%s: the third column does not follow the %s" % (what, board))
    audio = checked(s, dialog, 418)
    wrong = [c for c in AUDIO_CONTROLS if enabled(s, dialog, c) != audio]
    if wrong:
        faults.append("%s: audio %s, yet %s %s" % (what, audio, wrong, "off" if audio else "on"))
    return faults


def quality_word(s, dialog, available):
    """The class of the compression the result box shows, as Store names it."""
    settings = settings_of(s, dialog)
    tenths = BASE[(settings["ntsc"], settings["cropping"])] // max(available, 1)
    return "HIGH" if tenths < 110 else "MID" if tenths < 220 else "LOW"


def wave_format(s, dialog):
    """The 18 bytes Store hands to the capture tool for the dialog's audio choices."""
    settings = settings_of(s, dialog)
    channels = 2 if settings["stereo"] else 1
    rate = (11025, 22050, 44100)[settings["rate_choice"]]
    bits = 16 if settings["wide"] else 8
    average = channels * rate * (bits // 8 if bits > 8 else 1)
    return struct.pack("<HHIIHHH", 1, channels, rate, average, channels * bits // 8, bits, 0).hex()


# ---- real input ------------------------------------------------------------

def click(s, window, cid, settle=0.3):
    click_at(*s.probe.item(window.hwnd, cid).centre())
    time.sleep(settle)


def choose_in_list(s, window, cid, wanted):
    """Opens a drop-down list with a click and walks to the entry with the keys."""
    combo = s.probe.item(window.hwnd, cid)
    selected, items = s.probe.combo_items(combo.hwnd)
    target = [i for i, item in enumerate(items) if wanted(i, item)]
    assert target, (cid, items)
    click_at(*combo.centre())
    time.sleep(0.3)
    step = "Down" if target[0] > selected else "Up"
    for _ in range(abs(target[0] - selected)):
        xdotool("key", "--clearmodifiers", step)
        time.sleep(0.1)
    xdotool("key", "--clearmodifiers", "Return")
    assert wait_for(lambda: s.probe.combo_items(combo.hwnd)[0] == target[0], 5), (cid, items, target)
    time.sleep(0.3)


def choose_drive(s, dialog, drive):
    choose_in_list(s, dialog, 151, lambda i, item: "(%s)" % drive in item)


def run_test(s, dialog, drive_dir, blocks):
    """Start test, by a click; returns once the dialog is back, with the file's size."""
    click(s, dialog, 171, 0.5)
    seen = []

    def done():
        path = os.path.join(drive_dir, "VEXOSV32.DAT")
        if os.path.exists(path):
            seen.append(os.path.getsize(path))
        return s.probe.info(dialog.hwnd).text == CAPTION and enabled(s, dialog, 172)
    assert wait_for(done, 90, 0.5), "the test did not end"
    assert not s.owned_by(dialog), "the test showed a box"
    assert seen and seen[-1] == blocks * BLOCK, "the test file held %s bytes, not %d blocks" % (
        seen[-1:], blocks)


def answer_box(s, box, button):
    click_at(*s.probe.item(box.hwnd, button).centre())
    assert wait_for(lambda: not [w for w in s.probe.top_windows() if w.hwnd == box.hwnd], 10), \
        "the box stayed after button %d" % button


# ---- snapshots -------------------------------------------------------------

def snapshot(s, throttled_dir):
    """{(key, value name or None): (type, data)} of HKCU and HKLM\\Software (the
    file associations left out: nothing of the program comes near them), and
    {path: size} of drive C: (its windows folder left out) and of T:."""
    registry = {}
    prefix = os.environ["WINEPREFIX"]
    dump = os.path.join(prefix, "drive_c", "windows", "temp", "stravo-snapshot.txt")
    for root, path, skip in (("HKCU", "", ""), ("HKLM", "Software", "Classes")):
        ok, reply = s.probe.call("regdump", root, path, SNAPSHOT, skip)
        assert ok, reply
        with open(dump, encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                key = fields[0].replace("\\\\", "\\").rstrip("\\").lower()
                if len(fields) == 1:
                    registry[(key, None)] = None
                else:
                    registry[(key, fields[1].lower())] = (int(fields[2]), fields[3])
    os.remove(dump)
    files = {}
    for top in (os.path.join(prefix, "drive_c"), throttled_dir):
        for directory, subdirs, names in os.walk(top):
            if directory == os.path.join(prefix, "drive_c"):
                subdirs[:] = [d for d in subdirs if d.lower() != "windows"]
            for name in names:
                path = os.path.join(directory, name)
                files[path] = os.path.getsize(path) if os.path.isfile(path) else None
    return registry, files


def sz(text):
    return (1, (text + "\0").encode("utf-16-le").hex())


def dword(value):
    return (4, struct.pack("<I", value).hex())


def registry_faults(before, after, expected):
    """expected: {(key, name): (type, data)} written by the program or planted by
    the session. Every change must be one of them (or a key above one), and each
    must be there as expected."""
    faults = []
    for item, value in expected.items():
        if after.get(item) != value:
            faults.append("%s\\%s is %s, not %s" % (item[0], item[1], after.get(item), value))
    keys_above = set()
    for key, _ in expected:
        parts = key.split("\\")
        keys_above.update("\\".join(parts[:n]) for n in range(2, len(parts) + 1))
    for item in set(before) | set(after):
        if before.get(item, "absent") == after.get(item, "absent"):
            continue
        key, name = item
        if item in expected or key.startswith(WINE_OWN) or (name is None and key in keys_above):
            continue
        faults.append("%s %s\\%s: %s -> %s" % ("changed" if item in before and item in after else
                                              "added" if item in after else "removed",
                                              key, name, before.get(item), after.get(item)))
    return faults


# ---- the session ------------------------------------------------------------

def session(s, language, version, last_answer, drive, shots):
    nt = version == "nt40"
    new = NEXT_LANGUAGE[language]
    what = "%s/%s" % (language, version)
    faults = []
    stravo = "hklm\\" + PRODUCT_KEY.lower()
    s.reset(country=COUNTRY[language], version=version)
    for root, path in (("HKCU", VIDCAP), ("HKCU", SOFTWARE_VEXO), ("HKCU", MAKER), ("HKLM", MAKER)):
        s.probe.reg_delete_tree(root, path)
    before = snapshot(s, drive.mount)
    expected = {}

    # ---- the first start: no board installed ----
    program = s.start()
    dialog = s.main_dialog()
    assert s.probe.item(dialog.hwnd, 1).text == CLOSE[language], "%s: not started in its language" % what
    choose_drive(s, dialog, "T:")
    run_test(s, dialog, drive.mount, 214)
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    if not (near(w, WRITE_KBS) and near(d, READ_KBS)):
        faults.append("%s: measured %d/%d, set %d/%d" % (what, w, d, WRITE_KBS, READ_KBS))
    faults += figure_faults(s, dialog, language, nt)

    graph = open_graph(s, dialog, "T:", language)
    if s.probe.info(dialog.hwnd).enabled:
        faults.append("%s: the main dialog stays enabled under the graph" % what)
    px, py, pw, ph = plot(s, graph)
    x2 = px + pw * 3 // 4
    drag(px + pw // 4, py + ph // 2, x2, py + ph // 2)
    if s.probe.item(graph.hwnd, 195).text != str((x2 - px) * 20000 // pw):
        faults.append("%s: the graph cursor reads %r after the drag" % (
            what, s.probe.item(graph.hwnd, 195).text))
    send_keys(GRAPH_TITLE[language] % "T:", "Escape")
    assert wait_for(lambda: not s.owned_by(dialog), 5), "Escape did not close the graph"
    assert wait_for(lambda: s.probe.info(dialog.hwnd).enabled, 5), "the main dialog stayed disabled"

    # Board, norm, cropping and audio: the panel and the figures follow each click.
    norm = 183 if checked(s, dialog, 184) else 184
    if nt:  # from the Puma to the Ocelot and back, to end on the Ocelot
        clicks = [402, norm, 419, 418, 418, 409, 412, 416, 401, 402]
    else:  # from the Ocelot to the Puma and back; Store will switch audio off
        clicks = [401, norm, 419, 418, 418, 409, 412, 416, 402, 418]
    for cid in clicks:
        figures = text(s, dialog, 153), text(s, dialog, 159)
        click(s, dialog, cid)
        step = "%s after %d" % (what, cid)
        faults += panel_faults(s, dialog, step)
        faults += figure_faults(s, dialog, language, nt)
        if cid in (419, 409) and (text(s, dialog, 153), text(s, dialog, 159)) == figures:
            faults.append("%s: the figures did not move" % step)

    # More...: the memory rate, the next test's size and the language.
    sysinfo = open_sysinfo(s, dialog, language)
    # Not the Puma's own rate: the Ocelot is the board in use, so the measured one.
    memory = int(s.probe.item(sysinfo.hwnd, 210).text)
    type_into(sysinfo, s.probe.item(sysinfo.hwnd, 186), "10")
    xdotool("key", "--clearmodifiers", "Tab")
    time.sleep(0.3)
    choose_in_list(s, sysinfo, 185, lambda i, item: i == LIST_POSITION[new])
    click(s, sysinfo, 1, 0)
    boxes = wait_for(lambda: notices(s, dialog), 5)
    assert boxes, "%s: no notice of the new language" % what
    box = s.probe.message_box(boxes[0].hwnd)
    if box["text"] != NOTICE[new]:
        faults.append("%s: notice %r, not in %s" % (what, box["text"], new))
    answer_box(s, boxes[0], 1)
    assert wait_for(lambda: not s.owned_by(dialog), 10), "the system information dialog stayed"
    expected[("hkcu\\" + SERVAL_KEY.lower(), "language")] = sz(CODE[new])
    faults += figure_faults(s, dialog, language, nt, memory)

    # The new size takes at the next test: 10 MB, 107 blocks.
    run_test(s, dialog, drive.mount, 107)
    faults += figure_faults(s, dialog, language, nt, memory)
    available = int(text(s, dialog, 153).split()[0])
    quality = quality_word(s, dialog, available)
    click(s, dialog, 172, 1.0)  # Store
    if nt:
        key = "hkcu\\software\\vexo\\ocelot"
        expected[(key + "\\caprate", "")] = sz(str(available))
        expected[(key + "\\capdrive", "")] = sz("T:")
        expected[(key + "\\capformat", "")] = sz(quality)
        expected[(stravo + "\\lastboard", "")] = sz("none")
    else:
        expected[("hkcu\\" + CARACAL.lower(), "assumeddatarate")] = dword(available)
        expected[("hkcu\\" + CARACAL.lower(), "capdrive")] = sz("T:")
        expected[("hkcu\\" + VIDCAP.lower(), "captureaudio")] = dword(0)
    expected[("hkcu\\" + VIDCAP.lower(), "waveformatbinary")] = (3, wave_format(s, dialog))
    if shots:
        screenshot(os.path.join(shots, "session-%s-%s.png" % (language, version)))
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    click(s, dialog, 1, 0)  # Close: stored already, nothing to ask
    assert program.wait(30) == 0, "%s: the first run did not end" % what
    expected[(stravo + "\\writespeed", "t:")] = dword(w)
    expected[(stravo + "\\readspeed", "t:")] = dword(d)

    # ---- a board is installed; the second start speaks the new language ----
    if nt:
        s.probe.reg_set("HKLM", PRODUCT_KEY + r"\ActBoard", "", "sz", "vexoVIDEO Puma")
        expected[(stravo + "\\actboard", "")] = sz("vexoVIDEO Puma")
        expected[(stravo + "\\lastboard", "")] = sz("vexoVIDEO Puma")
    else:
        s.probe.reg_set("HKCU", SERVAL_KEY, "EditingBoard", "sz", "vexoVIDEO Ocelot")
        expected[("hkcu\\" + SERVAL_KEY.lower(), "editingboard")] = sz("vexoVIDEO Ocelot")
    program = s.start()
    dialog = s.main_dialog()
    if s.probe.item(dialog.hwnd, 1).text != CLOSE[new]:
        faults.append("%s: restarted in %r, not %s" % (what, s.probe.item(dialog.hwnd, 1).text, new))
    choose_drive(s, dialog, "T:")
    if (text(s, dialog, 203), text(s, dialog, 204)) != ("%d kB/s" % w, "%d kB/s" % d):
        faults.append("%s: T: shows %s/%s, stored %d/%d" % (what, text(s, dialog, 203),
                                                           text(s, dialog, 204), w, d))
    faults += figure_faults(s, dialog, new, nt)
    run_test(s, dialog, drive.mount, 214)
    faults += figure_faults(s, dialog, new, nt)
    available = int(text(s, dialog, 153).split()[0])
    quality = quality_word(s, dialog, available)
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    if nt:
        choose_drive(s, dialog, "C:")  # the prompt comes from the test having started
    for answer in (2, last_answer):
        click(s, dialog, 1, 0)
        boxes = wait_for(lambda: s.owned_by(dialog), 10)
        assert boxes, "%s: no store prompt" % what
        if answer == 2:  # by the keyboard: Escape is the box's Cancel
            send_keys(CAPTION, "Escape")
            assert wait_for(lambda: not s.owned_by(dialog), 10), "Escape left the prompt open"
        else:
            answer_box(s, boxes[0], answer)
        if answer == 2:
            assert program.wait(0.5) is None, "%s: Cancel ended the program" % what
            # On NT the untested C: is selected, and Store is greyed with it.
            store = s.probe.item(dialog.hwnd, 172).hwnd
            if enabled(s, dialog, 172) == nt:
                faults.append("%s: Store is %s for the selected drive" % (
                    what, "enabled" if nt else "greyed"))
            elif not nt and not wait_for(lambda: s.probe.focus(dialog.hwnd) == store, 3):
                faults.append("%s: Cancel left the focus on %s, not on Store" % (
                    what, s.probe.info(s.probe.focus(dialog.hwnd)).text))
    assert program.wait(30) == 0, "%s: the second run did not end" % what
    expected[(stravo + "\\writespeed", "t:")] = dword(w)
    expected[(stravo + "\\readspeed", "t:")] = dword(d)
    if last_answer == 6:
        if nt:
            key = "hkcu\\software\\vexo\\puma"
            expected[(key + "\\caprate", "")] = sz(str(available))
            expected[(key + "\\capdrive", "")] = sz("T:")
            expected[(key + "\\capformat", "")] = sz(quality)
        else:
            expected[("hkcu\\" + CARACAL.lower(), "assumeddatarate")] = dword(available)

    after = snapshot(s, drive.mount)
    faults += ["%s: %s" % (what, f) for f in registry_faults(before[0], after[0], expected)]
    for path in set(before[1]) | set(after[1]):
        if before[1].get(path) != after[1].get(path):
            faults.append("%s: %s was %s, is %s" % (what, path, before[1].get(path), after[1].get(path)))
    return faults


@case
def whole_sessions_in_each_language_on_both_platforms(s):
    # The 32-bit program is the product: all six sessions; the 64-bit build, one
    # per platform.
    sessions = SESSIONS if s.view == "32" else [SESSIONS[1], SESSIONS[2]]
    drive = ThrottledDrive(s.throttlefs, write_kbs=WRITE_KBS, read_kbs=READ_KBS)
    faults = []
    try:
        set_drives(s, {"t": ("hd", "", drive.mount)})
        for language, version, answer in sessions:
            faults += session(s, language, version, answer, drive, s.shots)
            s.stop_all()
    finally:
        s.stop_all()
        drive.stop()
        set_drives(s, {})
        for root, path in (("HKCU", VIDCAP), ("HKCU", SOFTWARE_VEXO), ("HKCU", MAKER), ("HKLM", MAKER)):
            s.probe.reg_delete_tree(root, path)
    assert not faults, "\n".join(faults)
