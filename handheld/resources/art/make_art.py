#!/usr/bin/env python3
"""Draws the handheld program's icons and menu-bar bitmaps as 16 x 16 pixel
art and writes them as .ico and .bmp files beside this script.

Reproducible: the same script always writes the same bytes. Standard library
only. Run: python3 make_art.py
"""
import os
import struct

SIZE = 16
CLEAR = None

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)
LINE = (150, 170, 210)
RED = (220, 30, 30)
DARK_RED = (140, 0, 0)
BLUE = (40, 90, 220)
DARK_BLUE = (10, 40, 130)
GRAY_FACE = (192, 192, 192)  # the toolbar's transparent colour in bitmaps


class Canvas:
    def __init__(self, size=SIZE):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def box(self, x0, y0, x1, y1, inside, edge=BLACK):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def disc(self, cx, cy, r, colour):
        for y in range(self.size):
            for x in range(self.size):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def ring(self, cx, cy, r, colour):
        for y in range(self.size):
            for x in range(self.size):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if (r - 0.5) ** 2 <= d <= (r + 0.5) ** 2:
                    self.put(x, y, colour)

    def glyph(self, x0, y0, rows, colour):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.put(x0 + dx, y0 + dy, colour)

    def scaled(self, factor):
        big = Canvas(self.size * factor)
        for y in range(self.size):
            for x in range(self.size):
                big.fill(x * factor, y * factor, x * factor + factor - 1, y * factor + factor - 1,
                         self.pixels[y][x])
        return big


def shade(colour, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in colour)


# ---- Pictures -------------------------------------------------------------

def folder(light):
    c = Canvas()
    dark = shade(light, 0.7)
    c.box(0, 3, 6, 5, dark)
    c.box(0, 5, 15, 13, light)
    c.fill(1, 12, 14, 12, dark)
    c.line(1, 6, 14, 6, shade(light, 1.15))
    return c


def notepad_with_pen():
    c = Canvas()
    c.box(1, 2, 11, 15, PAPER)
    for x in (3, 6, 9):
        c.fill(x, 0, x, 3, BLACK)  # the spiral rings
    for y in (6, 8, 10, 12):
        c.line(3, y, 9, y, LINE)
    c.line(15, 2, 7, 10, BLUE)  # the pen across the pad
    c.line(14, 2, 6, 10, DARK_BLUE)
    c.line(15, 3, 8, 10, DARK_BLUE)
    c.put(6, 11, BLACK)
    c.put(5, 12, BLACK)
    return c


def asterisk_folder():
    c = folder((250, 210, 60))
    c.glyph(5, 6, ["#.#.#", ".###.", "#####", ".###.", "#.#.#"], RED)
    return c


def digits_folder():
    c = folder((250, 210, 60))
    one = [".#", "##", ".#", ".#", ".#", "###"]
    two = ["###", "..#", "###", "#..", "#..", "###"]
    c.glyph(4, 6, one, BLACK)
    c.glyph(9, 6, two, BLACK)
    return c


def calendar_with_clock():
    c = Canvas()
    c.box(0, 1, 12, 13, PAPER)
    c.fill(1, 2, 11, 4, RED)
    for y in (6, 8, 10):
        for x in (2, 4, 6, 8, 10):
            c.put(x, y, DARK_BLUE)
    c.disc(11, 11, 4.5, BLACK)
    c.disc(11, 11, 3.5, WHITE)
    c.line(11, 11, 11, 8, BLACK)
    c.line(11, 11, 13, 11, BLACK)
    return c


def square_bullet(colour):
    c = Canvas()
    c.box(4, 4, 11, 11, colour, shade(colour, 0.5))
    c.line(5, 5, 10, 5, shade(colour, 1.3))
    c.line(5, 5, 5, 10, shade(colour, 1.3))
    return c


def yellow_note():
    c = Canvas()
    note = (255, 235, 90)
    c.box(1, 1, 14, 14, note, (170, 140, 0))
    c.line(10, 14, 14, 10, (170, 140, 0))
    c.fill(12, 13, 13, 13, (220, 190, 40))
    for y in (4, 7, 10):
        c.line(3, y, 11, y, (150, 120, 0))
    return c


def pinned_note():
    c = Canvas()
    note = (255, 245, 160)
    c.box(1, 4, 14, 15, note, (170, 140, 0))
    for y in (8, 11, 13):
        c.line(3, y, 12, y, (150, 120, 0))
    c.disc(8, 3, 2.5, RED)
    c.put(7, 2, (255, 150, 150))
    c.line(8, 5, 8, 7, DARK_RED)
    return c


def blank_page():
    c = Canvas()
    c.box(2, 0, 13, 15, WHITE)
    c.fill(10, 0, 13, 3, CLEAR)
    c.line(10, 0, 13, 3, BLACK)
    c.frame(10, 0, 10, 3, BLACK)
    c.frame(10, 3, 13, 3, BLACK)
    c.fill(11, 1, 11, 2, (210, 210, 210))
    c.put(12, 2, (210, 210, 210))
    return c


def check_list():
    c = Canvas()
    c.box(1, 0, 14, 15, WHITE)
    green = (0, 150, 0)
    for top in (2, 7, 12):
        c.frame(3, top, 5, top + 2, BLACK)
        c.line(7, top + 1, 12, top + 1, LINE)
    for top in (2, 7):
        c.put(3, top + 1, green)
        c.put(4, top + 2, green)
        c.line(4, top + 2, 6, top - 1, green)
    return c


