#!/usr/bin/python3
"""Writes the chart's four coastline files from the GSHHG shoreline.

The shoreline comes from GMT's binned GSHHG data (Debian: gmt, gmt-gshhg-high,
gmt-gshhg-full). `gmt coast -M -W` dumps the level-1 shoreline of the whole world in
pieces cut at its bin edges; the pieces are joined back into closed rings, rings cut by the
date line are closed along it, and each ring is clipped to its region's limits plus a margin.

Output layout (little-endian), one record per polygon:
  36-byte header: int32 id, n, level, west, east, south, north (micro-degrees), area
  (tenths of km^2), int16 Greenwich flag (the polygon spans the zero meridian), int16 source;
  then n points of int32 longitude, int32 latitude (micro-degrees, longitudes -180..180).
Polygons are written largest first; every one has east > west.

Usage: coastlines.py [--res h|f] [--min-area KM2] [--out DIR] [--cache DIR] [--only NAME]
(--res forces one resolution for every region.)
"""

import argparse
import os
import struct
import subprocess
import sys

import numpy as np

# Region file, limits west, east, south, north (degrees) as the chart uses them, and the
# GSHHG resolution: full where the chart zooms into streams and diamonds, high elsewhere, so
# that each file stays near 2 MB.
REGIONS = [
    ("mapuk.data", -13.0, 5.0, 46.0, 60.0, "f"),
    ("mapeur.data", -13.0, 19.0, 36.0, 72.0, "h"),
    ("mapuse.data", -86.0, -55.0, 17.0, 63.0, "h"),
    ("mapaus.data", 107.0, 179.0, -50.0, 4.0, "h"),
]
MARGIN = 1.0  # degrees of coastline kept beyond each limit


def dump_shoreline(res, min_area, cache):
    """Text dump of the level-1 shoreline pieces of the whole world, cached."""
    path = os.path.join(cache, f"shore_{res}_{min_area:g}.txt")
    if not os.path.exists(path):
        tmp = path + ".part"
        with open(tmp, "w") as out:
            subprocess.run(["gmt", "coast", "-R-180/180/-90/90", f"-D{res}", "-W1", "-M",
                            f"-A{min_area:g}/1/1", "--FORMAT_FLOAT_OUT=%.9f"],
                           stdout=out, check=True)
        os.replace(tmp, path)
    return path


def read_pieces(path):
    pieces = []
    with open(path) as f:
        data = f.read()
    for block in data.split(">")[1:]:
        lines = block.split("\n", 1)
        if len(lines) < 2:
            continue
        vals = np.array(lines[1].split(), dtype=np.float64)
        if vals.size >= 4:
            pieces.append(vals.reshape(-1, 2))
    return pieces


def key(p):
    return (int(round(p[0] * 1e6)), int(round(p[1] * 1e6)))


def join_rings(pieces):
    """Joins the bin pieces end to start into rings. Returns (rings, unclosed chains)."""
    rings, open_pieces = [], []
    for p in pieces:
        (rings if key(p[0]) == key(p[-1]) else open_pieces).append(p)
    by_start = {}
    for i, p in enumerate(open_pieces):
        by_start.setdefault(key(p[0]), []).append(i)
    ends = {key(p[-1]) for p in open_pieces}
    used = [False] * len(open_pieces)
    chains = []
    # Walk from the pieces nothing leads into first, so that a chain cut by the date line is
    # followed from its true start; what is left are whole rings.
    heads = [i for i, p in enumerate(open_pieces) if key(p[0]) not in ends]
    rest = [i for i in range(len(open_pieces)) if key(open_pieces[i][0]) in ends]
    for i in heads + rest:
        if used[i]:
            continue
        used[i] = True
        parts = [open_pieces[i]]
        start = key(open_pieces[i][0])
        end = key(open_pieces[i][-1])
        while end != start:
            nxt = next((j for j in by_start.get(end, []) if not used[j]), None)
            if nxt is None:
                break
            used[nxt] = True
            parts.append(open_pieces[nxt][1:])
            end = key(open_pieces[nxt][-1])
        chain = np.vstack(parts)
        (rings if end == start else chains).append(chain)
    # Chains that begin and end on the date line close along it; by the way the dump cuts
    # them, the others (none in practice) are dropped.
    unclosed = []
    for c in chains:
        if abs(abs(c[0, 0]) - 180) < 1e-9 and abs(c[-1, 0] - c[0, 0]) < 1e-9:
            rings.append(np.vstack([c, c[:1]]))
        else:
            unclosed.append(c)
    return rings, unclosed


