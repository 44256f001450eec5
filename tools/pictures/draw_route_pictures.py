#!/usr/bin/env python3
"""Draws the routes tree's four pictures and writes them as 24-bit BMP files named by id.

    tools/pictures/draw_route_pictures.py [output folder]   (default: resources/ui/bitmaps)

  287  a waypoint: a red ring with a dot;
  288  a waypoint, selected: the same on yellow;
  289  a route: a dashed track between two waypoints;
  290  no route: the track struck through.
All are 16 x 16 on magenta (the image list's transparent colour), drawn here from shapes.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_port_pictures import Canvas, MAGENTA, OUTLINE  # noqa: E402

RED = (200, 30, 30)
YELLOW = (255, 220, 60)
BLUE = (20, 70, 170)
GREY = (128, 128, 128)
WHITE = (255, 255, 255)


def ring(c, cx, cy, r_out, r_in, col):
    for y in range(16):
        for x in range(16):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if r_in * r_in <= d2 <= r_out * r_out:
                c.set(x, y, col)


def disc(c, cx, cy, r, col):
    ring(c, cx, cy, r, 0, col)


def line(c, x0, y0, x1, y1, col, dash=0):
    n = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(n + 1):
        if dash and (i // dash) % 2:
            continue
        x = round(x0 + (x1 - x0) * i / n)
        y = round(y0 + (y1 - y0) * i / n)
        c.set(x, y, col)
        c.set(x, y + 1, col)


def waypoint(selected):
    c = Canvas(16, 16, MAGENTA)
    if selected:
        disc(c, 7.5, 7.5, 7.4, YELLOW)
    disc(c, 7.5, 7.5, 5.6, WHITE)
    ring(c, 7.5, 7.5, 5.6, 3.6, RED)
    disc(c, 7.5, 7.5, 1.5, RED)
    return c


def route(struck):
    c = Canvas(16, 16, MAGENTA)
    line(c, 3, 12, 12, 3, BLUE if not struck else GREY, dash=2)
    for (x, y) in ((3, 12), (12, 3)):
        disc(c, x, y, 2.6, WHITE)
        ring(c, x, y, 2.6, 1.2, RED if not struck else GREY)
    if struck:
        line(c, 2, 2, 13, 13, OUTLINE)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "ui", "bitmaps")
    pictures = {287: waypoint(False), 288: waypoint(True), 289: route(False), 290: route(True)}
    for rid, canvas in pictures.items():
        with open(os.path.join(out, "%d.bmp" % rid), "wb") as f:
            f.write(canvas.bmp())


if __name__ == "__main__":
    main()
