// The program's height method in JavaScript, for fitting the shallow-water terms. It follows
// CPrediction::HarmonicHeight step by step; the accuracy report checks the program itself
// through neapwise-predict, so any drift between the two shows there.
import { readFileSync } from "node:fs";

const PI = 3.1415926539;
const D2R = PI / 180;

// Reads an angle/factor table ("#178" layout): magic, count, then 76-byte records.
export function readAngleTable(path) {
  const buf = readFileSync(path);
  const magic = buf.readInt32LE(0);
  const count = buf.readInt32LE(4);
  if (magic !== 643 || buf.length < 8 + count * 76) throw new Error(`${path}: not an angle table`);
  const days = new Map();
  const list = [];
  for (let i = 0; i < count; i++) {
    const o = 8 + i * 76;
    const id = buf.readInt32LE(o);
    const year = buf.readInt32LE(o + 4);
    const month = buf.readInt32LE(o + 8);
    const day = buf.readInt32LE(o + 12);
    const angle = [];
    const factor = [];
    for (let c = 0; c < 4; c++) {
      angle.push(buf.readInt32LE(o + 28 + c * 12));
      factor.push(buf.readDoubleLE(o + 32 + c * 12));
    }
    const rec = { id, year, month, day, angle, factor, index: i };
    list.push(rec);
    days.set(`${year}-${month}-${day}`, rec);
  }
  return { list, days, byDate: (y, m, d) => days.get(`${y}-${m}-${d}`) };
}

// SetAngleFactors: the next day's angles unwrapped against today's.
export function unwrap(today, next) {
  const a = today.angle;
  const n = next.angle.slice();
  if (n[0] < a[0]) n[0] += 360;
  if (n[1] - a[1] > 300) n[1] -= 360;
  if (a[1] - n[1] > 300) n[1] += 360;
  if (n[2] - a[2] > 300) n[2] -= 360;
  if (n[3] < a[3]) n[3] += 360;
  return n;
}

// Per-day terms, so a day's minutes cost only the time-dependent part.
export function dayTerms(port, today, next) {
  const A = today.angle;
  const An = unwrap(today, next);
  const ksemi = 360 * (Math.floor((An[0] + 600 - A[0]) / 360) + 1);
  const kdiu = 360 * (Math.floor((An[0] + 300 - A[0]) / 360) + 1);
  const K = [ksemi, ksemi, kdiu, kdiu];
  const terms = [];
  for (let c = 0; c < 4; c++) {
    terms.push({
      ag: A[c] + port.g[c],
      w: (K[c] + A[c] - An[c]) / 24,
      f0: today.factor[c],
      df: (next.factor[c] - today.factor[c]) / 24,
      h: port.h[c],
    });
  }
  return terms;
}

// The pieces of the height at a harmonic minute: the four-constituent part, and R and phi of
// the semidiurnal sum that the shallow-water terms use.
export function heightParts(port, terms, minute) {
  const t = minute / 60;
  const th = [];
  const f = [];
  for (let c = 0; c < 4; c++) {
    th.push((terms[c].ag - terms[c].w * t) * D2R);
    f.push(terms[c].f0 + t * terms[c].df);
  }
  const X = terms[0].h * f[0] * Math.sin(th[0]) + terms[1].h * f[1] * Math.sin(th[1]);
  const Y = terms[0].h * f[0] * Math.cos(th[0]) + terms[1].h * f[1] * Math.cos(th[1]);
  let phi;
  let R;
  if (X === 0) {
    phi = 0;
    R = Y;
  } else {
    phi = Math.atan(X / Y) / D2R;
    if (phi < 0) phi += 180;
    R = X / Math.sin(phi * 0.017453292521666667);
  }
  const base = port.z0 + Y + terms[2].h * f[2] * Math.cos(th[2]) + terms[3].h * f[3] * Math.cos(th[3]);
  return { base, R, phi };
}

export function height(port, terms, minute) {
  const { base, R, phi } = heightParts(port, terms, minute);
  return base + port.h4 * R * R * Math.cos((port.g4 + 2 * phi) * D2R) +
    port.h6 * R * R * R * Math.cos((port.g6 + 3 * phi) * D2R);
}
