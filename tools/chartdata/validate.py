#!/usr/bin/python3
"""Compares the estimated streams with current stations' own harmonic constants.

For each current reference station (one depth bin per station) that lies in a grid cell whose
four corners all have streams (where the chart draws an arrow), the modelled currents are
interpolated to it and projected on the station's flood direction. Figures per area and per
coast:
  direction error: the modelled M2 ellipse's major axis against the flood direction (0-90 deg),
    median and 90th percentile;
  spring-rate ratio: modelled (M2 + S2) rate along the flood direction / the station's; the
    share within a factor of 1.5 and of two;
  misleading: the share of the stations with an arrow whose direction is off by more than
    45 deg or whose spring rate is off by more than a factor of two;
  time of maximum flood: modelled minus station M2 phase, in minutes (median and median |error|).
And what the grid's spacing alone costs: where several stations share a cell with an arrow, the
share that one value per cell (their mean direction, rate and time) would still mislead.

Usage: validate.py [-v] [--json OUT] FIELDS.npz currents.json [FIELDS.npz currents.json ...]
"""
import json
import math
import sys

import numpy as np

KNOT = 0.514444
MISLEADING_DEG = 45.0
MISLEADING_RATIO = 2.0
# Areas by coast, first match wins; the coast is the first word group before the colon.
AREAS = [
    ("US East Coast", "Gulf of Maine", lambda la, lo: 35 <= la <= 47.5 and -71.2 <= lo <= -62 and la >= 42.0),
    ("US East Coast", "Long Island Sound", lambda la, lo: 40.85 <= la <= 41.4 and -73.8 <= lo <= -71.8),
    ("US East Coast", "Mid-Atlantic and southern New England",
     lambda la, lo: 35 <= la <= 47.5 and -78.5 <= lo <= -62),
    ("Gulf of Mexico", "Gulf of Mexico", lambda la, lo: 23.5 <= la <= 31.5 and -98.5 <= lo <= -79.5),
    ("US West Coast", "California and Oregon", lambda la, lo: 31.5 <= la <= 43.5 and -126 <= lo <= -116),
    ("US West Coast", "Washington and Puget Sound",
     lambda la, lo: 43.5 < la <= 50.5 and -126.5 <= lo <= -121.5),
    ("Southeast Alaska", "Southeast Alaska", lambda la, lo: 53.5 <= la <= 60.5 and -139 <= lo <= -129.5),
    ("other", "other", lambda la, lo: True),
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


def compare(fields, stations, ok=None):
    """One row per station with an arrow: (coast, area, id, name, direction error, rate ratio,
    minutes)."""
    lat, lon = fields["lat"], fields["lon"]
    ok = fields["ok"] if ok is None else ok
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
        coast, area = next((c, a) for c, a, test in AREAS if test(s["lat"], s["lon"]))
        rows.append((coast, area, s["id"], s["name"], derr, ratio, minutes))
    return rows


def cell_stations(fields, stations, ok=None):
    """Stations with an arrow, keyed by their grid cell: (flood mod 180, spring rate in m/s,
    M2 phase)."""
    lat, lon = fields["lat"], fields["lon"]
    ok = fields["ok"] if ok is None else ok
    cells = {}
    seen = set()
    for s in stations:
        base = s["id"].split("@")[0]
        if base in seen or s["constants"]["M2"][0] <= 0:
            continue
        seen.add(base)
        r = int(math.floor((lat[0] - s["lat"]) / (lat[0] - lat[1])))
        c = int(math.floor((s["lon"] - lon[0]) / (lon[1] - lon[0])))
        if r < 0 or c < 0 or r + 1 >= len(lat) or c + 1 >= len(lon) or not ok[r:r + 2, c:c + 2].all():
            continue
        rate = (s["constants"]["M2"][0] + s["constants"]["S2"][0]) * KNOT
        cells.setdefault((r, c), []).append((s["flood"] % 180.0, rate, s["constants"]["M2"][1]))
    return list(cells.values())


def cell_floor(cells):
    """Stations sharing a cell, how many one value per cell would mislead, median |time error|."""
    n = bad = 0
    minutes = []
    for c in (c for c in cells if len(c) >= 2):
        d2 = np.radians([2 * x[0] for x in c])
        mean_dir = (math.degrees(math.atan2(np.sin(d2).mean(), np.cos(d2).mean())) / 2) % 180.0
        mean_rate = math.exp(np.mean(np.log([x[1] for x in c])))
        g = np.radians([x[2] for x in c])
        mean_g = math.degrees(math.atan2(np.sin(g).mean(), np.cos(g).mean()))
        for flood, rate, phase in c:
            d = abs((flood - mean_dir + 90.0) % 180.0 - 90.0)
            q = mean_rate / rate
            n += 1
            bad += d > MISLEADING_DEG or q > MISLEADING_RATIO or q < 1 / MISLEADING_RATIO
            minutes.append(abs((mean_g - phase + 180.0) % 360.0 - 180.0) / 28.9841042 * 60.0)
    return n, bad, float(np.median(minutes)) if minutes else float("nan")


def figures(sel):
    d = np.array([r[4] for r in sel])
    q = np.array([r[5] for r in sel])
    t = np.array([r[6] for r in sel])
    misleading = (d > MISLEADING_DEG) | (q > MISLEADING_RATIO) | (q < 1 / MISLEADING_RATIO)
    return {
        "stations": len(sel),
        "misleading": int(misleading.sum()),
        "misleading_pct": float(np.mean(misleading) * 100),
        "dir_median": float(np.median(d)),
        "dir_p90": float(np.percentile(d, 90)),
        "within20_pct": float(np.mean(d <= 20) * 100),
        "ratio_median": float(np.median(q)),
        "within1_5_pct": float(np.mean((q >= 1 / 1.5) & (q <= 1.5)) * 100),
        "within2_pct": float(np.mean((q >= 0.5) & (q <= 2.0)) * 100),
        "time_median": float(np.median(t)),
        "time_abs_median": float(np.median(np.abs(t))),
    }


def line(name, f):
    return (f"{name}: {f['stations']} stations with an arrow, {f['misleading']} "
            f"({f['misleading_pct']:.0f} %) misleading; direction error median {f['dir_median']:.0f} deg, "
            f"p90 {f['dir_p90']:.0f} deg, {f['within20_pct']:.0f} % within 20 deg; spring-rate ratio "
            f"median {f['ratio_median']:.2f}, {f['within1_5_pct']:.0f} % within x1.5, "
            f"{f['within2_pct']:.0f} % within x2; time of maximum flood median {f['time_median']:+.0f} min, "
            f"median |error| {f['time_abs_median']:.0f} min")


def report(rows):
    """Figures by area, then by coast: {name: figures}."""
    out = {}
    for coast in dict.fromkeys(c for c, _, _ in AREAS):
        in_coast = [r for r in rows if r[0] == coast]
        if not in_coast:
            continue
        areas = list(dict.fromkeys(a for c, a, _ in AREAS if c == coast))
        for area in areas:
            sel = [r for r in in_coast if r[1] == area]
            if sel and area != coast:
                out[f"{coast} / {area}"] = figures(sel)
        out[coast] = figures(in_coast)
    if len({r[0] for r in rows}) > 1:
        out["all coasts"] = figures(rows)
    return out


def main():
    args = sys.argv[1:]
    verbose = "-v" in args
    args = [a for a in args if a != "-v"]
    json_out = None
    if "--json" in args:
        i = args.index("--json")
        json_out = args[i + 1]
        del args[i:i + 2]
    if not args or len(args) % 2:
        raise SystemExit(__doc__)
    rows = []
    cells = []
    for k in range(0, len(args), 2):
        fields, stations = np.load(args[k]), json.load(open(args[k + 1]))
        rows += compare(fields, stations)
        cells += cell_stations(fields, stations)
    print(f"{len(rows)} current stations inside the estimated streams")
    out = report(rows)
    for name, f in out.items():
        print(line(name, f))
    n, bad, minutes = cell_floor(cells)
    if n:
        print(f"grid spacing alone: {n} stations share a cell with an arrow; one value per cell would "
              f"mislead at {bad} ({bad / n * 100:.0f} %), time median |error| {minutes:.0f} min")
        out["cell floor"] = {"stations": n, "misleading": bad, "misleading_pct": bad / n * 100,
                             "time_abs_median": minutes}
    if verbose:
        for r in rows:
            print(f"  {r[1][:24]:24s} {r[3][:40]:40s} dir {r[4]:5.1f}  rate x{r[5]:5.2f}  time {r[6]:+6.0f} min")
    if json_out:
        with open(json_out, "w") as f:
            json.dump(out, f, indent=1)


if __name__ == "__main__":
    main()
