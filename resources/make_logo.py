#!/usr/bin/env python3
"""Draws the default logo, VEXOLOGO.DIB: an 8-bit palette bitmap of this project's
own design (a disk platter over a film strip and a row of rising rate bars on a
blue gradient), sized to the logo panel at the common dialog font.

Usage: make_logo.py OUTPUT"""

import math
import struct
import sys

WIDTH, HEIGHT = 225, 448

# Palette: 0-127 the background gradient, then the fixed colours.
palette = []
for i in range(128):
    t = i / 127
    palette.append((int(16 + 20 * t), int(32 + 90 * t), int(96 + 100 * t)))  # (r, g, b)
FIXED = {
    "white": (255, 255, 255), "black": (0, 0, 0), "silver": (200, 204, 210), "grey": (120, 124, 132),
    "strip": (36, 36, 44), "red": (220, 40, 40), "amber": (240, 170, 40), "green": (60, 190, 90),
    "cyan": (0, 192, 192),
}
index = {}
for name, rgb in FIXED.items():
    index[name] = len(palette)
    palette.append(rgb)
while len(palette) < 256:
    palette.append((0, 0, 0))


def pixel(x, y):
    """Colour index at x, y (y downwards from the top)."""
    # Disk platter: a silver disc with grooves and a hub.
    cx, cy, radius = WIDTH // 2, 110, 80
    d = math.hypot(x - cx, y - cy)
    if d <= radius:
        if d < 10:
            return index["black"]
        if d < 22:
            return index["grey"]
        angle = math.atan2(y - cy, x - cx)
        if 0.3 < angle < 0.55 and d > 30:  # the head's arm
            return index["red"]
        return index["grey"] if int(d) % 9 == 0 else index["silver"]
    # Film strip with sprocket holes.
    if 230 <= y < 290:
        if (y < 240 or y >= 280) and (x % 18) in range(4, 12):
            return index["white"]
        if 244 <= y < 276 and (x % 56) in range(2, 54):
            return index["cyan"] if (x // 56) % 2 == 0 else index["grey"]
        return index["strip"]
    # Rate bars rising to the right, the last ones amber and red.
    if 320 <= y < 420:
        bar = (x - 12) // 25
        inside = 0 <= bar < 8 and (x - 12) % 25 < 18
        top = 420 - 12 * (bar + 1)
        if inside and y >= top:
            return index["green"] if bar < 5 else index["amber"] if bar < 7 else index["red"]
    if y == 424 and 10 <= x < WIDTH - 10:
        return index["white"]
    return min(127, y * 128 // HEIGHT)


def main():
    row_bytes = (WIDTH + 3) // 4 * 4
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytes(pixel(x, y) for x in range(WIDTH))
        pixels += row + b"\0" * (row_bytes - WIDTH)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(sys.argv[1], "wb") as f:
        f.write(header + info + table + pixels)


if __name__ == "__main__":
    main()
