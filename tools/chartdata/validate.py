#!/usr/bin/python3
"""Compares the estimated streams with current stations' own harmonic constants.

For each current reference station (one depth bin per station) that lies in a grid cell whose
four corners all have streams, the modelled currents are interpolated to it and projected on
the station's flood direction. Figures per area:
  direction error: the modelled M2 ellipse's major axis against the flood direction (0-90 deg);
  spring-rate ratio: modelled (M2 + S2) rate along the flood direction / the station's;
  time of maximum flood: modelled minus station M2 phase, in minutes.

Usage: validate.py FIELDS.npz currents.json
"""
import json
import math
import sys

import numpy as np

KNOT = 0.514444
AREAS = [
    ("Gulf of Maine", lambda la, lo: la >= 42.0 and lo >= -71.2),
    ("Long Island Sound", lambda la, lo: 40.85 <= la <= 41.4 and -73.8 <= lo <= -71.8),
    ("elsewhere", lambda la, lo: True),
]


def interpolate(f, lat, lon, la, lo, ok):
    dlat = lat[0] - lat[1]
    dlon = lon[1] - lon[0]
    r = (lat[0] - la) / dlat
    c = (lo - lon[0]) / dlon
    r0, c0 = int(math.floor(r)), int(math.floor(c))
    if r0 < 0 or c0 < 0 or r0 + 1 >= len(lat) or c0 + 1 >= len(lon):
        return None
    if not ok[r0:r0 + 2, c0:c0 + 2].all():
        return None
    fy, fx = r - r0, c - c0
    return ((1 - fy) * ((1 - fx) * f[..., r0, c0] + fx * f[..., r0, c0 + 1])
            + fy * ((1 - fx) * f[..., r0 + 1, c0] + fx * f[..., r0 + 1, c0 + 1]))


def main():
    fields = np.load(sys.argv[1])
    stations = json.load(open(sys.argv[2]))
    lat, lon, ok = fields["lat"], fields["lon"], fields["ok"]
    u, v = fields["u"], fields["v"]
    seen = set()
    rows = []
    for s in stations:
        base = s["id"].split("@")[0]
        if base in seen:
            continue
        seen.add(base)
        uu = interpolate(u, lat, lon, s["lat"], s["lon"], ok)
        if uu is None:
            continue
        vv = interpolate(v, lat, lon, s["lat"], s["lon"], ok)
        th = math.radians(s["flood"])
        along = uu * math.sin(th) + vv * math.cos(th)
        m2a, m2g = s["constants"]["M2"]
        s2a, _ = s["constants"]["S2"]
        if m2a <= 0:
            continue
        # major axis of the M2 ellipse, as a bearing modulo 180
        u2, v2 = uu[0], vv[0]
        ang = 0.5 * math.atan2(2 * (u2 * np.conj(v2)).real, abs(u2) ** 2 - abs(v2) ** 2)
        axis = (90.0 - math.degrees(ang)) % 180.0
        derr = abs((axis - s["flood"] % 180.0 + 90.0) % 180.0 - 90.0)
        ratio = (abs(along[0]) + abs(along[1])) / ((m2a + s2a) * KNOT)
        # the along-flood M2 component's phase; the sign of "along" picks flood over ebb
        g_model = math.degrees(-np.angle(along[0])) % 360.0
        dg = (g_model - m2g + 180.0) % 360.0 - 180.0
        minutes = dg / 28.9841042 * 60.0
        area = next(name for name, test in AREAS if test(s["lat"], s["lon"]))
        rows.append((area, s["id"], s["name"], derr, ratio, minutes))
    print(f"{len(rows)} current stations inside the estimated streams")
    for name, _ in AREAS:
        sel = [r for r in rows if r[0] == name]
        if not sel:
            print(f"{name}: no station")
            continue
        d = np.array([r[3] for r in sel])
        q = np.array([r[4] for r in sel])
        t = np.array([r[5] for r in sel])
        within2 = np.mean((q >= 0.5) & (q <= 2.0)) * 100
        print(f"{name}: {len(sel)} stations; direction error median {np.median(d):.0f} deg, "
              f"{np.mean(d <= 20) * 100:.0f} % within 20 deg; spring-rate ratio median "
              f"{np.median(q):.2f}, {within2:.0f} % within a factor of two; time of maximum "
              f"flood median {np.median(t):+.0f} min, median |error| {np.median(np.abs(t)):.0f} min")
    if "-v" in sys.argv:
        for r in rows:
            print(f"  {r[0]:18s} {r[2][:40]:40s} dir {r[3]:5.1f}  rate x{r[4]:5.2f}  time {r[5]:+6.0f} min")


if __name__ == "__main__":
    main()
