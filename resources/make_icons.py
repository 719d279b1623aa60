#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files (32x32 and 16x16,
16 colours with the standard VGA palette and an AND mask), so that Windows 95
shows them as well as later systems.

stravo.ico: a disk platter seen from above with a speed gauge needle over it.
vexo.ico:   the maker's mark, a bold "V" on a dark blue square.

Usage: make_icons.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

# The 16 VGA colours in palette order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKRED, DARKGREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = None


def stravo_pixel(u, v):
    """Colour at (u, v), both in [-1, 1] from the centre; None is transparent."""
    r = math.hypot(u, v)
    if r > 0.97:
        return CLEAR
    if r > 0.88:
        return BLACK                      # rim
    # needle from the hub towards upper right (a fast reading)
    ang = math.radians(40)
    nx, ny = math.cos(ang), -math.sin(ang)
    along = u * nx + v * ny
    across = abs(-u * ny + v * nx)
    if 0 <= along <= 0.8 and across < 0.07 + 0.05 * (0.8 - along):
        return RED
    if r < 0.16:
        return BLACK                      # hub
    # scale marks along the upper half
    if v < 0 and 0.68 < r < 0.84:
        a = math.degrees(math.atan2(-v, u))
        if min(abs(a - m) for m in (0, 30, 60, 90, 120, 150, 180)) < 5:
            return NAVY
    # platter rings
    if 0.48 < r < 0.52:
        return GREY
    return SILVER if r > 0.3 else WHITE


def vexo_pixel(u, v):
    if max(abs(u), abs(v)) > 0.94:
        return CLEAR
    if max(abs(u), abs(v)) > 0.86:
        return BLUE                       # light border
    # a bold V: two strokes from the top corners meeting at the bottom centre
    if -0.62 <= v <= 0.66:
        t = (v + 0.62) / 1.28             # 0 at the top, 1 at the tip
        centre = 0.6 * (1 - t)
        half = 0.2 - 0.04 * t
        if abs(abs(u) - centre) < half:
            return WHITE if abs(abs(u) - centre) < half - 0.07 else CYAN
    return NAVY


def render(pixel, size):
    """Rows top to bottom, supersampling by 4x4 and voting for the colour."""
    rows = []
    n = 4
    for y in range(size):
        row = []
        for x in range(size):
            votes = {}
            for sy in range(n):
                for sx in range(n):
                    u = ((x + (sx + 0.5) / n) / size) * 2 - 1
                    v = ((y + (sy + 0.5) / n) / size) * 2 - 1
                    c = pixel(u, v)
                    votes[c] = votes.get(c, 0) + 1
            row.append(max(votes, key=lambda c: (votes[c], c is not None)))
        rows.append(row)
    return rows


def image_bytes(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):            # DIBs run bottom-up
        line = bytearray()
        for x in range(0, size, 2):
            hi = row[x] or 0
            lo = row[x + 1] or 0
            line.append((hi << 4) | lo)
        while len(line) % 4:
            line.append(0)
        xor += line
        bits = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def write_icon(path, pixel):
    images = [image_bytes(render(pixel, s)) for s in (32, 16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    write_icon(os.path.join(sys.argv[1], 'stravo.ico'), stravo_pixel)
    write_icon(os.path.join(sys.argv[1], 'vexo.ico'), vexo_pixel)


if __name__ == '__main__':
    main()
