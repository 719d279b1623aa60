"""End-to-end cases of the evaluation and the system information dialog: the result
box and the speed bars after a test on the throttled drive, in each language and
on the screen; what Store leaves for the capture tool; the system information
dialog's memory field, file size rule and language notice."""

import os
import subprocess
import time

from harness import (BM_GETCHECK, CAPTION, CB_SETCURSEL, CBN_SELCHANGE, SERVAL_KEY, WM_COMMAND,
                     WM_SYSCOMMAND, case, click_at, screenshot, send_keys, wait_for, xdotool)
from disk_test_cases import (BLOCK, ThrottledDrive, near, run_test_on_t, select_drive,
                             start_and_take_the_refusal)
from main_dialog_cases import VIDCAP, enabled, open_dialog, set_drives

SC_CLOSE = 0xF060
SYSINFO_TITLE = {"en": "System informations", "de": "System Information",
                 "fr": "Information du syst\u00e8me"}
NOTICE = {
    "en": "Language selection will take effect after restarting vexoVIDEO STRAVO",
    "de": "Sprach\u00e4nderungen werden erst beim n\u00e4chsten Start von vexoVIDEO STRAVO aktiv",
    "fr": "Les changes de langue sont activ\u00e9s apr\u00e8s la fermeture du programme",
}
FRAME_SIZES = {  # (ntsc, cropping): first, second, third column
    (0, 0): ("384x288", "384x576", "768x576"), (0, 1): ("360x270", "360x540", "720x540"),
    (1, 0): ("320x240", "320x480", "640x480"), (1, 1): ("304x228", "304x456", "608x456"),
}


