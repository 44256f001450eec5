// A selected station's constants in the port table's terms: phases in the port's standard time,
// amplitudes and levels above chart datum, with NOAA subordinate offsets applied.
import { amplitudeOf, speedOf, subordinateScale, KEY_CONSTITUENTS } from "./select.mjs";

const wrap360 = (x) => ((x % 360) + 360) % 360;

// Constituents (name, amplitude, phase as the Greenwich lag in UTC) of a selected station, with
// subordinate offsets folded in: phases shifted by the mean time offset, amplitudes scaled by k.
export function stationConstituents(c) {
  const s = c.station;
  const out = {};
  let k = 1;
  let dt = 0;
  if (s.type === "subordinate") {
    k = subordinateScale(s, c.lv);
    dt = ((s.offsets.time.high ?? 0) + (s.offsets.time.low ?? 0)) / 2 / 60;
  }
  for (const h of c.hc) {
    if (!KEY_CONSTITUENTS.includes(h.name)) continue;
    out[h.name] = { amplitude: h.amplitude * k, phase: wrap360(h.phase + speedOf(h.name) * dt) };
  }
  return { cons: out, k, dt };
}

// Levels of a selected station above its chart datum, subordinate offsets applied.
export function stationLevels(c) {
  const s = c.station;
  const lv = { ...c.lv };
  if (s.type !== "subordinate") return lv;
  const o = s.offsets.height;
  if (o.type === "fixed") {
    const dh = o.high ?? 0;
    const dl = o.low ?? 0;
    lv.z0 = lv.z0 + (dh + dl) / 2;
    lv.mhws += dh; lv.mhwn += dh; lv.mlws += dl; lv.mlwn += dl;
  } else {
    const rh = o.high ?? 1;
    const rl = o.low ?? 1;
    const A = (lv.mhw - lv.mlw) / 2;
    lv.z0 = (lv.z0 * (rh + rl)) / 2 + (A * (rh - rl)) / 2;
    lv.mhws *= rh; lv.mhwn *= rh; lv.mlws *= rl; lv.mlwn *= rl;
  }
  return lv;
}

// Phase in the port's standard time, whole degrees: g = round(G + speed * Z) mod 360.
export function localPhase(name, greenwichPhase, zoneHours) {
  return Math.round(wrap360(greenwichPhase + speedOf(name) * zoneHours)) % 360;
}

// The classical shallow-water pairs from M4 and M6 (used where no fit is made).
export function classicShallow(cons) {
  const m2 = cons.M2;
  const res = { h4: 0, g4: 0, h6: 0, g6: 0 };
  if (!m2 || m2.amplitude < 0.1) return res;
  if (cons.M4) {
    res.h4 = cons.M4.amplitude / m2.amplitude ** 2;
    res.g4 = wrap360(cons.M4.phase - 2 * m2.phase);
  }
  if (cons.M6) {
    res.h6 = cons.M6.amplitude / m2.amplitude ** 3;
    res.g6 = wrap360(cons.M6.phase - 3 * m2.phase);
  }
  return res;
}

export { wrap360, amplitudeOf };
