#!/usr/bin/env python3
"""Draws the splash screen (bitmap 163) and the About box's picture (bitmap 156): a sky over
the sea with a day's tide curve, written as 24-bit bitmaps to resources/ui/bitmaps/; the same
picture faded towards white as the picture behind the graph's and the monthly table's
placeholder text (bitmap 149); and the tip of the day's light bulb (icon 158), written as
resources/ui/tipicon.nrc.

Run from the repository's top folder: python3 tools/pictures/draw_dialog_pictures.py
"""
import math
import struct
import sys


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def tide(x, w):
    # Two tides a day with a little diurnal inequality.
    t = x / w * 24.0
    return 0.5 + 0.38 * math.cos((t - 3.8) * 2 * math.pi / 12.42) + 0.06 * math.cos((t - 1.0) * 2 * math.pi / 24.84)


def draw(w, h):
    sky_top, sky_low = (40, 70, 130), (170, 200, 230)
    sea_top, sea_low = (30, 90, 140), (10, 40, 80)
    horizon = int(h * 0.45)
    px = [[(0, 0, 0)] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if y < horizon:
                c = lerp(sky_top, sky_low, y / max(1, horizon - 1))
            else:
                t = (y - horizon) / max(1, h - horizon - 1)
                c = lerp(sea_top, sea_low, t)
                # Swell lines.
                if (y - horizon) % 7 == 0 and math.sin(x * 0.21 + y) > 0.3:
                    c = lerp(c, (200, 220, 235), 0.35)
            px[y][x] = c
    # The sun low over the horizon.
    sx, sy, r = int(w * 0.78), int(horizon * 0.55), max(3, h // 10)
    for y in range(max(0, sy - r), min(h, sy + r + 1)):
        for x in range(max(0, sx - r), min(w, sx + r + 1)):
            d = math.hypot(x - sx, y - sy)
            if d <= r:
                px[y][x] = lerp(px[y][x], (255, 230, 150), min(1.0, (r - d + 1) / 2))
    # The tide curve across the picture, in the graph's green with a white edge.
    top, bottom = int(h * 0.12), int(h * 0.88)
    thick = max(1, h // 80)
    for x in range(w):
        yc = bottom - tide(x, w) * (bottom - top)
        for y in range(int(yc) - thick - 1, int(yc) + thick + 2):
            if 0 <= y < h:
                d = abs(y - yc)
                if d <= thick:
                    px[y][x] = (0, 160, 60)
                elif d <= thick + 1:
                    px[y][x] = lerp(px[y][x], (255, 255, 255), 0.6)
    return px


def faded(px, white):
    # Black text with a white shadow is drawn across the middle: keep every pixel light.
    return [[lerp(c, (255, 255, 255), white) for c in row] for row in px]


def write_bmp(path, px):
    h, w = len(px), len(px[0])
    stride = (w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)))
        f.write(header)
        f.write(rows)


def bulb():
    # Characters: "." clear, "k" outline, "y" glass, "w" highlight, "g" screw base.
    rows = []
    for y in range(32):
        row = ""
        for x in range(32):
            cx, cy = 15.5, 12.0
            d = math.hypot(x - cx, (y - cy) * 1.05)
            c = "."
            if y <= 22 and d <= 10.5:
                c = "k" if d > 9.3 else ("w" if math.hypot(x - 11.5, y - 8.0) < 2.6 else "y")
            elif 20 <= y <= 22 and 11 <= x <= 20:
                c = "k" if x in (11, 20) else "y"
            elif 23 <= y <= 28 and 11 <= x <= 20:
                c = "k" if x in (11, 20) or y == 28 or y % 2 == 0 else "g"
            elif y == 29 and 13 <= x <= 18:
                c = "k"
            row += c
        rows.append(row)
    out = ["# The tip of the day's light bulb. Made by tools/pictures/draw_dialog_pictures.py; do not edit.",
           "", "icon 158", "  colours", '    "." none', '    "k" 0x404040', '    "y" 0xFFE860',
           '    "w" 0xFFFFF0', '    "g" 0xA0A0A0', "  end", "  image 32 32"]
    out += ['    "%s"' % r for r in rows]
    out += ["  end", "end", ""]
    return "\n".join(out)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/ui/bitmaps"
    write_bmp(out + "/163.bmp", draw(360, 200))
    write_bmp(out + "/156.bmp", draw(96, 96))
    write_bmp(out + "/149.bmp", faded(draw(320, 160), 0.72))
    with open(out + "/../tipicon.nrc", "w") as f:
        f.write(bulb())


if __name__ == "__main__":
    main()
