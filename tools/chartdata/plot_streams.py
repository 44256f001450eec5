#!/usr/bin/python3
"""Draws the estimated stream arrows at a spring high water at Dover (needs gmt).

At springs the M2 and S2 arguments coincide, so the stream at Dover's high water is
Re((u_M2 + u_S2) e^{i g}) with g Dover's M2 phase. Usage: plot_streams.py FIELDS.npz COAST OUT.png
"""
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from plot_coast import read_polygons  # noqa: E402

DOVER = (51.114389, 1.322528)


def main():
    f = np.load(sys.argv[1])
    lat, lon, ok = f["lat"], f["lon"], f["ok"]
    r = int(np.argmin(np.abs(lat - DOVER[0])))
    c = int(np.argmin(np.abs(lon - DOVER[1])))
    g = -np.angle(f["elev"][0][r, c])
    rot = np.exp(1j * g)
    u = np.real((f["u"][0] + f["u"][1]) * rot)
    v = np.real((f["v"][0] + f["v"][1]) * rot)
    rows, cols = np.nonzero(ok)
    with tempfile.TemporaryDirectory() as tmp:
        vec = os.path.join(tmp, "vec.txt")
        with open(vec, "w") as out:
            for i, j in zip(rows, cols):
                if i % 2 or j % 2:
                    continue
                s = float(np.hypot(u[i, j], v[i, j]))
                d = float(np.degrees(np.arctan2(u[i, j], v[i, j])) % 360)
                out.write(f"{lon[j]:.4f} {lat[i]:.4f} {d:.1f} {min(s, 2.5) * 0.6:.3f}\n")
        land = os.path.join(tmp, "land.txt")
        with open(land, "w") as out:
            for p in read_polygons(sys.argv[2]):
                out.write(">\n")
                out.writelines(f"{a:.5f} {b:.5f}\n" for a, b in p)
        base = os.path.splitext(os.path.abspath(sys.argv[3]))[0]
        script = (f"gmt begin {base} png E150\n"
                  "gmt basemap -R-12/13/48/63 -JX16c/23.4c -Bafg"
                  " -B+t\"Estimated streams, spring high water at Dover (arrow 1 cm = 1.7 m/s)\"+g190/210/255\n"
                  f"gmt plot {land} -G255/255/100 -Wfaint,grey40\n"
                  f"gmt plot {vec} -SV0.12c+e -W0.6p,19/9/76 -G19/9/76 -i0,1,2,3\n"
                  "gmt end\ntrue\n")
        subprocess.run(["bash", "-ec", script], check=True, cwd=tmp)


if __name__ == "__main__":
    main()
