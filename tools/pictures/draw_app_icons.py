#!/usr/bin/env python3
"""Draws the program's icon (icon 128 of the resources, from the same drawing) as PNG files in
the desktop icon theme's sizes, for the installed program's menu entry:

    tools/pictures/draw_app_icons.py resources/icons

writes <folder>/hicolor/<n>x<n>/apps/neapwise.png for n = 16, 22, 24, 32, 48, 64, 128, 256.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_pictures  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def png(img):
    """8-bit RGBA PNG bytes of rows of (r, g, b, a) with r, g, b in 0..255 and a in 0..1."""
    h, w = len(img), len(img[0])
    raw = bytearray()
    for row in img:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((round(r), round(g), round(b), round(a * 255)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_app_icons.py <icons folder>")
    for n in SIZES:
        folder = os.path.join(sys.argv[1], "hicolor", "%dx%d" % (n, n), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "neapwise.png"), "wb") as f:
            f.write(png(draw_pictures.render(n, draw_pictures.tide_icon)))


if __name__ == "__main__":
    main()
