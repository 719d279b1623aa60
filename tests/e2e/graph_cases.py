"""End-to-end cases of the performance graph, inside a Wine virtual desktop so that
the window has a frame and Wine's own move and size loop (WM_SIZING). The desktop
is made the default of every process, the probe included, or it could not see the
window (a per-program desktop setting reaches the 32-bit programs only)."""

import os
import time

from harness import WM_SYSCOMMAND, case, click_at, wait_for, xdotool
from disk_test_cases import run_test_on_t
from main_dialog_cases import open_dialog
from result_cases import pixel, screen_pixels

SC_MAXIMIZE, SC_RESTORE = 0xF030, 0xF120
EXPLORER = r"Software\Wine\Explorer"
TITLE = {"en": "Performance Graph - Drive %s", "de": "Datenrate Grafik -  Laufwerk %s",
         "fr": "La graphique du taux de donn\u00e9es pour le disque %s"}
RED, BLUE = (255, 0, 0), (0, 0, 255)


class GraphDesktop:
    """The program and the probe on a virtual desktop of their own, for one case."""

    def __init__(self, s):
        self.s = s
        s.probe.reg_set("HKCU", EXPLORER, "Desktop", "sz", "Graphs")
        s.probe.reg_set("HKCU", EXPLORER + r"\Desktops", "Graphs", "sz", "1024x768")
        s.restart_wine()

    def close(self):
        self.s.probe.reg_delete_value("HKCU", EXPLORER, "Desktop")
        self.s.restart_wine()


def open_graph(s, dialog, drive, language="en"):
    s.probe.command(dialog.hwnd, 187)
    title = TITLE[language] % drive
    found = wait_for(lambda: [w for w in s.owned_by(dialog) if w.text == title], 15)
    assert found, "Graphic opened no window titled %r" % title
    time.sleep(0.5)
    return found[0]


def layout(h, width, height):
    """Label boxes (x, y, w, h) of 190, 193, 192, 191, 194, 195 for label height h."""
    left, right, bottom = 10, h * 46 // 12, h + 6

    def k(n):
        return n * h // 12
    mid = left + int((width - right - left - k(30)) / 2)  # halved toward zero, as in C
    return {190: (left, 2, k(30), h), 193: (left + k(32), 2, k(45), h),
            192: (mid, height - h - 3, k(30), h), 191: (width - right - 2 * h, height - h - 3, k(20), h),
            194: (width - right - k(32), height - bottom - h - 2, k(30), h),
            195: (width - right + 1, height - bottom - h - 2, right, h)}


def label_faults(s, graph, what):
    cx, cy, width, height = s.probe.client(graph.hwnd)
    h = s.probe.client(s.probe.item(graph.hwnd, 190).hwnd)[3]
    faults = []
    for cid, box in layout(h, width, height).items():
        x, y, w, hh = s.probe.client(s.probe.item(graph.hwnd, cid).hwnd)
        if (x - cx, y - cy, w, hh) != box:
            faults.append("%s: label %d at %s, not %s" % (what, cid, (x - cx, y - cy, w, hh), box))
    return faults


def plot(s, graph):
    """Screen rectangle of the plot and the margins' label height."""
    cx, cy, width, height = s.probe.client(graph.hwnd)
    h = s.probe.client(s.probe.item(graph.hwnd, 190).hwnd)[3]
    left, right, top, bottom = 10, h * 46 // 12, h + 6, h + 6
    return cx + left, cy + top, width - left - right, height - top - bottom


def colour_in_column(screen, x, top, bottom, colour):
    return [y for y in range(top, bottom) if pixel(screen, x, y) == colour]


