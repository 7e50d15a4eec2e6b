#!/usr/bin/env python3
"""Writes the two desktop icons (32x32 and 16x16, 32-bit colour) from a few shapes.

Run from this folder; the .ico files it writes are committed beside the programs.
"""
import struct


def image(size, mark):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = x / (size - 1), y / (size - 1)
            colour = None
            # A box: the package.
            if 0.12 <= u <= 0.88 and 0.38 <= v <= 0.9:
                edge = u < 0.18 or u > 0.82 or v < 0.44 or v > 0.84
                colour = (40, 70, 140) if edge else (90, 140, 210)
            if mark == "arrow":
                if abs(u - 0.5) < 0.09 and v < 0.5:
                    colour = (30, 150, 60)
                if 0.42 <= v <= 0.62 and abs(u - 0.5) < (0.62 - v) * 1.2:
                    colour = (30, 150, 60)
            else:
                d1, d2 = abs(u - v), abs(u + v - 1.0)
                if 0.15 <= u <= 0.85 and 0.15 <= v <= 0.85 and min(d1, d2) < 0.1:
                    colour = (200, 40, 40)
            row.append((0, 0, 0, 0) if colour is None else (colour[2], colour[1], colour[0], 255))
        rows.append(row)
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def write_icon(path, mark):
    images = [(32, image(32, mark)), (16, image(16, mark))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


write_icon("setup/Ferrywell.ico", "arrow")
write_icon("uninstall/Ferryclear.ico", "cross")
