#!/usr/bin/env python3
"""Draws the ports tree's area flags and port icons, the nearest-ports menu flags and the
port-name strip's page pictures, and writes them as 24-bit BMP files named by resource id.

    tools/pictures/draw_port_pictures.py [output folder]   (default: resources/ui/bitmaps)

Tree pictures are 16 x 16 on magenta (the image list's transparent colour); menu pictures are
16 x 15 on grey 192 (the owner-drawn menu's transparent colour). Everything is drawn here from
simple shapes; nothing is taken from elsewhere.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)
GREY = (192, 192, 192)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (206, 17, 38)
BLUE = (0, 36, 125)
NAVY = (1, 33, 105)
GREEN = (0, 122, 61)
GOLD = (252, 209, 22)
YELLOW = (255, 204, 0)
ORANGE = (255, 121, 0)
OUTLINE = (64, 64, 64)


class Canvas:
    def __init__(self, w, h, back):
        self.w, self.h = w, h
        self.px = [[back] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def bmp(self):
        stride = (self.w * 3 + 3) & ~3
        rows = b""
        for y in range(self.h - 1, -1, -1):
            row = b"".join(bytes((b, g, r)) for (r, g, b) in self.px[y])
            rows += row + b"\0" * (stride - self.w * 3)
        header = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
        return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 54) + header + rows


class Flag:
    """A flag drawn in a w x h box at (ox, oy) of a canvas."""

    def __init__(self, canvas, ox, oy, w=14, h=10):
        self.c, self.ox, self.oy, self.w, self.h = canvas, ox, oy, w, h

    def fill(self, x0, y0, x1, y1, col):
        self.c.rect(self.ox + x0, self.oy + y0, self.ox + x1, self.oy + y1, col)

    def dot(self, x, y, col):
        self.c.set(self.ox + x, self.oy + y, col)

    def hstripes(self, cols, weights=None):
        weights = weights or [1] * len(cols)
        total, y = sum(weights), 0
        for i, (col, wt) in enumerate(zip(cols, weights)):
            y1 = self.h - 1 if i == len(cols) - 1 else y + round(self.h * wt / total) - 1
            self.fill(0, y, self.w - 1, y1, col)
            y = y1 + 1

    def vstripes(self, cols, weights=None):
        weights = weights or [1] * len(cols)
        total, x = sum(weights), 0
        for i, (col, wt) in enumerate(zip(cols, weights)):
            x1 = self.w - 1 if i == len(cols) - 1 else x + round(self.w * wt / total) - 1
            self.fill(x, 0, x1, self.h - 1, col)
            x = x1 + 1

    def saltire(self, col, width=1):
        for x in range(self.w):
            y = round(x * (self.h - 1) / (self.w - 1))
            for d in range(width):
                self.dot(x, y + d, col)
                self.dot(x, self.h - 1 - y - d, col)

    def nordic(self, back, outer, inner=None):
        self.fill(0, 0, self.w - 1, self.h - 1, back)
        self.fill(3, 0, 5, self.h - 1, outer)
        self.fill(0, 3, self.w - 1, 6, outer)
        if inner:
            self.fill(4, 0, 4, self.h - 1, inner)
            self.fill(0, 4, self.w - 1, 5, inner)

    def union(self, w=7, h=5):
        self.fill(0, 0, w - 1, h - 1, NAVY)
        for x in range(w):
            y = round(x * (h - 1) / (w - 1))
            self.dot(x, y, WHITE)
            self.dot(x, h - 1 - y, WHITE)
        self.fill(w // 2 - 1, 0, w // 2 + 1, h - 1, WHITE)
        self.fill(0, h // 2 - 1, w - 1, h // 2 + 1, WHITE)
        self.fill(w // 2, 0, w // 2, h - 1, RED)
        self.fill(0, h // 2, w - 1, h // 2, RED)

    def ensign(self, back, badge=None, stars=None):
        self.fill(0, 0, self.w - 1, self.h - 1, back)
        self.union()
        if badge:
            self.fill(9, 3, 11, 6, badge)
        for (x, y, col) in stars or []:
            self.dot(x, y, col)
            self.dot(x - 1, y, col)
            self.dot(x + 1, y, col)
            self.dot(x, y - 1, col)
            self.dot(x, y + 1, col)

    def outline(self):
        for x in range(-1, self.w + 1):
            self.dot(x, -1, OUTLINE)
            self.dot(x, self.h, OUTLINE)
        for y in range(self.h):
            self.dot(-1, y, OUTLINE)
            self.dot(self.w, y, OUTLINE)


def england(f):
    f.fill(0, 0, f.w - 1, f.h - 1, WHITE)
    f.fill(6, 0, 7, f.h - 1, RED)
    f.fill(0, 4, f.w - 1, 5, RED)


def scotland(f):
    f.fill(0, 0, f.w - 1, f.h - 1, (0, 94, 184))
    f.saltire(WHITE, 2)


def ireland(f):
    f.vstripes([(22, 155, 98), WHITE, ORANGE])


def wales(f):
    f.hstripes([WHITE, (0, 177, 64)])
    f.fill(4, 3, 9, 6, RED)
    f.fill(3, 2, 4, 3, RED)
    f.fill(10, 6, 11, 7, RED)


def france(f):
    f.vstripes([(0, 35, 149), WHITE, (237, 41, 57)])


def belgium(f):
    f.vstripes([BLACK, (253, 218, 36), (239, 51, 64)])


def netherlands(f):
    f.hstripes([(174, 28, 40), WHITE, (33, 70, 139)])


def usa(f):
    f.hstripes([RED, WHITE] * 3 + [RED])
    f.fill(0, 0, 6, 4, (60, 59, 110))
    for y in (1, 3):
        for x in (1, 3, 5):
            f.dot(x, y, WHITE)


def canada(f):
    f.vstripes([RED, WHITE, RED], [1, 2, 1])
    f.fill(6, 3, 7, 7, RED)
    f.fill(5, 4, 8, 5, RED)


def puerto_rico(f):
    f.hstripes([RED, WHITE, RED, WHITE, RED])
    for x in range(6):
        f.fill(x, x * 5 // 6, x, f.h - 1 - x * 5 // 6, (0, 80, 240))
    f.dot(2, 4, WHITE)
    f.dot(2, 5, WHITE)


def jamaica(f):
    f.fill(0, 0, f.w - 1, f.h - 1, (0, 155, 58))
    for x in range(f.w):
        y = round(x * (f.h - 1) / (f.w - 1))
        if x < 5 or x > 8:
            for yy in range(min(y, f.h - 1 - y) + 1, max(y, f.h - 1 - y)):
                f.dot(x, yy, BLACK)
    f.saltire((254, 209, 0), 2)


def bahamas(f):
    f.hstripes([(0, 171, 201), (255, 199, 44), (0, 171, 201)])
    for x in range(6):
        f.fill(x, x * 5 // 6, x, f.h - 1 - x * 5 // 6, BLACK)


def cuba(f):
    f.hstripes([(0, 42, 143), WHITE, (0, 42, 143), WHITE, (0, 42, 143)])
    for x in range(6):
        f.fill(x, x * 5 // 6, x, f.h - 1 - x * 5 // 6, (207, 20, 43))
    f.dot(2, 4, WHITE)
    f.dot(2, 5, WHITE)


def dominican(f):
    f.fill(0, 0, 5, 3, (0, 45, 98))
    f.fill(8, 0, 13, 3, (206, 17, 38))
    f.fill(0, 6, 5, 9, (206, 17, 38))
    f.fill(8, 6, 13, 9, (0, 45, 98))
    f.fill(6, 0, 7, 9, WHITE)
    f.fill(0, 4, 13, 5, WHITE)


def haiti(f):
    f.hstripes([(0, 32, 159), (210, 16, 52)])
    f.fill(5, 3, 8, 6, WHITE)


def bermuda(f):
    f.ensign((200, 16, 46), badge=WHITE)


def turks(f):
    f.ensign(NAVY, badge=(255, 204, 0))


def cayman(f):
    f.ensign(NAVY, badge=(206, 17, 38))


def leeward(f):
    f.ensign(NAVY, badge=(0, 150, 80))


def windward(f):
    f.ensign(NAVY, badge=WHITE)


def norway(f):
    f.nordic((186, 12, 47), WHITE, (0, 32, 91))


def denmark(f):
    f.fill(0, 0, f.w - 1, f.h - 1, (200, 16, 46))
    f.fill(4, 0, 5, f.h - 1, WHITE)
    f.fill(0, 4, f.w - 1, 5, WHITE)


def germany(f):
    f.hstripes([BLACK, (221, 0, 0), (255, 206, 0)])


def gibraltar(f):
    f.hstripes([WHITE, (218, 0, 12)], [2, 1])
    f.fill(5, 2, 8, 5, RED)
    f.dot(5, 1, RED)
    f.dot(8, 1, RED)
    f.dot(6, 4, BLACK)
    f.dot(7, 4, BLACK)


def portugal(f):
    f.vstripes([(0, 102, 0), (255, 0, 0)], [2, 3])
    f.fill(4, 3, 6, 6, YELLOW)
    f.fill(5, 4, 5, 5, WHITE)


def spain(f):
    f.hstripes([(170, 21, 27), (241, 191, 0), (170, 21, 27)], [1, 2, 1])
    f.fill(3, 4, 4, 5, (170, 21, 27))


def australia(f):
    f.ensign(NAVY, stars=[(3, 7, WHITE), (10, 2, WHITE), (12, 5, WHITE), (9, 7, WHITE)])


def new_zealand(f):
    f.ensign(NAVY, stars=[(10, 2, (204, 20, 43)), (12, 5, (204, 20, 43)), (9, 7, (204, 20, 43))])


FLAGS = {
    "england": england, "scotland": scotland, "ireland": ireland, "wales": wales, "france": france,
    "belgium": belgium, "netherlands": netherlands, "usa": usa, "canada": canada,
    "puerto_rico": puerto_rico, "jamaica": jamaica, "bahamas": bahamas, "cuba": cuba,
    "dominican": dominican, "haiti": haiti, "bermuda": bermuda, "turks": turks, "cayman": cayman,
    "leeward": leeward, "windward": windward, "norway": norway, "denmark": denmark,
    "germany": germany, "gibraltar": gibraltar, "portugal": portugal, "spain": spain,
    "australia": australia, "new_zealand": new_zealand,
}

# The tree's image list, by bitmap id.
TREE_FLAGS = {
    139: "england", 143: "scotland", 141: "ireland", 145: "wales", 140: "france", 144: "belgium",
    142: "netherlands", 204: "usa", 205: "canada", 206: "puerto_rico", 207: "jamaica",
    208: "bahamas", 209: "cuba", 210: "dominican", 211: "haiti", 212: "bermuda", 214: "turks",
    213: "cayman", 215: "leeward", 216: "windward", 261: "norway", 256: "denmark",
    257: "germany", 258: "gibraltar", 259: "portugal", 260: "spain", 275: "australia",
    276: "new_zealand",
}

# The nearest-ports menu, by bitmap id.
MENU_FLAGS = {
    164: "england", 166: "scotland", 167: "ireland", 165: "wales", 168: "france", 170: "belgium",
    169: "netherlands", 229: "windward", 226: "leeward", 222: "puerto_rico", 223: "dominican",
    224: "haiti", 225: "jamaica", 220: "cayman", 221: "cuba", 227: "turks", 217: "bahamas",
    218: "bermuda", 228: "usa", 274: "denmark", 273: "germany", 219: "canada", 272: "spain",
    271: "portugal", 270: "gibraltar", 268: "norway", 279: "australia", 280: "new_zealand",
}


def tree_flag(name):
    c = Canvas(16, 16, MAGENTA)
    f = Flag(c, 1, 3)
    FLAGS[name](f)
    f.outline()
    return c


def menu_flag(name):
    c = Canvas(16, 15, GREY)
    f = Flag(c, 1, 2)
    FLAGS[name](f)
    f.outline()
    return c


def port_icon(standard):
    """A harbour buoy: a filled disc for a standard port, a ring for a secondary one."""
    c = Canvas(16, 16, MAGENTA)
    ring = (0, 70, 160)
    for y in range(16):
        for x in range(16):
            d2 = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if standard:
                if d2 <= 5.0 ** 2:
                    c.set(x, y, ring)
                if d2 <= 2.0 ** 2:
                    c.set(x, y, YELLOW)
            elif 2.6 ** 2 <= d2 <= 4.2 ** 2:
                c.set(x, y, ring)
    return c


def page_graph():
    c = Canvas(16, 15, GREY)
    c.rect(1, 1, 14, 13, WHITE)
    c.rect(1, 13, 14, 13, BLACK)
    c.rect(1, 1, 1, 13, BLACK)
    import math
    for x in range(2, 15):
        y = round(7 - 4 * math.sin((x - 2) * 2 * math.pi / 12))
        c.set(x, y, (0, 0, 200))
        c.set(x, y + 1, (0, 0, 200))
    return c


def page_table():
    c = Canvas(16, 15, GREY)
    c.rect(1, 1, 14, 13, WHITE)
    for y in (1, 4, 7, 10, 13):
        c.rect(1, y, 14, y, (0, 0, 128))
    for x in (1, 5, 14):
        c.rect(x, 1, x, 13, (0, 0, 128))
    c.rect(2, 2, 13, 3, (0, 0, 128))
    return c


def page_height():
    c = Canvas(16, 15, GREY)
    c.rect(2, 1, 5, 13, (255, 230, 120))
    c.rect(2, 1, 2, 13, BLACK)
    for y in range(2, 13, 2):
        c.rect(3, y, 4 if y % 4 else 5, y, BLACK)
    c.rect(8, 3, 13, 13, (0, 120, 220))
    c.rect(10, 1, 11, 6, (200, 0, 0))
    c.set(9, 5, (200, 0, 0))
    c.set(12, 5, (200, 0, 0))
    return c


def page_log():
    c = Canvas(16, 15, GREY)
    c.rect(2, 0, 13, 14, WHITE)
    c.rect(2, 0, 2, 14, (200, 0, 0))
    for y in range(3, 14, 3):
        c.rect(4, y, 12, y, (0, 0, 160))
    return c


def page_map():
    c = Canvas(16, 15, GREY)
    c.rect(0, 1, 15, 13, (80, 150, 230))
    for (x0, x1, y) in [(2, 6, 3), (1, 8, 4), (2, 9, 5), (3, 8, 6), (4, 6, 7), (10, 13, 9), (9, 14, 10), (11, 13, 11)]:
        c.rect(x0, y, x1, y, (60, 160, 60))
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "ui", "bitmaps")
    os.makedirs(out, exist_ok=True)
    pictures = {}
    for rid, name in TREE_FLAGS.items():
        pictures[rid] = tree_flag(name)
    for rid, name in MENU_FLAGS.items():
        pictures[rid] = menu_flag(name)
    pictures[137] = port_icon(True)
    pictures[138] = port_icon(False)
    pictures[161] = page_graph()
    pictures[162] = page_table()
    pictures[180] = page_height()
    pictures[185] = page_log()
    pictures[284] = page_map()
    for rid, canvas in sorted(pictures.items()):
        with open(os.path.join(out, "%d.bmp" % rid), "wb") as f:
            f.write(canvas.bmp())
    print("%d pictures in %s" % (len(pictures), os.path.normpath(out)))


if __name__ == "__main__":
    main()
