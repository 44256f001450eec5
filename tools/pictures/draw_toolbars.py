#!/usr/bin/env python3
"""Draws the pictures of the "Standard" and "Map" toolbars, of the context menus and the GPS
pane's icon, and writes them with the toolbar resources as a resource script.

    tools/pictures/draw_toolbars.py > resources/ui/toolbars.nrc

Each button picture is 16 x 15 pixels, drawn here from lines, boxes and dots; the toolbar
bitmaps hold them side by side in button order. The top-left pixel of a bitmap is its mask
colour (magenta), so every picture keeps that corner clear.
"""
import sys

W, H = 16, 15
MASK = (255, 0, 255)

BLACK = (0, 0, 0)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)
WHITE = (255, 255, 255)
NAVY = (0, 0, 128)
BLUE = (0, 96, 192)
SEA = (64, 144, 216)
GREEN = (0, 128, 0)
RED = (192, 0, 0)
YELLOW = (255, 224, 64)
BROWN = (128, 80, 32)
SAND = (232, 208, 144)


class Pic:
    def __init__(self, w=W, h=H, bg=MASK):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h and (x, y) != (0, 0):
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if (x0, y0) == (x1, y1):
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def box(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def circle(self, cx, cy, r, c, filled=False):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if (filled and d <= r + 0.3) or (not filled and abs(d - r) < 0.55):
                    self.dot(x, y, c)

    def text(self, x, y, rows, c):
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    self.dot(x + i, y + j, c)


def graph():
    p = Pic()
    p.fill(1, 1, 14, 13, WHITE)
    p.box(1, 1, 14, 13, GREY)
    for x in range(2, 14):
        import math
        y = int(round(7 - 4 * math.sin((x - 2) / 11 * 2 * math.pi)))
        p.dot(x, y, BLUE)
        p.dot(x, y + 1, BLUE)
    return p


def table():
    p = Pic()
    p.fill(1, 1, 14, 13, WHITE)
    p.box(1, 1, 14, 13, GREY)
    p.fill(2, 2, 13, 3, NAVY)
    for y in (6, 9, 12):
        p.line(2, y, 13, y, LIGHT)
    p.line(6, 4, 6, 12, LIGHT)
    return p


def height_find():
    p = Pic()
    p.fill(2, 1, 5, 13, SAND)
    p.box(2, 1, 5, 13, BROWN)
    for y in range(3, 13, 2):
        p.line(3, y, 4 if y % 4 else 5, y, BROWN)
    p.line(8, 7, 14, 7, RED)
    p.line(8, 7, 10, 5, RED)
    p.line(8, 7, 10, 9, RED)
    return p


def tide_log():
    p = Pic()
    p.fill(2, 1, 13, 13, (240, 240, 200))
    p.box(2, 1, 13, 13, BROWN)
    p.line(4, 1, 4, 13, BROWN)
    for y in (4, 7, 10):
        p.line(6, y, 11, y, GREY)
    return p


def chart():
    p = Pic()
    p.fill(1, 2, 14, 12, SEA)
    p.fill(1, 2, 6, 7, SAND)
    p.fill(9, 8, 14, 12, SAND)
    p.box(1, 2, 14, 12, NAVY)
    p.line(10, 3, 10, 6, RED)
    p.dot(10, 3, RED)
    p.line(9, 4, 11, 4, RED)
    return p


def letters(rows, c=NAVY):
    p = Pic()
    p.text(1, 4, rows, c)
    return p


def metres():
    return letters([
        "##.##...........",
        "#.#.#...........",
        "#.#.#...........",
        "#.#.#...........",
        "#.#.#...........",
        "#...#...........",
    ], NAVY)


def feet():
    return letters([
        "..##..#.........",
        ".#....###.......",
        "###...#.........",
        ".#....#.........",
        ".#....#.........",
        ".#.....##.......",
    ], NAVY)


def arrow(left):
    p = Pic()
    for i in range(6):
        x = 4 + i if left else 11 - i
        p.line(x, 7 - i, x, 7 + i, GREEN)
    p.fill(10 if left else 2, 5, 13 if left else 5, 9, GREEN)
    return p


def calendar(mark):
    p = Pic()
    p.fill(2, 2, 13, 13, WHITE)
    p.box(2, 2, 13, 13, GREY)
    p.fill(2, 2, 13, 4, RED)
    p.dot(5, 1, BLACK)
    p.dot(10, 1, BLACK)
    p.text(4, 6, mark, NAVY)
    return p


def clock():
    p = Pic()
    p.circle(7.5, 7, 6, NAVY)
    p.circle(7.5, 7, 5, WHITE, filled=True)
    p.line(8, 7, 8, 3, BLACK)
    p.line(8, 7, 11, 8, BLACK)
    return p


def full_screen():
    p = Pic()
    p.box(1, 1, 14, 13, NAVY)
    p.fill(2, 2, 13, 12, WHITE)
    p.line(3, 3, 6, 6, BLUE)
    p.line(3, 3, 5, 3, BLUE)
    p.line(3, 3, 3, 5, BLUE)
    p.line(12, 11, 9, 8, BLUE)
    p.line(12, 11, 10, 11, BLUE)
    p.line(12, 11, 12, 9, BLUE)
    return p


def printer():
    p = Pic()
    p.fill(4, 1, 11, 5, WHITE)
    p.box(4, 1, 11, 5, GREY)
    p.fill(1, 5, 14, 10, LIGHT)
    p.box(1, 5, 14, 10, BLACK)
    p.dot(12, 7, GREEN)
    p.fill(4, 9, 11, 13, WHITE)
    p.box(4, 9, 11, 13, GREY)
    return p


def floppy():
    p = Pic()
    p.fill(1, 1, 14, 13, NAVY)
    p.fill(4, 1, 11, 5, LIGHT)
    p.fill(9, 2, 10, 4, NAVY)
    p.fill(3, 8, 12, 13, WHITE)
    return p


def help_mark():
    p = Pic()
    p.circle(7.5, 7, 6, BLUE, filled=True)
    p.text(5, 3, [
        ".###.",
        "#...#",
        "...#.",
        "..#..",
        ".....",
        "..#..",
    ], WHITE)
    return p


def globe():
    p = Pic()
    p.circle(7.5, 7, 6, SEA, filled=True)
    p.circle(7.5, 7, 6, NAVY)
    p.line(2, 7, 13, 7, NAVY)
    p.line(8, 1, 8, 13, NAVY)
    p.fill(4, 3, 6, 5, GREEN)
    p.fill(9, 9, 11, 10, GREEN)
    return p


def stream_time():
    p = clock()
    p.line(1, 13, 5, 13, BLUE)
    p.line(10, 13, 14, 13, BLUE)
    return p


def magnifier(sign):
    p = Pic()
    p.circle(6, 6, 4, BLACK)
    p.circle(6, 6, 3, WHITE, filled=True)
    p.line(9, 9, 13, 13, BROWN)
    p.line(10, 9, 14, 13, BROWN)
    if sign:
        p.line(4, 6, 8, 6, BLACK)
        if sign == "+":
            p.line(6, 4, 6, 8, BLACK)
    return p


def pointer():
    p = Pic()
    for i in range(9):
        p.line(4, 2 + i, 4 + i, 2 + i, BLACK if i in (0, 8) else WHITE)
        p.dot(4, 2 + i, BLACK)
        p.dot(4 + i, 2 + i, BLACK)
    p.line(7, 11, 9, 14, BLACK)
    p.line(8, 11, 10, 14, BLACK)
    return p


def route():
    p = Pic()
    pts = [(2, 12), (6, 5), (10, 9), (13, 2)]
    for a, b in zip(pts, pts[1:]):
        p.line(a[0], a[1], b[0], b[1], RED)
    for x, y in pts:
        p.fill(x - 1, y - 1, x + 1, y + 1, NAVY)
    return p


def streams():
    p = Pic()
    for y in (3, 7, 11):
        p.line(2, y, 12, y, BLUE)
        p.line(12, y, 10, y - 2, BLUE)
        p.line(12, y, 10, y + 2, BLUE)
    return p


def diamond():
    p = Pic()
    for i in range(6):
        p.line(7 - i, 1 + i, 8 + i, 1 + i, (160, 0, 160))
        p.line(7 - i, 13 - i, 8 + i, 13 - i, (160, 0, 160))
    p.line(7, 7, 8, 7, (160, 0, 160))
    p.text(6, 5, ["###", "#.#", "###"], WHITE)
    return p


def gps_icon():
    p = Pic(16, 16, None)
    # The satellite: a body and two panels, with signal arcs below.
    p.fill(6, 2, 9, 5, LIGHT)
    p.box(6, 2, 9, 5, BLACK)
    p.fill(1, 3, 4, 4, BLUE)
    p.fill(11, 3, 14, 4, BLUE)
    p.line(5, 3, 5, 4, BLACK)
    p.line(10, 3, 10, 4, BLACK)
    for r, c in ((4, GREEN), (7, GREEN)):
        for x in range(16):
            for y in range(7, 16):
                d = ((x - 7.5) ** 2 + (y - 4) ** 2) ** 0.5
                if abs(d - r) < 0.6 and abs(x - 7.5) < r * 0.75:
                    p.dot(x, y, c)
    p.fill(7, 13, 8, 14, RED)
    return p


STANDARD = [
    (32811, graph), (32812, table), (32858, height_find), (32864, tide_log), (32869, chart), 0,
    (32785, metres), (32791, feet), 0,
    (32788, lambda: arrow(True)), 0,
    (32778, lambda: calendar(["#..#", "##.#", "#.##", "#..#"])), 0,
    (32779, lambda: calendar(["#...#", "##.##", "#.#.#", "#...#"])), 0,
    (32780, lambda: calendar(["#.#", ".#.", ".#.", ".#."])),
    (32789, lambda: arrow(False)), 0,
    (32790, clock), (32787, full_screen), 0,
    (57607, printer), (32807, floppy), 0,
    (57667, help_mark),
]

MAP = [
    (32876, globe), 0,
    (32891, stream_time), 0,
    (32870, lambda: magnifier("+")), (32871, lambda: magnifier("-")), 0,
    (32872, pointer), (32874, lambda: magnifier(None)), (32873, route), 0,
    (32888, streams), (32896, diamond),
]

# The pictures of the context menus' commands (the graph, table, height finder and tidal log),
# by command, and the two pictures of commands that no toolbar holds.
MENU_PICTURES = [
    (32787, full_screen), (32807, floppy), (57607, printer), 0,
    (32785, metres), (32791, feet), 0,
    (32790, clock),
]


def copy_pages():
    p = Pic()
    for x0, y0 in ((1, 1), (6, 4)):
        p.fill(x0, y0, x0 + 8, y0 + 9, WHITE)
        p.box(x0, y0, x0 + 8, y0 + 9, NAVY)
        for y in range(y0 + 2, y0 + 9, 2):
            p.line(x0 + 2, y, x0 + 6, y, GREY)
    return p


def delete_cross():
    p = Pic()
    for i in range(9):
        for d in (0, 1):
            p.dot(3 + i + d, 3 + i, RED)
            p.dot(12 - i - d, 3 + i, RED)
    return p


CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"


def palette_of(rows):
    colours = []
    for row in rows:
        for c in row:
            if c not in colours:
                colours.append(c)
    # The mask colour first, so it stands for the same character everywhere.
    colours.sort(key=lambda c: (c != MASK, c is None, str(c)))
    return {c: CHARS[i] for i, c in enumerate(colours)}


def colour_text(c):
    if c is None:
        return "none"
    return "0x%02X%02X%02X" % c


def write_block(out, head, rows, w, h):
    pal = palette_of(rows)
    out.append(head)
    out.append("  colours")
    for c, ch in pal.items():
        out.append('    "%s" %s' % (ch, colour_text(c)))
    out.append("  end")
    out.append("  image %d %d" % (w, h))
    for row in rows:
        out.append('    "%s"' % "".join(pal[c] for c in row))
    out.append("  end")
    out.append("end")
    out.append("")


def toolbar(out, ident, items):
    out.append("toolbar %d %d %d" % (ident, W, H))
    for it in items:
        out.append("  separator" if it == 0 else "  button %d" % it[0])
    out.append("end")
    out.append("")
    pics = [it[1]() for it in items if it != 0]
    rows = [sum((p.px[y] for p in pics), []) for y in range(H)]
    write_block(out, "bitmap %d" % ident, rows, W * len(pics), H)


def main():
    out = ["# The toolbars and their pictures, the context menus' pictures and the GPS pane's icon.",
           "# Made by tools/pictures/draw_toolbars.py; do not edit.", ""]
    toolbar(out, 128, STANDARD)
    toolbar(out, 281, MAP)
    toolbar(out, 152, MENU_PICTURES)
    write_block(out, "bitmap 160", copy_pages().px, W, H)
    write_block(out, "bitmap 191", delete_cross().px, W, H)
    icon = gps_icon()
    write_block(out, "icon 292", icon.px, 16, 16)
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
