#!/usr/bin/env python3
"""Draws the program's icon and cursors and writes them as a resource script.

    tools/pictures/draw_pictures.py > resources/ui/pictures.nrc

Everything is drawn here from shapes (supersampled, then reduced to a small palette of
characters), so the pictures are the project's own:
  icon 128     the program: a tide curve over the sea at dusk, in 32 and 16 pixels;
  cursor 187   the tidal log's column-resize cursor: a bar with arrows left and right.
  cursor 283   the chart's zoom-box cursor: a magnifying glass with a plus.
"""
import math
import sys

SS = 4  # supersampling per pixel side

# Characters that may stand for colours in a script (no quote, backslash or space).
PALETTE_CHARS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@$%&*+-=~:;!?<>()[]{}/|^_"


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def over(dst, src):
    """src over dst, both (r, g, b, a) with a in 0..1."""
    sa = src[3]
    da = dst[3] * (1 - sa)
    a = sa + da
    if a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da) / a for i in range(3)) + (a,)


def render(size, shade):
    """Samples shade(x, y) -> (r, g, b, a) at SS x SS points per pixel, x and y in 0..1."""
    img = []
    n = size * SS
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px * SS + sx + 0.5) / n
                    y = (py * SS + sy + 0.5) / n
                    r, g, b, a = shade(x, y)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            k = SS * SS
            a = acc[3] / k
            if a > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        img.append(row)
    return img


def rounded_square(x, y, r):
    dx = max(r - x, 0, x - (1 - r))
    dy = max(r - y, 0, y - (1 - r))
    return dx * dx + dy * dy <= r * r


def tide_icon(x, y):
    if not rounded_square(x, y, 0.16):
        return (0, 0, 0, 0)
    # Dusk sky, darker at the top.
    c = lerp((40, 70, 140, 1), (250, 190, 120, 1), min(1, y / 0.55))
    # A low sun.
    if (x - 0.72) ** 2 + (y - 0.36) ** 2 <= 0.11 ** 2:
        c = (255, 230, 120, 1)
    # The sea below a crest that rises and falls like the tide.
    crest = 0.58 + 0.12 * math.sin((x - 0.1) * 2 * math.pi)
    if y >= crest:
        depth = min(1, (y - crest) / 0.4)
        c = lerp((30, 120, 190, 1), (10, 40, 100, 1), depth)
    # The tide curve itself, drawn as a white line a little above the crest.
    curve = crest - 0.06
    if abs(y - curve) < 0.035:
        c = over(c, (255, 255, 255, 0.95))
    # A thin dark frame.
    if not rounded_square((x - 0.04) / 0.92, (y - 0.04) / 0.92, 0.14):
        c = (20, 30, 60, 1)
    return c


def resize_cursor(x, y):
    """A column-resize cursor on a 32-pixel grid; (x, y) in pixels here."""
    black, white = (0, 0, 0, 1), (255, 255, 255, 1)

    def arrow(px, py, direction):
        # A horizontal arrow: shaft from the bar outwards, head at the end.
        ax = px - 16 if direction > 0 else 16 - px
        ay = abs(py - 16)
        if 3 <= ax <= 9 and ay <= 1:
            return True
        if 9 <= ax <= 13 and ay <= 13 - ax:
            return True
        return False

    px, py = x * 32, y * 32
    inside = (abs(px - 16) <= 1.5 and 6 <= py <= 26) or arrow(px, py, 1) or arrow(px, py, -1)
    if inside:
        return black
    # A white outline around the black shape keeps it visible on dark ground.
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (-1, -1), (1, -1), (-1, 1)):
        qx, qy = px + dx, py + dy
        if (abs(qx - 16) <= 1.5 and 6 <= qy <= 26) or arrow(qx, qy, 1) or arrow(qx, qy, -1):
            return white
    return (0, 0, 0, 0)


def zoom_cursor(x, y):
    """The chart's zoom-box cursor: a magnifying glass with a plus, on a 32-pixel grid."""
    black, white = (0, 0, 0, 1), (255, 255, 255, 1)

    def shape(px, py):
        r = ((px - 12) ** 2 + (py - 12) ** 2) ** 0.5
        if 7 <= r <= 9.5:
            return "rim"
        # The handle, from the rim down to the bottom right.
        t = ((px - 12) + (py - 12)) / 2
        d = abs((px - 12) - (py - 12)) / 2 ** 0.5
        if 7 <= t <= 17 and d <= 2.2:
            return "rim"
        if r < 7 and ((abs(px - 12) <= 1 and abs(py - 12) <= 4) or (abs(py - 12) <= 1 and abs(px - 12) <= 4)):
            return "plus"
        if r < 7:
            return "glass"
        return None

    px, py = x * 32, y * 32
    s = shape(px, py)
    if s in ("rim", "plus"):
        return black
    if s == "glass":
        return white
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        if shape(px + dx, py + dy) is not None:
            return white
    return (0, 0, 0, 0)


def quantise(images, max_colours):
    """One palette for several images: opaque colours rounded, partial alpha in four steps."""
    def key(p):
        r, g, b, a = p
        if a < 0.12:
            return None
        step = 24
        q = lambda v: min(255, int(round(v / step) * step))
        al = min(255, int(round(a * 4) / 4 * 255))
        return (q(r), q(g), q(b), al)

    counts = {}
    for img in images:
        for row in img:
            for p in row:
                k = key(p)
                if k is not None:
                    counts[k] = counts.get(k, 0) + 1
    chosen = [k for k, _ in sorted(counts.items(), key=lambda kv: -kv[1])[:max_colours]]

    def nearest(k):
        return min(chosen, key=lambda c: sum((c[i] - k[i]) ** 2 for i in range(4)))

    chars = {}
    for i, c in enumerate(chosen):
        chars[c] = PALETTE_CHARS[i]
    rows_of = []
    for img in images:
        rows = []
        for row in img:
            s = ""
            for p in row:
                k = key(p)
                s += "." if k is None else chars[nearest(k)]
            rows.append(s)
        rows_of.append(rows)
    return chars, rows_of


def colour_lines(chars):
    out = ['    "." none']
    for (r, g, b, a), ch in sorted(chars.items(), key=lambda kv: kv[1]):
        if a >= 255:
            out.append('    "%s" 0x%02X%02X%02X' % (ch, r, g, b))
        else:
            out.append('    "%s" 0x%02X%02X%02X%02X' % (ch, a, r, g, b))
    return out


def block(kind, rid, images, hotspots=None):
    chars, rows_of = quantise([img for _, img in images], len(PALETTE_CHARS))
    lines = ["%s %d" % (kind, rid), "  colours"] + colour_lines(chars) + ["  end"]
    for i, ((size, _), rows) in enumerate(zip(images, rows_of)):
        head = "  image %d %d" % (size, size)
        if hotspots:
            head += " hotspot %d %d" % hotspots[i]
        lines.append(head)
        lines += ['    "%s"' % r for r in rows]
        lines.append("  end")
    lines.append("end")
    return "\n".join(lines)


def main():
    out = sys.stdout
    out.write("# The program's icon and cursors. Made by tools/pictures/draw_pictures.py; do not edit.\n\n")
    icon = [(32, render(32, tide_icon)), (16, render(16, tide_icon))]
    out.write(block("icon", 128, icon) + "\n\n")
    cursor = [(32, render(32, resize_cursor))]
    out.write(block("cursor", 187, cursor, hotspots=[(16, 16)]) + "\n\n")
    zoom = [(32, render(32, zoom_cursor))]
    out.write(block("cursor", 283, zoom, hotspots=[(12, 12)]) + "\n")


if __name__ == "__main__":
    main()