def clip_edge(p, axis, value, keep_greater):
    """One Sutherland-Hodgman pass of a closed ring (last point == first) against a line."""
    q = p[:-1]
    n = len(q)
    if n == 0:
        return p[:0]
    inside = q[:, axis] >= value if keep_greater else q[:, axis] <= value
    if inside.all():
        return p
    if not inside.any():
        return p[:0]
    a = q
    b = np.roll(q, -1, axis=0)
    ina = inside
    inb = np.roll(inside, -1)
    with np.errstate(divide="ignore", invalid="ignore"):
        t = (value - a[:, axis]) / (b[:, axis] - a[:, axis])
        cross = a + (b - a) * t[:, None]
    cross[:, axis] = value
    # For the edge a->b: emit the crossing when the sides differ, then b when b is inside.
    emit_cross = ina != inb
    counts = emit_cross.astype(int) + inb.astype(int)
    out = np.empty((counts.sum(), 2))
    pos = np.cumsum(counts) - counts
    out[pos[emit_cross]] = cross[emit_cross]
    bpos = pos + emit_cross.astype(int)
    out[bpos[inb]] = b[inb]
    return np.vstack([out, out[:1]])


def clip_ring(ring, w, e, s, n):
    lo = ring.min(axis=0)
    hi = ring.max(axis=0)
    if hi[0] < w or lo[0] > e or hi[1] < s or lo[1] > n:
        return None
    p = ring
    if lo[0] < w:
        p = clip_edge(p, 0, w, True)
    if len(p) and hi[0] > e:
        p = clip_edge(p, 0, e, False)
    if len(p) and lo[1] < s:
        p = clip_edge(p, 1, s, True)
    if len(p) and hi[1] > n:
        p = clip_edge(p, 1, n, False)
    return p if len(p) >= 4 else None


def to_micro(ring):
    """Rounds to micro-degrees and drops repeated points; None when degenerate."""
    m = np.rint(ring * 1e6).astype(np.int64)
    keep = np.ones(len(m), dtype=bool)
    keep[1:] = np.any(m[1:] != m[:-1], axis=1)
    m = m[keep]
    if len(m) < 4:
        return None
    return m


def ring_area_km2(m):
    lon = np.radians(m[:, 0] * 1e-6)
    lat = np.radians(m[:, 1] * 1e-6)
    # Equal-area sum on the sphere (shoelace on lon x sin lat), radius 6371 km.
    x, y = lon, np.sin(lat)
    a = 0.5 * abs(np.dot(x[:-1], y[1:]) - np.dot(x[1:], y[:-1]))
    return a * 6371.0 ** 2


def write_region(path, rings):
    polys = []
    for m in rings:
        west, east = int(m[:, 0].min()), int(m[:, 0].max())
        south, north = int(m[:, 1].min()), int(m[:, 1].max())
        if east <= west or north <= south:
            continue
        polys.append((ring_area_km2(m), west, east, south, north, m))
    polys.sort(key=lambda t: -t[0])
    points = 0
    with open(path + ".part", "wb") as f:
        for i, (area, west, east, south, north, m) in enumerate(polys):
            greenwich = 1 if west < 0 < east else 0
            area10 = min(int(round(area * 10)), 2**31 - 1)
            f.write(struct.pack("<7iihh", i, len(m), 1, west, east, south, north, area10,
                                greenwich, 0))
            f.write(m.astype("<i4").tobytes())
            points += len(m)
    os.replace(path + ".part", path)
    return len(polys), points


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--res", choices=["f", "h", "i"])
    ap.add_argument("--min-area", type=float, default=0.0,
                    help="smallest island kept, km^2 (gmt coast -A)")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                  "..", "..", "data"))
    ap.add_argument("--cache", default="/tmp/neapwise-chartdata")
    ap.add_argument("--only", help="one region file name")
    args = ap.parse_args()
    os.makedirs(args.cache, exist_ok=True)
    os.makedirs(args.out, exist_ok=True)

    rings_by_res = {}
    for name, w, e, s, n, res in REGIONS:
        if args.only and name != args.only:
            continue
        res = args.res or res
        if res not in rings_by_res:
            pieces = read_pieces(dump_shoreline(res, args.min_area, args.cache))
            rings, unclosed = join_rings(pieces)
            print(f"shoreline {res}: {len(pieces)} pieces, {len(rings)} rings, "
                  f"{len(unclosed)} unclosed chains dropped", file=sys.stderr)
            rings_by_res[res] = rings
        cw, ce = max(w - MARGIN, -180.0), min(e + MARGIN, 180.0)
        cs, cn = max(s - MARGIN, -90.0), min(n + MARGIN, 90.0)
        out = []
        for r in rings_by_res[res]:
            c = clip_ring(r, cw, ce, cs, cn)
            if c is None:
                continue
            m = to_micro(c)
            if m is not None:
                out.append(m)
        path = os.path.join(args.out, name)
        count, points = write_region(path, out)
        print(f"{name} ({res}): {count} polygons, {points} points, {os.path.getsize(path)} bytes",
              file=sys.stderr)

if __name__ == "__main__":
    main()
