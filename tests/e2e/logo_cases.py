"""End-to-end cases of the logo panel: the default logo beside the program, logos
named by the registry that cannot be shown (the dialog narrows, silently), and
logos of other pixel sizes stretched into the panel, read back from the screen."""

import os
import struct
import time

from harness import CAPTION, SERVAL_KEY, case, wait_for
from main_dialog_cases import open_dialog
from result_cases import pixel, screen_pixels


def bitmap(width, height, bits, colour_at, table=()):
    """A BMP file: colour_at(x, y) gives the palette index (bits 8) or the (r, g, b)
    (bits 16 packs 5:5:5 of it, bits 24 writes it); y counts from the top."""
    row_bytes = (width * bits + 31) // 32 * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            c = colour_at(x, y)
            if bits == 8:
                row.append(c)
            elif bits == 16:
                r, g, b = c
                row += struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
            else:
                r, g, b = c
                row += bytes((b, g, r))
        pixels += row + b"\0" * (row_bytes - len(row))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, len(table), 0)
    offset = 14 + 40 + len(colours)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + colours + bytes(pixels)


QUADRANTS = [(255, 0, 0), (0, 200, 0), (0, 0, 255), (255, 255, 0)]  # TL, TR, BL, BR


def quadrant(x, y, width, height):
    return (1 if x >= width // 2 else 0) + (2 if y >= height // 2 else 0)


def put_logo(s, name, data):
    directory = os.path.join(os.environ["WINEPREFIX"], "drive_c", "logos")
    os.makedirs(directory, exist_ok=True)
    if data is not None:
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    s.probe.reg_set("HKCU", SERVAL_KEY, "Logo", "sz", "C:\\logos\\" + name)


def open_with_logo(s, name, data):
    """A fresh start of the program with Logo naming this file (data None: absent)."""
    s.reset()
    put_logo(s, name, data)
    return open_dialog(s, "en", fresh=False)


def logo_area(s, dialog):
    """Screen rectangle of the panel's client area, where the logo is painted."""
    return s.probe.client(s.probe.item(dialog.hwnd, 100).hwnd)


def close(s, dialog, program):
    s.probe.command(dialog.hwnd, 1)
    assert program.wait(15) == 0


@case
def a_logo_that_cannot_be_shown_narrows_the_dialog_silently(s):
    ok = bitmap(8, 8, 8, lambda x, y: 1, [(0, 0, 0), (255, 0, 0)])
    table = [
        ("missing.dib", None),
        ("sixteen.dib", bitmap(8, 8, 16, lambda x, y: (255, 0, 0))),  # no palette
        ("broken.dib", ok[:len(ok) - 10]),                            # ends inside the bits
        ("header108.dib", ok[:14] + struct.pack("<I", 108) + ok[18:]),
        ("text.dib", b"this is no bitmap at all, just text\n" * 4),
    ]
    faults = []
    for name, data in table:
        program, dialog = open_with_logo(s, name, data)
        time.sleep(0.5)
        panel = s.probe.item(dialog.hwnd, 100)
        l, t, r, b = s.probe.info(dialog.hwnd).rect
        if r - l != panel.rect[0] - l:
            faults.append("%s: %d wide, the panel starts %d in" % (name, r - l, panel.rect[0] - l))
        others = [w for w in s.probe.top_windows() if w.text == CAPTION and w.hwnd != dialog.hwnd]
        if others:
            faults.append("%s: a message was shown" % name)
        close(s, dialog, program)
    s.reset()
    assert not faults, "\n".join(faults)


@case
def logos_of_other_sizes_are_stretched_into_the_panel(s):
    faults = []
    table = [
        ("eight.dib", bitmap(300, 600, 8, lambda x, y: quadrant(x, y, 300, 600), QUADRANTS)),
        ("true.dib", bitmap(40, 20, 24, lambda x, y: QUADRANTS[quadrant(x, y, 40, 20)])),
    ]
    for name, data in table:
        program, dialog = open_with_logo(s, name, data)
        wait_for(lambda: s.probe.foreground() == dialog.hwnd, 5)
        time.sleep(0.8)
        x, y, w, h = logo_area(s, dialog)
        screen = screen_pixels(os.path.join(s.shots, "logo-%s.png" % name[:-4]))
        for (fx, fy), want in zip(((1, 1), (3, 1), (1, 3), (3, 3)), QUADRANTS):
            got = pixel(screen, x + w * fx // 4, y + h * fy // 4)
            # The 24-bit logo goes through the 256-colour cube; on a true-colour
            # screen its colours come through as they are.
            if got != want:
                faults.append("%s: quadrant %s shows %s, not %s" % (name, (fx, fy), got, want))
        # The edges of the area belong to the logo too: it fills the panel exactly.
        if pixel(screen, x, y) != QUADRANTS[0] or pixel(screen, x + w - 1, y + h - 1) != QUADRANTS[3]:
            faults.append("%s: the logo does not reach the corners of its area" % name)
        if pixel(screen, x + w, y + h // 4) in QUADRANTS or pixel(screen, x - 1, y + h // 4) in QUADRANTS:
            faults.append("%s: the logo spills out of its area" % name)
        close(s, dialog, program)
    s.reset()
    assert not faults, "\n".join(faults)


@case
def the_default_logo_beside_the_program_fills_the_column(s):
    s.reset()
    s.probe.reg_delete_value("HKCU", SERVAL_KEY, "Logo")
    program, dialog = open_dialog(s, "de", fresh=False)
    wait_for(lambda: s.probe.foreground() == dialog.hwnd, 5)
    time.sleep(0.8)
    x, y, w, h = logo_area(s, dialog)
    screen = screen_pixels(os.path.join(s.shots, "logo-default.png"))
    hub = pixel(screen, x + w * 112 // 225, y + h * 110 // 448)  # the platter's hub
    sky = pixel(screen, x + 4, y + 4)                            # the gradient's top
    close(s, dialog, program)
    assert hub == (0, 0, 0), hub
    assert sky[2] > 90 and sky[2] > sky[0], sky