def exclamation():
    c = Canvas()
    c.fill(6, 1, 9, 10, RED)
    c.frame(6, 1, 9, 10, DARK_RED)
    c.fill(6, 12, 9, 15, RED)
    c.frame(6, 12, 9, 15, DARK_RED)
    return c


def down_arrow():
    c = Canvas()
    c.fill(5, 1, 10, 8, BLUE)
    for i in range(7):
        c.line(1 + i, 8 + i, 14 - i, 8 + i, BLUE)
    c.line(5, 1, 5, 8, DARK_BLUE)
    c.line(10, 1, 10, 8, DARK_BLUE)
    c.line(5, 1, 10, 1, DARK_BLUE)
    c.line(1, 8, 7, 14, DARK_BLUE)
    c.line(14, 8, 8, 14, DARK_BLUE)
    return c


def disc(face, rim, label=None):
    c = Canvas()
    c.disc(7.5, 7.5, 7.5, rim)
    c.disc(7.5, 7.5, 6.5, face)
    c.line(4, 3, 6, 2, WHITE)  # a reflection
    c.line(3, 4, 2, 6, WHITE)
    if label:
        c.ring(7.5, 7.5, 4, label)
    c.disc(7.5, 7.5, 2.0, rim)
    c.disc(7.5, 7.5, 1.0, CLEAR)
    return c


def bullet_mark():
    c = Canvas()
    c.disc(7.5, 7.5, 2.6, BLACK)
    return c


def page_with_pencil():
    c = Canvas()
    c.box(1, 1, 10, 14, WHITE)
    for y in (4, 6, 8, 10):
        c.line(3, y, 8, y, LINE)
    c.line(14, 3, 7, 10, (240, 180, 0))  # the pencil
    c.line(15, 4, 8, 11, (200, 130, 0))
    c.line(13, 3, 6, 10, (200, 130, 0))
    c.put(6, 11, BLACK)
    c.put(14, 2, (230, 120, 140))
    c.put(15, 3, (230, 120, 140))
    return c


def red_cross():
    c = Canvas()
    for d in range(3):
        c.line(2 + d, 2, 13, 13 - d, RED)
        c.line(2, 2 + d, 13 - d, 13, RED)
        c.line(13 - d, 2, 2, 13 - d, RED)
        c.line(13, 2 + d, 2 + d, 13, RED)
    return c


IMAGES = [
    notepad_with_pen(),                  # 0 the root, as the program's icon
    asterisk_folder(),                   # 1 category and priority groups
    calendar_with_clock(),               # 2 date groups
    digits_folder(),                     # 3
    folder((250, 210, 60)),              # 4 Folder 1 yellow
    folder((70, 120, 230)),              # 5 Folder 2 blue
    folder((165, 165, 165)),             # 6 Folder 3 gray
    folder((60, 180, 60)),               # 7 Folder 4 green
    folder((60, 210, 220)),              # 8 Folder 5 cyan
    square_bullet((150, 150, 150)),      # 9 Bullet 1 gray
    square_bullet((130, 230, 130)),      # 10 Bullet 2 light green
    square_bullet((150, 60, 190)),       # 11 Bullet 3 purple
    yellow_note(),                       # 12 Note 1
    pinned_note(),                       # 13 Note 2
    blank_page(),                        # 14 File
    check_list(),                        # 15 Check List
    exclamation(),                       # 16 Important
    down_arrow(),                        # 17 Low Priority
    disc((215, 215, 225), (120, 120, 130)),                      # 18 CD
    disc((230, 200, 110), (120, 90, 20), label=(150, 60, 170)),  # 19 DVD
]


# ---- Files ----------------------------------------------------------------

def icon_image(canvas):
    """One icon image: BITMAPINFOHEADER, 32-bit colour rows, AND mask rows."""
    n = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row_bytes = ((n + 31) // 32) * 4
    for y in reversed(range(n)):
        row_mask = bytearray(mask_row_bytes)
        for x in range(n):
            p = canvas.pixels[y][x]
            if p is None:
                colour += bytes((0, 0, 0, 0))
                row_mask[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((p[2], p[1], p[0], 255))
        mask += row_mask
    return header + bytes(colour) + bytes(mask)


def write_icon(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        n = canvas.size
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


def write_bitmap(path, canvas):
    """24-bit bitmap; transparent pixels become the toolbar's button gray."""
    n = canvas.size
    rows = bytearray()
    for y in reversed(range(n)):
        row = bytearray()
        for x in range(n):
            p = canvas.pixels[y][x] or GRAY_FACE
            row += bytes((p[2], p[1], p[0]))
        while len(row) % 4:
            row.append(0)
        rows += row
    info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(here, "app.ico"), [IMAGES[0], IMAGES[0].scaled(2)])
    for i, canvas in enumerate(IMAGES):
        write_icon(os.path.join(here, "image%02d.ico" % i), [canvas])
    write_icon(os.path.join(here, "bullet.ico"), [bullet_mark()])
    write_bitmap(os.path.join(here, "modify.bmp"), page_with_pencil())
    write_bitmap(os.path.join(here, "delete.bmp"), red_cross())


if __name__ == "__main__":
    main()
