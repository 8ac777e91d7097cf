#!/usr/bin/env python3
"""Writes the three sort icons of the list titles into install/Data/Icon: ICO01.bmp (ascending,
an upward arrow), ICO02.bmp (not sorted, a grey cross), ICO03.bmp (descending, a downward arrow).
10 x 10 pixels, 24-bit BMP; the bottom-left pixel's colour is the transparent one."""

import os
import struct
import sys

SIZE = 10
BACK = (255, 0, 255)
DARK = (0, 0, 0)
GREY = (128, 128, 128)


def arrow(up):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            t = y if up else SIZE - 1 - y  # distance from the tip
            on = False
            if 1 <= t <= 5:
                on = abs(x - 4.5) <= t - 0.5 and t >= 1
            elif 6 <= t <= 8:
                on = 4 <= x <= 5
            row.append(DARK if on else BACK)
        rows.append(row)
    return rows


def cross():
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            on = 2 <= x <= 7 and 2 <= y <= 7 and (x == y or x + y == SIZE - 1)
            row.append(GREY if on else BACK)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    stride = (SIZE * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "install", "Data", "Icon")
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, "ICO01.bmp"), arrow(True))
    write_bmp(os.path.join(folder, "ICO02.bmp"), cross())
    write_bmp(os.path.join(folder, "ICO03.bmp"), arrow(False))


if __name__ == "__main__":
    main()
