#!/usr/bin/python3
"""Draws a coastline file as the chart would fill it, to a PNG (needs gmt).

Usage: plot_coast.py FILE W E S N OUT.png [TITLE]
"""
import os
import struct
import subprocess
import sys
import tempfile


def read_polygons(path):
    """The chart's reading of the file: 36-byte headers, points kept only when east > west."""
    data = open(path, "rb").read()
    pos, threshold, polys = 0, 270000000, []
    while pos + 36 <= len(data):
        _, n, _, west, east, _, _, _, greenwich, _ = struct.unpack_from("<7iihh", data, pos)
        pos += 36
        if east * 1e-6 > west * 1e-6:
            pts = []
            for x, y in struct.iter_unpack("<ii", data[pos:pos + 8 * n]):
                lon = x * 1e-6
                if greenwich and x > threshold:
                    lon -= 360
                if lon > 180:
                    lon -= 360
                pts.append((lon, y * 1e-6))
            polys.append(pts)
        pos += 8 * n
        threshold = 180000000
    return polys


def main():
    path, w, e, s, n, out = sys.argv[1:7]
    title = sys.argv[7] if len(sys.argv) > 7 else os.path.basename(path)
    polys = read_polygons(path)
    with tempfile.TemporaryDirectory() as tmp:
        seg = os.path.join(tmp, "land.txt")
        with open(seg, "w") as f:
            for p in polys:
                f.write(">\n")
                f.writelines(f"{lon:.6f} {lat:.6f}\n" for lon, lat in p)
        base = os.path.splitext(os.path.abspath(out))[0]
        region = f"-R{w}/{e}/{s}/{n}"
        # The chart's own projection: linear, a degree of latitude 1.25 times a degree of
        # longitude.
        dx, dy = float(e) - float(w), (float(n) - float(s)) * 1.25
        width = min(18.0, 20.0 * dx / dy)
        script = (f"gmt begin {base} png E150\n"
                  f"gmt basemap {region} -JX{width:.2f}c/{width * dy / dx:.2f}c"
                  f" -Bafg -B+t\"{title}\"+g190/210/255\n"
                  f"gmt plot {seg} -G255/255/100 -Wfaint,grey40\n"
                  # gmt keys its session on the parent process: keep bash from exec-ing the last one.
                  "gmt end\ntrue\n")
        subprocess.run(["bash", "-ec", script], check=True, cwd=tmp)


if __name__ == "__main__":
    main()
