"""Pictures for the user's guide, taken from the real program in each language: the
main dialog after a test on the throttled drive, the graph with its cursor dragged
along the plot, and the system information dialog. Each picture is checked for
what the guide says it shows before it is saved, cropped to its window, into
guide/ of the shots folder (scripts/guide-shots copies them into docs/guide/img/).
Inside a virtual desktop, so that the windows carry their frames and titles."""

import os
import shutil
import subprocess
import time

from harness import CAPTION, SERVAL_KEY, case, wait_for
from disk_test_cases import Skip, near, run_test_on_t
from graph_cases import (BLUE, RED, TITLE, GraphDesktop, colour_in_column, drag, open_graph,
                         plot)
from main_dialog_cases import VIDCAP
from result_cases import (FRAME_SIZES, SYSINFO_TITLE, checked, close_sysinfo, dialog_settings,
                          expected_figures, open_sysinfo, pixel, rate_of, ratio_texts,
                          screen_pixels, text)

# What tells each picture's language apart: the texts the guide names.
WORDS = {
    "en": {"close": "Close", "result": "Test Result", "start": "S&tart test",
           "language": "English", "stored": "ENG"},
    "de": {"close": "Schlie\u00dfen", "result": "Analyse-Ergebnis", "start": "&Test starten",
           "language": "Deutsch", "stored": "GER"},
    "fr": {"close": "Fermeture", "result": "R\u00e9sultat d'analyse", "start": "Lancement du &test",
           "language": "Fran\u00e7ais", "stored": "FRE"},
}
CYAN = (0, 192, 192)


def caption_button_font(s):
    """Wine draws the caption buttons with its Marlett font, which a new prefix
    does not find in every packaging; without it the buttons read "0 1 r". Wine's
    own copy goes into the prefix's font folder, read when Wine next starts."""
    fonts = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "Fonts")
    if os.path.exists(os.path.join(fonts, "marlett.ttf")):
        return
    wine = os.path.realpath(shutil.which("wine") or "/usr/bin/wine")
    folders = ["/usr/share/wine/fonts", "/usr/lib/wine/fonts",
               os.path.join(os.path.dirname(os.path.dirname(wine)), "share", "wine", "fonts")]
    for folder in folders:
        if os.path.exists(os.path.join(folder, "marlett.ttf")):
            os.makedirs(fonts, exist_ok=True)
            shutil.copy(os.path.join(folder, "marlett.ttf"), fonts)
            return


def save_cropped(screen_path, window, path):
    """The window's rectangle out of a screenshot, as a palette PNG when its colours
    fit in one (a dialog has few), else as it is."""
    l, t, r, b = window.rect
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", screen_path, "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage",
                    "-strip", path], check=True, timeout=30)
    colours = subprocess.run(["identify", "-format", "%k", path], capture_output=True, text=True,
                             check=True, timeout=30).stdout.strip()
    if colours.isdigit() and int(colours) <= 256:
        subprocess.run(["convert", path, "-strip", "PNG8:" + path], check=True, timeout=30)
    size = subprocess.run(["identify", "-format", "%wx%h", path], capture_output=True, text=True,
                          check=True, timeout=30).stdout.strip()
    assert size == "%dx%d" % (r - l, b - t), (path, size)


def result_faults(s, dialog, language, screen):
    """The result box and the bars as the guide describes them; rates on the
    throttled drive set to write 3000 and read 6000 kB/s, with a stall in the
    write pass that the analysis takes as the worst stretch."""
    words, faults = WORDS[language], []
    if checked(s, dialog, 184) != (language == "en"):
        faults.append("the norm is not the one the capture tool's frame time gives")
    if s.probe.info(dialog.hwnd).text != CAPTION:
        faults.append("title %r" % s.probe.info(dialog.hwnd).text)
    for cid, want in ((1, words["close"]), (182, words["result"]), (171, words["start"])):
        if text(s, dialog, cid) != want:
            faults.append("%d shows %r, not %r" % (cid, text(s, dialog, cid), want))
    w, d = rate_of(text(s, dialog, 203)), rate_of(text(s, dialog, 204))
    if not (near(w, 1536) and near(d, 6000)):
        faults.append("measured %d / %d, not about 1536 / 6000" % (w, d))
    # No board is installed here: the Puma on NT, with its default limits.
    settings = dict(board="puma", memory=0, nt=1, **dialog_settings(s, dialog))
    available, tenths = expected_figures(w, d, **settings)
    want = {153: "%d kB/s" % available}
    want.update(zip((157, 158, 159), ratio_texts(tenths, language != "en")))
    want.update(zip((154, 155, 156), FRAME_SIZES[(settings["ntsc"], settings["cropping"])]))
    for cid, value in sorted(want.items()):
        if text(s, dialog, cid) != value:
            faults.append("%d shows %r, not %r" % (cid, text(s, dialog, cid), value))
    # The cyan bars end where their rates stand on the 9000 kB/s scale.
    for cid, rate in ((201, w), (200, d)):
        x, y, width, height = s.probe.client(s.probe.item(dialog.hwnd, cid).hwnd)
        end = 1 + (width - 1) * rate // 9000
        low = y + height - 2
        if pixel(screen, x + end - 1, low) != CYAN or pixel(screen, x + end + 1, low) == CYAN:
            faults.append("bar %d does not end at column %d" % (cid, end))
    return faults