def drag(x1, y1, x2, y2):
    xdotool("mousemove", "--sync", x1, y1)
    xdotool("mousedown", 1)
    for step in range(1, 6):
        xdotool("mousemove", "--sync", x1 + (x2 - x1) * step // 5, y1 + (y2 - y1) * step // 5)
        time.sleep(0.05)
    xdotool("mouseup", 1)
    time.sleep(0.3)


def check_graph(s, dialog, faults):
    graph = open_graph(s, dialog, "T:")
    l, t, r, b = s.probe.info(graph.hwnd).rect
    if (r - l, b - t) != (600, 300):
        faults.append("opened at %dx%d, not 600x300" % (r - l, b - t))
    texts = {cid: s.probe.item(graph.hwnd, cid).text for cid in (190, 191, 192, 193, 194, 195)}
    y_max = int(texts[190])
    if y_max % 2500 or y_max < 5000:
        faults.append("y maximum %d" % y_max)
    want = {191: "20", 192: "10", 193: "[kB/sek]", 194: "[MB]", 195: "10000"}
    faults += ["label %d %r, not %r" % (c, texts[c], v) for c, v in want.items() if texts[c] != v]
    faults += label_faults(s, graph, "600x300")

    # The stall at block 101 of 214 (2 s for one block) pulls the write curve
    # lower than anything else does; the read curve stays up along the file.
    px, py, pw, ph = plot(s, graph)
    screen = screen_pixels(os.path.join(s.shots, "graph_both_curves.png"))
    deepest = {x: max(colour_in_column(screen, x, py, py + ph + 1, RED) or [0])
               for x in range(px + 1, px + pw)}
    bottom = max(deepest.values())
    stall_x = px + pw * 101 * 96 // 20000
    at_bottom = [x for x, y in deepest.items() if y >= bottom - 1]
    if bottom < py + ph - ph // 10 or any(abs(x - stall_x) > 3 for x in at_bottom):
        faults.append("the write curve's lowest point is not the stall at x %d: %s" % (stall_x, at_bottom))
    for block in (30, 60, 160):
        x = px + pw * block * 96 // 20000
        # The dotted average line runs over the curve; its white gaps may hide a column.
        if not any(colour_in_column(screen, x + d, py - 20, py + ph, BLUE) for d in range(-2, 3)):
            faults.append("no read curve at block %d" % block)

    # A drag along the plot: label 195 follows the pointer; the readout is redrawn
    # in the band, read (blue) left of the centre, write (red) right of it.
    x2 = px + pw * 3 // 4
    drag(px + pw // 4, py + ph // 2, x2, py + ph // 2)
    want_kb = (x2 - px) * 20000 // pw
    if s.probe.item(graph.hwnd, 195).text != str(want_kb):
        faults.append("after the drag label 195 is %r, not %d" % (s.probe.item(graph.hwnd, 195).text, want_kb))
    screen = screen_pixels(os.path.join(s.shots, "graph_after_drag.png"))
    cx, cy, width, _ = s.probe.client(graph.hwnd)
    band = range(cy + 1, py)
    if not any(pixel(screen, x, y) == BLUE for x in range(cx + width // 2 - 100, cx + width // 2) for y in band):
        faults.append("no read readout left of the centre")
    if not any(pixel(screen, x, y) == RED for x in range(cx + width // 2 + 10, cx + width // 2 + 110) for y in band):
        faults.append("no write readout right of the centre")

    # The switches in the band: the left half takes the read curve away, the right
    # half the write curve.
    click_at(cx + width // 4, cy + 3)
    time.sleep(0.5)
    screen = screen_pixels(os.path.join(s.shots, "graph_write_curve_only.png"))
    x = px + pw * 60 * 96 // 20000
    if colour_in_column(screen, x, py, py + ph, BLUE):
        faults.append("the read curve is still drawn after its switch")
    if not any(colour_in_column(screen, x + d, py - 20, py + ph, RED) for d in range(-2, 3)):
        faults.append("the write curve went with the read switch")
    click_at(cx + width * 3 // 4, cy + 3)
    time.sleep(0.5)
    screen = screen_pixels(os.path.join(s.shots, "graph_no_curves.png"))
    if colour_in_column(screen, x, py, py + ph, RED):
        faults.append("the write curve is still drawn after its switch")

    # Shrinking by the frame's corner stops at the minimum size.
    l, t, r, b = s.probe.info(graph.hwnd).rect
    drag(r - 2, b - 2, l + 60, t + 40)
    l2, t2, r2, b2 = s.probe.info(graph.hwnd).rect
    h = s.probe.client(s.probe.item(graph.hwnd, 190).hwnd)[3]
    minimum = (10 + h * 46 // 12 + 300, 2 * (h + 6) + 150)
    if (r2 - l2, b2 - t2) != minimum:
        faults.append("shrunk to %dx%d, not the minimum %dx%d" % ((r2 - l2, b2 - t2) + minimum))
    faults += label_faults(s, graph, "at the minimum")

    # Maximised and restored, the labels follow each size.
    s.probe.send(graph.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0)
    time.sleep(0.5)
    if s.probe.client(graph.hwnd)[2] < 900:
        faults.append("not maximised: %s" % (s.probe.client(graph.hwnd),))
    faults += label_faults(s, graph, "maximised")
    s.probe.send(graph.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)
    time.sleep(0.5)
    faults += label_faults(s, graph, "restored")

    # Closing: Escape, Enter, the close box and Alt+F4 each end it.
    for how in ("Escape", "Return", "close box", "alt+F4"):
        if how == "close box":
            l, t, r, b = s.probe.info(graph.hwnd).rect
            click_at(r - 12, t + 11)
        else:
            click_at(*[v + 5 for v in s.probe.client(graph.hwnd)[:2]])  # focus, outside the band
            xdotool("key", "--clearmodifiers", how)
        if not wait_for(lambda: not s.owned_by(dialog), 5):
            faults.append("%s did not close the graph" % how)
            for w in s.owned_by(dialog):
                s.probe.command(w.hwnd, 2)
        if not wait_for(lambda: s.probe.info(dialog.hwnd).enabled, 5):
            faults.append("the main dialog stayed disabled after %s" % how)
        if how != "alt+F4":
            graph = open_graph(s, dialog, "T:")


@case
def the_graph_shows_a_stall_follows_the_cursor_and_keeps_its_minimum(s):
    desktop = GraphDesktop(s)
    faults = []
    try:
        run_test_on_t(s, s.throttlefs, write_kbs=3000, read_kbs=6000, stall_block=101,
                      stall_ms=2000, after=lambda s, dialog: check_graph(s, dialog, faults))
    finally:
        desktop.close()
    assert not faults, "\n".join(faults)


@case
def the_graph_title_speaks_each_language(s):
    desktop = GraphDesktop(s)
    try:
        for language in ("de", "fr"):
            program, dialog = open_dialog(s, language)
            s.probe.post(dialog.hwnd, 0x0111, 171, 0)
            assert wait_for(lambda: s.probe.info(dialog.hwnd).text == "vexoVIDEO STRAVO (Stravometer)"
                            and s.probe.item(dialog.hwnd, 187).enabled, 90), "the test on C: did not end"
            graph = open_graph(s, dialog, "C:", language)
            assert s.probe.item(graph.hwnd, 193).text == "[kB/sek]"
            s.probe.command(graph.hwnd, 2)
            assert wait_for(lambda: not s.owned_by(dialog), 5)
            s.probe.command(dialog.hwnd, 1)
            for box in wait_for(lambda: s.owned_by(dialog), 3) or []:
                s.probe.command(box.hwnd, 7)  # the store prompt, if any: No
            assert program.wait(30) == 0
    finally:
        s.stop_all()
        desktop.close()