def expected_figures(w, d, board, memory, nt, audio, rate_choice, stereo, wide, dma16, ntsc, cropping):
    """The figures as the capture software works them out for rates w and d, on the
    Puma with its default limits or the Ocelot with the measured memory rate."""
    k = 900 if nt else 834
    aw = ad = 0
    if audio:
        a = 11025 * (2 if rate_choice == 1 else 4 if rate_choice == 2 else 1)
        a *= (2 if stereo else 1) * (2 if wide else 1)
        t = 1500 if board == "ocelot" else 2000 if dma16 else 1000
        aw, ad = ((w + t) * a // t) // 1024, ((d + t) * a // t) // 1024

    def video(rate, limit, share):
        return 0 if share >= rate else ((rate * limit - share * limit) // (rate + limit)) * k // 1000
    if board == "puma":
        limits, cap = (10000, 12000), 3700 if ntsc else 3100
    else:
        limits, cap = (memory, memory), 6144
    available = min(video(w, limits[0], aw), video(d, limits[1], ad), cap)
    base = {(0, 0): 216000, (0, 1): 189844, (1, 0): 180000, (1, 1): 162450}[(ntsc, cropping)]
    return available, base // max(available, 1)


def ratio_texts(tenths, comma):
    texts, r = [], tenths
    for _ in range(3):
        r = max(r, 30)
        texts.append(("%d,%d:1" if comma else "%d.%d:1") % (r // 10, r % 10))
        r //= 2
    return texts[::-1]  # first column first


def checked(s, dialog, cid):
    return s.probe.send(s.probe.item(dialog.hwnd, cid).hwnd, BM_GETCHECK) == 1


def dialog_settings(s, dialog):
    """The norm, cropping and audio choices of the main dialog, as the figures need them."""
    return dict(audio=checked(s, dialog, 418),
                rate_choice=[checked(s, dialog, c) for c in (409, 410, 411)].index(True),
                stereo=checked(s, dialog, 413), wide=checked(s, dialog, 417),
                dma16=checked(s, dialog, 415), ntsc=int(checked(s, dialog, 184)),
                cropping=int(checked(s, dialog, 419)))


def text(s, dialog, cid):
    return s.probe.item(dialog.hwnd, cid).text


def rate_of(label):
    number, unit = label.split(" ")
    assert unit == "kB/s", label
    return int(number)


def screen_pixels(path):
    """The screenshot as (width, rows of RGB bytes)."""
    screenshot(path)
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                          check=True, timeout=30).stdout
    fields, at = [], 0
    while len(fields) < 4:  # P6, width, height, maximum
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width = int(fields[1])
    return width, data[at + 1:]


def pixel(screen, x, y):
    width, data = screen
    at = (y * width + x) * 3
    return tuple(data[at:at + 3])


def check_result_box(s, dialog, language, faults, nt=1):
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    if not (near(w, 3000) and near(d, 6000)):
        faults.append("%s: measured %d / %d, set 3000 / 6000" % (language, w, d))
    # Without a board: the Puma on NT, the Ocelot (with the measured memory rate,
    # which the system information dialog shows for it) on Windows 95.
    board = "puma" if nt else "ocelot"
    assert checked(s, dialog, 401 if nt else 402), "the %s is not the board in use" % board
    memory = 0
    if not nt:
        sysinfo = open_sysinfo(s, dialog, language)
        memory = int(s.probe.item(sysinfo.hwnd, 210).text)
        close_sysinfo(s, dialog, sysinfo)
    settings = dict(board=board, memory=memory, nt=nt, **dialog_settings(s, dialog))
    available, tenths = expected_figures(w, d, **settings)
    want = {153: "%d kB/s" % available}
    for cid, ratio in zip((157, 158, 159), ratio_texts(tenths, language != "en")):
        want[cid] = ratio
    for cid, size in zip((154, 155, 156), FRAME_SIZES[(settings["ntsc"], settings["cropping"])]):
        want[cid] = size
    for cid, value in sorted(want.items()):
        if text(s, dialog, cid) != value:
            faults.append("%s: %d shows %r, not %r (%s)" % (language, cid, text(s, dialog, cid),
                                                           value, settings))


@case
def results_after_a_throttled_test_in_each_language(s):
    faults = []
    for language in ("en", "de", "fr"):
        run_test_on_t(s, s.throttlefs, language=language, write_kbs=3000, read_kbs=6000,
                      after=lambda s, dialog: check_result_box(s, dialog, language, faults))
    assert not faults, "\n".join(faults)


@case
def results_on_windows_95_with_the_ocelot_default(s):
    faults = []
    run_test_on_t(s, s.throttlefs, version="win95", write_kbs=3000, read_kbs=6000,
                  after=lambda s, dialog: check_result_box(s, dialog, "en", faults, nt=0))
    assert not faults, "\n".join(faults)


def check_bars_on_screen(s, dialog, faults):
    """The bars as the screen shows them: cyan over the lower 70 % up to the rate,
    blue tick marks, the dialog's own background above and beyond."""
    screen = screen_pixels(os.path.join(s.shots, "bars_after_a_test.png"))
    cyan, blue = (0, 192, 192), (0, 0, 192)
    for cid, rate_id in ((201, 203), (200, 204)):
        x, y, width, height = s.probe.client(s.probe.item(dialog.hwnd, cid).hwnd)
        rate = rate_of(text(s, dialog, rate_id))
        end = 1 + (width - 1) * rate // 9000  # first column past the bar
        step = width // 9
        low = y + height - 2
        if pixel(screen, x + 2, low) != cyan or pixel(screen, x + end - 1, low) != cyan:
            faults.append("%d: no cyan bar up to column %d" % (cid, end))
        if pixel(screen, x + end + 1, low) == cyan:
            faults.append("%d: cyan past column %d" % (cid, end))
        top = y + height * 30 // 100
        if pixel(screen, x + 2, top - 1) == cyan or pixel(screen, x + 2, top + 1) != cyan:
            faults.append("%d: the cyan bar does not start at 70 %% of the height" % cid)
        for tick in range(1, 9):
            if pixel(screen, x + tick * step, y + 2) != blue:
                faults.append("%d: tick %d missing" % (cid, tick))


@case
def speed_bars_on_the_screen_after_a_test(s):
    faults = []
    run_test_on_t(s, s.throttlefs, write_kbs=3000, read_kbs=6000,
                  after=lambda s, dialog: check_bars_on_screen(s, dialog, faults))
    assert not faults, "\n".join(faults)


def store_then(s, dialog, clicks=()):
    for cid in clicks:
        click_at(*s.probe.item(dialog.hwnd, cid).centre())
        time.sleep(0.3)
    s.probe.command(dialog.hwnd, 172)
    time.sleep(1)


@case
def store_hands_the_audio_format_switch_and_frame_time_to_the_capture_tool(s):
    pcm_cd = "0100" "0200" "44ac0000" "10b10200" "0400" "1000" "0000"
    mono8 = "0100" "0100" "112b0000" "112b0000" "0100" "0800" "0000"
    table = [  # stored, clicks before Store, expected afterwards
        ("nothing stored, NTSC, audio on", {}, (), {"WaveFormatBinary": ("3", pcm_cd)}),
        ("PAL frame time stored (so PAL shown), NTSC chosen; audio switched off", {
            "MicroSecPerFrame": ("dword", "40000")}, (184, 418),
         {"WaveFormatBinary": ("3", pcm_cd), "MicroSecPerFrame": ("dword", 33367),
          "CaptureAudio": ("dword", 0)}),
        ("mono 8-bit stored, stereo and 16 bits chosen", {
            "WaveFormatBinary": ("3", mono8), "CaptureAudio": ("dword", "0")}, (418, 413, 417, 411),
         {"WaveFormatBinary": ("3", pcm_cd), "CaptureAudio": ("dword", 1)}),
    ]
    faults = []
    for what, stored, clicks, expected in table:
        s.probe.reg_delete_tree("HKCU", VIDCAP)
        for name, (kind, value) in stored.items():
            s.probe.reg_set("HKCU", VIDCAP, name, kind, value)
        run_test_on_t(s, s.throttlefs, write_kbs=6000, read_kbs=6000,
                      after=lambda s, dialog: store_then(s, dialog, clicks))
        for name in ("WaveFormatBinary", "CaptureAudio", "MicroSecPerFrame"):
            got = s.probe.reg_get("HKCU", VIDCAP, name)
            want = expected.get(name, stored.get(name))
            if want and want[0] == "dword":
                want = ("dword", int(want[1]))
            if got != want:
                faults.append("%s: %s is %r, not %r" % (what, name, got, want))
    s.probe.reg_delete_tree("HKCU", VIDCAP)
    assert not faults, "\n".join(faults)


def open_sysinfo(s, dialog, language="en"):
    s.probe.command(dialog.hwnd, 174)
    found = wait_for(lambda: [w for w in s.owned_by(dialog) if w.text == SYSINFO_TITLE[language]], 15)
    assert found, "More... opened no system information dialog"
    return found[0]


def type_into(window, control, typed):
    click_at(*control.centre())
    time.sleep(0.2)
    for key in ("End", "shift+Home", "BackSpace"):
        xdotool("key", "--clearmodifiers", key)
    xdotool("type", "--delay", "40", typed)
    time.sleep(0.2)


def close_sysinfo(s, dialog, sysinfo):
    button = s.probe.item(sysinfo.hwnd, 1)
    click_at(*button.centre())
    assert wait_for(lambda: not s.owned_by(dialog), 10), "the system information dialog stayed"


@case
def system_information_memory_field_on_both_platforms(s):
    for version, check in (("nt40", lambda t: t == "10000"),  # the Puma's own rate
                           ("win95", lambda t: t.isdigit() and 0 < int(t) <= 132000)):
        program, dialog = open_dialog(s, "en", version=version)
        sysinfo = open_sysinfo(s, dialog)
        assert not s.probe.info(dialog.hwnd).enabled, "the dialog is not modal"
        shown = s.probe.item(sysinfo.hwnd, 210).text
        assert check(shown), (version, shown)
        assert s.probe.item(sysinfo.hwnd, 186).text == "20"
        close_sysinfo(s, dialog, sysinfo)
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0


def typing_the_size(typed):
    def before(s, dialog):
        sysinfo = open_sysinfo(s, dialog)
        type_into(sysinfo, s.probe.item(sysinfo.hwnd, 186), typed)
        xdotool("key", "--clearmodifiers", "Tab")  # the field loses the focus
        time.sleep(0.3)
        assert s.probe.item(sysinfo.hwnd, 186).text == typed, "the field lost what was typed"
        close_sysinfo(s, dialog, sysinfo)
    return before


@case
def the_typed_file_size_sets_the_next_tests_file(s):
    for typed in ("5", "letters"):  # both read as 10 MB: 107 blocks
        _, boxes, size, _ = run_test_on_t(s, s.throttlefs, before=typing_the_size(typed),
                                          size_mb=20, write_kbs=19200, read_kbs=19200)
        assert not boxes, (typed, boxes)
        assert size == 107 * BLOCK, (typed, size and size // BLOCK)

    # 2500 reads as 2000 MB, which 20 MB cannot hold: the refusal names the size.
    drive = ThrottledDrive(s.throttlefs, size_mb=20)
    try:
        set_drives(s, {"t": ("hd", "", drive.mount)})
        program, dialog = open_dialog(s, "en")
        typing_the_size("2500")(s, dialog)
        select_drive(s, dialog, "T:")
        box = start_and_take_the_refusal(s, dialog)
        assert box["text"] == "Not enough free hard disk space (20 MB / 2000 MB)", box
        sysinfo = open_sysinfo(s, dialog)
        assert s.probe.item(sysinfo.hwnd, 186).text == "2000", "the next opening shows the size in use"
        close_sysinfo(s, dialog, sysinfo)
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(30) == 0
    finally:
        s.stop_all()
        drive.stop()
        set_drives(s, {})


def choose_language(s, sysinfo, position):
    combo = s.probe.item(sysinfo.hwnd, 185)
    s.probe.send(combo.hwnd, CB_SETCURSEL, position, 0)
    s.probe.send(sysinfo.hwnd, WM_COMMAND, (CBN_SELCHANGE << 16) | 185, int(combo.hwnd, 16))


def notices(s, main):
    return [w for w in s.probe.top_windows()
            if w.cls == "#32770" and w.text == CAPTION and w.hwnd != main.hwnd]


@case
def a_new_language_is_noticed_in_itself_and_taken_at_the_next_start(s):
    table = [  # start language, choices, how closed, notice language or None, stored
        ("en", [1], "button", "de", "GER"),
        ("de", [2], "escape", "fr", "FRE"),
        ("fr", [1], "button", "de", "GER"),
        # Without a stored code the list starts at English, whatever the program
        # speaks: choosing it changes nothing to notice, yet stores "ENG".
        ("fr", [0], "button", None, "ENG"),
        ("en", [1, 0], "button", None, "ENG"),
        ("en", [2], "system close", None, "FRE"),
    ]
    faults = []
    for start, choices, how, notice, stored in table:
        what = "%s %s %s" % (start, choices, how)
        program, dialog = open_dialog(s, start)
        sysinfo = open_sysinfo(s, dialog, start)
        for choice in choices:
            choose_language(s, sysinfo, choice)
        if how == "button":
            click_at(*s.probe.item(sysinfo.hwnd, 1).centre())
        elif how == "escape":
            send_keys(SYSINFO_TITLE[start], "Escape")
        else:
            s.probe.post(sysinfo.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0)
        boxes = wait_for(lambda: notices(s, dialog), 3 if notice else 1.5)
        if notice:
            if not boxes:
                faults.append("%s: no notice" % what)
            else:
                box = s.probe.message_box(boxes[0].hwnd)
                if box["text"] != NOTICE[notice] or box["icon"] != "stop" or box["owner"] != "0x0":
                    faults.append("%s: notice %r" % (what, box))
                s.probe.command(boxes[0].hwnd, 1)
        elif boxes:
            faults.append("%s: a notice although nothing is to change" % what)
        if not wait_for(lambda: not s.owned_by(dialog) and not notices(s, dialog), 10):
            faults.append("%s: the dialog did not close" % what)
        got = s.probe.reg_get("HKCU", SERVAL_KEY, "Language")
        if got != ("sz", stored):
            faults.append("%s: stored %r" % (what, got))
        close = s.probe.item(dialog.hwnd, 1).text
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0
        # The next start speaks the stored language, whatever the country says.
        program, dialog = open_dialog(s, start, fresh=False)
        again = s.probe.item(dialog.hwnd, 1).text
        want = {"ENG": "Close", "GER": "Schlie\u00dfen", "FRE": "Fermeture"}[stored]
        if again != want:
            faults.append("%s: restarted with %r (before %r)" % (what, again, close))
        s.probe.command(dialog.hwnd, 1)
        assert program.wait(15) == 0
        s.reset()
    assert not faults, "\n".join(faults)