def graph_faults(s, graph, language, screen):
    """The graph after the cursor was dragged to three quarters of the plot: the
    title, the units, the cursor position, both curves and both readouts."""
    faults = []
    if graph.text != TITLE[language] % "T:":
        faults.append("graph title %r" % graph.text)
    for cid, want in ((193, "[kB/sek]"), (194, "[MB]"), (191, "20")):
        if s.probe.item(graph.hwnd, cid).text != want:
            faults.append("label %d %r, not %r" % (cid, s.probe.item(graph.hwnd, cid).text, want))
    px, py, pw, ph = plot(s, graph)
    x = px + pw * 3 // 4
    if s.probe.item(graph.hwnd, 195).text != str((x - px) * 20000 // pw):
        faults.append("cursor label %r after the drag" % s.probe.item(graph.hwnd, 195).text)
    for colour, name in ((RED, "write"), (BLUE, "read")):
        column = px + pw * 160 * 96 // 20000  # past the stall, off the cursor
        if not any(colour_in_column(screen, column + dx, py, py + ph, colour) for dx in range(-2, 3)):
            faults.append("no %s curve" % name)
    cx, cy, width, _ = s.probe.client(graph.hwnd)
    band = range(cy + 1, py)
    halves = ((BLUE, range(cx + width // 2 - 100, cx + width // 2)),
              (RED, range(cx + width // 2 + 10, cx + width // 2 + 110)))
    for colour, columns in halves:
        if not any(pixel(screen, c, y) == colour for c in columns for y in band):
            faults.append("no readout in %s" % ("blue" if colour == BLUE else "red"))
    return faults


def sysinfo_faults(s, sysinfo, language):
    faults = []
    if sysinfo.text != SYSINFO_TITLE[language]:
        faults.append("title %r" % sysinfo.text)
    memory = s.probe.item(sysinfo.hwnd, 210).text
    if memory != "10000":  # the Puma's board-to-memory rate stands there
        faults.append("memory field %r" % memory)
    if s.probe.item(sysinfo.hwnd, 186).text != "20":
        faults.append("file size %r" % s.probe.item(sysinfo.hwnd, 186).text)
    combo = s.probe.item(sysinfo.hwnd, 185)
    position, items = s.probe.combo_items(combo.hwnd)
    if not 0 <= position < len(items) or items[position] != WORDS[language]["language"]:
        faults.append("language list shows %r of %r" % (position, items))
    return faults


def take_pictures(s, dialog, language, faults):
    folder = os.path.join(s.shots, "guide")
    screen_path = os.path.join(folder, "screen.png")
    os.makedirs(folder, exist_ok=True)
    for name in ("results", "graph", "sysinfo"):  # a faulty picture leaves none behind
        if os.path.exists(os.path.join(folder, "%s-%s.png" % (language, name))):
            os.remove(os.path.join(folder, "%s-%s.png" % (language, name)))
    time.sleep(0.5)  # the result box and the bars repaint after the test
    screen = screen_pixels(screen_path)
    found = result_faults(s, dialog, language, screen)
    faults += ["%s results: %s" % (language, f) for f in found]
    if not found:
        save_cropped(screen_path, s.probe.info(dialog.hwnd), os.path.join(folder, language + "-results.png"))

    graph = open_graph(s, dialog, "T:", language)
    px, py, pw, ph = plot(s, graph)
    drag(px + pw // 4, py + ph // 2, px + pw * 3 // 4, py + ph // 2)
    screen = screen_pixels(screen_path)
    found = graph_faults(s, s.probe.info(graph.hwnd), language, screen)
    faults += ["%s graph: %s" % (language, f) for f in found]
    if not found:
        save_cropped(screen_path, s.probe.info(graph.hwnd), os.path.join(folder, language + "-graph.png"))
    s.probe.command(graph.hwnd, 2)
    assert wait_for(lambda: not s.owned_by(dialog), 5), "the graph did not close"

    # The list shows the stored language; here as after a choice made once before.
    s.probe.reg_set("HKCU", SERVAL_KEY, "Language", "sz", WORDS[language]["stored"])
    sysinfo = open_sysinfo(s, dialog, language)
    time.sleep(0.5)
    screen_pixels(screen_path)
    found = sysinfo_faults(s, s.probe.info(sysinfo.hwnd), language)
    faults += ["%s system information: %s" % (language, f) for f in found]
    if not found:
        save_cropped(screen_path, s.probe.info(sysinfo.hwnd), os.path.join(folder, language + "-sysinfo.png"))
    close_sysinfo(s, dialog, sysinfo)
    os.remove(screen_path)


@case
def guide_pictures_of_a_test_in_each_language(s):
    if s.view != "32":
        raise Skip("the guide shows the 32-bit program")
    caption_button_font(s)
    desktop = GraphDesktop(s)  # restarts Wine, which then finds the font
    faults = []
    try:
        for language in ("en", "de", "fr"):
            # The norm comes from the capture tool's frame time, NTSC when it has
            # none: the German and French pictures show a PAL/SECAM user's settings.
            s.probe.reg_delete_tree("HKCU", VIDCAP)
            if language != "en":
                s.probe.reg_set("HKCU", VIDCAP, "MicroSecPerFrame", "dword", "40000")
            run_test_on_t(s, s.throttlefs, language=language, version="nt40", write_kbs=3000,
                          read_kbs=6000, stall_block=101, stall_ms=2000,
                          after=lambda s, dialog: take_pictures(s, dialog, language, faults))
            s.reset()
    finally:
        s.probe.reg_delete_tree("HKCU", VIDCAP)
        desktop.close()
    assert not faults, "\n".join(faults)
